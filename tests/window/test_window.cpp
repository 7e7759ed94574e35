// The real main window under the offscreen platform: what its widgets show
// must be what the core holds, so a widget left unwired fails here.
#include "testsupport.h"
#include "windowsupport.h"
#include "tinygif.h"

#include "skin/files.h"
#include "editor/elements.h"
#include "editor/objects.h"
#include "render/scene.h"
#include "window/icons.h"
#include "window/mainwindow.h"
#include "window/models.h"
#include "window/qtdialogs.h"
#include "window/widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>
#include <QTreeView>

using namespace velluno;
using namespace velluno::window;
using namespace velluno::test;
using velluno::test::QueuedDialogs;

namespace {




int TreeRows(const QAbstractItemModel* model, const QModelIndex& parent)
{
    int n = model->rowCount(parent);
    int total = n;
    for (int r = 0; r < n; ++r)
        total += TreeRows(model, model->index(r, 0, parent));
    return total;
}

// The window with its dialogs answered by the test; shown, so that views
// lay out and clicks land.
struct Window {
    QueuedDialogs dialogs;
    frmDesktop window{&dialogs};
    Window()
    {
        ShowAndWait(window);
    }
    QTabWidget* tabs() { return Child<QTabWidget>(window, QStringLiteral("SSTab1")); }
    QString status() { return Child<QLabel>(window, QStringLiteral("SB0"))->text(); }
    QAction* action(const QString& key) { return Child<QAction>(window, key); }
    QTableView* table(const QString& name) { return Child<QTableView>(window, name); }
    FieldEdit* field(const QString& name) { return Child<FieldEdit>(window, name); }
    QImage preview() { return Rgb(Child<CanvasView>(window, QStringLiteral("PicDesktop"))->grab().toImage()); }
    void openCopyOfSample(const QString& dir)
    {
        OpenSampleCopy(window, dialogs, dir);
    }
};

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithoutSkin();
    void controlsMadeWhenNeededTakeTheirPlace();
    void opensAndShowsTheSample();
    void fieldsShowOnlyWhatTheCoreAccepts();
    void switchesAndListsDriveTheCore();
    void closingAsksFirst();
    void rowMarksIconsAndColours();
    void qtDialogsFollowTheConventions();
    void filtersColoursAndPages();
};

void TestWindow::startsWithoutSkin()
{
    Window w;
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Velluno Ver. 1.0 (buid: 020) by Ostrel"));
    const QStringList captions = {QStringLiteral("Preview skin"), QStringLiteral("Oggetti grafici"),
                                  QStringLiteral("Colori"),
                                  QStringLiteral("Posizione e dimesione oggetti"),
                                  QStringLiteral("Struttura"),
                                  QStringLiteral("Opzioni / Informazioni")};
    QCOMPARE(w.tabs()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(w.tabs()->tabText(i), captions.at(i));
        QVERIFY2(!w.tabs()->isTabEnabled(i), qPrintable(captions.at(i)));
    }
    QCOMPARE(w.tabs()->currentIndex(), 0);
    QCOMPARE(w.status(), QStringLiteral("Aprire un file Skin (*.ski)..."));
    QVERIFY(w.action(QStringLiteral("LOAD"))->isEnabled());
    QVERIFY(!w.action(QStringLiteral("SAVE"))->isEnabled());
    QVERIFY(w.action(QStringLiteral("CLOSE"))->isEnabled());
    QCOMPARE(w.action(QStringLiteral("LOAD"))->text(), QStringLiteral("Apri..."));
    QCOMPARE(w.action(QStringLiteral("LOAD"))->toolTip(), QStringLiteral("Apri un file *.ski..."));
    QCOMPARE(w.action(QStringLiteral("SAVE"))->toolTip(), QStringLiteral("Salva le modifiche..."));
    QCOMPARE(w.action(QStringLiteral("CLOSE"))->text(), QStringLiteral("Termina"));
    QCOMPARE(w.action(QStringLiteral("CLOSE"))->toolTip(), QStringLiteral("Esci da Velluno"));

    // The elements wait for a skin, their position fields not made yet; the
    // step field shows its first value.
    QVERIFY(!Child<FieldRow>(w.window, QStringLiteral("fieldRow_0"))->filled());
    QVERIFY(!w.window.findChild<FieldEdit*>(QStringLiteral("txt_0")));
    QVERIFY(!w.field(QStringLiteral("txt_4"))->isEnabled());
    QCOMPARE(w.field(QStringLiteral("txtOffSet"))->text(), QStringLiteral("2"));
    QCOMPARE(w.field(QStringLiteral("txtMin"))->text(), QStringLiteral("18"));
    // The other pages are filled on first need; they show the core's state too.
    QVERIFY(!w.window.pagesBuilt());
    w.window.ensurePages();
    w.window.refresh();
    QVERIFY(Child<QCheckBox>(w.window, QStringLiteral("chkDim"))->isChecked());
    QVERIFY(!Child<QCheckBox>(w.window, QStringLiteral("chkDim"))->isEnabled());
    QVERIFY(!w.field(QStringLiteral("txt_50"))->isEnabled());
    QCOMPARE(Child<QLabel>(w.window, QStringLiteral("lInfo"))->text(), QStringLiteral("..."));
    QVERIFY(!w.window.findChild<QListWidget*>(QStringLiteral("FileDesktop")));

    // The canvas is the core's scene, 1:1 and magnified.
    const QImage scene = Rgb(RenderScene(w.window.editor().canvas));
    w.window.setZoom(1);
    QCOMPARE(w.preview(), scene);
    w.window.setZoom(3);
    QCOMPARE(w.preview(), Magnified(scene, 3));

    // SAVE is disabled, so its key does nothing; no dialog was asked for.
    QTest::keyClick(&w.window, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.window.editor().messages.isEmpty());
    QCOMPARE(w.dialogs.unanswered, 0);
}

void TestWindow::controlsMadeWhenNeededTakeTheirPlace()
{
    QTemporaryDir dir;
    Window w;
    const QSize windowSize = w.window.size();
    // Before a skin: each row draws its slots as a disabled, empty field of
    // the same group draws itself (the operator's transparency is one).
    auto* operatorRow = Child<FieldRow>(w.window, QStringLiteral("fieldRow_0"));
    const QImage row = Rgb(operatorRow->grab().toImage());
    const QImage alpha = Rgb(w.field(QStringLiteral("txt_4"))->grab().toImage());
    QCOMPARE(operatorRow->slotRect(0).size(), alpha.size());
    for (int slot = 0; slot < 4; ++slot)
        QCOMPARE(row.copy(operatorRow->slotRect(slot)), alpha);

    std::map<int, QRect> places;  // where each field will be, in window coordinates
    for (int k = 0; k < kElementCount; ++k) {
        auto* fieldRow = Child<FieldRow>(w.window, QStringLiteral("fieldRow_%1").arg(k));
        QVERIFY(!fieldRow->filled());
        for (int slot = 0; slot < 4; ++slot)
            places[kLayoutElements[k].firstTxt + slot] =
                fieldRow->slotRect(slot).translated(fieldRow->mapTo(&w.window, QPoint(0, 0)));
    }
    QCOMPARE(places.size(), size_t(4 * kElementCount));

    // The wallpaper list is not made before a skin; its slot keeps its room.
    QVERIFY(!w.window.findChild<QListWidget*>(QStringLiteral("FileDesktop")));
    QWidget* listSlot = Child<QWidget>(w.window, QStringLiteral("FileDesktopSlot"));
    const QRect listPlace(listSlot->mapTo(&w.window, QPoint(0, 0)), listSlot->size());

    // The upper smart key's slots name their coordinate before any field exists.
    auto* upper = Child<FieldRow>(w.window, QStringLiteral("fieldRow_%1").arg(kElementUpperKey));
    QHelpEvent tip(QEvent::ToolTip, upper->slotRect(1).center(), upper->mapToGlobal(upper->slotRect(1).center()));
    QCoreApplication::sendEvent(upper, &tip);
    QCOMPARE(QToolTip::text(), QStringLiteral("Y1"));
    QToolTip::hideText();

    // With a skin, every field is made where its frame was, and the window
    // keeps its size.
    w.openCopyOfSample(dir.path());
    QVERIFY2(w.window.editor().doc.L_Values.count() > 0, "the sample did not open");
    QCOMPARE(w.window.size(), windowSize);
    for (const auto& [i, place] : places) {
        FieldEdit* f = w.field(QStringLiteral("txt_%1").arg(i));
        QVERIFY(f->isVisible());
        QCOMPARE(QRect(f->mapTo(&w.window, QPoint(0, 0)), f->size()), place);
        QCOMPARE(f->text(), w.window.editor().txt[i].text);
    }
    // So is the wallpaper list, showing the core's files, between the zoom
    // and the wallpaper switch in the keyboard's order.
    QVERIFY(!w.window.findChild<QWidget*>(QStringLiteral("FileDesktopSlot")));
    auto* list = Child<QListWidget>(w.window, QStringLiteral("FileDesktop"));
    QCOMPARE(list->isVisible(), w.window.editor().FileDesktop.visible);
    QCOMPARE(QRect(list->mapTo(&w.window, QPoint(0, 0)), list->size()), listPlace);
    QCOMPARE(list->count(), w.window.editor().FileDesktop.files.size());
    auto focusable = [](QWidget* from, bool forward) {
        QWidget* w = from;
        do
            w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        return w;
    };
    QCOMPARE(focusable(list, false), Child<QWidget>(w.window, QStringLiteral("zoom")));
    QCOMPARE(focusable(list, true), Child<QWidget>(w.window, QStringLiteral("chkWallPaper")));

    // Tab goes from an element's check box through its four fields in order,
    // then on to the fields made with the window.
    QStringList order;
    for (QWidget* next = Child<QCheckBox>(w.window, QStringLiteral("optPos_0"))->nextInFocusChain();
         order.size() < 5; next = next->nextInFocusChain())
        if (qobject_cast<FieldEdit*>(next))
            order << next->objectName();
    QCOMPARE(order, (QStringList{QStringLiteral("txt_0"), QStringLiteral("txt_1"), QStringLiteral("txt_2"),
                                 QStringLiteral("txt_3"), QStringLiteral("txt_4")}));
    // A key reaches a made field through the core like any other.
    FieldEdit* x1 = w.field(QStringLiteral("txt_0"));
    x1->setFocus();
    x1->selectAll();
    QTest::keyClicks(x1, QStringLiteral("7"));
    QCOMPARE(w.window.editor().txt[0].text, QStringLiteral("7"));
    QCOMPARE(x1->text(), QStringLiteral("7"));
}

void TestWindow::opensAndShowsTheSample()
{
    QTemporaryDir dir;
    Window w;
    w.openCopyOfSample(dir.path());
    Editor& e = w.window.editor();
    QVERIFY2(e.doc.L_Values.count() > 0, "the sample did not open");
    QVERIFY(w.dialogs.files.empty());

    QCOMPARE(w.status(), e.status);
    QVERIFY(w.status().startsWith(QStringLiteral("Skin: ")));
    QVERIFY(w.status().endsWith(QStringLiteral("varavave.ski")));
    for (int i = 0; i < kTabCount; ++i)
        QVERIFY(w.tabs()->isTabEnabled(i));
    QVERIFY(w.action(QStringLiteral("SAVE"))->isEnabled());

    // Each list shows the core's rows, in the model and in the view.
    const std::pair<const char*, const Table*> tables[] = {
        {"L_Values", &e.doc.L_Values}, {"L_RGBA", &e.doc.L_RGBA}, {"L_Dim", &e.doc.L_Dim}};
    for (const auto& [name, table] : tables) {
        QTableView* view = w.table(QString::fromLatin1(name));
        QVERIFY2(table->count() > 0, name);
        QCOMPARE(view->model()->rowCount(), table->count());
        QCOMPARE(view->verticalHeader()->count(), table->count());
        // The colour table shows one more column: a swatch of each row's colour.
        const bool swatches = table == &e.doc.L_RGBA;
        QCOMPARE(view->model()->columnCount(), table->headers().size() + (swatches ? 1 : 0));
        for (int c = 0; c < table->headers().size(); ++c)
            QCOMPARE(view->model()->headerData(c, Qt::Horizontal).toString(), table->headers().at(c));
        const int last = table->count();
        QCOMPARE(view->model()->index(last - 1, 0).data().toString(), table->text(last, 0));
        QCOMPARE(view->model()->index(last - 1, 1).data().toString(), table->text(last, 1));
    }
    auto* tree = Child<QTreeView>(w.window, QStringLiteral("T_Strutt"));
    QCOMPARE(TreeRows(tree->model(), QModelIndex()), e.doc.T_Strutt.count());
    QCOMPARE(tree->model()->index(0, 0).data().toString(), QStringLiteral("SKI1"));
    QVERIFY(tree->isExpanded(tree->model()->index(0, 0)));

    // The element fields show the rectangles the renderer filled.
    for (int i : {0, 1, 2, 3, 6, 14, 17, 49}) {
        FieldEdit* f = w.field(QStringLiteral("txt_%1").arg(i));
        QCOMPARE(f->text(), e.txt[i].text);
        QCOMPARE(f->isEnabled(), e.txt[i].enabled);
    }
    QVERIFY(!e.txt[0].text.isEmpty());
    QCOMPARE(Child<QRadioButton>(w.window, QStringLiteral("optTime_0"))->isChecked(), e.optTime[0].checked);
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicTxtColor1"))->colour(), e.PicTxtColor1.colour);
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicTxtColor1"))->isEnabled(), e.PicTxtColor1.enabled);
    QCOMPARE(Child<velluno::window::Swatch>(w.window, QStringLiteral("PicBGColor1"))->colour(), e.PicBGColor1.colour);
    auto* wallpapers = Child<QListWidget>(w.window, QStringLiteral("FileDesktop"));
    QCOMPARE(wallpapers->count(), e.FileDesktop.files.size());
    QCOMPARE(wallpapers->currentRow(), e.FileDesktop.selected);

    // The preview is the core's canvas, at 1:1 and doubled.
    const QImage scene = Rgb(RenderScene(e.canvas));
    w.window.setZoom(1);
    QCOMPARE(w.preview(), scene);
    w.window.setZoom(2);
    QCOMPARE(w.preview(), Magnified(scene, 2));

    // Tab changes go through the core: status bar and LOAD follow.
    w.tabs()->tabBar()->setCurrentIndex(1);
    QCOMPARE(e.tab, 1);
    QCOMPARE(w.status(), QStringLiteral("N° oggetti definiti in elenco: %1").arg(e.doc.L_Values.count()));
    QVERIFY(!w.action(QStringLiteral("LOAD"))->isEnabled());
    QTest::keyClick(&w.window, Qt::Key_O, Qt::ControlModifier);  // LOAD greyed: no dialog
    QCOMPARE(w.dialogs.unanswered, 0);
    w.tabs()->tabBar()->setCurrentIndex(2);
    QCOMPARE(w.status(), QStringLiteral("N° colori definiti in elenco: %1").arg(e.doc.L_RGBA.count()));
    w.tabs()->tabBar()->setCurrentIndex(4);
    QCOMPARE(w.status(), QString());

    // "Esporta tutto": the rows change state and the panel gets its pictures.
    w.tabs()->tabBar()->setCurrentIndex(1);
    QTest::mouseClick(Child<QPushButton>(w.window, QStringLiteral("cmdExportAll")), Qt::LeftButton);
    QTableView* values = w.table(QStringLiteral("L_Values"));
    int states = 0;
    for (int r = 1; r <= e.doc.L_Values.count(); ++r) {
        const QString state = values->model()->index(r - 1, ColState).data().toString();
        QCOMPARE(state, e.doc.L_Values.row(r).cell(ColState));
        states += state == kStateExtracted || state == kStateReplace;
    }
    QVERIFY(states > 0);
    auto* released = Child<ObjectPictureButton>(w.window, QStringLiteral("Pic_630"));
    QCOMPARE(released->isEnabled(), e.Pic.at(630).enabled);
    QCOMPARE(released->picture().isNull(), e.Pic.at(630).picture.isNull());
    w.tabs()->tabBar()->setCurrentIndex(0);
    QCOMPARE(w.preview(), Magnified(Rgb(RenderScene(e.canvas)), 2));

    // A header click re-sorts the graphic objects through the core.
    QHeaderView* header = values->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ColBytes) + 5, header->height() / 2));
    QCOMPARE(e.doc.L_Values.sortColumn(), int(ColBytes));
    QCOMPARE(header->sortIndicatorSection(), int(ColBytes));
    for (int r = 1; r <= e.doc.L_Values.count(); ++r)
        QCOMPARE(values->model()->index(r - 1, 0).data().toString(), e.doc.L_Values.row(r).key());
}

void TestWindow::fieldsShowOnlyWhatTheCoreAccepts()
{
    QTemporaryDir dir;
    Window w;
    w.openCopyOfSample(dir.path());
    Editor& e = w.window.editor();

    // The step field: one digit at most, letters refused by the key filter.
    FieldEdit* step = w.field(QStringLiteral("txtOffSet"));
    QVERIFY(step->isEnabled());
    step->setFocus();
    step->end(false);
    QTest::keyClick(step, Qt::Key_Backspace);
    QCOMPARE(e.txtOffSet.text, QString());
    QTest::keyClicks(step, QStringLiteral("a-5 7"));
    QCOMPARE(e.txtOffSet.text, QStringLiteral("5"));
    QCOMPARE(step->text(), QStringLiteral("5"));

    // A position field: whatever its handler does, the widget shows the core.
    FieldEdit* y1 = w.field(QStringLiteral("txt_1"));
    y1->setFocus();
    y1->end(false);
    QTest::keyClicks(y1, QStringLiteral("x5"));
    QCOMPARE(y1->text(), e.txt[1].text);
    QVERIFY(e.txt[1].text.endsWith(QLatin1Char('5')));

    // Keys typed inside the text meet the key filter and the maximum length;
    // the caret follows the core's edit.
    FieldEdit* alpha = w.field(QStringLiteral("txt_4"));
    QVERIFY(alpha->isEnabled());
    alpha->setFocus();
    alpha->selectAll();
    QTest::keyClicks(alpha, QStringLiteral("7"));
    QCOMPARE(e.txt[4].text, QStringLiteral("7"));
    alpha->setCursorPosition(0);
    QTest::keyClicks(alpha, QStringLiteral("a1"));
    QCOMPARE(e.txt[4].text, QStringLiteral("17"));
    QCOMPARE(alpha->cursorPosition(), 1);

    // A paste meets the key filter as typed keys do, like the script's set,
    // and is cut to the field's length.
    alpha->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("1a2b34"));
    QTest::keyClick(alpha, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.txt[4].text, QStringLiteral("123"));
    QCOMPARE(alpha->text(), e.txt[4].text);

    // A disabled field takes nothing.
    e.txt[50].enabled = false;
    w.window.refresh();
    QTest::keyClicks(w.field(QStringLiteral("txt_50")), QStringLiteral("9"));
    QCOMPARE(e.txt[50].text, QString());
}

void TestWindow::switchesAndListsDriveTheCore()
{
    QTemporaryDir dir;
    Window w;
    w.openCopyOfSample(dir.path());
    Editor& e = w.window.editor();

    // The wallpaper box: unticking removes the wallpaper and greys the list.
    auto* box = Child<QCheckBox>(w.window, QStringLiteral("chkWallPaper"));
    QVERIFY(box->isEnabled());
    QVERIFY(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!e.chkWallPaper.checked);
    QVERIFY(!Child<QListWidget>(w.window, QStringLiteral("FileDesktop"))->isEnabled());
    QCOMPARE(w.preview(), Magnified(Rgb(RenderScene(e.canvas)), w.window.zoom()));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(e.chkWallPaper.checked);
    QCOMPARE(Child<QListWidget>(w.window, QStringLiteral("FileDesktop"))->currentRow(), e.FileDesktop.selected);

    // The clock style: the buttons mirror the core's choice.
    auto* analogue = Child<QRadioButton>(w.window, QStringLiteral("optTime_1"));
    auto* digital = Child<QRadioButton>(w.window, QStringLiteral("optTime_0"));
    QVERIFY(analogue->isEnabled());
    QTest::mouseClick(analogue, Qt::LeftButton);
    QCOMPARE(analogue->isChecked(), e.optTime[1].checked);
    QCOMPARE(digital->isChecked(), e.optTime[0].checked);
    QCOMPARE(w.preview(), Magnified(Rgb(RenderScene(e.canvas)), w.window.zoom()));

    // Element ticks are kept by the core for the move tools.
    auto* tick = Child<QCheckBox>(w.window, QStringLiteral("optPos_11"));
    QCOMPARE(tick->toolTip(), QStringLiteral("Attiva, per spostare"));
    QTest::mouseClick(tick, Qt::LeftButton);
    QVERIFY(e.optPos[11].checked);

    // A row clicked in a list becomes the table's selection.
    w.tabs()->tabBar()->setCurrentIndex(2);
    QTableView* colours = w.table(QStringLiteral("L_RGBA"));
    QVERIFY(e.doc.L_RGBA.count() >= 3);
    const QRect third = colours->visualRect(colours->model()->index(2, 1));
    QTest::mouseClick(colours->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(e.doc.L_RGBA.selected(), 3);
    // ... and a selection the core makes shows in the view.
    e.doc.L_RGBA.select(1);
    w.window.refresh();
    QCOMPARE(colours->selectionModel()->currentIndex().row(), 0);

    // The rectangle view draws what the core lists.
    e.PicOBJ.append(QRect(QPoint(10, 20), QPoint(30, 40)));
    w.window.refresh();
    const QImage obj = Rgb(Child<CanvasView>(w.window, QStringLiteral("PicOBJ"))->grab().toImage());
    QCOMPARE(obj.pixelColor(20, 30), QColor(0, 0, 255));
    QCOMPARE(obj.pixelColor(10, 20), QColor(0, 0, 0));
    QCOMPARE(obj.pixelColor(30, 40), QColor(0, 0, 0));
    QCOMPARE(obj.pixelColor(31, 41), QColor(255, 255, 255));
}

void TestWindow::closingAsksFirst()
{
    Window w;
    w.dialogs.answers.push_back(Answer::No);
    QVERIFY(!w.window.close());
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.window.editor().messages.size(), 1);
    QCOMPARE(w.window.editor().messages.last().text, QStringLiteral("Confermi l'uscita da Velluno ?"));
    QCOMPARE(w.window.editor().messages.last().title, QStringLiteral("Domanda:"));

    w.dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(&w.window, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.window.isVisible());
    // Asked once for the key, not again by the window's own closing.
    QCOMPARE(w.window.editor().messages.size(), 2);
    QCOMPARE(w.dialogs.unanswered, 0);
}

void TestWindow::rowMarksIconsAndColours()
{
    // Every picture of the image list exists and differs from the others.
    QList<QImage> pictures;
    for (int n : {2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
        const QImage image = IconListImage(n);
        QCOMPARE(image.size(), QSize(kIconListSize, kIconListSize));
        for (const QImage& other : pictures)
            QVERIFY2(image != other, qPrintable(QString::number(n)));
        pictures << image;
    }
    QVERIFY(IconListImage(0).isNull());
    QVERIFY(IconListImage(1).isNull());
    QVERIFY(IconListImage(5).isNull());
    QVERIFY(IconList(4).isNull());
    // The pictures drawn when the program was built show as their drawing
    // code draws them now: the toolbar and arrow pictures, each a picture of
    // its own, and the application icon at every size it offers (any other
    // size is drawn when asked for).
    QList<QImage> tools;
    for (int n = 0; n < kToolPictureCount; ++n) {
        const QImage drawn = DrawToolPicture(ToolPicture(n));
        const QImage shown = ToolIcon(ToolPicture(n)).pixmap(kToolPictureSize).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
        for (const QImage& other : tools)
            QVERIFY2(drawn != other, qPrintable(QString::number(n)));
        tools << drawn;
    }
    const QIcon appIcon = AppIcon();
    QCOMPARE(appIcon.availableSizes().size(), kAppIconSizeCount);
    for (const int side : {16, 24, 32, 48, 64, 128}) {
        const QImage shown = appIcon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(shown == AppIconImage(side), qPrintable(QString::number(side)));
    }

    // The table adapter reads the rows as they are, marks included.
    Table table({QStringLiteral("ID"), QStringLiteral("A")});
    const int n = table.addRow(QStringLiteral("0562"));
    table.row(n).setCell(1, QStringLiteral("x"));
    table.row(n).colour = kRed;
    table.row(n).icon = IconMissing;
    TableModel model(table);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("x"));
    QCOMPARE(model.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QVERIFY(!model.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(model.index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             IconListImage(IconMissing));
    QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
    // Edits made by a handler show after a refresh, without a new model.
    MarkToReplace(table.row(n));
    table.row(n).setCell(1, QStringLiteral("y"));
    model.refresh();
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("y"));
    QCOMPARE(model.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QVERIFY(model.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    table.addRow(QStringLiteral("0563"));
    QCOMPARE(model.rowCount(), 1);  // not yet told
    model.refresh();
    QCOMPARE(model.rowCount(), 2);

    // The tree adapter: sections bold under the root, edited nodes blue.
    Tree tree;
    tree.add(QStringLiteral("SKI1"), 0, IconRoot, false, QString());
    const int section = tree.add(QStringLiteral("0 41 98"), 1, IconSection, true, QString());
    const int record = tree.add(QStringLiteral("4 44 54 72 0"), section, IconType4, false,
                                QStringLiteral("0 41 98_1"));
    TreeModel treeModel(tree);
    const QModelIndex root = treeModel.index(0, 0);
    QCOMPARE(treeModel.rowCount(), 1);
    QCOMPARE(treeModel.rowCount(root), 1);
    const QModelIndex sectionIndex = treeModel.index(0, 0, root);
    QVERIFY(sectionIndex.data(Qt::FontRole).value<QFont>().bold());
    const QModelIndex recordIndex = treeModel.index(0, 0, sectionIndex);
    QCOMPARE(treeModel.node(recordIndex), record);
    QCOMPARE(treeModel.parent(recordIndex), sectionIndex);
    tree.node(record).colour = kBlue;
    tree.setText(record, QStringLiteral("4 1 2 3 0"));
    treeModel.refresh();
    QCOMPARE(recordIndex.data().toString(), QStringLiteral("4 1 2 3 0"));
    QCOMPARE(recordIndex.data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(recordIndex.data(Qt::ToolTipRole).toString(), QStringLiteral("0 41 98_1"));
}

void TestWindow::qtDialogsFollowTheConventions()
{
    QWidget parent;
    QtDialogs dialogs(&parent);
    QString seen;
    auto answerWith = [&](QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [&, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                seen = QStringLiteral("no box");
                return;
            }
            seen = box->windowTitle() + QLatin1Char('|') + QString::number(box->icon()) +
                   QLatin1Char('|') +
                   QString::number(box->defaultButton() ? box->standardButton(box->defaultButton()) : 0);
            box->button(press)->click();
        });
    };
    answerWith(QMessageBox::Yes);
    QCOMPARE(dialogs.message(QStringLiteral("Confermi?"), QStringLiteral("Domanda:"), MsgIcon::Question,
                             MsgButtons::YesNo),
             Answer::Yes);
    QCOMPARE(seen, QStringLiteral("Domanda:|%1|%2").arg(int(QMessageBox::Question)).arg(int(QMessageBox::No)));
    answerWith(QMessageBox::No);
    QCOMPARE(dialogs.message(QStringLiteral("Confermi?"), QStringLiteral("Domanda:"), MsgIcon::Question,
                             MsgButtons::YesNo),
             Answer::No);
    answerWith(QMessageBox::Ok);
    QCOMPARE(dialogs.message(QStringLiteral("Formato"), QStringLiteral("Errore:"), MsgIcon::Stop,
                             MsgButtons::Ok),
             Answer::Ok);
    QVERIFY(seen.startsWith(QStringLiteral("Errore:|%1|").arg(int(QMessageBox::Critical))));
    answerWith(QMessageBox::Ok);
    dialogs.message(QStringLiteral("x"), QStringLiteral("Attenzione:"), MsgIcon::Exclamation, MsgButtons::Ok);
    QVERIFY(seen.startsWith(QStringLiteral("Attenzione:|%1|").arg(int(QMessageBox::Warning))));
}

void TestWindow::filtersColoursAndPages()
{
    QCOMPARE(QtFileFilter(QStringLiteral("Skin file (*.ski)|*.ski")), QStringLiteral("Skin file (*.ski)"));
    QCOMPARE(QtFileFilter(QStringLiteral("Immagini|*.JPG;*.GIF")), QStringLiteral("Immagini (*.JPG *.GIF)"));
    QCOMPARE(QtFileFilter(QStringLiteral("GIF (*.gif)|*.gif|Tutti|*.*")),
             QStringLiteral("GIF (*.gif);;Tutti (*.*)"));
    QCOMPARE(QtFileFilter(QStringLiteral("Immagini (*.JPG;*.GIF)|*.JPG;*.GIF")),
             QStringLiteral("Immagini (*.JPG *.GIF)"));

    QCOMPARE(ColourValue(18, 52, 86), quint32(18 + 52 * 256 + 86 * 65536));
    QCOMPARE(ColourValue(255, 0, 0), quint32(255));
    QCOMPARE(ColourOf(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(ColourOf(0x563412), QColor(0x12, 0x34, 0x56));

    // The pane shows the file the editor names beside its page, blanks and all.
    QueuedDialogs d;
    Editor e(d);
    AniGIF(e, QStringLiteral("/tmp/a folder/562.gif"));
    QCOMPARE(e.WBImage, QStringLiteral("/tmp/a folder/562.gif"));
    NoGIF(e);
    QCOMPARE(e.WBImage, QString());

    // A GIF written by the test shows in the pane.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("6.gif"));
    velluno::test::WriteFile(path, velluno::test::SolidGif(7, 5, qRgb(255, 0, 0)));
    GifPane pane;
    AniGIF(e, path);
    pane.setImage(e.WBImage);
    QCOMPARE(pane.shownFile(), path);
    QVERIFY(pane.movie() || !pane.pixmap().isNull());
    NoGIF(e);
    pane.setImage(e.WBImage);
    QVERIFY(pane.pixmap().isNull());
    QVERIFY(!pane.movie());
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
