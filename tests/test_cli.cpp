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
    void everyCommandJudgesASkinAlike_data();
    void everyCommandJudgesASkinAlike();
    void thePhoneNeedsNoExport();
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
    const Run r = dir.script(kOpenMini + "type txtOffSet 7\ntype txtOffSet \\b5x\\x3F\ntype txt 4 \"\\b\\x31 \\x32x3\"\n"
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
    QCOMPARE(Cli({"render", "mini.ski", "-o", "big.png", "--scale", "3"}, dir.path()).status, 1);  // no container mini.dat
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
}

namespace {

// The sample with one piece of its text replaced.
void EditSample(const QString& dir, const QByteArray& from, const QByteArray& to)
{
    QByteArray text = ReadFile(dir + "/varavave.ski");
    if (!text.contains(from))
        qFatal("the sample has no \"%s\"", from.constData());
    WriteFile(dir + "/varavave.ski", text.replace(from, to));
}

// A folder holding the sample as the row's setup wants it.
void Prepare(const QString& setup, const QString& dir)
{
    CopySample(dir);
    const QByteArray session = setup.section(':', 1).toUtf8().replace("\\n", "\n");
    if (!session.isEmpty())
        WriteFile(dir + "/session.txt", session);
    if (setup == "exported" || setup.startsWith("651 a folder"))
        Cli({"export", "varavave.ski"}, dir);
    if (setup == "duplicates") {
        EditSample(dir, "5 631 415 415 0\n", "5 631 415 415 0\n5 630 0 415 0\n");
        EditSample(dir, "4 96 110 134 0\n", "4 96 110 134 0\n4 595 1 2 3 0\n");
        WriteFile(dir + "/varavave.ski", ReadFile(dir + "/varavave.ski") + "1 570 1 2 3 4\n");
    } else if (setup == "out of range") {
        EditSample(dir, "1 570 4 4 171 24", "1 570 99999999999999999999 4 171 24");
        EditSample(dir, "4 595 255 255 255 0", "4 595 256 -1 99999 0");
        EditSample(dir, "1 571 4 26 100 46", "1 571 4 26 175 220");
    } else if (setup == "bad GIF in 14") {
        // Object 651 points at a GIF of 60000 x 60000 appended to container 14.
        const QByteArray bad = DeclaredGif(60000, 60000, 1, 1), container = ReadFile(dir + "/varavave14.dat");
        WriteFile(dir + "/varavave14.dat", container + bad);
        EditSample(dir, "5 651 0 90 14", QByteArray("5 651 ") + QByteArray::number(container.size()) + ' ' +
                                             QByteArray::number(bad.size()) + " 14");
    } else if (setup == "1502 lines") {
        WriteFile(dir + "/varavave.ski", ReadFile(dir + "/varavave.ski") + QByteArray("2 9 9\n").repeated(1502 - 139));
    } else if (setup == "short record") {
        WriteFile(dir + "/corta.ski", "SKI1\n4 1 2\n" + QByteArray("2 1 1\n").repeated(8));
    } else if (setup == "carriage return") {
        EditSample(dir, "\n1 1 198 175 219\n", "\r\n1 1 198 175 219\n");
    } else if (setup == "cut container") {
        WriteFile(dir + "/varavave1.dat", ReadFile(dir + "/varavave1.dat").left(500));
    } else if (setup == "not files") {
        QDir(dir).mkdir("cartella.ski");
        WriteFile(dir + "/chiusa.ski", "SKI1\n");
        QFile::setPermissions(dir + "/chiusa.ski", QFileDevice::WriteOwner);
    } else if (setup == "upper case") {
        CopySample(dir + "/UP");
        QFile::rename(dir + "/UP/varavave.ski", dir + "/UP/VARAVAVE.SKI");
    } else if (setup.startsWith("read-only")) {
        CopySample(dir + "/ro");
        if (setup == "read-only CR")
            EditSample(dir + "/ro", "\n1 1 198 175 219\n", "\r\n1 1 198 175 219\n");
        QFile::setPermissions(dir + "/ro", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else if (setup == "630 a folder") {
        QDir(dir).mkpath("varavave_Gifs/630.gif");
    } else if (setup.startsWith("651 a folder")) {
        QFile::remove(dir + "/varavave_Gifs/651.gif");
        QDir(dir).mkdir("varavave_Gifs/651.gif");
    } else if (setup == "another name") {
        for (const char* ext : {".ski", ".dat", "1.dat", "14.dat"})
            QFile::rename(dir + "/varavave" + ext, dir + "/copia" + ext);
    } else if (setup.startsWith("upper case names")) {
        for (const char* ext : {".ski", ".dat", "1.dat", "14.dat"})
            QFile::rename(dir + "/varavave" + ext, dir + "/VARAVAVE" + QString(ext).toUpper());
    }
}

}  // namespace

void CommandLine::everyCommandJudgesASkinAlike_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("args");  // %D: the skin's folder; %O: one for pictures, outside it
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");  // how standard error begins (%D as above); empty: it is empty
    QTest::addColumn<QString>("out");  // a line standard output holds
    const QString exportNote = "velluno-cli render: note: object(s) not exported yet, shown from their containers";
    const QString duplicate = "varavave.ski, line 31: colour 0595 again (first at line 18): the editor shows and "
                              "changes only the first";
    const QString x1 = "varavave.ski, line 17, field 3 (X1): \"99999999999999999999\" is no whole number from 0 to 175";
    const QString bad14 = "varavave.ski, line 136: object 0651: the image in ./varavave14.dat is no GIF the phone "
                          "can show (the image is too large";
    const QString tooMany = "the reading stopped: varavave.ski, line 1502: more than 1501 lines";
    const QString cr = "varavave.ski, line 70: the reading stopped at a carriage return";
    const QString cut = "varavave.ski, line 120: object 0674: the image (offset 414, 270 bytes) runs past the end";
    const QString shortRecord = "the reading stopped: corta.ski, line 2: a record with fewer than five fields";
    struct Row { const char* name; QString setup; QStringList args; int status; QString err, out; };
    const Row rows[] = {
        // Not exported yet: the skin's normal state, a note.
        {"sample info", "sample", {"info", "varavave.ski"}, 0, "", "Problems:       none"},
        {"sample notes", "sample", {"info", "varavave.ski"}, 0, "", "image files), 26: 0007 0630"},
        {"sample render", "sample", {"render", "varavave.ski", "-o", "%O/p.png"}, 0, exportNote, ""},
        {"sample phone", "sample", {"render", "varavave.ski", "--phone", "-o", "%O/p.bmp"}, 0, exportNote, ""},
        {"sample export", "sample", {"export", "varavave.ski"}, 0, "", "26 images extracted"},
        {"sample repack", "sample", {"repack", "varavave.ski"}, 0, "velluno-cli repack: note: object(s) not exported", "0 images packed into varavave14.dat (left as it was)"},
        {"sample colours", "sample", {"colours", "varavave.ski"}, 0, "", "0595,255,255,255,0,0017"},
        {"exported info", "exported", {"info", "varavave.ski"}, 0, "", "Notes:          none"},
        {"exported repack", "exported", {"repack", "varavave.ski"}, 0, "", "4 images packed into varavave14.dat"},
        // Problems, alike for every command that judges the skin.
        {"duplicates info", "duplicates", {"info", "varavave.ski"}, 1, "",
         "varavave.ski, line 118: object 0630 again (first at line 116): both are exported to 630.gif"},
        {"duplicates export", "duplicates", {"export", "varavave.ski"}, 1, "velluno-cli export: " + duplicate, "27 images"},
        {"duplicate rectangle", "duplicates", {"info", "varavave.ski"}, 1, "", "varavave.ski, line 142: rectangle 0570 again (first at line 17)"},
        {"duplicates repack", "duplicates", {"repack", "varavave.ski"}, 1, "velluno-cli repack: " + duplicate, ""},
        {"range info", "out of range", {"info", "varavave.ski"}, 1, "", x1},
        {"range render", "out of range", {"render", "varavave.ski", "-o", "%O/p.png"}, 1, "velluno-cli render: " + x1, ""},
        {"one past the bottom", "out of range", {"info", "varavave.ski"}, 1, "",
         "varavave.ski, line 22, field 6 (Y2): \"220\" is no whole number from 0 to 219"},
        {"colour range", "out of range", {"info", "varavave.ski"}, 1, "",
         "varavave.ski, line 18, field 4 (G): \"-1\" is no whole number from 0 to 255"},
        {"bad 14 info", "bad GIF in 14", {"info", "varavave.ski"}, 1, "", bad14},
        {"bad 14 export", "bad GIF in 14", {"export", "varavave.ski"}, 1, "velluno-cli export: " + bad14, "1 faulty rows"},
        {"bad 14 repack", "bad GIF in 14", {"repack", "varavave.ski"}, 1, "velluno-cli repack: " + bad14, ""},
        {"1502 info", "1502 lines", {"info", "varavave.ski"}, 1, "", "Lines:          0 read, the reading stopped at line 1502"},
        {"1502 export", "1502 lines", {"export", "varavave.ski"}, 1, "velluno-cli export: " + tooMany, ""},
        {"1502 repack", "1502 lines", {"repack", "varavave.ski"}, 1, "velluno-cli repack: " + tooMany, ""},
        {"short info", "short record", {"info", "corta.ski"}, 1, "", "Lines:          1 read, the reading stopped at line 2"},
        {"short export", "short record", {"export", "corta.ski"}, 1, "velluno-cli export: " + shortRecord, ""},
        {"short colours", "short record", {"colours", "corta.ski"}, 1, "velluno-cli colours: " + shortRecord, ""},
        {"CR info", "carriage return", {"info", "varavave.ski"}, 1, "", cr},
        {"CR repack", "carriage return", {"repack", "varavave.ski"}, 1, "velluno-cli repack: " + cr, ""},
        {"cut export", "cut container", {"export", "varavave.ski"}, 1, "velluno-cli export: " + cut, ""},
        {"cut render", "cut container", {"render", "varavave.ski", "-o", "%O/p.png"}, 1, "velluno-cli render: " + cut, ""},
        {"cut colours", "cut container", {"colours", "varavave.ski"}, 0, "", ""},
        {"another name info", "another name", {"info", "copia.ski"}, 0, "", "  - only a skin named varavave.ski can be saved"},
        {"another name repack", "another name", {"repack", "copia.ski"}, 1, "velluno-cli repack: note: object(s) not exported", ""},
        // Inputs that cannot be opened, named as they are on the disk.
        {"missing", "sample", {"info", "none.ski"}, 2, "velluno-cli info: none.ski: cannot be opened (No such file or directory)", ""},
        {"a folder", "not files", {"export", "cartella.ski"}, 2, "velluno-cli export: cartella.ski: cannot be opened (Is a directory)", ""},
        {"unreadable", "not files", {"render", "chiusa.ski", "-o", "%O/p.png"}, 2, "velluno-cli render: chiusa.ski: cannot be opened (Permission denied)", ""},
        {"no skin", "sample", {"info", "wallpaper.jpg"}, 2, "", "Skin:           wallpaper.jpg"},
        {"render no skin", "sample", {"render", "wallpaper.jpg", "-o", "%O/p.png"}, 2,
         "velluno-cli render: wallpaper.jpg: the file does not start with SKI1 (not a skin)", ""},
        {"a device", "sample", {"info", "/dev/null"}, 2, "", "Skin:           /dev/null"},
        {"letter case", "upper case", {"info", "up/varavave.ski"}, 0, "", "Skin:           UP/VARAVAVE.SKI"},
        // Reasons that name the first failing step and the system's reason.
        {"read-only folder", "read-only folder", {"export", "ro/varavave.ski"}, 1,
         "velluno-cli export: nothing was extracted: ro/varavave_Gifs/: the image folder cannot be created (Permission denied)", ""},
        {"630.gif a folder", "630 a folder", {"export", "varavave.ski"}, 1,
         "velluno-cli export: varavave.ski, line 115: object 0630: the image file cannot be written: "
         "./varavave_Gifs/630.gif: exists and is not a file (Is a directory)", ""},
        {"picture not written", "exported", {"render", "varavave.ski", "-o", "%D/varavave.ski/p.png"}, 1,
         "velluno-cli render: %D/varavave.ski/p.png: no temporary file can be created beside it (Not a directory)", ""},
        // Sessions.
        {"651.gif a folder", "651 a folder:answer-file varavave.ski\ntoolbar LOAD\nanswer-file varavave_Gifs/652.gif\n"
                             "row L_Values 2\nclick cmdImport\ntoolbar SAVE\ndump\n", {"script", "session.txt"}, 1,
         "velluno-cli: session.txt, line 6: the save wrote nothing: the image of object 0651 to be packed is a folder",
         "da sostituire è una cartella, non un file:\\n./varavave_Gifs/651.gif"},
        {"saved names", "upper case names:answer-file VARAVAVE.SKI\ntoolbar LOAD\nclick cmdExportAll\ntoolbar SAVE\ndump\n",
         {"script", "session.txt"}, 0, "", "File: VARAVAVE14.DAT creato con successo, file: VARAVAVE.SKI aggiornato"},
        {"open missing", "sample:open /nonexistent/varavave.ski\n", {"script", "session.txt"}, 1,
         "velluno-cli: session.txt, line 1: the skin was not opened: /nonexistent/varavave.ski: cannot be opened (No such file", ""},
        {"answer unused", "sample:answer-file varavave.ski\ntoolbar LOAD\ntab 1\nanswer-file varavave.ski\ntoolbar LOAD\n",
         {"script", "session.txt"}, 2, "velluno-cli: session.txt, line 4: the answer queued here was never used", ""},
        {"651 a folder info", "651 a folder", {"info", "varavave.ski"}, 1, "",
         "saving stops: the image of object 0651 to be packed is a folder"},
        {"repair not written", "read-only CR", {"fix-line-ends", "ro/varavave.ski"}, 1, "velluno-cli fix-line-ends: %D/ro/varavave_old.ski: no temporary file can be created beside it (Permission denied)", ""},
        {"nothing to repair", "sample", {"fix-line-ends", "none.ski"}, 2, "velluno-cli fix-line-ends: none.ski: cannot be opened", ""},
        {"colour unused", "sample:answer-colour 1 2 3\n", {"script", "session.txt"}, 2,
         "velluno-cli: session.txt, line 1: the answer queued here was never used", ""},
        {"yes unused", "sample:answer yes\n", {"script", "session.txt"}, 2,
         "velluno-cli: session.txt, line 1: the answer queued here was never used", ""},
        {"no script", "sample", {"script", "none.txt"}, 2, "velluno-cli script: cannot read the script none.txt", ""},
        // Usage.
        {"no picture", "sample", {"render", "varavave.ski"}, 2, "velluno-cli render: no output file given (-o)", ""},
        {"bad time", "sample", {"render", "varavave.ski", "-o", "x.png", "--time", "25:00"}, 2, "velluno-cli render: --time needs", ""},
        {"bad scale", "sample", {"render", "varavave.ski", "-o", "x.png", "--scale", "0"}, 2, "velluno-cli render: --scale needs", ""},
        {"bad format", "sample", {"render", "varavave.ski", "-o", "x.gif"}, 2, "velluno-cli render: x.gif: the picture's format", ""},
        {"two skins", "sample", {"export", "a.ski", "b.ski"}, 2, "velluno-cli export: one SKIN only", ""},
        {"an option", "sample", {"info", "--bogus", "varavave.ski"}, 2, "velluno-cli info: Unknown option 'bogus'.", ""},
        {"no command", "sample", {}, 2, "usage: velluno-cli COMMAND", ""},
        {"unknown command", "sample", {"frobnicate"}, 2, "velluno-cli: unknown command frobnicate", ""},
        {"help", "sample", {"--help"}, 0, "", "exit status, for every command:"},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << r.setup << r.args << r.status << r.err << r.out;
}

void CommandLine::everyCommandJudgesASkinAlike()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, args);
    QTemporaryDir dir, pictures;
    Prepare(setup, dir.path());
    args.replaceInStrings("%O", pictures.path()).replaceInStrings("%D", dir.path());
    const auto before = Snapshot(dir.path());
    const Run r = Cli(args, dir.path());
    QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFETCH(int, status);
    QFETCH(QString, err);
    QFETCH(QString, out);
    err.replace("%D", dir.path());
    QVERIFY2(r.status == status && (err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err)) && r.out.contains(out),
             qPrintable(QStringLiteral("%1\n%2%3").arg(r.status).arg(r.err, r.out.left(2000))));
    // Reading, drawing and listing leave the skin's folder as they found it.
    if (QStringList({"info", "render", "colours"}).contains(args.value(0)) && status < 2)
        QVERIFY(Snapshot(dir.path()) == before);
}

void CommandLine::thePhoneNeedsNoExport()
{
    Folder dir;
    // A picture that was not drawn, or drawn with a problem, is null.
    auto render = [&](const char* name, QStringList options) {
        const Run r = Cli(QStringList{"render", "varavave.ski", "-o", name, "--no-wallpaper"} + options, dir.path());
        return r.status == 0 ? QImage(dir.filePath(name)) : QImage();
    };
    const QImage phone = render("phone.png", {"--phone", "--time", "10:10"});
    const QImage editor = render("editor.png", {"--time", "10:10"});
    QVERIFY(!phone.isNull() && !editor.isNull());
    QVERIFY(render("later.png", {"--phone", "--time", "11:11"}) != phone);
    QCOMPARE(Cli({"export", "varavave.ski"}, dir.path()).status, 0);
    QCOMPARE(render("exported.png", {"--phone", "--time", "10:10"}), phone);
    // The editor shows the image folder: the soft keys only once exported.
    QVERIFY(Pixel(editor, 40, 210) != Pixel(phone, 40, 210));
    QCOMPARE(Pixel(render("shown.png", {"--time", "10:10"}), 40, 210), Pixel(phone, 40, 210));
}

QTEST_MAIN(CommandLine)
#include "test_cli.moc"
