// The program `velluno`: the editor's main window. Without options it starts
// as the user knows it; the options serve the screenshot and start-up tools.
#include "render/scene.h"
#include "skin/atomic.h"
#include "window/icons.h"
#include "window/mainwindow.h"
#include "window/quitwhenshown.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

using namespace velluno;

// Answers the first file dialog with a given path; everything else goes to
// the window's own dialogs, or, when nobody is there to answer (a screenshot
// run), cancels and prints the messages.
class ScriptedDialogs : public Dialogs {
public:
    std::optional<QString> path;
    Dialogs* fallback = nullptr;

    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& initialName) override
    {
        if (path) {
            auto answer = path;
            path.reset();
            return answer;
        }
        return fallback ? fallback->openFile(title, filter, initialName) : std::nullopt;
    }
    std::optional<quint32> chooseColour(quint32 initial) override
    {
        return fallback ? fallback->chooseColour(initial) : std::nullopt;
    }
    Answer message(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override
    {
        if (fallback)
            return fallback->message(text, title, icon, buttons);
        std::fprintf(stderr, "%s %s\n", qPrintable(title), qPrintable(text));
        return buttons == MsgButtons::YesNo ? Answer::No : Answer::Ok;
    }
};

bool SavePicture(const QImage& image, const QString& path)
{
    const SkinError e = WriteFileAtomically(path, EncodePicture(image));
    if (!e.ok())
        std::fprintf(stderr, "cannot write %s %s\n", qPrintable(path), qPrintable(e.system));
    return e.ok();
}

bool WriteIcons(const QString& dir)
{
    QDir().mkpath(dir);
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = SavePicture(velluno::window::AppIconImage(size),
                         QDir(dir).filePath(QStringLiteral("velluno-%1.png").arg(size))) &&
             ok;
    for (int n = 1; n <= 14; ++n) {
        const QImage image = velluno::window::IconListImage(n);
        if (!image.isNull())
            ok = SavePicture(image, QDir(dir).filePath(QStringLiteral("list-%1.png").arg(n, 2, 10, QLatin1Char('0')))) &&
                 ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    // The classic style, unless the user chose one (-style or
    // QT_STYLE_OVERRIDE): the preview tab holds over a hundred small
    // controls, which it keeps compact, and it paints the first frame in
    // about half the time the default style takes.
    bool styleChosen = !qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE");
    for (int i = 1; i < argc; ++i)
        styleChosen = styleChosen || qstrncmp(argv[i], "-style", 6) == 0 || qstrncmp(argv[i], "--style", 7) == 0;
    QApplication app(argc, argv);
    if (!styleChosen)
        QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setApplicationName(QStringLiteral("velluno"));
    QApplication::setDesktopFileName(QStringLiteral("velluno"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open SKIN through LOAD at start."),
                                  QStringLiteral("SKIN"));
    const QCommandLineOption exportAll(QStringLiteral("export-all"),
                                       QStringLiteral("Press \"Esporta tutto\" after opening."));
    const QCommandLineOption tab(QStringLiteral("tab"), QStringLiteral("Show tab N (0..5)."),
                                 QStringLiteral("N"));
    const QCommandLineOption zoom(QStringLiteral("zoom"), QStringLiteral("Preview zoom 1..3."),
                                  QStringLiteral("N"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window and quit."),
                                        QStringLiteral("PNG"));
    const QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"),
                                           QStringLiteral("Quit as soon as the window is shown."));
    const QCommandLineOption writeIcons(QStringLiteral("write-icons"),
                                        QStringLiteral("Write the icons as PNG files into DIR and quit."),
                                        QStringLiteral("DIR"));
    parser.addOptions({open, exportAll, tab, zoom, screenshot, quitWhenShown, writeIcons});
    parser.process(app);

    // A number out of range is refused as an unknown option is: a message,
    // the usage, exit status 2.
    auto number = [&](const QCommandLineOption& option, int lo, int hi, int* value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        if (ok && *value >= lo && *value <= hi)
            return true;
        std::fprintf(stderr, "velluno: --%s %s: a whole number from %d to %d is needed\n\n%s",
                     qPrintable(option.names().constFirst()), qPrintable(parser.value(option)), lo, hi,
                     qPrintable(parser.helpText()));
        return false;
    };
    int tabIndex = 0;
    int zoomFactor = 1;
    if (!number(tab, 0, kTabCount - 1, &tabIndex) || !number(zoom, 1, 3, &zoomFactor))
        return 2;

    if (parser.isSet(writeIcons))
        return WriteIcons(parser.value(writeIcons)) ? 0 : 1;

    const bool grabbing = parser.isSet(screenshot);
    ScriptedDialogs scripted;
    velluno::window::frmDesktop window(&scripted);
    if (!grabbing)
        scripted.fallback = &window.qtDialogs();

    if (parser.isSet(zoom))
        window.setZoom(zoomFactor);
    if (parser.isSet(open)) {
        scripted.path = parser.value(open);
        window.findChild<QAction*>(QStringLiteral("LOAD"))->trigger();
        if (parser.isSet(exportAll))
            window.findChild<QPushButton*>(QStringLiteral("cmdExportAll"))->click();
    }
    if (parser.isSet(tab))
        window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(tabIndex);

    window.show();
    if (grabbing) {
        window.adjustSize();
        const QString out = parser.value(screenshot);
        QTimer::singleShot(0, &window, [&window, out] {
            QApplication::exit(SavePicture(window.grab().toImage(), out) ? 0 : 1);
        });
    } else if (parser.isSet(quitWhenShown)) {
        velluno::window::QuitWhenShown::watch(&window);
    }
    return app.exec();
}
