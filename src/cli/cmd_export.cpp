// velluno-cli export SKIN: "Esporta tutto" without the window.
// velluno-cli repack SKIN: opens and saves, so that container 14 is packed
// again from the image files (after they were edited outside the editor).
#include "cli/clidialogs.h"
#include "cli/commands.h"
#include "document/open.h"
#include "document/save.h"
#include "graphics/export.h"
#include "shell/startup.h"

#include <QTextStream>

namespace velluno::cli {

namespace {

// Why the skin cannot be worked on; empty when the opening went through.
QString OpenProblem(const OpenReport& report)
{
    if (!report.chosen)
        return QStringLiteral("no skin file was given");
    if (!report.completed)
        return QStringLiteral("the opening stopped: %1").arg(report.error);
    if (report.badMagic)
        return QStringLiteral("the file does not start with SKI1 (\"Formato del file skin non valido!\")");
    return QString();
}

void PrintMessages(QTextStream& out, const Editor& editor, int from)
{
    for (int i = from; i < editor.messages.size(); ++i) {
        const Message& m = editor.messages.at(i);
        out << m.title << ' ' << m.text << '\n';
    }
}

bool Usage(const QStringList& args, const char* command)
{
    if (args.size() == 1 && !args.first().startsWith(QLatin1Char('-')))
        return true;
    QTextStream(stderr) << "usage: velluno-cli " << command << " SKIN\n";
    return false;
}

}  // namespace

int CmdExport(const QStringList& args)
{
    if (!Usage(args, "export"))
        return 2;
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliDialogs dialogs(args.first());
    Editor editor(dialogs);
    Form_Load(editor);
    const OpenReport opened = OpenSkin(editor);
    PrintMessages(err, editor, 0);
    const QString problem = OpenProblem(opened);
    if (!problem.isEmpty()) {
        err << "velluno-cli export: " << args.first() << ": " << problem << '\n';
        return 1;
    }

    const ExportReport report = cmdExportAll_Click(editor);
    for (const ExportReport::Fault& f : report.faults)
        out << f.key << ": " << f.reason << '\n';
    out << report.written << " images extracted into " << editor.GifDir << ", " << report.skipped
        << " replaced rows skipped, " << report.faults.size() << " faulty rows\n";
    return 0;
}

int CmdRepack(const QStringList& args)
{
    if (!Usage(args, "repack"))
        return 2;
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliDialogs dialogs(args.first());
    Editor editor(dialogs);
    Form_Load(editor);
    const OpenReport opened = OpenSkin(editor);
    QString problem = OpenProblem(opened);
    if (problem.isEmpty() && opened.noLines)
        problem = QStringLiteral("no line ends with a line feed (CR LF line ends?): saving would empty the skin");
    if (problem.isEmpty() && !editor.SaveEnabled)
        problem = QStringLiteral("only a skin named varavave.ski can be saved");
    if (!problem.isEmpty()) {
        PrintMessages(err, editor, 0);
        err << "velluno-cli repack: " << args.first() << ": " << problem << '\n';
        return 1;
    }

    const int before = editor.messages.size();
    const SaveReport saved = SaveSkin(editor);
    PrintMessages(saved.saved ? out : err, editor, before);
    if (!saved.saved)
        return 1;
    out << saved.packed << " images packed into varavave14.dat"
        << (saved.containerWritten ? "" : " (left as it was)") << '\n';
    return 0;
}

}  // namespace velluno::cli
