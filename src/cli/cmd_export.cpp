// velluno-cli export SKIN: "Esporta tutto" without the window.
// velluno-cli repack SKIN: reads and saves, so that container 14 is packed
// again from the image files (after they were edited outside the editor).
// Both work on the skin library, and repack checks the images to pack with
// the renderer's image check; neither needs a GUI platform.
#include "cli/commands.h"
#include "cli/reasons.h"
#include "render/imageguard.h"
#include "skin/containers.h"
#include "skin/reader.h"
#include "skin/writer.h"

#include <QDir>
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

// The skin read as the editor opens it, or why not on standard error. A
// reading that stopped at a carriage return opens (for viewing and
// exporting, not for saving): that is said too.
bool ReadWhole(const char* command, const QString& path, SkinReading* reading)
{
    *reading = ReadSkin(path);
    QString problem;
    if (!reading->error.ok())
        problem = EnglishText(reading->error);
    else if (reading->badMagic)
        problem = QStringLiteral("%1: %2").arg(path, EnglishText(SaveRefusal::BadMagic));
    if (problem.isEmpty()) {
        if (reading->stoppedAtCarriageReturn)
            QTextStream(stderr) << "velluno-cli " << command << ": " << RefusalText(*reading, path) << '\n';
        return true;
    }
    QTextStream(stderr) << "velluno-cli " << command << ": " << problem << '\n';
    return false;
}

}  // namespace

int CmdExport(const QStringList& args)
{
    if (!Usage(args, "export"))
        return kExitUnusable;
    QTextStream out(stdout);
    QTextStream err(stderr);
    SkinReading reading;
    if (!ReadWhole("export", args.first(), &reading))
        return kExitUnusable;
    const ExtractReport report = ExtractImages(reading.doc);
    for (const ExtractReport::Fault& f : report.faults)
        err << f.key << ": " << EnglishText(f) << '\n';
    // Not an error, but nothing to miss either: a file the user edited is
    // not where it was any more.
    for (const ExtractReport::Kept& k : report.kept)
        err << "velluno-cli export: " << k.key << ": " << QDir::toNativeSeparators(k.image)
            << " held other bytes (edited by hand?): kept as " << QDir::toNativeSeparators(k.backup) << '\n';
    err.flush();
    out << report.written << " images extracted into " << reading.doc.GifDir << ", " << report.skipped
        << " replaced rows skipped, " << report.faults.size() << " faulty rows\n";
    return report.faults.isEmpty() && !reading.stoppedAtCarriageReturn ? kExitDone : kExitProblems;
}

int CmdRepack(const QStringList& args)
{
    if (!Usage(args, "repack"))
        return kExitUnusable;
    QTextStream out(stdout);
    QTextStream err(stderr);
    SkinReading reading;
    if (!ReadWhole("repack", args.first(), &reading))
        return kExitUnusable;
    if (const SaveRefusal refusal = reading.saveRefusal(); refusal != SaveRefusal::None) {
        // A truncated reading was named by ReadWhole already.
        if (refusal != SaveRefusal::StoppedAtCarriageReturn)
            err << "velluno-cli repack: " << args.first() << ": " << RefusalText(reading, args.first()) << '\n';
        err << "velluno-cli repack: nothing was saved\n";
        return kExitProblems;
    }
    const QString dropped = TrailingTextWarning(reading, args.first());
    // The same check as the editor's SAVE: only real GIFs are packed.
    SaveReport saved;
    saved.error = CheckImagesToPack(reading.doc);
    if (saved.error.ok())
        saved = WriteSkin(reading.doc);
    if (!saved.saved) {
        err << "velluno-cli repack: nothing was saved: " << EnglishText(saved.error) << '\n';
        return kExitProblems;
    }
    if (!dropped.isEmpty())
        err << "velluno-cli repack: " << dropped << '\n';
    err.flush();
    out << saved.packed << " images packed into varavave14.dat"
        << (saved.containerWritten ? "" : " (left as it was)") << ", varavave.ski rewritten"
        << (saved.backupWritten ? ", the old text kept as varavave_old.ski" : "") << '\n';
    return dropped.isEmpty() ? kExitDone : kExitProblems;
}

}  // namespace velluno::cli
