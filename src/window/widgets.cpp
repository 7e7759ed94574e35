#include "window/widgets.h"

#include "render/imageguard.h"
#include "skin/files.h"
#include "window/models.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMovie>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <QtMath>

namespace velluno::window {

// ---------------------------------------------------------------- FieldEdit

FieldEdit::FieldEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    // The context menu's own undo/paste would edit the text behind the core's
    // back; whatever still reaches QLineEdit's editing is reported as a
    // replacement and set back from the core.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        emit pasted(text, 0, int(shown_.size()));
    });
}

void FieldEdit::showText(const QString& text)
{
    shown_ = text;
    if (this->text() != text)
        setText(text);
}

void FieldEdit::placeCaret(int caret)
{
    if (caret >= 0)
        setCursorPosition(qMin(caret, int(text().size())));
}

// Paste and cut: the text that takes the selection's place.
void FieldEdit::replaceSelection(const QString& with)
{
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? int(selectedText().size()) : 0;
    emit pasted(with, from, length);
}

void FieldEdit::typeKeys(const QString& keys)
{
    if (hasSelectedText())
        emit keysTyped(keys, selectionStart(), int(selectedText().size()));
    else
        emit keysTyped(keys, cursorPosition(), 0);
}

bool FieldEdit::event(QEvent* event)
{
    // A field has no editing history of its own: every key it takes is a
    // step of the document, so undo and redo are the window's, wherever the
    // focus is. Not taking them here lets the window's shortcuts have them.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            event->ignore();
            return false;
        }
    }
    return QLineEdit::event(event);
}

void FieldEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        replaceSelection(QApplication::clipboard()->text());
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            QApplication::clipboard()->setText(selectedText());
            replaceSelection(QString());
        }
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return;  // the core's text is the only history
    if (event->matches(QKeySequence::DeleteEndOfWord) ||
        event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfLine))
        return;
    if (event->key() == Qt::Key_Backspace) {
        typeKeys(QString(QChar(8)));
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        // Delete is no typed key: it removes the selection or the character
        // after the caret.
        if (hasSelectedText()) {
            replaceSelection(QString());
        } else if (cursorPosition() < text().size()) {
            emit pasted(QString(), cursorPosition(), 1);
        }
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && !(event->modifiers() & Qt::ControlModifier);
    if (!printable) {
        // Caret movement, selection, copy and the like.
        QLineEdit::keyPressEvent(event);
        return;
    }
    typeKeys(typed);
}

void FieldEdit::paintEvent(QPaintEvent* event)
{
    // A disabled field without text shows its frame only: drawn here, it
    // skips QLineEdit's text layout, which has nothing to draw. The window
    // starts with some fifty of them.
    if (isEnabled() || !text().isEmpty()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter p(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
}

// ---------------------------------------------------------------- FieldRow

QWidget* PreviousFocusable(QWidget* slot)
{
    QWidget* previous = slot->previousInFocusChain();
    while (previous != slot && previous->focusPolicy() == Qt::NoFocus)
        previous = previous->previousInFocusChain();
    return previous == slot ? nullptr : previous;
}

FieldRow::FieldRow(int count, QSize fieldSize, int spacing, const QStringList& tips, MakeField make,
                   QWidget* parent)
    : QWidget(parent), count_(count), fieldSize_(fieldSize), spacing_(spacing), tips_(tips), make_(std::move(make))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QRect FieldRow::slotRect(int slot) const
{
    return QRect(QPoint(slot * (fieldSize_.width() + spacing_), 0), fieldSize_);
}

QSize FieldRow::sizeHint() const
{
    return QSize(count_ * fieldSize_.width() + (count_ - 1) * spacing_, fieldSize_.height());
}

void FieldRow::fill()
{
    if (filled())
        return;
    // The fields take the row's place in the keyboard's order, which it has
    // held since it was made.
    QWidget* previous = PreviousFocusable(this);
    for (int slot = 0; slot < count_; ++slot) {
        FieldEdit* field = make_(this, slot);
        field->setGeometry(slotRect(slot));
        if (previous)
            QWidget::setTabOrder(previous, field);
        previous = field;
        fields_.append(field);
        // Made in a row already shown, the field would stay hidden.
        field->setVisible(true);
    }
    update();
}

bool FieldRow::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !filled()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        for (int slot = 0; slot < count_ && slot < tips_.size(); ++slot)
            if (slotRect(slot).contains(help->pos()) && !tips_.at(slot).isEmpty()) {
                QToolTip::showText(help->globalPos(), tips_.at(slot), this, slotRect(slot));
                return true;
            }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void FieldRow::paintEvent(QPaintEvent*)
{
    if (filled())
        return;
    // Each slot as the style draws an empty line edit in this state.
    QPainter p(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    // A line edit's colours, in the group this row is in.
    const QPalette::ColorGroup group = frame.palette.currentColorGroup();
    frame.palette = QApplication::palette("QLineEdit");
    frame.palette.setCurrentColorGroup(group);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    for (int slot = 0; slot < count_; ++slot) {
        frame.rect = slotRect(slot);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
    }
}

// ---------------------------------------------------------------- Swatch

Swatch::Swatch(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void Swatch::setColour(quint32 bbggrr)
{
    if (colour_ == bbggrr)
        return;
    colour_ = bbggrr;
    update();
}

void Swatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, ColourOf(colour_));
    p.setPen(isEnabled() ? QColor(40, 40, 40) : QColor(170, 170, 170));
    p.drawRect(r);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        p.drawRect(r.adjusted(2, 2, -2, -2));
    }
}

// ---------------------------------------------------------------- ObjectPictureButton

ObjectPictureButton::ObjectPictureButton(int object, QWidget* parent)
    : QAbstractButton(parent), object_(object)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ObjectPictureButton::setPicture(const QImage& picture)
{
    if (picture_.cacheKey() == picture.cacheKey())
        return;
    picture_ = picture;
    setFixedSize(sizeHint());
    update();
}

QSize ObjectPictureButton::sizeHint() const
{
    if (picture_.isNull())
        return QSize(30, 20);
    return picture_.size().boundedTo(QSize(176, 220));
}

void ObjectPictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!isEnabled() || picture_.isNull()) {
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(120, 120, 120));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!picture_.isNull())
        p.drawImage(0, 0, picture_);
}

// ---------------------------------------------------------------- ListTable

ListTable::ListTable(QWidget* parent) : QTableView(parent)
{
    // Tab leaves the table rather than walking its cells into the next row.
    setTabKeyNavigation(false);
}

void ListTable::mousePressEvent(QMouseEvent* event)
{
    pressedRow_ = currentIndex().row();
    QTableView::mousePressEvent(event);
}

void ListTable::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A click on a row, or a press that took the selection to another row
    // and was let go elsewhere.
    const QModelIndex current = currentIndex();
    if (current.isValid() && (indexAt(event->position().toPoint()).row() == current.row() || current.row() != pressedRow_))
        emit rowClicked(current.row());
}

void ListTable::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex before = currentIndex();
    const bool selected = before.isValid() && selectionModel()->isRowSelected(before.row(), before.parent());
    QTableView::keyPressEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() &&
        (current.row() != before.row() || (!selected && selectionModel()->isRowSelected(current.row(), current.parent()))))
        emit rowClicked(current.row());
}

// ---------------------------------------------------------------- CanvasView

CanvasView::CanvasView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
}

void CanvasView::setCanvas(const QImage& canvas)
{
    canvas_ = canvas;
    update();
}

void CanvasView::setZoom(int zoom)
{
    zoom = qBound(1, zoom, 3);
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    setFixedSize(sizeHint());
    setCanvas(canvas_);
}

QSize CanvasView::sizeHint() const
{
    return QSize(176, 220) * zoom_;
}

void CanvasView::setDragSource(DragSource source)
{
    source_ = std::move(source);
    setFocusPolicy(source_ ? Qt::StrongFocus : Qt::NoFocus);
    // Without a button held, the pointer shows what a press would drag.
    setMouseTracking(bool(source_));
    if (!source_)
        cancelDrag();
}

QPoint CanvasView::pixelAt(const QPointF& position) const
{
    // Floor, not truncation: left of the canvas is pixel -1, not 0.
    return QPoint(qFloor(position.x() / zoom_), qFloor(position.y() / zoom_));
}

QVector<QRect> CanvasView::dragOutlines() const
{
    QVector<QRect> moved;
    if (dragging_)
        for (const QRect& box : outlines_)
            moved << box.translated(to_ - from_);
    return moved;
}

void CanvasView::cancelDrag()
{
    const bool shown = dragging_;
    dragging_ = false;
    outlines_.clear();
    if (!shown)
        return;
    unsetCursor();
    update();
}

void CanvasView::mousePressEvent(QMouseEvent* event)
{
    if (dragging_ || !outlines_.isEmpty()) {
        // A second button while dragging gives the drag up.
        cancelDrag();
        return;
    }
    const QPoint pixel = pixelAt(event->position());
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    emit pressed(pixel);
    if (!source_)
        return;
    for (const QRect& box : source_(pixel))
        outlines_ << QRect(QPoint(qMin(box.left(), box.right()), qMin(box.top(), box.bottom())),
                           QPoint(qMax(box.left(), box.right()), qMax(box.top(), box.bottom())));
    pressedAt_ = event->position();
    from_ = to_ = pixel;
}

void CanvasView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pixel = pixelAt(event->position());
    if (!dragging_ && !outlines_.isEmpty() && (event->buttons() & Qt::LeftButton) &&
        (event->position() - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
        to_ = pixel;
        update();
        return;
    }
    if (!dragging_) {
        if (outlines_.isEmpty()) {
            if (source_ && !source_(pixel).isEmpty())
                setCursor(Qt::OpenHandCursor);
            else
                unsetCursor();
        }
        return;
    }
    if (pixel == to_)
        return;
    to_ = pixel;
    update();
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint pixel = pixelAt(event->position());
    emit released(pixel);
    if (!dragging_) {
        // A click, or a press that never went past the drag distance.
        outlines_.clear();
        return;
    }
    to_ = pixel;
    const QPoint from = from_, to = to_;
    dragging_ = false;
    outlines_.clear();
    setCursor(Qt::OpenHandCursor);
    update();
    if (to != from)
        emit dragged(from, to);
}

void CanvasView::keyPressEvent(QKeyEvent* event)
{
    if (dragging_ && event->key() == Qt::Key_Escape) {
        cancelDrag();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (source_ && event->modifiers() == Qt::NoModifier) {
            emit arrowPressed(event->key());
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void CanvasView::focusOutEvent(QFocusEvent* event)
{
    // The window gave up the mouse (another window came to the front): the
    // release may never come.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        cancelDrag();
    QWidget::focusOutEvent(event);
}

void CanvasView::hideEvent(QHideEvent* event)
{
    cancelDrag();
    QWidget::hideEvent(event);
}

void CanvasView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // Magnified as it is painted, each canvas pixel a square block (no
    // smoothing): no magnified copy to make at every change of the canvas.
    if (canvas_.isNull())
        p.fillRect(rect(), Qt::white);
    else
        p.drawImage(QRect(QPoint(0, 0), canvas_.size() * zoom_), canvas_);
    if (!dragging_)
        return;
    // Frames one canvas pixel wide: where the moving elements stand, in
    // orange, and where they go, following the mouse, blue as the edited
    // mark.
    const int z = zoom_;
    auto frame = [&](const QRect& box, const QColor& colour) {
        const int left = box.left() * z, top = box.top() * z;
        const int width = box.width() * z, height = box.height() * z;
        p.fillRect(QRect(left, top, width, z), colour);
        p.fillRect(QRect(left, top + height - z, width, z), colour);
        p.fillRect(QRect(left, top, z, height), colour);
        p.fillRect(QRect(left + width - z, top, z, height), colour);
    };
    for (const QRect& box : outlines_)
        frame(box, QColor(255, 140, 0));
    for (const QRect& box : dragOutlines())
        frame(box, QColor(0, 0, 255));
}

// ---------------------------------------------------------------- GifPane

GifPane::GifPane(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    setContentsMargins(0, 0, 0, 0);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void GifPane::setImage(const QString& file)
{
    if (file == file_)
        return;
    file_ = file;
    load();
}

void GifPane::reload() { load(); }

void GifPane::load()
{
    if (movie_) {
        setMovie(nullptr);
        delete movie_;
        movie_ = nullptr;
    }
    delete bytes_;
    bytes_ = nullptr;
    clear();
    if (file_.isEmpty())
        return;
    bool read = false;
    const QByteArray data = ReadWholeFile(ResolveFile(file_), &read, kMaxImageFileBytes);
    if (!read)
        return;
    // The first frame through the guard and the bounded decoding; only
    // then may the movie read the same bytes for the other frames, within
    // the same allocation limit.
    const DecodedImage first = DecodeImage(data, ImageKinds::GifOrJpeg);
    if (!first.ok())
        return;
    if (data.startsWith("GIF")) {
        bytes_ = new QBuffer(this);
        bytes_->setData(data);
        bytes_->open(QIODevice::ReadOnly);
        movie_ = new QMovie(bytes_, QByteArrayLiteral("gif"), this);
        if (movie_->isValid() && movie_->frameCount() > 1) {
            setMovie(movie_);
            movie_->start();
            return;
        }
        delete movie_;
        movie_ = nullptr;
        delete bytes_;
        bytes_ = nullptr;
    }
    setPixmap(QPixmap::fromImage(first.image));
}

}  // namespace velluno::window
