// Opening a skin: the tree, the three tables, the row states, the name and
// magic rules, and the errors that stop the opening.
#include "skin/files.h"
#include "editor/opensave.h"
#include "editor/shell.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

const QByteArray kSkin =
    "SKI1 test skin\n"
    "2 99 1\n"                 // before any section: child of the root
    "0 41 98\n"
    "4 10 20 30 0\n"
    "4 0595 255 0 0 128\n"
    "0 7 1\n"
    "1 570 10 20 30 40\n"
    "1 0 0 175 219\n"
    "1 6 0 0 0 0 77\n"
    "5 562 0 10 0\n"
    "5 0006 10 20 1\n"
    "5 7 30 40 14\n"
    "3 1 2\n"
    "6 x\n"
    "8 whatever\n";

QString Put(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    WriteFile(path, bytes);
    return path;
}

QStringList Keys(const Table& t)
{
    QStringList keys;
    for (const Row& r : t.rows())
        keys << r.key();
    return keys;
}

}  // namespace

class OpenTest : public QObject {
    Q_OBJECT
private slots:
    void buildsTreeAndTables();
    void rowStatesAndImageLinks();
    void namesDecideSaving();
    void badMagicAndCrLf();
    void lineLimit();
    void shortRecordStopsWithWhatWasBuilt();
    void hostileFilesNeitherCrashNorHang();
    void reopeningGivesTheSameDocument();
    void cancelChangesNothing();
    void splitPath();
    void folderSnapshotTestsEveryName();
};

void OpenTest::buildsTreeAndTables()
{
    QTemporaryDir dir;
    Session s;
    s.open(Put(dir, "varavave.ski", kSkin));
    const Document& doc = s.editor.doc;
    QCOMPARE(doc.LineCount, 15);  // the unterminated last line is not a line
    QCOMPARE(doc.T_Strutt.count(), 15);
    QCOMPARE(doc.SkinLines.size(), kSlotCount);

    const Node& root = doc.T_Strutt.node(1);
    QCOMPARE(doc.T_Strutt.text(1), QStringLiteral("SKI1"));
    QCOMPARE(root.image, int(IconRoot));
    const Node& early = doc.T_Strutt.node(2);
    QCOMPARE(early.parent, 1);
    QCOMPARE(doc.T_Strutt.tag(2), QStringLiteral("_1"));
    QCOMPARE(early.image, int(IconType2));
    const Node& section = doc.T_Strutt.node(3);
    QVERIFY(section.bold);
    QCOMPARE(section.image, int(IconSection));
    QCOMPARE(doc.T_Strutt.tag(3), QString());
    QCOMPARE(doc.T_Strutt.tag(4), QStringLiteral("0 41 98_1"));
    QCOMPARE(doc.T_Strutt.tag(5), QStringLiteral("0 41 98_2"));
    QCOMPARE(doc.T_Strutt.node(5).parent, 3);
    QCOMPARE(doc.T_Strutt.tag(7), QStringLiteral("0 7 1_1"));
    QCOMPARE(doc.T_Strutt.node(13).image, int(IconType3));
    QCOMPARE(doc.T_Strutt.node(14).image, int(IconType6));
    QCOMPARE(doc.T_Strutt.node(15).image, int(IconNone));  // "8 ..." has no picture
    // Every node but the root shows its line as read, sections included.
    for (int k = 2; k <= doc.T_Strutt.count(); ++k)
        QCOMPARE(doc.T_Strutt.text(k), doc.SkinLines.at(k - 1));
    QCOMPARE(doc.T_Strutt.text(3), QStringLiteral("0 41 98"));

    const Table& rgba = doc.L_RGBA;
    QCOMPARE(Keys(rgba), QStringList({"-", "0595"}));
    QCOMPARE(rgba.row(1).icon, int(IconNone));
    QCOMPARE(rgba.row(2).icon, int(IconNumbered));
    QCOMPARE(rgba.row(2).cells(), QStringList({"255", "0", "0", "128", "0004"}));
    QCOMPARE(rgba.row(1).tag(), QStringLiteral("4 10 20 30 0"));

    const Table& dim = doc.L_Dim;
    QCOMPARE(Keys(dim), QStringList({"0570", "-", "0006"}));
    QCOMPARE(dim.row(1).cells(), QStringList({"10", "20", "30", "40", "20", "20", "0006"}));
    QCOMPARE(dim.row(2).cell(ColWidth), QStringLiteral("176"));
    QCOMPARE(dim.row(2).cell(ColHeight), QStringLiteral("220"));
    QCOMPARE(dim.row(3).cell(ColWidth), QStringLiteral("0"));
    QCOMPARE(dim.row(3).cell(ColHeight), QStringLiteral("0"));

    // Graphic objects, sorted on the ID column as text.
    QCOMPARE(Keys(doc.L_Values), QStringList({"0006", "0007", "0562"}));
    const Row& obj = doc.L_Values.row(3);
    QCOMPARE(obj.tag(), QStringLiteral("0 10 0"));
    QCOMPARE(obj.cell(ColLink), QStringLiteral("00_000000"));
    QCOMPARE(obj.cell(ColDat), QStringLiteral("00"));
    QCOMPARE(obj.cell(ColValuesIndex), QStringLiteral("0009"));
    QCOMPARE(doc.L_Values.row(1).cell(ColLink), QStringLiteral("01_000010"));
    QCOMPARE(doc.L_Values.selected(), 0);

    // The opened skin enables every tab, saving, and the move tools.
    for (bool enabled : s.editor.tabsEnabled)
        QVERIFY(enabled);
    QVERIFY(s.editor.SaveEnabled);
    QVERIFY(s.editor.saveButtonEnabled);
    QVERIFY(s.editor.txtOffSet.enabled);
    QVERIFY(!s.editor.Filling);
    QCOMPARE(s.editor.status, QStringLiteral("Skin: ") + dir.filePath("varavave.ski"));
    QCOMPARE(s.editor.doc.SkinName, QStringLiteral("varavave"));
    QCOMPARE(s.editor.doc.SkinDir, dir.path());
    QCOMPARE(s.editor.doc.GifDir, dir.path() + QStringLiteral("/varavave_Gifs/"));
    QVERIFY(QFileInfo(dir.filePath("varavave_Gifs")).isDir());
    QVERIFY(s.editor.messages.isEmpty());
}

void OpenTest::rowStatesAndImageLinks()
{
    QTemporaryDir dir;
    // An image folder in other letter case is found and kept; an image file
    // in upper case is found for the lower-case name the editor forms.
    WriteFile(dir.filePath("VARAVAVE_GIFS/562.GIF"), "GIF89a");
    WriteFile(dir.filePath("VARAVAVE_GIFS/7.gif"), "GIF89a");
    Session s;
    s.open(Put(dir, "VARAVAVE.ski", kSkin));
    const Table& v = s.editor.doc.L_Values;
    QCOMPARE(s.editor.doc.GifDir, dir.path() + QStringLiteral("/VARAVAVE_GIFS/"));
    QVERIFY(!QFileInfo(dir.filePath("VARAVAVE_Gifs")).exists());

    const Row& found = v.row(v.findKey("0562"));
    QCOMPARE(found.cell(ColState), kStateFound);
    QCOMPARE(found.cell(ColPath), s.editor.doc.GifDir + "562.gif");
    QCOMPARE(found.icon, int(IconImage));
    QCOMPARE(found.colour, kBlack);

    const Row& missing = v.row(v.findKey("0006"));
    QCOMPARE(missing.cell(ColState), kStateNotFound);
    QCOMPARE(missing.cell(ColPath), QStringLiteral(" "));
    QCOMPARE(missing.colour, kRed);
    QCOMPARE(missing.icon, int(IconMissing));

    const Row& own = v.row(v.findKey("0007"));
    QCOMPARE(own.cell(ColState), kStateReplace);
    QCOMPARE(own.cell(ColPath), s.editor.doc.GifDir + "7.gif");
    QCOMPARE(own.colour, kBlue);
    QVERIFY(own.bold);
    QCOMPARE(own.icon, int(IconReplace));

    // Container 14 of a skin that is not the operator skin is an ordinary row;
    // a missing image of the operator skin's container 14 keeps a blank path.
    QTemporaryDir other;
    Session t;
    t.open(Put(other, "varavave2.ski", kSkin));
    QCOMPARE(t.editor.doc.L_Values.row(2).cell(ColState), kStateNotFound);
    QTemporaryDir third;
    Session u;
    u.open(Put(third, "varavave.ski", kSkin));
    const Row& blank = u.editor.doc.L_Values.row(2);
    QCOMPARE(blank.cell(ColState), kStateReplace);
    QCOMPARE(blank.cell(ColPath), QStringLiteral(" "));
}

void OpenTest::namesDecideSaving()
{
    QTemporaryDir dir;
    Session upper;
    upper.open(Put(dir, "VARAVAVE.SKI", "ski1 lower-case magic\n0 1\n"));
    QVERIFY(upper.editor.SaveEnabled);
    QVERIFY(upper.editor.messages.isEmpty());
    QCOMPARE(upper.editor.doc.SkinLines.at(0), QStringLiteral("ski1 lower-case magic"));

    Session copy;
    copy.open(Put(dir, "varavave2.ski", kSkin));
    QVERIFY(!copy.editor.SaveEnabled);
    QVERIFY(!copy.editor.saveButtonEnabled);
    QCOMPARE(copy.editor.messages.size(), 1);
    QCOMPARE(copy.editor.messages[0].title, QStringLiteral("Attenzione:"));
    QCOMPARE(copy.editor.messages[0].text,
             QStringLiteral("Velluno permette di modificare solo la skin originale del v980!"));
    // It opens completely all the same.
    QCOMPARE(copy.editor.doc.L_Values.count(), 3);
    QVERIFY(copy.editor.tabsEnabled[3]);
}

void OpenTest::badMagicAndCrLf()
{
    QTemporaryDir dir;
    Session bad;
    bad.open(Put(dir, "varavave.ski", "SKX1\n4 1 2 3 4\n"));
    QCOMPARE(bad.editor.messages.size(), 1);
    QCOMPARE(bad.editor.messages[0].title, QStringLiteral("Errore:"));
    QCOMPARE(bad.editor.messages[0].text, QStringLiteral("Formato del file skin non valido!"));
    QCOMPARE(bad.editor.messages[0].icon, MsgIcon::Stop);
    QCOMPARE(bad.editor.doc.T_Strutt.count(), 0);
    QCOMPARE(bad.editor.doc.L_RGBA.count(), 0);
    QVERIFY(!bad.editor.SaveEnabled);
    QVERIFY(bad.editor.tabsEnabled[0]);  // the final steps still run

    // CR LF line ends: the text stops at the first carriage return, so no
    // line is read; saving would empty the skin. The opening offers the
    // repair; No leaves the file and opens it for viewing only.
    QTemporaryDir crlf;
    const QByteArray crlfText = "SKI1\r\n0 41 98\r\n4 1 2 3 0\r\n";
    Session win;
    win.open(Put(crlf, "varavave.ski", crlfText));
    QCOMPARE(win.editor.doc.LineCount, 0);
    QCOMPARE(win.editor.doc.T_Strutt.count(), 1);
    QVERIFY(!win.editor.SaveEnabled);
    QVERIFY(!win.editor.saveButtonEnabled);
    QCOMPARE(win.editor.messages.size(), 1);
    QCOMPARE(win.editor.messages[0].title, QStringLiteral("Domanda:"));
    QVERIFY(win.editor.messages[0].text.contains(QStringLiteral("Correggere il file? 3 fini riga CR LF diventeranno LF")));
    QCOMPARE(ReadFile(crlf.filePath("varavave.ski")), crlfText);
    // Yes: the file is repaired, its original kept, and opened whole.
    Session yes;
    yes.dialogs.answers.push_back(Answer::Yes);
    yes.open(crlf.filePath("varavave.ski"));
    QCOMPARE(yes.editor.doc.LineCount, 3);
    QCOMPARE(yes.editor.doc.L_RGBA.count(), 1);
    QVERIFY(yes.editor.SaveEnabled);
    QCOMPARE(ReadFile(crlf.filePath("varavave.ski")), QByteArray("SKI1\n0 41 98\n4 1 2 3 0\n"));
    QCOMPARE(ReadFile(crlf.filePath("varavave_old.ski")), crlfText);
    QCOMPARE(ReadFile(crlf.filePath("varavave_orig.ski")), crlfText);

    // A carriage return later in the file cuts the text there; the rest of
    // the file would be lost by a save, which is refused.
    Session late;
    late.open(Put(crlf, "varavave.ski", "SKI1\n4 1 2 3 0\n4 5 6 7 0\r\n4 8 9 10 0\n"));
    QCOMPARE(late.editor.doc.LineCount, 2);
    QCOMPARE(late.editor.doc.L_RGBA.count(), 1);
    QVERIFY(!late.editor.SaveEnabled);
}

void OpenTest::lineLimit()
{
    QTemporaryDir dir;
    QByteArray text = "SKI1\n";
    for (int i = 1; i < kSlotCount; ++i)
        text += "4 " + QByteArray::number(i % 256) + " 0 0 0\n";
    Session full;
    full.open(Put(dir, "varavave.ski", text));
    QCOMPARE(full.editor.doc.LineCount, kSlotCount);
    QCOMPARE(full.editor.doc.L_RGBA.count(), kSlotCount - 1);
    QVERIFY(full.editor.SaveEnabled);

    Session over;
    over.open(Put(dir, "varavave.ski", text + "4 1 1 1 1\n"));
    // Stopped while splitting: only the root, nothing rendered or enabled.
    QCOMPARE(over.editor.doc.T_Strutt.count(), 1);
    QCOMPARE(over.editor.doc.L_RGBA.count(), 0);
    QVERIFY(!over.editor.SaveEnabled);
    QVERIFY(!over.editor.tabsEnabled[0]);
    QCOMPARE(over.editor.renders, 0);
    QVERIFY(over.editor.messages.isEmpty());

    // A skin far longer than one read: every line arrives whole, the last
    // one too, and the tree shows them.
    QByteArray wide = "SKI1\n";
    for (int i = 1; i < kSlotCount; ++i)
        wide += "6 " + QByteArray(150, char('a' + i % 26)) + QByteArray::number(i) + '\n';
    QVERIFY(wide.size() > 200000);
    Session big;
    big.open(Put(dir, "varavave.ski", wide));
    const Document& doc = big.editor.doc;
    QCOMPARE(doc.LineCount, kSlotCount);
    QCOMPARE(doc.SkinLines.at(kSlotCount - 1),
             "6 " + QString(150, QChar(u'a' + (kSlotCount - 1) % 26)) + QString::number(kSlotCount - 1));
    QCOMPARE(doc.T_Strutt.text(kSlotCount), doc.SkinLines.at(kSlotCount - 1));
}

void OpenTest::shortRecordStopsWithWhatWasBuilt()
{
    QTemporaryDir dir;
    Session s;
    s.open(Put(dir, "varavave.ski",
               "SKI1\n0 1\n4 1 2 3 4\n5 7 0 10 14\n1 2 3 4\n4 5 6 7 8\n"));
    const Document& doc = s.editor.doc;
    QCOMPARE(doc.LineCount, 6);
    QCOMPARE(doc.T_Strutt.count(), 5);  // the short line's node is there, nothing after it
    QCOMPARE(doc.L_RGBA.count(), 1);
    QCOMPARE(doc.L_Values.count(), 1);
    QCOMPARE(doc.L_Dim.count(), 0);
    // Saving stays off although a container-14 row was met before the error.
    QVERIFY(!s.editor.saveButtonEnabled);
    QVERIFY(!s.editor.tabsEnabled[1]);
    QCOMPARE(s.editor.renders, 0);
    QVERIFY(s.editor.messages.isEmpty());
}

void OpenTest::hostileFilesNeitherCrashNorHang()
{
    QTemporaryDir dir;
    QRandomGenerator random(42);
    QByteArray binary(1 << 20, '\0');
    for (char& c : binary)
        c = char(random.generate() & 0xFF);
    Session a;
    a.open(Put(dir, "varavave.ski", binary));
    Session b;
    b.open(Put(dir, "varavave.ski", "SKI1\n" + binary.replace('\r', 'x')));
    QVERIFY(b.editor.doc.LineCount <= kSlotCount);

    // One huge line, and ten megabytes of line feeds.
    Session c;
    c.open(Put(dir, "varavave.ski", "SKI1" + QByteArray(20 << 20, 'x')));
    QCOMPARE(c.editor.doc.LineCount, 0);
    Session d;
    d.open(Put(dir, "varavave.ski", "SKI1" + QByteArray(10 << 20, '\n')));
    QCOMPARE(d.editor.doc.T_Strutt.count(), 1);
    QVERIFY(!d.editor.SaveEnabled);

    // Numbers far beyond 32 bits are kept as text; those too large to be
    // written exactly keep the text they have.
    Session e;
    e.open(Put(dir, "varavave.ski",
               "SKI1\n0 1\n5 99999999999999999999 123456789012345 -5 14\n"
               "1 1e300 -1e300 4 5 6\n4 &HFFFFFFFFFF 0 0 0\n"));
    QCOMPARE(e.editor.doc.L_Values.count(), 1);
    QCOMPARE(e.editor.doc.L_Values.row(1).key(), QStringLiteral("99999999999999999999"));
    QCOMPARE(e.editor.doc.L_Values.row(1).cell(ColOffset), QStringLiteral("123456789012345"));
    QCOMPARE(e.editor.doc.L_Dim.row(1).key(), QStringLiteral("1e300"));
    QVERIFY(e.editor.tabsEnabled[0]);
}

void OpenTest::reopeningGivesTheSameDocument()
{
    QTemporaryDir dir;
    const QString path = Put(dir, "varavave.ski", kSkin);
    Session s;
    s.open(path);
    const Document first = s.editor.doc;
    s.open(path);
    const Document& second = s.editor.doc;
    QCOMPARE(second.LineCount, first.LineCount);
    QCOMPARE(second.T_Strutt.count(), first.T_Strutt.count());
    for (int k = 1; k <= first.T_Strutt.count(); ++k) {
        QCOMPARE(second.T_Strutt.text(k), first.T_Strutt.text(k));
        QCOMPARE(second.T_Strutt.tag(k), first.T_Strutt.tag(k));
    }
    for (auto table : {&Document::L_Values, &Document::L_RGBA, &Document::L_Dim}) {
        QCOMPARE((second.*table).count(), (first.*table).count());
        for (int r = 1; r <= (first.*table).count(); ++r) {
            QCOMPARE((second.*table).row(r).key(), (first.*table).row(r).key());
            QCOMPARE((second.*table).row(r).cells(), (first.*table).row(r).cells());
            QCOMPARE((second.*table).row(r).colour, (first.*table).row(r).colour);
        }
    }
}

void OpenTest::cancelChangesNothing()
{
    QTemporaryDir dir;
    Session s;
    s.open(Put(dir, "varavave.ski", kSkin));
    const int renders = s.editor.renders;
    s.dialogs.files.push_back(std::nullopt);
    TB0_ButtonClick(s.editor, QStringLiteral("LOAD"));
    QCOMPARE(s.editor.doc.L_Values.count(), 3);
    QVERIFY(s.editor.SaveEnabled);
    QCOMPARE(s.editor.renders, renders);
}

void OpenTest::splitPath()
{
    const QString path = QStringLiteral("/home/me/skins/a.b.ski");
    QCOMPARE(SplitPath(path, 2), QStringLiteral("/home/me/skins"));
    QCOMPARE(SplitPath(path, 3), QStringLiteral("a"));
    QCOMPARE(SplitPath(path, 4), QStringLiteral("b.ski"));
    QCOMPARE(SplitPath(QStringLiteral("/x.y/noext"), 3), QStringLiteral("noext"));
    QCOMPARE(SplitPath(QStringLiteral("/x.y/noext"), 4), QString());
    QCOMPARE(SplitPath(QStringLiteral("C:\\phone\\varavave.ski"), 2), QStringLiteral("C:\\phone"));
    QCOMPARE(SplitPath(QStringLiteral("C:\\phone\\varavave.ski"), 1), QStringLiteral("C:"));
    QCOMPARE(SplitPath(QStringLiteral("\\\\server\\share\\f.ski"), 0), QStringLiteral("server"));
    QCOMPARE(SplitPath(QStringLiteral("\\\\server\\share\\f.ski"), 1), QString());
    QCOMPARE(SplitPath(path, 9), QString());
}

void OpenTest::folderSnapshotTestsEveryName()
{
    QTemporaryDir dir;
    // Enough names that many share a place in the lookup table.
    for (int i = 1; i <= 300; ++i)
        WriteFile(dir.filePath(i % 7 == 0 ? QStringLiteral("%1.GIF").arg(i) : QStringLiteral("%1.gif").arg(i)),
                  "GIF89a");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.gif")));
    const FolderSnapshot snapshot(dir.path() + QLatin1Char('/'));
    for (int i = 1; i <= 300; ++i)
        QVERIFY2(snapshot.hasFile(QStringLiteral("%1.gif").arg(i)), qPrintable(QString::number(i)));
    QVERIFY(snapshot.hasFile(u"14.GiF"));
    for (const char16_t* absent : {u"0.gif", u"301.gif", u"1.gi", u"1.giff", u"folder.gif", u""})
        QVERIFY2(!snapshot.hasFile(absent), qPrintable(QString::fromUtf16(absent)));
    QCOMPARE(snapshot.resolve(dir.filePath("14.gif")), dir.filePath("14.GIF"));
    QCOMPARE(snapshot.resolve(dir.filePath("999.gif")), dir.filePath("999.gif"));

    // A snapshot keeps what it saw; a new one sees the folder as it is now.
    WriteFile(dir.filePath("301.gif"), "GIF89a");
    QVERIFY(!snapshot.hasFile(u"301.gif"));
    QVERIFY(FolderSnapshot(dir.path()).hasFile(u"301.gif"));
    QVERIFY(!FolderSnapshot(dir.filePath("missing")).hasFile(u"1.gif"));
}

QTEST_MAIN(OpenTest)
#include "test_open.moc"
