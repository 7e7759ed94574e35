// velluno-cli export SKIN: "Esporta tutto" without the window.
// velluno-cli repack SKIN: reads and saves, so that container 14 is packed
// again from the image files, and images edited by hand since the export
// are packed as replacements.
// velluno-cli fix-line-ends SKIN: the repair the window offers for a skin
// whose line ends the reading cannot take whole.
// Both work on the skin library, and repack checks the images to pack with
// the renderer's image check; neither needs a GUI platform.
#include "cli/commands.h"
#include "cli/reasons.h"
#include "render/imageguard.h"
#include "skin/containers.h"
#include "skin/lineends.h"
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
// reading that dropped text opens (for viewing and exporting, not for
// saving): that is said too. Image files edited by hand since the export
// are taken as replacements, as the opening in the window takes them.
bool ReadWhole(const char* command, const QString& path, SkinReading* reading)
{
    *reading = ReadSkin(path);
    QString problem;
    if (!reading->error.ok())
        problem = EnglishText(reading->error);
    else if (reading->badMagic)
        problem = QStringLiteral("%1: %2").arg(path, EnglishText(SaveRefusal::BadMagic));
    if (!problem.isEmpty()) {
        QTextStream(stderr) << "velluno-cli " << command << ": " << problem << '\n';
        return false;
    }
    QTextStream err(stderr);
    if (reading->droppedText())
        err << "velluno-cli " << command << ": " << RefusalText(*reading, path) << '\n';
    const EditedImages edited = TakeEditedImages(reading->doc);
    if (const QString note = EditedImagesNote(edited); !note.isEmpty())
        err << "velluno-cli " << command << ": " << note << '\n';
    for (const EditedImage& r : edited.refused)
        err << "velluno-cli " << command << ": " << r.key << ": " << QDir::toNativeSeparators(r.path)
            << " was edited by hand but is no GIF the phone can show (" << EnglishText(r.verdict)
            << "): left as it was\n";
    return true;
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
    out << report.written << " images extracted into " << reading.doc.imageFolder << ", " << report.skipped
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
        // A reading that dropped text was named by ReadWhole already.
        if (!reading.droppedText())
            err << "velluno-cli repack: " << args.first() << ": " << RefusalText(reading, args.first()) << '\n';
        err << "velluno-cli repack: nothing was saved\n";
        return kExitProblems;
    }
    // The editor's SAVE: only whole GIFs are packed.
    const SaveReport saved = WriteSkin(reading.doc);
    if (!saved.saved) {
        err << "velluno-cli repack: nothing was saved: " << EnglishText(saved.error) << '\n';
        return kExitProblems;
    }
    err.flush();
    out << saved.packed << " images packed into varavave14.dat"
        << (saved.containerWritten ? "" : " (left as it was)") << ", varavave.ski rewritten"
        << (saved.backupWritten ? ", the old text kept as varavave_old.ski" : "")
        << (saved.containerBackupWritten ? ", the old container as varavave14_old.dat" : "")
        << (saved.originalKept ? ", the original text as varavave_orig.ski" : "") << '\n';
    if (saved.imagesWritten > 0)
        out << saved.imagesWritten << " image files of " << QDir::toNativeSeparators(reading.doc.imageFolder)
            << " now hold what varavave14.dat holds for them"
            << (saved.keptImages.isEmpty() ? QString()
                                           : QStringLiteral(" (%1 earlier ones kept with a number)")
                                                 .arg(saved.keptImages.size()))
            << '\n';
    return kExitDone;
}

int CmdFixLineEnds(const QStringList& args)
{
    if (!Usage(args, "fix-line-ends"))
        return kExitUnusable;
    QTextStream out(stdout);
    QTextStream err(stderr);
    const LineEndRepair repair = RepairSkinLineEnds(args.first());
    if (!repair.error.ok()) {
        err << "velluno-cli fix-line-ends: " << EnglishText(repair.error) << '\n';
        return repair.error.code == SkinError::CannotOpen || repair.error.code == SkinError::TooLarge
                   ? kExitUnusable
                   : kExitProblems;
    }
    const QString skin = QDir::toNativeSeparators(repair.skin);
    if (!repair.changes.any()) {
        out << skin << ": every line ends with a line feed, nothing to repair\n";
        return kExitDone;
    }
    QStringList changes;
    if (repair.changes.crLf)
        changes << QStringLiteral("%1 CR LF line end(s) turned into LF").arg(repair.changes.crLf);
    if (repair.changes.loneCr)
        changes << QStringLiteral("%1 lone CR turned into LF").arg(repair.changes.loneCr);
    if (repair.changes.finalLineFeed)
        changes << QStringLiteral("a line feed added after the last line");
    QStringList kept;
    for (const QString& b : repair.backups)
        kept << QDir::toNativeSeparators(b);
    out << skin << ": " << changes.join(QStringLiteral(", ")) << "; the original text kept as "
        << kept.join(QStringLiteral(" and ")) << '\n';
    return kExitDone;
}

}  // namespace velluno::cli
