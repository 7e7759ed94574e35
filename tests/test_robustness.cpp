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

QStringList Warnings(const Editor& e)
{
    QStringList texts;
    for (const Message& m : e.messages)
        if (m.title == QLatin1String("Attenzione:") && m.icon == MsgIcon::Exclamation)
            texts << m.text;
    return texts;
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
    void carriageReturnInTheMiddleRefusesToSave();
    void carriageReturnsThatLoseNothing();
    void textAfterTheLastLineFeed();
    void objectNumbersBeyondTheFormat();
    void stoppedOpeningSaysWhyInTheStatusBar();
    void exportUnderFailingWrites();
    void exportOnAFullDisk();
};

void TestRobustness::carriageReturnInTheMiddleRefusesToSave()
{
    QTemporaryDir dir;
    // Line 125 of 139, among the graphic objects.
    const QString skin = SampleWith(dir, [](QByteArray t) { return WithCarriageReturnAt(t, 125); });
    const QByteArray before = ReadFile(skin);
    Session s;
    s.open(skin);
    Editor& e = s.editor;

    // Read as specified, up to the carriage return: 124 lines.
    QCOMPARE(e.doc.LineCount, 124);
    QVERIFY(!e.SaveEnabled);
    QVERIFY(!e.saveButtonEnabled);
    const QStringList warnings = Warnings(e);
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings[0].contains(QStringLiteral("alla riga 125")), qPrintable(warnings[0]));
    QVERIFY(warnings[0].contains(QStringLiteral("non può essere salvata finché il file non viene corretto")));
    // It opens for viewing and exporting all the same.
    QVERIFY(e.tabsEnabled[0] && e.tabsEnabled[1]);
    const ExtractReport exported = cmdExportAll_Click(e);
    QVERIFY(exported.faults.isEmpty());
    QCOMPARE(exported.written, e.doc.L_Values.count());
    QVERIFY(e.doc.L_Values.count() > 5);

    // SAVE (from a script, say) writes nothing, twice over.
    QVERIFY(!SalvaSkin(e).saved);
    QVERIFY(!SalvaSkin(e).saved);
    QCOMPARE(ReadFile(skin), before);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("varavave_old.ski"))));

    // The same reading decides for the command-line tool: nothing repacked.
    const SkinReading reading = ReadSkin(skin);
    QCOMPARE(reading.saveRefusal(), SaveRefusal::StoppedAtCarriageReturn);
    QCOMPARE(reading.stopLine, 125);

    // CR LF line ends stop the reading on its first line: the same rule.
    QTemporaryDir crlf;
    const QString windows = SampleWith(crlf, [](QByteArray t) { return t.replace("\n", "\r\n"); });
    Session w;
    w.open(windows);
    QCOMPARE(w.editor.doc.LineCount, 0);
    QVERIFY(!w.editor.SaveEnabled);
    QCOMPARE(Warnings(w.editor).size(), 1);
    QVERIFY(Warnings(w.editor)[0].contains(QStringLiteral("alla riga 1,")));
    QVERIFY(Warnings(w.editor)[0].contains(QStringLiteral("CR LF")));
}

void TestRobustness::carriageReturnsThatLoseNothing()
{
    QTemporaryDir dir;
    // A final CR LF, or a final CR, ends the file: nothing follows it, so
    // nothing but the last line's text is left out.
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\r")}) {
        Session s;
        s.open(Put(dir, QStringLiteral("varavave.ski"), "SKI1\n4 1 2 3 0\n4 4 5 6 0" + end));
        QCOMPARE(s.editor.doc.LineCount, 2);
        QVERIFY(s.editor.SaveEnabled);
        const QStringList warnings = Warnings(s.editor);
        QCOMPARE(warnings.size(), 1);  // the last line, which has no line feed
        QVERIFY2(warnings[0].contains(QStringLiteral("\"4 4 5 6 0\"")), qPrintable(warnings[0]));
    }
    // One byte more after the CR LF is more of the file.
    Session more;
    more.open(Put(dir, QStringLiteral("varavave.ski"), "SKI1\n4 1 2 3 0\r\n\n"));
    QVERIFY(!more.editor.SaveEnabled);
    QVERIFY(Warnings(more.editor).value(0).contains(QStringLiteral("alla riga 2")));

    // No line feed at all and no carriage return: no line, no save.
    Session none;
    none.open(Put(dir, QStringLiteral("varavave.ski"), "SKI1 only"));
    QVERIFY(!none.editor.SaveEnabled);
    QCOMPARE(Warnings(none.editor).size(), 1);
    QVERIFY(Warnings(none.editor)[0].contains(QStringLiteral("non contiene righe terminate da LF")));
}

void TestRobustness::textAfterTheLastLineFeed()
{
    QTemporaryDir dir;
    const QByteArray tail = "4 999 1 2 3 0 and a very long comment that goes on and on";
    const QString skin = SampleWith(dir, [&](QByteArray t) { return t + tail; });
    Session s;
    s.open(skin);
    Editor& e = s.editor;
    // Saving stays as specified: the text is no line and is not written.
    QVERIFY(e.SaveEnabled);
    QCOMPARE(e.doc.LineCount, 139);
    const QStringList warnings = Warnings(e);
    QCOMPARE(warnings.size(), 1);
    // Quoted by its start, with the line it stands on.
    QVERIFY2(warnings[0].contains(QStringLiteral("(riga 140)")), qPrintable(warnings[0]));
    QVERIFY(warnings[0].contains(QStringLiteral("\"") + QString::fromLatin1(tail.left(40)) + QStringLiteral("...\"")));
    QVERIFY(SalvaSkin(e).saved);
    QVERIFY(!ReadFile(skin).contains(tail));
    QVERIFY(ReadFile(skin).endsWith('\n'));

    // Blanks after the last line feed are nothing worth a word.
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
    for (int n = 0; n < 3; ++n)
        WriteFile(dir.filePath(QStringLiteral("varavave_Gifs/%1.gif").arg(700 + n)), TestImage(50, 40 + n));
    const QMap<QString, QByteArray> old = Snapshot(dir.filePath(QStringLiteral("varavave_Gifs")));

    Session s;
    s.open(path);
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
    for (int n = 0; n < 3; ++n)
        WriteFile(mountPoint.filePath(QStringLiteral("%1.gif").arg(800 + 2 * n)), TestImage(12000, 90 + n));
    const QMap<QString, QByteArray> old = Snapshot(mountPoint.path());

    Session s;
    s.open(path);
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
