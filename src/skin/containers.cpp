#include "skin/containers.h"

#include "skin/atomic.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>

namespace velluno {

namespace {

using Fault = ExtractReport::Fault;

// Containers larger than this are not read (a QByteArray of the size must fit).
constexpr qint64 kMaxContainerRead = qint64(1) << 31;
// An image file edited by hand larger than this is no picture for the phone.
constexpr qint64 kMaxEditedImageBytes = qint64(64) << 20;

// A container as one extraction read it. Every row of the same container
// uses the same bytes, so a skin of hundreds of objects in two containers
// reads two files, not hundreds.
struct Container {
    QString path;
    bool ok = false;
    Fault::Reason problem = Fault::NoContainer;
    QString system;
    QByteArray bytes;
};

const Container& ReadContainer(const Document& doc, std::map<qint64, Container>& cache, qint64 n)
{
    auto found = cache.find(n);
    if (found != cache.end())
        return found->second;
    Container c;
    c.path = ContainerPath(doc, n);
    const QFileInfo info(c.path);
    if (!info.isFile()) {
        c.problem = Fault::NoContainer;
    } else if (info.size() > kMaxContainerRead) {
        c.problem = Fault::ContainerTooLarge;
    } else {
        bool ok = false;
        c.bytes = ReadWholeFile(c.path, &ok, kMaxContainerRead, &c.system);
        if (!ok)
            c.problem = Fault::ContainerUnreadable;
        else if (c.bytes.isEmpty())
            c.problem = Fault::EmptyContainer;
        else
            c.ok = true;
    }
    return cache.emplace(n, std::move(c)).first->second;
}

// A whole, non-negative number below 2^53 (exact in a double), or -1.
qint64 WholeNumber(QStringView text)
{
    const double v = LenientNumber(text);
    if (!std::isfinite(v) || v < 0 || v != std::floor(v) || v >= 9007199254740992.0)
        return -1;
    return qint64(v);
}


// What an image file holds beside the bytes about to be written. The same
// bytes: a second export of an unchanged skin leaves the image folder as it
// is instead of replacing every file with an equal one. Other bytes: the
// file was edited (or drawn anew) since the export wrote it, and its
// content must not be lost to the new one.
enum class OnDisk { Nothing, Same, Other };

OnDisk Compare(const QString& path, const char* data, qint64 length)
{
    const QFileInfo info(path);
    // Anything but a file is left to the writing, which refuses it.
    if (!info.isFile())
        return OnDisk::Nothing;
    if (info.size() != length)
        return OnDisk::Other;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return OnDisk::Other;
    const QByteArray bytes = file.read(length);
    return bytes.size() == length && memcmp(bytes.constData(), data, size_t(length)) == 0 ? OnDisk::Same
                                                                                            : OnDisk::Other;
}

// An image on its way: written beside its target, renamed over it once
// every image of the extraction is on the disk.
struct Staged {
    int row = 0;
    qint64 container = 0;
    QString image;  // the object image file as the row shows it
    AtomicFile file;
    bool unchanged = false;  // the file holds the image already
    bool edited = false;     // the file holds other bytes, to be kept beside it
};

}  // namespace

QString ContainerPath(const Document& doc, qint64 n)
{
    const QString name = doc.name + (n == 0 ? QString() : QString::number(n)) + QStringLiteral(".dat");
    return ResolveFile(JoinPath(doc.folder, name));
}

ExtractReport ExtractImages(Document& doc)
{
    ExtractReport report;
    // Before any skin is open there is nothing to extract and nowhere to write.
    if (doc.imageFolder.isEmpty() || doc.folder.isEmpty())
        return report;
    if (!DirExist(doc.imageFolder))
        QDir().mkpath(doc.imageFolder);

    const bool ownContainer = IsOperatorSkin(doc.name);
    std::map<qint64, Container> cache;
    std::vector<Staged> staged;
    // Listed once: the extraction writes its own temporary files into the folder.
    const FolderSnapshot existing(doc.imageFolder);
    Table<ObjectRow>& table = doc.objects;
    for (int r = 1; r <= table.count(); ++r) {
        ObjectRow& row = table.row(r);
        auto faulty = [&](Fault::Reason reason, const QString& file = QString(),
                          const QString& detail = QString(), const QString& system = QString(), int errnum = 0) {
            row.faulty = true;
            report.faults.append(Fault{row.key(), reason, file, detail, system, errnum});
        };

        // A replaced row has no place in any container until the next save;
        // read as numbers its cells would point at the start of container 0
        // and the replacement image would be overwritten with foreign bytes.
        if (!row.placed) {
            ++report.skipped;
            continue;
        }
        const QString containerText = row.containerText();
        const qint64 n = WholeNumber(containerText);
        const qint64 offset = WholeNumber(row.offset);
        const qint64 length = WholeNumber(row.bytes);
        if (n < 0 || offset < 0 || length < 0) {
            faulty(Fault::BadValues, QString(), QStringLiteral("%1 %2 %3").arg(containerText, row.offset, row.bytes));
            continue;
        }
        if (length == 0) {
            faulty(Fault::EmptyImage);
            continue;
        }
        if (!ObjectNumberFits(row.number)) {
            faulty(Fault::NumberTooLarge);
            continue;
        }
        const Container& c = ReadContainer(doc, cache, n);
        if (!c.ok) {
            faulty(c.problem, c.path, QString(), c.system);
            continue;
        }
        const qint64 size = c.bytes.size();
        if (offset > size || length > size - offset) {
            faulty(Fault::PastTheEnd, c.path, QStringLiteral("%1 %2 %3").arg(offset).arg(length).arg(size));
            continue;
        }

        const QString image = ObjectImagePath(doc.imageFolder, row.number);
        Staged s{r, n, image, AtomicFile(existing.resolve(image)), false, false};
        const char* bytes = c.bytes.constData() + offset;
        const OnDisk onDisk = Compare(s.file.target(), bytes, length);
        s.unchanged = onDisk == OnDisk::Same;
        s.edited = onDisk == OnDisk::Other;
        if (!s.unchanged) {
            if (const SkinError e = s.file.stage(bytes, length); !e.ok()) {
                faulty(Fault::CannotWrite, image, QString(), e.system, e.errnum);
                continue;
            }
        }
        staged.push_back(std::move(s));
    }
    cache.clear();

    // Every new image on the disk before any old one is replaced: the images
    // that the next save packs into container 14 must not be lost to a crash.
    QStringList temps;
    for (const Staged& s : staged)
        if (!s.unchanged)
            temps << s.file.staged();
    if (!temps.isEmpty())
        SyncFolderFiles(doc.imageFolder, temps);
    for (Staged& s : staged) {
        ObjectRow& row = table.row(s.row);
        if (s.edited) {
            SkinError e;
            const QString backup = KeepNumberedCopy(s.file.target(), &e, &existing);
            if (backup.isEmpty()) {
                // Better no new image than an edited one lost.
                row.faulty = true;
                report.faults.append(Fault{row.key(), Fault::CannotKeepEdited, s.image, QString(), e.system, e.errnum});
                continue;
            }
            report.kept.append(ExtractReport::Kept{row.key(), s.file.target(), backup});
        }
        if (!s.unchanged) {
            if (const SkinError e = s.file.commit(); !e.ok()) {
                row.faulty = true;
                report.faults.append(Fault{row.key(), Fault::CannotWrite, s.image, QString(), e.system, e.errnum});
                continue;
            }
        }
        ++report.written;
        row.faulty = false;
        row.packed = false;
        row.state = ownContainer && s.container == 14 ? ImageState::ToReplace : ImageState::Extracted;
        row.image = s.image;
    }
    if (!temps.isEmpty())
        SyncFolder(doc.imageFolder);
    return report;
}

namespace {

// The containers an edit check reads from, each opened once; only the bytes
// of the images compared are read.
class ContainerFiles {
public:
    explicit ContainerFiles(const Document& doc) : doc_(doc) {}
    // The `length` bytes at `offset` of container n; false when the
    // container is missing or holds fewer.
    bool read(qint64 n, qint64 offset, qint64 length, QByteArray* bytes)
    {
        auto it = files_.find(n);
        if (it == files_.end()) {
            auto file = std::make_unique<QFile>(ContainerPath(doc_, n));
            if (!QFileInfo(file->fileName()).isFile() || !file->open(QIODevice::ReadOnly))
                file.reset();
            it = files_.emplace(n, std::move(file)).first;
        }
        QFile* file = it->second.get();
        if (!file || offset > file->size() || length > file->size() - offset || !file->seek(offset))
            return false;
        *bytes = file->read(length);
        return bytes->size() == length;
    }

private:
    const Document& doc_;
    std::map<qint64, std::unique_ptr<QFile>> files_;
};

// The whole file when it differs from `expected`; empty when it holds
// exactly those bytes or cannot be read.
QByteArray DifferentContent(const QString& path, const QByteArray& expected)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = file.read(qMin(file.size(), kMaxEditedImageBytes) + 1);
    return bytes == expected ? QByteArray() : bytes;
}

}  // namespace

EditedImages TakeEditedImages(Document& doc)
{
    EditedImages result;
    if (doc.folder.isEmpty())
        return result;
    const bool ownContainer = IsOperatorSkin(doc.name);
    ContainerFiles containers(doc);
    const FolderSnapshot images(doc.imageFolder);
    for (ObjectRow& row : doc.objects.rows()) {
        if (row.state != ImageState::Found && row.state != ImageState::Extracted)
            continue;
        if (!row.placed)
            continue;
        const qint64 n = WholeNumber(row.containerText());
        const qint64 offset = WholeNumber(row.offset);
        const qint64 length = WholeNumber(row.bytes);
        if (n < 0 || offset < 0 || length <= 0 || (ownContainer && n == 14))
            continue;
        // The container first: most often it tells, without a look at the
        // image file, that there is nothing to compare with.
        QByteArray expected;
        if (!containers.read(n, offset, length, &expected))
            continue;
        const QString path = images.resolve(row.image.trimmed());
        if (path.isEmpty())
            continue;
        const QByteArray bytes = DifferentContent(path, expected);
        if (bytes.isEmpty())
            continue;
        EditedImage edited{row.key(), path, bytes.size(), CheckGif(bytes)};
        if (bytes.size() > kMaxEditedImageBytes)
            edited.verdict = GifVerdict::TooLarge;
        if (edited.verdict != GifVerdict::Ok) {
            result.refused.append(edited);
            continue;
        }
        PointAtImage(row, path, edited.length);
        result.taken.append(edited);
    }
    return result;
}

}  // namespace velluno
