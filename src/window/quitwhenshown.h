#pragma once
// Ends the program as soon as a window has been painted on screen for the
// first time: the measuring point of the start-up comparison between the
// editor and a bare Qt window. Header-only so both programs share it.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace velluno::window {

class QuitWhenShown : public QObject {
public:
    // Both programs end right after their first frame has been painted,
    // whether the platform reports the window exposed at once or later.
    static void watch(QWidget* widget) { widget->installEventFilter(new QuitWhenShown(widget)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // Leave once this paint has been handled and flushed. exit(), not
            // quit(): quit() would first ask every window to close, and the
            // editor's closing asks the user.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    explicit QuitWhenShown(QObject* parent) : QObject(parent) {}
};

}  // namespace velluno::window
