#pragma once
// The main window `frmDesktop`: a thin view over the editor. Every widget
// event is a user action performed through the editor's action table, then
// refresh() shows the editor's state again; no editing rule lives here.
#include "editor/actions.h"
#include "editor/controls.h"
#include "editor/editor.h"
#include "editor/presentation.h"
#include "window/qtdialogs.h"

#include <QHash>
#include <QSet>
#include <QMainWindow>
#include <QStringList>
#include <map>
#include <memory>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QFileSystemWatcher;
class QTimer;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QToolButton;
class QTreeView;

namespace velluno::window {

// The look the program starts with, set once the application exists: the
// classic style with fully hinted text (when `classicStyle`; the user may
// have chosen another style), and captions drawn without the font's
// shaping rules. The window's texts are short Latin captions, for which
// those rules only adjust the spacing of a few letter pairs, and shaping
// them was a tenth of the time to the first frame; a script that needs its
// rules still gets them. The phone's preview draws with its own font
// settings and is not touched.
void UseProgramLook(bool classicStyle);

class CanvasView;
class FieldEdit;
class FieldRow;
class GifPane;
class ObjectPictureButton;
class Swatch;
class TableModel;
class TreeModel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers the editor's dialogs and message boxes; without it
    // the window shows Qt's own. Starts the editor up.
    explicit MainWindow(Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    Editor& editor() { return editor_; }

    // Shows everything the editor holds: title, tabs, toolbar, status bar,
    // fields, switches, swatches, buttons, lists and canvases.
    void refresh();

    // Fills the five pages after the preview; done by the first handler that
    // runs, since those pages stay disabled until a skin is open.
    void ensurePages();
    bool pagesBuilt() const { return pagesBuilt_; }

    // The canvas magnification, 1 to 3.
    void setZoom(int zoom);
    int zoom() const;

    // Opens a skin named on the command line (`velluno FILE.ski`).
    void openSkin(const QString& path);

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the rows of L_Values.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A skin dropped anywhere on the window.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Performs one user action through the editor's action table, then
    // shows the new state.
    ActionResult act(const UserAction& action);
    // Binds a widget to control `name` (and its index): its clicks are that
    // control's clicks, and refresh() shows the control's state in it.
    void bind(QWidget* widget, const char* name, int index = 0);
    void connectClick(QAbstractButton* button, const char* name, int index = 0);

    void buildToolbar();
    void buildPreviewTab(QWidget* page);
    void buildObjectsTab(QWidget* page);
    void buildColoursTab(QWidget* page);
    void buildDimensionsTab(QWidget* page);
    void buildStructureTab(QWidget* page);
    void buildInfoTab(QWidget* page);
    // The four position fields of layout element k, in a row of `parent`
    // that makes them when they first show a value (fillFieldRows).
    QHBoxLayout* fieldGroup(QWidget* parent, int k);
    void fillFieldRows();
    FieldEdit* makeField(QWidget* parent, FieldRef ref, const QString& name, const QString& tip = QString());
    // Every field's size: four digits in the style's frame.
    QSize fieldSize();
    Swatch* makeSwatch(QWidget* parent, const char* name, const QString& tip);
    // A list table; `forms` holds the widest text of each column in its
    // known form ("" for a column of any text), see FitColumns.
    QTableView* makeTable(TableKind kind, TableModel*& model, const QString& name, const QStringList& forms);

    void toolbarClick(const QString& key);
    // `selected`: the display row selected, 0 for none; `reveal`: a row to
    // scroll into view, 0 for none.
    void refreshTable(QTableView* view, TableModel* model, int selected, int& shownSelection, int reveal = 0);
    // Every widget bound to a control shows the control's state.
    void refreshControls();
    void refreshPages();
    void refreshTabs();
    void refreshWallpaperList();
    // Makes the wallpaper list in the place its slot has kept.
    void makeWallpaperList();
    void refreshRectangleView();
    // The canvas: the preview, or the phone's screen, whose clock is read
    // again at each new minute while it shows.
    void refreshCanvas();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous enabled tab.
    void stepTab(int by);
    // Watches the image files the rows point at (and their folders, where
    // image editors replace a file by a new one); `again` lists them anew
    // even when the rows name the same files.
    void watchImages(bool again);
    void imagesChanged();

    std::unique_ptr<QtDialogs> qtDialogs_;
    QSize fieldSize_;
    bool pagesBuilt_ = false;
    Editor editor_;

    QTabWidget* SSTab1_ = nullptr;
    QLabel* SB0_ = nullptr;
    QLabel* statusNote_ = nullptr;  // at the right end of the status bar
    std::map<QString, QAction*> TB0_;
    // The widgets bound to controls, by name and index.
    std::map<std::pair<QString, int>, QWidget*> bound_;

    // Preview tab
    CanvasView* PicDesktop_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QListWidget* FileDesktop_ = nullptr;  // null until it first has something to show
    QWidget* wallpaperSlot_ = nullptr;     // its place until then
    QStringList shownWallpapers_;
    QString shownWallpaperFolder_;
    FieldRow* fieldRows_[kElementCount] = {};
    QTimer* phoneClock_ = nullptr;  // made when the phone first shows
    // The window's size when it left each zoom for a larger one: what it
    // goes back to when the zoom comes down again.
    QSize sizeAtZoom_[4];

    // Graphic-objects tab
    QTableView* L_Values_ = nullptr;
    TableModel* valuesModel_ = nullptr;
    int valuesSelection_ = 0;
    GifPane* WB_ = nullptr;
    QLabel* lInfo_ = nullptr;

    // Colour tab
    QTableView* L_RGBA_ = nullptr;
    TableModel* rgbaModel_ = nullptr;
    int rgbaSelection_ = 0;

    // Dimension tab
    QTableView* L_Dim_ = nullptr;
    TableModel* dimModel_ = nullptr;
    int dimSelection_ = 0;
    CanvasView* PicOBJ_ = nullptr;

    // Structure tab
    QTreeView* T_Strutt_ = nullptr;
    TreeModel* treeModel_ = nullptr;

    // Live images: the files watched, with their size and modification
    // time when last seen, so that a change of a folder redraws only when
    // one of the images in it changed.
    QFileSystemWatcher* imageWatcher_ = nullptr;
    QTimer* imageSettle_ = nullptr;
    QStringList watchedRows_;
    QHash<QString, QPair<qint64, qint64>> imageStamps_;
    QSet<QString> changedImages_;  // files the watcher named since the last redraw
};

}  // namespace velluno::window
