// The real main window under the offscreen platform: what its widgets show
// must be what the editor holds, and what the user does to them must reach
// the editor, so a widget left unwired fails here. Pixels are compared with
// the editor's own picture of the canvas.
#include "testsupport.h"
#include "tinygif.h"
#include "windowsupport.h"

#include "editor/elements.h"
#include "editor/phone.h"
#include "render/scene.h"
#include "skin/files.h"
#include "window/icons.h"
#include "window/mainwindow.h"
#include "window/models.h"
#include "window/widgets.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;

namespace {

// The window with its dialogs answered by the test, shown so that views lay
// out and clicks land; with a copy of the sample opened through Ctrl+O
// unless told otherwise.
struct Window {
    TestDialogs dialogs;
    MainWindow window{&dialogs};
    QTemporaryDir dir;
    explicit Window(bool open = true)
    {
        ShowAndWait(window);
        if (open)
            OpenSampleCopy(window, dialogs, dir.path());
    }
    QJsonObject dump() { return Dump(window.editor()); }
    template <class T = QWidget>
    T* get(const QString& name) { return Child<T>(window, name); }
    void click(const QString& name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    void tab(int n) { get<QTabWidget>("SSTab1")->tabBar()->setCurrentIndex(n); }
    CanvasView* canvas() { return get<CanvasView>("PicDesktop"); }
    QImage shown() { return Rgb(canvas()->grab().toImage()); }
    QImage scene() { return Magnified(Rgb(RenderScene(window.editor().preview.scene)), window.zoom()); }
    // The middle of canvas pixel (x, y) on the magnified widget.
    QPoint at(int x, int y) { return QPoint(x, y) * canvas()->zoom() + QPoint(1, 1) * (canvas()->zoom() / 2); }
    // Clicks the row of `key` in a table view, as the user does.
    void clickRow(const QString& table, const QString& key)
    {
        auto* view = get<QTableView>(table);
        const QModelIndex index = view->model()->index(RowNumber(dump(), table, key) - 1, 1);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    QString image(const QString& key) { return Cell(RowByKey(dump(), "L_Values", key), kPath); }
};

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithoutSkin();
    void opensAndShowsTheSample();
    void fieldsSwitchesAndClosing();
    void pictures();
    void coloursReachTheCanvas();
    void dragsAndKeysMoveElements();
    void objectsTab();
    void rowsAnswerClicksNotFocus();
    void livePhone();
};

void TestWindow::startsWithoutSkin()
{
    Window w(false);
    const QJsonObject d = w.dump();
    QVERIFY(!w.get<QTabWidget>("SSTab1")->isTabEnabled(0) && !w.get<QTabWidget>("SSTab1")->isTabEnabled(5));
    QVERIFY(w.get<QLabel>("SB0")->text() == d["status"].toString() && !w.get<QAction>("SAVE")->isEnabled());
    // The element fields wait for a skin; each slot is drawn as a disabled
    // empty field of its group is (the operator's transparency is one).
    auto* operatorRow = w.get<FieldRow>("fieldRow_0");
    QVERIFY(!operatorRow->filled() && !w.window.findChild<FieldEdit*>("txt_0"));
    const QImage row = Rgb(operatorRow->grab().toImage()), alpha = Rgb(w.get("txt_4")->grab().toImage());
    for (int slot = 0; slot < 4; ++slot)
        QCOMPARE(row.copy(operatorRow->slotRect(slot)), alpha);
    // The upper smart key's empty slots name their coordinate, as its fields will.
    auto* keyRow = w.get<FieldRow>(QStringLiteral("fieldRow_%1").arg(velluno::kElementUpperKey));
    for (int slot : {3, 1}) {
        const QPoint at = keyRow->slotRect(slot).center();
        QHelpEvent help(QEvent::ToolTip, at, keyRow->mapToGlobal(at));
        QCoreApplication::sendEvent(keyRow, &help);
        QCOMPARE(QToolTip::text(), QStringList({"X1", "Y1", "X2", "Y2"}).at(slot));
    }
    // The other pages are made on first need, and show the editor then.
    QVERIFY(!w.window.pagesBuilt());
    w.window.ensurePages();
    w.window.refresh();
    QVERIFY(w.get<QCheckBox>("chkDim")->isChecked() && !w.get("chkDim")->isEnabled() && !w.get("txt_50")->isEnabled());
    QVERIFY(!w.window.findChild<QListWidget*>("FileDesktop"));
    // The canvas is the editor's scene, 1:1 and magnified.
    for (const int zoom : {1, 3}) {
        w.window.setZoom(zoom);
        QCOMPARE(w.shown(), w.scene());
    }
    // SAVE is disabled, so its key does nothing.
    QTest::keyClick(&w.window, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.dump()["messages"].toArray().isEmpty() && w.dialogs.unanswered == 0);
}

void TestWindow::opensAndShowsTheSample()
{
    Window w(false);
    const QSize size = w.window.size();
    QList<QRect> places;  // where the fields will be, in window coordinates
    for (int k = 0; k < 12; ++k) {
        auto* fields = w.get<FieldRow>(QStringLiteral("fieldRow_%1").arg(k));
        for (int slot = 0; slot < 4; ++slot)
            places << fields->slotRect(slot).translated(fields->mapTo(&w.window, QPoint(0, 0)));
    }
    QWidget* listSlot = w.get("FileDesktopSlot");
    const QRect listPlace(listSlot->mapTo(&w.window, QPoint(0, 0)), listSlot->size());
    OpenSampleCopy(w.window, w.dialogs, w.dir.path());
    QJsonObject d = w.dump();
    QCOMPARE(w.window.size(), size);
    QCOMPARE(w.get<QLabel>("SB0")->text(), d["status"].toString());
    // Beside it, the note that the pictures are not extracted yet.
    QVERIFY(d["statusNote"].toString().contains("Esporta tutto") && w.get<QLabel>("statusNote")->text() == d["statusNote"].toString());
    QVERIFY(w.get<QTabWidget>("SSTab1")->isTabEnabled(5) && w.get<QAction>("SAVE")->isEnabled());
    // Every field made where its frame was, showing the editor's text; so
    // is the wallpaper list.
    int placed = 0;
    for (FieldEdit* f : w.window.findChildren<FieldEdit*>())
        if (f->isVisible() && places.contains(QRect(f->mapTo(&w.window, QPoint(0, 0)), f->size()))) {
            QCOMPARE(f->text(), FieldText(d, "txt", f->objectName().mid(4).toInt()));
            ++placed;
        }
    QCOMPARE(placed, 48);
    auto* list = w.get<QListWidget>("FileDesktop");
    QCOMPARE(QRect(list->mapTo(&w.window, QPoint(0, 0)), list->size()), listPlace);
    QCOMPARE(list->count(), ControlState(d, "FileDesktop")["files"].toArray().size());
    QWidget* next = w.get("optPos_0");
    for (const char* field : {"txt_0", "txt_1", "txt_2", "txt_3"}) {  // Tab goes through the element's fields
        do
            next = next->nextInFocusChain();
        while (!qobject_cast<FieldEdit*>(next));
        QCOMPARE(next->objectName(), QLatin1String(field));
    }

    // "Esporta tutto": the rows change state, with their marks, and the
    // panel gets its pictures; a header click sorts through the editor.
    w.tab(1);
    w.click("cmdExportAll");
    QTableView* values = w.get<QTableView>("L_Values");
    QHeaderView* header = values->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(kBytes) + 5, 5));
    d = w.dump();
    QCOMPARE(d["L_Values"].toObject()["sort"].toInt(), int(kBytes));
    QCOMPARE(header->sortIndicatorSection(), int(kBytes));
    for (int r = 0; r < values->model()->rowCount(); ++r) {
        const QJsonObject row = d["L_Values"].toObject()["rows"].toArray()[r].toObject();
        const QModelIndex key = values->model()->index(r, 0);
        QCOMPARE(key.data().toString() + values->model()->index(r, kState).data().toString(), row["key"].toString() + Cell(row, kState));
        QCOMPARE(key.data(Qt::ForegroundRole).value<QColor>(), ColourOf(quint32(row["colour"].toInteger())));
        QCOMPARE(key.data(Qt::FontRole).value<QFont>().bold(), row["bold"].toBool());
        QCOMPARE(key.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 IconListImage(row["icon"].toInt()));
    }
    QVERIFY(w.get("Pic_630")->isEnabled() && !w.get<ObjectPictureButton>("Pic_630")->picture().isNull());
    QVERIFY(w.get("statusNote")->isHidden());
    auto* tree = w.get<QTreeView>("T_Strutt");
    QVERIFY(tree->isExpanded(tree->model()->index(0, 0)));
    w.tab(0);
    QCOMPARE(w.shown(), w.scene());

    // Another skin of other sizes: every view follows, as a model must tell it.
    QAbstractItemModelTester objects(values->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester colours(w.get<QTableView>("L_RGBA")->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester nodes(tree->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    WriteFile(w.dir.filePath("small/varavave.ski"), "SKI1\n0 41 98\n4 1 2 3 0\n0 oggetti\n5 7 0 10 0\n");
    w.dialogs.files.push_back(w.dir.filePath("small/varavave.ski"));
    QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(values->model()->rowCount() + w.get<QTableView>("L_RGBA")->model()->rowCount(), 2);
    QCOMPARE(tree->model()->rowCount(tree->model()->index(0, 0)), 2);
    // Rows of the same number shown again: the change names cells that exist.
    w.tab(1);
    w.clickRow("L_Values", "0007");
}

void TestWindow::fieldsSwitchesAndClosing()
{
    Window w;
    // Keys in a field meet the key filter and the maximum length; the caret
    // follows the editor's edit; a paste meets the filter too; the widget
    // shows what the editor holds.
    auto* alpha = w.get<FieldEdit>("txt_4");
    alpha->setFocus();
    alpha->selectAll();
    QTest::keyClicks(alpha, QStringLiteral("7"));
    alpha->setCursorPosition(0);
    QTest::keyClicks(alpha, QStringLiteral("a1"));
    QCOMPARE(FieldText(w.dump(), "txt", 4), QStringLiteral("17"));
    QCOMPARE(alpha->cursorPosition(), 1);
    QApplication::clipboard()->setText(QStringLiteral("1a2b34"));
    for (const int i : {4, 1}) {  // a transparency, a position
        auto* field = w.get<FieldEdit>(QStringLiteral("txt_%1").arg(i));
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(FieldText(w.dump(), "txt", i) == "123" && field->text() == "123");
    }
    // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs, from a field too.
    QTest::keyClick(alpha, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.dump()["tab"].toInt(), 1);
    // LOAD is greyed there and says why; its button keeps its dots.
    QVERIFY(w.get<QToolButton>("TB0_LOAD")->text() == "Apri..." && w.get<QAction>("LOAD")->toolTip().contains("Preview skin"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.get<QTabWidget>("SSTab1")->currentIndex(), 5);
    w.tab(0);
    QTest::keyClicks(w.get("txt_50"), QStringLiteral("9"));  // disabled
    QCOMPARE(FieldText(w.dump(), "txt", 50), QString());
    // The wallpaper box, the clock style, an element's tick: the widgets
    // mirror the editor and the canvas its scene.
    QTest::mouseClick(w.get("chkWallPaper"), Qt::LeftButton);
    QVERIFY(!ControlState(w.dump(), "chkWallPaper")["checked"].toBool() && !w.get("FileDesktop")->isEnabled());
    QTest::mouseClick(w.get("optTime_1"), Qt::LeftButton);
    QVERIFY(ControlState(w.dump(), "optTime", 1)["selected"].toBool() && !w.get<QRadioButton>("optTime_0")->isChecked());
    QCOMPARE(w.shown(), w.scene());
    QTest::mouseClick(w.get("optPos_11"), Qt::LeftButton);
    QVERIFY(ControlState(w.dump(), "optPos", 11)["checked"].toBool());
    // A row clicked in a list becomes the table's selection, and back.
    w.tab(2);
    w.clickRow("L_RGBA", Keys(w.dump(), "L_RGBA")[2]);
    QCOMPARE(w.dump()["L_RGBA"].toObject()["selected"].toInt(), 3);
    QCOMPARE(w.get<QTableView>("L_RGBA")->selectionModel()->currentIndex().row(), 2);

    // Closing asks first: No keeps the window, Yes (for Ctrl+Q) closes it,
    // asked once.
    w.dialogs.answers.push_back(Answer::No);
    QVERIFY(!w.window.close() && w.window.isVisible());
    QCOMPARE(w.dump()["messages"].toArray().last().toObject()["text"].toString(), QStringLiteral("Confermi l'uscita da Velluno ?"));
    w.dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(&w.window, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.dump()["messages"].toArray().size(), 2);
    QCOMPARE(w.dialogs.unanswered, 0);
}

void TestWindow::pictures()
{
    // Every picture of the image list and of the toolbar differs from the
    // others; the toolbar shows each as its code draws it; the application
    // icon at every size.
    QList<QImage> pictures;
    for (int n : {2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
        QVERIFY2(!pictures.contains(IconListImage(n)) && IconListImage(n).size() == QSize(kIconListSize, kIconListSize),
                 qPrintable(QString::number(n)));
        pictures << IconListImage(n);
    }
    QVERIFY(IconListImage(0).isNull() && IconListImage(5).isNull());
    for (int n = 0; n < kToolPictureCount; ++n) {
        const QImage drawn = DrawToolPicture(ToolPicture(n));
        QCOMPARE(ToolIcon(ToolPicture(n)).pixmap(kToolPictureSize).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
        QVERIFY(!pictures.contains(drawn));
        pictures << drawn;
    }
    // Each as it was drawn when last reviewed: how many pixels it covers
    // and their mean colour, within what another raster path may round.
    pictures << AppIconImage(48);
    const int kInk[][4] = {
        {171, 85, 115, 167}, {162, 185, 114, 114}, {168, 113, 154, 148}, {162, 144, 165, 184}, {162, 177, 173, 164},
        {139, 212, 178, 79}, {162, 201, 190, 190}, {162, 182, 170, 189}, {162, 143, 174, 174}, {128, 85, 85, 109},
        {162, 160, 160, 160}, {347, 210, 177, 80}, {396, 81, 102, 149}, {332, 187, 72, 72}, {168, 37, 112, 43},
        {168, 37, 112, 43}, {168, 37, 112, 43}, {168, 37, 112, 43}, {1344, 110, 83, 145}};
    QStringList seen;
    for (int i = 0; i < pictures.size(); ++i) {
        const QImage p = pictures.at(i).convertToFormat(QImage::Format_ARGB32);
        qint64 n = 0, r = 0, g = 0, b = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                if (const QRgb c = p.pixel(x, y); qAlpha(c) > 0) {
                    ++n;
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
        const int ink[4] = {int(n), int(n ? r / n : 0), int(n ? g / n : 0), int(n ? b / n : 0)};
        seen << QStringLiteral("{%1, %2, %3, %4}").arg(ink[0]).arg(ink[1]).arg(ink[2]).arg(ink[3]);
        const bool close = i < int(std::size(kInk)) && qAbs(ink[0] - kInk[i][0]) <= 1 + kInk[i][0] / 50 &&
                           qAbs(ink[1] - kInk[i][1]) <= 4 && qAbs(ink[2] - kInk[i][2]) <= 4 && qAbs(ink[3] - kInk[i][3]) <= 4;
        QVERIFY2(close, qPrintable(QString::number(i) + ": " + seen.last()));
    }
    QCOMPARE(AppIcon().availableSizes().size(), kAppIconSizeCount);
    for (const int side : {16, 24, 32, 48, 64, 128, 100})
        QVERIFY2(AppIcon().pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) == AppIconImage(side),
                 qPrintable(QString::number(side)));
}

void TestWindow::coloursReachTheCanvas()
{
    Window w(false);
    OpenSampleCopy(w.window, w.dialogs, w.dir.path(), LoadBy::Button);
    auto count = [&](QRgb colour) {  // canvas pixels of `colour` in the operator text's box
        const QImage shown = w.shown();
        int n = 0;
        for (int y = 9; y < 26; ++y)
            for (int x = 9; x < 167; ++x)
                n += shown.pixel(w.at(x, y)) == colour;
        return n;
    };
    QVERIFY(count(qRgb(255, 0, 0)) == 0 && count(qRgb(255, 255, 255)) > 20);
    w.tab(2);
    w.clickRow("L_RGBA", "0595");
    QCOMPARE(w.get<velluno::window::Swatch>("PicColor")->colour(), 0xFFFFFFu);
    w.dialogs.colours.push_back(0x0000FF);
    w.click("PicColor");
    QCOMPARE(Cells(RowByKey(w.dump(), "L_RGBA", "0595"), kR, kB), QStringList({"255", "0", "0"}));
    QCOMPARE(w.get<velluno::window::Swatch>("PicTxtColor1")->colour(), 0x0000FFu);
    // The swatch that has the keyboard shows it by a dotted ring inside its frame.
    auto* picked = w.get<velluno::window::Swatch>("PicColor");
    w.window.activateWindow();
    picked->setFocus(Qt::TabFocusReason);
    const QImage ring = Rgb(picked->grab().toImage());
    int dots = 0;
    for (int x = 0; x < ring.width(); ++x)
        dots += ring.pixel(x, 2) == picked->palette().highlight().color().rgb();
    QVERIFY2(picked->hasFocus() && dots > 2 && ring.pixel(1, 1) == qRgb(255, 0, 0) && ring.pixel(0, 0) == qRgb(40, 40, 40),
             qPrintable(QString::number(dots)));
    QVERIFY(count(qRgb(255, 0, 0)) > 20 && count(qRgb(255, 255, 255)) == 0);
    // The row's swatch in the last column, in its own colour, named in its tip.
    QTableView* table = w.get<QTableView>("L_RGBA");
    const QModelIndex swatch = table->model()->index(RowNumber(w.dump(), "L_RGBA", "0595") - 1, table->model()->columnCount() - 1);
    table->scrollTo(swatch);
    const QImage cell = Rgb(table->viewport()->grab(table->visualRect(swatch)).toImage());
    int painted = 0;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            painted += cell.pixel(x, y) == qRgb(255, 0, 0);
    QVERIFY2(painted > 20, qPrintable(QString::number(painted)));
    QCOMPARE(swatch.data(Qt::ToolTipRole).toString(), QStringLiteral("255 0 0"));
    // The background picker recolours the screen where no element lies.
    w.tab(0);
    w.dialogs.colours.push_back(18 + 256 * 52 + 65536 * 86);
    w.click("PicBGColor1");
    QVERIFY(!w.get<QCheckBox>("chkWallPaper")->isChecked());
    QCOMPARE(w.shown().pixel(w.at(2, 100)), qRgb(18, 52, 86));
    // The canvas names what lies under the mouse.
    auto tipAt = [&](int x, int y) {
        QHelpEvent help(QEvent::ToolTip, w.at(x, y), w.canvas()->mapToGlobal(w.at(x, y)));
        QCoreApplication::sendEvent(w.canvas(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const QString text = tipAt(10, 10), clock = tipAt(87, 105);
    QVERIFY2(text.startsWith("Testo (Operatore)\nx1,y1,x2,y2: 4, 4, 171, 24\n") &&
                 text.contains("riga 0595 dei colori (R 255, G 0, B 0)"), qPrintable(text));
    QVERIFY2(clock.startsWith("Orologio analogico") && clock.contains("Lancetta dei minuti: riga 0009") &&
                 clock.contains("Lancetta delle ore: riga 0012"), qPrintable(clock));
    QVERIFY(tipAt(60, 170).startsWith("Tasto smart"));
    tipAt(2, 100);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestWindow::dragsAndKeysMoveElements()
{
    Window w;
    QCOMPARE(w.canvas()->zoom(), 2);
    // The jitter of a click, short of the drag distance, moves nothing.
    const QJsonObject still = w.dump();
    const QPoint jitter(QApplication::startDragDistance() - 1, 0);
    QTest::mousePress(w.canvas(), Qt::LeftButton, {}, w.at(20, 10));
    QTest::mouseMove(w.canvas(), w.at(20, 10) + jitter);
    QTest::mouseRelease(w.canvas(), Qt::LeftButton, {}, w.at(20, 10) + jitter);
    QCOMPARE(w.dump(), still);
    // Pressed inside the operator text's frame, dragged by (3, 5): the
    // outline follows by whole pixels, drawn by the view only, and the
    // element's own outline stands out meanwhile.
    QTest::mousePress(w.canvas(), Qt::LeftButton, {}, w.at(20, 10));
    QTest::mouseMove(w.canvas(), w.at(22, 13));
    QTest::mouseMove(w.canvas(), w.at(23, 15));
    QVERIFY(w.canvas()->dragging());
    QCOMPARE(w.canvas()->dragOutlines(), QVector<QRect>{QRect(QPoint(7, 9), QPoint(174, 29))});
    QCOMPARE(w.shown().pixelColor(w.at(7, 20)), QColor(0, 0, 255));
    QCOMPARE(w.shown().pixelColor(w.at(4, 15)), QColor(255, 140, 0));
    QCOMPARE(Cell(RowByKey(w.dump(), "L_Dim", "0570"), kX1), QStringLiteral("4"));
    QTest::mouseRelease(w.canvas(), Qt::LeftButton, {}, w.at(23, 15));
    QVERIFY(!w.canvas()->dragging());
    QCOMPARE(Cells(RowByKey(w.dump(), "L_Dim", "0570"), kX1, kHeight), QStringList({"7", "9", "174", "29", "-", "-"}));
    QCOMPARE(w.get<FieldEdit>("txt_3")->text(), QStringLiteral("29"));
    QCOMPARE(w.shown(), w.scene());
    // Escape ends a drag with nothing moved.
    const QJsonObject before = w.dump();
    w.canvas()->setFocus();
    QTest::mousePress(w.canvas(), Qt::LeftButton, {}, w.at(20, 10));
    QTest::mouseMove(w.canvas(), w.at(40, 30));
    QTest::keyClick(w.canvas(), Qt::Key_Escape);
    QTest::mouseRelease(w.canvas(), Qt::LeftButton, {}, w.at(40, 30));
    QCOMPARE(w.dump(), before);
    // The arrow keys on the focused canvas are the move buttons.
    QTest::mouseClick(w.get("optPos_0"), Qt::LeftButton);
    w.canvas()->setFocus();
    QTest::keyClick(w.canvas(), Qt::Key_Right);
    QTest::keyClick(w.canvas(), Qt::Key_Up);
    QCOMPARE(Cells(RowByKey(w.dump(), "L_Dim", "0570"), kX1, kY2), QStringList({"9", "7", "176", "27"}));
    QVERIFY(w.canvas()->hasFocus() && w.get("cmdMoveUp")->isEnabled());
    QCOMPARE(w.shown(), w.scene());
    // Ctrl+Z takes the last key back, Ctrl+Shift+Z takes it again; from a
    // field with no typing of its own, Ctrl+Z and Ctrl+Y reach the window too.
    QTest::keyClick(w.canvas(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Cells(RowByKey(w.dump(), "L_Dim", "0570"), kX1, kY2), QStringList({"9", "9", "176", "29"}));
    QVERIFY(w.get<QLabel>("SB0")->text().startsWith("Annullato: "));
    QCOMPARE(w.shown(), w.scene());
    QTest::keyClick(w.canvas(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Cells(RowByKey(w.dump(), "L_Dim", "0570"), kX1, kY2), QStringList({"9", "7", "176", "27"}));
    QCOMPARE(w.get<FieldEdit>("txt_1")->text(), QStringLiteral("7"));
    w.get("txt_1")->setFocus();
    QTest::keyClick(w.get("txt_1"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.get<FieldEdit>("txt_1")->text(), QStringLiteral("9"));
    QTest::keyClick(w.get("txt_1"), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.get<FieldEdit>("txt_1")->text(), QStringLiteral("7"));
    // The rectangle view: two rows pile up; "Pulitura automatica" cleans first.
    w.tab(3);
    w.clickRow("L_Dim", "0570");
    w.clickRow("L_Dim", "0006");
    QImage view = Rgb(w.get("PicOBJ")->grab().toImage());
    QCOMPARE(QList<QColor>({view.pixelColor(9, 7), view.pixelColor(100, 10), view.pixelColor(52, 70), view.pixelColor(150, 150)}),
             QList<QColor>({Qt::black, Qt::blue, Qt::black, Qt::white}));
    QTest::mouseClick(w.get("chkCls"), Qt::LeftButton);
    w.clickRow("L_Dim", "0562");
    view = Rgb(w.get("PicOBJ")->grab().toImage());
    QCOMPARE(QList<QColor>({view.pixelColor(100, 10), view.pixelColor(78, 146), view.pixelColor(80, 150)}),
             QList<QColor>({Qt::white, Qt::black, Qt::blue}));
}

void TestWindow::objectsTab()
{
    Window w;
    w.tab(1);
    w.click("cmdExportAll");
    // A GIF dropped on a row replaces it; the view, the pane and the size
    // line show the editor.
    const QString file = w.dir.filePath("Nuovo Tasto.gif");
    WriteFile(file, SolidGif(77, 22, qRgb(255, 0, 255)));
    auto* values = w.get<QTableView>("L_Values");
    const QModelIndex row = values->model()->index(RowNumber(w.dump(), "L_Values", "0630") - 1, 2);
    QVERIFY(DropFile(values->viewport(), values->visualRect(row).center(), file));
    QCOMPARE(w.image("0630"), file.toLower());
    QCOMPARE(values->currentIndex().row(), row.row());
    QCOMPARE(values->model()->index(row.row(), kPath).data().toString(), file.toLower());
    auto* pane = w.get<GifPane>("WB");
    QCOMPARE(pane->shownFile(), file.toLower());
    QCOMPARE(Rgb(pane->grab().toImage()).pixel(0, 0), qRgb(255, 0, 255));  // at the top left
    QCOMPARE(w.get<QLabel>("lInfo")->text(), QStringLiteral("(hxw) = 22x77"));
    // The table stays where the user scrolled it while other actions refresh it.
    QScrollBar* bar = values->verticalScrollBar();
    values->setFixedHeight(160);
    QCoreApplication::processEvents();
    bar->setValue(bar->maximum());
    w.click("chkDim");
    QVERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    // A picture painted over in an image editor redraws the preview, also
    // when replaced by a new file, as most editors save.
    w.tab(0);
    auto softKey = [&] { return w.canvas()->grab().toImage().pixel(w.at(3, 201)); };
    const QString path = ResolveFile(w.image("0630"));
    WriteFile(path, SolidGif(77, 22, qRgb(0, 250, 0)));
    QTRY_COMPARE_WITH_TIMEOUT(softKey(), qRgb(0, 250, 0), 1000);
    QCOMPARE(w.get<ObjectPictureButton>("Pic_630")->picture().pixel(4, 4), qRgb(0, 250, 0));
    WriteFile(path + ".tmp", SolidGif(77, 22, qRgb(250, 0, 0)));
    QVERIFY(std::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()) == 0);
    QTRY_COMPARE_WITH_TIMEOUT(softKey(), qRgb(250, 0, 0), 1000);
    // The empty page empties the pane.
    w.tab(1);
    QVERIFY(QFile::remove(w.image("0642")));
    w.clickRow("L_Values", "0642");
    QVERIFY(!pane->animated() && pane->pixmap().isNull());
}

void TestWindow::rowsAnswerClicksNotFocus()
{
    Window w;
    // Each table takes the focus from the field left behind, without a row
    // clicked: nothing is selected, shown or drawn.
    w.get("txt_1")->setFocus();
    for (const char* table : {"L_Values", "L_RGBA", "L_Dim"}) {
        w.tab(QString(table) == "L_Values" ? 1 : QString(table) == "L_RGBA" ? 2 : 3);
        QVERIFY2(w.get(table)->hasFocus() && w.dump()[table].toObject()["selected"].toInt() == 0, table);
    }
    QJsonObject d = w.dump();
    QVERIFY(!ControlState(d, "cmdImport")["enabled"].toBool() && !ControlState(d, "txt", 50)["enabled"].toBool());
    QVERIFY(d["PicOBJ"].toArray().isEmpty());
    // A click on the row selected already runs it again.
    w.clickRow("L_Dim", "0570");
    w.clickRow("L_Dim", "0570");
    QCOMPARE(w.dump()["PicOBJ"].toArray().size(), 2);
    w.tab(1);
    w.clickRow("L_Values", "0630");
    w.tab(0);
    w.tab(1);
    w.clickRow("L_Values", "0630");
    QVERIFY(w.get<QLabel>("SB0")->text().startsWith("Tag: "));
    // After "Default" the table has the keyboard and shows the row replaced;
    // after "Skin di default", row 1.
    auto* values = w.get<QTableView>("L_Values");
    auto shows = [&](int row) { return values->viewport()->rect().intersects(values->visualRect(values->model()->index(row - 1, 0))); };
    w.click("chkConferma");
    w.get("txt_1")->setFocus();
    values->setFixedHeight(values->rowHeight(0) * 8);  // as on a small screen
    QTRY_VERIFY(values->verticalScrollBar()->maximum() > 0);
    values->verticalScrollBar()->setValue(values->verticalScrollBar()->maximum());
    QVERIFY(!shows(RowNumber(w.dump(), "L_Values", "0630")));
    w.click("cmdDefault");
    QVERIFY(values->hasFocus() && shows(RowNumber(w.dump(), "L_Values", "0630")));
    w.get("txt_1")->setFocus();
    w.dialogs.answers.push_back(Answer::Yes);
    w.click("cmdDefaultAll");
    d = w.dump();
    QVERIFY(values->hasFocus() && shows(1) && !shows(d["L_Values"].toObject()["selected"].toInt()));
}

void TestWindow::livePhone()
{
    Window w;
    w.tab(1);
    w.click("cmdExportAll");
    w.tab(0);
    w.click("optTime_1");
    // A clock a moment before 9:06.
    QElapsedTimer running;
    running.start();
    const QDateTime start(QDate(2026, 3, 7), QTime(9, 5, 59, 700));
    w.window.editor().now = [&] { return start.addMSecs(running.elapsed()); };
    const QImage preview = w.shown();
    QVERIFY(!w.window.findChild<QTimer*>("phoneClock"));  // off, nothing runs
    w.click("chkTelefono");
    auto phone = [&] { return Magnified(Rgb(RenderScene(PhoneScene(w.window.editor()))), w.window.zoom()); };
    QCOMPARE(w.shown(), phone());
    QVERIFY(w.dump()["phone"].toObject()["canvas"].toObject()["outlines"].toArray().isEmpty());
    // The digital clock turns to the next minute; the hands stand at 9:06
    // (the face's box 52,70-123,141, lengths 18 and 12).
    QTRY_COMPARE_WITH_TIMEOUT(w.dump()["phone"].toObject()["canvas"].toObject()["lblOra"].toObject()["text"].toString(),
                              QStringLiteral("09:06"), 3000);
    const QJsonObject hands = w.dump()["phone"].toObject()["canvas"].toObject();
    QCOMPARE(Numbers(hands["LineMin"].toObject(), {"x1", "y1", "x2", "y2"}), QList<int>({87, 105, 98, 90}));
    QCOMPARE(Numbers(hands["LineOra"].toObject(), {"x2", "y2"}), QList<int>({75, 104}));
    QCOMPARE(w.shown(), phone());
    QCOMPARE(w.shown().pixel(w.at(98, 90)), qRgb(226, 44, 44));
    // The left soft key, held down, shows its pressed picture.
    const QImage pressed = w.get<ObjectPictureButton>("Pic_631")->picture(), released = w.get<ObjectPictureButton>("Pic_630")->picture();
    QVERIFY(pressed.pixel(3, 3) != released.pixel(3, 3));
    QTest::mousePress(w.canvas(), Qt::LeftButton, {}, w.at(3, 201));
    QCOMPARE(w.shown().pixel(w.at(3, 201)), Rgb(pressed).pixel(3, 3));
    QTest::mouseRelease(w.canvas(), Qt::LeftButton, {}, w.at(3, 201));
    QCOMPARE(w.shown().pixel(w.at(3, 201)), Rgb(released).pixel(3, 3));
    // Off again: the preview as it was, and no timer.
    w.click("chkTelefono");
    QCOMPARE(w.shown(), preview);
    QVERIFY(!w.window.findChild<QTimer*>("phoneClock")->isActive());
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
