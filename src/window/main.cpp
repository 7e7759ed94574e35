// The program `velluno`: the editor's main window, with the skin named on
// its command line open (as the file manager starts it: `velluno FILE.ski`).
// Without options it starts as the user knows it; the options serve the
// screenshot and start-up tools.
#include "render/runtimedir.h"
#include "render/scene.h"
#include "skin/atomic.h"
#include "window/fontconfigload.h"
#include "window/icons.h"
#include "window/language.h"
#include "window/mainwindow.h"
#include "window/quitwhenshown.h"
#include "version.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using namespace velluno;

// The dialogs of a screenshot run, where nobody is there to answer: file
// and colour dialogs are cancelled, questions answered No, and every message
// is printed instead of shown.
class UnattendedDialogs : public Dialogs {
public:
    std::optional<QString> openFile(const QString&, const QString&, const QString&, const QString&) override
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

// What Qt says while it looks for a display. When it finds none it ends
// the program with an abort; the editor says why instead and exits with
// status 2, as for any start it cannot make.
QStringList platformMessages;

void WhileLookingForADisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    platformMessages << qFormatLogMessage(type, context, message);
    if (type != QtFatalMsg)
        return;
    std::fprintf(stderr,
                 "velluno: no display to show the window on: DISPLAY and WAYLAND_DISPLAY are not set, or the "
                 "display did not answer. velluno-cli works without one.\n");
    for (const QString& said : platformMessages.mid(0, platformMessages.size() - 1))
        std::fprintf(stderr, "  (%s)\n", qPrintable(said));
    std::fflush(stderr);
    std::_Exit(2);
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
    // The version and the options are told without a display.
    const QString version = QStringLiteral("%1.%2.%3").arg(VELLUNO_VERSION_MAJOR).arg(VELLUNO_VERSION_MINOR).arg(VELLUNO_REVISION);
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--version") == 0 || qstrcmp(argv[i], "-v") == 0) {
            std::printf("velluno %s\n", qPrintable(version));
            return 0;
        }
    EnsureRuntimeDir();
    const QtMessageHandler qtsOwn = qInstallMessageHandler(WhileLookingForADisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtsOwn);
    // Warnings of a start that found its display after all go on as Qt
    // would have printed them.
    for (const QString& said : std::as_const(platformMessages))
        std::fprintf(stderr, "%s\n", qPrintable(said));
    platformMessages.clear();
    velluno::window::UseProgramLook(!styleChosen);
    velluno::window::SpeakItalian(app);
    QApplication::setApplicationName(QStringLiteral("velluno"));
    QApplication::setApplicationVersion(version);
    QApplication::setDesktopFileName(QStringLiteral("org.velluno.Velluno"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
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
    const QCommandLineOption phone(QStringLiteral("phone"),
                                   QStringLiteral("Tick \"Telefono\": the preview as the phone shows it."));
    parser.addOptions({exportAll, tab, zoom, screenshot, quitWhenShown, writeIcons, phone});
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
    if (parser.isSet(phone))
        window.findChild<QCheckBox*>(QStringLiteral("chkTelefono"))->click();
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
