#pragma once
// What a GIF must be before it goes into a container for the phone, or
// before any decoder sees it: whole, from its signature to its trailer, with
// image data that decodes to every pixel each frame declares, and sizes
// within bounds. A file that declares a picture of 20000 x 20000 pixels, is
// cut short anywhere, or is no GIF at all is refused from its bytes alone,
// before a pixel is allocated.
#include <QByteArray>

namespace velluno {

// The phone's pictures are 176 x 220 at most; anything far beyond a few
// thousand pixels a side is a broken or hostile file.
constexpr int kMaxImageSide = 8192;
constexpr qint64 kMaxImagePixels = qint64(16) << 20;

// Within the bounds above; a side of 0 is left to the caller.
inline bool WithinImageBounds(int width, int height)
{
    return width <= kMaxImageSide && height <= kMaxImageSide && qint64(width) * height <= kMaxImagePixels;
}

enum class GifVerdict {
    Ok,
    Empty,       // no bytes at all
    NotGif,      // no "GIF87a" or "GIF89a" signature
    Truncated,   // the bytes end before the trailer, or a frame's data ends
                 // before it has given every pixel of the frame
    Malformed,   // something that is no GIF block stands where a block belongs,
                 // a graphic control or application extension lacks its own
                 // block, or an image's LZW code size is outside 2..8 or its
                 // codes are no valid LZW stream
    NoImage,     // the trailer comes before any image
    EmptyImage,  // an image is 0 pixels wide or high
    TooLarge,    // the logical screen or an image is beyond the bounds above
};

// The sizes a GIF declares: its logical screen and its first image, and how
// many images (frames) it holds. Filled as far as the bytes were read.
struct GifFacts {
    int screenWidth = 0;
    int screenHeight = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int frames = 0;
};

// Reads the whole file: the signature, the logical screen, the colour
// tables, every extension and every image up to the trailer, and decodes
// each image's LZW codes far enough to count its pixels (no pixel is
// stored). Nothing is allocated, every read is bounded by `size`, and the
// time is linear in `size` whatever the sizes declared. A pure function of
// the bytes.
GifVerdict CheckGif(const char* data, qsizetype size, GifFacts* facts = nullptr);
inline GifVerdict CheckGif(const QByteArray& bytes, GifFacts* facts = nullptr)
{
    return CheckGif(bytes.constData(), bytes.size(), facts);
}

}  // namespace velluno
