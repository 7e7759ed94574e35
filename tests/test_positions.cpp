// Moving the layout elements, through the editor's action table: the field
// write-back and the renders its cascade runs, the key filter on typed and
// pasted text, the move buttons, dragging on the preview and the rectangle
// view.
#include "editor/actions.h"
#include "editor/elements.h"
#include "editor/positions.h"
#include "editor/preview.h"
#include "render/scene.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velluno;
using namespace velluno::test;

namespace {

// All twelve elements, as "1 <number> X1 Y1 X2 Y2" records. The upper smart
// key and its pressed form share one rectangle, as in the sample.
const QByteArray kTwelve =
    "1 570 10 20 100 40\n"
    "1 571 10 50 100 70\n"
    "1 562 78 146 97 158\n"
    "1 566 78 146 97 158\n"
    "1 563 78 182 97 194\n"
    "1 567 78 182 97 194\n"
    "1 564 56 164 75 176\n"
    "1 568 56 164 75 176\n"
    "1 565 100 164 119 176\n"
    "1 569 100 164 119 176\n"
    "1 574 100 100 150 120\n"
    "1 6 50 100 90 140\n";

QByteArray SkinWith(const QByteArray& rectangles)
{
    return "SKI1 test\n"
           "0 41 98\n"
           "4 200 200 200 0\n"
           "0 10 layout\n" +
           rectangles +
           "0 20 colours\n"
           "4 595 255 0 0 7\n"
           "4 579 0 0 255 0\n";
}

// A session with a skin of the given rectangles opened through LOAD.
struct Opened {
    QTemporaryDir dir;
    Session s;
    Editor& e = s.editor;

    explicit Opened(const QByteArray& rectangles = kTwelve) { open(rectangles); }
    void open(const QByteArray& rectangles)
    {
        const QString path = dir.filePath(QStringLiteral("varavave.ski"));
        WriteFile(path, SkinWith(rectangles));
        s.open(path);
    }

    const Row& row(const char* key) const
    {
        const int r = e.doc.L_Dim.findKey(QLatin1String(key));
        if (r == 0)
            qFatal("no row %s", key);
        return e.doc.L_Dim.row(r);
    }
    // Cells X1 .. Altezza.
    QStringList cells(const char* key) const
    {
        QStringList c;
        for (int n = ColX1; n <= ColHeight; ++n)
            c << row(key).cell(n);
        return c;
    }
    bool marked(const char* key) const { return row(key).bold && row(key).colour == kBlue; }
    QStringList fields(int k) const
    {
        QStringList f;
        for (int i = 0; i < 4; ++i)
            f << e.txt[kLayoutElements[k].firstTxt + i].text;
        return f;
    }

    ActionResult type(int index, const QString& keys, int from = -1, int length = 0)
    {
        UserAction a = UserAction::of(UserAction::Kind::Type, QStringLiteral("txt"), index);
        for (const QChar c : keys)
            a.keys.append(c.unicode());
        a.from = from;
        a.length = length;
        return Perform(e, a);
    }
    ActionResult typeKeys(const QString& field, int index, const QVector<int>& keys)
    {
        UserAction a = UserAction::of(UserAction::Kind::Type, field, index);
        a.keys = keys;
        return Perform(e, a);
    }
    ActionResult paste(const QString& field, int index, const QString& text)
    {
        UserAction a = UserAction::of(UserAction::Kind::Paste, field, index);
        a.text = text;
        return Perform(e, a);
    }
    ActionResult click(const char* name, int index = 0)
    {
        return Perform(e, UserAction::click(QLatin1String(name), index));
    }
    ActionResult drag(int x1, int y1, int x2, int y2)
    {
        UserAction a = UserAction::of(UserAction::Kind::Drag);
        a.x1 = x1;
        a.y1 = y1;
        a.x2 = x2;
        a.y2 = y2;
        return Perform(e, a);
    }
    void setStep(const QString& step) { paste(QStringLiteral("txtOffSet"), 0, step); }
};

QStringList L(std::initializer_list<const char*> texts)
{
    QStringList l;
    for (const char* t : texts)
        l << QString::fromUtf8(t);
    return l;
}

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kWhite = 0xFFFFFF, kBlackRgb = 0x000000, kBlueRgb = 0x0000FF;

}  // namespace

class Positions : public QObject {
    Q_OBJECT
private slots:
    void typedDigitWritesTheGroupBack();
    void cascadesEndOnPlainNumbers();
    void nothingIsWrittenWhileFillingOrUnbound();
    void keyFilterOnTypedSentAndPastedKeys();
    void moveButtonsShiftTickedElements();
    void moveStepAndTextForms();
    void ticksSurviveAnotherSkin();
    void dragMovesAsTheButtonsDo();
    void dragFindsTheTopmostOutline();
    void rectangleView();
    void badCellsAndFarCoordinates();
    void scriptDrag();
};

void Positions::typedDigitWritesTheGroupBack()
{
    Opened o;
    QCOMPARE(o.cells("0570"), L({"10", "20", "100", "40", "90", "20"}));
    QVERIFY(!o.marked("0570"));

    // 5 behind the 2 of Y1: all four fields go into the row, one render.
    const int renders = o.e.renders;
    QCOMPARE(o.type(1, QStringLiteral("5")).caret, 3);
    QCOMPARE(o.e.renders, renders + 1);
    QCOMPARE(o.cells("0570"), L({"10", "205", "100", "40", "-", "-"}));
    QVERIFY(o.marked("0570"));
    QCOMPARE(o.e.txt[1].text, QStringLiteral("205"));
    // The preview follows the row; no other row is touched.
    QCOMPARE(o.e.canvas.lblOperatore.y, 210);
    QVERIFY(!o.marked("0571") && !o.marked("0006"));
    QCOMPARE(o.cells("0571"), L({"10", "50", "100", "70", "90", "20"}));

    // Whichever field of a group changes, the whole group is written: X2 of
    // the clock face, with its other fields as they stand.
    o.type(16, QStringLiteral("\b"));
    QCOMPARE(o.cells("0006").mid(0, 4), L({"50", "100", "9", "140"}));
    // The hands stand in the face's box as the fields give it.
    QVERIFY(o.marked("0006"));

    // A field set to the text it holds runs nothing.
    const int before = o.e.renders;
    o.paste(QStringLiteral("txt"), 7, QStringLiteral("50"));
    o.e.setText(Txt(8), QStringLiteral("100"));
    QCOMPARE(o.e.renders, before);
    QVERIFY(!o.marked("0571"));
}

void Positions::cascadesEndOnPlainNumbers()
{
    Opened o;
    // Emptying X2 of the clock face: the empty text goes into the row, the
    // render shows 0 in the field, which is written back in turn: two renders.
    int renders = o.e.renders;
    o.type(16, QStringLiteral("\b\b"));
    QCOMPARE(o.e.renders, renders + 2 + 1);  // the first Backspace leaves "9"
    QCOMPARE(o.e.txt[16].text, QStringLiteral("0"));
    QCOMPARE(o.row("0006").cell(ColX2), QStringLiteral("0"));

    // 5 behind that 0: "05" is written back, the render turns field and cell
    // into 5.
    renders = o.e.renders;
    o.type(16, QStringLiteral("5"));
    QCOMPARE(o.e.renders, renders + 2);
    QCOMPARE(o.e.txt[16].text, QStringLiteral("5"));
    QCOMPARE(o.row("0006").cell(ColX2), QStringLiteral("5"));

    // A render that finds two cells of an element changed reads all four
    // before it sets a field: the first field's write-back copies the old
    // second value into the row, and the second field's puts the new one
    // back. The render and one nested render per changed field.
    Row& face = const_cast<Row&>(o.row("0006"));
    face.setCell(ColY1, QStringLiteral("101"));
    face.setCell(ColY2, QStringLiteral("0141"));
    renders = o.e.renders;
    UpdateDesktop(o.e);
    QCOMPARE(o.e.renders, renders + 3);
    QCOMPARE(o.cells("0006").mid(0, 4), L({"50", "101", "5", "141"}));
    QCOMPARE(o.fields(kElementAnalogueClock), L({"50", "101", "5", "141"}));
    // The render puts its own outlines on the canvas, once each, whatever
    // rendered from within it.
    QCOMPARE(o.e.canvas.outlines.size(), 12);
    QCOMPARE(o.e.canvas.outlines.first().y2, 141);
}

void Positions::nothingIsWrittenWhileFillingOrUnbound()
{
    // Opening fills every field under Filling: rows keep their texts ("012"
    // shows as 12) and none is marked.
    Opened o("1 570 012 20 100 40\n1 6 50 100 90 140\n");
    QCOMPARE(o.e.txt[0].text, QStringLiteral("12"));
    QCOMPARE(o.row("0570").cell(ColX1), QStringLiteral("012"));
    QVERIFY(!o.marked("0570"));

    // The date row is missing: its fields stay empty and disabled, and a
    // change set by the program writes nothing and renders nothing.
    for (int i = 6; i <= 9; ++i)
        QVERIFY(!o.e.txt[i].enabled && o.e.txt[i].text.isEmpty());
    QVERIFY(!o.e.optPos[kElementDate].enabled);
    const int renders = o.e.renders;
    o.e.setText(Txt(7), QStringLiteral("33"));
    QCOMPARE(o.e.renders, renders);
    QCOMPARE(o.e.doc.L_Dim.count(), 2);
    // A disabled field takes no keys at all.
    o.type(8, QStringLiteral("4"));
    QCOMPARE(o.e.txt[8].text, QString());

    // While Filling is set a change marks nothing.
    o.e.Filling = true;
    o.e.setText(Txt(14), QStringLiteral("7"));
    o.e.Filling = false;
    QCOMPARE(o.e.renders, renders);
    QCOMPARE(o.row("0006").cell(ColX1), QStringLiteral("50"));
    QVERIFY(!o.marked("0006"));

    // The first change after the opening writes the whole group as the
    // fields show it: the "012" the user never touched becomes 12.
    o.type(1, QStringLiteral("5"));
    QCOMPARE(o.cells("0570"), L({"12", "205", "100", "40", "-", "-"}));
}

void Positions::keyFilterOnTypedSentAndPastedKeys()
{
    // The filter alone: the ten digits and Backspace, nothing else.
    const Field any;
    QString passed;
    for (int key = -1; key <= 0x2FF; ++key)
        if (OnlyNumberKeyPress(any, key) != 0)
            passed += key == 8 ? QStringLiteral("<BS>") : QString(QChar(key));
    QCOMPARE(passed, QStringLiteral("<BS>0123456789"));
    QCOMPARE(OnlyNumberKeyPress(any, '7'), int('7'));

    Opened o;
    const int renders = o.e.renders;
    // Letters, a minus sign, a blank, control characters other than
    // Backspace, typed or sent as key codes: nothing is inserted.
    o.type(0, QStringLiteral("a- \t"));
    o.typeKeys(QStringLiteral("txt"), 0, {13, 27, 0, 127, 0x2212, 0x10000});
    QCOMPARE(o.e.txt[0].text, QStringLiteral("10"));
    QCOMPARE(o.e.renders, renders);
    QVERIFY(!o.marked("0570"));

    // Three characters at most: the fourth digit is refused.
    o.type(0, QStringLiteral("79"));
    QCOMPARE(o.e.txt[0].text, QStringLiteral("107"));
    QCOMPARE(o.row("0570").cell(ColX1), QStringLiteral("107"));

    // Pasted text meets the same filter and the limit.
    o.paste(QStringLiteral("txt"), 2, QStringLiteral("-1 2x3\t4"));
    QCOMPARE(o.e.txt[2].text, QStringLiteral("123"));
    QCOMPARE(o.row("0570").cell(ColX2), QStringLiteral("123"));
    // A paste with no digit in it changes nothing, not even the selection.
    const int before = o.e.renders;
    o.paste(QStringLiteral("txt"), 2, QStringLiteral("abc"));
    QCOMPARE(o.e.txt[2].text, QStringLiteral("123"));
    QCOMPARE(o.e.renders, before);
    // The step field holds one character.
    o.paste(QStringLiteral("txtOffSet"), 0, QStringLiteral("x45"));
    QCOMPARE(o.e.txtOffSet.text, QStringLiteral("4"));
    o.typeKeys(QStringLiteral("txtOffSet"), 0, {'7'});
    QCOMPARE(o.e.txtOffSet.text, QStringLiteral("4"));
}

void Positions::moveButtonsShiftTickedElements()
{
    Opened o;
    // Nothing ticked: nothing changes and nothing is rendered.
    int renders = o.e.renders;
    QCOMPARE(o.click("cmdMoveRight").outcome, ActionResult::Outcome::Done);
    QCOMPARE(o.e.renders, renders);
    for (const LayoutElement& el : kLayoutElements)
        QVERIFY(!o.marked(el.key));

    // Operator text and clock face, step 2, right: X1 and X2 plus 2. Each
    // moved element is rendered by the move, and twice more by the
    // write-back of its two changed fields.
    o.click("optPos", kElementOperator);
    o.click("optPos", kElementAnalogueClock);
    renders = o.e.renders;
    o.click("cmdMoveRight");
    QCOMPARE(o.e.renders, renders + 2 * 3);
    QCOMPARE(o.cells("0570"), L({"12", "20", "102", "40", "-", "-"}));
    QCOMPARE(o.cells("0006"), L({"52", "100", "92", "140", "-", "-"}));
    QVERIFY(o.marked("0570") && o.marked("0006"));
    QVERIFY(!o.marked("0571"));
    QCOMPARE(o.fields(kElementOperator), L({"12", "20", "102", "40"}));
    QCOMPARE(QPoint(o.e.canvas.PicTime.x, o.e.canvas.PicTime.y), QPoint(52, 100));
    QCOMPARE(o.e.canvas.lblOperatore.x, 17);
    QVERIFY(o.e.cmdMoveRight.enabled);

    // Up then down by the same step: the same coordinates, still marked.
    o.click("cmdMoveUp");
    QCOMPARE(o.cells("0570").mid(0, 4), L({"12", "18", "102", "38"}));
    o.click("cmdMoveDown");
    QCOMPARE(o.cells("0570"), L({"12", "20", "102", "40", "-", "-"}));
    QVERIFY(o.marked("0570"));
    QVERIFY(o.e.cmdMoveUp.enabled && o.e.cmdMoveDown.enabled);

    // All twelve ticked: three renders each, in index order.
    for (int k = 0; k < kElementCount; ++k)
        if (!o.e.optPos[k].checked)
            o.click("optPos", k);
    renders = o.e.renders;
    o.click("cmdMoveLeft");
    QCOMPARE(o.e.renders, renders + 12 * 3);
    QCOMPARE(o.cells("0562").mid(0, 4), L({"76", "146", "95", "158"}));
    QCOMPARE(o.cells("0566").mid(0, 4), L({"76", "146", "95", "158"}));
    QCOMPARE(o.cells("0570").mid(0, 4), L({"10", "20", "100", "40"}));
    for (const LayoutElement& el : kLayoutElements)
        QVERIFY(o.marked(el.key));
    QCOMPARE(o.e.canvas.outlines.size(), 12);

    // A disabled button takes no click.
    o.e.cmdMoveLeft.enabled = false;
    renders = o.e.renders;
    QCOMPARE(o.click("cmdMoveLeft").outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(o.e.renders, renders);
}

void Positions::moveStepAndTextForms()
{
    Opened o("1 570 1 20 007 40.5\n1 6 50 100 90 140\n");
    o.click("optPos", kElementOperator);

    // X1 of 1, step 3, left: -2, written with its minus sign.
    o.setStep(QStringLiteral("3"));
    o.click("cmdMoveLeft");
    QCOMPARE(o.cells("0570").mid(0, 4), L({"-2", "20", "4", "40.5"}));
    QCOMPARE(o.e.txt[0].text, QStringLiteral("-2"));

    // A step emptied by Backspace reads 0: the element is still marked and
    // rendered once, and the cells of the button's axis are written as
    // plain numbers; no field changes, so the other axis keeps its text.
    o.typeKeys(QStringLiteral("txtOffSet"), 0, {8});
    QCOMPARE(o.e.txtOffSet.text, QString());
    Row& row = const_cast<Row&>(o.row("0570"));
    row.setCell(ColX1, QStringLiteral("-02"));
    row.setCell(ColY1, QStringLiteral("020"));
    int renders = o.e.renders;
    o.click("cmdMoveDown");
    QCOMPARE(o.e.renders, renders + 1);
    QCOMPARE(o.cells("0570").mid(0, 4), L({"-02", "20", "4", "40.5"}));
    row.setCell(ColX1, QStringLiteral("-2"));

    // Far past the edges, step 9: no clamping, and the whole number comes
    // back through the field, longer than anything a user may type.
    o.setStep(QStringLiteral("9"));
    for (int i = 0; i < 15; ++i)
        o.click("cmdMoveLeft");
    QCOMPARE(o.cells("0570").mid(0, 4), L({"-137", "20", "-131", "40.5"}));
    QCOMPARE(o.e.txt[0].text, QStringLiteral("-137"));
    renders = o.e.renders;
    o.click("cmdMoveRight");
    QCOMPARE(o.e.renders, renders + 3);
    QCOMPARE(o.cells("0570").mid(0, 4), L({"-128", "20", "-122", "40.5"}));
    // The preview still draws; what lies off the screen is not seen.
    QCOMPARE(o.e.canvas.lblOperatore.x, -123);
    const QImage shown = RenderScene(o.e.canvas);
    QCOMPARE(shown.size(), QSize(176, 220));
}

void Positions::ticksSurviveAnotherSkin()
{
    Opened o;
    o.click("optPos", kElementOperator);
    o.click("optPos", kElementAnalogueClock);
    // Another skin without the clock face: its box keeps the tick, disabled.
    o.open("1 570 10 20 100 40\n");
    QVERIFY(o.e.optPos[kElementOperator].checked && o.e.optPos[kElementOperator].enabled);
    QVERIFY(o.e.optPos[kElementAnalogueClock].checked);
    QVERIFY(!o.e.optPos[kElementAnalogueClock].enabled);
    // The move shifts what the skin has and skips what it lacks.
    const int renders = o.e.renders;
    o.click("cmdMoveDown");
    QCOMPARE(o.e.renders, renders + 3);
    QCOMPARE(o.cells("0570").mid(0, 4), L({"10", "22", "100", "42"}));
    QCOMPARE(o.e.doc.L_Dim.count(), 1);
}

void Positions::dragMovesAsTheButtonsDo()
{
    // A drag of (+2, 0) inside the operator text's box changes the row
    // exactly as a move of step 2 to the right: cells, marks, fields and
    // the number of renders.
    Opened byButton;
    byButton.click("optPos", kElementOperator);
    int renders = byButton.e.renders;
    byButton.click("cmdMoveRight");
    const int buttonRenders = byButton.e.renders - renders;

    Opened byDrag;
    renders = byDrag.e.renders;
    QCOMPARE(byDrag.drag(30, 25, 32, 25).outcome, ActionResult::Outcome::Done);
    QCOMPARE(byDrag.e.renders - renders, buttonRenders);
    QCOMPARE(byDrag.cells("0570"), byButton.cells("0570"));
    QCOMPARE(byDrag.fields(kElementOperator), byButton.fields(kElementOperator));
    QVERIFY(byDrag.marked("0570"));
    QCOMPARE(RenderScene(byDrag.e.canvas), RenderScene(byButton.e.canvas));

    // Both ways at once: all four cells, and the box is where it was
    // pressed plus the offset, its border included.
    byDrag.drag(12, 20, 2, 27);
    QCOMPARE(byDrag.cells("0570"), L({"2", "27", "92", "47", "-", "-"}));
    QRect box;
    QVERIFY(ElementBox(byDrag.e, kElementOperator, &box));
    QCOMPARE(box, QRect(QPoint(2, 27), QPoint(92, 47)));

    // Off any element, or back where it started: nothing at all.
    renders = byDrag.e.renders;
    QCOMPARE(byDrag.drag(150, 10, 160, 10).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(byDrag.drag(30, 30, 30, 30).outcome, ActionResult::Outcome::Ignored);
    QCOMPARE(byDrag.e.renders, renders);
    QVERIFY(!byDrag.marked("0571"));

    // Far off the screen and back: no clamping, the preview still draws.
    byDrag.drag(2, 27, -1000, 5000);
    QCOMPARE(byDrag.cells("0570").mid(0, 4), L({"-1000", "5000", "-910", "5020"}));
    QCOMPARE(ElementAt(byDrag.e, 2, 27), -1);
    QCOMPARE(RenderScene(byDrag.e.canvas).size(), QSize(176, 220));
    byDrag.drag(-1000, 5000, 10, 20);
    QCOMPARE(byDrag.cells("0570").mid(0, 4), L({"10", "20", "100", "40"}));
}

void Positions::dragFindsTheTopmostOutline()
{
    // The upper smart key and its pressed form share a box: the key is drawn
    // later and lies on top, so it is the one dragged. Corners given right to
    // left keep their border.
    Opened o("1 566 78 146 97 158\n1 562 78 146 97 158\n1 570 100 20 10 40\n1 571 5 35 60 60\n");
    QCOMPARE(ElementAt(o.e, 78, 146), kElementUpperKey);
    QCOMPARE(ElementAt(o.e, 97, 158), kElementUpperKey);
    QCOMPARE(ElementAt(o.e, 98, 158), -1);
    QCOMPARE(ElementAt(o.e, 100, 20), kElementOperator);
    QCOMPARE(ElementAt(o.e, 100, 40), kElementOperator);
    QCOMPARE(ElementAt(o.e, 10, 20), kElementOperator);
    QCOMPARE(ElementAt(o.e, 9, 30), -1);
    // The date's frame lies over the operator's where they overlap.
    QCOMPARE(ElementAt(o.e, 30, 38), kElementDate);
    QCOMPARE(ElementAt(o.e, 30, 34), kElementOperator);

    o.drag(80, 150, 80, 151);
    QCOMPARE(o.cells("0562").mid(0, 4), L({"78", "147", "97", "159"}));
    QCOMPARE(o.cells("0566"), L({"78", "146", "97", "158", "19", "12"}));
    o.drag(100, 20, 101, 20);
    QCOMPARE(o.cells("0570").mid(0, 4), L({"101", "20", "11", "40"}));
}

void Positions::rectangleView()
{
    Opened o("1 570 10 20 30 40\n1 571 50 60 40 45\n1 572 x - abc 5\n1 6 1e300 0 -5 2\n");
    auto rowOf = [&](const char* key) { return o.e.doc.L_Dim.findKey(QLatin1String(key)); };
    auto click = [&](const char* key) {
        return Perform(o.e, UserAction::of(UserAction::Kind::Row, QStringLiteral("L_Dim"), rowOf(key)));
    };
    // A row click draws the row's rectangle, filled blue with a black
    // outline, corners included.
    QVERIFY(o.e.PicOBJ.isEmpty());
    click("0570");
    QCOMPARE(o.e.PicOBJ, QVector<QRect>({QRect(QPoint(10, 20), QPoint(30, 40))}));
    QCOMPARE(o.e.doc.L_Dim.selected(), rowOf("0570"));
    QImage view = RenderRectangles(o.e.PicOBJ);
    QCOMPARE(Pixel(view, 10, 20), kBlackRgb);
    QCOMPARE(Pixel(view, 30, 40), kBlackRgb);
    QCOMPARE(Pixel(view, 20, 30), kBlueRgb);
    QCOMPARE(Pixel(view, 9, 20), kWhite);
    QCOMPARE(Pixel(view, 31, 41), kWhite);

    // Without "Pulitura automatica" the rectangles pile up; corners given the
    // other way round draw the same box.
    click("0571");
    QCOMPARE(o.e.PicOBJ.size(), 2);
    QCOMPARE(o.e.PicOBJ.last(), QRect(QPoint(40, 45), QPoint(50, 60)));
    view = RenderRectangles(o.e.PicOBJ);
    QCOMPARE(Pixel(view, 20, 30), kBlueRgb);
    QCOMPARE(Pixel(view, 50, 60), kBlackRgb);
    QCOMPARE(Pixel(view, 40, 45), kBlackRgb);
    QCOMPARE(Pixel(view, 45, 50), kBlueRgb);
    // The painter takes either order of the corners, both included.
    view = RenderRectangles({QRect(QPoint(50, 60), QPoint(40, 45))});
    QCOMPARE(Pixel(view, 50, 60), kBlackRgb);
    QCOMPARE(Pixel(view, 40, 45), kBlackRgb);
    QCOMPARE(Pixel(view, 51, 60), kWhite);

    // With it, the view is cleared first. Cells that are not numbers draw
    // at 0; a row click changes no cell and renders nothing.
    o.click("chkCls");
    QVERIFY(o.e.chkCls.checked);
    const int renders = o.e.renders;
    click("0572");
    QCOMPARE(o.e.PicOBJ, QVector<QRect>({QRect(QPoint(0, 0), QPoint(0, 5))}));
    QCOMPARE(o.row("0572").cell(ColX1), QStringLiteral("x"));
    QCOMPARE(o.e.renders, renders);
    view = RenderRectangles(o.e.PicOBJ);
    QCOMPARE(Pixel(view, 20, 30), kWhite);
    QCOMPARE(Pixel(view, 0, 5), kBlackRgb);
    // A coordinate far off the view draws what falls on it.
    click("0006");
    QCOMPARE(o.e.PicOBJ.size(), 1);
    view = RenderRectangles(o.e.PicOBJ);
    QCOMPARE(Pixel(view, 0, 0), kBlackRgb);
    QCOMPARE(Pixel(view, 100, 1), kBlueRgb);
    QCOMPARE(Pixel(view, 100, 3), kWhite);
}

void Positions::badCellsAndFarCoordinates()
{
    // Cells that are no numbers read 0; huge ones stay huge without
    // overflowing the preview.
    Opened o("1 570 abc - 1e300 40\n1 6 99999 100 90 140\n");
    QCOMPARE(o.fields(kElementOperator).mid(0, 2), L({"0", "0"}));
    QCOMPARE(o.e.txt[14].text, QStringLiteral("99999"));
    o.click("optPos", kElementOperator);
    o.click("optPos", kElementAnalogueClock);
    o.click("cmdMoveDown");
    QCOMPARE(o.row("0570").cell(ColX1), QStringLiteral("0"));
    QCOMPARE(o.row("0570").cell(ColY1), QStringLiteral("2"));
    QCOMPARE(o.row("0570").cell(ColY2), QStringLiteral("42"));
    QCOMPARE(o.row("0570").cell(ColX2).size(), 301);  // 1e300 in plain digits
    QCOMPARE(o.cells("0006").mid(0, 4), L({"99999", "102", "90", "142"}));
    QCOMPARE(o.e.canvas.outlines.size(), 2);
    QCOMPARE(RenderScene(o.e.canvas).size(), QSize(176, 220));
    // The element under the mouse ignores a box it cannot reach.
    QCOMPARE(ElementAt(o.e, 5, 10), kElementOperator);
}

void Positions::scriptDrag()
{
    // The script runner's drag, in phone pixels: what the window's drag does.
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("varavave.ski")), SkinWith(kTwelve));
    auto run = [&](const QByteArray& script, QByteArray* out) {
        WriteFile(dir.filePath(QStringLiteral("session.txt")), script);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(VELLUNO_BIN_DIR "/velluno-cli"), {QStringLiteral("script"), QStringLiteral("session.txt")});
        if (!p.waitForFinished(60000))
            return -1;
        *out = p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray out;
    QCOMPARE(run("answer-file varavave.ski\n"
                 "toolbar LOAD\n"
                 "dump\n"
                 "drag 30 25 33 23\n"
                 "drag 150 10 160 20\n"
                 "row L_Dim 1\n"
                 "dump\n",
                 &out),
             0);
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    const QJsonObject before = QJsonDocument::fromJson(lines[0]).object();
    const QJsonObject after = QJsonDocument::fromJson(lines[1]).object();
    const QJsonObject operatorRow = after["L_Dim"].toObject()["rows"].toArray()[0].toObject();
    QCOMPARE(operatorRow["key"].toString(), QStringLiteral("0570"));
    QCOMPARE(operatorRow["cells"].toArray().toVariantList().mid(0, 6),
             QVariantList({"13", "18", "103", "38", "-", "-"}));
    QVERIFY(operatorRow["bold"].toBool());
    QCOMPARE(after["renders"].toInt() - before["renders"].toInt(), 5);
    QCOMPARE(after["PicOBJ"].toArray(), QJsonArray({QJsonArray({13, 18, 103, 38})}));

    // Four whole numbers, nothing else.
    QCOMPARE(run("drag 1 2 3\n", &out), 2);
    QCOMPARE(run("drag 1 2 3 x\n", &out), 2);
}

QTEST_MAIN(Positions)
#include "test_positions.moc"
