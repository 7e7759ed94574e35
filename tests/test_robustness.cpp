// Nothing the user opens is lost and every failure says why: readings that
// leave lines out refuse to save, object numbers that name no image file are
// faulty rows, an opening that stops names the reason in the status bar, and
// "Esporta tutto" on a disk that fills up leaves every image whole.
#include "fileaccess.h"
#include "testsupport.h"

#include "editor/objects.h"
#include "editor/opensave.h"
#include "skin/atomic.h"
#include "skin/containers.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QProcess>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

QString Put(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    WriteFile(path, bytes);
    return path;
}

// A skin whose container 0 holds `count` images of `bytes` bytes, for the
// objects `first`, `first` + 1, ... back to back; its path and the
// container's bytes.
struct ImageSkin {
    QString path;
    QByteArray container;
};
ImageSkin WriteImageSkin(const QTemporaryDir& dir, int first, int count, int bytes, quint32 seed)
{
    ImageSkin made;
    QByteArray skin = "SKI1\n0 oggetti\n";
    for (int n = 0; n < count; ++n) {
        skin += "5 " + QByteArray::number(first + n) + ' ' + QByteArray::number(made.container.size()) + ' ' +
                QByteArray::number(bytes) + " 0\n";
        made.container += TestImage(bytes, seed + n);
    }
    WriteFile(dir.filePath(QStringLiteral("varavave.dat")), made.container);
    made.path = Put(dir, QStringLiteral("varavave.ski"), skin);
    return made;
}

// The graphic-object row of object `n`.
const Row& ObjectRow(const Editor& editor, int n)
{
    return editor.doc.L_Values.row(editor.doc.L_Values.findKey(QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'))));
}

// The sample's skin text with a change, in a copy of the sample folder.
QString SampleWith(const QTemporaryDir& dir, const std::function<QByteArray(QByteArray)>& change)
{
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    WriteFile(skin, change(ReadFile(skin)));
    return skin;
}

// Line `n` (1-based) of a text ended by a carriage return before its line feed.
QByteArray WithCarriageReturnAt(QByteArray text, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n; ++i)
        at = text.indexOf('\n', at + 1);
    return text.insert(at, '\r');
}

// Qt's warnings while `run` runs.
QStringList QtWarningsOf(const std::function<void()>& run)
{
    static QStringList* caught = nullptr;
    QStringList warnings;
    caught = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && caught)
            caught->append(text);
    });
    run();
    qInstallMessageHandler(previous);
    caught = nullptr;
    return warnings;
}

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void droppedTextAsksForTheRepair_data();
    void droppedTextAsksForTheRepair();
    void blanksAfterTheLastLineFeedLoseNothing();
    void objectNumbersBeyondTheFormat();
    void stoppedOpeningSaysWhyInTheStatusBar();
    void exportUnderFailingWrites();
    void exportOnAFullDisk();
};

void TestRobustness::droppedTextAsksForTheRepair_data()
{
    QTest::addColumn<QByteArray>("text");  // the skin; "sample" stands for the sample's text
    QTest::addColumn<int>("linesRead");
    QTest::addColumn<QString>("question");   // what the question says, besides "Correggere il file?"
    QTest::addColumn<int>("linesRepaired");
    const QByteArray tail = "4 999 1 2 3 0 and a very long comment that goes on and on";
    QTest::newRow("CR LF at line 125 of 139") << QByteArray("sample@125") << 124
                                              << "alla riga 125|1 fine riga CR LF diventerà LF" << 139;
    QTest::newRow("CR LF line ends") << QByteArray("sample@crlf") << 0
                                     << "alla riga 1,|139 fini riga CR LF diventeranno LF" << 139;
    QTest::newRow("text after the last line feed")
        << QByteArray("sample@tail") << 139
        << "(riga 140)|\"" + QString::fromLatin1(tail.left(40)) + "...\"|sarà aggiunto un LF dopo l'ultima riga"
        << 140;
    QTest::newRow("last line ended by CR LF") << QByteArray("SKI1\n4 1 2 3 0\n4 4 5 6 0\r\n") << 2
                                              << "\"4 4 5 6 0\"|1 fine riga CR LF diventerà LF" << 3;
    QTest::newRow("last line ended by CR") << QByteArray("SKI1\n4 1 2 3 0\n4 4 5 6 0\r") << 2
                                           << "1 carattere CR isolato diventerà LF" << 3;
    QTest::newRow("CR LF, then more") << QByteArray("SKI1\n4 1 2 3 0\r\n\n") << 1 << "alla riga 2" << 3;
    QTest::newRow("no line feed at all") << QByteArray("SKI1 only") << 0
                                         << "non contiene righe terminate da LF|sarà aggiunto un LF" << 1;
}

void TestRobustness::droppedTextAsksForTheRepair()
{
    QFETCH(QByteArray, text);
    QFETCH(int, linesRead);
    QFETCH(QString, question);
    QFETCH(int, linesRepaired);
    QTemporaryDir dir;
    const QByteArray tail = "4 999 1 2 3 0 and a very long comment that goes on and on";
    QString skin;
    if (text == "sample@125")
        skin = SampleWith(dir, [](QByteArray t) { return WithCarriageReturnAt(t, 125); });
    else if (text == "sample@crlf")
        skin = SampleWith(dir, [](QByteArray t) { return t.replace("\n", "\r\n"); });
    else if (text == "sample@tail")
        skin = SampleWith(dir, [&](QByteArray t) { return t + tail; });
    else
        skin = Put(dir, QStringLiteral("varavave.ski"), text);
    const QByteArray original = ReadFile(skin);

    // No: the skin opens for viewing and exporting only; nothing writes it.
    Session no;
    no.dialogs.answers.push_back(Answer::No);
    no.open(skin);
    QCOMPARE(no.editor.doc.LineCount, linesRead);
    QVERIFY(!no.editor.SaveEnabled && !no.editor.saveButtonEnabled);
    QCOMPARE(no.editor.messages.size(), 1);
    const Message& asked = no.editor.messages[0];
    QCOMPARE(asked.icon, MsgIcon::Question);
    QVERIFY2(asked.text.contains(QStringLiteral("Correggere il file? ")), qPrintable(asked.text));
    for (const QString& part : question.split(QLatin1Char('|')))
        QVERIFY2(asked.text.contains(part), qPrintable(asked.text + " / " + part));
    QVERIFY(!SalvaSkin(no.editor).saved);
    QCOMPARE(ReadFile(skin), original);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("varavave_old.ski"))));

    // Yes: repaired in place, the original kept, opened again whole.
    Session yes;
    yes.dialogs.answers.push_back(Answer::Yes);
    yes.open(skin);
    QCOMPARE(yes.editor.doc.LineCount, linesRepaired);
    QVERIFY(yes.editor.SaveEnabled);
    QCOMPARE(yes.dialogs.unanswered, 0);
    const QByteArray repaired = ReadFile(skin);
    QVERIFY(!repaired.contains('\r') && repaired.endsWith('\n'));
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("varavave_old.ski"))), original);
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("varavave_orig.ski"))), original);
    QVERIFY(SalvaSkin(yes.editor).saved);
    QCOMPARE(ReadSkin(skin).doc.LineCount, linesRepaired);
    // The original stays where the first save found it.
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("varavave_orig.ski"))), original);
}

void TestRobustness::blanksAfterTheLastLineFeedLoseNothing()
{
    QTemporaryDir dir;
    Session blank;
    blank.open(Put(dir, QStringLiteral("varavave.ski"), "SKI1\n4 1 2 3 0\n \t "));
    QVERIFY(blank.editor.SaveEnabled);
    QVERIFY(blank.editor.messages.isEmpty());
}

void TestRobustness::objectNumbersBeyondTheFormat()
{
    QTemporaryDir dir;
    const QByteArray huge(300, '9');
    const QByteArray image = TestImage(120, 5);
    WriteFile(dir.filePath(QStringLiteral("varavave.dat")), image + image);
    const QString skin = Put(dir, QStringLiteral("varavave.ski"),
                             "SKI1\n0 oggetti\n5 " + huge + " 0 120 0\n5 000000000000000000562 120 120 0\n"
                             "5 999999999999999 0 120 0\n0 colori\n4 " + huge + " 1 2 3 0\n");
    Session s;
    QStringList warnings = QtWarningsOf([&] { s.open(skin); });
    Editor& e = s.editor;
    QCOMPARE(e.doc.L_Values.count(), 3);
    // The key keeps the number's own digits; no image file can be named.
    const int row = e.doc.L_Values.findKey(QString::fromLatin1(huge));
    QVERIFY(row > 0);
    QCOMPARE(e.doc.L_Values.row(row).cell(ColState), kStateNotFound);
    QCOMPARE(e.doc.L_Values.row(row).icon, int(IconMissing));
    QVERIFY(ObjectImagePath(e.doc.GifDir, e.doc.L_Values.row(row).keyView()).isEmpty());
    // Leading zeros are no size: 562 and the largest number of 15 digits name files.
    QCOMPARE(ObjectImageName(u"000000000000000000562"), QStringLiteral("562.gif"));
    QCOMPARE(ObjectImageName(u"999999999999999"), QStringLiteral("999999999999999.gif"));

    ExtractReport report;
    warnings += QtWarningsOf([&] { report = cmdExportAll_Click(e); });
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    // The row is faulty and claims nothing; the others are extracted.
    QCOMPARE(report.written, 2);
    QCOMPARE(report.faults.size(), 1);
    QCOMPARE(report.faults[0].key, QString::fromLatin1(huge));
    QCOMPARE(report.faults[0].reason, ExtractReport::Fault::NumberTooLarge);
    const Row& faulty = e.doc.L_Values.row(e.doc.L_Values.findKey(QString::fromLatin1(huge)));
    QVERIFY(!IsState(faulty, kStateExtracted));
    QCOMPARE(faulty.cell(ColPath), QStringLiteral(" "));
    QCOMPARE(faulty.colour, kRed);
    QCOMPARE(QDir(e.doc.GifDir).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("562.gif"), QStringLiteral("999999999999999.gif")}));

    // A save writes the colour record back with the digits it had.
    QVERIFY(SalvaSkin(e).saved);
    QVERIFY(ReadFile(skin).contains("\n4 " + huge + " 1 2 3 0\n"));
    QVERIFY(ReadFile(skin).contains("\n5 " + huge + " 0 120 0\n"));
}

void TestRobustness::stoppedOpeningSaysWhyInTheStatusBar()
{
    QTemporaryDir dir;
    QVERIFY(DropFileAccessOverride());
    const QString missing = dir.filePath(QStringLiteral("varavave.ski"));
    const QString folder = dir.filePath(QStringLiteral("cartella/varavave.ski"));
    QVERIFY(QDir().mkpath(folder));
    const QString locked = Put(dir, QStringLiteral("chiusa/varavave.ski"), "SKI1\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const QString shortRecord =
        Put(dir, QStringLiteral("corta/varavave.ski"), "SKI1\n0 a\n2 1 1\n2 2 2\n2 3 3\n2 4 4\n2 5 5\n2 6 6\n4 1 2 3 4\n4 1 2\n");

    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {missing, QStringLiteral("(il file o la cartella non esiste)")},
        {folder, QStringLiteral("(è una cartella, non un file)")},
        {locked, QStringLiteral("(permesso negato)")},
        {shortRecord, QStringLiteral("alla riga 10")},
    };
    QStringList seen;
    for (const auto& c : cases) {
        Session s;
        s.open(c.path);
        const QString status = s.editor.status;
        // The path first, as every opening shows it, then why it stopped.
        QVERIFY2(status.startsWith(QStringLiteral("Skin: ") + c.path + QStringLiteral(" - apertura interrotta: ")),
                 qPrintable(status));
        QVERIFY2(status.contains(c.reason), qPrintable(status));
        QVERIFY(s.editor.messages.isEmpty());  // no message box
        QVERIFY(!s.editor.tabsEnabled[0]);
        QVERIFY(!QFileInfo::exists(QFileInfo(c.path).absolutePath() + QStringLiteral("/varavave_Gifs")) ||
                c.path == shortRecord || c.path == locked);  // nothing made beside what is no file
        QVERIFY(!seen.contains(status.mid(status.indexOf(QLatin1String(" - ")))));
        seen << status.mid(status.indexOf(QLatin1String(" - ")));
    }
}

void TestRobustness::exportUnderFailingWrites()
{
    // Five images in container 0, three of them extracted before with other
    // bytes; the third write of the export fails as a full disk would.
    QTemporaryDir dir;
    const auto [path, container] = WriteImageSkin(dir, 700, 5, 300, 20);
    Session s;
    s.open(path);
    // Edited after the opening, unseen by the editor (no file watcher here).
    for (int n = 0; n < 3; ++n)
        WriteFile(dir.filePath(QStringLiteral("varavave_Gifs/%1.gif").arg(700 + n)), TestImage(50, 40 + n));
    const QMap<QString, QByteArray> old = Snapshot(dir.filePath(QStringLiteral("varavave_Gifs")));
    int writes = 0;
    SetReplaceFaultHook([&](ReplaceStep step, int index, const QString&) {
        return !(step == ReplaceStep::Write && index == -1 && ++writes == 3);
    });
    const ExtractReport report = cmdExportAll_Click(s.editor);
    SetReplaceFaultHook(nullptr);

    QCOMPARE(report.faults.size(), 1);
    QCOMPARE(report.written, 4);
    const QMap<QString, QByteArray> now = Snapshot(s.editor.doc.GifDir);
    int kept = 0;
    for (int n = 0; n < 5; ++n) {
        const QString name = QStringLiteral("%1.gif").arg(700 + n);
        const Row& row = ObjectRow(s.editor, 700 + n);
        if (IsState(row, kStateExtracted)) {
            QCOMPARE(now.value(name), container.mid(300 * n, 300));
            // An image edited by hand that the export replaced is kept beside it.
            if (old.contains(name)) {
                QCOMPARE(now.value(name + QStringLiteral(".1")), old.value(name));
                ++kept;
            }
        } else {
            QCOMPARE(now.value(name), old.value(name));  // the old image, whole
        }
    }
    QCOMPARE(now.size(), 5 + kept);  // no temporary file left, no image lost
}

void TestRobustness::exportOnAFullDisk()
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP("a small tmpfs needs root to be mounted");
    QTemporaryDir mountPoint;
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                   QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint.path()}) != 0)
        QSKIP("mount -t tmpfs is not available here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mountPoint.path()};

    // The image folder lies on the small disk: three old images of 12 KB
    // there, and six new ones of 12 KB to extract, which cannot all be
    // written beside the old ones.
    QTemporaryDir dir;
    const auto [path, container] = WriteImageSkin(dir, 800, 6, 12000, 60);
    QVERIFY(QFile::link(mountPoint.path(), dir.filePath(QStringLiteral("varavave_Gifs"))));
    Session s;
    s.open(path);
    for (int n = 0; n < 3; ++n)
        WriteFile(mountPoint.filePath(QStringLiteral("%1.gif").arg(800 + 2 * n)), TestImage(12000, 90 + n));
    const QMap<QString, QByteArray> old = Snapshot(mountPoint.path());
    const ExtractReport report = cmdExportAll_Click(s.editor);
    QVERIFY(!report.faults.isEmpty());
    for (const ExtractReport::Fault& f : report.faults)
        QCOMPARE(f.reason, ExtractReport::Fault::CannotWrite);

    const QMap<QString, QByteArray> now = Snapshot(mountPoint.path());
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        QVERIFY2(!it.key().startsWith(QLatin1Char('.')), qPrintable(it.key()));  // no temporary file
    int extracted = 0;
    for (int n = 0; n < 6; ++n) {
        const QString name = QStringLiteral("%1.gif").arg(800 + n);
        const Row& row = ObjectRow(s.editor, 800 + n);
        if (IsState(row, kStateExtracted)) {
            ++extracted;
            QCOMPARE(now.value(name), container.mid(12000 * n, 12000));
        } else {
            QCOMPARE(row.colour, kRed);
            QCOMPARE(now.value(name), old.value(name));  // whole and old, or still absent
        }
    }
    QCOMPARE(extracted, report.written);
    QCOMPARE(extracted + report.faults.size(), 6);
#else
    QSKIP("needs Linux tmpfs");
#endif
}

QTEST_MAIN(TestRobustness)
#include "test_robustness.moc"
