// The GIF guard on any bytes, then the bounded decoding it lets through. The
// guard reads the whole file and must never read past its end; a cut of
// the bytes gives either the same verdict (reached before the cut) or
// Truncated; what it lets through declares sizes within the bounds, and its
// first frame decodes with Qt. Only a logical screen 0 wide or high leaves
// Qt a reason of its own: it then sizes the picture by where the frame lies,
// which may pass its allocation limit.
#include "fuzzsupport.h"
#include "render/imageguard.h"

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace velluno;

namespace {

// A copy of exactly `size` bytes on the heap, so that AddressSanitizer
// catches a read one byte past the end (QByteArray would add a NUL).
GifVerdict CheckExactly(const uint8_t* data, size_t size, GifFacts* facts)
{
    std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
    if (size)
        std::memcpy(bytes.get(), data, size);
    return CheckGif(bytes.get(), qsizetype(size), facts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartQt();
    GifFacts facts;
    const GifVerdict verdict = CheckExactly(data, size, &facts);
    if (size == 0 && verdict != GifVerdict::Empty)
        std::abort();
    if (size > 1) {
        const size_t cut = 1 + data[size - 1] * (size - 1) / 256;
        const GifVerdict part = CheckExactly(data, cut, nullptr);
        if (part != GifVerdict::Truncated && part != verdict)
            std::abort();
    }
    if (verdict != GifVerdict::Ok)
        return 0;
    if (facts.frames < 1 || facts.imageWidth < 1 || facts.imageHeight < 1 ||
        !WithinImageBounds(facts.imageWidth, facts.imageHeight) ||
        !WithinImageBounds(facts.screenWidth, facts.screenHeight))
        std::abort();
    // Decoding is Qt's and slow for large pictures; the small ones are
    // enough to check that the decoder agrees with the guard.
    if (qint64(facts.imageWidth) * facts.imageHeight > 256 * 256 ||
        qint64(facts.screenWidth) * facts.screenHeight > 256 * 256)
        return 0;
    const DecodedImage decoded =
        DecodeImage(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), ImageKinds::Gif);
    if (decoded.ok() ? decoded.image.isNull() : decoded.fault != ImageFault::Undecodable)
        std::abort();
    if (!decoded.ok() && facts.screenWidth > 0 && facts.screenHeight > 0)
        std::abort();
    return 0;
}
