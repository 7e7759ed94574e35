// Moving elements in the real window under the offscreen platform: a drag
// on the magnified preview, its outline that follows the mouse, Escape, the
// arrow keys on the focused canvas, and the rectangle view's row clicks.
#include "testsupport.h"
#include "windowsupport.h"

#include "editor/elements.h"
#include "render/scene.h"
#include "window/mainwindow.h"
#include "window/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;
using velluno::test::QueuedDialogs;

namespace {




const QColor kBlackColour(0, 0, 0), kBlueColour(0, 0, 255), kWhiteColour(255, 255, 255);

// The sample skin opened in the shown window.
struct Window {
    QTemporaryDir dir;
    QueuedDialogs dialogs;
    frmDesktop window{&dialogs};
    Editor& e = window.editor();
    CanvasView* canvas = nullptr;

    Window()
    {
        ShowAndWait(window);
        OpenSampleCopy(window, dialogs, dir.path());
        canvas = Child<CanvasView>(window, QStringLiteral("PicDesktop"));
    }
    const Row& row(const char* key) const { return e.doc.L_Dim.row(e.doc.L_Dim.findKey(QLatin1String(key))); }
    QStringList cells(const char* key) const
    {
        QStringList c;
        for (int n = ColX1; n <= ColHeight; ++n)
            c << row(key).cell(n);
        return c;
    }
    QImage shown() { return Rgb(canvas->grab().toImage()); }
    // The middle of canvas pixel p on the magnified widget.
    QPoint at(int x, int y) const { return QPoint(x, y) * canvas->zoom() + QPoint(1, 1) * (canvas->zoom() / 2); }
};

}  // namespace

class WindowPositions : public QObject {
    Q_OBJECT
private slots:
    void dragAtZoomTwo();
    void escapeAndEmptyPlacesMoveNothing();
    void arrowKeysAreTheMoveButtons();
    void rectangleViewFromTheTable();
};

void WindowPositions::dragAtZoomTwo()
{
    Window w;
    QCOMPARE(w.canvas->zoom(), 2);
    QCOMPARE(w.cells("0570"), QStringList({"4", "4", "171", "24", "167", "20"}));
    const QImage before = w.shown();
    QCOMPARE(before.pixelColor(w.at(4, 4)), kBlackColour);  // the operator frame's corner

    // Pressed inside the operator text's frame, dragged by (3, 5) phone pixels.
    QTest::mousePress(w.canvas, Qt::LeftButton, {}, w.at(20, 10));
    QVERIFY(w.canvas->dragging());
    QTest::mouseMove(w.canvas, w.at(22, 13));
    QTest::mouseMove(w.canvas, w.at(23, 15));
    // The outline follows by whole pixels, drawn by the view only.
    QCOMPARE(w.canvas->dragOutline(), QRect(QPoint(7, 9), QPoint(174, 29)));
    const QImage dragging = w.shown();
    QCOMPARE(dragging.pixelColor(w.at(7, 9)), kBlueColour);
    QCOMPARE(dragging.pixelColor(w.at(7, 20)), kBlueColour);
    QCOMPARE(dragging.pixelColor(w.at(174, 29)), kBlueColour);
    QCOMPARE(dragging.pixelColor(w.at(4, 4)), kBlackColour);  // the frame is still where it was
    QCOMPARE(w.cells("0570").at(0), QStringLiteral("4"));
    const int renders = w.e.renders;

    QTest::mouseRelease(w.canvas, Qt::LeftButton, {}, w.at(23, 15));
    QVERIFY(!w.canvas->dragging());
    // The row moved as a move of (3, 5) moves it: three fields changed by
    // the render, each written back with one render more.
    QCOMPARE(w.cells("0570"), QStringList({"7", "9", "174", "29", "-", "-"}));
    QVERIFY(w.row("0570").bold);
    QCOMPARE(w.e.renders, renders + 5);
    QCOMPARE(w.e.txt[0].text, QStringLiteral("7"));
    QCOMPARE(Child<FieldEdit>(w.window, QStringLiteral("txt_3"))->text(), QStringLiteral("29"));

    // The window shows the new preview: the frame at its new corner, none at
    // the old one, no drag outline.
    const QImage after = w.shown();
    QCOMPARE(after, Magnified(Rgb(RenderScene(w.e.canvas)), 2));
    QCOMPARE(after.pixelColor(w.at(7, 9)), kBlackColour);
    QCOMPARE(after.pixelColor(w.at(174, 29)), kBlackColour);
    QVERIFY(after.pixelColor(w.at(4, 4)) != kBlackColour);
    QVERIFY(after.pixelColor(w.at(7, 20)) != kBlueColour);

    // At zoom 3 the same pixels are reached through larger blocks.
    w.window.setZoom(3);
    QTest::mousePress(w.canvas, Qt::LeftButton, {}, w.at(20, 15));
    QTest::mouseMove(w.canvas, w.at(15, 12));
    QCOMPARE(w.canvas->dragOutline(), QRect(QPoint(2, 6), QPoint(169, 26)));
    QTest::mouseRelease(w.canvas, Qt::LeftButton, {}, w.at(15, 12));
    QCOMPARE(w.cells("0570").mid(0, 4), QStringList({"2", "6", "169", "26"}));
    QCOMPARE(w.shown(), Magnified(Rgb(RenderScene(w.e.canvas)), 3));
}

void WindowPositions::escapeAndEmptyPlacesMoveNothing()
{
    Window w;
    const int renders = w.e.renders;
    w.canvas->setFocus();
    QTest::mousePress(w.canvas, Qt::LeftButton, {}, w.at(20, 10));
    QTest::mouseMove(w.canvas, w.at(40, 30));
    QTest::keyClick(w.canvas, Qt::Key_Escape);
    QVERIFY(!w.canvas->dragging());
    QTest::mouseRelease(w.canvas, Qt::LeftButton, {}, w.at(40, 30));
    QCOMPARE(w.cells("0570"), QStringList({"4", "4", "171", "24", "167", "20"}));
    QCOMPARE(w.e.renders, renders);
    QCOMPARE(w.shown(), Magnified(Rgb(RenderScene(w.e.canvas)), 2));

    // A press where no frame lies starts nothing; nor does a click on a frame.
    QTest::mousePress(w.canvas, Qt::LeftButton, {}, w.at(2, 100));
    QVERIFY(!w.canvas->dragging());
    QTest::mouseRelease(w.canvas, Qt::LeftButton, {}, w.at(10, 110));
    QTest::mouseClick(w.canvas, Qt::LeftButton, {}, w.at(20, 10));
    QCOMPARE(w.e.renders, renders);
    QVERIFY(!w.row("0570").bold);
}

void WindowPositions::arrowKeysAreTheMoveButtons()
{
    Window w;
    QTest::mouseClick(Child<QCheckBox>(w.window, QStringLiteral("optPos_0")), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>(w.window, QStringLiteral("optPos_11")), Qt::LeftButton);
    QVERIFY(w.e.optPos[0].checked && w.e.optPos[11].checked);
    const QStringList face = w.cells("0006");

    w.canvas->setFocus();
    QVERIFY(w.canvas->hasFocus());
    const int renders = w.e.renders;
    QTest::keyClick(w.canvas, Qt::Key_Right);
    QCOMPARE(w.e.renders, renders + 6);
    QCOMPARE(w.cells("0570").mid(0, 4), QStringList({"6", "4", "173", "24"}));
    QTest::keyClick(w.canvas, Qt::Key_Up);
    QTest::keyClick(w.canvas, Qt::Key_Up);
    QCOMPARE(w.cells("0570").mid(0, 4), QStringList({"6", "0", "173", "20"}));
    QTest::keyClick(w.canvas, Qt::Key_Left);
    QTest::keyClick(w.canvas, Qt::Key_Down);
    QCOMPARE(w.cells("0570").mid(0, 4), QStringList({"4", "2", "171", "22"}));
    QCOMPARE(w.cells("0006").mid(1, 1), QStringList({QString::number(face.at(1).toInt() - 2)}));
    // The buttons are enabled again after each move, and the canvas keeps the focus.
    for (const char* name : {"cmdMoveUp", "cmdMoveDown", "cmdMoveLeft", "cmdMoveRight"})
        QVERIFY(Child<QWidget>(w.window, QLatin1String(name))->isEnabled());
    QVERIFY(w.canvas->hasFocus());
    QCOMPARE(w.shown(), Magnified(Rgb(RenderScene(w.e.canvas)), 2));
}

void WindowPositions::rectangleViewFromTheTable()
{
    Window w;
    Child<QTabWidget>(w.window, QStringLiteral("SSTab1"))->tabBar()->setCurrentIndex(3);
    QTableView* dims = Child<QTableView>(w.window, QStringLiteral("L_Dim"));
    auto* view = Child<CanvasView>(w.window, QStringLiteral("PicOBJ"));
    auto clickRow = [&](const char* key) {
        const int r = w.e.doc.L_Dim.findKey(QLatin1String(key)) - 1;
        dims->scrollTo(dims->model()->index(r, 0));
        QTest::mouseClick(dims->viewport(), Qt::LeftButton, {},
                          dims->visualRect(dims->model()->index(r, 1)).center());
    };
    // Two rows: both rectangles, the later over the earlier.
    clickRow("0570");
    clickRow("0006");
    QCOMPARE(w.e.PicOBJ.size(), 2);
    QImage obj = Rgb(view->grab().toImage());
    QCOMPARE(obj.pixelColor(4, 4), kBlackColour);
    QCOMPARE(obj.pixelColor(100, 10), kBlueColour);
    QCOMPARE(obj.pixelColor(52, 70), kBlackColour);
    QCOMPARE(obj.pixelColor(60, 100), kBlueColour);
    QCOMPARE(obj.pixelColor(150, 150), kWhiteColour);

    // "Pulitura automatica": the next row is drawn on a clean canvas.
    auto* cls = Child<QCheckBox>(w.window, QStringLiteral("chkCls"));
    QTest::mouseClick(cls, Qt::LeftButton);
    QVERIFY(cls->isChecked() && w.e.chkCls.checked);
    clickRow("0562");
    QCOMPARE(w.e.PicOBJ.size(), 1);
    obj = Rgb(view->grab().toImage());
    QCOMPARE(obj.pixelColor(100, 10), kWhiteColour);
    QCOMPARE(obj.pixelColor(78, 146), kBlackColour);
    QCOMPARE(obj.pixelColor(80, 150), kBlueColour);
}

QTEST_MAIN(WindowPositions)
#include "test_window_positions.moc"
