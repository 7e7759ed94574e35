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

// A container as one extraction read it.
struct Container {
    QString path;
    bool ok = false;
    Fault::Reason problem = Fault::Reason::NoContainer;
    QString system;
    QByteArray bytes;
};

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

struct ContainerImages::Cache {
    std::map<qint64, Container> containers;
};

ContainerImages::ContainerImages(const Document& doc) : doc_(doc), cache_(std::make_unique<Cache>()) {}
ContainerImages::~ContainerImages() = default;

ContainerImages::Place ContainerImages::locate(const ObjectRow& row, QByteArrayView* image, qint64* container,
                                               Fault* fault)
{
    // A replaced row has no place in any container until the next save;
    // read as numbers its cells would point at the start of container 0.
    if (!row.placed)
        return Place::Replaced;
    *fault = Fault{row.key(), Fault::Reason::BadValues, QString(), QString(), QString(), GifVerdict::Ok,
                   SkinError(), row.slot + 1};
    const QString containerText = row.containerText();
    const qint64 n = WholeNumber(containerText);
    const qint64 offset = WholeNumber(row.offset);
    const qint64 length = WholeNumber(row.bytes);
    if (n < 0 || offset < 0 || length < 0) {
        fault->detail = QStringLiteral("%1 %2 %3").arg(containerText, row.offset, row.bytes);
        return Place::Faulty;
    }
    fault->reason = Fault::Reason::EmptyImage;
    if (length == 0)
        return Place::Faulty;
    fault->reason = Fault::Reason::NumberTooLarge;
    if (!ObjectNumberFits(row.number))
        return Place::Faulty;
    auto found = cache_->containers.find(n);
    if (found == cache_->containers.end()) {
        Container c;
        c.path = ContainerPath(doc_, n);
        const QFileInfo info(c.path);
        if (!info.isFile()) {
            c.problem = Fault::Reason::NoContainer;
        } else if (info.size() > kMaxContainerRead) {
            c.problem = Fault::Reason::ContainerTooLarge;
        } else {
            bool ok = false;
            c.bytes = ReadWholeFile(c.path, &ok, kMaxContainerRead, &c.system);
            c.problem = !ok ? Fault::Reason::ContainerUnreadable : Fault::Reason::EmptyContainer;
            c.ok = ok && !c.bytes.isEmpty();
        }
        found = cache_->containers.emplace(n, std::move(c)).first;
    }
    const Container& c = found->second;
    fault->file = c.path;
    if (!c.ok) {
        fault->reason = c.problem;
        fault->system = c.system;
        return Place::Faulty;
    }
    const qint64 size = c.bytes.size();
    if (offset > size || length > size - offset) {
        fault->reason = Fault::Reason::PastTheEnd;
        fault->detail = QStringLiteral("%1 %2 %3").arg(offset).arg(length).arg(size);
        return Place::Faulty;
    }
    *image = QByteArrayView(c.bytes.constData() + offset, length);
    *container = n;
    return Place::Found;
}

QString ContainerPath(const Document& doc, qint64 n)
{
    const QString name = doc.name + (n == 0 ? QString() : QString::number(n)) + QStringLiteral(".dat");
    return ResolveFile(JoinPath(doc.folder, name));
}

namespace {

// The check of an image cut out of its container: only a whole GIF is
// what the phone can show, and what the next save packs again.
void Refused(const Fault& where, QByteArrayView image, ExtractReport& report)
{
    const GifVerdict verdict = CheckGif(image.data(), image.size());
    if (verdict == GifVerdict::Ok)
        return;
    Fault f = where;
    f.reason = Fault::Reason::NotAGif;
    f.verdict = verdict;
    f.detail.clear();
    report.faults.append(f);
}

}  // namespace

ExtractReport CheckContainerImages(const Document& doc)
{
    ExtractReport report;
    ContainerImages containers(doc);
    for (const ObjectRow& row : doc.objects.rows()) {
        QByteArrayView image;
        qint64 n = 0;
        Fault fault;
        switch (containers.locate(row, &image, &n, &fault)) {
        case ContainerImages::Place::Replaced: ++report.skipped; break;
        case ContainerImages::Place::Faulty: report.faults.append(fault); break;
        case ContainerImages::Place::Found:
            Refused(fault, image, report);
            ++report.written;
            break;
        }
    }
    return report;
}

ExtractReport ExtractImages(Document& doc)
{
    ExtractReport report;
    // Before any skin is open there is nothing to extract and nowhere to write.
    if (doc.imageFolder.isEmpty() || doc.folder.isEmpty())
        return report;
    // Without its folder no image can be written: that is the one reason,
    // not a failure of every row.
    report.folder = CreateImageFolder(SkinPlace{doc.folder, doc.name, doc.imageFolder, false});
    if (!report.folder.ok())
        return report;

    const bool ownContainer = IsOperatorSkin(doc.name);
    std::vector<Staged> staged;
    // Listed once: the extraction writes its own temporary files into the folder.
    const FolderSnapshot existing(doc.imageFolder);
    Table<ObjectRow>& table = doc.objects;
    {
        ContainerImages containers(doc);
        for (int r = 1; r <= table.count(); ++r) {
            ObjectRow& row = table.row(r);
            QByteArrayView bytes;
            qint64 n = 0;
            Fault fault;
            const ContainerImages::Place place = containers.locate(row, &bytes, &n, &fault);
            if (place == ContainerImages::Place::Replaced) {
                ++report.skipped;
                continue;
            }
            if (place == ContainerImages::Place::Faulty) {
                row.faulty = true;
                report.faults.append(fault);
                continue;
            }
            // A refused image is written all the same, and its row looks
            // extracted: it is what the container holds, and the user can
            // look at it and mend it. The report names it.
            Refused(fault, bytes, report);

            const QString image = ObjectImagePath(doc.imageFolder, row.number);
            Staged s{r, n, image, AtomicFile(existing.resolve(image)), false, false};
            const OnDisk onDisk = Compare(s.file.target(), bytes.data(), bytes.size());
            s.unchanged = onDisk == OnDisk::Same;
            s.edited = onDisk == OnDisk::Other;
            if (!s.unchanged) {
                if (const SkinError e = s.file.stage(bytes.data(), bytes.size()); !e.ok()) {
                    row.faulty = true;
                    fault.reason = Fault::Reason::CannotWrite;
                    fault.file = image;
                    fault.error = e;
                    report.faults.append(fault);
                    continue;
                }
            }
            staged.push_back(std::move(s));
        }
    }

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
                report.faults.append(Fault{row.key(), Fault::Reason::CannotKeepEdited, s.image, QString(), e.system,
                                           GifVerdict::Ok, e, row.slot + 1});
                continue;
            }
            report.kept.append(ExtractReport::Kept{row.key(), s.file.target(), backup});
        }
        if (!s.unchanged) {
            if (const SkinError e = s.file.commit(); !e.ok()) {
                row.faulty = true;
                report.faults.append(Fault{row.key(), Fault::Reason::CannotWrite, s.image, QString(), e.system,
                                           GifVerdict::Ok, e, row.slot + 1});
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
