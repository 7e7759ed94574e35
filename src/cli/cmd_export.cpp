// velluno-cli export SKIN: "Esporta tutto" without the window.
// velluno-cli repack SKIN: reads and saves with the editor's SAVE, so that
// container 14 is packed again from the image files, and images edited by
// hand since the export are packed as replacements.
// velluno-cli fix-line-ends SKIN: the repair the window offers for a skin
// whose line ends the reading cannot take whole.
// They work on the skin library and the editor's save; none needs a GUI
// platform.
#include "cli/commands.h"
#include "cli/report.h"
#include "editor/failures.h"
#include "editor/opensave.h"
#include "skin/lineends.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velluno::cli {

namespace {

// The skin read as the editor opens it, image files edited by hand since
// the export taken as replacements; false, saying why, when there is
// nothing to work on.
bool Read(const char* command, const QString& path, SkinReading* reading, EditedImages* edited)
{
    *reading = ReadSkin(path);
    if (Unusable(*reading)) {
        QTextStream(stderr) << "velluno-cli " << command << ": " << UnusableText(*reading) << Qt::endl;
        return false;
    }
    *edited = TakeEditedImages(reading->doc);
    return true;
}

}  // namespace

int RunExport(const QStringList& args, const QCommandLineParser&)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    SkinReading reading;
    EditedImages edited;
    if (!Read("export", args.first(), &reading, &edited))
        return kExitUnusable;
    // The rows that were read are exported, even when the reading stopped:
    // that is said below.
    const ExtractReport report = ExtractImages(reading.doc);
    if (!report.folder.ok())
        err << "velluno-cli export: nothing was extracted: " << FailureText(report.folder, Language::English) << '\n';
    // Not an error, but nothing to miss either: a file the user edited is
    // not where it was any more.
    for (const ExtractReport::Kept& k : report.kept)
        err << "velluno-cli export: " << k.key << ": " << QDir::toNativeSeparators(k.image)
            << " held other bytes (edited by hand?): kept as " << QDir::toNativeSeparators(k.backup) << '\n';
    const Checkup checkup = CheckSkin(reading.doc, reading, edited, &report);
    PrintFindings(err, "export", checkup);
    out << report.written << " images extracted into " << QDir::toNativeSeparators(reading.doc.imageFolder) << ", "
        << report.skipped << " replaced rows skipped, " << report.faults.size() << " faulty rows\n";
    return report.folder.ok() ? StatusOf(checkup) : kExitProblems;
}

int RunRepack(const QStringList& args, const QCommandLineParser&)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    SkinReading reading;
    EditedImages edited;
    if (!Read("repack", args.first(), &reading, &edited))
        return kExitUnusable;
    const SaveReport saved = SaveDocument(reading.doc, reading.saveRefusal());
    // The skin as it is now: read again after a save, whose records point
    // into the new container.
    if (saved.saved)
        Read("repack", args.first(), &reading, &edited);
    const Checkup checkup = CheckSkin(reading.doc, reading, edited, nullptr, &saved.error);
    PrintFindings(err, "repack", checkup);
    if (!saved.saved) {
        err << "velluno-cli repack: nothing was saved" << Qt::endl;
        return kExitProblems;
    }
    const QString container = QFileInfo(saved.containerFile).fileName();
    out << saved.packed << " images packed into " << container
        << (saved.containerWritten ? "" : " (left as it was)") << ", " << QFileInfo(saved.skinFile).fileName()
        << " rewritten" << (saved.backupWritten ? ", the old text kept as varavave_old.ski" : "")
        << (saved.containerBackupWritten ? ", the old container as varavave14_old.dat" : "")
        << (saved.originalKept ? ", the original text as varavave_orig.ski" : "") << '\n';
    if (saved.imagesWritten > 0)
        out << saved.imagesWritten << " image files of " << QDir::toNativeSeparators(reading.doc.imageFolder)
            << " now hold what " << container << " holds for them"
            << (saved.keptImages.isEmpty() ? QString()
                                           : QStringLiteral(" (%1 earlier ones kept with a number)")
                                                 .arg(saved.keptImages.size()))
            << '\n';
    return StatusOf(checkup);
}

int RunFixLineEnds(const QStringList& args, const QCommandLineParser&)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const LineEndRepair repair = RepairSkinLineEnds(args.first());
    if (!repair.error.ok()) {
        err << "velluno-cli fix-line-ends: " << FailureText(repair.error, Language::English) << '\n';
        return repair.error.code == ErrorKind::CannotOpen || repair.error.code == ErrorKind::TooLarge
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
