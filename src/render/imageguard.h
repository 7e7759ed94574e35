#pragma once
// What an image must be before Qt decodes any of it, and the one bounded
// decoding of the program. A skin's images come from containers, from the
// user's disk and from drag and drop: a file that declares a picture of
// 20000 x 20000 pixels, or that is no picture at all, is refused from its
// first bytes, before a pixel is allocated.
#include "skin/errors.h"
#include "skin/model.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace velluno {

// The phone's pictures are 176 x 220 at most; anything far beyond a few
// thousand pixels a side is a broken or hostile file.
constexpr int kMaxImageSide = 8192;
constexpr qint64 kMaxImagePixels = qint64(16) << 20;
// Files larger than this are not read to be decoded.
constexpr qint64 kMaxImageFileBytes = qint64(64) << 20;

// ---------------------------------------------------------------- GIF guard

enum class GifVerdict {
    Ok,
    Empty,       // no bytes at all
    NotGif,      // no "GIF87a" or "GIF89a" signature
    Truncated,   // the bytes end before the first image's descriptor is whole
    Malformed,   // something that is no GIF block comes before the first image
    NoImage,     // the trailer comes before any image
    EmptyImage,  // the first image is 0 pixels wide or high
    TooLarge,    // the logical screen or the first image is beyond the bounds above
};

// The sizes a GIF declares: its logical screen and its first image.
struct GifFacts {
    int screenWidth = 0;
    int screenHeight = 0;
    int imageWidth = 0;
    int imageHeight = 0;
};

// Reads the signature, the logical screen, the colour table and the
// extension blocks up to the first image descriptor, and nothing else: no
// pixel is decoded, nothing is allocated, every read is bounded by `size`.
// A pure function of the bytes.
GifVerdict CheckGif(const char* data, qsizetype size, GifFacts* facts = nullptr);
inline GifVerdict CheckGif(const QByteArray& bytes, GifFacts* facts = nullptr)
{
    return CheckGif(bytes.constData(), bytes.size(), facts);
}

// ---------------------------------------------------------------- decoding

// Why an image was not decoded.
enum class ImageFault {
    None,
    Missing,      // no such file, or a folder
    Unreadable,   // the file cannot be opened or read (system: why)
    Empty,        // a file of 0 bytes
    NotAnImage,   // neither GIF nor JPEG
    NotGif,       // a picture, but only a GIF is taken here
    Truncated,    // the GIF guard's verdicts, as above
    Malformed,
    NoImage,
    EmptyImage,
    TooLarge,     // declared beyond the bounds, or a file beyond kMaxImageFileBytes
    Undecodable,  // Qt could not decode the first frame within the allocation limit
};

enum class ImageKinds { Gif, GifOrJpeg };

struct DecodedImage {
    QImage image;  // the first frame; null when `fault` is set
    ImageFault fault = ImageFault::None;
    QString system;  // Unreadable: the system's reason
    bool ok() const { return fault == ImageFault::None; }
};

// The first frame of a GIF (checked by CheckGif first) or a JPEG (its
// declared size checked first), recognised by content, decoded within
// Qt's allocation limit.
DecodedImage DecodeImage(const QByteArray& bytes, ImageKinds kinds);
// The same for a file, read whole (up to kMaxImageFileBytes), the name
// matched without regard to letter case.
DecodedImage DecodeImageFile(const QString& path, ImageKinds kinds);

// Before a save writes anything: every image it will pack (ImagesToPack)
// must be a GIF whose first frame decodes. The first that is not gives
// SkinError::ImageRefused (key, file, reason = the ImageFault). Images
// that are missing or unreadable are left to the save, which reports them.
SkinError CheckImagesToPack(const Document& doc);

}  // namespace velluno
