#include "skin/writer.h"

#include "skin/atomic.h"
#include "skin/files.h"
#include "skin/gif.h"
#include "skin/reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstdint>
#include <cstring>

// How a save protects the skin folder.
//
// Everything is checked and built in memory first: the regenerated lines,
// container 14 (every packed image read whole into one buffer of the exact
// total), the backups (the bytes of the current varavave.ski and
// varavave14.dat), the new skin text and the packed images' files. A
// read-only skin or container, a blank "Path GIF" that matters, an image
// that cannot be read or an "Indice" that names no slot stops the save here,
// before any file is touched and before the document is changed.
//
// Then ReplaceFiles writes every content into a hidden temporary file beside
// its target and flushes them; a full disk or a refused folder fails at this
// point and leaves every file as it was. Only then are the targets replaced,
// each by an atomic rename, while a second name keeps every old content
// until all are in place: if a later replacement fails, the earlier ones are
// renamed back, so the folder never holds the old skin pointing into a new
// container. A file is never half written: a reader sees either its old or
// its new bytes.
//
// The image files are part of the group because the next opening packs
// container 14 again from them: were they left behind, a second save would
// put the pictures of before the replacement back into the skin.

namespace velluno {

namespace {

// Images are addressed by 32-bit offsets on the phone.
constexpr qint64 kMaxContainerBytes = INT32_MAX;
constexpr qint64 kMaxBackupBytes = qint64(1) << 31;

// The fixed names are looked up without regard to case, so that a folder
// holding VARAVAVE.SKI is saved into that file rather than beside it.
QString FixedFile(const Document& doc, const QString& name)
{
    return ResolveFile(JoinPath(doc.folder, name));
}

struct Packed {
    int row = 0;
    QString path;
    qint64 length = 0;
    qint64 position = 0;  // in the new container
};

// Whether a file holds exactly these bytes.
bool Holds(const QString& path, QByteArrayView bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray held = file.read(bytes.size() + 1);
    return held == bytes;
}

}  // namespace

bool IsReadOnlyFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & writable);
}

QVector<ImageToPack> ImagesToPack(const Document& doc, int* firstBlank)
{
    QVector<ImageToPack> images;
    if (firstBlank)
        *firstBlank = 0;
    for (int r = 1; r <= doc.objects.count(); ++r) {
        const ObjectRow& row = doc.objects.row(r);
        if (row.state != ImageState::ToReplace)
            continue;
        if (row.image.trimmed().isEmpty()) {
            if (firstBlank && !*firstBlank)
                *firstBlank = r;
            continue;
        }
        images.append(ImageToPack{r, row.key(), row.image.trimmed()});
    }
    return images;
}

namespace {

// What a save writes, built in memory before any file is touched.
struct SaveBuild {
    QString skinPath, containerPath;
    QVector<QString> lines;
    QVector<Packed> packed;
    qint64 total = 0;
    QByteArray container;
    bool haveSkin = false, keepOriginal = false, haveContainer = false;
    QVector<PendingFile> outputs;
};

SkinError Stop(ErrorKind code, const QString& key, const QString& file, const QString& system = QString())
{
    SkinError e = SkinError::of(code, file, system);
    e.key = key;
    return e;
}

// An image to pack that is not there: a folder in its place is said to be one.
SkinError NoImage(const QString& key, const QFileInfo& info)
{
    return Stop(info.isDir() ? ErrorKind::ImageNotAFile : ErrorKind::ImageMissing, key, info.filePath());
}

// Every check of the save and everything it writes but the image files,
// read and built in memory; nothing is written.
SkinError BuildSave(const Document& doc, SaveBuild* b)
{
    // The user's own protection comes first: nothing is read or built for
    // a save that may not replace these files.
    b->skinPath = FixedFile(doc, kSkinFileName);
    b->containerPath = FixedFile(doc, kContainerFileName);
    if (IsReadOnlyFile(b->skinPath))
        return Stop(ErrorKind::ReadOnly, QString(), b->skinPath);

    QVector<QString>& lines = b->lines;
    lines = doc.lines;
    if (lines.size() < kSlotCount)
        lines.resize(kSlotCount);
    const int lineCount = qBound(0, doc.lineCount, kSlotCount);

    // 1 and 2: every colour and rectangle row, edited or not.
    auto regenerate = [&](const Table<ValueRow>& table, QChar type, const char* name) {
        for (const ValueRow& row : table.rows()) {
            if (row.slot < 0) {
                SkinError e = SkinError::of(ErrorKind::IndexOutOfRange, JoinPath(doc.folder, kSkinFileName));
                e.key = row.key();
                e.detail = QLatin1String(name);
                e.extra = row.indexText.trimmed();
                return e;
            }
            lines[row.slot] = ComposeValueRecord(type, row.key(), row.values[0], row.values[1], row.values[2],
                                                 row.values[3]);
        }
        return SkinError();
    };
    SkinError regenerated = regenerate(doc.colours, QLatin1Char('4'), "colours");
    if (regenerated.ok())
        regenerated = regenerate(doc.rectangles, QLatin1Char('1'), "rectangles");
    if (!regenerated.ok())
        return regenerated;

    // 3: tree nodes an editor rewrote.
    for (int k = 1; k <= doc.structure.count() && k <= kSlotCount; ++k) {
        if (doc.structure.node(k).edited)
            lines[k - 1] = doc.structure.text(k);
    }

    // 4: the rows that keep their place write their record as read, the
    // packed rows a new one, in the table's current row order.
    const Table<ObjectRow>& objects = doc.objects;
    for (const ObjectRow& row : objects.rows())
        if (row.placed && row.state != ImageState::ToReplace && !row.record.isNull() && row.slot >= 0 &&
            row.slot < lines.size())
            lines[row.slot] = row.record;
    int firstBlank = 0;
    qint64& total = b->total;
    for (const ImageToPack& image : ImagesToPack(doc, &firstBlank)) {
        const QFileInfo info(ResolveFile(image.path));
        if (!info.isFile())
            return NoImage(image.key, info);
        b->packed.append(Packed{image.row, info.filePath(), info.size(), 0});
        total += info.size();
        if (total > kMaxContainerBytes)
            return Stop(ErrorKind::ContainerTooLarge, image.key, image.path);
    }
    if (total > 0 && IsReadOnlyFile(b->containerPath))
        return Stop(ErrorKind::ReadOnly, QString(), b->containerPath);

    if (total > 0) {
        if (firstBlank) {
            // A row without a file because a folder takes its image's name
            // is said to be that, not a blank "Path GIF".
            const ObjectRow& row = objects.row(firstBlank);
            const QString image = ObjectImagePath(doc.imageFolder, row.number);
            const QFileInfo info(image.isEmpty() ? QString() : ResolveDir(image));
            if (!image.isEmpty() && info.isDir())
                return NoImage(row.key(), info);
            return Stop(ErrorKind::BlankImagePath, row.key(), QString());
        }
        b->container = QByteArray(total, Qt::Uninitialized);
        qint64 position = 0;
        for (Packed& p : b->packed) {
            const ObjectRow& row = objects.row(p.row);
            QFile file(p.path);
            char extra = 0;
            if (!file.open(QIODevice::ReadOnly))
                return Stop(ErrorKind::ImageUnreadable, row.key(), p.path, file.errorString());
            // The file must still have the length the total was made of.
            if (file.read(b->container.data() + position, p.length) != p.length || file.read(&extra, 1) != 0)
                return Stop(ErrorKind::ImageChanged, row.key(), p.path);
            // Only whole GIFs go into the phone's container: a file cut
            // short or damaged anywhere would show half a picture there.
            if (const GifVerdict verdict = CheckGif(b->container.constData() + position, p.length);
                verdict != GifVerdict::Ok) {
                SkinError e = Stop(ErrorKind::ImageRefused, row.key(), p.path);
                e.verdict = verdict;
                return e;
            }
            lines[row.slot] = ComposeObjectRecord(row.key(), position, p.length);
            p.position = position;
            position += p.length;
        }
    }

    // 5: the backups are the current files, byte for byte. A skin file that
    // is gone (deleted while it was open) has nothing to copy: the backup
    // step is left out and an existing varavave_old.ski, the only copy of
    // an earlier state, is kept. The text as it was before the first save
    // in this folder is kept once, and never replaced.
    QByteArray backup;
    b->haveSkin = FileExist(b->skinPath);
    if (b->haveSkin) {
        bool ok = false;
        QString why;
        backup = ReadWholeFile(b->skinPath, &ok, kMaxBackupBytes, &why);
        if (!ok)
            return Stop(ErrorKind::BackupUnreadable, QString(), b->skinPath, why);
    }
    b->keepOriginal = b->haveSkin && !FileExist(FixedFile(doc, kOriginalFileName));
    QByteArray containerBackup;
    b->haveContainer = total > 0 && FileExist(b->containerPath);
    if (b->haveContainer) {
        bool ok = false;
        QString why;
        containerBackup = ReadWholeFile(b->containerPath, &ok, kMaxBackupBytes, &why);
        if (!ok)
            return Stop(ErrorKind::BackupUnreadable, QString(), b->containerPath, why);
    }

    // 6: the new skin text, every byte of every slot as it was read.
    QByteArray text;
    text.reserve(lineCount * 48);
    for (int i = 0; i < lineCount; ++i) {
        text += lines.at(i).toLatin1();
        text += '\n';
    }

    QVector<PendingFile>& outputs = b->outputs;
    if (total > 0)
        outputs.append(PendingFile{b->containerPath, b->container});
    if (b->haveContainer)
        outputs.append(PendingFile{FixedFile(doc, kContainerBackupFileName), containerBackup});
    if (b->haveSkin)
        outputs.append(PendingFile{FixedFile(doc, kBackupFileName), backup});
    if (b->keepOriginal)
        outputs.append(PendingFile{FixedFile(doc, kOriginalFileName), backup});
    outputs.append(PendingFile{b->skinPath, text});
    return SkinError();
}

}  // namespace

SkinError CheckSave(const Document& doc)
{
    SaveBuild build;
    return BuildSave(doc, &build);
}

SaveReport WriteSkin(Document& doc)
{
    SaveReport report;
    SaveBuild build;
    report.error = BuildSave(doc, &build);
    if (!report.error.ok())
        return report;
    const QVector<Packed>& packed = build.packed;
    const QByteArray& container = build.container;
    const Table<ObjectRow>& objects = doc.objects;
    const qint64 total = build.total;
    QVector<PendingFile>& outputs = build.outputs;

    // 7: each packed object's image file, where the next opening takes it
    // from. A file that holds other bytes (the picture before the
    // replacement, or one edited by hand) is kept under a numbered name
    // first, as an export keeps it.
    QVector<SaveReport::Kept> kept;
    if (total > 0 && !doc.imageFolder.isEmpty()) {
        if (!DirExist(doc.imageFolder))
            QDir().mkpath(doc.imageFolder);
        const FolderSnapshot folder(doc.imageFolder);
        // Two records of one object: the later one is what the next opening
        // finds in the image folder.
        QStringList targets;
        QHash<QString, QByteArrayView> bytesOf;
        for (const Packed& p : packed) {
            const QString image = ObjectImagePath(doc.imageFolder, objects.row(p.row).number);
            if (image.isEmpty())
                continue;
            const QString target = folder.resolve(image);
            if (!bytesOf.contains(target))
                targets << target;
            bytesOf[target] = QByteArrayView(container.constData() + p.position, p.length);
        }
        for (const QString& target : targets) {
            const QByteArrayView bytes = bytesOf.value(target);
            if (Holds(target, bytes))
                continue;
            if (FileExist(target)) {
                SkinError e;
                const QString copy = KeepNumberedCopy(target, &e, &folder);
                if (copy.isEmpty()) {
                    for (const SaveReport::Kept& k : kept)
                        QFile::remove(k.copy);
                    report.error = e;
                    return report;
                }
                kept.append(SaveReport::Kept{target, copy});
            }
            outputs.append(PendingFile{target, bytes.toByteArray()});
            ++report.imagesWritten;
        }
    }
    build.container.clear();

    report.error = ReplaceFiles(outputs);
    if (!report.error.ok()) {
        // The numbered copies are second names of files that are still
        // there unchanged.
        for (const SaveReport::Kept& k : kept)
            QFile::remove(k.copy);
        report.imagesWritten = 0;
        return report;
    }

    // The document follows the files only now that they are written.
    doc.lines = build.lines;
    for (const Packed& p : packed)
        doc.objects.row(p.row).packed = true;
    report.saved = true;
    report.containerWritten = total > 0;
    report.packed = total > 0 ? packed.size() : 0;
    report.backupWritten = build.haveSkin;
    report.containerBackupWritten = build.haveContainer;
    report.originalKept = build.keepOriginal;
    report.skinFile = build.skinPath;
    report.containerFile = build.containerPath;
    report.keptImages = kept;
    return report;
}

}  // namespace velluno
