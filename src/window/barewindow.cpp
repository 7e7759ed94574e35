// An empty main window, shown and closed at once: the yardstick that the
// editor's start-up is compared against (tools/startup-bench.sh).
#include "render/runtimedir.h"
#include "window/quitwhenshown.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    // Started as the editor starts, so that both are measured alike.
    velluno::EnsureRuntimeDir();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.show();
    velluno::window::QuitWhenShown::watch(&window);
    return app.exec();
}
