// The program `velluno`: the editor's main window, with the skin named on
// its command line open (as the file manager starts it: `velluno FILE.ski`).
// Without options it starts as the user knows it; the options serve the
// screenshot and start-up tools.
#include "render/runtimedir.h"
#include "render/scene.h"
#include "skin/atomic.h"
#include "window/fontconfigload.h"
#include "window/icons.h"
#include "window/mainwindow.h"
#include "window/quitwhenshown.h"

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

// The dialogs of a screenshot run, where nobody is there to answer: file
// and colour dialogs are cancelled, questions answered No, and every message
// is printed instead of shown.
class UnattendedDialogs : public Dialogs {
public:
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<quint32> chooseColour(quint32) override { return std::nullopt; }
    Answer message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override
    {
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
    // Fontconfig's configuration is read beside the making of the
    // application and the window (see FontConfigurationLoad).
    velluno::window::FontConfigurationLoad fontConfiguration;
    // The classic style, unless the user chose one (-style or
    // QT_STYLE_OVERRIDE): the preview tab holds over a hundred small
    // controls, which it keeps compact, and it paints the first frame in
    // about half the time the default style takes.
    bool styleChosen = !qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE");
    for (int i = 1; i < argc; ++i)
        styleChosen = styleChosen || qstrncmp(argv[i], "-style", 6) == 0 || qstrncmp(argv[i], "--style", 7) == 0;
    EnsureRuntimeDir();
    QApplication app(argc, argv);
    velluno::window::UseProgramLook(!styleChosen);
    QApplication::setApplicationName(QStringLiteral("velluno"));
    QApplication::setDesktopFileName(QStringLiteral("org.velluno.Velluno"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SKIN"),
                                 QStringLiteral("A skin (.ski) to open at start, as LOAD opens it."),
                                 QStringLiteral("[SKIN]"));
    const QCommandLineOption exportAll(QStringLiteral("export-all"),
                                       QStringLiteral("Press \"Esporta tutto\" after opening SKIN."));
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
    parser.addOptions({exportAll, tab, zoom, screenshot, quitWhenShown, writeIcons});
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
    const QStringList skins = parser.positionalArguments();
    if (skins.size() > 1) {
        std::fprintf(stderr, "velluno: one skin at a time\n\n%s", qPrintable(parser.helpText()));
        return 2;
    }

    const bool grabbing = parser.isSet(screenshot);
    UnattendedDialogs unattended;
    velluno::window::MainWindow window(grabbing ? &unattended : nullptr);

    if (parser.isSet(zoom))
        window.setZoom(zoomFactor);
    if (!skins.isEmpty()) {
        window.openSkin(skins.first());
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
