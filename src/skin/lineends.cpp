#include "skin/lineends.h"

#include "skin/atomic.h"
#include "skin/files.h"
#include "skin/reader.h"
#include "skin/writer.h"

#include <QDir>

namespace velluno {

QByteArray RepairLineEnds(const QByteArray& file, LineEndChanges* changes)
{
    *changes = LineEndChanges{};
    QByteArray out;
    out.reserve(file.size() + 1);
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file.at(i);
        if (c != '\r') {
            out += c;
            continue;
        }
        if (i + 1 < file.size() && file.at(i + 1) == '\n') {
            ++changes->crLf;
            ++i;
        } else {
            ++changes->loneCr;
        }
        out += '\n';
    }
    // Blanks alone after the last line feed are no text the reading drops.
    const qsizetype lastLineFeed = out.lastIndexOf('\n');
    for (qsizetype i = lastLineFeed + 1; i < out.size(); ++i) {
        if (out.at(i) != ' ' && out.at(i) != '\t') {
            out += '\n';
            changes->finalLineFeed = true;
            break;
        }
    }
    return out;
}

LineEndRepair RepairSkinLineEnds(const QString& given, bool write)
{
    LineEndRepair repair;
    const QString path = ResolveFile(QDir::fromNativeSeparators(given));
    repair.skin = path;
    bool ok = false;
    QString why;
    int errnum = 0;
    const QByteArray original = ReadWholeFile(path, &ok, kMaxSkinBytes, &why, &errnum);
    if (!ok) {
        repair.error = errnum ? SkinError::ofSystem(ErrorKind::CannotOpen, path, errnum)
                              : SkinError::of(why.isEmpty() ? ErrorKind::TooLarge : ErrorKind::CannotOpen, path, why);
        return repair;
    }
    const QByteArray repaired = RepairLineEnds(original, &repair.changes);
    if (!repair.changes.any())
        return repair;
    if (IsReadOnlyFile(path)) {
        repair.error = SkinError::of(ErrorKind::ReadOnly, path);
        return repair;
    }
    const SkinPlace place = PlaceOfSkin(path);
    const QString old = ResolveFile(JoinPath(place.folder, place.name + QStringLiteral("_old.ski")));
    const QString orig = ResolveFile(JoinPath(place.folder, place.name + QStringLiteral("_orig.ski")));
    QVector<PendingFile> files{{old, original}};
    repair.backups << old;
    if (!FileExist(orig)) {
        files.append(PendingFile{orig, original});
        repair.backups << orig;
    }
    if (!write)
        return repair;
    files.append(PendingFile{path, repaired});
    repair.error = ReplaceFiles(files);
    if (!repair.error.ok())
        repair.backups.clear();
    repair.written = repair.error.ok();
    return repair;
}

}  // namespace velluno
