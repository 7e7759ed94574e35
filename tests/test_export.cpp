// "Esporta tutto": cutting every graphic object out of its container.
#include "testsupport.h"

#include "editor/opensave.h"
#include "editor/objects.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace velluno;
using namespace velluno::test;

namespace {

QString Skin(const QString& dir, const QString& name, const QStringList& records)
{
    const QString path = dir + QLatin1Char('/') + name;
    WriteFile(path, ("SKI1 test\n0 objects\n" + records.join(QLatin1Char('\n')) + "\n").toLatin1());
    return path;
}

const Row& RowOf(const Editor& e, const QString& key)
{
    const int n = e.doc.L_Values.findKey(key);
    if (n == 0)
        qFatal("no row %s", qPrintable(key));
    return e.doc.L_Values.row(n);
}

bool HasFault(const ExtractReport& r, const QString& key)
{
    for (const ExtractReport::Fault& f : r.faults)
        if (f.key == key)
            return true;
    return false;
}

}  // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void extractsEveryRowFromItsContainer();
    void ownContainerOfAnotherSkinIsExtracted();
    void faultyRowsAreMarkedAndTheExportGoesOn();
    void replacedRowsKeepTheirImage();
    void nothingOpenDoesNothing();
};

void TestExport::extractsEveryRowFromItsContainer()
{
    QTemporaryDir dir;
    const QByteArray c0 = TestImage(250, 1);
    const QByteArray c1 = TestImage(80, 2);
    const QByteArray c14 = TestImage(60, 3);
    WriteFile(dir.filePath("varavave.dat"), c0);
    WriteFile(dir.filePath("VARAVAVE1.DAT"), c1);  // any letter case
    WriteFile(dir.filePath("varavave14.dat"), c14);
    const QString skin = Skin(dir.path(), "varavave.ski",
                              {"5 6 0 100 0",      // container 0, the first bytes
                               "5 7 100 150 0",    // ends exactly at the container's end
                               "5 8 101 150 0",    // one byte past it
                               "5 562 30 50 01",   // "01" is container 1
                               "5 900 0 60 14"});  // the editor's own container
    // An older, longer image file is replaced, not overwritten in place;
    // its bytes are kept beside it.
    WriteFile(dir.filePath("varavave_Gifs/6.gif"), QByteArray(1000, 'x'));

    Session s;
    s.open(skin);
    Editor& e = s.editor;
    QVERIFY(e.SaveEnabled);
    const int renders = e.renders;
    const ExtractReport report = cmdExportAll_Click(e);
    QCOMPARE(e.renders, renders + 1);
    QCOMPARE(e.doc.L_Values.selected(), e.doc.L_Values.count());  // progress ran to the last row
    QCOMPARE(report.written, 4);
    QCOMPARE(report.skipped, 0);
    QCOMPARE(report.faults.size(), 1);

    const QString gifs = dir.filePath("varavave_Gifs/");
    QCOMPARE(ReadFile(gifs + "6.gif"), c0.mid(0, 100));
    QCOMPARE(ReadFile(gifs + "7.gif"), c0.mid(100, 150));
    QCOMPARE(ReadFile(gifs + "562.gif"), c1.mid(30, 50));
    QCOMPARE(ReadFile(gifs + "900.gif"), c14);
    QVERIFY(!QFileInfo::exists(gifs + "8.gif"));
    // No temporary file is left beside the images.
    QCOMPARE(QDir(gifs).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"562.gif", "6.gif", "6.gif.1", "7.gif", "900.gif"}));
    QCOMPARE(ReadFile(gifs + "6.gif.1"), QByteArray(1000, 'x'));
    QCOMPARE(report.kept.size(), 1);

    const Row& r6 = RowOf(e, "0006");
    QCOMPARE(r6.cell(ColState), kStateExtracted);
    QCOMPARE(r6.cell(ColPath), ObjectImagePath(e.doc.GifDir, u"0006"));
    QCOMPARE(r6.colour, kBlack);
    QCOMPARE(r6.icon, int(IconImage));

    const Row& r8 = RowOf(e, "0008");
    QCOMPARE(r8.colour, kRed);
    QCOMPARE(r8.icon, int(IconMissing));
    QCOMPARE(r8.cell(ColState), kStateNotFound);  // state and path stay
    QCOMPARE(r8.cell(ColPath), QStringLiteral(" "));
    QVERIFY(HasFault(report, "0008"));

    const Row& r900 = RowOf(e, "0900");
    QCOMPARE(r900.cell(ColState), kStateReplace);
    QCOMPARE(r900.colour, kBlue);
    QVERIFY(r900.bold);
    QCOMPARE(r900.icon, int(IconReplace));
    QCOMPARE(r900.cell(ColPath), ObjectImagePath(e.doc.GifDir, u"0900"));

    QCOMPARE(QFileInfo(ContainerPath(e.doc, 1)).fileName(), QStringLiteral("VARAVAVE1.DAT"));
    QCOMPARE(QFileInfo(ContainerPath(e.doc, 0)).fileName(), QStringLiteral("varavave.dat"));

    // A second run writes the same files again.
    const ExtractReport again = cmdExportAll_Click(e);
    QCOMPARE(again.written, 4);
    QCOMPARE(ReadFile(gifs + "7.gif"), c0.mid(100, 150));
}

void TestExport::ownContainerOfAnotherSkinIsExtracted()
{
    QTemporaryDir dir;
    const QByteArray c14 = TestImage(40, 9);
    WriteFile(dir.filePath("altra14.dat"), c14);
    const QString skin = Skin(dir.path(), "altra.ski", {"5 900 0 40 14"});
    Session s;
    s.open(skin);
    cmdExportAll_Click(s.editor);
    const Row& r = RowOf(s.editor, "0900");
    QCOMPARE(r.cell(ColState), kStateExtracted);
    QCOMPARE(r.icon, int(IconImage));
    QCOMPARE(ReadFile(dir.filePath("altra_Gifs/900.gif")), c14);
}

void TestExport::faultyRowsAreMarkedAndTheExportGoesOn()
{
    QTemporaryDir dir;
    const QByteArray c0 = TestImage(300, 4);
    WriteFile(dir.filePath("varavave.dat"), c0);
    WriteFile(dir.filePath("varavave2.dat"), QByteArray());
    const QString skin =
        Skin(dir.path(), "varavave.ski",
             {"5 10 0 10 3",                                      // no such container
              "5 11 0 10 2",                                      // an empty container
              "5 12 5 0 0",                                       // an image of no bytes
              "5 13 4294967296 10 0",                             // past 32 bits
              "5 14 0 99999999999999999999 0",                    // a length far too long
              "5 15 -5 10 0",                                     // negative
              "5 16 9223372036854775807 9223372036854775807 0",   // a sum that overflows
              "5 17 0 1e300 0",
              "5 18 10 20 -1",
              "5 19 2.5 10 0",                                    // not a whole byte
              "5 20 290 10 0",                                    // a good one after them
              "5 21 0 10 0"});
    Session s;
    s.open(skin);
    Editor& e = s.editor;
    QVERIFY(QDir(e.doc.GifDir).removeRecursively());  // the export makes it again
    const ExtractReport report = cmdExportAll_Click(e);
    QCOMPARE(report.written, 2);
    QCOMPARE(ReadFile(dir.filePath("varavave_Gifs/20.gif")), c0.mid(290, 10));
    for (const char* key : {"0010", "0011", "0012", "0013", "0014", "0015", "0016", "0017", "0018", "0019"}) {
        const Row& r = RowOf(e, key);
        QVERIFY2(r.colour == kRed && r.icon == IconMissing, key);
        QVERIFY2(HasFault(report, key), key);
        const QString gif = ObjectImagePath(e.doc.GifDir, QString::fromLatin1(key));
        QVERIFY2(!QFileInfo::exists(gif), qPrintable(gif));
    }
    QCOMPARE(report.faults.size(), 10);

    // An image file that cannot be replaced (a folder took its name) fails
    // alone; nothing temporary is left behind.
    QVERIFY(QFile::remove(e.doc.GifDir + "21.gif"));
    QVERIFY(QDir().mkdir(e.doc.GifDir + "21.gif"));
    WriteFile(e.doc.GifDir + "20.gif", "stale");
    const ExtractReport second = cmdExportAll_Click(e);
    QVERIFY(HasFault(second, "0021"));
    QCOMPARE(second.written, 1);
    QCOMPARE(ReadFile(e.doc.GifDir + "20.gif"), c0.mid(290, 10));
    QCOMPARE(QDir(e.doc.GifDir).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"20.gif", "20.gif.1"}));
    QCOMPARE(ReadFile(e.doc.GifDir + "20.gif.1"), QByteArray("stale"));
}

void TestExport::replacedRowsKeepTheirImage()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("varavave.dat"), TestImage(500, 5));
    const QString skin = Skin(dir.path(), "varavave.ski", {"5 30 0 100 0", "5 31 100 100 0"});
    Session s;
    s.open(skin);
    Editor& e = s.editor;
    // Object 30 was replaced by an image in its own file (the user's work).
    const QByteArray mine = TestImage(77, 6);
    const QString own = ObjectImagePath(e.doc.GifDir, u"0030");
    WriteFile(own, mine);
    Row& r = e.doc.L_Values.row(e.doc.L_Values.findKey("0030"));
    MarkToReplace(r);
    r.setCell(ColDat, "-");
    r.setCell(ColOffset, "-");
    r.setCell(ColBytes, "77");
    r.setCell(ColPath, own);

    const ExtractReport report = cmdExportAll_Click(e);
    QCOMPARE(report.skipped, 1);
    QCOMPARE(report.written, 1);
    QCOMPARE(ReadFile(own), mine);
    QCOMPARE(r.cell(ColState), kStateReplace);
    QCOMPARE(r.cell(ColPath), own);
    QCOMPARE(r.colour, kBlue);
}

void TestExport::nothingOpenDoesNothing()
{
    Session s;
    const int renders = s.editor.renders;
    const ExtractReport report = cmdExportAll_Click(s.editor);
    QCOMPARE(report.written, 0);
    QCOMPARE(report.faults.size(), 0);
    QCOMPARE(s.editor.renders, renders);
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
