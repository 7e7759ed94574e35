// Opening and saving, as the user does them: LOAD (or a skin dropped on the
// window, or named on its command line), what the tree and the tables show,
// the rules that decide whether a skin may be saved; SAVE, with container 14
// of the replaced images, the regenerated records and the backups, and a
// folder that holds old or new files, never a mixture, when a save fails.
#include "testsupport.h"
#include "tinygif.h"

#include "skin/atomic.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;
using Kind = UserAction::Kind;

namespace {

const QByteArray kSkin =
    "SKI1 test skin\n"
    "2 99 1\n"  // before any section: child of the root
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

// A skin to save: a section line with Latin-1 letters, colour rows with and
// without number, an element's rectangle with a seventh field, the minute
// hand, three graphic objects (two in container 0, one in container 14).
const QByteArray kSmall =
    "SKI1 prova\n"
    "0 41 98 colori \xe9\xe8\n"
    "4 255 128 0 1\n"
    "4 0562 10 20 30 0\n"
    "0 dimensioni\n"
    "1 570 0 0 175 219 99\n"
    "2 8 18\n"
    "0 oggetti\n"
    "5 40 0 100 0\n"
    "5 41 100 250 0\n"
    "5 42 0 5000 14\n"
    "6 qualcosa  con due blank\n";

const QString kPacked = QStringLiteral("File: varavave14.dat creato con successo, file: varavave.ski aggiornato con successo.");
const QString kNotOriginal = QStringLiteral("Velluno permette di modificare solo la skin originale del v980!");

struct Small : Opened {
    QByteArray c0 = TestImage(400, 1), c14 = TestImage(5000, 2);
    QByteArray a = TestImage(100, 3), b = TestImage(250, 4);
    explicit Small(bool exported = true) : Opened(kSmall, false)
    {
        WriteFile(path("varavave.dat"), c0);
        WriteFile(path("varavave14.dat"), c14);
        WriteFile(path("a.gif"), a);
        WriteFile(path("b.gif"), b);
        open(skin);
        if (exported)
            click("cmdExportAll");
        rowOf("L_Values", "0040");
        click("chkDim");  // images of any size
    }
    QStringList lines() { return Lines(ReadFile(skin)); }
};

QJsonObject WithoutCounters(QJsonObject dump)
{
    dump.remove("messages");
    dump.remove("renders");
    return dump;
}

// A save that must fail: it says why in an error box naming `mustName`, and
// the folder and the editor's lines stay as they were, without a
// temporary file left behind.
void ExpectFailedSave(Session& s, const QString& dir, const QString& mustName)
{
    const auto before = Snapshot(dir);
    const QJsonArray lines = s.dump()["lines"].toArray();
    const int messages = s.dump()["messages"].toArray().size();
    QVERIFY(!s.save().failure.ok());
    QCOMPARE(s.dump()["messages"].toArray().size(), messages + 1);
    QCOMPARE(s.lastMessage()["icon"].toString(), QStringLiteral("stop"));
    QVERIFY2(s.lastMessage()["text"].toString().contains(mustName), qPrintable(s.lastMessage()["text"].toString()));
    QCOMPARE(Snapshot(dir).keys(), before.keys());
    QVERIFY(Snapshot(dir) == before);
    QCOMPARE(s.dump()["lines"].toArray(), lines);
}

// The bytes container 14 holds for object `key`, by its record in the skin.
QByteArray PackedImage(const QString& dir, int key)
{
    for (const QString& line : Lines(ReadFile(dir + "/varavave.ski"))) {
        const QStringList f = line.split(' ');
        if (f.size() == 5 && f[0] == "5" && f[1].toInt() == key && f[4] == "14")
            return ReadFile(dir + "/varavave14.dat").mid(f[2].toLongLong(), f[3].toLongLong());
    }
    return QByteArray();
}

}  // namespace

class OpenSave : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetReplaceFaultHook({}); }
    void opensTreeAndTables();
    void rowStatesFollowTheImageFolder();
    void namesAndMagicDecideSaving_data();
    void namesAndMagicDecideSaving();
    void readingLimitsAndHostileFiles();
    void reopeningAndCancelling();
    void givenSkinsOpenAsLoadDoes();
    void savePacksAndRewrites();
    void savePacksInTheRowOrderShown();
    void withoutPackedImagesTheContainerStays();
    void saveChecksImagesBeforeWriting();
    void failedSavesLeaveOldOrNewFiles();
    void oldContentThatCannotGoBackIsKept();
    void fullDisk();
    void handEditsReachThePhone();
};

void OpenSave::opensTreeAndTables()
{
    Opened s(kSkin);
    const QJsonObject d = s.dump();
    QCOMPARE(d["skin"].toObject()["LineCount"].toInt(), 15);
    // Each node: its picture, bold, parent and tag; every node but the root
    // shows its line as read, sections included.
    QStringList nodes;
    for (const QJsonValue v : d["tree"].toArray()) {
        const QJsonObject n = v.toObject();
        nodes << QStringLiteral("%1 %2 %3 %4").arg(n["image"].toInt()).arg(n["bold"].toBool()).arg(n["parent"].toInt())
                     .arg(n["tag"].toString());
        QCOMPARE(n["text"].toString(), nodes.size() == 1 ? "SKI1" : d["lines"].toArray()[nodes.size() - 1].toString());
    }
    QCOMPARE(nodes, QStringList({"13 0 0 ", "12 0 1 _1", "9 1 1 ", "8 0 3 0 41 98_1", "8 0 3 0 41 98_2", "9 1 1 ",
                                 "10 0 6 0 7 1_1", "10 0 6 0 7 1_2", "10 0 6 0 7 1_3", "7 0 6 0 7 1_4", "7 0 6 0 7 1_5",
                                 "7 0 6 0 7 1_6", "11 0 6 0 7 1_7", "14 0 6 0 7 1_8", "0 0 6 0 7 1_9"}));
    // The tables in file order, the objects sorted on their number as text.
    QCOMPARE(Looks(d, "L_RGBA"), QStringList({"-|10|20|30|0|0003|black icon 0", "0595|255|0|0|128|0004|black icon 7"}));
    QCOMPARE(Looks(d, "L_Dim"), QStringList({"0570|10|20|30|40|20|20|0006|black icon 7", "-|0|0|175|219|176|220|0007|black icon 0",
                                             "0006|0|0|0|0|0|0|0008|black icon 7"}));
    QCOMPARE(Looks(d, "L_Values"), QStringList({"0006|01_000010|01|10|20|Non trovata| |0010|red icon 3",
                                                "0007|14_000030|14|30|40|Da sostituire| |0011|blue bold icon 2",
                                                "0562|00_000000|00|0|10|Non trovata| |0009|red icon 3"}));
    QCOMPARE(RowByKey(d, "L_Values", "0562")["tag"].toString(), QStringLiteral("0 10 0"));
    QCOMPARE(RowByKey(d, "L_RGBA", "0595")["tag"].toString(), QStringLiteral("4 0595 255 0 0 128"));
    QCOMPARE(d["L_Values"].toObject()["selected"].toInt(), 0);
    // Every tab and saving enabled, the move tools' step too; the folders.
    QCOMPARE(d["tabsEnabled"].toArray(), QJsonArray({true, true, true, true, true, true}));
    QVERIFY(d["skin"].toObject()["SaveEnabled"].toBool() && d["toolbar"].toObject()["SAVE"].toBool());
    QVERIFY(ControlState(d, "txtOffSet")["enabled"].toBool() && !d["skin"].toObject()["Filling"].toBool());
    QCOMPARE(d["status"].toString(), "Skin: " + s.skin);
    QCOMPARE(d["skin"].toObject(), QJsonObject({{"SkinName", "varavave"}, {"SkinDir", s.dir.path()}, {"LineCount", 15},
                                                {"GifDir", s.path("varavave_Gifs/")}, {"SaveEnabled", true}, {"Filling", false}}));
    QVERIFY(QFileInfo(s.path("varavave_Gifs")).isDir() && d["messages"].toArray().isEmpty());
    // A tree node shows its tag in the status bar; the root has none.
    QVERIFY(s.perform(UserAction::of(Kind::Node, QString(), 5)).ok());
    QCOMPARE(s.status(), QStringLiteral("0 41 98_2"));
    s.perform(UserAction::of(Kind::Node, QString(), 1));
    QCOMPARE(s.status(), QString());
}

void OpenSave::rowStatesFollowTheImageFolder()
{
    // An image folder in other letter case is found and kept; an image file
    // in upper case is found for the lower-case name the editor forms.
    Opened s(kSkin, false);
    QVERIFY(QFile::rename(s.skin, s.path("VARAVAVE.ski")));
    WriteFile(s.path("VARAVAVE_GIFS/562.GIF"), "GIF89a");
    WriteFile(s.path("VARAVAVE_GIFS/7.gif"), "GIF89a");
    s.open(s.path("VARAVAVE.ski"));
    const QString gifs = s.path("VARAVAVE_GIFS/");
    QCOMPARE(s.dump()["skin"].toObject()["GifDir"].toString(), gifs);
    QVERIFY(!QFileInfo::exists(s.path("VARAVAVE_Gifs")));
    QStringList states;
    for (const QString& look : Looks(s.dump(), "L_Values"))
        states << look.section('|', 5);
    QCOMPARE(states, QStringList({"Non trovata| |0010|red icon 3", "Da sostituire|" + gifs + "7.gif|0011|blue bold icon 2",
                                  "Trovata|" + gifs + "562.gif|0009|black icon 6"}));
    // Container 14 belongs to the operator skin only.
    WriteFile(s.path("varavave2.ski"), kSkin);
    s.open(s.path("varavave2.ski"));
    QCOMPARE(s.cell("L_Values", "0007", kState), QStringLiteral("Non trovata"));
}

void OpenSave::namesAndMagicDecideSaving_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("message");  // the one message box, "" for none
    QTest::addColumn<int>("tables");       // rows of the three tables
    QTest::newRow("operator skin, any case") << "VARAVAVE.SKI" << QByteArray("ski1 lower-case magic\n4 1 2 3 0\n")
                                             << true << QString() << 1;
    QTest::newRow("another skin") << "varavave2.ski" << kSkin << false << kNotOriginal << 8;
    QTest::newRow("bad magic") << "varavave.ski" << QByteArray("SKX1\n4 1 2 3 4\n") << false
                               << "Formato del file skin non valido!" << 0;
    QTest::newRow("blanks after the last line feed") << "varavave.ski" << QByteArray("SKI1\n4 1 2 3 0\n \t ")
                                                     << true << QString() << 1;
}

void OpenSave::namesAndMagicDecideSaving()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, text);
    QFETCH(bool, saving);
    QFETCH(QString, message);
    QFETCH(int, tables);
    QTemporaryDir dir;
    WriteFile(dir.filePath(name), text);
    Session s;
    s.open(dir.filePath(name));
    const QJsonObject d = s.dump();
    QCOMPARE(d["skin"].toObject()["SaveEnabled"].toBool(), saving);
    QCOMPARE(d["toolbar"].toObject()["SAVE"].toBool(), saving);
    QCOMPARE(d["messages"].toArray().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(s.lastMessage()["text"].toString(), message);
    // The skin opens whole all the same, and the tabs with it.
    QCOMPARE(Keys(d, "L_Values").size() + Keys(d, "L_RGBA").size() + Keys(d, "L_Dim").size(), tables);
    QVERIFY(d["tabsEnabled"].toArray()[3].toBool());
    // A skin that may not be saved writes nothing, and says nothing more.
    QCOMPARE(s.save().outcome, saving ? ActionResult::Outcome::Done : ActionResult::Outcome::Ignored);
}

void OpenSave::readingLimitsAndHostileFiles()
{
    QByteArray text = "SKI1\n";
    for (int i = 1; i < 1501; ++i)
        text += "4 " + QByteArray::number(i % 256) + " 0 0 0\n";
    Opened full(text);
    QCOMPARE(full.dump()["skin"].toObject()["LineCount"].toInt(), 1501);
    QVERIFY(Keys(full.dump(), "L_RGBA").size() == 1500 && full.dump()["skin"].toObject()["SaveEnabled"].toBool());

    // One line more: stopped while splitting, only the root, nothing drawn
    // or enabled, and the status bar says why.
    Opened over(text + "4 1 1 1 1\n");
    const QJsonObject d = over.dump();
    QVERIFY(d["tree"].toArray().size() == 1 && Keys(d, "L_RGBA").isEmpty() && d["messages"].toArray().isEmpty());
    QVERIFY(!d["skin"].toObject()["SaveEnabled"].toBool() && !d["tabsEnabled"].toArray()[0].toBool() && d["renders"].toInt() == 0);
    QVERIFY(d["status"].toString().startsWith("Skin: " + over.skin + " - apertura interrotta: "));

    // A short record stops the reading with what was built before it.
    Opened cut("SKI1\n0 1\n4 1 2 3 4\n5 7 0 10 14\n1 2 3 4\n4 5 6 7 8\n");
    QCOMPARE(cut.dump()["tree"].toArray().size(), 5);
    QCOMPARE(Keys(cut.dump(), "L_RGBA").size() + Keys(cut.dump(), "L_Values").size() + Keys(cut.dump(), "L_Dim").size(), 2);
    QVERIFY(!cut.dump()["toolbar"].toObject()["SAVE"].toBool() && cut.renders() == 0);

}

void OpenSave::reopeningAndCancelling()
{
    Opened s(kSkin);
    const QJsonObject first = WithoutCounters(s.dump());
    s.open(s.skin);
    QCOMPARE(WithoutCounters(s.dump()), first);
    // A cancelled dialog changes nothing, draws nothing.
    const QJsonObject before = s.dump();
    s.dialogs.files.push_back(std::nullopt);
    s.toolbar("LOAD");
    QCOMPARE(s.dump(), before);
}

void OpenSave::givenSkinsOpenAsLoadDoes()
{
    Opened load;
    auto named = [](Session& s, const QString& file) {  // on the command line
        UserAction a = UserAction::of(Kind::Open);
        a.text = file;
        return s.perform(a);
    };
    // Dropped on the window or named on the command line: what LOAD opens,
    // without a dialog or a question.
    Session dropped, given;
    QCOMPARE(dropped.drop("frmDesktop", 0, load.skin).outcome, ActionResult::Outcome::Done);
    QCOMPARE(named(given, load.skin).outcome, ActionResult::Outcome::Done);
    QCOMPARE(dropped.dump(), load.dump());
    QCOMPARE(given.dump(), load.dump());
    QCOMPARE(dropped.dialogs.unanswered + given.dialogs.unanswered, 0);
    // A drop replaces an edited skin without asking, on the tab shown.
    Opened edited;
    edited.click("optPos", 0);
    edited.click("cmdMoveRight");
    edited.tab(3);
    edited.drop("frmDesktop", 0, load.skin);
    QVERIFY(!Marked(edited.find("L_Dim", "0570")));
    QCOMPARE(edited.dump()["tab"].toInt(), 3);
    QCOMPARE(edited.dump()["L_Dim"], load.dump()["L_Dim"]);
    QCOMPARE(edited.dialogs.unanswered + edited.dump()["messages"].toArray().size(), 0);

    // The window takes only skins, known by their name's ending in any case;
    // the command line names the file on purpose.
    const QString renamed = load.path("varavave.txt");
    QVERIFY(QFile::copy(load.skin, renamed));
    Session fresh;
    const QJsonObject start = fresh.dump();
    QCOMPARE(fresh.drop("frmDesktop", 0, renamed).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(fresh.drop("frmDesktop", 0, "/a/b.ski.gif").outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(fresh.dump(), start);
    fresh.drop("frmDesktop", 0, "/a/tema.Ski");
    QVERIFY(fresh.lastMessage()["text"].toString().startsWith("Impossibile aprire la skin: il file /a/tema.Ski"));
    named(fresh, renamed);
    QCOMPARE(fresh.dump()["skin"].toObject()["SkinName"].toString(), QStringLiteral("varavave"));
}

void OpenSave::savePacksAndRewrites()
{
    Small s;
    s.import("0040", s.path("a.gif"));
    s.import("0041", s.path("b.gif"));
    // Edits: a colour, an element's X2, the minute hand's length.
    s.rowOf("L_RGBA", "0562");
    s.dialogs.colours.push_back(77 + 256 * 20 + 65536 * 30);
    s.click("PicColor");
    s.type("txt", 2, "\b0");
    s.paste("txtMin", 0, "20");
    const QJsonArray cells = s.dump()["L_Values"].toObject()["rows"].toArray();
    QVERIFY(s.save().failure.ok());
    QCOMPARE(s.lastMessage()["text"].toString(), kPacked);

    // The container holds exactly the packed images in row order, the old
    // longer container is gone; untouched lines stay byte for byte.
    QCOMPARE(ReadFile(s.path("varavave14.dat")), s.a + s.b + s.c14);
    QCOMPARE(ReadFile(s.path("varavave_old.ski")), kSmall);
    const QByteArray text = ReadFile(s.skin);
    QCOMPARE(Lines(text), QString::fromLatin1("SKI1 prova\n0 41 98 colori \xe9\xe8\n4 255 128 0 1\n4 562 77 20 30 0\n"
                                              "0 dimensioni\n1 570 0 0 170 219\n2 8 20\n0 oggetti\n5 40 0 100 14\n"
                                              "5 41 100 250 14\n5 42 350 5000 14\n6 qualcosa  con due blank\n")
                              .split('\n').mid(0, 12));
    // The table keeps its cells; packed rows turn red.
    const QJsonArray saved = s.dump()["L_Values"].toObject()["rows"].toArray();
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(saved[r].toObject()["cells"], cells[r].toObject()["cells"]);
        QCOMPARE(saved[r].toObject()["colour"].toInteger(), kRedRow);
    }
    QVERIFY(s.dump()["skin"].toObject()["SaveEnabled"].toBool());

    // Saved again without edits: the same files; the backup is the first save.
    QVERIFY(s.save().failure.ok());
    QCOMPARE(ReadFile(s.skin), text);
    QCOMPARE(ReadFile(s.path("varavave_old.ski")), text);
    QCOMPARE(ReadFile(s.path("varavave14.dat")), s.a + s.b + s.c14);
    QCOMPARE(ReadFile(s.path("varavave_orig.ski")), kSmall);
    // The image folder holds what the container holds, the picture before
    // the replacement kept with a number; the old container is kept too.
    QCOMPARE(ReadFile(s.path("varavave_Gifs/40.gif")) + ReadFile(s.path("varavave_Gifs/40.gif.1")), s.a + s.c0.left(100));
    QCOMPARE(ReadFile(s.path("varavave14_old.dat")), s.a + s.b + s.c14);
}

void OpenSave::savePacksInTheRowOrderShown()
{
    Small s;
    WriteFile(s.path("z.gif"), s.a);
    WriteFile(s.path("m.gif"), s.b);
    s.import("0040", s.path("z.gif"));
    s.import("0041", s.path("m.gif"));
    s.header("L_Values", 7);  // "Path GIF": m.gif, varavave_Gifs/42.gif, z.gif
    QCOMPARE(Keys(s.dump(), "L_Values"), QStringList({"0041", "0042", "0040"}));
    QVERIFY(s.save().failure.ok());
    QCOMPARE(ReadFile(s.path("varavave14.dat")), s.b + s.c14 + s.a);
    QCOMPARE(s.lines().mid(8, 3), QStringList({"5 40 5250 100 14", "5 41 0 250 14", "5 42 250 5000 14"}));
}

void OpenSave::withoutPackedImagesTheContainerStays()
{
    // Not extracted: the container-14 row has a blank path, which packs nothing.
    Small s(false);
    QCOMPARE(s.cell("L_Values", "0042", kPath), QStringLiteral(" "));
    QVERIFY(s.save().failure.ok());
    QCOMPARE(s.lastMessage()["text"].toString(),
             QStringLiteral("File: varavave.ski aggiornato con successo, nessun oggetto grafico sostituito."));
    QVERIFY(ReadFile(s.path("varavave14.dat")) == s.c14 && !QFileInfo::exists(s.path("varavave14_old.dat")));
    QCOMPARE(QStringList({s.lines()[5], s.lines()[10]}), QStringList({"1 570 0 0 175 219", "5 42 0 5000 14"}));
    QCOMPARE(s.find("L_Values", "0042")["colour"].toInteger(), kBlueRow);
}

void OpenSave::saveChecksImagesBeforeWriting()
{
    {
        // A blank "Path GIF" beside a real image: the image would lose its place.
        Small s(false);
        s.import("0040", s.path("a.gif"));
        ExpectFailedSave(s, s.dir.path(), "0042");
    }
    // An image deleted after it was chosen.
    Small s;
    WriteFile(s.path("gone.gif"), TestImage(60, 5));
    s.import("0041", s.path("gone.gif"));
    QVERIFY(QFile::remove(s.path("gone.gif")));
    ExpectFailedSave(s, s.dir.path(), s.path("gone.gif").toLower());
}

void OpenSave::failedSavesLeaveOldOrNewFiles()
{
    Small s;
    WriteFile(s.path("varavave_old.ski"), "SKI1 older backup\n");
    s.import("0040", s.path("a.gif"));
    // Every write and every replacement of the group fails in turn: the
    // container, its backup, the text's two backups, the text and the
    // packed image's file. Each round ends with the save that nothing
    // stopped: six files the first time, five the second (the image holds
    // its bytes by then).
    int files = 6;
    for (const ReplaceStep step : {ReplaceStep::Write, ReplaceStep::Replace}) {
        for (int failing = 0;; ++failing) {
            int seen = 0;
            SetReplaceFaultHook([&](ReplaceStep st, int index, const QString&) {
                seen += st == step;
                return !(st == step && index == failing);
            });
            if (failing == files) {
                QVERIFY(s.save().failure.ok());
                QCOMPARE(seen, files);
                break;
            }
            ExpectFailedSave(s, s.dir.path(), s.dir.path());
        }
        QVERIFY(QFile::remove(s.path("varavave_orig.ski")));
        files = 5;
    }
    SetReplaceFaultHook({});

    // A real refusal: the backup's name is taken by a folder.
    QVERIFY(QFile::remove(s.path("varavave_old.ski")));
    QVERIFY(QDir().mkdir(s.path("varavave_old.ski")));
    ExpectFailedSave(s, s.dir.path(), "varavave_old.ski");
    QVERIFY(QDir().rmdir(s.path("varavave_old.ski")));
    // A read-only skin or container stops whoever saves, root included.
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const QString& file : {s.skin, s.path("varavave14.dat")}) {
        QVERIFY(QFile::setPermissions(file, readOnly));
        ExpectFailedSave(s, s.dir.path(), file);
        QVERIFY(s.lastMessage()["text"].toString().contains("sola lettura"));
        QVERIFY(QFile::setPermissions(file, readOnly | QFile::WriteOwner));
    }
    // With nothing in the way the same save goes through.
    const QByteArray previous = ReadFile(s.skin);
    QVERIFY(s.save().failure.ok());
    QCOMPARE(ReadFile(s.path("varavave14.dat")).left(100), s.a);
    QCOMPARE(ReadFile(s.path("varavave_old.ski")), previous);

    // A skin file deleted while it is open is written again, without backup.
    QVERIFY(QFile::remove(s.skin) && QFile::remove(s.path("varavave_old.ski")));
    QVERIFY(s.save().failure.ok());
    QVERIFY(s.lines().size() == 12 && !QFileInfo::exists(s.path("varavave_old.ski")));
}

void OpenSave::oldContentThatCannotGoBackIsKept()
{
    // The container is replaced, then the backup's replacement fails, and
    // the container's old bytes cannot go back because its name has been
    // taken meanwhile: the save says where the old bytes are, whole.
    Small s;
    s.import("0040", s.path("a.gif"));
    const QString container = s.path("varavave14.dat");
    SetReplaceFaultHook([&](ReplaceStep step, int index, const QString&) {
        if (step != ReplaceStep::Replace || index != 1)
            return true;
        QFile::remove(container);
        QDir().mkpath(container + "/in-the-way");
        return false;
    });
    const SkinError failure = s.save().failure;
    SetReplaceFaultHook({});
    QCOMPARE(failure.code, ErrorKind::CannotReplace);
    QCOMPARE(failure.kept.size(), 1);
    QCOMPARE(ReadFile(failure.kept.first()), s.c14);
    const QString text = s.lastMessage()["text"].toString();
    QVERIFY2(text.contains(failure.kept.first()) && text.contains("conservato"), qPrintable(text));
    QCOMPARE(ReadFile(s.skin), kSmall);
    QVERIFY(!QFileInfo::exists(s.path("varavave_old.ski")));
}

void OpenSave::fullDisk()
{
    const SmallDisk disk("256k");
    if (disk.path().isEmpty())
        QSKIP("a small disk (mount -t tmpfs) needs root");
    // 100 KB of old container in a 256 KB folder and 200 KB of images to
    // pack: the new container cannot be written beside the old one.
    const QString dir = disk.path();
    WriteFile(dir + "/varavave.ski", "SKI1\n0 oggetti\n5 40 0 100000 14\n5 41 0 10 0\n");
    WriteFile(dir + "/varavave14.dat", TestImage(100000, 7));
    QTemporaryDir src;
    WriteFile(src.filePath("big.gif"), TestImage(200000, 8));
    Session s;
    s.open(dir + "/varavave.ski");
    s.rowOf("L_Values", "0040");
    s.dialogs.files.push_back(src.filePath("big.gif"));
    s.click("cmdImport");
    QVERIFY(QDir(dir + "/varavave_Gifs").removeRecursively());
    ExpectFailedSave(s, dir, dir + "/varavave14.dat");
}

void OpenSave::handEditsReachThePhone()
{
    Opened first;
    first.click("cmdExportAll");
    // Edited in another program: a whole picture, and one cut short inside
    // its image data, which the phone could not show.
    const QByteArray edited = SolidGif(72, 72, qRgb(9, 99, 199));
    WriteFile(first.path("varavave_Gifs/630.gif"), edited);
    const QByteArray whole = SolidGif(30, 30, qRgb(1, 2, 3));
    WriteFile(first.path("varavave_Gifs/631.gif"), whole.left(whole.size() - 3));

    Session s;
    s.open(first.skin);
    QCOMPARE(Look(s.find("L_Values", "0630")).section('|', 4), QString::number(edited.size()) + "|Da sostituire|" +
                                                                 first.path("varavave_Gifs/630.gif") + "|0114|blue bold icon 2");
    QCOMPARE(s.cell("L_Values", "0631", kState), QStringLiteral("Trovata"));
    QVERIFY2(s.status().contains("1 immagine modificata a mano") &&
                 s.status().contains("0631 non è valida: il file GIF è incompleto"),
             qPrintable(s.status()));
    // Seen by the file watcher while the skin is open.
    const QByteArray later = SolidGif(72, 72, qRgb(200, 100, 0));
    WriteFile(first.path("varavave_Gifs/632.gif"), later);
    s.perform(UserAction::of(Kind::FilesChanged));
    QCOMPARE(s.cell("L_Values", "0632", kState), QStringLiteral("Da sostituire"));
    QVERIFY(s.save().failure.ok());
    QVERIFY(PackedImage(first.dir.path(), 630) == edited && PackedImage(first.dir.path(), 632) == later);
    QVERIFY(PackedImage(first.dir.path(), 631).isEmpty());

    // The command-line tool sees and packs the same.
    WriteFile(first.path("varavave_Gifs/633.gif"), edited);
    QVERIFY(Cli({"info", first.skin}).out.contains("edited by hand since the export, taken as replacements, 1: 0633"));
    // 631.gif is still cut short: packed without it, and said (status 1).
    QCOMPARE(Cli({"repack", first.skin}).status, 1);
    QVERIFY(PackedImage(first.dir.path(), 633) == edited && PackedImage(first.dir.path(), 630) == edited);
}

QTEST_MAIN(OpenSave)
#include "test_opensave.moc"
