// velluno-cli as a batch and a skin author run it: session scripts (their
// grammar, the queued answers, the events reaching the editor, the dump and
// the picture), the one-shot commands, their exit statuses and the reasons
// they print, and the scripts the documentation shows.
#include "fileaccess.h"
#include "testsupport.h"
#include "tinygif.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

// Background 10 20 30, the operator text red, four elements, hand lengths
// and colours, two graphic objects; not named varavave, so never saved.
const QByteArray kMini = "SKI1 mini\n0 41 98\n4 10 20 30 0\n0 10 layout\n1 570 10 20 100 40\n1 571 10 50 100 70\n"
                         "1 574 100 100 150 120\n1 6 50 100 90 140\n0 20 colours\n4 595 255 0 0 7\n4 579 0 0 255 0\n"
                         "4 9 0 255 0 0\n4 12 0 0 0 0\n2 8 18\n2 11 12\n0 30 images\n5 632 0 10 0\n5 630 10 10 0\n";
const QByteArray kOpenMini = "now 2026-03-07 09:05\nanswer-file mini.ski\ntoolbar LOAD\n";

// A folder with the mini skin and, unless told, the sample.
struct Folder : QTemporaryDir {
    explicit Folder(bool sample = true)
    {
        WriteFile(filePath("mini.ski"), kMini);
        if (sample)
            CopySample(path());
    }
    Run script(const QByteArray& lines) const { return Script(path(), lines); }
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

}  // namespace

class CommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(DropFileAccessOverride()); }
    void malformedLinesStopBeforeAnythingRuns_data();
    void malformedLinesStopBeforeAnythingRuns();
    void dialogsTakeQueuedAnswers();
    void theDumpHoldsTheWholeState();
    void eventsReachTheEditor();
    void setUpLinesAndFileOperations();
    void aFailedSaveEndsTheRunWithFailure();
    void picturesOfTheScriptAndOfRender();
    void statusOfEveryCommand();
    void reasonsNameFileLineAndSystem();
};

void CommandLine::malformedLinesStopBeforeAnythingRuns_data()
{
    QTest::addColumn<QByteArray>("line");
    for (const char* line : {"jump 3", "set txtOffSet \"5", "set txtOffSet a\"b", "tab 6", "tab one", "click cmdFly",
                             "click cmdUpdate 1", "click optPos 12", "click optTime 2", "click Pic 7", "toolbar PRINT",
                             "row L_Foo 1", "row L_Values 0", "type txt 12", "set txt 51 1", "type txtFoo 1",
                             "type txtOffSet \\x4g", "now 2026-13-01 10:00", "answer-colour 1 2 256", "answer maybe",
                             "select FileFoo 0", "png", "png a b", "dump a b", "copy onlyone", "delete", "drag 1 2 3",
                             "drag 1 2 3 x", "drop frmDesktop 3 a.ski", "drop L_Dim 1 a.ski", "open", "undo 1", "redo x",
                             "press 1", "tick 2"})
        QTest::newRow(line) << QByteArray(line);
}

void CommandLine::malformedLinesStopBeforeAnythingRuns()
{
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    // The faulty line comes after a dump: nothing may run, not even the dump.
    const Run r = Script(dir.path(), "# a comment\n\n   dump early.json\n" + line + "\n");
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains("session.txt, line 4"), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir.filePath("early.json")));
}

void CommandLine::dialogsTakeQueuedAnswers()
{
    Folder dir;
    // LOAD with no file answer queued: the line is named, status 2.
    Run r = dir.script("now 2026-03-07 09:05\n\ntoolbar LOAD\ndump\n");
    QVERIFY2(r.status == 2 && r.err.contains("line 3") && r.out.isEmpty(), qPrintable(r.err));
    // A cancelled file dialog is an answer: nothing opens, the script goes
    // on; a quoted "cancel" is a file of that name.
    r = dir.script("answer-file cancel\ntoolbar LOAD\ndump\nanswer-file \"cancel\"\ntoolbar LOAD\ndump\n");
    QCOMPARE(r.status, 0);
    QCOMPARE(r.dumps()[0]["status"].toString(), QStringLiteral("Aprire un file Skin (*.ski)..."));
    QVERIFY(r.dumps()[1]["status"].toString().startsWith("Skin: cancel"));
    // First in, first out: the "no" keeps the window, the "yes" closes it.
    r = dir.script("answer no\nanswer yes\nwindow-close\ndump\ntoolbar CLOSE\ndump state.json\npng shot.png\n");
    const QJsonObject closed = QJsonDocument::fromJson(ReadFile(dir.filePath("state.json"))).object();
    QVERIFY(r.status == 0 && !r.lastDump()["closed"].toBool() && closed["closed"].toBool());
    QCOMPARE(closed["messages"].toArray().size(), 2);
    QCOMPARE(closed["messages"].toArray()[1].toObject(),
             QJsonObject({{"text", "Confermi l'uscita da Velluno ?"}, {"title", "Domanda:"}, {"icon", "question"}}));
    QVERIFY(QFile::exists(dir.filePath("shot.png")));  // output still runs after closing
    // The closing question with nothing queued; events after closing.
    QCOMPARE(dir.script("dump\nwindow-close\n").status, 2);
    for (const char* event : {"tab 1", "window-close", "type txtOffSet 1"}) {
        r = dir.script(QByteArray("answer yes\nwindow-close\n") + event + "\n");
        QVERIFY2(r.status == 2 && r.err.contains("line 3"), event);
    }
    // The script from standard input; a script that cannot be read fails.
    r = Cli({"script", "-"}, dir.path(), "answer-file mini.ski\ntoolbar LOAD\ndump\n");
    QCOMPARE(r.lastDump()["skin"].toObject()["SkinName"].toString(), QStringLiteral("mini"));
    QCOMPARE(Cli({"script", "missing.txt"}, dir.path()).status, 1);
}

void CommandLine::theDumpHoldsTheWholeState()
{
    Folder dir;
    const Run r = dir.script(kOpenMini + "dump\ndump state.json\n");
    QCOMPARE(r.status, 0);
    const QJsonObject d = r.lastDump();
    QCOMPARE(QJsonDocument::fromJson(ReadFile(dir.filePath("state.json"))).object(), d);
    // The keys are those the documentation's skeleton names, no more, no
    // fewer (the object pictures go by their number; a few words there are
    // values).
    const QString doc = QString::fromUtf8(ReadFile(QStringLiteral(VELLUNO_SOURCE_DIR "/docs/scripting.md")));
    const int from = doc.indexOf("```", doc.indexOf("## The dump")) + 3;
    QSet<QString> documented;
    for (const QRegularExpressionMatch& m : QRegularExpression("\"(\\w+)\"").globalMatch(doc.mid(from, doc.indexOf("```", from) - from)))
        documented << m.captured(1);
    documented -= QSet<QString>({"exclamation", "information", "question", "stop", "name", "path", "630"});
    QSet<QString> keys;
    std::function<void(const QJsonValue&)> walk = [&](const QJsonValue& v) {
        for (const QJsonValue item : v.toArray())
            walk(item);
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!it.key().front().isDigit())
                keys << it.key();
            walk(it.value());
        }
    };
    walk(d);
    QCOMPARE(keys, documented);
    const QJsonObject controls = d["controls"].toObject(), canvas = d["canvas"].toObject();
    QCOMPARE(QList<qsizetype>({controls["txt"].toArray().size(), controls["optPos"].toArray().size(),
                               d["refs"].toObject()["ElementRow"].toArray().size(), canvas["Img"].toArray().size(),
                               d["Pic"].toObject().size()}),
             QList<qsizetype>({51, 12, 12, 3, 10}));

    // Values from the skin and the session: lines and nodes, rows by key,
    // references by node and key, colours as 0x00BBGGRR, dates from `now`.
    QCOMPARE(d["title"].toString(), QStringLiteral("Velluno Ver. 1.0 (buid: 020) by Ostrel"));
    QVERIFY(d["lines"].toArray().size() == 18 && d["lines"].toArray()[4].toString() == "1 570 10 20 100 40");
    QCOMPARE(d["tree"].toArray()[4].toObject()["parent"].toInt(), 4);
    QCOMPARE(Looks(d, "L_Values"), QStringList({"0630|00_000010|00|10|10|Non trovata| |0017|red icon 3",
                                                "0632|00_000000|00|0|10|Non trovata| |0016|red icon 3"}));
    QCOMPARE(d["L_RGBA"].toObject()["sort"].toInt(), -1);
    const QJsonObject refs = d["refs"].toObject();
    QCOMPARE(QStringList({refs["BackgroundNode"].toVariant().toString(), refs["MinuteLengthNode"].toVariant().toString(),
                          refs["OperatorColourRow"].toString(), refs["ElementRow"].toArray()[0].toString()}),
             QStringList({"3", "14", "0595", "0570"}));
    QVERIFY(refs["ElementRow"].toArray()[2].isNull());
    QCOMPARE(d["messages"].toArray(),
             QJsonArray({QJsonObject({{"title", "Attenzione:"}, {"icon", "exclamation"},
                                      {"text", "Velluno permette di modificare solo la skin originale del v980!"}})}));
    QCOMPARE(QList<int>({canvas["background"].toInt(), canvas["lblOperatore"].toObject()["colour"].toInt()}),
             QList<int>({10 + 256 * 20 + 65536 * 30, 255}));
    QCOMPARE(canvas["lblData"].toObject()["text"].toString() + " " + canvas["lblOra"].toObject()["text"].toString(),
             QStringLiteral("7/3/2026 09:05"));
}

void CommandLine::eventsReachTheEditor()
{
    Folder dir;
    // Keys through the filter and the maximum length, escapes inside quotes;
    // tabs, tables, nodes, check boxes, pictures, the clock style, drags.
    const Run r = dir.script(kOpenMini + "type txtOffSet 7\ntype txtOffSet \\b5x\ntype txt 4 \"\\b\\x31 \\x32x3\"\n"
                                         "set txt 5 \"a \\\"b1 2-3x4\"\ntype txt 50 12\ndump\nset txt 5 \"\"\n"
                                         "tab 1\ndump\ntab 2\ntoolbar LOAD\ndump\nrow L_Values 2\nheader L_Values 4\n"
                                         "row L_Dim 3\nclick optPos 0\nclick optPos 5\nclick Pic 652\nnode 2\ntab 4\ndump\n"
                                         "click optTime 1\nclick cmdUpdate\ndrag 30 25 33 23\ndrag 150 10 160 20\ndump\n");
    QCOMPARE(r.status, 0);
    const QList<QJsonObject> d = r.dumps();
    QCOMPARE(d.size(), 5);
    QCOMPARE(QStringList({FieldText(d[0], "txtOffSet"), FieldText(d[0], "txt", 4), FieldText(d[0], "txt", 5),
                          FieldText(d[0], "txt", 50), FieldText(d[1], "txt", 5)}),
             QStringList({"5", "123", "123", "", ""}));
    QCOMPARE(d[1]["status"].toString(), QStringLiteral("N° oggetti definiti in elenco: 2"));
    QCOMPARE(d[1]["toolbar"].toObject()["LOAD"].toBool(), false);
    QCOMPARE(d[2]["status"].toString(), QStringLiteral("N° colori definiti in elenco: 5"));
    QCOMPARE(d[2]["messages"].toArray().size(), 1);  // LOAD greyed: no dialog
    // The selection follows its row (0632) to the top of the "Offset" order.
    QCOMPARE(d[3]["status"].toString(), QString());
    QCOMPARE(d[3]["L_Values"].toObject()["sort"].toInt(), 3);
    QCOMPARE(d[3]["L_Values"].toObject()["selected"].toInt(), 1);
    QCOMPARE(d[3]["L_Dim"].toObject()["selected"].toInt(), 3);
    QVERIFY(ControlState(d[3], "optPos", 0)["checked"].toBool() && !ControlState(d[3], "optPos", 5)["checked"].toBool());
    QCOMPARE(ControlState(d[4], "optTime", 1)["selected"].toBool(), true);
    QCOMPARE(d[4]["canvas"].toObject()["LineMin"].toObject()["visible"].toBool(), true);
    QCOMPARE(Cells(RowByKey(d[4], "L_Dim", "0570"), kX1, kHeight), QStringList({"13", "18", "103", "38", "-", "-"}));
    QVERIFY(d[4]["renders"].toInt() > d[3]["renders"].toInt());
    QCOMPARE(d[4]["PicOBJ"].toArray(), QJsonArray({QJsonArray({100, 100, 150, 120})}));

    // A row, column or node that does not exist is an error.
    for (const char* event : {"row L_Values 3", "header L_RGBA 7", "node 19", "select FileDesktop 50", "drop L_Values 3 a.gif"}) {
        const Run bad = dir.script(kOpenMini + event + "\n");
        QVERIFY2(bad.status == 2 && bad.err.contains("line 4"), qPrintable(bad.err));
    }
    // Before any opening every tab is disabled; a skin given by `drop` or
    // `open` opens as LOAD opens it.
    QCOMPARE(dir.script("tab 3\ndump\n").lastDump()["tab"].toInt(), 0);
    for (const char* verb : {"drop frmDesktop", "open"}) {
        const Run given = dir.script(QByteArray(verb) + " varavave.ski\ndump\n");
        QCOMPARE(given.lastDump()["status"].toString(), "Skin: " + dir.filePath("varavave.ski"));
        QVERIFY(given.lastDump()["skin"].toObject()["SaveEnabled"].toBool());
    }
}

void CommandLine::setUpLinesAndFileOperations()
{
    Folder dir;
    WriteFile(dir.filePath("other name.ski"), "SKI1\n");
    QVERIFY(QDir().mkdir(dir.filePath("mydir")));
    const Run r = dir.script("now 2026-03-07 09:05\ndefault-dir mydefaults\ndump\nnow 2027-12-31 23:59\ndump\n"
                             "copy mini.ski \"other name.ski\"\nanswer-file \"other name.ski\"\ntoolbar LOAD\n"
                             "delete mini.ski\ncopy varavave.ski mydir\ndump\n");
    QCOMPARE(r.status, 0);
    const QList<QJsonObject> d = r.dumps();
    auto date = [&](int i) { return d[i]["canvas"].toObject()["lblData"].toObject()["text"].toString(); };
    // `now` before the start applies to the start; afterwards only to the
    // next reset, the opening.
    QCOMPARE(QStringList({date(0), date(1), date(2)}), QStringList({"7/3/2026", "7/3/2026", "31/12/2027"}));
    // The copy replaced the file of that name; a folder takes the file's name.
    QVERIFY(d[2]["skin"].toObject()["LineCount"].toInt() == 18 && !QFile::exists(dir.filePath("mini.ski")));
    QCOMPARE(ReadFile(dir.filePath("mydir/varavave.ski")), ReadFile(dir.filePath("varavave.ski")));
    // File operations that fail are failures (1), naming the line.
    const Run bad = dir.script("dump\ndelete nothing-here.txt\n");
    QVERIFY(bad.status == 1 && bad.err.contains("line 2") && dir.script("copy nothing-here.txt x\n").status == 1);
}

void CommandLine::aFailedSaveEndsTheRunWithFailure()
{
    // The backup's name is taken by a folder: the SAVE writes nothing and
    // shows its error; the session goes on to its end, which reports 1.
    QTemporaryDir dir;
    WriteFile(dir.filePath("varavave.ski"), kMini);
    QVERIFY(QDir().mkdir(dir.filePath("varavave_old.ski")));
    const Run r = Script(dir.path(), "answer-file varavave.ski\ntoolbar LOAD\ntoolbar SAVE\ndump\n");
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("line 3") && r.err.contains("varavave_old.ski"), qPrintable(r.err));
    QCOMPARE(r.lastDump()["messages"].toArray().last().toObject()["title"].toString(), QStringLiteral("Errore:"));
    QCOMPARE(ReadFile(dir.filePath("varavave.ski")), kMini);
    QVERIFY(QDir().rmdir(dir.filePath("varavave_old.ski")));
    QCOMPARE(Script(dir.path(), "answer-file varavave.ski\ntoolbar LOAD\ntoolbar SAVE\n").status, 0);
    QCOMPARE(ReadFile(dir.filePath("varavave_old.ski")), kMini);
}

void CommandLine::picturesOfTheScriptAndOfRender()
{
    Folder dir(false);
    // 176 x 220, the background where nothing lies, the element's outline.
    QCOMPARE(dir.script(kOpenMini + "png shot.png\n").status, 0);
    const QImage shot(dir.filePath("shot.png"));
    QCOMPARE(shot.size(), QSize(176, 220));
    QCOMPARE(QList<QRgb>({Pixel(shot, 2, 2), Pixel(shot, 10, 30), Pixel(shot, 80, 120)}),
             QList<QRgb>({qRgb(10, 20, 30), qRgb(0, 0, 0), qRgb(10, 20, 30)}));
    // The same through render, scaled by whole pixels (render reads the
    // real clock: the rows of the date and the time are left out).
    QCOMPARE(Cli({"render", "mini.ski", "-o", "big.png", "--scale", "3"}, dir.path()).status, 1);  // nothing extracted
    const QImage big(dir.filePath("big.png"));
    QCOMPARE(big.size(), QSize(528, 660));
    for (int y = 0; y < 220; y += 7)
        for (int x = 0; x < 176 && !(y >= 48 && y <= 78) && !(y >= 98 && y <= 128); x += 5)
            for (int d = 0; d < 3; ++d)
                QCOMPARE(Pixel(big, 3 * x + d, 3 * y + 2 - d), Pixel(shot, x, y));
    // The analogue style: the minute hand runs right from the face's centre.
    QCOMPARE(Cli({"render", "mini.ski", "-o", "analogue.png", "--analogue"}, dir.path()).status, 1);
    QCOMPARE(Pixel(QImage(dir.filePath("analogue.png")), 80, 120), qRgb(0, 255, 0));
    // "Telefono": no outlines, the clock read again by `tick`, the minute
    // hand of 9:20 down to the right (120 degrees); no soft key at (5, 5).
    const Run phone = dir.script(kOpenMini + "click optTime 1\nclick chkTelefono\nnow 2026-03-07 09:20\ntick\npress 5 5\npng p.png\ndump\n");
    const QJsonObject live = phone.lastDump()["phone"].toObject();
    QVERIFY(live["time"].toString() == "2026-03-07 09:20" && live["pressed"].toInt() == -1);
    QCOMPARE(Numbers(live["canvas"].toObject()["LineMin"].toObject(), {"x1", "y1", "x2", "y2"}), QList<int>({70, 120, 86, 129}));
    QCOMPARE(QList<QRgb>({Pixel(QImage(dir.filePath("p.png")), 86, 129), Pixel(QImage(dir.filePath("p.png")), 10, 30)}),
             QList<QRgb>({qRgb(0, 255, 0), qRgb(10, 20, 30)}));

    // The phone's own picture: where the editor draws an outline and nothing
    // else lies (the top row of the operator's frame), the background.
    CopySample(dir.path());
    QCOMPARE(Cli({"export", "varavave.ski"}, dir.path()).status, 0);
    for (const auto& [name, magic] : {std::pair{"a.png", QByteArray("\x89PNG")}, {"b.jpg", "\xFF\xD8\xFF"},
                                      {"c.JPEG", "\xFF\xD8\xFF"}, {"d.bmp", "BM"}}) {
        QCOMPARE(Cli({"render", "varavave.ski", "--phone", "--no-wallpaper", "-o", name}, dir.path()).status, 0);
        QCOMPARE(ReadFile(dir.filePath(name)).left(magic.size()), magic);
        QCOMPARE(QImage(dir.filePath(name)).size(), QSize(176, 220));
    }
    QCOMPARE(Cli({"render", "varavave.ski", "--no-wallpaper", "-o", "editor.png"}, dir.path()).status, 0);
    QCOMPARE(Pixel(QImage(dir.filePath("editor.png")), 100, 4), qRgb(0, 0, 0));
    QCOMPARE(Pixel(QImage(dir.filePath("a.png")), 100, 4), qRgb(44, 54, 72));
    for (const char* name : {"e.gif", "f", "g.png.txt"}) {
        const Run r = Cli({"render", "varavave.ski", "-o", name}, dir.path());
        QVERIFY(r.status == 2 && r.err.contains(".png, .jpg (.jpeg) or .bmp") && !QFile::exists(dir.filePath(name)));
    }
    // Usage errors are 2, and so is a skin that cannot be opened.
    WriteFile(dir.filePath("bad.ski"), "NOPE\n");
    for (const QStringList& args : {QStringList{"render", "mini.ski"}, {"render", "mini.ski", "-o", "x.png", "--scale", "0"},
                                    {"render", "bad.ski", "-o", "x.png"}, {"render", "none.ski", "-o", "x.png"}})
        QCOMPARE(Cli(args, dir.path()).status, 2);
    QVERIFY(!QFile::exists(dir.filePath("x.png")));
}

void CommandLine::statusOfEveryCommand()
{
    // Info, export, colours, render, repack and a script that opens,
    // exports and saves: 0 on a good skin, its images extracted.
    auto statuses = [](const QString& dir) {
        WriteFile(dir + "/s.txt", "answer-file varavave.ski\ntoolbar LOAD\nclick cmdExportAll\n");
        QList<int> all;
        for (const QStringList& args : {QStringList{"info", "varavave.ski"}, {"export", "varavave.ski"},
                                        {"colours", "varavave.ski"}, {"render", "varavave.ski", "-o", "shot.png"},
                                        {"repack", "varavave.ski"}, {"script", "s.txt"}})
            all << Cli(args, dir).status;
        return all;
    };
    Folder good;
    const QStringList before = Snapshot(good.path()).keys();
    const Run info = Cli({"info", "varavave.ski"}, good.path());
    QCOMPARE(info.status, 1);  // a problem: no image is extracted yet
    QVERIFY2(info.err.isEmpty(), qPrintable(info.err));  // not even a word about a platform
    for (const char* line : {"Lines:          139", "Graphic objects: 26", "Saving:         enabled"})
        QVERIFY2(info.out.contains(line), line);
    QCOMPARE(Snapshot(good.path()).keys(), before);  // no image folder, nothing written
    const Run exported = Cli({"export", "varavave.ski"}, good.path());
    QVERIFY(exported.out.contains("26 images extracted"));
    QCOMPARE(statuses(good.path()), QList<int>({0, 0, 0, 0, 0, 0}));

    // A container cut short: the export and what needs the images say so;
    // colours and the save are not concerned.
    Folder faulty;
    WriteFile(faulty.filePath("varavave1.dat"), ReadFile(faulty.filePath("varavave1.dat")).left(500));
    const Run cut = Cli({"export", "varavave.ski"}, faulty.path());
    QVERIFY2(cut.status == 1 && cut.err.contains("runs past the end of") && cut.out.contains("faulty rows"), qPrintable(cut.err));
    QCOMPARE(statuses(faulty.path()), QList<int>({1, 1, 0, 1, 0, 0}));

    // No such skin: 2 for every command; usage errors; the statuses in the help.
    for (const char* command : {"info", "export", "colours", "repack"}) {
        const Run r = Cli({command, faulty.filePath("none.ski")});
        QVERIFY(r.status == 2 && r.out.isEmpty() && r.err.contains(faulty.filePath("none.ski")));
    }
    for (const QStringList& args : {QStringList{}, {"frobnicate"}, {"export", "a.ski", "b.ski"}, {"info"}})
        QCOMPARE(Cli(args).status, 2);
    QVERIFY(Cli({"--help"}).out.contains("exit status"));
}

void CommandLine::reasonsNameFileLineAndSystem()
{
    Folder dir;
    QVERIFY(QDir().mkdir(dir.filePath("cartella.ski")));
    const QString locked = dir.filePath("chiusa.ski");
    WriteFile(locked, "SKI1\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    WriteFile(dir.filePath("text.ski"), "no magic here\n");
    const std::pair<QString, const char*> reasons[] = {{dir.filePath("manca.ski"), "No such file or directory"},
                                                       {dir.filePath("cartella.ski"), "Is a directory"},
                                                       {locked, "Permission denied"}};
    for (const auto& [path, reason] : reasons) {
        const Run r = Cli({"info", path});
        QVERIFY2(r.status == 2 && r.err.contains(path) && r.err.contains(reason), qPrintable(r.err));
    }
    QVERIFY(Cli({"info", dir.filePath("text.ski")}).out.contains("does not start with SKI1"));
    QVERIFY(!QFileInfo::exists(dir.filePath("text_Gifs")));
    // A short record on line 10 is line 10.
    const QString shortRecord = dir.filePath("corta.ski");
    WriteFile(shortRecord, "SKI1\n0 a\n2 1 1\n2 2 2\n2 3 3\n2 4 4\n2 5 5\n2 6 6\n4 1 2 3 4\n4 1 2\n");
    const Run info = Cli({"info", shortRecord});
    QVERIFY2(info.status == 1 && info.out.contains(shortRecord + ", line 10: a record with fewer than five fields"),
             qPrintable(info.out));
    QCOMPARE(Cli({"export", shortRecord}).status, 2);
    // One line ended by CR LF at line 70 of the 139: info names it, repack
    // refuses and leaves every file as it was; so for another skin's name.
    QByteArray text = ReadFile(dir.filePath("varavave.ski"));
    WriteFile(dir.filePath("varavave.ski"), text.insert(text.indexOf("\n1 1 198 175 219\n"), '\r'));
    const auto before = Snapshot(dir.path());
    QVERIFY(Cli({"info", "varavave.ski"}, dir.path()).out.contains("varavave.ski, line 70: the reading stopped at a carriage return"));
    for (const char* skin : {"varavave.ski", "mini.ski"}) {
        const Run repack = Cli({"repack", skin}, dir.path());
        QVERIFY2(repack.status == 1 && repack.out.isEmpty() && !repack.err.isEmpty(), qPrintable(repack.err));
    }
    QVERIFY(Snapshot(dir.path()) == before);
    QVERIFY(Cli({"info", "mini.ski"}, dir.path()).out.contains("only a skin named varavave.ski can be saved"));
    // A picture into a place that cannot hold it: the file and the reason.
    const Run render = Cli({"render", "varavave.ski", "-o", locked + "/preview.png"}, dir.path());
    QVERIFY2(render.status == 1 && render.err.contains(locked + "/preview.png") && render.err.contains("Not a directory"),
             qPrintable(render.err));
}

QTEST_MAIN(CommandLine)
#include "test_cli.moc"
