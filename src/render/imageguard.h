#pragma once
// What an image must be before Qt decodes any of it, and the one bounded
// decoding of the program. A skin's images come from containers, from the
// user's disk and from drag and drop: a GIF is read whole by CheckGif
// (skin/gif) before Qt sees it, and a JPEG's declared size is checked
// before a pixel is allocated.
#include "skin/errors.h"
#include "skin/gif.h"
#include "skin/document.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace velluno {

// Files larger than this are not read to be decoded.
constexpr qint64 kMaxImageFileBytes = qint64(64) << 20;

// ---------------------------------------------------------------- decoding

// Why an image was not decoded.
enum class ImageFault {
    None,
    Missing,      // no such file, or a folder
    Unreadable,   // the file cannot be opened or read (system: why)
    Empty,        // a file of 0 bytes
    NotAnImage,   // neither GIF nor JPEG
    NotGif,       // a picture, but only a GIF is taken here
    Truncated,    // CheckGif's verdicts (skin/gif.h)
    Malformed,
    NoImage,
    EmptyImage,
    TooLarge,     // declared beyond the bounds, or a file beyond kMaxImageFileBytes
    Undecodable,  // Qt could not decode the first frame within the allocation limit
};

// The fault of a GIF that the check refused.
ImageFault ImageFaultOf(GifVerdict verdict);

enum class ImageKinds { Gif, GifOrJpeg };

struct DecodedImage {
    QImage image;  // the first frame; null when `fault` is set
    ImageFault fault = ImageFault::None;
    QString system;  // Unreadable: the system's reason
    bool ok() const { return fault == ImageFault::None; }
};

// The first frame of a GIF (read whole by CheckGif first) or a JPEG (its
// declared size checked first), recognised by content, decoded within
// Qt's allocation limit.
DecodedImage DecodeImage(const QByteArray& bytes, ImageKinds kinds);
// The same for a file, read whole (up to kMaxImageFileBytes), the name
// matched without regard to letter case.
DecodedImage DecodeImageFile(const QString& path, ImageKinds kinds);


}  // namespace velluno
