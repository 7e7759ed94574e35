// The record reader and writer, colours as text, the lenient numbers and
// the digit formats.
#include "skin/model.h"
#include "skin/textform.h"

#include <QRandomGenerator>
#include <QTest>

using namespace velluno;

class TextFormTest : public QObject {
    Q_OBJECT
private slots:
    void lenientReading_data();
    void lenientReading();
    void digitFormats_data();
    void digitFormats();
    void valueRecordsRoundTrip();
    void fieldSplitting();
    void objectRecords();
    void colourText();
    void integersNeverOverflow();
    void tableSortsAsTextAndKeepsSelection();
};

void TextFormTest::lenientReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "562" << 562.0;
    QTest::newRow("leading zeros") << "0562" << 562.0;
    QTest::newRow("blanks and tabs anywhere") << " 1 2\t3 " << 123.0;
    QTest::newRow("sign") << "-17" << -17.0;
    QTest::newRow("plus sign") << "+8" << 8.0;
    QTest::newRow("decimals") << "2.75abc" << 2.75;
    QTest::newRow("leading dot") << ".5" << 0.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits stops") << "4e" << 4.0;
    QTest::newRow("stops at other char") << "12px" << 12.0;
    QTest::newRow("dash") << "-" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&h1a" << 26.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("no inf") << "inf" << 0.0;
    QTest::newRow("no hex float") << "0x10" << 0.0;
}

void TextFormTest::lenientReading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LenientNumber(text), value);
}

void TextFormTest::digitFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("padded") << "562" << 4 << "0562";
    QTest::newRow("already padded") << "0006" << 4 << "0006";
    QTest::newRow("longer kept") << "123456" << 4 << "123456";
    QTest::newRow("zeros beyond the width dropped") << "000562" << 4 << "0562";
    QTest::newRow("zero padded") << "0" << 4 << "0000";
    QTest::newRow("all zeros keep the width") << "00000" << 2 << "00";
    QTest::newRow("two digits") << "1" << 2 << "01";
    QTest::newRow("six digits") << "1234" << 6 << "001234";
    QTest::newRow("rounded up") << "2.5" << 4 << "0003";
    QTest::newRow("rounded down") << "2.4" << 4 << "0002";
    QTest::newRow("negative") << "-5" << 4 << "-0005";
    QTest::newRow("dash unchanged") << "-" << 4 << "-";
    QTest::newRow("text unchanged") << "12ab" << 4 << "12ab";
    QTest::newRow("empty unchanged") << "" << 4 << "";
    QTest::newRow("huge kept as written") << "123456789012345678901" << 4 << "123456789012345678901";
    QTest::newRow("largest exact number") << "999999999999999" << 4 << "999999999999999";
}

void TextFormTest::digitFormats()
{
    QFETCH(QString, text);
    QFETCH(int, digits);
    QFETCH(QString, formatted);
    QCOMPARE(FormatDigits(text, digits), formatted);
}

void TextFormTest::valueRecordsRoundTrip()
{
    // Colour without number: five fields.
    const QString plain = QStringLiteral("4 255 128 0 1");
    auto c = ReadValueRecord(plain);
    QVERIFY(c);
    QCOMPARE(c->number, u"-");
    QCOMPARE(QStringList({c->values[0].toString(), c->values[1].toString(), c->values[2].toString(),
                          c->values[3].toString()}),
             QStringList({"255", "128", "0", "1"}));
    QCOMPARE(ComposeValueRecord('4', c->number, c->values[0], c->values[1], c->values[2], c->values[3]),
             plain);

    // Numbered colour: the key loses its leading zero when written.
    const QString numbered = QStringLiteral("4 0562 255 128 0 1");
    c = ReadValueRecord(numbered);
    QVERIFY(c);
    QCOMPARE(c->number, u"0562");
    QCOMPARE(ComposeValueRecord('4', FormatDigits(c->number, 4), c->values[0], c->values[1],
                                c->values[2], c->values[3]),
             QStringLiteral("4 562 255 128 0 1"));

    // A seventh field is dropped.
    const QString seven = QStringLiteral("1 3 0 0 175 219 99");
    auto d = ReadValueRecord(seven);
    QVERIFY(d);
    QCOMPARE(d->number, u"3");
    QCOMPARE(d->values[3], u"219");
    QCOMPARE(ComposeValueRecord('1', FormatDigits(d->number, 4), d->values[0], d->values[1],
                                d->values[2], d->values[3]),
             QStringLiteral("1 3 0 0 175 219"));
}

void TextFormTest::fieldSplitting()
{
    auto read = [](const char* text) {
        static QStringList lines;  // the fields point into their line
        lines.append(QString::fromLatin1(text));
        return ReadValueRecord(lines.last());
    };
    // Two blanks in a row make an empty field, which still counts.
    auto r = read("1  5 6 7");
    QVERIFY(r);
    QCOMPARE(r->number, u"-");
    QVERIFY(r->values[0].isEmpty());
    QCOMPARE(r->values[1], u"5");
    // Fewer than five fields cannot be taken apart.
    QVERIFY(!read("1 2 3 4"));
    QVERIFY(!read("4"));
    // A trailing blank adds an empty sixth field: the record gets a number.
    r = read("4 1 2 3 4 ");
    QVERIFY(r);
    QCOMPARE(r->number, u"1");
    QVERIFY(r->values[3].isEmpty());
    // Tabs are not separators.
    QVERIFY(!read("1\t2\t3\t4\t5"));

    // Blanks at every place of a line, between characters that differ from
    // a blank in one bit or that lie far above it, found as one by one.
    const char16_t alphabet[] = {u'7', u'0', u'\t', u'\0', u'\x120', u'\x8020', u'\xFFFF', u'\xE9'};
    QRandomGenerator random(1234);
    for (int round = 0; round < 2000; ++round) {
        QString line(1, QLatin1Char('1'));
        const int fields = 4 + int(random.bounded(5));
        for (int f = 0; f < fields; ++f) {
            line += QLatin1Char(' ');
            for (int c = int(random.bounded(7)); c > 0; --c)
                line += QChar(alphabet[random.bounded(int(std::size(alphabet)))]);
        }
        QVector<int> blanks;
        for (int i = 0; i < line.size() && blanks.size() < 6; ++i)
            if (line.at(i) == QLatin1Char(' '))
                blanks.append(i);
        if (blanks.size() < 6)
            blanks.append(line.size());
        const auto got = ReadValueRecord(line);
        QCOMPARE(bool(got), blanks.size() >= 5);
        if (!got)
            continue;
        const int first = blanks.size() == 6 ? 1 : 0;
        if (first == 1)
            QCOMPARE(got->number, QStringView(line).mid(blanks[0] + 1, blanks[1] - blanks[0] - 1));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(got->values[k], QStringView(line).mid(blanks[first + k] + 1,
                                                           blanks[first + k + 1] - blanks[first + k] - 1));
    }
}

void TextFormTest::objectRecords()
{
    const QString line = QStringLiteral("5 562 1234 567 0 extra");
    auto o = ReadObjectRecord(line);
    QVERIFY(o);
    QCOMPARE(o->number, u"562");
    QCOMPARE(o->offset, u"1234");
    QCOMPARE(o->length, u"567");
    QCOMPARE(o->container, u"0");
    const QString short4 = QStringLiteral("5 562 1234 567");
    QVERIFY(!ReadObjectRecord(short4));
    QCOMPARE(ComposeObjectRecord(QStringLiteral("0562"), 100, 250), QStringLiteral("5 562 100 250 14"));
    QCOMPARE(ComposeObjectRecord(QStringLiteral("0006"), 0, 5000000000LL),
             QStringLiteral("5 6 0 5000000000 14"));
}

void TextFormTest::colourText()
{
    ColourParts p;
    QCOMPARE(RGBToString(0, p), QStringLiteral("0 0 0"));
    QCOMPARE(RGBToString(0xFFFFFF, p), QStringLiteral("255 255 255"));
    QCOMPARE(RGBToString(0x0000FF, p), QStringLiteral("255 0 0"));
    QCOMPARE(RGBToString(0x0080FF, p), QStringLiteral("255 128 0"));
    QCOMPARE(p.ColorR, 255);
    QCOMPARE(p.ColorG, 128);
    QCOMPARE(p.ColorB, 0);
    QCOMPARE(StringToRGB(QStringLiteral("4 10 20 30 0"), p), quint32(10 + 256 * 20 + 65536 * 30));
    QCOMPARE(p.ColorG, 20);
    // Components beyond a byte count as 255 rather than bleeding into the next.
    QCOMPARE(StringToRGB(QStringLiteral("4 300 0 0 0"), p), quint32(255));
    QCOMPARE(MakeColour(-4, 256, 18), quint32(0 + 256 * 255 + 65536 * 18));
}

void TextFormTest::integersNeverOverflow()
{
    QCOMPARE(LenientInteger(QStringLiteral("99999999999999999999999"), 0, 1500), qint64(1500));
    QCOMPARE(LenientInteger(QStringLiteral("-1e300"), 0, 1500), qint64(0));
    QCOMPARE(LenientInteger(QStringLiteral("1e999"), 0, 1500), qint64(1500));
    QCOMPARE(LenientInt(QStringLiteral("5000000000")), INT32_MAX);
    QCOMPARE(PlainNumber(LenientNumber(QStringLiteral("007"))), QStringLiteral("7"));
    QCOMPARE(PlainNumber(-2), QStringLiteral("-2"));
    QCOMPARE(PlainNumber(2.5), QStringLiteral("2.5"));
    QCOMPARE(PlainNumber(-0.0), QStringLiteral("0"));
    QCOMPARE(PlainNumber(8999999999999999.0), QStringLiteral("8999999999999999"));
    QCOMPARE(PlainNumber(1e300), QString::number(1e300, 'f', 0));
    QCOMPARE(PlainNumber(-1e20), QStringLiteral("-100000000000000000000"));
}

void TextFormTest::tableSortsAsTextAndKeepsSelection()
{
    Document doc;
    Table& t = doc.L_Values;
    for (const char* bytes : {"999", "100", "1000", "20"}) {
        Row& r = t.row(t.addRow(QStringLiteral("k") + bytes));
        r.setCell(ColBytes, QString::fromLatin1(bytes));
    }
    t.select(3);  // "1000"
    t.sortOn(ColBytes);
    QStringList order;
    for (const Row& r : t.rows())
        order << r.cell(ColBytes);
    QCOMPARE(order, QStringList({"100", "1000", "20", "999"}));
    QCOMPARE(t.text(t.selected(), ColBytes), QStringLiteral("1000"));
    QCOMPARE(t.findKey(QStringLiteral("k20")), 3);
    QCOMPARE(t.findKey(QStringLiteral("K20")), 0);  // key search is exact
}

QTEST_GUILESS_MAIN(TextFormTest)
#include "test_textform.moc"
