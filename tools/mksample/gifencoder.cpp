#include "gifencoder.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace mksample {

namespace {

constexpr int kMaxCodeBits = 12;
// Codes 0..4094 are handed out; once the next free code would be 4095 the
// table is cleared. Stopping one short of the 12-bit limit keeps clear of
// decoders that widen the code size one entry too early.
constexpr int kClearAt = (1 << kMaxCodeBits) - 1;

bool isTransparent(QRgb pixel) { return qAlpha(pixel) < 128; }

QRgb opaque(QRgb pixel) { return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)); }

int distance2(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

void putLe16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

class BitPacker {
public:
    void put(int code, int bits)
    {
        m_acc |= uint32_t(code) << m_used;
        m_used += bits;
        while (m_used >= 8) {
            m_out.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_used -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_used > 0)
            m_out.append(char(m_acc & 0xff));
        m_acc = 0;
        m_used = 0;
        return m_out;
    }

private:
    QByteArray m_out;
    uint32_t m_acc = 0;
    int m_used = 0;
};

// GIF data is a chain of blocks of at most 255 bytes, each preceded by its
// length, closed by an empty block.
void appendSubBlocks(QByteArray &out, const QByteArray &data)
{
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - pos);
        out.append(char(n));
        out.append(data.constData() + pos, n);
    }
    out.append(char(0));
}

} // namespace

QImage IndexedPicture::expand(int frame) const
{
    QImage image(width, height, QImage::Format_ARGB32);
    const std::vector<uint8_t> &indices = frames.at(size_t(frame));
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = palette[indices[size_t(y) * size_t(width) + size_t(x)]];
    }
    return image;
}

IndexedPicture quantise(const std::vector<GifFrame> &frames)
{
    if (frames.empty())
        throw std::invalid_argument("a GIF needs at least one frame");
    IndexedPicture pic;
    pic.width = frames.front().image.width();
    pic.height = frames.front().image.height();
    if (pic.width <= 0 || pic.height <= 0 || pic.width > 0xffff || pic.height > 0xffff)
        throw std::invalid_argument("GIF size out of range");

    std::vector<QImage> images;
    for (const GifFrame &f : frames) {
        if (f.image.size() != frames.front().image.size())
            throw std::invalid_argument("all GIF frames must have the same size");
        images.push_back(f.image.convertToFormat(QImage::Format_ARGB32));
    }

    // Colours in order of first appearance, with how often each is used.
    struct Use {
        QRgb colour;
        size_t count;
        size_t order;
    };
    std::vector<Use> uses;
    std::unordered_map<QRgb, size_t> slotOf;
    bool anyTransparent = false;
    for (const QImage &img : images) {
        for (int y = 0; y < pic.height; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < pic.width; ++x) {
                if (isTransparent(line[x])) {
                    anyTransparent = true;
                    continue;
                }
                const QRgb c = opaque(line[x]);
                auto it = slotOf.find(c);
                if (it == slotOf.end()) {
                    slotOf.emplace(c, uses.size());
                    uses.push_back({c, 1, uses.size()});
                } else {
                    ++uses[it->second].count;
                }
            }
        }
    }

    const size_t room = anyTransparent ? 255 : 256;
    if (uses.size() > room) {
        pic.reduced = true;
        std::stable_sort(uses.begin(), uses.end(), [](const Use &a, const Use &b) {
            return a.count != b.count ? a.count > b.count : a.order < b.order;
        });
        uses.resize(room);
        std::sort(uses.begin(), uses.end(),
                  [](const Use &a, const Use &b) { return a.order < b.order; });
    }

    if (anyTransparent) {
        pic.transparentIndex = 0;
        pic.palette.push_back(qRgba(0, 0, 0, 0));
    }
    std::unordered_map<QRgb, uint8_t> indexOf;
    for (const Use &u : uses) {
        indexOf.emplace(u.colour, uint8_t(pic.palette.size()));
        pic.palette.push_back(u.colour);
    }

    auto lookup = [&](QRgb c) -> uint8_t {
        auto it = indexOf.find(c);
        if (it != indexOf.end())
            return it->second;
        // Only reached after a reduction: take the nearest kept colour, the
        // lowest index on a tie, and remember it for the next pixel.
        int best = -1;
        int bestDist = 0;
        for (size_t i = 0; i < pic.palette.size(); ++i) {
            if (int(i) == pic.transparentIndex)
                continue;
            const int d = distance2(c, pic.palette[i]);
            if (best < 0 || d < bestDist) {
                best = int(i);
                bestDist = d;
            }
        }
        indexOf.emplace(c, uint8_t(best));
        return uint8_t(best);
    };

    for (const QImage &img : images) {
        std::vector<uint8_t> indices(size_t(pic.width) * size_t(pic.height));
        size_t k = 0;
        for (int y = 0; y < pic.height; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < pic.width; ++x, ++k)
                indices[k] = isTransparent(line[x]) ? uint8_t(pic.transparentIndex)
                                                    : lookup(opaque(line[x]));
        }
        pic.frames.push_back(std::move(indices));
    }
    return pic;
}

QByteArray lzwCompress(const uint8_t *indices, size_t count, int minCodeSize)
{
    if (minCodeSize < 2 || minCodeSize > 8)
        throw std::invalid_argument("LZW minimum code size must be 2..8");
    const int alphabet = 1 << minCodeSize;
    const int clearCode = alphabet;
    const int endCode = alphabet + 1;

    // child[prefix * alphabet + symbol] = code of prefix+symbol, 0 if unknown
    // (0 can never be the code of a string longer than one symbol).
    std::vector<uint16_t> child(size_t(1 << kMaxCodeBits) * size_t(alphabet), 0);
    int codeBits = 0;
    int nextCode = 0;
    auto restart = [&] {
        std::fill(child.begin(), child.end(), uint16_t(0));
        codeBits = minCodeSize + 1;
        nextCode = endCode + 1;
    };

    BitPacker bits;
    restart();
    bits.put(clearCode, codeBits);
    if (count == 0) {
        bits.put(endCode, codeBits);
        return bits.finish();
    }

    for (size_t i = 0; i < count; ++i)
        if (indices[i] >= alphabet)
            throw std::invalid_argument("colour index does not fit the LZW code size");

    // The decoder adds a table entry for every code it reads except the first
    // after a clear, and widens its codes as soon as the entry it would add
    // next no longer fits. The encoder adds its entry one code earlier, so it
    // widens when the entry count passes (not reaches) the current width.
    auto grow = [&] {
        if (nextCode > (1 << codeBits) && codeBits < kMaxCodeBits)
            ++codeBits;
    };

    int prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        const int symbol = indices[i];
        const size_t key = size_t(prefix) * size_t(alphabet) + size_t(symbol);
        if (child[key] != 0) {
            prefix = child[key];
            continue;
        }
        bits.put(prefix, codeBits);
        child[key] = uint16_t(nextCode++);
        grow();
        if (nextCode >= kClearAt) {
            bits.put(clearCode, codeBits);
            restart();
        }
        prefix = symbol;
    }
    bits.put(prefix, codeBits);
    // The decoder still adds an entry for this last code before it reads the
    // end code, and may widen for it.
    ++nextCode;
    grow();
    bits.put(endCode, codeBits);
    return bits.finish();
}

QByteArray encodeGif(const std::vector<GifFrame> &frames, const GifOptions &options)
{
    const IndexedPicture pic = quantise(frames);
    const bool animated = frames.size() > 1;
    const bool transparent = pic.transparentIndex >= 0;

    int tableBits = 1;
    while ((size_t(1) << tableBits) < pic.palette.size())
        ++tableBits;
    const int minCodeSize = std::max(2, tableBits);

    QByteArray out("GIF89a");
    putLe16(out, pic.width);
    putLe16(out, pic.height);
    // global table present, 8 bits per primary, unsorted, 2^tableBits entries
    out.append(char(0x80 | 0x70 | (tableBits - 1)));
    out.append(char(transparent ? pic.transparentIndex : 0)); // background index
    out.append(char(0));                                      // square pixels
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = size_t(i) < pic.palette.size() ? pic.palette[size_t(i)] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }

    if (options.loop) {
        out.append("\x21\xff\x0b", 3);
        out.append("NETSCAPE2.0", 11);
        out.append(char(3));
        out.append(char(1));
        putLe16(out, options.loopCount);
        out.append(char(0));
    }

    for (size_t f = 0; f < frames.size(); ++f) {
        if (transparent || animated) {
            // Every frame covers the whole picture. With transparency the
            // previous frame has to go before the next is drawn, otherwise
            // it would show through.
            const int disposal = animated ? (transparent ? 2 : 1) : 0;
            out.append("\x21\xf9\x04", 3);
            out.append(char((disposal << 2) | (transparent ? 1 : 0)));
            putLe16(out, std::clamp(frames[f].delayCs, 0, 0xffff));
            out.append(char(transparent ? pic.transparentIndex : 0));
            out.append(char(0));
        }
        out.append(char(0x2c));
        putLe16(out, 0);
        putLe16(out, 0);
        putLe16(out, pic.width);
        putLe16(out, pic.height);
        out.append(char(0)); // no local table, not interlaced
        out.append(char(minCodeSize));
        const std::vector<uint8_t> &indices = pic.frames[f];
        appendSubBlocks(out, lzwCompress(indices.data(), indices.size(), minCodeSize));
    }
    out.append(char(0x3b));
    return out;
}

QString verifyGif(const QByteArray &gif, const std::vector<GifFrame> &frames,
                  const GifOptions &options)
{
    const IndexedPicture pic = quantise(frames);
    QByteArray copy(gif);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    if (!reader.canRead())
        return QStringLiteral("not readable as GIF: %1").arg(reader.errorString());
    if (reader.size() != QSize(pic.width, pic.height))
        return QStringLiteral("size %1x%2 read back as %3x%4")
            .arg(pic.width)
            .arg(pic.height)
            .arg(reader.size().width())
            .arg(reader.size().height());
    if (frames.size() > 1 && reader.imageCount() != int(frames.size()))
        return QStringLiteral("%1 frames written, %2 announced")
            .arg(frames.size())
            .arg(reader.imageCount());

    for (size_t f = 0; f < frames.size(); ++f) {
        const QImage got = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (got.isNull())
            return QStringLiteral("frame %1 does not decode: %2").arg(f).arg(reader.errorString());
        if (frames.size() > 1 && reader.nextImageDelay() != frames[f].delayCs * 10)
            return QStringLiteral("frame %1 delay %2 ms read back as %3 ms")
                .arg(f)
                .arg(frames[f].delayCs * 10)
                .arg(reader.nextImageDelay());
        const QImage want = pic.expand(int(f));
        for (int y = 0; y < pic.height; ++y) {
            for (int x = 0; x < pic.width; ++x) {
                const QRgb a = want.pixel(x, y);
                const QRgb b = got.pixel(x, y);
                const bool same = qAlpha(a) == 0
                                      ? qAlpha(b) == 0
                                      : qAlpha(b) == 255 && opaque(a) == opaque(b);
                if (!same)
                    return QStringLiteral("frame %1 pixel (%2,%3) is #%4, expected #%5")
                        .arg(f)
                        .arg(x)
                        .arg(y)
                        .arg(b, 8, 16, QLatin1Char('0'))
                        .arg(a, 8, 16, QLatin1Char('0'));
            }
        }
    }
    if (reader.canRead())
        return QStringLiteral("more frames than the %1 written").arg(frames.size());
    // Qt reports a for-ever loop as -1 and a missing loop extension as 0.
    if (options.loop) {
        const int expected = options.loopCount == 0 ? -1 : options.loopCount;
        if (reader.loopCount() != expected)
            return QStringLiteral("loop count %1 read back as %2")
                .arg(expected)
                .arg(reader.loopCount());
    }
    return QString();
}

} // namespace mksample
