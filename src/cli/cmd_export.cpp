// velluno-cli export SKIN: "Esporta tutto" without the window.
// velluno-cli repack SKIN: opens and saves, so that container 14 is packed
// again from the image files (after they were edited outside the editor).
#include "cli/commands.h"
#include "cli/oneshot.h"
#include "document/save.h"
#include "graphics/export.h"

#include <QTextStream>

namespace velluno::cli {

namespace {

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
    OneShot session(args.first());
    Editor& editor = session.editor;
    session.printMessages(err);
    const QString problem = session.openProblem();
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
    OneShot session(args.first());
    Editor& editor = session.editor;
    const QString problem = session.saveRefusal();
    if (!problem.isEmpty()) {
        session.printMessages(err);
        err << "velluno-cli repack: " << args.first() << ": " << problem << '\n';
        return 1;
    }

    const int before = editor.messages.size();
    const SaveReport saved = SaveSkin(editor);
    session.printMessages(saved.saved ? out : err, before);
    if (!saved.saved)
        return 1;
    out << saved.packed << " images packed into varavave14.dat"
        << (saved.containerWritten ? "" : " (left as it was)") << '\n';
    return 0;
}

}  // namespace velluno::cli
