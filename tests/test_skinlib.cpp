// The skin library's pure functions: numbers and records as the skin's text
// writes them, colours as text, paths in any letter case, and the image
// check that every GIF meets before the phone or a decoder sees it.
#include "testsupport.h"
#include "tinygif.h"

#include "render/imageguard.h"
#include "skin/files.h"
#include "skin/gif.h"
#include "skin/textform.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;

class SkinLibrary : public QObject {
    Q_OBJECT
private slots:
    void lenientNumbers_data();
    void lenientNumbers();
    void digitFormats_data();
    void digitFormats();
    void numbersNeverOverflow();
    void valueRecords_data();
    void valueRecords();
    void objectRecordsAndColourText();
    void keysFindTheirRows();
    void pathsInAnyLetterCase();
    void folderSnapshotTestsEveryName();
    void gifCheck_data();
    void gifCheck();
    void gifCheckReadsWholeFiles();
};

void SkinLibrary::lenientNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    const std::pair<const char*, double> rows[] = {
        {"562", 562},   {"0562", 562}, {" 1 2\t3 ", 123}, {"-17", -17},     {"+8", 8},       {"2.75abc", 2.75},
        {".5", 0.5},    {"1e3", 1000}, {"25E-1", 2.5},    {"1.5d2", 150},   {"4e", 4},       {"12px", 12},
        {"-", 0},       {"", 0},       {"abc", 0},        {"&HFF", 255},    {"&h1a", 26},    {"&O17", 15},
        {"&17", 15},    {"&7", 7},     {"inf", 0},        {"0x10", 0},
    };
    for (const auto& [text, value] : rows)
        QTest::addRow("'%s'", text) << QString::fromLatin1(text) << value;
}

void SkinLibrary::lenientNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LenientNumber(text), value);
}

void SkinLibrary::digitFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("formatted");
    const std::tuple<const char*, int, const char*> rows[] = {
        {"562", 4, "0562"},     {"0006", 4, "0006"},  {"123456", 4, "123456"}, {"000562", 4, "0562"},
        {"0", 4, "0000"},       {"00000", 2, "00"},   {"1234", 6, "001234"},   {"2.5", 4, "0003"},
        {"2.4", 4, "0002"},     {"-5", 4, "-0005"},   {"-", 4, "-"},           {"12ab", 4, "12ab"},
        {"", 4, ""},            {"&H1F", 4, "0031"},  {"&Hff", 4, "0255"},     {"&H9", 4, "0009"},
        {"&HG", 4, "&HG"},      {"&O17", 4, "0015"},  {"1e3", 4, "1000"},      {"1e", 4, "1e"},
        {"123456789012345678901", 4, "123456789012345678901"}, {"999999999999999", 4, "999999999999999"},
    };
    for (const auto& [text, digits, formatted] : rows)
        QTest::addRow("%s in %d", text, digits) << QString::fromLatin1(text) << digits << QString::fromLatin1(formatted);
}

void SkinLibrary::digitFormats()
{
    QFETCH(QString, text);
    QFETCH(int, digits);
    QFETCH(QString, formatted);
    QCOMPARE(FormatDigits(text, digits), formatted);
}

void SkinLibrary::numbersNeverOverflow()
{
    QCOMPARE(QList<qint64>({LenientInteger(u"99999999999999999999999", 0, 1500), LenientInteger(u"-1e300", 0, 1500),
                            LenientInteger(u"1e999", 0, 1500), LenientInt(u"5000000000")}),
             QList<qint64>({1500, 0, 1500, INT32_MAX}));
    QCOMPARE(QStringList({PlainNumber(7), PlainNumber(-2), PlainNumber(2.5), PlainNumber(-0.0), PlainNumber(8999999999999999.0),
                          PlainNumber(-1e20)}),
             QStringList({"7", "-2", "2.5", "0", "8999999999999999", "-100000000000000000000"}));
}

void SkinLibrary::valueRecords_data()
{
    // A record: its number ("-" for none) and four values; written back
    // with its number in four digits less the leading zero.
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("read");     // number|v1|v2|v3|v4, "" when it cannot be read
    QTest::addColumn<QString>("written");
    QTest::newRow("colour without number") << "4 255 128 0 1" << "-|255|128|0|1" << "4 255 128 0 1";
    QTest::newRow("numbered colour") << "4 0562 255 128 0 1" << "0562|255|128|0|1" << "4 562 255 128 0 1";
    QTest::newRow("seventh field dropped") << "1 3 0 0 175 219 99" << "3|0|0|175|219" << "1 3 0 0 175 219";
    QTest::newRow("two blanks: an empty field") << "1  5 6 7" << "-||5|6|7" << "1  5 6 7";
    QTest::newRow("trailing blank: a sixth field") << "4 1 2 3 4 " << "1|2|3|4|" << "4 1 2 3 4 ";
    QTest::newRow("four fields") << "1 2 3 4" << "" << "";
    QTest::newRow("type alone") << "4" << "" << "";
    QTest::newRow("tabs separate nothing") << "1\t2\t3\t4\t5" << "" << "";
}

void SkinLibrary::valueRecords()
{
    QFETCH(QString, line);
    QFETCH(QString, read);
    QFETCH(QString, written);
    const auto r = ReadValueRecord(line);
    QCOMPARE(bool(r), !read.isEmpty());
    if (!r)
        return;
    const QStringList parts = {r->number.toString(), r->values[0].toString(), r->values[1].toString(),
                               r->values[2].toString(), r->values[3].toString()};
    QCOMPARE(parts.join(QLatin1Char('|')), read);
    const QString key = r->number == QLatin1String("-") ? QStringLiteral("-") : FormatDigits(r->number, 4);
    QCOMPARE(ComposeValueRecord(line.at(0), key, r->values[0], r->values[1], r->values[2], r->values[3]), written);
}

void SkinLibrary::objectRecordsAndColourText()
{
    const QString line = QStringLiteral("5 562 1234 567 0 extra");
    const auto o = ReadObjectRecord(line);
    QVERIFY(o);
    QCOMPARE(QStringList({o->number.toString(), o->offset.toString(), o->length.toString(), o->container.toString()}),
             QStringList({"562", "1234", "567", "0"}));
    const QString four = QStringLiteral("5 562 1234 567");
    QVERIFY(!ReadObjectRecord(four));
    QCOMPARE(ComposeObjectRecord(u"0562", 100, 250) + ComposeObjectRecord(u"0006", 0, 5000000000LL),
             QStringLiteral("5 562 100 250 145 6 0 5000000000 14"));

    // Colours are 0x00BBGGRR; text is "R G B".
    ColourParts p;
    QCOMPARE(QStringList({RGBToString(0, p), RGBToString(0xFFFFFF, p), RGBToString(0x0080FF, p)}),
             QStringList({"0 0 0", "255 255 255", "255 128 0"}));
    QCOMPARE(QList<int>({p.ColorR, p.ColorG, p.ColorB}), QList<int>({255, 128, 0}));
    // Components beyond a byte count as 255 rather than bleeding into the next.
    QCOMPARE(QList<quint32>({StringToRGB(u"4 10 20 30 0", p), quint32(p.ColorG), StringToRGB(u"4 300 0 0 0", p), MakeColour(-4, 256, 18)}),
             QList<quint32>({10 + 256 * 20 + 65536 * 30, 20, 255, 256 * 255 + 65536 * 18}));
}

void SkinLibrary::keysFindTheirRows()
{
    // A number of plain digits is found by its key of four digits or more,
    // whatever zeros it was written with; no other spelling finds it.
    Table<ObjectRow> t;
    for (const char* number : {"12345", "7", "00562", "x9"})
        t.append().number = QString::fromLatin1(number);
    QCOMPARE(QList<int>({t.findKey(u"12345"), t.findKey(u"0007"), t.findKey(u"0562"), t.findKey(u"x9"), t.findKey(u"012345"),
                         t.findKey(u"1234"), t.findKey(u"562")}),
             QList<int>({1, 2, 3, 4, 0, 0, 0}));
}

void SkinLibrary::pathsInAnyLetterCase()
{
    const QString path = QStringLiteral("/home/me/skins/a.b.ski");
    const QString unc = QStringLiteral("\\\\server\\share\\f.ski");
    const QString drive = QStringLiteral("C:\\phone\\varavave.ski");
    const std::tuple<QString, int, QString> parts[] = {
        {path, 2, "/home/me/skins"}, {path, 3, "a"},   {path, 4, "b.ski"},     {path, 9, ""},
        {"/x.y/noext", 3, "noext"},  {"/x.y/noext", 4, ""}, {drive, 2, "C:\\phone"}, {drive, 1, "C:"},
        {unc, 0, "server"},          {unc, 1, ""},
    };
    for (const auto& [whole, part, piece] : parts)
        QCOMPARE(SplitPath(whole, part), piece);

    QTemporaryDir dir;
    const QString real = dir.filePath("Skin Mie/Varavave_Gifs/Tasto 630.GIF");
    WriteFile(real, SolidGif(2, 2, qRgb(1, 1, 1)));
    // The temporary folder's own name may have upper-case letters too.
    const QString lower = (dir.path() + "/skin mie/varavave_gifs/tasto 630.gif").toLower();
    QCOMPARE(QStringList({ResolveFile(lower), ExistingDir(QFileInfo(lower).path()), ResolveFile(dir.path() + "/nessuna/x.gif")}),
             QStringList({real, QFileInfo(real).path(), dir.path() + "/nessuna/x.gif"}));
    QVERIFY(FileExist(lower) && !FileExist(dir.path() + "/skin mie/altro/tasto 630.gif"));
    QCOMPARE(QList<qint64>({FileLength(lower), FolderSnapshot(QFileInfo(lower).path()).fileLength(u"TASTO 630.gif")}),
             QList<qint64>({QFileInfo(real).size(), QFileInfo(real).size()}));
    bool ok = false;
    QVERIFY(ReadWholeFile(lower, &ok) == ReadFile(real) && ok);
}

void SkinLibrary::folderSnapshotTestsEveryName()
{
    // Enough names that many share a place in the lookup table; a folder
    // of a file's name is no file; a snapshot keeps what it saw.
    QTemporaryDir dir;
    for (int i = 1; i <= 300; ++i)
        WriteFile(dir.filePath((i % 7 == 0 ? QStringLiteral("%1.GIF") : QStringLiteral("%1.gif")).arg(i)), "GIF89a");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.gif")));
    // Links are followed as opening them would: to a file, a file; to a
    // folder or to nothing, none.
    QVERIFY(QFile::link(dir.filePath("1.gif"), dir.filePath("Link.gif")) &&
            QFile::link(dir.filePath("folder.gif"), dir.filePath("dirlink.gif")) &&
            QFile::link(dir.filePath("none"), dir.filePath("broken.gif")));
    const FolderSnapshot snapshot(dir.path() + QLatin1Char('/'));
    QVERIFY(snapshot.hasFile(u"link.GIF"));
    for (int i = 1; i <= 300; ++i)
        QVERIFY2(snapshot.hasFile(QStringLiteral("%1.gIf").arg(i)), qPrintable(QString::number(i)));
    for (const char16_t* absent : {u"0.gif", u"301.gif", u"1.gi", u"1.giff", u"folder.gif", u"dirlink.gif", u"broken.gif", u""})
        QVERIFY2(!snapshot.hasFile(absent), qPrintable(QString::fromUtf16(absent)));
    QCOMPARE(snapshot.resolve(dir.filePath("14.gif")), dir.filePath("14.GIF"));
    QCOMPARE(snapshot.resolve(dir.filePath("999.gif")), dir.filePath("999.gif"));
    WriteFile(dir.filePath("301.gif"), "GIF89a");
    QVERIFY(!snapshot.hasFile(u"301.gif") && FolderSnapshot(dir.path()).hasFile(u"301.gif"));
}

void SkinLibrary::gifCheck_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("verdict");
    // A 1 x 1 screen with two colours, the blocks given in hex, the trailer;
    // an image of w h (hex, little-endian) with its code size and sub-blocks.
    auto gif = [](const QByteArray& blocks) {
        return QByteArray::fromHex("474946383961 0100 0100 80 00 00 000000 ffffff" + blocks + "3b");
    };
    auto image = [](const char* size, const char* data) {
        return QByteArray("2c 00000000 ") + size + " 00 " + data + " 00 ";
    };
    // Codes of 3 bits from the least significant: 02 4401 is clear, 0, end.
    const QByteArray one = image("0100 0100", "02 02 4401");
    using V = GifVerdict;
    const std::tuple<const char*, QByteArray, V> rows[] = {
        {"empty", QByteArray(), V::Empty},
        {"png", QByteArray("\x89PNG\r\n\x1a\n"), V::NotGif},
        {"largest picture", DeclaredGif(8192, 2048, 8192, 2048), V::Ok},
        {"screen too wide", DeclaredGif(8193, 1, 1, 1), V::TooLarge},
        {"screen of too many pixels", DeclaredGif(4096, 4097, 1, 1), V::TooLarge},
        {"image too large", DeclaredGif(16, 16, 20000, 20000), V::TooLarge},
        {"image 0 wide", DeclaredGif(16, 16, 0, 16), V::EmptyImage},
        {"image 0 high", DeclaredGif(16, 16, 16, 0), V::EmptyImage},
        {"no colour table", DeclaredGif(3, 2, 3, 2), V::Ok},
        {"trailer first", gif(""), V::NoImage},
        {"stray byte for a block", gif("00" + one), V::Malformed},
        {"graphic control with an empty block", gif("21 f9 00" + one), V::Malformed},
        {"one pixel", gif(one), V::Ok},
        {"bytes after the trailer", gif(one) + "xyz", V::Ok},
        {"code size 1: clear, 0, end", gif(image("0100 0100", "01 01 32")), V::Malformed},
        {"code size 9", gif(image("0100 0100", "09 01 32")), V::Malformed},
        {"clear, 0, the next free code, end", gif(image("0300 0100", "02 02 840b")), V::Ok},
        {"clear, 0, a code past the next free", gif(image("0300 0100", "02 02 c40b")), V::Malformed},
        {"the same after the last pixel", gif(image("0100 0100", "02 02 c40b")), V::Malformed},
        {"end code before the last pixel", gif(image("0200 0100", "02 02 4401")), V::Truncated},
        {"more pixels than the image", gif(image("0100 0100", "02 02 040a")), V::Ok},
        {"bytes after the end code", gif(image("0100 0100", "02 03 4401ff")), V::Ok},
        {"second image too large", gif(one + "2c 00000000 0124 0100 00"), V::TooLarge},
        {"second image short of a pixel", gif(one + image("0200 0100", "02 02 4401")), V::Truncated},
    };
    for (const auto& [name, bytes, verdict] : rows)
        QTest::newRow(name) << bytes << int(verdict);
}

void SkinLibrary::gifCheck()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, verdict);
    QCOMPARE(CheckGif(bytes), GifVerdict(verdict));
}

void SkinLibrary::gifCheckReadsWholeFiles()
{
    // Whole GIFs pass and decode; every cut of one is Truncated, wherever it falls.
    std::vector<std::pair<QString, QByteArray>> whole = {{"solid", SolidGif(3, 2, qRgb(1, 2, 3))},
                                                         {"comment", TestImage(420, 7)},
                                                         {"declared", DeclaredGif(300, 200, 300, 200)}};
    const QDir sample(SampleDir());
    for (const QString& line : Lines(ReadFile(sample.filePath("varavave.ski")))) {
        const QStringList f = line.split(' ');  // 5 N offset length container
        const QString container = f.value(4) == "0" ? "varavave.dat" : "varavave" + f.value(4) + ".dat";
        if (f.size() == 5 && f[0] == "5")
            whole.emplace_back(line, ReadFile(sample.filePath(container)).mid(f[2].toInt(), f[3].toInt()));
    }
    const QString corpus = CorpusDir();
    for (const QString& dir : {QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default"), corpus + "/gif-test-suite"})
        for (const QFileInfo& f : QDir(dir).entryInfoList({"*.gif"}, QDir::Files))
            whole.emplace_back(f.filePath(), ReadFile(f.filePath()));
    QVERIFY(whole.size() >= 3 + 26 + 26);  // ours, the sample's and the default set
    for (const auto& [name, gif] : whole) {
        GifFacts facts;
        QVERIFY2(CheckGif(gif, &facts) == GifVerdict::Ok, qPrintable(name));
        QVERIFY2(DecodeImage(gif, ImageKinds::Gif).ok(), qPrintable(name));
        if (name.contains("/animated_"))
            QCOMPARE(facts.frames, 4);  // as the suite makes them
        for (int n = 1; n < gif.size(); ++n)
            QVERIFY2(CheckGif(gif.left(n)) == GifVerdict::Truncated, qPrintable(name + ": " + QString::number(n)));
    }
    GifFacts facts;
    CheckGif(whole.front().second, &facts);
    QCOMPARE(QList<int>({facts.screenWidth, facts.screenHeight, facts.imageWidth, facts.imageHeight}),
             QList<int>({3, 2, 3, 2}));
    // The largest picture the check lets through fits Qt's allocation limit.
    QCOMPARE(DecodeImage(DeclaredGif(8192, 2048, 8192, 2048), ImageKinds::Gif).image.size(), QSize(8192, 2048));
    if (corpus.isEmpty())
        QSKIP("VELLUNO_CORPUS does not point at a folder with gif-test-suite/");
}

QTEST_GUILESS_MAIN(SkinLibrary)
#include "test_skinlib.moc"
