#pragma once
// The few widgets the window needs beyond Qt's own: text fields whose every
// keystroke goes to the core, colour swatches, the object pictures of the
// button-graphics panel, the zoomed canvas and the object preview pane.
#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

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
    void keyPressEvent(QKeyEvent* event) override;

private:
    void replaceSelection(const QString& with);
    void typeKeys(const QString& keys);
    QString shown_;  // the editor's text, as last shown
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

// The phone canvas, magnified by a whole factor without smoothing, so each
// canvas pixel is a square block of the same colour.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    explicit CanvasView(QWidget* parent = nullptr);
    void setCanvas(const QImage& canvas);
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    const QImage& canvas() const { return canvas_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
    QImage scaled_;
    int zoom_ = 1;
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
