#pragma once
// The few widgets the window needs beyond Qt's own: text fields whose every
// keystroke goes to the core and rows of them made when first needed,
// colour swatches, the object pictures of the
// button-graphics panel, the zoomed canvas and the object preview pane.
#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QWidget>
#include <functional>

class QBuffer;
class QMovie;

namespace velluno::window {

// A line edit that never edits itself. Typed keys and Backspace are reported
// as `keysTyped` with the selection (or the caret) they act on, for the
// editor's key filter and maximum length to decide; a paste, a cut or Delete
// is reported as `pasted` with the text that replaces the selection (or the
// character at the caret). The shown text is always set back from the
// editor by the window.
class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FieldEdit(QWidget* parent = nullptr);

    // Shows the editor's text.
    void showText(const QString& text);
    // Puts the caret where the editor's edit left it, once its text is shown.
    void placeCaret(int caret);

signals:
    void keysTyped(const QString& keys, int from, int length);
    void pasted(const QString& text, int from, int length);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void replaceSelection(const QString& with);
    void typeKeys(const QString& keys);
    QString shown_;  // the editor's text, as last shown
};

// The last widget before `slot` in the keyboard's order that takes the focus
// (Qt orders only those), or null when there is none: what a control made
// later in the place of `slot` follows in that order.
QWidget* PreviousFocusable(QWidget* slot);

// A row of fields that starts as their empty frames. Until a skin is open
// the window shows some fifty position fields, empty and disabled; a line
// edit is a heavy widget to make, lay out, paint and tear down, so the row
// draws their frames in its own one paint, and makes the real fields, with
// all their editing, the first time it is `fill`ed: where the frames were,
// each in its place in the keyboard's order, after the row's own.
class FieldRow : public QWidget {
    Q_OBJECT
public:
    // Makes the field of one slot, child of `parent`, of `fieldSize`.
    using MakeField = std::function<FieldEdit*(QWidget* parent, int slot)>;

    // `tips` holds one tooltip for each slot that has one.
    FieldRow(int count, QSize fieldSize, int spacing, const QStringList& tips, MakeField make,
             QWidget* parent = nullptr);
    bool filled() const { return !fields_.isEmpty(); }
    void fill();
    // A slot's place in the row, whether its field is made or not.
    QRect slotRect(int slot) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int count_;
    QSize fieldSize_;
    int spacing_;
    QStringList tips_;
    MakeField make_;
    QList<FieldEdit*> fields_;
};

// A colour swatch: a small picture whose background is the colour shown.
class Swatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit Swatch(QWidget* parent = nullptr);
    void setColour(quint32 bbggrr);
    quint32 colour() const { return colour_; }
    QSize sizeHint() const override { return QSize(28, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 colour_ = 0xFFFFFF;
};

// An object picture of the button-graphics panel: white and framed while it
// has no image, then the image at its natural size, unframed.
class ObjectPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ObjectPictureButton(int object, QWidget* parent = nullptr);
    int object() const { return object_; }
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int object_;
    QImage picture_;
};

// A list table whose rows report the user's clicks: a click on a row (the
// row selected already too) and a key that moves the selection. The
// current row Qt sets when the table takes the keyboard focus is no click.
class ListTable : public QTableView {
    Q_OBJECT
public:
    explicit ListTable(QWidget* parent = nullptr);

signals:
    void rowClicked(int row);  // 0-based

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int pressedRow_ = -1;  // the current row when the button went down
};

// The phone canvas, magnified by a whole factor without smoothing, so each
// canvas pixel is a square block of the same colour.
//
// With a drag source, the canvas also takes drags: the left button pressed
// on what the source names (the outlines of the elements a drag from there
// moves, in canvas pixels) and moved past the desktop's drag distance
// starts a drag, so that the jitter of a click moves nothing; while it
// lasts those outlines stand highlighted and outlines of the same sizes
// follow the mouse by whole canvas pixels, drawn over the canvas by the
// view alone; releasing reports where the drag began and ended, Escape (or
// another button) cancels it. The canvas then takes the keyboard focus too,
// and reports the four arrow keys. Every press and release of the left
// button is reported as well, for the phone's soft keys.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    // The outlines a drag from a canvas pixel moves, corners as given; none
    // when nothing there can be dragged.
    using DragSource = std::function<QVector<QRect>(const QPoint& pixel)>;

    explicit CanvasView(QWidget* parent = nullptr);
    void setCanvas(const QImage& canvas);
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    const QImage& canvas() const { return canvas_; }
    QSize sizeHint() const override;

    void setDragSource(DragSource source);
    // The canvas pixel under a point of the widget, also beyond the canvas.
    QPoint pixelAt(const QPointF& position) const;
    bool dragging() const { return dragging_; }
    // The outlines that follow the mouse, left to right and top to bottom,
    // in canvas pixels; none when no drag is under way.
    QVector<QRect> dragOutlines() const;

signals:
    // A drag released, from the pixel pressed to the pixel let go, when the
    // two differ.
    void dragged(const QPoint& from, const QPoint& to);
    // The left button went down, or up, on a canvas pixel.
    void pressed(const QPoint& pixel);
    void released(const QPoint& pixel);
    // Qt::Key_Up, Key_Down, Key_Left or Key_Right, on the focused canvas.
    void arrowPressed(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void cancelDrag();

    QImage canvas_;
    int zoom_ = 1;
    DragSource source_;
    // From the press on: what a drag would move, left to right and top to
    // bottom, and where the press was on the widget.
    QVector<QRect> outlines_;
    QPointF pressedAt_;
    bool dragging_ = false;
    QPoint from_;
    QPoint to_;
};

// The object preview pane: the image file the editor's pane shows, animated
// when it is an animated GIF, at the top left corner without margins or
// scroll bars. The file is read once and checked by the image guard before
// anything of it is decoded; the movie plays from those bytes.
class GifPane : public QLabel {
    Q_OBJECT
public:
    explicit GifPane(QWidget* parent = nullptr);
    // Shows `file` (any letter case); nothing for an empty name.
    void setImage(const QString& file);
    // Reads the file shown again: it changed on the disk.
    void reload();
    const QString& shownFile() const { return file_; }
    bool animated() const { return movie_ != nullptr; }

private:
    void load();
    QString file_;
    QMovie* movie_ = nullptr;
    QBuffer* bytes_ = nullptr;  // what the movie plays
};

}  // namespace velluno::window
