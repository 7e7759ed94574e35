// Where things are on the phone's screen: the element fields and their key
// filter, the write-back of a field group into its row, the move buttons,
// dragging on the preview, the rectangle view; and the preview itself: the
// elements placed and framed, the colours and hands it reads from the skin,
// the object pictures, the clock style and the wallpaper list.
#include "testsupport.h"
#include "tinygif.h"

#include "render/clock.h"
#include "render/scene.h"

#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

// All twelve elements, as "1 <number> X1 Y1 X2 Y2" records. The upper smart
// key and its pressed form share one rectangle, as in the sample.
const QByteArray kTwelve =
    "1 570 10 20 100 40\n1 571 10 50 100 70\n1 562 78 146 97 158\n1 566 78 146 97 158\n"
    "1 563 78 182 97 194\n1 567 78 182 97 194\n1 564 56 164 75 176\n1 568 56 164 75 176\n"
    "1 565 100 164 119 176\n1 569 100 164 119 176\n1 574 100 100 150 120\n1 6 50 100 90 140\n";

QByteArray SkinWith(const QByteArray& rectangles)
{
    return "SKI1 test\n0 41 98\n4 200 200 200 0\n0 10 layout\n" + rectangles +
           "0 20 colours\n4 595 255 0 0 7\n4 579 0 0 255 0\n";
}

// Cells X1 .. Altezza of an element's row.
QStringList Box(const Session& s, const char* key) { return Cells(s.find("L_Dim", key), kX1, kHeight); }

// The four fields of the element whose first field is `first`.
QStringList Fields(const QJsonObject& dump, int first)
{
    QStringList f;
    for (int i = first; i < first + 4; ++i)
        f << FieldText(dump, "txt", i);
    return f;
}


}  // namespace

class Positions : public QObject {
    Q_OBJECT
private slots:
    void keysAndPastesInAField_data();
    void keysAndPastesInAField();
    void aChangedFieldWritesItsGroupBack();
    void moveButtonsShiftTickedElements();
    void movesAreNeverClamped();
    void dragMovesAsTheButtonsDo();
    void dragTakesTheTopmostOutline();
    void rectangleView();
    void elementsArePlacedFilledAndFramed();
    void coloursAndHandsComeFromTheSkin();
    void handsStandInTheFaceBox_data();
    void handsStandInTheFaceBox();
    void wallpaperListAndSelection();
};

void Positions::keysAndPastesInAField_data()
{
    // txt 4 (a transparency: it keeps its text as typed) and the step field
    // of one character; a paste from -1 replaces the whole text.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caret");
    const QString bs(QChar(8));
    const QString controls = QString(QChar(13)) + QChar(27) + QChar(127) + QChar(0x2212) + "\t -a";
    QTest::newRow("inserted at the caret") << "txt" << "15" << false << 1 << 0 << "3" << "135" << 2;
    QTest::newRow("letters and controls refused") << "txt" << "13" << false << 0 << 0 << controls << "13" << 0;
    QTest::newRow("three characters at most") << "txt" << "135" << false << 0 << 0 << "9" << "135" << 0;
    QTest::newRow("a selection is replaced") << "txt" << "135" << false << 1 << 2 << "8" << "18" << 2;
    QTest::newRow("Backspace before the caret") << "txt" << "18" << false << 1 << 0 << bs << "8" << 0;
    QTest::newRow("Backspace at the start") << "txt" << "8" << false << 0 << 0 << bs << "8" << 0;
    QTest::newRow("Backspace on a selection") << "txt" << "8" << false << 0 << 1 << bs << "" << 0;
    QTest::newRow("positions past the text") << "txt" << "4" << false << 99 << 5 << "2" << "42" << 2;
    QTest::newRow("typed at the end") << "txt" << "10" << false << -1 << 0 << "79" << "107" << 3;
    QTest::newRow("a paste meets the filter") << "txt" << "7" << true << -1 << 0 << "-1 2x3\t4" << "123" << 3;
    QTest::newRow("a paste into the middle") << "txt" << "12" << true << 1 << 0 << "3 4 5" << "132" << 2;
    QTest::newRow("a paste over a selection") << "txt" << "132" << true << 1 << 2 << "45" << "145" << 3;
    QTest::newRow("no digit: refused whole") << "txt" << "123" << true << -1 << 0 << "abc" << "123" << 3;
    QTest::newRow("the empty text empties") << "txtOffSet" << "2" << true << -1 << 0 << "" << "" << 0;
    QTest::newRow("one character of a paste") << "txtOffSet" << "2" << true << -1 << 0 << "x45" << "4" << 1;
    QTest::newRow("the step is one character") << "txtOffSet" << "4" << false << -1 << 0 << "7" << "4" << 1;
}

void Positions::keysAndPastesInAField()
{
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(bool, paste);
    QFETCH(int, from);
    QFETCH(int, length);
    QFETCH(QString, input);
    QFETCH(QString, after);
    QFETCH(int, caret);
    Opened s(SkinWith(kTwelve));
    const int index = field == "txt" ? 4 : 0;
    s.paste(field, index, before);
    QCOMPARE(FieldText(s.dump(), field, field == "txt" ? 4 : -1), before);
    const ActionResult r = paste ? s.paste(field, index, input, from, length) : s.type(field, index, input, from, length);
    QCOMPARE(FieldText(s.dump(), field, field == "txt" ? 4 : -1), after);
    QCOMPARE(r.caret, caret);
}

void Positions::aChangedFieldWritesItsGroupBack()
{
    Opened s(SkinWith("1 570 012 20 100 40\n" + kTwelve.mid(19)));
    // Opening fills every field: rows keep their texts ("012" shows as 12),
    // none is marked.
    QCOMPARE(FieldText(s.dump(), "txt", 0), QStringLiteral("12"));
    QCOMPARE(Box(s, "0570"), QStringList({"012", "20", "100", "40", "88", "20"}));
    QVERIFY(!Marked(s.find("L_Dim", "0570")));
    // 5 behind the 2 of Y1: all four fields go into the row, a render.
    const int renders = s.renders();
    QCOMPARE(s.type("txt", 1, "5").caret, 3);
    QVERIFY(s.renders() > renders);
    QCOMPARE(Box(s, "0570"), QStringList({"12", "205", "100", "40", "-", "-"}));
    QVERIFY(Marked(s.find("L_Dim", "0570")));
    QCOMPARE(Canvas(s.dump(), "lblOperatore")["y"].toInt(), 210);
    QVERIFY(!Marked(s.find("L_Dim", "0571")) && !Marked(s.find("L_Dim", "0006")));
    // Emptying X2 of the clock face: 0 comes back into the field and the row.
    s.type("txt", 16, "\b\b");
    QCOMPARE(Box(s, "0006").mid(0, 4), QStringList({"50", "100", "0", "140"}));
    QCOMPARE(FieldText(s.dump(), "txt", 16), QStringLiteral("0"));
    s.type("txt", 16, "5");
    QCOMPARE(FieldText(s.dump(), "txt", 16) + Box(s, "0006")[kX2 - 1], QStringLiteral("55"));
    // A paste of the text a field holds runs nothing.
    const QJsonObject d = s.dump();
    s.paste("txt", 7, "50");
    QCOMPARE(s.dump(), d);
    // The render puts its own outlines on the canvas, one per element.
    QCOMPARE(d["canvas"].toObject()["outlines"].toArray().size(), 12);

    // The date row is missing: its fields stay empty and disabled, its box
    // too, and a disabled field takes no key.
    Opened lacking(SkinWith("1 570 10 20 100 40\n1 6 50 100 90 140\n"));
    lacking.type("txt", 8, "4");
    QCOMPARE(Fields(lacking.dump(), 6), QStringList({"", "", "", ""}));
    QVERIFY(!ControlState(lacking.dump(), "txt", 8)["enabled"].toBool() && !ControlState(lacking.dump(), "optPos", 1)["enabled"].toBool());
}

void Positions::moveButtonsShiftTickedElements()
{
    Opened s(SkinWith(kTwelve));
    // Nothing ticked: nothing changes, nothing is drawn.
    QJsonObject d = s.dump();
    QCOMPARE(s.click("cmdMoveRight").outcome, ActionResult::Outcome::Done);
    QCOMPARE(s.dump(), d);

    // Operator text and clock face, step 2, right: X1 and X2 plus 2.
    s.click("optPos", 0);
    s.click("optPos", 11);
    s.click("cmdMoveRight");
    d = s.dump();
    QCOMPARE(Box(s, "0570"), QStringList({"12", "20", "102", "40", "-", "-"}));
    QCOMPARE(Box(s, "0006"), QStringList({"52", "100", "92", "140", "-", "-"}));
    QVERIFY(Marked(s.find("L_Dim", "0570")) && Marked(s.find("L_Dim", "0006")) && !Marked(s.find("L_Dim", "0571")));
    QCOMPARE(Fields(d, 0), QStringList({"12", "20", "102", "40"}));
    QCOMPARE(Numbers(Canvas(d, "PicTime"), {"x", "y"}) + Numbers(Canvas(d, "lblOperatore"), {"x"}), QList<int>({52, 100, 17}));
    s.click("cmdMoveUp");
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"12", "18", "102", "38"}));
    QVERIFY(ControlState(s.dump(), "cmdMoveUp")["enabled"].toBool());

    // All twelve ticked, left.
    for (int k = 1; k < 11; ++k)
        s.click("optPos", k);
    s.click("cmdMoveLeft");
    QCOMPARE(Box(s, "0562").mid(0, 4), QStringList({"76", "146", "95", "158"}));
    QCOMPARE(Box(s, "0566").mid(0, 4), QStringList({"76", "146", "95", "158"}));
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"10", "18", "100", "38"}));
    for (const QString& key : Keys(s.dump(), "L_Dim"))
        QVERIFY(Marked(s.find("L_Dim", key)));
    QCOMPARE(s.dump()["canvas"].toObject()["outlines"].toArray().size(), 12);

    // Another skin without the clock face: its box keeps the tick, disabled;
    // a move shifts what the skin has.
    WriteFile(s.skin, SkinWith("1 570 10 20 100 40\n"));
    s.open(s.skin);
    d = s.dump();
    QVERIFY(ControlState(d, "optPos", 0)["checked"].toBool() && ControlState(d, "optPos", 0)["enabled"].toBool());
    QVERIFY(ControlState(d, "optPos", 11)["checked"].toBool() && !ControlState(d, "optPos", 11)["enabled"].toBool());
    s.click("cmdMoveDown");
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"10", "22", "100", "42"}));
}

void Positions::movesAreNeverClamped()
{
    // X1 of 1, step 3, left: -2, written with its minus sign; a cell of the
    // other axis keeps its text.
    Opened s(SkinWith("1 570 1 20 007 40.5\n1 6 50 100 90 140\n"));
    s.click("optPos", 0);
    s.paste("txtOffSet", 0, "3");
    s.click("cmdMoveLeft");
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"-2", "20", "4", "40.5"}));
    QCOMPARE(FieldText(s.dump(), "txt", 0), QStringLiteral("-2"));
    // A step emptied reads 0: the element is marked and drawn, nothing moves.
    s.type("txtOffSet", 0, "\b");
    s.click("cmdMoveDown");
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"-2", "20", "4", "40.5"}));
    // Far past the edge, step 9: the whole number comes back through the
    // field, longer than anything a user may type, and the preview draws.
    s.paste("txtOffSet", 0, "9");
    for (int i = 0; i < 15; ++i)
        s.click("cmdMoveLeft");
    QCOMPARE(Box(s, "0570").mid(0, 4), QStringList({"-137", "20", "-131", "40.5"}));
    QCOMPARE(FieldText(s.dump(), "txt", 0), QStringLiteral("-137"));
    QCOMPARE(Canvas(s.dump(), "lblOperatore")["x"].toInt(), -132);
    QCOMPARE(s.preview().size(), QSize(176, 220));  // it draws what falls on it

    // Cells that are no numbers read 0; huge ones stay huge.
    Opened odd(SkinWith("1 570 abc - 1e300 40\n"));
    QCOMPARE(Fields(odd.dump(), 0).mid(0, 2), QStringList({"0", "0"}));
    odd.click("optPos", 0);
    odd.click("cmdMoveDown");
    const QStringList box = Box(odd, "0570");
    QCOMPARE(QStringList({box[0], box[1], box[3], QString::number(box[2].size())}), QStringList({"0", "2", "42", "301"}));
}

void Positions::dragMovesAsTheButtonsDo()
{
    // A drag of (+2, 0) inside the operator text's box changes the row as a
    // move of step 2 to the right does.
    Opened button(SkinWith(kTwelve));
    button.click("optPos", 0);
    button.click("cmdMoveRight");
    Opened drag(SkinWith(kTwelve));
    QCOMPARE(drag.drag(30, 25, 32, 25).outcome, ActionResult::Outcome::Done);
    QCOMPARE(Box(drag, "0570"), Box(button, "0570"));
    QCOMPARE(Fields(drag.dump(), 0), Fields(button.dump(), 0));
    QVERIFY(Marked(drag.find("L_Dim", "0570")));
    QCOMPARE(drag.preview(), button.preview());
    // Both ways at once: all four cells.
    drag.drag(12, 20, 2, 27);
    QCOMPARE(Box(drag, "0570"), QStringList({"2", "27", "92", "47", "-", "-"}));
    // Off any element, or back where it started: nothing at all.
    const QJsonObject d = drag.dump();
    QCOMPARE(drag.drag(150, 10, 160, 10).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(drag.drag(30, 30, 30, 30).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(drag.dump(), d);
    // Far off the screen and back: no clamping.
    drag.drag(2, 27, -1000, 5000);
    QCOMPARE(Box(drag, "0570").mid(0, 4), QStringList({"-1000", "5000", "-910", "5020"}));
    QCOMPARE(drag.drag(2, 27, 3, 27).outcome, ActionResult::Outcome::Ignored);
    drag.drag(-1000, 5000, 10, 20);
    QCOMPARE(Box(drag, "0570").mid(0, 4), QStringList({"10", "20", "100", "40"}));
}

void Positions::dragTakesTheTopmostOutline()
{
    // Corners given right to left keep their border; the date's frame lies
    // over the operator's where they overlap. The upper smart key and its
    // pressed form share one box: the ticked ones move (a tick elsewhere
    // counts for nothing), with none ticked the first row of the table, and
    // the status bar says which.
    const QByteArray skin = "1 566 78 146 97 158\n1 562 78 146 97 158\n1 570 100 20 10 40\n1 571 5 35 60 60\n";
    const std::pair<QPoint, const char*> points[] = {
        {{78, 146}, "0566"}, {{97, 158}, "0566"}, {{98, 158}, nullptr}, {{100, 20}, "0570"}, {{100, 40}, "0570"},
        {{10, 20}, "0570"},  {{9, 30}, nullptr},  {{30, 38}, "0571"},   {{30, 34}, "0570"}};
    for (const auto& [p, key] : points) {
        Opened s(SkinWith(skin));
        const bool moved = s.drag(p.x(), p.y(), p.x(), p.y() + 1).outcome == ActionResult::Outcome::Done;
        QCOMPARE(moved, key != nullptr);
        for (const QString& row : Keys(s.dump(), "L_Dim"))
            QVERIFY2(Marked(s.find("L_Dim", row)) == (row == QLatin1String(key)), qPrintable(row));
    }
    const struct {
        QList<int> ticked;
        QStringList moved;
        const char* note;
    } shared[] = {
        {{0}, {"0566"}, "spostato Tasto smart Sup. (Premuto), il primo in tabella, non Tasto smart Superiore"},
        {{2}, {"0562"}, "spostato Tasto smart Superiore (spuntato), non Tasto smart Sup. (Premuto)."},
        {{3, 2}, {"0566", "0562"}, "spostati insieme Tasto smart Superiore e Tasto smart Sup. (Premuto)."}};
    for (const auto& [ticked, moved, note] : shared) {
        Opened s(SkinWith(skin));
        for (int k : ticked)
            s.click("optPos", k);
        s.drag(80, 150, 81, 150);
        QVERIFY2(s.status().startsWith("Rettangolo condiviso: ") && s.status().contains(note), qPrintable(s.status()));
        for (const QString row : {"0566", "0562"})
            QCOMPARE(s.cell("L_Dim", row, kX1), QString(moved.contains(row) ? "79" : "78"));
    }
}

void Positions::rectangleView()
{
    Opened s(SkinWith("1 570 10 20 30 40\n1 571 50 60 40 45\n1 572 x - abc 5\n1 6 1e300 0 -5 2\n"));
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), blue = qRgb(0, 0, 255);
    // A row click draws the row's rectangle, filled blue with a black
    // outline, corners included.
    QVERIFY(s.dump()["PicOBJ"].toArray().isEmpty());
    s.rowOf("L_Dim", "0570");
    QCOMPARE(s.dump()["PicOBJ"].toArray(), QJsonArray({QJsonArray({10, 20, 30, 40})}));
    QImage view = s.rectangles();
    QCOMPARE(QList<QRgb>({view.pixel(10, 20), view.pixel(30, 40), view.pixel(20, 30), view.pixel(9, 20), view.pixel(31, 41)}),
             QList<QRgb>({black, black, blue, white, white}));
    // Without "Pulitura automatica" the rectangles pile up; corners given the
    // other way round draw the same box.
    s.rowOf("L_Dim", "0571");
    QCOMPARE(s.dump()["PicOBJ"].toArray().last(), QJsonArray({40, 45, 50, 60}));
    view = s.rectangles();
    QCOMPARE(QList<QRgb>({view.pixel(20, 30), view.pixel(50, 60), view.pixel(40, 45), view.pixel(45, 50)}),
             QList<QRgb>({blue, black, black, blue}));
    // With it, the view is cleared first. Cells that are not numbers draw at
    // 0; a row click changes no cell and draws no preview.
    QVERIFY(s.click("chkCls").ok());
    const int renders = s.renders();
    s.rowOf("L_Dim", "0572");
    QCOMPARE(s.dump()["PicOBJ"].toArray(), QJsonArray({QJsonArray({0, 0, 0, 5})}));
    QCOMPARE(s.cell("L_Dim", "0572", kX1), QStringLiteral("x"));
    QCOMPARE(s.renders(), renders);
    view = s.rectangles();
    QCOMPARE(QList<QRgb>({view.pixel(20, 30), view.pixel(0, 5)}), QList<QRgb>({white, black}));
    // A coordinate far off the view draws what falls on it.
    s.rowOf("L_Dim", "0006");
    view = s.rectangles();
    QCOMPARE(QList<QRgb>({view.pixel(0, 0), view.pixel(100, 1), view.pixel(100, 3)}), QList<QRgb>({black, blue, white}));
    QVERIFY(ControlState(Session().dump(), "chkCls")["enabled"].toBool());  // at hand before any skin
}

void Positions::elementsArePlacedFilledAndFramed()
{
    // Element k gets a box of its own; the field groups of the preview tab,
    // in the order of the check boxes, and the order the outlines are drawn.
    const std::pair<const char*, int> elements[12] = {{"0570", 0},   {"0571", 6},   {"0562", 18}, {"0566", 22},
                                                      {"0563", 26},  {"0567", 30},  {"0564", 34}, {"0568", 38},
                                                      {"0565", 42},  {"0569", 46},  {"0574", 10}, {"0006", 14}};
    QByteArray records;
    for (int k = 0; k < 12; ++k)
        records += QStringLiteral("1 %1 %2 %3 0%4 %5\n").arg(elements[k].first).arg(k + 1).arg(2 * k + 1)
                       .arg(100 + k).arg(150 + k).toLatin1();
    Opened s(SkinWith(records));
    const QJsonObject d = s.dump();
    for (int k = 0; k < 12; ++k) {
        const auto [key, first] = elements[k];
        QCOMPARE(d["refs"].toObject()["ElementRow"].toArray()[k].toString(), QLatin1String(key));
        QVERIFY(ControlState(d, "optPos", k)["enabled"].toBool());
        QCOMPARE(Fields(d, first), QStringList({QString::number(k + 1), QString::number(2 * k + 1),
                                                QString::number(100 + k), QString::number(150 + k)}));
    }
    const QJsonArray outlines = d["canvas"].toObject()["outlines"].toArray();
    QCOMPARE(outlines.size(), 12);
    const int order[12] = {11, 10, 3, 5, 7, 9, 2, 4, 6, 8, 0, 1};
    for (int i = 0; i < 12; ++i)
        QCOMPARE(outlines[i].toArray(), QJsonArray({order[i] + 1, 2 * order[i] + 1, 100 + order[i], 150 + order[i],
                                                    i < 2 ? kRedRow : kBlackRow}));
    // The operator text inset by 5, the time right-aligned, the face at its corner.
    const int w = PreviewTextWidth(Canvas(d, "lblOra")["text"].toString());
    QCOMPARE(Numbers(Canvas(d, "lblOperatore"), {"x", "y", "width"}) + Numbers(Canvas(d, "lblOra"), {"width", "x", "y"}) +
                 Numbers(Canvas(d, "PicTime"), {"x", "y"}),
             QList<int>({6, 6, 158, w, 110 - (w + 5), 26, 12, 23}));
}

void Positions::coloursAndHandsComeFromTheSkin()
{
    // The last length record wins; components clamp and round; rows that
    // are missing bind nothing and leave their swatch as it was.
    Opened s("SKI1\n0 41 98\n4 10 20 300 0\n2 8 5\n2 8  25 \n2 11 42\n2 110\n4 595 255 0 0 128\n"
             "4 0012 0 300 0.6 7\n1 570 10 20 120 40\n1 6 50 100 90 140\n1 574 100 100 150 120\n");
    const QJsonObject d = s.dump();
    const QJsonObject refs = d["refs"].toObject();
    QCOMPARE(Numbers(refs, {"BackgroundNode", "MinuteLengthNode", "HourLengthNode"}), QList<int>({3, 5, 6}));
    QCOMPARE(FieldText(d, "txtMin") + " " + FieldText(d, "txtOra"), QStringLiteral("25 42"));
    QCOMPARE(d["canvas"].toObject()["background"].toInteger(), 10 + 256 * 20 + 65536 * 255);
    QCOMPARE(ControlState(d, "PicBGColor1")["colour"].toInteger(), 10 + 256 * 20 + 65536 * 255);
    QVERIFY(ControlState(d, "PicBGColor1")["enabled"].toBool() && ControlState(d, "lbl0")["enabled"].toBool());
    QCOMPARE(Canvas(d, "lblOperatore")["colour"].toInteger(), kRedRow);
    QCOMPARE(FieldText(d, "txt", 4), QStringLiteral("128"));
    QCOMPARE(refs["OperatorColourRow"].toString(), QStringLiteral("0595"));
    QCOMPARE(Canvas(d, "lblData")["colour"].toInteger(), kBlackRow);  // no "0579"
    QVERIFY(!ControlState(d, "txt", 5)["enabled"].toBool() && refs["MinuteColourRow"].isNull());
    QCOMPARE(ControlState(d, "PicOre")["colour"].toInteger(), 0x00FF00 + 65536);
    QCOMPARE(Canvas(d, "LineOra")["colour"].toInteger(), 0x00FF00 + 65536);  // hands follow the swatches
    QCOMPARE(Numbers(Canvas(d, "LineOra"), {"x2", "y2"}), QList<int>({70, 78}));
    // The render changed no cell; the length's handler rewrote its record
    // with the length it shows.
    QCOMPARE(d["tree"].toArray()[4].toObject()["text"].toString(), QStringLiteral("2 8 25"));
    QCOMPARE(s.cell("L_RGBA", "0595", kR), QStringLiteral("255"));

    // The clock style: the face and the hands, or the time text.
    s.click("optTime", 1);
    QJsonObject a = s.dump();
    QVERIFY(Canvas(a, "PicTime")["visible"].toBool() && !Canvas(a, "lblOra")["visible"].toBool());
    QVERIFY(Canvas(a, "LineMin")["visible"].toBool() && Canvas(a, "LineOra")["visible"].toBool());
    s.click("optTime", 0);
    a = s.dump();
    QVERIFY(!Canvas(a, "PicTime")["visible"].toBool() && Canvas(a, "lblOra")["visible"].toBool());
    QVERIFY(!Canvas(a, "LineMin")["visible"].toBool());
}

void Positions::handsStandInTheFaceBox_data()
{
    QTest::addColumn<QList<double>>("box");    // x1 y1 x2 y2 minute hour
    QTest::addColumn<QList<int>>("hands");     // minute x1 y1 x2 y2, hour x2 y2; empty: not placed
    QTest::newRow("centre") << QList<double>{50, 100, 90, 140, 18, 12} << QList<int>{70, 120, 88, 120, 70, 108};
    QTest::newRow("odd sizes round down") << QList<double>{50, 100, 91, 141, 18, 12} << QList<int>{70, 120, 88, 120, 70, 108};
    QTest::newRow("other width") << QList<double>{40, 100, 75, 141, 18, 12} << QList<int>{57, 120, 75, 120, 57, 108};
    QTest::newRow("corners swapped, negative lengths") << QList<double>{91, 141, 50, 100, -5, -3}
                                                      << QList<int>{70, 120, 65, 120, 70, 123};
    QTest::newRow("on the left edge") << QList<double>{0, 100, 40, 140, 18, 12} << QList<int>{};
    QTest::newRow("on the top edge") << QList<double>{10, 0, 40, 140, 18, 12} << QList<int>{};
    QTest::newRow("right corner on the edge") << QList<double>{10, 10, 0, 140, 18, 12} << QList<int>{};
    QTest::newRow("bottom corner on the edge") << QList<double>{10, 10, 40, 0, 18, 12} << QList<int>{};
}

void Positions::handsStandInTheFaceBox()
{
    QFETCH(QList<double>, box);
    QFETCH(QList<int>, hands);
    const std::optional<Hands> placed = PlaceHands(box[0], box[1], box[2], box[3], box[4], box[5]);
    QCOMPARE(bool(placed), !hands.isEmpty());
    if (placed)
        QCOMPARE(QList<int>({placed->minute.x1, placed->minute.y1, placed->minute.x2, placed->minute.y2,
                             placed->hour.x2, placed->hour.y2}),
                 hands);
    // Absurd numbers stay inside the int range.
    const std::optional<Hands> far = PlaceHands(10, 20, 60, 70, 1e300, 12);
    QVERIFY(far && far->minute.x1 == 35 && far->minute.x2 > 1000);
}

void Positions::wallpaperListAndSelection()
{
    Opened s("SKI1\n0 41 98\n4 0 0 255 0\n1 570 10 20 120 40\n", false);
    WriteFile(s.path("b.gif"), SolidGif(176, 100, qRgb(0, 255, 0)));
    QVERIFY(QImage(50, 60, QImage::Format_RGB32).save(s.path("A.JPG"), "JPEG"));
    for (const char* other : {"c.txt", "d.png", "e.jpeg", "f.gif.1"})
        WriteFile(s.path(other), "not listed");
    QDir(s.dir.path()).mkdir("folder.gif");
    QCOMPARE(s.dump()["canvas"].toObject()["wallpaper"].toString(), QStringLiteral("builtin"));
    QVERIFY(!ControlState(s.dump(), "FileDesktop")["visible"].toBool());
    s.open(s.skin);
    auto list = [&] { return ControlState(s.dump(), "FileDesktop"); };
    auto wallpaper = [&] { return s.dump()["canvas"].toObject()["wallpaper"].toString(); };
    QCOMPARE(list(), QJsonObject({{"files", QJsonArray({"A.JPG", "b.gif"})}, {"selected", 0}, {"visible", true}, {"enabled", true}}));
    QCOMPARE(ControlState(s.dump(), "chkWallPaper"), QJsonObject({{"checked", true}, {"enabled", true}}));
    QCOMPARE(wallpaper(), s.path("A.JPG"));
    QVERIFY(s.perform(UserAction::of(UserAction::Kind::Select, "FileDesktop", 1)).ok());
    QCOMPARE(wallpaper(), s.path("b.gif"));
    QCOMPARE(s.preview().pixel(170, 90), qRgb(0, 255, 0));
    QCOMPARE(s.preview().pixel(170, 110), qRgb(0, 0, 255));  // below it, the background

    // Unticked: no wallpaper at once, the list disabled; ticked again, the first file.
    const int renders = s.renders();
    s.click("chkWallPaper");
    QVERIFY(s.dump()["canvas"].toObject()["wallpaper"].isNull() && s.renders() > renders);
    QVERIFY(list()["selected"].toInt() == -1 && !list()["enabled"].toBool());
    QCOMPARE(s.perform(UserAction::of(UserAction::Kind::Select, "FileDesktop", 1)).outcome,
             ActionResult::Outcome::Ignored);
    s.click("chkWallPaper");
    QCOMPARE(list()["selected"].toInt(), 0);
    QCOMPARE(wallpaper(), s.path("A.JPG"));
    // A listed file that vanished shows no wallpaper rather than a stale
    // one; a file added is listed from the next opening on.
    WriteFile(s.path("0.gif"), SolidGif(4, 4, 0));
    QVERIFY(QFile::remove(s.path("b.gif")));
    s.perform(UserAction::of(UserAction::Kind::Select, "FileDesktop", 1));
    QVERIFY(s.dump()["canvas"].toObject()["wallpaper"].isNull());
    QCOMPARE(s.perform(UserAction::of(UserAction::Kind::Select, "FileDesktop", 2)).outcome, ActionResult::Outcome::Missing);
    s.open(s.skin);
    QCOMPARE(list()["files"].toArray(), QJsonArray({"0.gif", "A.JPG"}));
}

QTEST_MAIN(Positions)
#include "test_positions.moc"
