#include "render/imageguard.h"

#include "skin/files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace velluno {

namespace {

// Qt refuses to allocate more than this for one picture; 8192 x 2048
// pixels of four bytes fit exactly.
constexpr int kAllocationLimitMB = 64;


DecodedImage Fault(ImageFault fault, const QString& system = QString())
{
    DecodedImage d;
    d.fault = fault;
    d.system = system;
    return d;
}

}  // namespace

ImageFault ImageFaultOf(GifVerdict verdict)
{
    switch (verdict) {
    case GifVerdict::Ok: return ImageFault::None;
    case GifVerdict::Empty: return ImageFault::Empty;
    case GifVerdict::NotGif: return ImageFault::NotGif;
    case GifVerdict::Truncated: return ImageFault::Truncated;
    case GifVerdict::Malformed: return ImageFault::Malformed;
    case GifVerdict::NoImage: return ImageFault::NoImage;
    case GifVerdict::EmptyImage: return ImageFault::EmptyImage;
    case GifVerdict::TooLarge: return ImageFault::TooLarge;
    }
    return ImageFault::Malformed;
}

DecodedImage DecodeImage(const QByteArray& bytes, ImageKinds kinds)
{
    if (bytes.isEmpty())
        return Fault(ImageFault::Empty);
    const bool gif = bytes.startsWith("GIF");
    // Nothing that claims to be a GIF, and nothing at all where only a GIF
    // is taken, reaches Qt's decoder before the guard has read it.
    if (gif || kinds == ImageKinds::Gif) {
        const GifVerdict verdict = CheckGif(bytes);
        if (verdict != GifVerdict::Ok)
            return Fault(ImageFaultOf(verdict));
    }
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (gif) {
        if (format != "gif")
            return Fault(ImageFault::Undecodable);
    } else if (format != "jpeg" && format != "jpg") {
        return Fault(ImageFault::NotAnImage);
    } else {
        const QSize declared = reader.size();
        if (declared.isValid() && !WithinImageBounds(declared.width(), declared.height()))
            return Fault(ImageFault::TooLarge);
    }
    DecodedImage decoded;
    if (!reader.read(&decoded.image) || decoded.image.isNull())  // the first frame of an animation
        return Fault(ImageFault::Undecodable);
    return decoded;
}

DecodedImage DecodeImageFile(const QString& path, ImageKinds kinds)
{
    const QString resolved = ResolveFile(path);
    const QFileInfo info(resolved);
    if (!info.isFile())
        return Fault(ImageFault::Missing);
    QFile file(resolved);
    if (!file.open(QIODevice::ReadOnly))
        return Fault(file.exists() ? ImageFault::Unreadable : ImageFault::Missing, file.errorString());
    // The size at the time of reading, not of the look above.
    if (file.size() > kMaxImageFileBytes)
        return Fault(ImageFault::TooLarge);
    const QByteArray bytes = file.read(kMaxImageFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Fault(ImageFault::Unreadable, file.errorString());
    if (bytes.size() > kMaxImageFileBytes)
        return Fault(ImageFault::TooLarge);
    return DecodeImage(bytes, kinds);
}


}  // namespace velluno
