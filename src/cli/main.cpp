// velluno-cli: the editor's command-line face. The commands that read or
// write files work on the skin library alone and need no GUI platform;
// render and script run the editor, whose preview draws text.
#include "cli/commands.h"
#include "render/runtimedir.h"
#include "version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

namespace velluno::cli {

const QList<Subcommand>& Commands()
{
    static const QList<Subcommand> table = {
        {"info", "SKIN", "what a skin holds, its problems and its notes", false, nullptr, RunInfo},
        {"export", "SKIN", "cut every graphic object into its image file (\"Esporta tutto\")", false, nullptr,
         RunExport},
        {"repack", "SKIN", "save the skin as the editor's SAVE does", false, nullptr, RunRepack},
        {"fix-line-ends", "SKIN",
         "line ends made LF and the last line ended (the original kept as SKIN_old.ski)",
         false, nullptr, RunFixLineEnds},
        {"colours", "SKIN", "the skin's colours as a colour scheme (colors.txt form)", false, nullptr, RunColours},
        {"render", "SKIN",
         "the preview of a skin as a picture, PNG, JPEG or BMP by the name's suffix (-o PICTURE)", true,
         RenderOptions, RunRender},
        {"script", "FILE", "run an editing session from a script (- reads standard input)", true, nullptr, RunScript},
    };
    return table;
}

namespace {

const Subcommand* Find(const QString& name)
{
    for (const Subcommand& c : Commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString VersionText()
{
    return QStringLiteral("velluno-cli %1.%2 (revision %3)")
        .arg(VELLUNO_VERSION_MAJOR)
        .arg(VELLUNO_VERSION_MINOR)
        .arg(VELLUNO_REVISION);
}

// "  name ARGUMENTS [options]" padded to the column of the summaries.
QString Synopsis(const Subcommand& c)
{
    return QStringLiteral("%1 %2%3").arg(QLatin1String(c.name), QLatin1String(c.arguments),
                                        c.options ? QStringLiteral(" [options]") : QString());
}

QString Usage()
{
    QString text = QStringLiteral("usage: velluno-cli COMMAND ARGUMENTS [options]\n\ncommands:\n");
    for (const Subcommand& c : Commands())
        text += QStringLiteral("  %1 %2\n").arg(Synopsis(c), -30).arg(QLatin1String(c.summary));
    text += QStringLiteral(
        "  %1 %2\n  %3 %4\n\n"
        "velluno-cli COMMAND --help says the command's options.\n"
        "Results go to standard output, problems and notes to standard error.\n"
        "exit status, for every command:\n"
        "  0  everything was done; the skin has no problem (notes are no problems)\n"
        "  1  done, with problems: faulty rows, duplicate records, values out of range, images that fail\n"
        "     the save's check, a reading that stopped early; a save or a write that stopped or was refused\n"
        "  2  bad usage, or an input that could not be opened (missing, a folder, unreadable, not a skin)\n"
        "\n"
        "Session scripts are described in docs/scripting.md.\n")
                .arg(QStringLiteral("--help"), -30)
                .arg(QStringLiteral("this text"))
                .arg(QStringLiteral("--version"), -30)
                .arg(QStringLiteral("the program's version"));
    return text;
}

// The command's own help: its usage line and its options.
QString CommandHelp(const Subcommand& c)
{
    QString text = QStringLiteral("usage: velluno-cli %1\n%2\n").arg(Synopsis(c), QLatin1String(c.summary));
    if (c.options) {
        text += QStringLiteral("\noptions:\n");
        for (const QCommandLineOption& o : c.options()) {
            QStringList names;
            for (const QString& n : o.names())
                names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
            QString left = names.join(QStringLiteral(", "));
            if (!o.valueName().isEmpty())
                left += QLatin1Char(' ') + o.valueName();
            text += QStringLiteral("  %1 %2\n").arg(left, -22).arg(o.description());
        }
    }
    return text;
}

int RunCommand(const Subcommand& c, const QStringList& words)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("this text"));
    parser.addOption(help);
    if (c.options)
        parser.addOptions(c.options());
    if (!parser.parse(QStringList{QStringLiteral("velluno-cli")} + words))
        return UsageError(c.name, parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << CommandHelp(c);
        return kExitDone;
    }
    const QStringList args = parser.positionalArguments();
    const int wanted = int(QString::fromLatin1(c.arguments).split(QLatin1Char(' ')).size());
    if (args.size() != wanted)
        return UsageError(c.name, args.size() < wanted
                                      ? QStringLiteral("%1 is missing").arg(QLatin1String(c.arguments))
                                      : QStringLiteral("one %1 only").arg(QLatin1String(c.arguments)));
    return c.run(args, parser);
}

}  // namespace

int UsageError(const char* command, const QString& why)
{
    const Subcommand* c = Find(QLatin1String(command));
    QTextStream(stderr) << "velluno-cli " << command << ": " << why << "\nusage: velluno-cli "
                        << (c ? Synopsis(*c) : QString::fromLatin1(command)) << Qt::endl;
    return kExitUnusable;
}

}  // namespace velluno::cli

int main(int argc, char* argv[])
{
    using namespace velluno::cli;
    const Subcommand* command = argc > 1 ? Find(QString::fromLocal8Bit(argv[1])) : nullptr;
    std::unique_ptr<QCoreApplication> app;
    if (command && command->drawing) {
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
        err << Usage();
        return kExitUnusable;
    }
    const QString name = args.takeFirst();
    if (command)
        return RunCommand(*command, args);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        out << Usage();
        return kExitDone;
    }
    if (name == QLatin1String("--version")) {
        out << VersionText() << '\n';
        return kExitDone;
    }
    err << "velluno-cli: unknown command " << name << "\n\n" << Usage();
    return kExitUnusable;
}
