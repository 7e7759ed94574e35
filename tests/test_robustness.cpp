// Nothing the user opens is lost and every failure says why: readings that
// leave text out offer the repair and refuse to save, object numbers that
// name no image file are faulty rows, an opening that stops names the
// reason in the status bar, and "Esporta tutto" on a disk that fills up
// leaves every image whole.
#include "fileaccess.h"
#include "testsupport.h"

#include "skin/atomic.h"
#include "skin/reader.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

// A skin whose container 0 holds `count` images of `bytes` bytes for the
// objects first, first + 1, ... back to back; its path and the container.
std::pair<QString, QByteArray> ImageSkin(const QTemporaryDir& dir, int first, int count, int bytes, quint32 seed)
{
    QByteArray skin = "SKI1\n0 oggetti\n", container;
    for (int n = 0; n < count; ++n) {
        skin += QStringLiteral("5 %1 %2 %3 0\n").arg(first + n).arg(container.size()).arg(bytes).toLatin1();
        container += TestImage(bytes, seed + n);
    }
    WriteFile(dir.filePath("varavave.dat"), container);
    WriteFile(dir.filePath("varavave.ski"), skin);
    return {dir.filePath("varavave.ski"), container};
}

// After an export under failing writes: every image file is either the
// old one, whole, or the container's bytes, with the old one kept beside
// it; and no temporary file is left.
void ExpectWholeImages(const Session& s, const QString& gifs, const QMap<QString, QByteArray>& old,
                       const QByteArray& container, int first, int count, int bytes)
{
    const QMap<QString, QByteArray> now = Snapshot(gifs);
    int kept = 0;
    for (int n = 0; n < count; ++n) {
        const QString name = QStringLiteral("%1.gif").arg(first + n);
        const QJsonObject row = s.find("L_Values", QStringLiteral("%1").arg(first + n, 4, 10, QLatin1Char('0')));
        if (Cell(row, kState) == "Estratta") {
            QCOMPARE(now.value(name), container.mid(bytes * n, bytes));
            if (old.contains(name)) {
                QCOMPARE(now.value(name + ".1"), old.value(name));
                ++kept;
            }
        } else {
            QCOMPARE(row["colour"].toInteger(), kRedRow);
            QCOMPARE(now.value(name), old.value(name));
        }
    }
    for (const QString& name : now.keys())
        QVERIFY2(name.endsWith(".gif") || name.endsWith(".gif.1"), qPrintable(name));
    QVERIFY(now.size() <= count + kept);
}

}  // namespace

class Robustness : public QObject {
    Q_OBJECT
private slots:
    void droppedTextAsksForTheRepair_data();
    void droppedTextAsksForTheRepair();
    void objectNumbersBeyondTheFormat();
    void stoppedOpeningSaysWhyInTheStatusBar();
    void exportUnderFailingWrites();
    void exportOnAFullDisk();
};

void Robustness::droppedTextAsksForTheRepair_data()
{
    QTest::addColumn<QByteArray>("text");  // the skin; "sample@..." stands for the sample's text changed
    QTest::addColumn<int>("linesRead");
    QTest::addColumn<QString>("question");  // what the question says, besides "Correggere il file?"
    QTest::addColumn<int>("linesRepaired");
    const QString tail = "\"4 999 1 2 3 0 and a very long comment th...\"";  // its first 40 characters
    QTest::newRow("CR LF at line 125 of 139") << QByteArray("sample@125") << 124
                                              << "alla riga 125|1 fine riga CR LF diventerà LF" << 139;
    QTest::newRow("CR LF line ends") << QByteArray("sample@crlf") << 0 << "alla riga 1,|139 fini riga CR LF diventeranno LF"
                                     << 139;
    QTest::newRow("text after the last line feed") << QByteArray("sample@tail") << 139
                                                   << "(riga 140)|" + tail + "|sarà aggiunto un LF dopo l'ultima riga" << 140;
    QTest::newRow("last line ended by CR LF") << QByteArray("SKI1\n4 1 2 3 0\n4 4 5 6 0\r\n") << 2
                                              << "\"4 4 5 6 0\"|1 fine riga CR LF diventerà LF" << 3;
    QTest::newRow("last line ended by CR") << QByteArray("SKI1\n4 1 2 3 0\n4 4 5 6 0\r") << 2
                                           << "1 carattere CR isolato diventerà LF" << 3;
    QTest::newRow("CR LF, then more") << QByteArray("SKI1\n4 1 2 3 0\r\n\n") << 1 << "alla riga 2" << 3;
    // The first byte of the second block the reading takes (64 KiB).
    const QByteArray filler = "SKI1\n" + QByteArray("6 " + QByteArray(97, 'x') + "\n").repeated(655) + "6 " + QByteArray(28, 'x') + "\n";
    QTest::newRow("CR at 64 KiB") << filler + "\r\n4 1 2 3 0\n" << 657 << "alla riga 658|1 fine riga CR LF diventerà LF" << 659;
    QTest::newRow("no line feed at all") << QByteArray("SKI1 only") << 0
                                         << "non contiene righe terminate da LF|sarà aggiunto un LF" << 1;
}

void Robustness::droppedTextAsksForTheRepair()
{
    QFETCH(QByteArray, text);
    QFETCH(int, linesRead);
    QFETCH(QString, question);
    QFETCH(int, linesRepaired);
    if (text.startsWith("sample@")) {
        QByteArray sample = ReadFile(SampleDir() + "/varavave.ski");
        if (text == "sample@crlf")
            sample.replace("\n", "\r\n");
        else if (text == "sample@tail")
            sample += "4 999 1 2 3 0 and a very long comment that goes on and on";
        else
            sample.insert(sample.indexOf('\n', sample.indexOf(Lines(sample)[124].toLatin1() + '\n')), '\r');
        text = sample;
    }
    // No: the skin opens for viewing and exporting only; nothing writes it.
    Opened no(text, false);
    no.dialogs.answers.push_back(Answer::No);
    no.open(no.skin);
    QJsonObject d = no.dump();
    QCOMPARE(d["skin"].toObject()["LineCount"].toInt(), linesRead);
    QVERIFY(!d["skin"].toObject()["SaveEnabled"].toBool() && !d["toolbar"].toObject()["SAVE"].toBool());
    QCOMPARE(d["messages"].toArray().size(), 1);
    const QJsonObject asked = no.lastMessage();
    QCOMPARE(asked["icon"].toString(), QStringLiteral("question"));
    for (const QString& part : ("Correggere il file? |" + question).split('|'))
        QVERIFY2(asked["text"].toString().contains(part), qPrintable(asked["text"].toString() + " / " + part));
    QCOMPARE(no.save().outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(ReadFile(no.skin), text);
    QVERIFY(!QFileInfo::exists(no.path("varavave_old.ski")));

    // Yes: repaired in place, the original kept, opened again whole; the
    // original stays where the first save found it.
    Session yes;
    yes.dialogs.answers.push_back(Answer::Yes);
    yes.open(no.skin);
    QCOMPARE(yes.dump()["skin"].toObject()["LineCount"].toInt(), linesRepaired);
    QCOMPARE(yes.dialogs.unanswered, 0);
    const QByteArray repaired = ReadFile(no.skin);
    QVERIFY(!repaired.contains('\r') && repaired.endsWith('\n'));
    QCOMPARE(ReadFile(no.path("varavave_old.ski")), text);
    QVERIFY(yes.save().failure.ok());
    QCOMPARE(ReadSkin(no.skin).doc.lineCount, linesRepaired);
    QCOMPARE(ReadFile(no.path("varavave_orig.ski")), text);
}

void Robustness::objectNumbersBeyondTheFormat()
{
    const QByteArray huge(300, '9');
    const QByteArray image = TestImage(120, 5);
    Opened s("SKI1\n0 oggetti\n5 " + huge + " 0 120 0\n5 000000000000000000562 120 120 0\n5 999999999999999 0 120 0\n"
             "0 colori\n4 " + huge + " 1 2 3 0\n", false);
    WriteFile(s.path("varavave.dat"), image + image);
    s.open(s.skin);
    // The key keeps the number's own digits; no image file can be named.
    QCOMPARE(Keys(s.dump(), "L_Values").size(), 3);
    QCOMPARE(Look(s.find("L_Values", huge)).section('|', 5, 6) + " " + Look(s.find("L_Values", huge)).section('|', 8),
             QStringLiteral("Non trovata|  red icon 3"));
    // Leading zeros are no size: 562 and the largest number of 15 digits name files.
    QCOMPARE(ObjectImageName(u"000000000000000000562"), QStringLiteral("562.gif"));
    QCOMPARE(ObjectImageName(u"999999999999999"), QStringLiteral("999999999999999.gif"));
    QVERIFY(ObjectImageName(QString::fromLatin1(huge)).isEmpty());
    // The export writes the others and claims nothing for it.
    s.click("cmdExportAll");
    QCOMPARE(Look(s.find("L_Values", huge)).section('|', 5, 6) + " " + Look(s.find("L_Values", huge)).section('|', 8),
             QStringLiteral("Non trovata|  red icon 3"));
    QCOMPARE(QDir(s.path("varavave_Gifs")).entryList(QDir::Files | QDir::Hidden),
             QStringList({"562.gif", "999999999999999.gif"}));
    // A save writes both records back with the digits they had.
    QVERIFY(s.save().failure.ok());
    QVERIFY(ReadFile(s.skin).contains("\n4 " + huge + " 1 2 3 0\n"));
    QVERIFY(ReadFile(s.skin).contains("\n5 " + huge + " 0 120 0\n"));
}

void Robustness::stoppedOpeningSaysWhyInTheStatusBar()
{
    QTemporaryDir dir;
    QVERIFY(DropFileAccessOverride());
    QVERIFY(QDir().mkpath(dir.filePath("cartella/varavave.ski")));
    WriteFile(dir.filePath("chiusa/varavave.ski"), "SKI1\n");
    QVERIFY(QFile::setPermissions(dir.filePath("chiusa/varavave.ski"), QFileDevice::WriteOwner));
    WriteFile(dir.filePath("corta/varavave.ski"), "SKI1\n0 a\n2 1 1\n2 2 2\n2 3 3\n2 4 4\n2 5 5\n2 6 6\n5 630 0 9 0\n4 1 2\n");
    const std::pair<const char*, const char*> cases[] = {{"varavave.ski", "(il file o la cartella non esiste)"},
                                                         {"cartella/varavave.ski", "(è una cartella, non un file)"},
                                                         {"chiusa/varavave.ski", "(permesso negato)"},
                                                         {"corta/varavave.ski", "alla riga 10"}};
    QStringList seen;
    for (const auto& [name, reason] : cases) {
        Session s;
        s.open(dir.filePath(name));
        // The path first, as every opening shows it, then why it stopped; no message box.
        const QString status = s.status();
        QVERIFY2(status.startsWith("Skin: " + dir.filePath(name) + " - apertura interrotta: ") && status.contains(reason),
                 qPrintable(status));
        // Nor a note about images: there is no table to point at.
        QVERIFY(s.dump()["messages"].toArray().isEmpty() && !s.dump()["tabsEnabled"].toArray()[0].toBool() &&
                s.dump()["statusNote"].toString().isEmpty());
        QVERIFY(!seen.contains(status.mid(status.indexOf(" - "))));
        seen << status.mid(status.indexOf(" - "));
    }
    // Nothing is made beside what is no file.
    QVERIFY(!QFileInfo::exists(dir.filePath("varavave_Gifs")) && !QFileInfo::exists(dir.filePath("cartella/varavave_Gifs")));
}

void Robustness::exportUnderFailingWrites()
{
    // Five images, three of them extracted before with other bytes (edited
    // after the opening, unseen by the editor); the third write of the
    // export fails as a full disk would.
    QTemporaryDir dir;
    const auto [path, container] = ImageSkin(dir, 700, 5, 300, 20);
    Session s;
    s.open(path);
    for (int n = 0; n < 3; ++n)
        WriteFile(dir.filePath(QStringLiteral("varavave_Gifs/%1.gif").arg(700 + n)), TestImage(50, 40 + n));
    const QMap<QString, QByteArray> old = Snapshot(dir.filePath("varavave_Gifs"));
    int writes = 0;
    SetReplaceFaultHook([&](ReplaceStep step, int index, const QString&) {
        return !(step == ReplaceStep::Write && index == -1 && ++writes == 3);
    });
    s.click("cmdExportAll");
    SetReplaceFaultHook(nullptr);
    const QString told = s.lastMessage()["text"].toString();
    QVERIFY2(told.startsWith("Esporta tutto: 1 oggetto non è stato estratto:\n07") && told.contains(".gif: spazio su disco esaurito"), qPrintable(told));
    QCOMPARE(Snapshot(dir.filePath("varavave_Gifs")).size(), 5 + 2);  // the two extracted over edits kept
    int extracted = 0;
    for (const QString& key : Keys(s.dump(), "L_Values"))
        extracted += s.cell("L_Values", key, kState) == "Estratta";
    QCOMPARE(extracted, 4);
    ExpectWholeImages(s, dir.filePath("varavave_Gifs"), old, container, 700, 5, 300);
}

void Robustness::exportOnAFullDisk()
{
    const SmallDisk disk("64k");
    if (disk.path().isEmpty())
        QSKIP("a small disk (mount -t tmpfs) needs root");
    // The image folder lies on the small disk: three old images of 12 KB
    // there, and six new ones of 12 KB to extract, which cannot all be
    // written beside the old ones.
    QTemporaryDir dir;
    const auto [path, container] = ImageSkin(dir, 800, 6, 12000, 60);
    QVERIFY(QFile::link(disk.path(), dir.filePath("varavave_Gifs")));
    Session s;
    s.open(path);
    for (int n = 0; n < 3; ++n)
        WriteFile(QDir(disk.path()).filePath(QStringLiteral("%1.gif").arg(800 + 2 * n)), TestImage(12000, 90 + n));
    const QMap<QString, QByteArray> old = Snapshot(disk.path());
    s.click("cmdExportAll");
    int faulty = 0;
    for (const QString& key : Keys(s.dump(), "L_Values"))
        faulty += s.cell("L_Values", key, kState) != "Estratta";
    QVERIFY2(faulty > 0 && s.lastMessage()["text"].toString().contains(": spazio su disco esaurito"), qPrintable(s.lastMessage()["text"].toString()));
    ExpectWholeImages(s, disk.path(), old, container, 800, 6, 12000);
}

QTEST_MAIN(Robustness)
#include "test_robustness.moc"
