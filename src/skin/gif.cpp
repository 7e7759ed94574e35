#include "skin/gif.h"

#include <cstring>

namespace velluno {

namespace {

// LZW codes are at most 12 bits wide: the table has 4096 entries.
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

int Le16(const unsigned char* p) { return int(p[0]) | (int(p[1]) << 8); }

bool IsGifSignature(const char* data, qsizetype size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

// Steps over data sub-blocks (a length byte, then that many bytes) up to
// and including the empty one that ends them.
GifVerdict SkipSubBlocks(const unsigned char* p, qsizetype size, qsizetype* at)
{
    for (;;) {
        if (*at >= size)
            return GifVerdict::Truncated;
        const qsizetype length = p[(*at)++];
        if (length == 0)
            return GifVerdict::Ok;
        if (size - *at < length)
            return GifVerdict::Truncated;
        *at += length;
    }
}

// Runs an image's LZW code stream, spread over its sub-blocks, through the
// decoder's table without producing a pixel: each entry keeps only the
// length of its string, so a code's pixels are counted in one step however
// long the string. Every code up to the end-of-information code must be
// valid, those past the frame's last pixel too (Qt's decoder reads them and
// gives up on a bad one); what follows that code in the sub-blocks is
// stepped over, as decoders do. The bytes end, or the sub-blocks end,
// before every one of the frame's `pixels` is given: Truncated.
GifVerdict CheckImageData(const unsigned char* p, qsizetype size, qsizetype* at, int minCodeSize, qint64 pixels)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    quint16 length[kTableSize];  // entries below `next` only; clear and end have none
    for (int i = 0; i < clear; ++i)
        length[i] = 1;
    int width = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;  // no code since the last clear: the next one must be a root
    quint32 bits = 0;
    int held = 0;
    qint64 given = 0;
    bool decoding = true;
    for (;;) {
        if (*at >= size)
            return GifVerdict::Truncated;
        const qsizetype block = p[(*at)++];
        if (block == 0)
            return given >= pixels ? GifVerdict::Ok : GifVerdict::Truncated;
        if (size - *at < block)
            return GifVerdict::Truncated;
        const unsigned char* byte = p + *at;
        *at += block;
        for (qsizetype i = 0; decoding && i < block; ++i) {
            bits |= quint32(byte[i]) << held;
            held += 8;
            while (held >= width) {
                const int code = int(bits & ((1u << width) - 1));
                bits >>= width;
                held -= width;
                if (code == clear) {
                    width = minCodeSize + 1;
                    next = clear + 2;
                    previous = -1;
                    continue;
                }
                if (code == end) {
                    decoding = false;
                    break;
                }
                int yields;
                if (code < clear || (code < next && code > end))
                    yields = length[code];
                else if (code == next && previous >= 0)
                    yields = length[previous] + 1;  // the previous string and its own first pixel
                else
                    return GifVerdict::Malformed;
                if (previous >= 0 && next < kTableSize) {
                    length[next] = quint16(length[previous] + 1);
                    ++next;
                    if (next >= (1 << width) && width < kMaxCodeBits)
                        ++width;
                }
                previous = code;
                given = qMin(given + yields, pixels);
            }
        }
    }
}

}  // namespace

GifVerdict CheckGif(const char* data, qsizetype size, GifFacts* facts)
{
    GifFacts ignored;
    if (!facts)
        facts = &ignored;
    *facts = GifFacts{};
    if (size <= 0)
        return GifVerdict::Empty;
    if (!IsGifSignature(data, size))
        return size < 6 && std::memcmp(data, "GIF", size_t(qMin<qsizetype>(size, 3))) == 0
                   ? GifVerdict::Truncated
                   : GifVerdict::NotGif;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    qsizetype at = 6;
    // The logical screen: width, height, flags, background, aspect.
    if (size - at < 7)
        return GifVerdict::Truncated;
    facts->screenWidth = Le16(p + at);
    facts->screenHeight = Le16(p + at + 2);
    const unsigned screenFlags = p[at + 4];
    at += 7;
    if (!WithinImageBounds(facts->screenWidth, facts->screenHeight))
        return GifVerdict::TooLarge;
    auto skipColourTable = [&](unsigned flags) {
        if (!(flags & 0x80))
            return true;
        const qsizetype table = qsizetype(3) << ((flags & 7) + 1);
        if (size - at < table)
            return false;
        at += table;
        return true;
    };
    if (!skipColourTable(screenFlags))
        return GifVerdict::Truncated;
    // Extensions (graphic control, comment, application, plain text) and
    // images, in any order, up to the trailer.
    for (;;) {
        if (at >= size)
            return GifVerdict::Truncated;
        const unsigned char block = p[at++];
        if (block == 0x3B)  // what follows the trailer is no part of the picture
            return facts->frames > 0 ? GifVerdict::Ok : GifVerdict::NoImage;
        if (block == 0x21) {  // a label, then sub-blocks
            if (size - at < 2)
                return GifVerdict::Truncated;
            // A graphic control or application extension opens with a block
            // of its own (the frame's timing, the application's name). Qt
            // reads that block before looking for the end of the extension:
            // an empty one there, which would end the extension anywhere
            // else, puts it out of step with the rest of the file.
            const unsigned char label = p[at++];
            if ((label == 0xF9 || label == 0xFF) && p[at] == 0)
                return GifVerdict::Malformed;
            const GifVerdict verdict = SkipSubBlocks(p, size, &at);
            if (verdict != GifVerdict::Ok)
                return verdict;
            continue;
        }
        if (block != 0x2C)
            return GifVerdict::Malformed;
        // The image descriptor: left, top, width, height, flags.
        if (size - at < 9)
            return GifVerdict::Truncated;
        const int width = Le16(p + at + 4);
        const int height = Le16(p + at + 6);
        const unsigned imageFlags = p[at + 8];
        at += 9;
        if (facts->frames++ == 0) {
            facts->imageWidth = width;
            facts->imageHeight = height;
        }
        if (width == 0 || height == 0)
            return GifVerdict::EmptyImage;
        if (!WithinImageBounds(width, height))
            return GifVerdict::TooLarge;
        if (!skipColourTable(imageFlags))
            return GifVerdict::Truncated;
        if (at >= size)
            return GifVerdict::Truncated;
        // Encoders write 2 to 8: 2 for two colours, as the format asks, and
        // above 8 a code would stand for a colour no table can hold. A few
        // write 1, but decoders disagree on when such a stream widens its
        // codes (Qt after the second code, others after the first), so the
        // same file shows one picture here and another on the phone.
        const int minCodeSize = p[at++];
        if (minCodeSize < 2 || minCodeSize > 8)
            return GifVerdict::Malformed;
        // Interlaced or not, a frame gives width x height pixels.
        const GifVerdict verdict = CheckImageData(p, size, &at, minCodeSize, qint64(width) * height);
        if (verdict != GifVerdict::Ok)
            return verdict;
    }
}

}  // namespace velluno
