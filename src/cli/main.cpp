// velluno-cli: the editor's command-line face. info, export, repack and colours work
// on the skin library alone and need no GUI platform; render and script run
// the editor, whose preview draws text.
#include "cli/commands.h"
#include "render/runtimedir.h"
#include "version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>
#include <QTextStream>
#include <cstdio>

namespace {

QString VersionText()
{
    return QStringLiteral("velluno-cli %1.%2 (revision %3)")
        .arg(VELLUNO_VERSION_MAJOR)
        .arg(VELLUNO_VERSION_MINOR)
        .arg(VELLUNO_REVISION);
}

const char kUsage[] =
    "usage: velluno-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  info SKIN                     what a skin holds\n"
    "  export SKIN                   cut every graphic object into its image file\n"
    "  repack SKIN                   save the skin as the editor's SAVE does\n"
    "  fix-line-ends SKIN            turn CR LF and lone CR into LF and end the last line,\n"
    "                                keeping the original as SKIN_old.ski (and _orig.ski)\n"
    "  colours SKIN                  the skin's colours as a colour scheme (colors.txt form)\n"
    "  render SKIN -o PICTURE [--phone] [--analogue] [--no-wallpaper] [--scale N]\n"
    "                                the preview of a skin as a picture, PNG, JPEG or BMP\n"
    "                                by the name's suffix (.png, .jpg, .bmp); --phone\n"
    "                                without the outlines that only the editor draws\n"
    "  script FILE                   run an editing session from a script (- reads stdin)\n"
    "  --help                        this text\n"
    "  --version                     the program's version\n"
    "\n"
    "Results go to standard output, problems to standard error.\n"
    "exit status, for every command:\n"
    "  0  everything was done\n"
    "  1  done, with problems: faulty rows, images missing, a save that stopped\n"
    "  2  bad usage, or an input that could not be opened\n"
    "\n"
    "Session scripts are described in docs/scripting.md.\n";

}  // namespace

int main(int argc, char* argv[])
{
    const bool drawing = argc > 1 && (qstrcmp(argv[1], "render") == 0 || qstrcmp(argv[1], "script") == 0);
    std::unique_ptr<QCoreApplication> app;
    if (drawing) {
        // The preview draws text, which needs a platform plugin; the
        // offscreen one draws exactly as a screen would, with no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        velluno::EnsureRuntimeDir();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("velluno-cli"));

    QStringList args = QCoreApplication::arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.isEmpty()) {
        err << kUsage;
        return velluno::cli::kExitUnusable;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        out << kUsage;
        return velluno::cli::kExitDone;
    }
    if (command == QLatin1String("--version")) {
        out << VersionText() << '\n';
        return 0;
    }
    using namespace velluno::cli;
    if (command == QLatin1String("info"))
        return CmdInfo(args);
    if (command == QLatin1String("export"))
        return CmdExport(args);
    if (command == QLatin1String("repack"))
        return CmdRepack(args);
    if (command == QLatin1String("fix-line-ends"))
        return CmdFixLineEnds(args);
    if (command == QLatin1String("colours"))
        return CmdColours(args);
    if (command == QLatin1String("render"))
        return CmdRender(args);
    if (command == QLatin1String("script"))
        return CmdScript(args);
    err << "velluno-cli: unknown command " << command << "\n\n" << kUsage;
    return kExitUnusable;
}
