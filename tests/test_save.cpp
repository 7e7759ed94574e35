// SAVE: container 14, the regenerated records, the backup, the new skin text,
// and a folder that holds old or new files, never a mixture, when it fails.
#include "testsupport.h"

#include "skin/atomic.h"
#include "skin/files.h"
#include "editor/opensave.h"
#include "editor/objects.h"
#include "skin/reader.h"
#include "tinygif.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace velluno;
using namespace velluno::test;

namespace {


QStringList Lines(const QByteArray& text)
{
    QStringList lines = QString::fromLatin1(text).split(QLatin1Char('\n'));
    lines.removeLast();  // after the last line feed
    return lines;
}

Row& RowOf(Editor& e, const QString& key)
{
    const int n = e.doc.L_Values.findKey(key);
    if (n == 0)
        qFatal("no row %s", qPrintable(key));
    return e.doc.L_Values.row(n);
}

// Points a row at a new image file, as a replacement does.
void Replace(Editor& e, const QString& key, const QString& image)
{
    Row& r = RowOf(e, key);
    MarkToReplace(r);
    r.setCell(ColDat, "-");
    r.setCell(ColOffset, "-");
    r.setCell(ColBytes, QString::number(QFileInfo(image).size()));
    r.setCell(ColPath, image);
}

const QString kPackedMessage = QStringLiteral(
    "File: varavave14.dat creato con successo, file: varavave.ski aggiornato con successo.");
const QString kPlainMessage = QStringLiteral(
    "File: varavave.ski aggiornato con successo, nessun oggetto grafico sostituito.");

// A small varavave skin: a section line with a Latin-1 letter, colour rows
// with and without number, a dimension row with a seventh field, three
// graphic objects (two in container 0, one in container 14).
struct SmallSkin {
    QTemporaryDir dir;
    QByteArray text;
    QByteArray c0 = TestImage(400, 1);
    QByteArray c14 = TestImage(5000, 2);
    QString skin;
    SmallSkin()
    {
        text = "SKI1 prova\n"
               "0 41 98 colori \xe9\xe8\n"                 // slot 1
               "4 255 128 0 1\n"                           // slot 2
               "4 0562 10 20 30 0\n"                       // slot 3
               "0 dimensioni\n"                            // slot 4
               "1 3 0 0 175 219 99\n"                      // slot 5
               "2 8 18\n"                                  // slot 6
               "0 oggetti\n"                               // slot 7
               "5 40 0 100 0\n"                            // slot 8
               "5 41 100 250 0\n"                          // slot 9
               "5 42 0 5000 14\n"                          // slot 10
               "6 qualcosa  con due blank\n";             // slot 11
        skin = dir.filePath("varavave.ski");
        WriteFile(skin, text);
        WriteFile(dir.filePath("varavave.dat"), c0);
        WriteFile(dir.filePath("varavave14.dat"), c14);
    }
};

bool LastMessageIs(const Editor& e, MsgIcon icon, const QString& text = QString())
{
    if (e.messages.isEmpty())
        return false;
    const Message& m = e.messages.last();
    return m.icon == icon && m.title == MessageTitle(icon) && (text.isEmpty() || m.text == text);
}

// Runs a save that must fail and checks that the folder is unchanged.
void ExpectFailedSave(Session& s, const QString& dir, const QString& mustName)
{
    const auto before = Snapshot(dir);
    const QVector<QString> lines = s.editor.doc.SkinLines;
    const int messages = s.editor.messages.size();
    const SaveReport r = SalvaSkin(s.editor);
    QVERIFY(!r.saved);
    QCOMPARE(s.editor.messages.size(), messages + 1);
    QVERIFY(LastMessageIs(s.editor, MsgIcon::Stop));
    QVERIFY2(s.editor.messages.last().text.contains(mustName), qPrintable(s.editor.messages.last().text));
    const auto after = Snapshot(dir);
    QCOMPARE(after.size(), before.size());  // no temporary file left behind
    for (auto [name, bytes] : before.asKeyValueRange()) {
        QVERIFY2(after.count(name) == 1, qPrintable(name));
        QVERIFY2(after.value(name) == bytes, qPrintable(name));
    }
    QCOMPARE(s.editor.doc.SkinLines, lines);
}

}  // namespace

class TestSave : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetReplaceFaultHook({}); }
    void packsRowsBackToBackAndRewritesTheText();
    void packsInTheCurrentRowOrder();
    void withoutPackedRowsTheContainerStays();
    void checksEverythingBeforeWriting();
    void failuresLeaveEveryFileOldOrNew();
    void oldContentThatCannotGoBackIsKept();
    void fullDisk();
    void savesIntoTheExistingLetterCase();
    void missingSkinFileIsWrittenWithoutBackup();
    void roundTripOwnSkin();
    void roundTripSample();
    void corpusImagesSurvivePacking();
    void commandLine();
    void secondSaveKeepsTheReplacements();
    void handEditsReachThePhone();
    void readOnlyFilesStopTheSave();
};

void TestSave::packsRowsBackToBackAndRewritesTheText()
{
    SmallSkin k;
    QTemporaryDir src;
    const QByteArray a = TestImage(100, 3), b = TestImage(250, 4);
    WriteFile(src.filePath("a.gif"), a);
    WriteFile(src.filePath("b.gif"), b);
    Session s;
    s.open(k.skin);
    Editor& e = s.editor;
    QVERIFY(e.SaveEnabled);
    // Row 42 of container 14 is packed from its image file, which is missing
    // until it is extracted.
    cmdExportAll_Click(e);
    Replace(e, "0040", src.filePath("a.gif"));
    Replace(e, "0041", src.filePath("b.gif"));
    // Edits: a colour cell, a rectangle cell, a tree node.
    Row& colour = e.doc.L_RGBA.row(e.doc.L_RGBA.findKey("0562"));
    colour.setCell(ColR, "77");
    e.doc.L_Dim.row(1).setCell(ColX2, "170");
    e.doc.T_Strutt.setText(7, "2 8 20");
    e.doc.T_Strutt.markEdited(7, false);
    // A colour row whose slot lies beyond the lines written has no effect.
    const int extra = e.doc.L_RGBA.addRow(u"-");
    e.doc.L_RGBA.row(extra).setCell(ColRgbaIndex, "1400");

    const auto valuesBefore = e.doc.L_Values.rows();
    QVERIFY(SalvaSkin(e).containerWritten);
    QVERIFY(LastMessageIs(e, MsgIcon::Information, kPackedMessage));

    // The container holds exactly the packed images in row order (40, 41,
    // 42), and the old, longer container is gone.
    const QByteArray container = ReadFile(k.dir.filePath("varavave14.dat"));
    QCOMPARE(container, a + b + k.c14);
    QCOMPARE(ReadFile(k.dir.filePath("varavave_old.ski")), k.text);

    const QStringList lines = Lines(ReadFile(k.skin));
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[0], QStringLiteral("SKI1 prova"));
    QCOMPARE(lines[1].toLatin1(), QByteArray("0 41 98 colori \xe9\xe8"));
    QCOMPARE(lines[2], QStringLiteral("4 255 128 0 1"));
    QCOMPARE(lines[3], QStringLiteral("4 562 77 20 30 0"));
    QCOMPARE(lines[5], QStringLiteral("1 3 0 0 170 219"));
    QCOMPARE(lines[6], QStringLiteral("2 8 20"));
    QCOMPARE(lines[8], QStringLiteral("5 40 0 100 14"));
    QCOMPARE(lines[9], QStringLiteral("5 41 100 250 14"));
    QCOMPARE(lines[10], QStringLiteral("5 42 350 5000 14"));
    QCOMPARE(lines[11], QStringLiteral("6 qualcosa  con due blank"));
    QVERIFY(!ReadFile(k.skin).contains('\r'));

    // The table keeps its cells; packed rows turn red.
    for (int r = 1; r <= e.doc.L_Values.count(); ++r) {
        const Row& row = e.doc.L_Values.row(r);
        QCOMPARE(row.cells(), valuesBefore[r - 1].cells());
        QCOMPARE(row.colour, kRed);
    }
    QCOMPARE(e.doc.T_Strutt.text(9), QStringLiteral("5 40 0 100 0"));
    QVERIFY(e.SaveEnabled);

    // Saving again without edits writes the same files; the backup is now
    // the first saved text.
    const QByteArray first = ReadFile(k.skin);
    QVERIFY(SalvaSkin(e).containerWritten);
    QCOMPARE(ReadFile(k.skin), first);
    QCOMPARE(ReadFile(k.dir.filePath("varavave_old.ski")), first);
    QCOMPARE(ReadFile(k.dir.filePath("varavave14.dat")), a + b + k.c14);
}

void TestSave::packsInTheCurrentRowOrder()
{
    SmallSkin k;
    QTemporaryDir src;
    const QByteArray a = TestImage(100, 3), b = TestImage(250, 4);
    // Sorted on "Path GIF" the second object comes first.
    WriteFile(src.filePath("z.gif"), a);
    WriteFile(src.filePath("m.gif"), b);
    Session s;
    s.open(k.skin);
    Editor& e = s.editor;
    RowOf(e, "0042").setCell(ColState, "Trovata");  // not packed this time
    Replace(e, "0040", src.filePath("z.gif"));
    Replace(e, "0041", src.filePath("m.gif"));
    RowOf(e, "0041").setCell(ColState, "DA SOSTITUIRE");  // states compare without case
    e.doc.L_Values.sortOn(ColPath);
    QVERIFY(SalvaSkin(e).containerWritten);
    QCOMPARE(ReadFile(k.dir.filePath("varavave14.dat")), b + a);
    const QStringList lines = Lines(ReadFile(k.skin));
    QCOMPARE(lines[8], QStringLiteral("5 40 250 100 14"));
    QCOMPARE(lines[9], QStringLiteral("5 41 0 250 14"));
    QCOMPARE(lines[10], QStringLiteral("5 42 0 5000 14"));  // as read
}

void TestSave::withoutPackedRowsTheContainerStays()
{
    SmallSkin k;
    Session s;
    s.open(k.skin);
    Editor& e = s.editor;
    // The container-14 row has no image file yet: its "Path GIF" is blank,
    // which adds nothing; with every packed row blank nothing is packed.
    QCOMPARE(RowOf(e, "0042").cell(ColPath), QStringLiteral(" "));
    const QDateTime stamp = QFileInfo(k.dir.filePath("varavave14.dat")).lastModified();
    QTest::qWait(20);
    const SaveReport r = SalvaSkin(e);
    QVERIFY(r.saved);
    QVERIFY(!r.containerWritten);
    QVERIFY(LastMessageIs(e, MsgIcon::Information, kPlainMessage));
    QCOMPARE(ReadFile(k.dir.filePath("varavave14.dat")), k.c14);
    QCOMPARE(QFileInfo(k.dir.filePath("varavave14.dat")).lastModified(), stamp);
    QCOMPARE(Lines(ReadFile(k.skin))[10], QStringLiteral("5 42 0 5000 14"));
    QCOMPARE(Lines(ReadFile(k.skin))[5], QStringLiteral("1 3 0 0 175 219"));  // regenerated anyway
    QCOMPARE(RowOf(e, "0042").colour, kBlue);  // blank: not packed, not red
}

void TestSave::checksEverythingBeforeWriting()
{
    SmallSkin k;
    QTemporaryDir src;
    WriteFile(src.filePath("a.gif"), TestImage(100, 3));
    {
        // A blank "Path GIF" beside a real image: the image would lose its place.
        Session s;
        s.open(k.skin);
        Replace(s.editor, "0040", src.filePath("a.gif"));
        ExpectFailedSave(s, k.dir.path(), "0042");
    }
    {
        // An image deleted after it was chosen.
        Session s;
        s.open(k.skin);
        cmdExportAll_Click(s.editor);
        WriteFile(src.filePath("gone.gif"), TestImage(30, 5));
        Replace(s.editor, "0041", src.filePath("gone.gif"));
        QVERIFY(QFile::remove(src.filePath("gone.gif")));
        ExpectFailedSave(s, k.dir.path(), src.filePath("gone.gif"));
    }
    {
        // An "Indice" that names no slot, in either table.
        Session s;
        s.open(k.skin);
        s.editor.doc.L_RGBA.row(1).setCell(ColRgbaIndex, "1501");
        ExpectFailedSave(s, k.dir.path(), "1501");
        s.editor.doc.L_RGBA.row(1).setCell(ColRgbaIndex, "0002");
        s.editor.doc.L_Dim.row(1).setCell(ColDimIndex, "-4");
        ExpectFailedSave(s, k.dir.path(), "-4");
        s.editor.doc.L_Dim.row(1).setCell(ColDimIndex, "1e300");
        ExpectFailedSave(s, k.dir.path(), "varavave.ski");
    }
    {
        // A skin that may not be saved writes nothing and shows nothing.
        QTemporaryDir other;
        WriteFile(other.filePath("altra.ski"), k.text);
        Session s;
        s.open(other.filePath("altra.ski"));
        const auto before = Snapshot(other.path());
        const int messages = s.editor.messages.size();
        QVERIFY(!SalvaSkin(s.editor).saved);
        QCOMPARE(s.editor.messages.size(), messages);
        QCOMPARE(Snapshot(other.path()).size(), before.size());
    }
}

void TestSave::failuresLeaveEveryFileOldOrNew()
{
    SmallSkin k;
    QTemporaryDir src;
    WriteFile(src.filePath("a.gif"), TestImage(100, 3));
    WriteFile(k.dir.filePath("varavave_old.ski"), "SKI1 older backup\n");
    Session s;
    s.open(k.skin);
    cmdExportAll_Click(s.editor);
    Replace(s.editor, "0040", src.filePath("a.gif"));

    // Every write and every replacement of the group fails in turn: the
    // container, its backup, the text's two backups, the text and the
    // packed image's file.
    // Each round ends with the save that nothing stopped; the first has six
    // files to replace, the second five (the image holds its bytes now).
    int files = 6;
    for (const ReplaceStep step : {ReplaceStep::Write, ReplaceStep::Replace}) {
        for (int failing = 0;; ++failing) {
            int seen = 0;
            SetReplaceFaultHook([&](ReplaceStep st, int index, const QString&) {
                if (st == step)
                    ++seen;
                return !(st == step && index == failing);
            });
            if (failing == files) {
                QVERIFY(SalvaSkin(s.editor).saved);
                QCOMPARE(seen, files);
                break;
            }
            ExpectFailedSave(s, k.dir.path(), k.dir.path());
        }
        QVERIFY(QFile::remove(k.dir.filePath("varavave_orig.ski")));
        files = 5;
    }
    SetReplaceFaultHook({});

    // A real refusal: the backup's name is taken by a folder.
    QVERIFY(QFile::remove(k.dir.filePath("varavave_old.ski")));
    QVERIFY(QDir().mkdir(k.dir.filePath("varavave_old.ski")));
    ExpectFailedSave(s, k.dir.path(), "varavave_old.ski");
    QVERIFY(QDir().rmdir(k.dir.filePath("varavave_old.ski")));

#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        // A folder the user may not write into (root ignores the mode).
        QFile::setPermissions(k.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        ExpectFailedSave(s, k.dir.path(), k.dir.path());
        QFile::setPermissions(k.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
#endif

    // And with nothing in the way the same save goes through.
    const QByteArray previous = ReadFile(k.skin);
    QVERIFY(SalvaSkin(s.editor).saved);
    QCOMPARE(ReadFile(k.dir.filePath("varavave14.dat")).left(100), TestImage(100, 3));
    QCOMPARE(ReadFile(k.dir.filePath("varavave_old.ski")), previous);
}

void TestSave::oldContentThatCannotGoBackIsKept()
{
    // The container is replaced, then the backup's replacement fails, and
    // the container's old bytes cannot go back because its name has been
    // taken meanwhile: the save says where the old bytes are, and they are
    // there, whole.
    SmallSkin k;
    QTemporaryDir src;
    WriteFile(src.filePath("a.gif"), TestImage(100, 3));
    Session s;
    s.open(k.skin);
    cmdExportAll_Click(s.editor);
    Replace(s.editor, "0040", src.filePath("a.gif"));
    const QString container = k.dir.filePath("varavave14.dat");
    SetReplaceFaultHook([&](ReplaceStep step, int index, const QString&) {
        if (step == ReplaceStep::Replace && index == 1) {
            QFile::remove(container);
            QDir().mkpath(container + "/in-the-way");
            return false;
        }
        return true;
    });
    const SaveReport r = SalvaSkin(s.editor);
    SetReplaceFaultHook({});
    QVERIFY(!r.saved);
    QCOMPARE(r.error.code, SkinError::CannotReplace);
    QCOMPARE(r.error.kept.size(), 1);
    QCOMPARE(ReadFile(r.error.kept.first()), k.c14);
    const QString text = s.editor.messages.last().text;
    QVERIFY2(text.contains(r.error.kept.first()) && text.contains(QStringLiteral("conservato")), qPrintable(text));
    // The skin text and the backup were not touched.
    QCOMPARE(ReadFile(k.skin), k.text);
    QVERIFY(!QFileInfo::exists(k.dir.filePath("varavave_old.ski")));
}

void TestSave::fullDisk()
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP("a small tmpfs needs root to be mounted");
    QTemporaryDir mountPoint;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", mountPoint.path()}) != 0)
        QSKIP("mount -t tmpfs is not available here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute("umount", {path}); }
    } unmount{mountPoint.path()};

    // 100 KB of old container in a 256 KB folder and 200 KB of images to
    // pack: the new container cannot be written beside the old one.
    const QString dir = mountPoint.path();
    const QByteArray text = "SKI1\n0 oggetti\n5 40 0 100000 14\n5 41 0 10 0\n";
    WriteFile(dir + "/varavave.ski", text);
    WriteFile(dir + "/varavave14.dat", TestImage(100000, 7));
    QTemporaryDir src;
    WriteFile(src.filePath("big.gif"), TestImage(200000, 8));
    Session s;
    s.open(dir + "/varavave.ski");
    Replace(s.editor, "0040", src.filePath("big.gif"));
    QVERIFY(QDir(s.editor.doc.GifDir).removeRecursively());
    ExpectFailedSave(s, dir, dir + "/varavave14.dat");
#else
    QSKIP("needs Linux tmpfs");
#endif
}

void TestSave::savesIntoTheExistingLetterCase()
{
    SmallSkin k;
    QVERIFY(QFile::rename(k.skin, k.dir.filePath("VARAVAVE.SKI")));
    QVERIFY(QFile::rename(k.dir.filePath("varavave14.dat"), k.dir.filePath("Varavave14.DAT")));
    WriteFile(k.dir.filePath("VARAVAVE_OLD.SKI"), "old");
    QTemporaryDir src;
    WriteFile(src.filePath("a.gif"), TestImage(100, 3));
    Session s;
    s.open(k.dir.filePath("VARAVAVE.SKI"));
    QVERIFY(s.editor.SaveEnabled);
    cmdExportAll_Click(s.editor);
    Replace(s.editor, "0040", src.filePath("a.gif"));
    QVERIFY(SalvaSkin(s.editor).containerWritten);
    QStringList names = QDir(k.dir.path()).entryList(QDir::Files);
    names.sort();
    QCOMPARE(names, (QStringList{"VARAVAVE.SKI", "VARAVAVE_OLD.SKI", "Varavave14.DAT", "varavave.dat",
                                 "varavave14_old.dat", "varavave_orig.ski"}));
    QCOMPARE(ReadFile(k.dir.filePath("VARAVAVE_OLD.SKI")), k.text);
    QCOMPARE(Lines(ReadFile(k.dir.filePath("VARAVAVE.SKI")))[8], QStringLiteral("5 40 0 100 14"));
}

void TestSave::missingSkinFileIsWrittenWithoutBackup()
{
    SmallSkin k;
    WriteFile(k.dir.filePath("varavave_old.ski"), "SKI1 earlier\n");
    Session s;
    s.open(k.skin);
    QVERIFY(QFile::remove(k.skin));
    const SaveReport r = SalvaSkin(s.editor);
    QVERIFY(r.saved);
    QVERIFY(!r.backupWritten);
    QCOMPARE(ReadFile(k.dir.filePath("varavave_old.ski")), QByteArray("SKI1 earlier\n"));
    QCOMPARE(Lines(ReadFile(k.skin)).size(), 12);
    QVERIFY(!QFileInfo::exists(k.dir.filePath("varavave_orig.ski")));
}

namespace {

// Open, export, save, reopen, export again: the images come out as they went
// in, untouched lines stay byte for byte, container 14 is the packed images.
void RoundTrip(const QString& dir)
{
    const QString skin = ResolveFile(dir + "/varavave.ski");
    const QByteArray original = ReadFile(skin);
    Session s;
    s.open(skin);
    Editor& e = s.editor;
    QVERIFY(e.SaveEnabled);
    const ExtractReport first = cmdExportAll_Click(e);
    QVERIFY2(first.faults.isEmpty(), qPrintable(first.faults.isEmpty() ? QString() : first.faults[0].file));
    std::map<QString, QByteArray> images;
    QByteArray packed;
    QStringList packedKeys;
    for (const Row& row : e.doc.L_Values.rows()) {
        images[row.key()] = ReadFile(ObjectImagePath(e.doc.GifDir, row.keyView()));
        QVERIFY(!images[row.key()].isEmpty());
        if (IsState(row, kStateReplace)) {
            packed += images[row.key()];
            packedKeys << row.key();
        }
    }
    const SaveReport saved = SalvaSkin(e);
    QVERIFY(saved.saved);
    QCOMPARE(saved.containerWritten, !packed.isEmpty());
    if (!packed.isEmpty())
        QCOMPARE(ReadFile(ResolveFile(dir + "/varavave14.dat")), packed);

    // Untouched lines: every line but the records of packed rows.
    const QStringList before = Lines(original);
    const QStringList after = Lines(ReadFile(skin));
    QCOMPARE(after.size(), before.size());
    QSet<int> rewritten;
    for (const Row& row : e.doc.L_Values.rows())
        if (packedKeys.contains(row.key()))
            rewritten.insert(int(LenientNumber(row.cell(ColValuesIndex))));
    for (int i = 0; i < before.size(); ++i) {
        if (rewritten.contains(i))
            continue;
        const QChar t = RecordType(before[i]);
        if (t == '1' || t == '4') {
            // Regenerated: equal to what the reader took apart and put back.
            const auto r = ReadValueRecord(before[i]);
            QVERIFY(r);
            const QString key = r->number == QLatin1String("-") ? QString("-") : FormatDigits(r->number, 4);
            QCOMPARE(after[i], ComposeValueRecord(t, key, r->values[0], r->values[1], r->values[2], r->values[3]));
        } else {
            QCOMPARE(after[i].toLatin1(), before[i].toLatin1());
        }
    }

    Session again;
    again.open(skin);
    QDir(again.editor.doc.GifDir).removeRecursively();
    const ExtractReport second = cmdExportAll_Click(again.editor);
    QVERIFY(second.faults.isEmpty());
    for (const auto& [key, bytes] : images)
        QVERIFY2(ReadFile(ObjectImagePath(again.editor.doc.GifDir, key)) == bytes, qPrintable(key));
}

}  // namespace

void TestSave::roundTripOwnSkin()
{
    QTemporaryDir dir;
    QByteArray c0, c1, c14;
    QByteArray text = "SKI1\n0 oggetti\n";
    for (int i = 0; i < 30; ++i) {
        QByteArray& c = i % 3 == 0 ? c0 : i % 3 == 1 ? c1 : c14;
        const QByteArray img = TestImage(50 + 37 * i, 100 + i);
        text += QStringLiteral("5 %1 %2 %3 %4\n").arg(600 + i).arg(c.size()).arg(img.size())
                    .arg(i % 3 == 0 ? "0" : i % 3 == 1 ? "01" : "14").toLatin1();
        c += img;
    }
    text += "0 colori\n4 0562 1 2 3 4\n4 5 6 7 8\n1 0570 0 0 175 219\n3 verbatim\n";
    WriteFile(dir.filePath("varavave.ski"), text);
    WriteFile(dir.filePath("varavave.dat"), c0);
    WriteFile(dir.filePath("varavave1.dat"), c1);
    WriteFile(dir.filePath("varavave14.dat"), c14);
    RoundTrip(dir.path());
}

void TestSave::roundTripSample()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    RoundTrip(dir.path());
}

void TestSave::corpusImagesSurvivePacking()
{
    const QString corpus = CorpusDir();
    if (corpus.isEmpty())
        QSKIP("VELLUNO_CORPUS does not point at a folder with gif-test-suite/");
    const QFileInfoList gifs =
        QDir(corpus + "/gif-test-suite").entryInfoList({"*.gif"}, QDir::Files, QDir::Name);
    QVERIFY(!gifs.isEmpty());

    QTemporaryDir dir;
    QByteArray text = "SKI1\n0 oggetti\n";
    for (int i = 0; i < gifs.size(); ++i)
        text += QStringLiteral("5 %1 0 1 0\n").arg(700 + i).toLatin1();
    WriteFile(dir.filePath("varavave.ski"), text);
    WriteFile(dir.filePath("varavave.dat"), "x");
    Session s;
    s.open(dir.filePath("varavave.ski"));
    QByteArray expected;
    for (int i = 0; i < gifs.size(); ++i) {
        Replace(s.editor, QStringLiteral("%1").arg(700 + i, 4, 10, QLatin1Char('0')), gifs[i].filePath());
        expected += ReadFile(gifs[i].filePath());
    }
    QVERIFY(SalvaSkin(s.editor).containerWritten);
    QCOMPARE(ReadFile(dir.filePath("varavave14.dat")), expected);

    Session again;
    again.open(dir.filePath("varavave.ski"));
    const ExtractReport report = cmdExportAll_Click(again.editor);
    QCOMPARE(report.written, gifs.size());
    for (int i = 0; i < gifs.size(); ++i) {
        const QString key = QStringLiteral("%1").arg(700 + i, 4, 10, QLatin1Char('0'));
        QVERIFY2(ReadFile(ObjectImagePath(again.editor.doc.GifDir, key)) == ReadFile(gifs[i].filePath()),
                 qPrintable(gifs[i].fileName()));
    }
}

void TestSave::commandLine()
{
    const QString cli = QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli");
    QVERIFY(QFileInfo(cli).isExecutable());

    SmallSkin k;
    QProcess p;
    p.start(cli, {"export", k.skin});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(ReadFile(k.dir.filePath("varavave_Gifs/41.gif")), k.c0.mid(100, 250));
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).contains("3 images extracted"));

    // The image of container 14 edited outside the editor, then repacked.
    const QByteArray edited = TestImage(321, 9);
    WriteFile(k.dir.filePath("varavave_Gifs/42.gif"), edited);
    p.start(cli, {"repack", k.skin});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("1 images packed into varavave14.dat"));
    QCOMPARE(ReadFile(k.dir.filePath("varavave14.dat")), edited);
    QVERIFY(Lines(ReadFile(k.skin))[10] == QStringLiteral("5 42 0 321 14"));

    // A skin that may not be saved is refused.
    WriteFile(k.dir.filePath("altra.ski"), k.text);
    p.start(cli, {"repack", k.dir.filePath("altra.ski")});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(!p.readAllStandardError().isEmpty());
    WriteFile(k.dir.filePath("bad.ski"), "no magic\n");
    p.start(cli, {"export", k.dir.filePath("bad.ski")});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 2);  // not a skin
}

namespace {

// The record of object `key` in the skin file at `skin`: offset, length, container.
QStringList RecordOf(const QString& skin, int key)
{
    for (const QString& line : Lines(ReadFile(skin)))
        if (line.startsWith(QStringLiteral("5 %1 ").arg(key)))
            return line.split(QLatin1Char(' ')).mid(2);
    return {};
}

// The bytes container 14 holds for object `key`.
QByteArray PackedImage(const QString& dir, int key)
{
    const QStringList r = RecordOf(dir + "/varavave.ski", key);
    if (r.value(2) != QLatin1String("14"))
        return QByteArray();
    return ReadFile(dir + "/varavave14.dat").mid(r.value(0).toLongLong(), r.value(1).toLongLong());
}

void ExpectFiles(const QString& dir, const std::vector<std::pair<const char*, QByteArray>>& files)
{
    for (const auto& [name, bytes] : files)
        QVERIFY2(ReadFile(dir + QLatin1Char('/') + QLatin1String(name)) == bytes, name);
}

void Show(Editor& e, const QString& key)
{
    const int r = e.doc.L_Values.findKey(key);
    e.doc.L_Values.select(r);
    L_Values_Click(e, r);
}

}  // namespace

void TestSave::secondSaveKeepsTheReplacements()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath("varavave.ski");
    const QByteArray originalText = ReadFile(skin), originalContainer = ReadFile(dir.filePath("varavave14.dat"));
    const QByteArray red = SolidGif(24, 24, qRgb(255, 0, 0));
    WriteFile(dir.filePath("rosso.gif"), red);
    const QByteArray defaultImage = ReadFile(QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default/674.gif"));

    Session s;
    s.open(skin);
    Editor& e = s.editor;
    cmdExportAll_Click(e);
    const QByteArray extracted652 = ReadFile(dir.filePath("varavave_Gifs/652.gif"));
    e.chkDim.checked = false;
    e.chkConferma.checked = false;
    Show(e, "0652");
    s.dialogs.files.push_back(dir.filePath("rosso.gif"));
    cmdImport_Click(e);
    Show(e, "0674");
    cmdDefault_Click(e);
    QVERIFY(SalvaSkin(e).containerWritten);
    const QByteArray firstText = ReadFile(skin), firstContainer = ReadFile(dir.filePath("varavave14.dat"));
    QCOMPARE(PackedImage(dir.path(), 652), red);
    QCOMPARE(PackedImage(dir.path(), 674), defaultImage);
    // The image folder holds what the container holds; the picture before
    // the replacement is kept with a number.
    ExpectFiles(dir.path(), {{"varavave_Gifs/652.gif", red},
                             {"varavave_Gifs/652.gif.1", extracted652},
                             {"varavave_Gifs/674.gif", defaultImage},
                             {"varavave_old.ski", originalText},
                             {"varavave_orig.ski", originalText},
                             {"varavave14_old.dat", originalContainer}});

    // Opened again and saved again: the same files, byte for byte; the
    // backups step on, the original stays.
    Session again;
    again.open(skin);
    QVERIFY(SalvaSkin(again.editor).saved);
    ExpectFiles(dir.path(), {{"varavave.ski", firstText},
                             {"varavave14.dat", firstContainer},
                             {"varavave_old.ski", firstText},
                             {"varavave14_old.dat", firstContainer},
                             {"varavave_orig.ski", originalText}});

    // The whole default set, then a save that only changes a colour: every
    // default image stays in the skin.
    Session all;
    all.open(skin);
    all.dialogs.answers.push_back(Answer::Yes);
    cmdDefaultAll_Click(all.editor);
    QVERIFY(SalvaSkin(all.editor).saved);
    Session colour;
    colour.open(skin);
    colour.editor.doc.L_RGBA.row(1).setCell(ColR, "1");
    QVERIFY(SalvaSkin(colour.editor).saved);
    int defaults = 0;
    for (const QFileInfo& f : QDir(QStringLiteral(VELLUNO_SOURCE_DIR "/assets/default")).entryInfoList({"*.gif"})) {
        const int key = f.baseName().toInt();
        if (RecordOf(skin, key).isEmpty())
            continue;
        ++defaults;
        QVERIFY2(PackedImage(dir.path(), key) == ReadFile(f.filePath()), qPrintable(f.fileName()));
    }
    QVERIFY(defaults > 20);
}

void TestSave::handEditsReachThePhone()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath("varavave.ski");
    {
        Session s;
        s.open(skin);
        cmdExportAll_Click(s.editor);
    }
    // Edited in another program: a whole picture, and one cut short inside
    // its image data, which the phone could not show.
    const QByteArray edited = SolidGif(72, 72, qRgb(9, 99, 199));
    WriteFile(dir.filePath("varavave_Gifs/630.gif"), edited);
    const QByteArray whole = SolidGif(30, 30, qRgb(1, 2, 3));
    WriteFile(dir.filePath("varavave_Gifs/631.gif"), whole.left(whole.size() - 3));

    Session s;
    s.open(skin);
    Editor& e = s.editor;
    const Row& taken = e.doc.L_Values.row(e.doc.L_Values.findKey(QStringLiteral("0630")));
    QCOMPARE(taken.cell(ColState), kStateReplace);
    QVERIFY(taken.bold && taken.colour == kBlue);
    QCOMPARE(taken.cell(ColBytes), QString::number(edited.size()));
    QCOMPARE(ResolveFile(ImagePathOf(taken)), ResolveFile(dir.filePath("varavave_Gifs/630.gif")));
    const Row& refused = e.doc.L_Values.row(e.doc.L_Values.findKey(QStringLiteral("0631")));
    QCOMPARE(refused.cell(ColState), kStateFound);
    QVERIFY2(e.status.contains(QStringLiteral("1 immagine modificata a mano")) &&
                 e.status.contains(QStringLiteral("0631 non è valida: il file GIF è incompleto")),
             qPrintable(e.status));

    // Seen by the file watcher while the skin is open.
    const QByteArray later = SolidGif(72, 72, qRgb(200, 100, 0));
    WriteFile(dir.filePath("varavave_Gifs/632.gif"), later);
    ImageFilesChanged(e);
    QCOMPARE(e.doc.L_Values.row(e.doc.L_Values.findKey(QStringLiteral("0632"))).cell(ColState), kStateReplace);

    QVERIFY(SalvaSkin(e).containerWritten);
    QCOMPARE(PackedImage(dir.path(), 630), edited);
    QCOMPARE(PackedImage(dir.path(), 632), later);
    QVERIFY(RecordOf(skin, 631).value(2) != QLatin1String("14"));

    // The command-line tool sees and packs the same.
    WriteFile(dir.filePath("varavave_Gifs/633.gif"), edited);
    QProcess p;
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {"info", skin});
    QVERIFY(p.waitForFinished());
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("Edited by hand: 1 image file")));
    p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {"repack", skin});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(PackedImage(dir.path(), 633), edited);
    QCOMPARE(PackedImage(dir.path(), 630), edited);
}

void TestSave::readOnlyFilesStopTheSave()
{
    SmallSkin k;
    QTemporaryDir src;
    WriteFile(src.filePath("a.gif"), TestImage(100, 3));
    Session s;
    s.open(k.skin);
    cmdExportAll_Click(s.editor);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions writable = readOnly | QFile::WriteOwner;
    // The skin text, whoever saves (root included), and the container when
    // an image is to be packed into it.
    QVERIFY(QFile::setPermissions(k.skin, readOnly));
    ExpectFailedSave(s, k.dir.path(), k.skin);
    QVERIFY(s.editor.messages.last().text.contains(QStringLiteral("sola lettura")));
    QVERIFY(QFile::setPermissions(k.skin, writable));
    Replace(s.editor, "0040", src.filePath("a.gif"));
    QVERIFY(QFile::setPermissions(k.dir.filePath("varavave14.dat"), readOnly));
    ExpectFailedSave(s, k.dir.path(), k.dir.filePath("varavave14.dat"));
    QVERIFY(QFile::setPermissions(k.dir.filePath("varavave14.dat"), writable));
    QVERIFY(SalvaSkin(s.editor).containerWritten);
}

QTEST_MAIN(TestSave)
#include "test_save.moc"
