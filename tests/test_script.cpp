// Session scripts driven through the built velluno-cli, as a skin author or an
// outside test suite runs them: the grammar, the dialog answers, the events'
// wiring to the handlers, the dump and the PNG.
#include "testsupport.h"
#include "tinygif.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace velluno::test;

namespace {

const QString kCli = QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli");

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
    // The JSON of the last line of standard output (a `dump` without path).
    QJsonObject lastDump() const
    {
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QJsonDocument::fromJson(lines.isEmpty() ? QByteArray() : lines.last()).object();
    }
};

Run RunCli(const QString& dir, const QStringList& args, const QByteArray& input = QByteArray())
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(kCli, args);
    if (!p.waitForStarted(30000))
        qFatal("velluno-cli did not start");
    if (!input.isNull())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        qFatal("velluno-cli did not finish");
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run RunScript(const QString& dir, const QByteArray& script)
{
    WriteFile(dir + QStringLiteral("/session.txt"), script);
    return RunCli(dir, {QStringLiteral("script"), QStringLiteral("session.txt")});
}

// A small skin: background 10 20 30, operator text red, the operator and
// date elements, a digital and an analogue clock, hand lengths and colours,
// and two graphic objects.
const QByteArray kMiniSkin =
    "SKI1 mini\n"
    "0 41 98\n"
    "4 10 20 30 0\n"
    "0 10 layout\n"
    "1 570 10 20 100 40\n"
    "1 571 10 50 100 70\n"
    "1 574 100 100 150 120\n"
    "1 6 50 100 90 140\n"
    "0 20 colours\n"
    "4 595 255 0 0 7\n"
    "4 579 0 0 255 0\n"
    "4 9 0 255 0 0\n"
    "4 12 0 0 0 0\n"
    "2 8 18\n"
    "2 11 12\n"
    "0 30 images\n"
    "5 632 0 10 0\n"
    "5 630 10 10 0\n";

const char* const kOpenMini = "now 2026-03-07 09:05\nanswer-file mini.ski\ntoolbar LOAD\n";

QStringList Keys(const QJsonObject& o)
{
    QStringList k = o.keys();
    k.sort();
    return k;
}

QStringList Sorted(QStringList k)
{
    k.sort();
    return k;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

class TestScript : public QObject {
    Q_OBJECT

private slots:
    void malformedLinesStopBeforeAnythingRuns_data();
    void malformedLinesStopBeforeAnythingRuns();
    void dialogsTakeQueuedAnswers();
    void afterClosingOnlyOutputRuns();
    void dumpOfAnOpenedSkin();
    void typingGoesThroughTheKeyFilter();
    void tabsAndTablesFollowTheWindow();
    void setUpLinesTakeEffectFromTheirLine();
    void failedSaveEndsTheRunWithFailure();
    void wallpaperThroughScripts();
    void pngAndRender();
    void sampleSessionEndToEnd();
};

void TestScript::malformedLinesStopBeforeAnythingRuns_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("unknown command") << QByteArray("jump 3");
    QTest::newRow("open quote") << QByteArray("set txtOffSet \"5");
    QTest::newRow("quote inside word") << QByteArray("set txtOffSet a\"b");
    QTest::newRow("tab out of range") << QByteArray("tab 6");
    QTest::newRow("tab not a number") << QByteArray("tab one");
    QTest::newRow("unknown control") << QByteArray("click cmdFly");
    QTest::newRow("button with index") << QByteArray("click cmdUpdate 1");
    QTest::newRow("optPos past 11") << QByteArray("click optPos 12");
    QTest::newRow("optTime 2") << QByteArray("click optTime 2");
    QTest::newRow("Pic not on the panel") << QByteArray("click Pic 7");
    QTest::newRow("unknown toolbar key") << QByteArray("toolbar PRINT");
    QTest::newRow("unknown table") << QByteArray("row L_Foo 1");
    QTest::newRow("row 0") << QByteArray("row L_Values 0");
    QTest::newRow("txt without index") << QByteArray("type txt 12");
    QTest::newRow("txt index 51") << QByteArray("set txt 51 1");
    QTest::newRow("unknown field") << QByteArray("type txtFoo 1");
    QTest::newRow("bad hex key") << QByteArray("type txtOffSet \\x4g");
    QTest::newRow("bad date") << QByteArray("now 2026-13-01 10:00");
    QTest::newRow("bad colour") << QByteArray("answer-colour 1 2 256");
    QTest::newRow("bad answer") << QByteArray("answer maybe");
    QTest::newRow("unknown list") << QByteArray("select FileFoo 0");
    QTest::newRow("png without path") << QByteArray("png");
}

void TestScript::malformedLinesStopBeforeAnythingRuns()
{
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    // The faulty line comes after a dump: nothing may run, not even the dump.
    const Run r = RunScript(dir.path(), "# a comment\n\n   dump early.json\n" + line + "\n");
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QStringLiteral("line 4")), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("early.json"))));
}

void TestScript::dialogsTakeQueuedAnswers()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);

    // LOAD with no file answer queued: the line is named, status 2.
    Run r = RunScript(dir.path(), "now 2026-03-07 09:05\n\ntoolbar LOAD\ndump\n");
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QStringLiteral("line 3")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());

    // A cancelled file dialog is an answer: nothing opens, the script goes on.
    r = RunScript(dir.path(), "answer-file cancel\ntoolbar LOAD\ndump\n");
    QCOMPARE(r.status, 0);
    QCOMPARE(r.lastDump()["skin"].toObject()["LineCount"].toInt(), 0);

    // Answers are taken first in, first out: the first "no" keeps the
    // window, the "yes" closes it.
    r = RunScript(dir.path(), "answer no\nanswer yes\nwindow-close\ndump\ntoolbar CLOSE\ndump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> dumps = r.out.trimmed().split('\n');
    QCOMPARE(dumps.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(dumps[0]).object();
    const QJsonObject second = QJsonDocument::fromJson(dumps[1]).object();
    QCOMPARE(first["closed"].toBool(), false);
    QCOMPARE(second["closed"].toBool(), true);
    const QJsonArray messages = second["messages"].toArray();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[1].toObject()["text"].toString(),
             QStringLiteral("Confermi l'uscita da Velluno ?"));
    QCOMPARE(messages[1].toObject()["title"].toString(), QStringLiteral("Domanda:"));
    QCOMPARE(messages[1].toObject()["icon"].toString(), QStringLiteral("question"));

    // The closing question with nothing queued.
    r = RunScript(dir.path(), "dump\nwindow-close\n");
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QStringLiteral("line 2")), qPrintable(r.err));

    // The script from standard input.
    r = RunCli(dir.path(), {QStringLiteral("script"), QStringLiteral("-")},
               QByteArray("answer-file mini.ski\ntoolbar LOAD\ndump\n"));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.lastDump()["skin"].toObject()["SkinName"].toString(), QStringLiteral("mini"));

    // A script that cannot be read is a failure, not a rejected line.
    r = RunCli(dir.path(), {QStringLiteral("script"), QStringLiteral("missing.txt")});
    QCOMPARE(r.status, 1);
}

void TestScript::afterClosingOnlyOutputRuns()
{
    QTemporaryDir dir;
    const Run ok = RunScript(dir.path(), "answer yes\ntoolbar CLOSE\ndump state.json\npng shot.png\n");
    QCOMPARE(ok.status, 0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("state.json"))));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("shot.png"))));

    for (const char* event : {"tab 1", "click cmdUpdate", "toolbar LOAD", "window-close",
                              "type txtOffSet 1"}) {
        const Run r = RunScript(dir.path(), QByteArray("answer yes\nwindow-close\n") + event + "\n");
        QVERIFY2(r.status == 2, event);
        QVERIFY2(r.err.contains(QStringLiteral("line 3")), qPrintable(r.err));
    }
}

void TestScript::dumpOfAnOpenedSkin()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);
    const Run r = RunScript(dir.path(), QByteArray(kOpenMini) + "dump\ndump state.json\n");
    QCOMPARE(r.status, 0);
    const QJsonObject d = r.lastDump();

    // The dump to a file is the same document.
    QCOMPARE(QJsonDocument::fromJson(ReadFile(dir.filePath(QStringLiteral("state.json")))).object(),
             d);

    // Every documented key is present.
    QCOMPARE(Keys(d), Sorted({"title", "closed", "tab", "tabsEnabled", "status", "toolbar", "skin",
                              "lines", "tree", "L_Values", "L_RGBA", "L_Dim", "refs", "controls",
                              "canvas", "Pic", "PicOBJ", "messages", "renders"}));
    QCOMPARE(Keys(d["skin"].toObject()),
             Sorted({"SkinDir", "SkinName", "GifDir", "LineCount", "SaveEnabled", "Filling"}));
    QCOMPARE(Keys(d["refs"].toObject()),
             Sorted({"MinuteLengthNode", "HourLengthNode", "BackgroundNode", "OperatorColourRow",
                     "DateColourRow", "MinuteColourRow", "HourColourRow", "ElementRow"}));
    const QJsonObject controls = d["controls"].toObject();
    QCOMPARE(Keys(controls),
             Sorted({"txt", "txtMin", "txtOra", "txtOffSet", "optPos", "optTime", "chkWallPaper",
                     "chkDim", "chkConferma", "chkCls", "PicColor", "PicMin", "PicOre",
                     "PicTxtColor1", "PicTxtColor2", "PicBGColor1", "cmdImport", "cmdDefault",
                     "cmdExportAll", "cmdDefaultAll", "cmdLoadColors", "cmdMoveUp", "cmdMoveDown",
                     "cmdMoveLeft", "cmdMoveRight", "cmdUpdate", "lbl0", "FileDesktop", "lInfo",
                     "WB", "WBImage", "PicPreview"}));
    QCOMPARE(controls["txt"].toArray().size(), 51);
    QCOMPARE(controls["optPos"].toArray().size(), 12);
    QCOMPARE(Keys(controls["FileDesktop"].toObject()),
             Sorted({"files", "selected", "visible", "enabled"}));
    const QJsonObject canvas = d["canvas"].toObject();
    QCOMPARE(Keys(canvas), Sorted({"background", "wallpaper", "outlines", "lblOperatore", "lblData",
                                   "lblOra", "PicTime", "LineMin", "LineOra", "Img"}));
    QCOMPARE(Keys(canvas["lblOra"].toObject()),
             Sorted({"text", "x", "y", "width", "visible", "colour"}));
    QCOMPARE(Keys(canvas["LineMin"].toObject()),
             Sorted({"x1", "y1", "x2", "y2", "colour", "visible"}));
    QCOMPARE(canvas["Img"].toArray().size(), 3);
    QCOMPARE(Keys(d["Pic"].toObject()), Sorted({"630", "631", "632", "633", "634", "635", "652",
                                                "664", "674", "675"}));
    QCOMPARE(Keys(d["L_Values"].toObject()), Sorted({"sort", "selected", "rows"}));

    // Values that come from the skin and the session.
    QCOMPARE(d["title"].toString(), QStringLiteral("Velluno Ver. 1.0 (buid: 020) by Ostrel"));
    const QJsonObject skin = d["skin"].toObject();
    QCOMPARE(skin["LineCount"].toInt(), 18);
    QCOMPARE(skin["SkinName"].toString(), QStringLiteral("mini"));
    QCOMPARE(skin["SaveEnabled"].toBool(), false);
    QCOMPARE(d["lines"].toArray().size(), 18);
    QCOMPARE(d["lines"].toArray()[4].toString(), QStringLiteral("1 570 10 20 100 40"));
    QCOMPARE(d["tree"].toArray().size(), 18);
    QCOMPARE(d["tree"].toArray()[4].toObject()["parent"].toInt(), 4);
    QCOMPARE(d["tree"].toArray()[0].toObject()["parent"].toInt(), 0);

    // The object rows, sorted on their key; no image files: "Non trovata", red.
    const QJsonObject values = d["L_Values"].toObject();
    QCOMPARE(values["sort"].toInt(), 0);
    QCOMPARE(values["selected"].toInt(), 0);
    const QJsonArray rows = values["rows"].toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].toObject()["key"].toString(), QStringLiteral("0630"));
    QCOMPARE(rows[0].toObject()["cells"].toArray()[4].toString(), QStringLiteral("Non trovata"));
    QCOMPARE(rows[0].toObject()["colour"].toInt(), 255);
    QCOMPARE(rows[0].toObject()["icon"].toInt(), 3);
    QCOMPARE(d["L_RGBA"].toObject()["sort"].toInt(), -1);

    // References: node numbers and row keys.
    const QJsonObject refs = d["refs"].toObject();
    QCOMPARE(refs["BackgroundNode"].toInt(), 3);
    QCOMPARE(refs["MinuteLengthNode"].toInt(), 14);
    QCOMPARE(refs["OperatorColourRow"].toString(), QStringLiteral("0595"));
    QCOMPARE(refs["ElementRow"].toArray()[0].toString(), QStringLiteral("0570"));
    QVERIFY(refs["ElementRow"].toArray()[2].isNull());

    // A skin not named varavave opens with the warning, and cannot be saved.
    const QJsonArray messages = d["messages"].toArray();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].toObject()["text"].toString(),
             QStringLiteral("Velluno permette di modificare solo la skin originale del v980!"));
    QCOMPARE(messages[0].toObject()["icon"].toString(), QStringLiteral("exclamation"));
    QCOMPARE(d["toolbar"].toObject()["SAVE"].toBool(), false);

    // Colours in 0x00BBGGRR order, dates from `now`.
    QCOMPARE(canvas["background"].toInt(), 10 + 256 * 20 + 65536 * 30);
    QCOMPARE(canvas["lblOperatore"].toObject()["colour"].toInt(), 255);
    QCOMPARE(canvas["lblData"].toObject()["text"].toString(), QStringLiteral("7/3/2026"));
    QCOMPARE(canvas["lblOra"].toObject()["text"].toString(), QStringLiteral("09:05"));
    QVERIFY(canvas["wallpaper"].isNull());  // the folder holds no picture
    QVERIFY(d["renders"].toInt() >= 1);
}

void TestScript::typingGoesThroughTheKeyFilter()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);
    const Run r = RunScript(dir.path(), QByteArray(kOpenMini) +
                                            // max length 1: a second digit is refused
                                            "type txtOffSet 7\n"
                                            "dump\n"
                                            // Backspace, then a digit, then a letter
                                            "type txtOffSet \\b5x\n"
                                            "dump\n"
                                            // \xNN keys inside quotes; a blank is no digit
                                            "type txt 4 \"\\b\\x31 \\x32x3\"\n"
                                            "dump\n"
                                            // set: the key filter, then cut to the maximum length
                                            "set txt 5 \"a \\\"b1 2-3x4\"\n"
                                            "dump\n"
                                            // the empty text
                                            "set txt 5 \"\"\n"
                                            "dump\n"
                                            // a disabled field takes nothing
                                            "type txt 50 12\n"
                                            "set txt 50 12\n"
                                            "dump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 6);
    auto control = [&](int dump, const char* name, int index = -1) {
        const QJsonObject c = QJsonDocument::fromJson(lines[dump]).object()["controls"].toObject();
        return index < 0 ? c[name].toObject() : c[name].toArray()[index].toObject();
    };
    QCOMPARE(control(0, "txtOffSet")["text"].toString(), QStringLiteral("2"));
    QCOMPARE(control(1, "txtOffSet")["text"].toString(), QStringLiteral("5"));
    // txt(4) shows the transparency 7 of the operator colour row.
    QCOMPARE(control(2, "txt", 4)["text"].toString(), QStringLiteral("123"));
    QCOMPARE(control(3, "txt", 5)["text"].toString(), QStringLiteral("123"));
    QCOMPARE(control(4, "txt", 5)["text"].toString(), QString());
    QCOMPARE(control(5, "txt", 50)["enabled"].toBool(), false);
    QCOMPARE(control(5, "txt", 50)["text"].toString(), QString());
}

void TestScript::tabsAndTablesFollowTheWindow()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);
    const Run r = RunScript(dir.path(), QByteArray(kOpenMini) +
                                            "tab 1\n"
                                            "dump\n"
                                            "tab 2\n"
                                            // LOAD is greyed on this tab: no dialog opens
                                            "toolbar LOAD\n"
                                            "dump\n"
                                            "row L_Values 2\n"
                                            "header L_Values 4\n"  // Offset: 0632 (offset 0) now comes first

                                            "row L_Dim 3\n"
                                            "click optPos 0\n"
                                            "click optPos 5\n"  // disabled: no element 0567
                                            "click Pic 652\n"   // disabled picture
                                            "node 2\n"
                                            "tab 4\n"
                                            "dump\n"
                                            "click optTime 1\n"
                                            "click cmdUpdate\n"
                                            "dump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    const QJsonObject onObjects = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(onObjects["status"].toString(), QStringLiteral("N° oggetti definiti in elenco: 2"));
    QCOMPARE(onObjects["toolbar"].toObject()["LOAD"].toBool(), false);
    const QJsonObject onColours = QJsonDocument::fromJson(lines[1]).object();
    QCOMPARE(onColours["status"].toString(), QStringLiteral("N° colori definiti in elenco: 5"));
    QCOMPARE(onColours["tab"].toInt(), 2);
    QCOMPARE(onColours["messages"].toArray().size(), 1);
    const QJsonObject last = QJsonDocument::fromJson(lines[2]).object();
    QCOMPARE(last["status"].toString(), QString());
    QCOMPARE(last["L_Values"].toObject()["sort"].toInt(), 3);
    // The selection follows its row (0632) to the top.
    QCOMPARE(last["L_Values"].toObject()["selected"].toInt(), 1);
    QCOMPARE(last["L_Dim"].toObject()["selected"].toInt(), 3);
    const QJsonArray optPos = last["controls"].toObject()["optPos"].toArray();
    QCOMPARE(optPos[0].toObject()["checked"].toBool(), true);
    QCOMPARE(optPos[5].toObject()["checked"].toBool(), false);

    // The clock style and "Aggiorna" reach their handlers.
    const QJsonObject analogue = QJsonDocument::fromJson(lines[3]).object();
    QCOMPARE(analogue["controls"].toObject()["optTime"].toArray()[1].toObject()["selected"].toBool(),
             true);
    QCOMPARE(analogue["canvas"].toObject()["LineMin"].toObject()["visible"].toBool(), true);
    QCOMPARE(analogue["canvas"].toObject()["lblOra"].toObject()["visible"].toBool(), false);
    QVERIFY(analogue["renders"].toInt() > last["renders"].toInt());

    // A row, column or node that does not exist is named as an error.
    for (const char* event : {"row L_Values 3", "header L_RGBA 7", "node 19"}) {
        const Run bad = RunScript(dir.path(), QByteArray(kOpenMini) + event + "\n");
        QVERIFY2(bad.status == 2, event);
        QVERIFY2(bad.err.contains(QStringLiteral("line 4")), qPrintable(bad.err));
    }

    // Before any opening every tab is disabled: `tab` does nothing.
    const Run closed = RunScript(dir.path(), "tab 3\ndump\n");
    QCOMPARE(closed.status, 0);
    QCOMPARE(closed.lastDump()["tab"].toInt(), 0);
    QCOMPARE(closed.lastDump()["status"].toString(), QStringLiteral("Aprire un file Skin (*.ski)..."));
}

void TestScript::setUpLinesTakeEffectFromTheirLine()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);
    const Run r = RunScript(dir.path(), "now 2026-03-07 09:05\n"
                                        "default-dir mydefaults\n"
                                        "dump\n"
                                        "now 2027-12-31 23:59\n"
                                        "dump\n"
                                        "copy mini.ski \"other name.ski\"\n"
                                        "answer-file \"other name.ski\"\n"
                                        "toolbar LOAD\n"
                                        "delete mini.ski\n"
                                        "dump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    auto date = [&](int i) {
        return QJsonDocument::fromJson(lines[i])
            .object()["canvas"]
            .toObject()["lblData"]
            .toObject()["text"]
            .toString();
    };
    // `now` before the start applies to the start; afterwards only to the
    // next reset, the opening.
    QCOMPARE(date(0), QStringLiteral("7/3/2026"));
    QCOMPARE(date(1), QStringLiteral("7/3/2026"));
    QCOMPARE(date(2), QStringLiteral("31/12/2027"));
    QCOMPARE(QJsonDocument::fromJson(lines[2]).object()["skin"].toObject()["SkinName"].toString(),
             QStringLiteral("other name"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("mini.ski"))));

    // File operations that fail are failures (1), naming the line.
    const Run bad = RunScript(dir.path(), "dump\ndelete nothing-here.txt\n");
    QCOMPARE(bad.status, 1);
    QVERIFY2(bad.err.contains(QStringLiteral("line 2")), qPrintable(bad.err));
}

void TestScript::failedSaveEndsTheRunWithFailure()
{
    // The backup's name is taken by a folder: the SAVE writes nothing and
    // shows its error; the session goes on to its end, which reports 1.
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("varavave.ski")), kMiniSkin);
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("varavave_old.ski"))));
    const Run r = RunScript(dir.path(), "answer-file varavave.ski\n"
                                        "toolbar LOAD\n"
                                        "toolbar SAVE\n"
                                        "dump\n");
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(QStringLiteral("line 3")) && r.err.contains(QStringLiteral("varavave_old.ski")),
             qPrintable(r.err));
    const QJsonArray messages = r.lastDump()["messages"].toArray();
    QVERIFY(!messages.isEmpty());
    QCOMPARE(messages.last().toObject()["title"].toString(), QStringLiteral("Errore:"));
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("varavave.ski"))), kMiniSkin);

    // Once the way is clear the same session saves, and ends with 0.
    QVERIFY(QDir().rmdir(dir.filePath(QStringLiteral("varavave_old.ski"))));
    const Run ok = RunScript(dir.path(), "answer-file varavave.ski\ntoolbar LOAD\ntoolbar SAVE\n");
    QCOMPARE(ok.status, 0);
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("varavave_old.ski"))), kMiniSkin);
}

void TestScript::wallpaperThroughScripts()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);
    const QVector<QRgb> palette{qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(9, 9, 9)};
    WriteFile(dir.filePath(QStringLiteral("a.gif")), TinyGif(4, 4, palette, QVector<int>(16, 0)));
    WriteFile(dir.filePath(QStringLiteral("b.gif")), TinyGif(4, 4, palette, QVector<int>(16, 2)));
    const QByteArray open = "answer-file \"" + dir.filePath(QStringLiteral("mini.ski")).toUtf8() +
                            "\"\ntoolbar LOAD\n";
    const Run r = RunScript(dir.path(), open +
                                            "dump\n"
                                            "select FileDesktop 1\n"
                                            "dump\n"
                                            "click chkWallPaper\n"
                                            "select FileDesktop 0\n"  // disabled list
                                            "dump\n"
                                            "click chkWallPaper\n"
                                            "dump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    auto state = [&](int i) { return QJsonDocument::fromJson(lines[i]).object(); };
    // A value, not a reference into the temporary objects.
    auto wallpaper = [&](int i) -> QJsonValue { return state(i)["canvas"].toObject()["wallpaper"]; };
    auto list = [&](int i) { return state(i)["controls"].toObject()["FileDesktop"].toObject(); };

    QCOMPARE(list(0)["files"].toArray().size(), 2);
    const QString first = list(0)["files"].toArray()[0].toString();
    const QString second = list(0)["files"].toArray()[1].toString();
    QCOMPARE(list(0)["selected"].toInt(), 0);
    QCOMPARE(wallpaper(0).toString(), dir.path() + QLatin1Char('/') + first);
    QCOMPARE(wallpaper(1).toString(), dir.path() + QLatin1Char('/') + second);
    QVERIFY(wallpaper(2).isNull());
    QCOMPARE(list(2)["enabled"].toBool(), false);
    QCOMPARE(list(2)["selected"].toInt(), -1);
    QCOMPARE(state(2)["controls"].toObject()["chkWallPaper"].toObject()["checked"].toBool(), false);
    // Checking again starts from the first file.
    QCOMPARE(wallpaper(3).toString(), dir.path() + QLatin1Char('/') + first);
    QVERIFY(state(3)["renders"].toInt() > state(2)["renders"].toInt());
}

void TestScript::pngAndRender()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("mini.ski")), kMiniSkin);

    // The script's picture: 176 x 220, background colour where nothing lies,
    // the black outline of the operator element at its corner.
    Run r = RunScript(dir.path(), QByteArray(kOpenMini) + "png shot.png\n");
    QCOMPARE(r.status, 0);
    const QImage shot(dir.filePath(QStringLiteral("shot.png")));
    QCOMPARE(shot.size(), QSize(176, 220));
    QCOMPARE(Pixel(shot, 2, 2), qRgb(10, 20, 30) & 0xFFFFFF);
    QCOMPARE(Pixel(shot, 10, 30), 0u);

    // The same preview through render, scaled by whole pixels.
    r = RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("mini.ski"), QStringLiteral("-o"),
                            QStringLiteral("big.png"), QStringLiteral("--scale"), QStringLiteral("3")});
    QCOMPARE(r.status, 1);  // drawn, but no image of the skin is extracted
    const QImage big(dir.filePath(QStringLiteral("big.png")));
    QCOMPARE(big.size(), QSize(528, 660));
    // (render reads the real clock: the date and time rows are left out)
    for (int y = 0; y < 220; y += 7) {
        if ((y >= 48 && y <= 78) || (y >= 98 && y <= 128))
            continue;
        for (int x = 0; x < 176; x += 5)
            for (int d = 0; d < 3; ++d)
                QCOMPARE(Pixel(big, 3 * x + d, 3 * y + 2 - d), Pixel(shot, x, y));
    }

    // The analogue style shows the hands instead of the time text: the
    // minute hand runs right from the centre (70, 120) of box (50,100)-(90,140).
    r = RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("mini.ski"), QStringLiteral("-o"),
                            QStringLiteral("analogue.png"), QStringLiteral("--analogue")});
    QCOMPARE(r.status, 1);
    const QImage analogue(dir.filePath(QStringLiteral("analogue.png")));
    QCOMPARE(Pixel(analogue, 80, 120), qRgb(0, 255, 0) & 0xFFFFFF);
    QCOMPARE(Pixel(shot, 80, 120), qRgb(10, 20, 30) & 0xFFFFFF);

    // Usage errors are 2, and so is a skin that cannot be opened.
    QCOMPARE(RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("mini.ski")}).status, 2);
    QCOMPARE(RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("mini.ski"),
                                 QStringLiteral("-o"), QStringLiteral("x.png"),
                                 QStringLiteral("--scale"), QStringLiteral("0")})
                 .status,
             2);
    QCOMPARE(RunCli(dir.path(), {QStringLiteral("frobnicate")}).status, 2);
    WriteFile(dir.filePath(QStringLiteral("bad.ski")), "NOPE\n");
    QCOMPARE(RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("bad.ski"),
                                 QStringLiteral("-o"), QStringLiteral("x.png")})
                 .status,
             2);
    QCOMPARE(RunCli(dir.path(), {QStringLiteral("render"), QStringLiteral("none.ski"),
                                 QStringLiteral("-o"), QStringLiteral("x.png")})
                 .status,
             2);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.png"))));
}

void TestScript::sampleSessionEndToEnd()
{
    QTemporaryDir dir;
    CopySample(dir.path());
    const QByteArray skin = dir.filePath(QStringLiteral("varavave.ski")).toUtf8();
    const Run r = RunScript(dir.path(), "now 2026-03-07 09:05\n"
                                        "answer-file \"" + skin + "\"\n"
                                        "toolbar LOAD\n"
                                        "click cmdExportAll\n"
                                        "dump\n"
                                        "toolbar SAVE\n"
                                        "png shot.png\n"
                                        "dump\n");
    QCOMPARE(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    const QJsonObject opened = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(opened["messages"].toArray().size(), 0);
    QCOMPARE(opened["toolbar"].toObject()["SAVE"].toBool(), true);
    QCOMPARE(opened["skin"].toObject()["GifDir"].toString(),
             dir.path() + QStringLiteral("/varavave_Gifs/"));
    for (const QJsonValue& row : opened["L_Values"].toObject()["rows"].toArray()) {
        const QString state = row.toObject()["cells"].toArray()[4].toString();
        QVERIFY2(state == QLatin1String("Estratta") || state == QLatin1String("Da sostituire"),
                 qPrintable(state));
    }
    // The saved session reports the save in a message and keeps a backup.
    const QJsonArray messages = QJsonDocument::fromJson(lines[1]).object()["messages"].toArray();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].toObject()["icon"].toString(), QStringLiteral("information"));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("varavave_old.ski"))));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("shot.png"))).size(), QSize(176, 220));
}

QTEST_GUILESS_MAIN(TestScript)
#include "test_script.moc"
