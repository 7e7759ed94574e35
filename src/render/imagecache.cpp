#include "render/imagecache.h"

#include "skin/files.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace velluno {

namespace {

// Above this many decoded bytes the cache starts again from empty.
constexpr qint64 kMaxCachedBytes = qint64(256) << 20;

// Painted many times, converted once: a paletted picture would be
// converted again on every paint.
QImage ForPainting(const QImage& image)
{
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

// The bounded decoding (render/imageguard): a hostile file is refused
// before a single pixel is allocated.
DecodedImage Decode(const QString& path)
{
    DecodedImage decoded = DecodeImageFile(path, ImageKinds::GifOrJpeg);
    if (decoded.ok())
        decoded.image = ForPainting(decoded.image);
    return decoded;
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

ImageCache::Stamp ImageCache::stampOf(const QString& path)
{
    Stamp stamp;
    if (path.isEmpty() || !Stat(path, &stamp.size, &stamp.modified))
        stamp.size = -1;
    return stamp;
}

void ImageCache::keep(const QString& path, const QImage& image, const Stamp& stamp)
{
    if (stamp.size < 0 || image.isNull())
        return;
    store(path, Entry{stamp.size, stamp.modified, ForPainting(image), ImageFault::None});
}

void ImageCache::store(const QString& path, const Entry& entry)
{
    const auto it = entries_.constFind(path);
    if (it != entries_.constEnd())
        bytes_ -= it->image.sizeInBytes();
    if (bytes_ + entry.image.sizeInBytes() > kMaxCachedBytes) {
        entries_.clear();
        bytes_ = 0;
    }
    bytes_ += entry.image.sizeInBytes();
    entries_.insert(path, entry);
}

QImage ImageCache::loadAnyCase(const QString& path, ImageFault* fault)
{
    const QImage image = load(path, fault);
    if (!image.isNull())
        return image;
    const QString resolved = ResolveFile(path);
    return resolved == path ? image : load(resolved, fault);
}

QImage ImageCache::load(const QString& path, ImageFault* fault)
{
    ImageFault ignored;
    if (!fault)
        fault = &ignored;
    qint64 size = 0;
    qint64 modified = 0;
    if (path.isEmpty() || !Stat(path, &size, &modified)) {
        const auto it = entries_.find(path);
        if (it != entries_.end()) {
            bytes_ -= it->image.sizeInBytes();
            entries_.erase(it);
        }
        *fault = ImageFault::Missing;
        return QImage();
    }
    const auto it = entries_.constFind(path);
    if (it != entries_.constEnd() && it->size == size && it->modified == modified) {
        *fault = it->fault;
        return it->image;  // also a remembered failure: a broken file is not decoded again
    }

    ++decodes_;
    const DecodedImage decoded = Decode(path);
    *fault = decoded.fault;
    store(path, Entry{size, modified, decoded.image, decoded.fault});
    return decoded.image;
}

}  // namespace velluno
