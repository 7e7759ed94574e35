#include "window/mainwindow.h"

#include "editor/colours.h"
#include "editor/elements.h"
#include "editor/objects.h"
#include "editor/opensave.h"
#include "editor/phone.h"
#include "editor/positions.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "skin/files.h"
#include "render/scene.h"
#include "window/classicstyle.h"
#include "window/fontconfigload.h"
#include "window/icons.h"
#include "window/models.h"
#include "window/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMimeData>
#include <QTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHelpEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleOptionFrame>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QFrame>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>

namespace velluno::window {

namespace {

// Position fields of the eight smart-key elements, element k from 2 to 9.
const char* const kSmartKeyCaptions[8] = {"Superiore:", "Sup. (Premuto):", "Inferiore:",
                                          "Inf. (Premuto):",  "Sinistro:",
                                          "Sin. (Premuto):",  "Destro:",
                                          "Des (Premuto):"};

const QString kMoveTip = QStringLiteral("Attiva, per spostare");

QLabel* Caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// The wallpaper list's height, which its slot keeps until the list is made.
constexpr int kWallpaperListHeight = 84;

void Tight(QLayout* layout)
{
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
}

// Fits a table's columns to their texts, and each at least to the widest
// text it can hold in its known form (`forms`, one per column, "" for a
// column of any text) drawn in bold: a row marked edited later, or a number
// that grows at a save, still fits without widening the column.
void FitColumns(QTableView* view, const QStringList& forms)
{
    view->resizeColumnsToContents();
    QFont bold = view->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The item view's room around a text, and the icon of the key column.
    const int margin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 2;
    const int icon = view->iconSize().width() + 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    QHeaderView* header = view->horizontalHeader();
    for (int column = 0; column < forms.size() && column < header->count(); ++column) {
        if (forms.at(column).isEmpty() || header->sectionResizeMode(column) == QHeaderView::Stretch)
            continue;
        const int width = metrics.horizontalAdvance(forms.at(column)) + margin + (column == 0 ? icon : 0);
        if (width > view->columnWidth(column))
            view->setColumnWidth(column, width);
    }
}

// The width a line edit needs to show `text` whole: the text, the two
// pixels QLineEdit keeps on each side of it and a caret, in the frame the
// style draws around the field.
int LineEditWidth(QLineEdit* edit, const QString& text)
{
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
    const QMargins margins = edit->textMargins();
    const QSize contents(edit->fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right(),
                         edit->fontMetrics().height());
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &frame, contents, edit).width();
}

// The busy pointer, for the length of a handler that may take a while
// (reading every container, a render per moved element).
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A field's size: four digits and room around them, as tall as the style
// makes a line edit.
QSize MeasureField(const FieldEdit& edit)
{
    return QSize(edit.fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12, edit.sizeHint().height());
}

// The preview's tooltips: what the element under the mouse is and which
// colour rows draw it, in canvas pixels whatever the magnification.
class CanvasTips : public QObject {
public:
    CanvasTips(const Editor& editor, CanvasView* view) : QObject(view), editor_(editor), view_(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != view_ || event->type() != QEvent::ToolTip)
            return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        const int zoom = view_->zoom();
        const QString tip = CanvasTip(editor_, help->pos().x() / zoom, help->pos().y() / zoom);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, view_);
        return true;
    }

private:
    const Editor& editor_;
    CanvasView* view_;
};

}  // namespace

void UseProgramLook(bool classicStyle)
{
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    if (classicStyle) {
        QApplication::setStyle(new ClassicStyle);
        // Glyphs fitted to whole pixels, as the classic look had them: each
        // is drawn once for every place it stands at, where the font's light
        // default drew it again for each quarter of a pixel it could start
        // at, a fifth of the first frame.
        font.setHintingPreference(QFont::PreferFullHinting);
    }
    QApplication::setFont(font);
}

ActionResult MainWindow::act(const UserAction& action)
{
    ensurePages();
    // The busy pointer while a handler may take a while: reading every
    // container, every default image, a skin.
    std::optional<BusyPointer> busy;
    const Control* control = FindControl(action.target);
    if ((action.kind == UserAction::Kind::Click || action.kind == UserAction::Kind::Toolbar) && control &&
        control->slow)
        busy.emplace();
    const ActionResult result = Perform(editor_, action);
    busy.reset();
    refresh();
    // The keyboard goes where the action sends it, once its message boxes
    // have closed.
    if (!editor_.view.focus.isEmpty())
        if (QWidget* target = findChild<QWidget*>(editor_.view.focus))
            target->setFocus(Qt::OtherFocusReason);
    return result;
}

void MainWindow::bind(QWidget* widget, const char* name, int index)
{
    bound_[{QLatin1String(name), index}] = widget;
}

void MainWindow::connectClick(QAbstractButton* button, const char* name, int index)
{
    bind(button, name, index);
    const QString target = QLatin1String(name);
    connect(button, &QAbstractButton::clicked, this, [this, target, index] { act(UserAction::click(target, index)); });
}

MainWindow::MainWindow(Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      qtDialogs_(std::make_unique<QtDialogs>(this)),
      editor_(dialogs ? *dialogs : static_cast<Dialogs&>(*qtDialogs_))
{
    // The message boxes that close an action show over its result.
    editor_.beforeMessages = [this] { refresh(); };
    setObjectName(QStringLiteral("frmDesktop"));
    setWindowIcon(AppIcon());
    // A skin dropped on the window from a file manager opens as LOAD opens it.
    setAcceptDrops(true);

    buildToolbar();

    // The tab bar measures its captions as they are added: the first font
    // the window asks for.
    FontConfigurationLoad::wait();
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    // The pages go in empty and are filled in place: a page filled first
    // would be measured as it is added, and measured again when the window
    // is shown. The other five pages are filled when first needed
    // (ensurePages): they stay disabled until a skin is open, and building
    // them now would only delay the first window.
    const char* const captions[] = {"Preview skin", "Oggetti grafici", "Colori", "Posizione e dimesione oggetti",
                                    "Struttura", "Opzioni / Informazioni"};
    for (const char* caption : captions)
        SSTab1_->addTab(new QWidget(this), QString::fromUtf8(caption));
    // The preview's controls are made in the state the window starts in
    // (every tab disabled): a control made inside a disabled page is
    // disabled as it is made, while disabling a filled page tells each of
    // its hundred controls one by one.
    StartUp(editor_);
    refreshTabs();
    buildPreviewTab(SSTab1_->widget(0));
    setCentralWidget(SSTab1_);
    connect(SSTab1_, &QTabWidget::currentChanged, this,
            [this](int tab) { act(UserAction::of(UserAction::Kind::Tab, QString(), tab)); });

    SB0_ = new QLabel(this);
    SB0_->setObjectName(QStringLiteral("SB0"));
    statusBar()->addWidget(SB0_, 1);
    // The status text stays the one the handlers write; what the window
    // lacks, and which command gives it, stands apart at the right end.
    statusNote_ = new QLabel(this);
    statusNote_->setObjectName(QStringLiteral("statusNote"));
    statusBar()->addPermanentWidget(statusNote_);
    statusBar()->setSizeGripEnabled(false);

    setZoom(2);
    refresh();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------- building

void MainWindow::buildToolbar()
{
    // A row of tool buttons rather than a QToolBar: the toolbar's overflow
    // button alone costs more at start-up than the rest of this strip, and
    // three buttons never overflow.
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("TB0"));
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    struct ButtonDef {
        const char* key;
        const char* caption;
        const char* tip;
        ToolPicture picture;
        QKeySequence keys;
    };
    const ButtonDef buttons[] = {
        {"LOAD", "Apri...", "Apri un file *.ski...", ToolPicture::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"SAVE", "Salva", "Salva le modifiche...", ToolPicture::Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"CLOSE", "Termina", "Esci da Velluno", ToolPicture::Close, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    bool first = true;
    for (const ButtonDef& def : buttons) {
        if (!first) {
            auto* separator = new QFrame(strip);
            separator->setFrameShape(QFrame::VLine);
            separator->setFrameShadow(QFrame::Sunken);
            layout->addWidget(separator);
        }
        first = false;
        const QString key = QString::fromLatin1(def.key);
        auto* action = new QAction(ToolIcon(def.picture), QString::fromUtf8(def.caption), this);
        // A tool button shows the icon text, which Qt makes from the text
        // without its dots: "Apri..." keeps them.
        action->setIconText(QString::fromUtf8(def.caption));
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(def.tip));
        // A disabled action ignores its keys as it ignores clicks.
        action->setShortcut(def.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, key] { toolbarClick(key); });
        TB0_[key] = action;
        auto* button = new QToolButton(strip);
        button->setObjectName(QStringLiteral("TB0_") + key);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setIconSize(QSize(24, 24));
        button->setFocusPolicy(Qt::NoFocus);
        button->setDefaultAction(action);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    setMenuWidget(strip);

    // Undo and redo have no button: their keys work wherever the focus is.
    const struct {
        const char* name;
        UserAction::Kind kind;
        QList<QKeySequence> keys;
    } history[] = {
        {"Annulla", UserAction::Kind::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {"Ripristina", UserAction::Kind::Redo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
    };
    for (const auto& h : history) {
        auto* action = new QAction(QString::fromUtf8(h.name), this);
        action->setObjectName(QString::fromUtf8(h.name));
        action->setShortcuts(h.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const UserAction::Kind kind = h.kind;
        connect(action, &QAction::triggered, this, [this, kind] { act(UserAction::of(kind)); });
    }
    // The tabs from the keyboard, wherever the focus is: a table or a field
    // would take Ctrl+Tab for itself.
    const struct {
        const char* name;
        int by;
        QList<QKeySequence> keys;
    } tabKeys[] = {
        {"SchedaSeguente", 1, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}},
        {"SchedaPrecedente", -1,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}},
    };
    for (const auto& t : tabKeys) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromUtf8(t.name));
        action->setShortcuts(t.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const int by = t.by;
        connect(action, &QAction::triggered, this, [this, by] { stepTab(by); });
    }
}

void MainWindow::stepTab(int by)
{
    // Disabled tabs are passed over, as the tab bar passes over them.
    for (int i = 1; i < kTabCount; ++i) {
        const int tab = ((editor_.tab + by * i) % kTabCount + kTabCount) % kTabCount;
        if (editor_.tabsEnabled[tab]) {
            act(UserAction::of(UserAction::Kind::Tab, QString(), tab));
            return;
        }
    }
}

FieldEdit* MainWindow::makeField(QWidget* parent, FieldRef ref, const QString& name, const QString& tip)
{
    auto* edit = new FieldEdit(parent);
    edit->setObjectName(name);
    // The first field made is measured itself; no probe is needed then.
    if (fieldSize_.isEmpty())
        fieldSize_ = MeasureField(*edit);
    edit->setFixedWidth(fieldSize_.width());
    edit->setAlignment(Qt::AlignRight);
    if (!tip.isEmpty())
        edit->setToolTip(tip);
    // Every key and every paste goes to the editor, which decides what the
    // field holds; the caret goes where the editor's edit left it.
    auto editField = [this, ref, edit](UserAction action) {
        action.target = QLatin1String(FieldControlName(ref.kind));
        action.index = ref.kind == FieldKind::Numbered ? ref.index : 0;
        edit->placeCaret(act(action).caret);
    };
    connect(edit, &FieldEdit::keysTyped, this, [editField](const QString& keys, int from, int length) {
        UserAction a = UserAction::of(UserAction::Kind::Type);
        for (const QChar key : keys)
            a.keys.append(key.unicode());
        a.from = from;
        a.length = length;
        editField(a);
    });
    connect(edit, &FieldEdit::pasted, this, [editField](const QString& text, int from, int length) {
        UserAction a = UserAction::of(UserAction::Kind::Paste);
        a.text = text;
        a.from = from;
        a.length = length;
        editField(a);
    });
    bind(edit, FieldControlName(ref.kind), ref.kind == FieldKind::Numbered ? ref.index : 0);
    return edit;
}

QSize MainWindow::fieldSize()
{
    if (fieldSize_.isEmpty()) {
        const FieldEdit probe;
        fieldSize_ = MeasureField(probe);
    }
    return fieldSize_;
}

Swatch* MainWindow::makeSwatch(QWidget* parent, const char* name, const QString& tip)
{
    auto* swatch = new Swatch(parent);
    swatch->setObjectName(QLatin1String(name));
    swatch->setToolTip(tip);
    swatch->setFixedSize(swatch->sizeHint());
    connectClick(swatch, name);
    return swatch;
}

QHBoxLayout* MainWindow::fieldGroup(QWidget* parent, int k)
{
    const int first = kLayoutElements[k].firstField;
    // The upper smart key's fields name their coordinate.
    const QStringList tips = k == kElementUpperKey ? QStringList{QStringLiteral("X1"), QStringLiteral("Y1"),
                                                                 QStringLiteral("X2"), QStringLiteral("Y2")}
                                                   : QStringList();
    auto* row = new FieldRow(
        4, fieldSize(), 3, tips,
        [this, first, tips](QWidget* parent, int slot) {
            const int i = first + slot;
            return makeField(parent, NumberedField(i), QStringLiteral("txt_%1").arg(i), tips.value(slot));
        },
        parent);
    row->setObjectName(QStringLiteral("fieldRow_%1").arg(k));
    fieldRows_[k] = row;
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(row);
    layout->addStretch(1);
    return layout;
}

void MainWindow::fillFieldRows()
{
    const Editor& e = editor_;
    for (int k = 0; k < kElementCount; ++k) {
        if (!fieldRows_[k] || fieldRows_[k]->filled())
            continue;
        const int first = kLayoutElements[k].firstField;
        for (int i = first; i < first + 4; ++i)
            if (e.preview.fields[i].enabled || !e.preview.fields[i].text.isEmpty()) {
                fieldRows_[k]->fill();
                break;
            }
    }
}

void MainWindow::buildPreviewTab(QWidget* page)
{
    auto* columns = new QHBoxLayout(page);
    Tight(columns);

    // -- the canvas and its magnification
    auto* canvasColumn = new QVBoxLayout;
    PicDesktop_ = new CanvasView(page);
    PicDesktop_->setObjectName(QStringLiteral("PicDesktop"));
    PicDesktop_->installEventFilter(new CanvasTips(editor_, PicDesktop_));
    // An element is dragged by its outline; which elements a drag moves and
    // the move itself are the core's, on release. The phone has no outlines
    // to drag: its screen takes presses of its soft keys.
    PicDesktop_->setDragSource([this](const QPoint& pixel) {
        QVector<QRect> outlines;
        if (editor_.phone.on.checked)
            return outlines;
        for (int k : PlanDrag(editor_, pixel.x(), pixel.y()).elements) {
            QRect box;
            if (ElementBox(editor_, k, &box))
                outlines << box;
        }
        return outlines;
    });
    connect(PicDesktop_, &CanvasView::pressed, this, [this](const QPoint& pixel) {
        if (!editor_.phone.on.checked)
            return;
        UserAction a = UserAction::of(UserAction::Kind::Press);
        a.x1 = pixel.x();
        a.y1 = pixel.y();
        act(a);
    });
    connect(PicDesktop_, &CanvasView::released, this, [this] {
        if (editor_.phone.pressed >= 0)
            act(UserAction::of(UserAction::Kind::Release));
    });
    connect(PicDesktop_, &CanvasView::dragged, this, [this](const QPoint& from, const QPoint& to) {
        UserAction a = UserAction::of(UserAction::Kind::Drag);
        a.x1 = from.x();
        a.y1 = from.y();
        a.x2 = to.x();
        a.y2 = to.y();
        act(a);
    });
    // The arrow keys on the focused canvas are the four move buttons.
    connect(PicDesktop_, &CanvasView::arrowPressed, this, [this](int key) {
        const char* name = key == Qt::Key_Up     ? "cmdMoveUp"
                           : key == Qt::Key_Down ? "cmdMoveDown"
                           : key == Qt::Key_Left ? "cmdMoveLeft"
                                                 : "cmdMoveRight";
        act(UserAction::click(QLatin1String(name)));
    });
    canvasColumn->addWidget(PicDesktop_);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(new QLabel(QStringLiteral("Zoom:"), page));
    zoomBox_ = new QComboBox(page);
    zoomBox_->setObjectName(QStringLiteral("zoom"));
    zoomBox_->addItems({QStringLiteral("1x"), QStringLiteral("2x"), QStringLiteral("3x")});
    zoomRow->addWidget(zoomBox_);
    zoomRow->addSpacing(8);
    auto* phone = new QCheckBox(QStringLiteral("Telefono"), page);
    phone->setObjectName(QStringLiteral("chkTelefono"));
    phone->setToolTip(QStringLiteral("Mostra la preview come il telefono: senza cornici, con l'ora "
                                     "corrente e i tasti che si premono col mouse"));
    connectClick(phone, "chkTelefono");
    zoomRow->addWidget(phone);
    zoomRow->addStretch(1);
    canvasColumn->addLayout(zoomRow);
    canvasColumn->addStretch(1);
    columns->addLayout(canvasColumn);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, [this](int i) { setZoom(i + 1); });

    // -- button graphics, wallpaper, move tools
    auto* middle = new QVBoxLayout;
    auto* panel = new QGroupBox(QStringLiteral("Grafica pulsanti principali:"), page);
    auto* panelGrid = new QGridLayout(panel);
    Tight(panelGrid);
    const struct {
        const char* caption;
        int objects[4];
    } panelRows[] = {{"Disabilitati:", {652, 674, 664, 0}},
                     {"Rilasciati:", {630, 632, 634, 675}},
                     {"Premuti:", {631, 633, 635, 0}}};
    for (int r = 0; r < 3; ++r) {
        panelGrid->addWidget(Caption(QString::fromUtf8(panelRows[r].caption), panel), r, 0);
        for (int c = 0; c < 4; ++c) {
            const int n = panelRows[r].objects[c];
            if (n == 0)
                continue;
            auto* pic = new ObjectPictureButton(n, panel);
            pic->setObjectName(QStringLiteral("Pic_%1").arg(n));
            connectClick(pic, "Pic", n);
            panelGrid->addWidget(pic, r, c + 1, Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    panelGrid->setColumnStretch(5, 1);
    middle->addWidget(panel);

    auto* wallpaper = new QGroupBox(QStringLiteral("Sfondo / Wallpaper:"), page);
    auto* wallGrid = new QGridLayout(wallpaper);
    Tight(wallGrid);
    // The wallpaper list stays hidden until a skin is open, and a list view
    // is among the dearest controls to make, lay out and tear down: an empty
    // slot keeps its room and its place in the keyboard's order until the
    // list first has something to show (makeWallpaperList).
    wallpaperSlot_ = new QWidget(wallpaper);
    wallpaperSlot_->setObjectName(QStringLiteral("FileDesktopSlot"));
    wallpaperSlot_->setFixedHeight(kWallpaperListHeight);
    wallGrid->addWidget(wallpaperSlot_, 0, 0, 1, 3);
    auto* showWallpaper = new QCheckBox(QStringLiteral("Mostra / Nascondi"), wallpaper);
    showWallpaper->setObjectName(QStringLiteral("chkWallPaper"));
    wallGrid->addWidget(showWallpaper, 1, 0);
    connectClick(showWallpaper, "chkWallPaper");
    QLabel* caption = Caption(QStringLiteral("Colore:"), wallpaper);
    caption->setObjectName(QStringLiteral("lbl_0"));
    bind(caption, "lbl0");
    wallGrid->addWidget(caption, 1, 1, Qt::AlignRight);
    wallGrid->addWidget(makeSwatch(wallpaper, "PicBGColor1", QStringLiteral("Colore di sfondo dello schermo")), 1, 2);
    middle->addWidget(wallpaper);

    auto* move = new QGroupBox(QStringLiteral("Move Tools:"), page);
    auto* moveGrid = new QGridLayout(move);
    Tight(moveGrid);
    auto arrow = [&](ToolPicture picture, const QString& name) {
        auto* button = new QToolButton(move);
        button->setObjectName(name);
        button->setIcon(ToolIcon(picture));
        button->setIconSize(QSize(20, 20));
        button->setAutoRepeat(false);
        return button;
    };
    auto arrowAt = [&](ToolPicture picture, const char* name, int row, int column) {
        QToolButton* button = arrow(picture, QLatin1String(name));
        connectClick(button, name);
        moveGrid->addWidget(button, row, column, Qt::AlignCenter);
    };
    arrowAt(ToolPicture::Up, "cmdMoveUp", 0, 1);
    arrowAt(ToolPicture::Left, "cmdMoveLeft", 1, 0);
    moveGrid->addWidget(makeField(move, {FieldKind::MoveStep, 0}, QStringLiteral("txtOffSet"),
                                  QStringLiteral("Spostamento in pixel...")),
                        1, 1, Qt::AlignCenter);
    arrowAt(ToolPicture::Right, "cmdMoveRight", 1, 2);
    arrowAt(ToolPicture::Down, "cmdMoveDown", 2, 1);
    auto* redraw = new QPushButton(QStringLiteral("Aggiorna"), move);
    redraw->setObjectName(QStringLiteral("cmdUpdate"));
    redraw->setToolTip(QStringLiteral("Aggiorna la visualizzazione del desktop..."));
    connectClick(redraw, "cmdUpdate");
    moveGrid->addWidget(redraw, 0, 3, 3, 1, Qt::AlignCenter);
    moveGrid->setColumnStretch(4, 1);
    middle->addWidget(move);
    middle->addStretch(1);
    columns->addLayout(middle);

    // -- the element groups
    auto* right = new QVBoxLayout;
    auto positionCheck = [&](int k, const QString& caption, QWidget* parent, bool tip) {
        auto* check = new QCheckBox(caption, parent);
        check->setObjectName(QStringLiteral("optPos_%1").arg(k));
        if (tip)
            check->setToolTip(kMoveTip);
        connectClick(check, "optPos", k);
        return check;
    };
    auto textGroup = [&](const QString& title, int k, int alpha, const char* swatchName, const QString& swatchTip) {
        auto* group = new QGroupBox(title, page);
        auto* grid = new QGridLayout(group);
        Tight(grid);
        grid->addWidget(positionCheck(k, QStringLiteral("Pos. (x1,y1,x2,y2):"), group, true), 0, 0);
        grid->addLayout(fieldGroup(group, k), 0, 1);
        auto* second = new QHBoxLayout;
        second->addWidget(Caption(QStringLiteral("Trasparenza:"), group));
        second->addWidget(makeField(group, NumberedField(alpha), QStringLiteral("txt_%1").arg(alpha)));
        second->addSpacing(12);
        second->addWidget(Caption(QStringLiteral("Colore:"), group));
        second->addWidget(makeSwatch(group, swatchName, swatchTip));
        second->addStretch(1);
        grid->addLayout(second, 1, 0, 1, 2);
        return group;
    };
    right->addWidget(textGroup(QStringLiteral("Testo (Operatore):"), kElementOperator, kOperatorAlphaField,
                               "PicTxtColor1", QStringLiteral("Colore del testo operatore")));
    right->addWidget(textGroup(QStringLiteral("Testo (Data corrente):"), kElementDate, kDateAlphaField,
                               "PicTxtColor2", QStringLiteral("Colore del testo data")));

    auto* clock = new QGroupBox(QStringLiteral("Orologio:"), page);
    auto* clockGrid = new QGridLayout(clock);
    Tight(clockGrid);
    auto* styles = new QHBoxLayout;
    const char* const styleNames[2] = {"Digitale", "Analogico"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(styleNames[i]), clock);
        option->setObjectName(QStringLiteral("optTime_%1").arg(i));
        // The core decides which style is selected; the buttons only mirror it.
        option->setAutoExclusive(false);
        connectClick(option, "optTime", i);
        styles->addWidget(option);
    }
    styles->addStretch(1);
    clockGrid->addLayout(styles, 0, 0, 1, 2);
    clockGrid->addWidget(positionCheck(kElementDigitalClock, QStringLiteral("(x1,y1,x2,y2):"), clock, true), 1, 0);
    clockGrid->addLayout(fieldGroup(clock, kElementDigitalClock), 1, 1);
    clockGrid->addWidget(positionCheck(kElementAnalogueClock, QStringLiteral("Pos. (x1,y1,x2,y2):"), clock, true), 2, 0);
    clockGrid->addLayout(fieldGroup(clock, kElementAnalogueClock), 2, 1);
    auto* hands = new QHBoxLayout;
    hands->addWidget(Caption(QStringLiteral("Minuti:"), clock));
    hands->addWidget(makeField(clock, {FieldKind::MinuteLength, 0}, QStringLiteral("txtMin"),
                               QStringLiteral("Lunghezza (in pixel) della lancetta dei minuti")));
    hands->addWidget(makeSwatch(clock, "PicMin", QStringLiteral("Colore della lancetta dei minuti")));
    hands->addSpacing(12);
    hands->addWidget(Caption(QStringLiteral("Ore:"), clock));
    hands->addWidget(makeField(clock, {FieldKind::HourLength, 0}, QStringLiteral("txtOra"),
                               QStringLiteral("Lunghezza (in pixel) della lancetta delle ore")));
    hands->addWidget(makeSwatch(clock, "PicOre", QStringLiteral("Colore della lancetta delle ore")));
    hands->addStretch(1);
    clockGrid->addLayout(hands, 3, 0, 1, 2);
    right->addWidget(clock);

    auto* keys = new QGroupBox(QStringLiteral("Posizione (Tasti smart) x1,y1,x2,y2:"), page);
    auto* keyGrid = new QGridLayout(keys);
    Tight(keyGrid);
    keyGrid->setVerticalSpacing(2);
    for (int k = 2; k <= 9; ++k) {
        keyGrid->addWidget(positionCheck(k, QString::fromUtf8(kSmartKeyCaptions[k - 2]), keys, k == 2),
                           k - 2, 0);
        keyGrid->addLayout(fieldGroup(keys, k), k - 2, 1);
    }
    right->addWidget(keys);
    right->addStretch(1);
    columns->addLayout(right);
    columns->addStretch(1);
}

QTableView* MainWindow::makeTable(TableKind kind, TableModel*& model, const QString& name, const QStringList& forms)
{
    auto* view = new ListTable(this);
    view->setObjectName(name);
    model = new TableModel(editor_.doc, kind, view);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setIconSize(QSize(kIconListSize, kIconListSize));
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setHighlightSections(false);
    view->setWordWrap(false);
    view->setShowGrid(false);
    view->setAlternatingRowColors(true);
    // Every column as wide as its texts, none stretched to fill the view.
    view->horizontalHeader()->setStretchLastSection(false);
    connect(model, &QAbstractItemModel::modelReset, view, [view, forms] { FitColumns(view, forms); });
    FitColumns(view, forms);

    // A row picked with the mouse or the keyboard is a click on that row.
    connect(view, &ListTable::rowClicked, this,
            [this, name](int row) { act(UserAction::of(UserAction::Kind::Row, name, row + 1)); });
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, name](int column) {
        act(UserAction::of(UserAction::Kind::Header, name, column + 1));
    });
    return view;
}

void MainWindow::buildObjectsTab(QWidget* page)
{
    auto* columns = new QHBoxLayout(page);
    Tight(columns);
    // Keys, links, states and slots have a known form; the image path takes
    // the room left, shortened in the middle, whole in its tooltip.
    const QString number = QStringLiteral("0000000");
    const QString replace = StateWord(ImageState::ToReplace), missing = StateWord(ImageState::NotFound);
    L_Values_ = makeTable(TableKind::Objects, valuesModel_, QStringLiteral("L_Values"),
                          {QStringLiteral("0000"), QStringLiteral("00_000000"), QStringLiteral("00"), number, number,
                           replace.size() > missing.size() ? replace : missing, QString(), QStringLiteral("0000")});
    L_Values_->horizontalHeader()->setSectionResizeMode(ColPath, QHeaderView::Stretch);
    L_Values_->setTextElideMode(Qt::ElideMiddle);
    valuesModel_->setWholeTextTips(ColPath);
    L_Values_->horizontalHeader()->setSortIndicatorShown(true);
    L_Values_->horizontalHeader()->setSectionsClickable(true);
    columns->addWidget(L_Values_, 1);

    auto* side = new QVBoxLayout;
    // The drop of a file on a row is Importa with that file.
    L_Values_->viewport()->setAcceptDrops(true);
    L_Values_->viewport()->installEventFilter(this);

    WB_ = new GifPane(page);
    WB_->setObjectName(QStringLiteral("WB"));
    WB_->setFixedSize(180, 224);
    side->addWidget(WB_);
    lInfo_ = new QLabel(page);
    lInfo_->setObjectName(QStringLiteral("lInfo"));
    side->addWidget(lInfo_);
    auto add = [&](QAbstractButton* b, const char* name) {
        b->setObjectName(QLatin1String(name));
        side->addWidget(b);
        connectClick(b, name);
    };
    add(new QPushButton(QStringLiteral("Esporta tutto"), page), "cmdExportAll");
    add(new QPushButton(QStringLiteral("Importa..."), page), "cmdImport");
    add(new QPushButton(QStringLiteral("Default"), page), "cmdDefault");
    add(new QPushButton(QStringLiteral("Skin di default"), page), "cmdDefaultAll");
    add(new QCheckBox(QStringLiteral("Verifica dimensioni"), page), "chkDim");
    add(new QCheckBox(QStringLiteral("Richiedi conferma"), page), "chkConferma");
    side->addStretch(1);
    columns->addLayout(side);
}

void MainWindow::buildColoursTab(QWidget* page)
{
    auto* columns = new QHBoxLayout(page);
    Tight(columns);
    L_RGBA_ = makeTable(TableKind::Colours, rgbaModel_, QStringLiteral("L_RGBA"),
                        {QStringLiteral("0000"), QStringLiteral("000"), QStringLiteral("000"), QStringLiteral("000"),
                         QStringLiteral("000"), QStringLiteral("0000")});
    // Each row's colour beside its numbers, drawn as the preview draws it.
    rgbaModel_->setSwatchColumn(QStringLiteral("Colore"), [this](int n) { return RowColour(editor_.doc.colours.row(n)); });
    // Edited rows turn bold: the narrow number columns follow their texts.
    L_RGBA_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    columns->addWidget(L_RGBA_, 1);
    auto* side = new QVBoxLayout;
    auto* frame = new QGroupBox(QStringLiteral("Preview colore:"), page);
    auto* grid = new QGridLayout(frame);
    Tight(grid);
    Swatch* swatch = makeSwatch(frame, "PicColor", QStringLiteral("Colore oggetto, clicca per cambiare..."));
    swatch->setFixedSize(96, 64);
    grid->addWidget(swatch, 0, 0, 1, 2);
    grid->addWidget(Caption(QStringLiteral("Trasparenza:"), frame), 1, 0);
    grid->addWidget(makeField(frame, NumberedField(kRowAlphaField), QStringLiteral("txt_%1").arg(kRowAlphaField)), 1, 1);
    side->addWidget(frame);
    auto* load = new QPushButton(QStringLiteral("Carica i colori di default (pavonel)"), page);
    load->setObjectName(QStringLiteral("cmdLoadColors"));
    connectClick(load, "cmdLoadColors");
    side->addWidget(load);
    side->addStretch(1);
    columns->addLayout(side);
}

void MainWindow::buildDimensionsTab(QWidget* page)
{
    auto* columns = new QHBoxLayout(page);
    Tight(columns);
    const QString coordinate = QStringLiteral("000");
    L_Dim_ = makeTable(TableKind::Rectangles, dimModel_, QStringLiteral("L_Dim"),
                       {QStringLiteral("0000"), coordinate, coordinate, coordinate, coordinate, coordinate, coordinate,
                        QStringLiteral("0000")});
    columns->addWidget(L_Dim_, 1);
    auto* side = new QVBoxLayout;
    PicOBJ_ = new CanvasView(page);
    PicOBJ_->setObjectName(QStringLiteral("PicOBJ"));
    side->addWidget(PicOBJ_);
    auto* clear = new QCheckBox(QStringLiteral("Pulitura automatica"), page);
    clear->setObjectName(QStringLiteral("chkCls"));
    side->addWidget(clear);
    side->addStretch(1);
    columns->addLayout(side);
    connectClick(clear, "chkCls");
}

void MainWindow::buildStructureTab(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    Tight(layout);
    T_Strutt_ = new QTreeView(page);
    T_Strutt_->setObjectName(QStringLiteral("T_Strutt"));
    treeModel_ = new TreeModel(editor_.doc.structure, T_Strutt_);
    T_Strutt_->setModel(treeModel_);
    connect(T_Strutt_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (const int k = treeModel_->node(index))
            act(UserAction::of(UserAction::Kind::Node, QString(), k));
    });
    T_Strutt_->setHeaderHidden(true);
    T_Strutt_->setUniformRowHeights(true);
    T_Strutt_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    T_Strutt_->setSelectionMode(QAbstractItemView::SingleSelection);
    T_Strutt_->setIconSize(QSize(kIconListSize, kIconListSize));
    // A freshly read skin shows its sections under the open root.
    connect(treeModel_, &QAbstractItemModel::modelReset, T_Strutt_,
            [this] { T_Strutt_->expand(treeModel_->index(0, 0)); });
    layout->addWidget(T_Strutt_);
}

void MainWindow::buildInfoTab(QWidget* page)
{
    auto* layout = new QGridLayout(page);
    Tight(layout);
    auto* picture = new QLabel(page);
    picture->setPixmap(AppIcon().pixmap(64));
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(Caption(QStringLiteral("Per informazioni suggerimenti:"), page), 0, 1);
    const QString contacts[2] = {
        QStringLiteral("Progetto Velluno: segnalazioni e proposte nel registro del progetto"),
        QStringLiteral("Posta: velluno@example.org")};
    for (int i = 0; i < 2; ++i) {
        auto* field = new QLineEdit(contacts[i], page);
        field->setObjectName(QStringLiteral("contact_%1").arg(i));
        field->setReadOnly(true);
        // As wide as the longer text, shown from its start.
        field->setMinimumWidth(LineEditWidth(field, contacts[0].size() > contacts[1].size() ? contacts[0] : contacts[1]));
        field->setCursorPosition(0);
        layout->addWidget(field, i + 1, 1);
    }
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(3, 1);
}

void MainWindow::ensurePages()
{
    if (pagesBuilt_)
        return;
    pagesBuilt_ = true;
    buildObjectsTab(SSTab1_->widget(1));
    buildColoursTab(SSTab1_->widget(2));
    buildDimensionsTab(SSTab1_->widget(3));
    buildStructureTab(SSTab1_->widget(4));
    buildInfoTab(SSTab1_->widget(5));
}

// ---------------------------------------------------------------- events

void MainWindow::toolbarClick(const QString& key)
{
    act(UserAction::of(UserAction::Kind::Toolbar, key));
    if (editor_.closed)
        close();
}

void MainWindow::setVisible(bool visible)
{
    // The window's size limits are worked out before its native window
    // exists, so they go with its creation: laid out only when shown, the
    // window would change them on a native window just made, which a
    // platform that cannot take such a change reports as a warning. A
    // control that has never been shown does not tell its layout when its
    // size changes (a skin opened before the first show sets pictures and
    // texts), so every layout is worked out anew from the sizes of now.
    if (visible && !testAttribute(Qt::WA_WState_Created)) {
        ensurePolished();
        for (QWidget* inner : findChildren<QWidget*>())
            inner->updateGeometry();
        for (QLayout* inner : findChildren<QLayout*>())
            inner->invalidate();
        layout()->activate();
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!editor_.closed) {
        act(UserAction::of(UserAction::Kind::WindowClose));
        if (!editor_.closed) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void MainWindow::setZoom(int zoom)
{
    zoom = qBound(1, zoom, 3);
    {
        const QSignalBlocker block(zoomBox_);
        zoomBox_->setCurrentIndex(zoom - 1);
    }
    const int before = PicDesktop_->zoom();
    PicDesktop_->setZoom(zoom);
    if (!isVisible() || zoom == before)
        return;
    // A larger canvas: the layouts make the room themselves.
    if (zoom > before) {
        sizeAtZoom_[before] = size();
        for (int z = before + 1; z <= zoom; ++z)
            sizeAtZoom_[z] = QSize();
        return;
    }
    // A smaller one: the window goes back to the size it had at this zoom,
    // once the layouts know the room the canvas needs now (at once, rather
    // than at their next pass, which would leave the window as large).
    const QSize back = sizeAtZoom_[zoom].isValid() ? sizeAtZoom_[zoom] : size();
    for (int z = zoom; z <= before; ++z)
        sizeAtZoom_[z] = QSize();
    for (QWidget* w = PicDesktop_->parentWidget(); w; w = w->parentWidget()) {
        if (QLayout* l = w->layout()) {
            l->invalidate();
            l->activate();
        }
        w->updateGeometry();  // the size its parent's layout keeps of it
    }
    resize(back.expandedTo(minimumSizeHint()));
}

int MainWindow::zoom() const
{
    return PicDesktop_->zoom();
}

// ---------------------------------------------------------------- refresh

void MainWindow::refreshTable(QTableView* view, TableModel* model, int selected, int& shownSelection, int reveal)
{
    const QSignalBlocker block(view->selectionModel());
    model->refresh();
    if (selected >= 1 && selected <= model->rowCount()) {
        const QModelIndex index = model->index(selected - 1, 0);
        view->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (selected != shownSelection && reveal == 0)
            view->scrollTo(index);
    } else {
        view->selectionModel()->clear();
    }
    if (reveal >= 1 && reveal <= model->rowCount())
        view->scrollTo(model->index(reveal - 1, 0));
    shownSelection = selected;
}

void MainWindow::refreshTabs()
{
    // A tab bar shows another tab when the one shown is disabled while
    // another is enabled, and each such switch lays out and hides or shows a
    // page: the tab shown is enabled first and disabled last.
    const Editor& e = editor_;
    const QSignalBlocker block(SSTab1_);
    const int shown = qBound(0, e.tab, kTabCount - 1);
    SSTab1_->setCurrentIndex(shown);
    if (e.tabsEnabled[shown])
        SSTab1_->setTabEnabled(shown, true);
    for (int i = 0; i < kTabCount; ++i)
        if (i != shown && SSTab1_->isTabEnabled(i) != e.tabsEnabled[i])
            SSTab1_->setTabEnabled(i, e.tabsEnabled[i]);
    if (!e.tabsEnabled[shown])
        SSTab1_->setTabEnabled(shown, false);
    SSTab1_->setCurrentIndex(shown);
}

void MainWindow::makeWallpaperList()
{
    QWidget* previous = PreviousFocusable(wallpaperSlot_);
    FileDesktop_ = new QListWidget(wallpaperSlot_->parentWidget());
    FileDesktop_->setObjectName(QStringLiteral("FileDesktop"));
    FileDesktop_->setFixedHeight(kWallpaperListHeight);
    QSizePolicy keep = FileDesktop_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    FileDesktop_->setSizePolicy(keep);
    delete wallpaperSlot_->parentWidget()->layout()->replaceWidget(wallpaperSlot_, FileDesktop_);
    delete wallpaperSlot_;
    wallpaperSlot_ = nullptr;
    if (previous)
        QWidget::setTabOrder(previous, FileDesktop_);
    connect(FileDesktop_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            act(UserAction::of(UserAction::Kind::Select, QStringLiteral("FileDesktop"), row));
    });
}

void MainWindow::refreshWallpaperList()
{
    const FileList& list = editor_.preview.wallpapers;
    if (!FileDesktop_) {
        if (!list.visible && list.files.isEmpty())
            return;
        makeWallpaperList();
    }
    const QSignalBlocker block(FileDesktop_);
    if (list.files != shownWallpapers_ || list.folder != shownWallpaperFolder_) {
        FileDesktop_->clear();
        FileDesktop_->addItems(list.files);
        shownWallpapers_ = list.files;
        shownWallpaperFolder_ = list.folder;
    }
    if (list.selected >= 0 && list.selected < FileDesktop_->count()) {
        FileDesktop_->setCurrentRow(list.selected);
    } else {
        FileDesktop_->setCurrentRow(-1);
        FileDesktop_->clearSelection();
    }
    FileDesktop_->setVisible(list.visible);
    FileDesktop_->setEnabled(list.enabled);
}

void MainWindow::refreshRectangleView()
{
    PicOBJ_->setCanvas(RenderRectangles(editor_.rectangles));
}

void MainWindow::refreshControls()
{
    Editor& e = editor_;
    for (const auto& [key, widget] : bound_) {
        const Control* c = FindControl(key.first);
        if (!c)
            continue;
        const int i = key.second;
        if (c->field) {
            auto* edit = static_cast<FieldEdit*>(widget);
            const QSignalBlocker block(edit);
            const Field& f = *c->field(e, i);
            edit->showText(f.text);
            edit->setEnabled(f.enabled);
        } else if (c->check) {
            auto* box = static_cast<QAbstractButton*>(widget);
            const QSignalBlocker block(box);
            box->setChecked(c->check(e, i)->checked);
            box->setEnabled(c->check(e, i)->enabled);
        } else if (c->swatch) {
            auto* swatch = static_cast<Swatch*>(widget);
            swatch->setColour(c->swatch(e, i)->colour);
            swatch->setEnabled(c->swatch(e, i)->enabled);
        } else if (c->kind == ControlKind::Picture) {
            const auto it = e.preview.panel.find(i);
            auto* picture = static_cast<ObjectPictureButton*>(widget);
            picture->setPicture(it == e.preview.panel.end() ? QImage() : it->second.picture);
            picture->setEnabled(IsEnabled(e, *c, i));
        } else {
            widget->setEnabled(IsEnabled(e, *c, i));
        }
    }
    for (const auto& [key, action] : TB0_)
        action->setEnabled(IsEnabled(e, *FindControl(key), 0));
    TB0_.at(QStringLiteral("LOAD"))->setToolTip(LoadTip(e));
}

void MainWindow::refresh()
{
    const Editor& e = editor_;
    bool anyPageEnabled = false;
    for (int i = 1; i < kTabCount; ++i)
        anyPageEnabled = anyPageEnabled || e.tabsEnabled[i];
    if (anyPageEnabled || e.tab != 0)
        ensurePages();

    setWindowTitle(e.title);
    refreshTabs();
    SB0_->setText(e.status);
    // Worked out from the rows when shown, not at every action: it reads
    // every row of the object table.
    const QString note = ImagesNote(e);
    statusNote_->setText(note);
    statusNote_->setVisible(!note.isEmpty());
    // Fields: the text the core holds, never what the widget would have made.
    fillFieldRows();
    refreshControls();
    refreshWallpaperList();
    refreshCanvas();

    if (pagesBuilt_)
        refreshPages();
}

void MainWindow::refreshCanvas()
{
    const Editor& e = editor_;
    if (!e.phone.on.checked) {
        // Off, the phone costs nothing: no timer runs.
        if (phoneClock_)
            phoneClock_->stop();
        PicDesktop_->setCanvas(RenderScene(e.preview.scene));
        return;
    }
    PicDesktop_->setCanvas(RenderScene(PhoneScene(e)));
    if (!phoneClock_) {
        phoneClock_ = new QTimer(this);
        phoneClock_->setObjectName(QStringLiteral("phoneClock"));
        phoneClock_->setSingleShot(true);
        phoneClock_->setTimerType(Qt::PreciseTimer);
        connect(phoneClock_, &QTimer::timeout, this, [this] { act(UserAction::of(UserAction::Kind::Tick)); });
    }
    phoneClock_->start(MsecsToNextMinute(e));
}

void MainWindow::refreshPages()
{
    const Editor& e = editor_;
    lInfo_->setText(e.imageSize);
    WB_->setImage(e.objectPageImage);
    refreshRectangleView();

    refreshTable(L_Values_, valuesModel_, e.doc.objects.findId(e.selected.object), valuesSelection_,
                 e.doc.objects.findId(e.view.objectRow));
    {
        QHeaderView* header = L_Values_->horizontalHeader();
        const QSignalBlocker block(header);
        header->setSortIndicator(e.objectSort, Qt::AscendingOrder);
    }
    refreshTable(L_RGBA_, rgbaModel_, e.doc.colours.findId(e.selected.colour), rgbaSelection_);
    refreshTable(L_Dim_, dimModel_, e.doc.rectangles.findId(e.selected.rectangle), dimSelection_);
    treeModel_->refresh();
    watchImages(false);
}

// ---------------------------------------------------------------- drops and live images

namespace {

// The first local file of a drag, empty when it carries none.
QString DroppedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

// A file's size and modification time, or (-1, 0) when it is no file.
QPair<qint64, qint64> Stamp(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {-1, 0};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

}  // namespace

void MainWindow::openSkin(const QString& path)
{
    UserAction a = UserAction::of(UserAction::Kind::Open);
    a.text = path;
    act(a);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (IsSkinFileName(DroppedFile(event->mimeData())))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString file = DroppedFile(event->mimeData());
    if (!IsSkinFileName(file)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    UserAction a = UserAction::of(UserAction::Kind::Drop, QStringLiteral("frmDesktop"));
    a.text = file;
    act(a);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!L_Values_ || watched != L_Values_->viewport())
        return QMainWindow::eventFilter(watched, event);
    // A skin goes on to the window, wherever it is dropped.
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        IsSkinFileName(DroppedFile(static_cast<QDropEvent*>(event)->mimeData())))
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        const bool onRow = L_Values_->indexAt(drag->position().toPoint()).isValid();
        if (onRow && !DroppedFile(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QModelIndex index = L_Values_->indexAt(drop->position().toPoint());
        const QString file = DroppedFile(drop->mimeData());
        if (!index.isValid() || file.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        UserAction a = UserAction::of(UserAction::Kind::Drop, QStringLiteral("L_Values"), index.row() + 1);
        a.text = file;
        act(a);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void MainWindow::watchImages(bool again)
{
    const QStringList rows = ImageFilesOfRows(editor_);
    if (!again && rows == watchedRows_)
        return;
    watchedRows_ = rows;
    if (!imageWatcher_) {
        imageWatcher_ = new QFileSystemWatcher(this);
        imageSettle_ = new QTimer(this);
        imageSettle_->setSingleShot(true);
        // An image editor writes a file in several steps: one redraw after
        // the last of them, well within a second.
        imageSettle_->setInterval(150);
        connect(imageSettle_, &QTimer::timeout, this, &MainWindow::imagesChanged);
        connect(imageWatcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& file) {
            changedImages_.insert(file);
            imageSettle_->start();
        });
        connect(imageWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] { imageSettle_->start(); });
    }
    QStringList files;
    QStringList folders;
    QHash<QString, QPair<qint64, qint64>> stamps;
    for (const QString& row : rows) {
        const QString file = ResolveFile(row);
        const QPair<qint64, qint64> stamp = Stamp(file);
        stamps.insert(file, stamp);
        if (stamp.first < 0)
            continue;
        files << file;
        const QString folder = QFileInfo(file).absolutePath();
        if (!folders.contains(folder))
            folders << folder;
    }
    imageStamps_ = stamps;
    const QStringList wanted = files + folders;
    const QSet<QString> wantedSet(wanted.cbegin(), wanted.cend());
    QStringList gone;
    for (const QString& path : imageWatcher_->files() + imageWatcher_->directories())
        if (!wantedSet.contains(path))
            gone << path;
    if (!gone.isEmpty())
        imageWatcher_->removePaths(gone);
    QStringList added;
    const QStringList watching = imageWatcher_->files() + imageWatcher_->directories();
    const QSet<QString> present(watching.cbegin(), watching.cend());
    for (const QString& path : wanted)
        if (!present.contains(path))
            added << path;
    if (!added.isEmpty())
        imageWatcher_->addPaths(added);
}

void MainWindow::imagesChanged()
{
    // A file replaced by a new one drops out of the watcher: list them anew.
    const QHash<QString, QPair<qint64, qint64>> before = imageStamps_;
    const QSet<QString> signalled = changedImages_;
    changedImages_.clear();
    watchImages(true);
    if (signalled.isEmpty() && imageStamps_ == before)
        return;  // the folder changed, none of the images in it
    act(UserAction::of(UserAction::Kind::FilesChanged));
    if (editor_.objectPageImage.isEmpty())
        return;
    const QString shown = ResolveFile(editor_.objectPageImage);
    if (signalled.contains(shown) || before.value(shown) != imageStamps_.value(shown))
        WB_->reload();
}

}  // namespace velluno::window
