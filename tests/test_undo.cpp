// Undo and redo: every kind of edit is taken back to exactly what the user
// saw before it and taken again to what they saw after, and a save after an
// undo writes the earlier skin.
#include "testsupport.h"
#include "tinygif.h"

#include <QTest>
#include <functional>

using namespace velluno;
using namespace velluno::test;

namespace {

// The dump without what an undo changes by design: the counters, the
// history itself, the status line that names the step, the messages and
// where the action sent the focus.
QJsonObject Shown(const Session& s)
{
    QJsonObject d = s.dump();
    for (const char* key : {"renders", "undo", "status", "messages", "view"})
        d.remove(key);
    return d;
}

bool Step(Session& s, UserAction::Kind kind) { return s.perform(UserAction::of(kind)).ok(); }

struct Edit {
    const char* name;
    std::function<void(Opened&)> prepare;  // not part of the step
    std::function<void(Opened&)> act;      // the one step
};

QString Gif(Opened& s)
{
    const QString file = s.path("rosso.gif");
    WriteFile(file, SolidGif(8, 8, qRgb(250, 0, 0)));
    return file;
}

const std::vector<Edit>& Edits()
{
    static const std::vector<Edit> edits = {
        {"move", [](Opened& s) { s.click("optPos", 11); }, [](Opened& s) { s.click("cmdMoveRight"); }},
        {"typed digit", nullptr, [](Opened& s) { s.type("txt", 1, "5"); }},
        {"pasted cell", nullptr, [](Opened& s) { s.paste("txt", 4, "300"); }},
        {"hand emptied", nullptr, [](Opened& s) { s.type("txtMin", 0, "\b\b"); }},
        {"drag", nullptr, [](Opened& s) { s.drag(20, 30, 26, 41); }},
        {"row colour", [](Opened& s) { s.row("L_RGBA", 2); },
         [](Opened& s) {
             s.dialogs.colours.push_back(0x563412);
             s.click("PicColor");
         }},
        {"background colour", nullptr,
         [](Opened& s) {
             s.dialogs.colours.push_back(0xFFFFFF);
             s.click("PicBGColor1");
         }},
        {"default colours", nullptr,
         [](Opened& s) {
             s.dialogs.answers.push_back(Answer::Yes);
             s.click("cmdLoadColors");
         }},
        {"clock style", nullptr, [](Opened& s) { s.click("optTime", 1); }},
        {"import",
         [](Opened& s) {
             s.rowOf("L_Values", "0652");
             s.click("chkDim");  // any size
         },
         [](Opened& s) { s.import("0652", Gif(s)); }},
        {"drop on a row",
         [](Opened& s) {
             s.rowOf("L_Values", "0652");
             s.click("chkDim");
             s.header("L_Values", 5);
         },
         [](Opened& s) { s.drop("L_Values", RowNumber(s.dump(), "L_Values", "0630"), Gif(s)); }},
        {"default image", [](Opened& s) { s.rowOf("L_Values", "0674"); }, [](Opened& s) {
             s.dialogs.answers.push_back(Answer::Yes);
             s.click("cmdDefault");
         }},
        {"default set", nullptr,
         [](Opened& s) {
             s.dialogs.answers.push_back(Answer::Yes);
             s.click("cmdDefaultAll");
         }},
    };
    return edits;
}

}  // namespace

class Undo : public QObject {
    Q_OBJECT
private slots:
    void everyEditIsTakenBackAndAgain();
    void aSaveAfterAnUndoWritesTheEarlierSkin();
    void typingIsOneStepPerFieldAndOpeningForgets();
};

void Undo::everyEditIsTakenBackAndAgain()
{
    for (const Edit& edit : Edits()) {
        Opened s;
        s.click("cmdExportAll");
        if (edit.prepare)
            edit.prepare(s);
        const QJsonObject before = Shown(s);
        edit.act(s);
        const QJsonObject after = Shown(s);
        QVERIFY2(after != before, edit.name);
        QVERIFY2(s.dump()["undo"].toObject()["can_undo"].toBool(), edit.name);
        const int renders = s.renders();
        QVERIFY2(Step(s, UserAction::Kind::Undo), edit.name);
        QVERIFY2(Shown(s) == before, edit.name);
        QCOMPARE(s.renders(), renders + 1);
        QVERIFY2(s.status().startsWith("Annullato: "), edit.name);
        QVERIFY2(Step(s, UserAction::Kind::Redo), edit.name);
        QVERIFY2(Shown(s) == after, edit.name);
        QVERIFY2(s.status().startsWith("Ripristinato: "), edit.name);
        // Nothing left to redo: the action changes nothing.
        QVERIFY2(!s.dump()["undo"].toObject()["can_redo"].toBool(), edit.name);
        const QString told = s.status();
        Step(s, UserAction::Kind::Redo);
        QVERIFY2(Shown(s) == after && s.status() == told, edit.name);
    }
}

void Undo::aSaveAfterAnUndoWritesTheEarlierSkin()
{
    // An object of container 0 and one of the container a save rewrites.
    for (const char* key : {"0631", "0651"}) {
        Opened s;
        s.click("cmdExportAll");
        s.save();
        const QByteArray original = ReadFile(s.skin), container = ReadFile(s.path("varavave14.dat"));
        s.rowOf("L_Values", key);
        s.click("chkDim");
        s.import(key, Gif(s));
        s.paste("txt", 4, "300");
        s.save();
        const QByteArray edited = ReadFile(s.skin);
        QVERIFY(edited != original && ReadFile(s.path("varavave14.dat")) != container);
        Step(s, UserAction::Kind::Undo);
        Step(s, UserAction::Kind::Undo);
        s.save();
        QCOMPARE(ReadFile(s.skin), original);
        QCOMPARE(ReadFile(s.path("varavave14.dat")), container);
        Step(s, UserAction::Kind::Redo);
        Step(s, UserAction::Kind::Redo);
        s.save();
        QCOMPARE(ReadFile(s.skin), edited);
    }
}

void Undo::typingIsOneStepPerFieldAndOpeningForgets()
{
    Opened s;
    const QJsonObject start = Shown(s);
    s.type("txt", 1, "\b\b7");
    s.type("txt", 1, "1");
    s.type("txt", 2, "9");
    Step(s, UserAction::Kind::Undo);
    Step(s, UserAction::Kind::Undo);
    QCOMPARE(Shown(s), start);
    QVERIFY(!s.dump()["undo"].toObject()["can_undo"].toBool());
    Step(s, UserAction::Kind::Redo);
    QVERIFY(s.open(s.skin).ok());
    const QJsonObject undo = s.dump()["undo"].toObject();
    QVERIFY(!undo["can_undo"].toBool() && !undo["can_redo"].toBool());
    // Of 201 steps the history keeps the last 200.
    for (int i = 0; i < 201; ++i)
        s.type("txt", 1 + i % 2, i / 2 % 2 ? "\b\b\b2" : "\b\b\b1");
    for (int i = 0; i < 199; ++i)
        Step(s, UserAction::Kind::Undo);
    QVERIFY(s.dump()["undo"].toObject()["can_undo"].toBool());
    Step(s, UserAction::Kind::Undo);
    QVERIFY(!s.dump()["undo"].toObject()["can_undo"].toBool());
}

QTEST_MAIN(Undo)
#include "test_undo.moc"
