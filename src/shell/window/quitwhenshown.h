#pragma once
// Ends the program as soon as a window has been shown on screen for the
// first time: the measuring point of the start-up comparison between the
// editor and a bare Qt window. Header-only so both programs share it.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace velluno::window {

class QuitWhenShown : public QObject {
public:
    // Call after widget->show(): the native window exists then.
    static void watch(QWidget* widget)
    {
        QWindow* window = widget->windowHandle();
        if (!window) {
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            return;
        }
        if (window->isExposed()) {
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            return;
        }
        window->installEventFilter(new QuitWhenShown(window));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            // Leave once the expose has been handled: the first frame is then
            // painted and flushed. exit(), not quit(): quit() would first ask
            // every window to close, and the editor's closing asks the user.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    explicit QuitWhenShown(QObject* parent) : QObject(parent) {}
};

}  // namespace velluno::window
