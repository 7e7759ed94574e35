#include "render/imagecache.h"

#include "skin/files.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace velluno {

namespace {

// Pictures of the phone's screen are tiny; anything far beyond a few
// thousand pixels a side is a broken or hostile file, refused before a
// single pixel is allocated.
constexpr int kMaxSide = 8192;
constexpr qint64 kMaxPixels = qint64(16) << 20;
constexpr int kAllocationLimitMB = 64;
// Above this many decoded bytes the cache starts again from empty.
constexpr qint64 kMaxCachedBytes = qint64(256) << 20;

QImage Decode(const QString& path)
{
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(path);
    // Decided by the bytes, not the name: a skin's ".gif" may be anything.
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format != "gif" && format != "jpeg" && format != "jpg")
        return QImage();
    const QSize declared = reader.size();
    if (declared.isValid() &&
        (declared.width() > kMaxSide || declared.height() > kMaxSide ||
         qint64(declared.width()) * declared.height() > kMaxPixels))
        return QImage();
    QImage image;
    if (!reader.read(&image))  // the first frame of an animation
        return QImage();
    // Painted many times, converted once: a paletted picture would be
    // converted again on every paint.
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

// Whether the path is a normal file, with its size and modification time.
// One system call: a render looks at a dozen files and must stay cheap.
bool Stat(const QString& path, qint64* size, qint64* modified)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = qint64(st.st_size);
    *modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    *size = info.size();
    *modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
    return true;
#endif
}

}  // namespace

QImage ImageCache::loadAnyCase(const QString& path)
{
    const QImage image = load(path);
    if (!image.isNull())
        return image;
    const QString resolved = ResolveFile(path);
    return resolved == path ? image : load(resolved);
}

QImage ImageCache::load(const QString& path)
{
    qint64 size = 0;
    qint64 modified = 0;
    if (path.isEmpty() || !Stat(path, &size, &modified)) {
        const auto it = entries_.find(path);
        if (it != entries_.end()) {
            bytes_ -= it->image.sizeInBytes();
            entries_.erase(it);
        }
        return QImage();
    }
    const auto it = entries_.constFind(path);
    if (it != entries_.constEnd() && it->size == size && it->modified == modified)
        return it->image;  // also a remembered failure: a broken file is not decoded again

    ++decodes_;
    Entry entry{size, modified, Decode(path)};
    if (it != entries_.constEnd())
        bytes_ -= it->image.sizeInBytes();
    if (bytes_ + entry.image.sizeInBytes() > kMaxCachedBytes) {
        entries_.clear();
        bytes_ = 0;
    }
    bytes_ += entry.image.sizeInBytes();
    entries_.insert(path, entry);
    return entry.image;
}

}  // namespace velluno
