// A skin given from outside the file dialog: dropped on the window, named on
// the command line (or in a session script). It opens exactly as LOAD opens
// the file chosen in its dialog, and a path that names nothing opens nothing.
#include "editor/actions.h"
#include "editor/dump.h"
#include "editor/opensave.h"
#include "testsupport.h"

#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

UserAction DropOnWindow(const QString& file)
{
    UserAction a = UserAction::of(UserAction::Kind::Drop, QStringLiteral("frmDesktop"));
    a.text = file;
    return a;
}

UserAction OpenNamed(const QString& file)
{
    UserAction a = UserAction::of(UserAction::Kind::Open);
    a.text = file;
    return a;
}

QJsonObject Dump(const Editor& e) { return DumpState(e).object(); }

// Every key but the messages.
QJsonObject WithoutMessages(QJsonObject state)
{
    state.remove(QStringLiteral("messages"));
    return state;
}

}  // namespace

class TestOpenGiven : public QObject {
    Q_OBJECT
private slots:
    void dropAndCommandLineOpenAsLoadDoes();
    void aDropReplacesAnEditedSkinWithoutAsking();
    void relativeAndMiscasedPathsAreFound();
    void aPathThatNamesNoFileOpensNothing();
    void theWindowTakesOnlySkins();
    void scriptsDropAndOpen();
};

void TestOpenGiven::dropAndCommandLineOpenAsLoadDoes()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    Session load;
    load.open(skin);
    const QJsonObject loaded = Dump(load.editor);

    for (const UserAction& action : {DropOnWindow(skin), OpenNamed(skin)}) {
        Session given;
        QCOMPARE(Perform(given.editor, action).outcome, ActionResult::Outcome::Done);
        QCOMPARE(Dump(given.editor), loaded);
        QCOMPARE(given.dialogs.unanswered, 0);  // no file dialog, no question
    }

    // The name warning of another skin comes as after LOAD.
    const QString copy = dir.filePath(QStringLiteral("copia.ski"));
    QVERIFY(QFile::copy(skin, copy));
    Session given;
    Perform(given.editor, DropOnWindow(copy));
    QCOMPARE(given.editor.messages.size(), 1);
    QCOMPARE(given.editor.messages[0].text, QStringLiteral("Velluno permette di modificare solo la skin originale del v980!"));
    QVERIFY(!given.editor.saveButtonEnabled);
}

void TestOpenGiven::aDropReplacesAnEditedSkinWithoutAsking()
{
    QTemporaryDir first;
    QTemporaryDir second;
    CopySample(first.path());
    CopySample(second.path());
    const QString other = second.filePath(QStringLiteral("varavave.ski"));
    // Two sessions with the same history: an element moved, another tab
    // shown. One drops the second skin on the window, the other opens it
    // with LOAD from the first tab (LOAD is greyed elsewhere).
    Session dropping;
    Session loading;
    for (Session* s : {&dropping, &loading}) {
        s->open(first.filePath(QStringLiteral("varavave.ski")));
        QVERIFY(Perform(s->editor, UserAction::click(QStringLiteral("optPos"), 0)).ok());
        QVERIFY(Perform(s->editor, UserAction::click(QStringLiteral("cmdMoveRight"))).ok());
        QVERIFY(s->editor.doc.L_Dim.row(1).bold);
    }
    QVERIFY(Perform(dropping.editor, UserAction::of(UserAction::Kind::Tab, QString(), 3)).ok());
    const int messagesBefore = dropping.editor.messages.size();

    QCOMPARE(Perform(dropping.editor, DropOnWindow(other)).outcome, ActionResult::Outcome::Done);
    QCOMPARE(dropping.editor.messages.size(), messagesBefore);  // no question, no message
    QCOMPARE(dropping.dialogs.unanswered, 0);
    loading.dialogs.files.push_back(other);
    QVERIFY(Perform(loading.editor, UserAction::of(UserAction::Kind::Toolbar, QStringLiteral("LOAD"))).ok());

    // The edit is gone with the first skin; everything else is as after LOAD,
    // on the tab the user was on.
    QVERIFY(!dropping.editor.doc.L_Dim.row(1).bold);
    QCOMPARE(dropping.editor.status, QStringLiteral("Skin: ") + other);
    QJsonObject dropped = Dump(dropping.editor);
    QJsonObject loaded = Dump(loading.editor);
    QCOMPARE(dropped.value(QStringLiteral("tab")).toInt(), 3);
    for (const char* key : {"tab", "toolbar"}) {
        dropped.remove(QLatin1String(key));
        loaded.remove(QLatin1String(key));
    }
    QCOMPARE(dropped, loaded);
}

void TestOpenGiven::relativeAndMiscasedPathsAreFound()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    Session session;
    const ActionResult r = Perform(session.editor, OpenNamed(QStringLiteral("VARAVAVE.SKI")));
    QDir::setCurrent(before);
    QCOMPARE(r.outcome, ActionResult::Outcome::Done);
    // The file as it is spelt on the disk, from the root: what LOAD shows.
    const QString skin = QDir(dir.path()).canonicalPath() + QStringLiteral("/varavave.ski");
    QCOMPARE(QFileInfo(session.editor.doc.SkinDir).canonicalFilePath(), QDir(dir.path()).canonicalPath());
    QVERIFY(QDir::isAbsolutePath(session.editor.doc.SkinDir));
    QCOMPARE(session.editor.doc.SkinName, QStringLiteral("varavave"));
    QVERIFY(session.editor.saveButtonEnabled);
    QVERIFY(session.editor.messages.isEmpty());
    QCOMPARE(QFileInfo(session.editor.status.mid(6)).canonicalFilePath(), skin);
}

void TestOpenGiven::aPathThatNamesNoFileOpensNothing()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    Session session;
    session.open(dir.filePath(QStringLiteral("varavave.ski")));
    const QJsonObject open = WithoutMessages(Dump(session.editor));

    const QString missing = dir.filePath(QStringLiteral("manca.ski"));
    const QString folder = dir.filePath(QStringLiteral("cartella.ski"));
    QVERIFY(QDir().mkpath(folder));
    const QString unreadable = dir.filePath(QStringLiteral("chiusa.ski"));
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("varavave.ski")), unreadable));
    QVERIFY(QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
    const bool canReadAnyway = QFile(unreadable).open(QIODevice::ReadOnly);  // as root

    for (const QString& path : {missing, folder, unreadable}) {
        if (path == unreadable && canReadAnyway)
            continue;
        const int before = session.editor.messages.size();
        Perform(session.editor, DropOnWindow(path));
        QCOMPARE(session.editor.messages.size(), before + 1);
        const Message& m = session.editor.messages.last();
        QCOMPARE(m.icon, MsgIcon::Stop);
        QCOMPARE(m.title, QStringLiteral("Errore:"));
        QVERIFY2(m.text.startsWith(QStringLiteral("Impossibile aprire la skin: il file ") + path), qPrintable(m.text));
        // The skin that was open is all there, as it was.
        QCOMPARE(WithoutMessages(Dump(session.editor)), open);
    }
    QVERIFY(session.editor.messages.last().text.contains(canReadAnyway ? QStringLiteral("cartella")
                                                                       : QStringLiteral("Permission denied")));
}

void TestOpenGiven::theWindowTakesOnlySkins()
{
    QVERIFY(IsSkinFileName(QStringLiteral("/a/b/VARAVAVE.SKI")));
    QVERIFY(IsSkinFileName(QStringLiteral("tema.Ski")));
    QVERIFY(!IsSkinFileName(QStringLiteral("/a/ski")));
    QVERIFY(!IsSkinFileName(QStringLiteral("/a/b.ski.gif")));

    QTemporaryDir dir;
    CopySample(dir.path());
    Session session;
    const QJsonObject start = Dump(session.editor);
    // Any other file dropped on the window is not taken, even a skin's text.
    const QString renamed = dir.filePath(QStringLiteral("varavave.txt"));
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("varavave.ski")), renamed));
    QCOMPARE(Perform(session.editor, DropOnWindow(renamed)).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(Dump(session.editor), start);
    // The command line names the file on purpose: it is read, and its
    // content decides.
    Perform(session.editor, OpenNamed(renamed));
    QCOMPARE(session.editor.doc.SkinName, QStringLiteral("varavave"));

    UserAction indexed = DropOnWindow(renamed);
    indexed.index = 2;
    QCOMPARE(CheckAction(indexed).outcome, ActionResult::Outcome::Unknown);
    QCOMPARE(CheckAction(OpenNamed(QString())).outcome, ActionResult::Outcome::Unknown);
    QCOMPARE(CheckAction(DropOnWindow(QString())).outcome, ActionResult::Outcome::Unknown);
}

void TestOpenGiven::scriptsDropAndOpen()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QString skin = dir.filePath(QStringLiteral("varavave.ski"));
    const QString script = dir.filePath(QStringLiteral("s.txt"));
    const QString state = dir.filePath(QStringLiteral("state.json"));
    auto run = [&](const QByteArray& lines) {
        WriteFile(script, lines);
        QProcess p;
        p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {QStringLiteral("script"), script});
        p.waitForFinished(60000);
        return p.exitCode();
    };
    for (const QByteArray& verb : {QByteArray("drop frmDesktop"), QByteArray("open")}) {
        QCOMPARE(run(verb + " \"" + skin.toUtf8() + "\"\ndump \"" + state.toUtf8() + "\"\n"), 0);
        const QJsonObject dumped = QJsonDocument::fromJson(ReadFile(state)).object();
        QCOMPARE(dumped.value(QStringLiteral("status")).toString(), QStringLiteral("Skin: ") + skin);
        QVERIFY(dumped.value(QStringLiteral("skin")).toObject().value(QStringLiteral("SaveEnabled")).toBool());
    }
    // Malformed lines stop the script before it runs.
    QCOMPARE(run("drop frmDesktop 3 \"" + skin.toUtf8() + "\"\n"), 2);
    QCOMPARE(run("open\n"), 2);
    QCOMPARE(run("drop L_Dim 1 \"" + skin.toUtf8() + "\"\n"), 2);
}

QTEST_MAIN(TestOpenGiven)
#include "test_open_given.moc"
