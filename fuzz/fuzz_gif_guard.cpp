// The GIF guard on any bytes, then the bounded decoding it lets through. The
// guard reads only what lies before the first image and must never read past
// the end; what it lets through must declare sizes within the bounds, and
// only Qt's own decoder may still say no.
#include "fuzzsupport.h"
#include "render/imageguard.h"

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace velluno;

namespace {

bool WithinBounds(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           qint64(width) * height <= kMaxImagePixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    // A copy of exactly `size` bytes on the heap, so that AddressSanitizer
    // catches a read one byte past the end (QByteArray would add a NUL).
    std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
    if (size)
        std::memcpy(bytes.get(), data, size);
    GifFacts facts;
    const GifVerdict verdict = CheckGif(bytes.get(), qsizetype(size), &facts);
    if (size == 0 && verdict != GifVerdict::Empty)
        std::abort();
    if (verdict != GifVerdict::Ok)
        return 0;
    if (!WithinBounds(facts.imageWidth, facts.imageHeight) ||
        qint64(facts.screenWidth) * facts.screenHeight > kMaxImagePixels ||
        facts.screenWidth > kMaxImageSide || facts.screenHeight > kMaxImageSide)
        std::abort();
    // Decoding is Qt's and slow for large pictures; the small ones are
    // enough to check that the decoder agrees with the guard.
    if (qint64(facts.imageWidth) * facts.imageHeight > 256 * 256 ||
        qint64(facts.screenWidth) * facts.screenHeight > 256 * 256)
        return 0;
    const DecodedImage decoded =
        DecodeImage(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), ImageKinds::Gif);
    if (decoded.fault != ImageFault::None && decoded.fault != ImageFault::Undecodable)
        std::abort();
    if (decoded.ok() && decoded.image.isNull())
        std::abort();
    return 0;
}
