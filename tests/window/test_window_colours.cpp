// The colour controls in the real window under the offscreen platform: a
// colour picked through the dialog reaches the table, the swatches and the
// pixels of the preview canvas; the colour table shows each row's colour;
// the canvas names what lies under the mouse.
#include "testsupport.h"
#include "windowsupport.h"

#include "window/mainwindow.h"
#include "window/widgets.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;
using velluno::test::QueuedDialogs;

namespace {


constexpr quint32 Rgb(int r, int g, int b) { return quint32(r) + 256u * quint32(g) + 65536u * quint32(b); }

struct Window {
    QueuedDialogs dialogs;
    frmDesktop window{&dialogs};
    QTemporaryDir dir;
    Window()
    {
        ShowAndWait(window, false);
        OpenSampleCopy(window, dialogs, dir.path(), LoadBy::Button);
        if (window.editor().doc.L_RGBA.isEmpty())
            qFatal("the sample skin did not open");
    }
    CanvasView* canvas() { return Child<CanvasView>(window, QStringLiteral("PicDesktop")); }
    // The canvas as the screen shows it, one block of zoom x zoom per pixel.
    QImage preview() { return canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRgb pixel(int x, int y)
    {
        const int zoom = window.zoom();
        return preview().pixel(x * zoom + zoom / 2, y * zoom + zoom / 2);
    }
    // How many canvas pixels of `colour` lie in `box` (canvas pixels).
    int count(const QRect& box, QRgb colour)
    {
        const QImage shown = preview();
        const int zoom = window.zoom();
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += shown.pixel(x * zoom, y * zoom) == colour;
        return n;
    }
    void click(const QString& name) { QTest::mouseClick(Child<QWidget>(window, name), Qt::LeftButton); }
};

}  // namespace

class TestWindowColours : public QObject {
    Q_OBJECT
private slots:
    void colourPickedOnTheColourTabReachesTheCanvas();
    void backgroundPickerRecoloursTheScreen();
    void canvasTooltipNamesTheElement();
};

void TestWindowColours::colourPickedOnTheColourTabReachesTheCanvas()
{
    Window w;
    Editor& e = w.window.editor();
    // The operator text "varavave IT" sits at (9, 9) in its 158 x 17 box;
    // the sample draws it white.
    const QRect text(9, 9, 158, 17);
    QCOMPARE(w.count(text, qRgb(255, 0, 0)), 0);
    QVERIFY(w.count(text, qRgb(255, 255, 255)) > 20);

    w.window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(2);
    QTableView* table = Child<QTableView>(w.window, QStringLiteral("L_RGBA"));
    const int row = e.doc.L_RGBA.findKey(QStringLiteral("0595")) - 1;
    const QRect cell = table->visualRect(table->model()->index(row, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(e.doc.L_RGBA.selected(), row + 1);
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicColor"))->colour(), Rgb(255, 255, 255));

    w.dialogs.colours.push_back(Rgb(255, 0, 0));
    w.click(QStringLiteral("PicColor"));
    QCOMPARE(w.dialogs.unanswered, 0);
    QCOMPARE(e.doc.L_RGBA.row(row + 1).cells().mid(0, 3), (QStringList{"255", "0", "0"}));
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicColor"))->colour(), Rgb(255, 0, 0));
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicTxtColor1"))->colour(), Rgb(255, 0, 0));

    // The canvas: the text is red now, no longer white.
    const int red = w.count(text, qRgb(255, 0, 0));
    QVERIFY2(red > 20, qPrintable(QString::number(red)));
    QCOMPARE(w.count(text, qRgb(255, 255, 255)), 0);

    // The row's swatch in the colour table, painted in the last column in
    // its own colour, selected as it is.
    const QModelIndex swatch = table->model()->index(row, table->model()->columnCount() - 1);
    table->scrollTo(swatch);
    const QRect box = table->visualRect(swatch);
    const QImage shown = table->viewport()->grab(box).toImage().convertToFormat(QImage::Format_RGB32);
    int painted = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            painted += shown.pixel(x, y) == qRgb(255, 0, 0);
    QVERIFY2(painted > 20, qPrintable(QString::number(painted)));
}

void TestWindowColours::backgroundPickerRecoloursTheScreen()
{
    Window w;
    Editor& e = w.window.editor();
    // (2, 100) lies in no element: the sample's wallpaper shows there.
    const QRgb before = w.pixel(2, 100);
    QVERIFY(before != qRgb(18, 52, 86));
    w.dialogs.colours.push_back(Rgb(18, 52, 86));
    w.click(QStringLiteral("PicBGColor1"));
    QCOMPARE(w.dialogs.unanswered, 0);
    QVERIFY(!Child<QCheckBox>(w.window, QStringLiteral("chkWallPaper"))->isChecked());
    QCOMPARE(e.doc.T_Strutt.text(e.refs.BackgroundNode), QStringLiteral("4 18 52 86 0"));
    QCOMPARE(w.pixel(2, 100), qRgb(18, 52, 86));
    QCOMPARE(w.pixel(175, 0), qRgb(18, 52, 86));
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicBGColor1"))->colour(), Rgb(18, 52, 86));

    // A cancelled dialog changes nothing on the screen.
    const QImage shown = w.preview();
    w.dialogs.colours.push_back(std::nullopt);
    w.click(QStringLiteral("PicBGColor1"));
    QCOMPARE(w.preview(), shown);
}

void TestWindowColours::canvasTooltipNamesTheElement()
{
    Window w;
    CanvasView* canvas = w.canvas();
    const int zoom = w.window.zoom();
    auto tipAt = [&](int x, int y) {
        const QPoint at(x * zoom + zoom / 2, y * zoom + zoom / 2);
        QHelpEvent help(QEvent::ToolTip, at, canvas->mapToGlobal(at));
        QCoreApplication::sendEvent(canvas, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const QString text = tipAt(10, 10);
    QVERIFY2(text.startsWith(QStringLiteral("Testo (Operatore)")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("riga 0595")), qPrintable(text));
    QVERIFY(tipAt(87, 105).startsWith(QStringLiteral("Orologio analogico")));
    // Nothing there: the tip goes (after the toolkit's short fade).
    tipAt(2, 100);
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestWindowColours)
#include "test_window_colours.moc"
