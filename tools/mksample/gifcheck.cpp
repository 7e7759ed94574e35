// Round trip of the GIF writer through Qt's GIF reader on pictures that the
// sample skin itself is too small and too plain to exercise: a full 256-colour
// table, long inputs that fill the 12-bit code space several times, a tiny
// two-colour table, long runs of one colour, transparent animations, and a
// picture with more colours than a GIF can hold.
#include "gifencoder.h"

#include <algorithm>
#include <cstdio>

using mksample::GifFrame;
using mksample::GifOptions;

namespace {

// A fixed linear congruential sequence: the same pictures on every run.
class Lcg {
public:
    uint32_t next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }

private:
    uint32_t m_state = 12345u;
};

QImage noise(int w, int h, int colours, Lcg &rng, bool withHoles)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t v = rng.next();
            const int c = int(v % uint32_t(colours));
            const bool hole = withHoles && (v >> 16) % 7 == 0;
            img.setPixel(x, y, hole ? qRgba(0, 0, 0, 0) : qRgb(c, (c * 7) & 255, 255 - c));
        }
    return img;
}

int failures = 0;

// A decoder that insists on what lenient readers let pass: the stream starts
// with a clear code, every code has the width the table size calls for, and
// the end code comes right after the last pixel with nothing behind it.
QString strictDecode(const QByteArray &data, int minCodeSize, const std::vector<uint8_t> &want)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    // Entry i stands for the string of entry prefix[i] followed by suffix[i].
    std::vector<int> prefix(4096, -1);
    std::vector<uint8_t> suffix(4096), first(4096);
    for (int i = 0; i < clearCode; ++i)
        suffix[size_t(i)] = first[size_t(i)] = uint8_t(i);
    size_t bitPos = 0;
    auto read = [&](int width, int *code) {
        if (bitPos + size_t(width) > size_t(data.size()) * 8)
            return false;
        *code = 0;
        for (int i = 0; i < width; ++i, ++bitPos)
            *code |= ((uint8_t(data[qsizetype(bitPos / 8)]) >> (bitPos % 8)) & 1) << i;
        return true;
    };
    std::vector<uint8_t> out;
    auto appendString = [&](int code) {
        const size_t start = out.size();
        for (int c = code; c >= 0; c = prefix[size_t(c)])
            out.push_back(suffix[size_t(c)]);
        std::reverse(out.begin() + qsizetype(start), out.end());
    };

    int width = minCodeSize + 1;
    int next = endCode + 1;
    int prev = -1;
    bool started = false;
    for (;;) {
        int code = 0;
        if (!read(width, &code))
            return QStringLiteral("no end code");
        if (!started && code != clearCode)
            return QStringLiteral("does not start with a clear code");
        started = true;
        if (code == clearCode) {
            width = minCodeSize + 1;
            next = endCode + 1;
            prev = -1;
            continue;
        }
        if (code == endCode)
            break;
        if (prev < 0) {
            if (code >= clearCode)
                return QStringLiteral("first code after clear is %1").arg(code);
        } else {
            if (code > next || (code >= clearCode && code <= endCode))
                return QStringLiteral("code %1 not yet defined").arg(code);
            if (next < 4096) {
                // For code == next this is the entry being read itself.
                prefix[size_t(next)] = prev;
                first[size_t(next)] = first[size_t(prev)];
                suffix[size_t(next)] = first[size_t(code == next ? prev : code)];
                ++next;
                if (next == (1 << width) && width < 12)
                    ++width;
            }
        }
        appendString(code);
        prev = code;
    }
    if (out != want)
        return QStringLiteral("%1 indices decoded, %2 differ or missing")
            .arg(out.size())
            .arg(want.size());
    if ((bitPos + 7) / 8 != size_t(data.size()))
        return QStringLiteral("bytes left after the end code");
    return QString();
}

void checkCodeStreams()
{
    // Every length from 0 to 3000 of one sequence: somewhere among them the
    // last code lands right on each change of code width.
    for (int minCodeSize : {2, 3}) {
        Lcg rng;
        std::vector<uint8_t> seq(3000);
        for (uint8_t &v : seq)
            v = uint8_t(rng.next() % (1u << minCodeSize));
        for (size_t n = 0; n <= seq.size(); ++n) {
            const std::vector<uint8_t> part(seq.begin(), seq.begin() + qsizetype(n));
            const QByteArray codes = mksample::lzwCompress(part.data(), part.size(), minCodeSize);
            const QString why = strictDecode(codes, minCodeSize, part);
            if (!why.isEmpty()) {
                ++failures;
                std::printf("FAIL code stream, %d-bit symbols, length %zu: %s\n", minCodeSize, n,
                            qPrintable(why));
                return;
            }
        }
    }
    // Long streams run through several table clears.
    for (int minCodeSize : {2, 8}) {
        Lcg rng;
        std::vector<uint8_t> seq(120000);
        for (uint8_t &v : seq)
            v = uint8_t(rng.next() % (1u << minCodeSize));
        const QByteArray codes = mksample::lzwCompress(seq.data(), seq.size(), minCodeSize);
        const QString why = strictDecode(codes, minCodeSize, seq);
        if (!why.isEmpty()) {
            ++failures;
            std::printf("FAIL long code stream, %d-bit symbols: %s\n", minCodeSize, qPrintable(why));
            return;
        }
    }
    std::printf("ok   code streams of every length up to 3000, and long ones\n");
}

void check(const char *name, const std::vector<GifFrame> &frames, const GifOptions &options = {})
{
    const QByteArray gif = mksample::encodeGif(frames, options);
    const QString why = mksample::verifyGif(gif, frames, options);
    if (why.isEmpty()) {
        std::printf("ok   %s (%lld bytes)\n", name, static_cast<long long>(gif.size()));
    } else {
        ++failures;
        std::printf("FAIL %s: %s\n", name, qPrintable(why));
    }
}

} // namespace

int main()
{
    checkCodeStreams();

    Lcg rng;
    check("full table, many table clears", {{noise(300, 200, 256, rng, false), 0}});
    check("two colours", {{noise(97, 31, 2, rng, false), 0}});
    check("255 colours and transparency", {{noise(120, 90, 255, rng, true), 0}});

    QImage flat(640, 100, QImage::Format_ARGB32);
    flat.fill(qRgb(10, 20, 30));
    check("one colour, long run", {{flat, 0}});

    QImage single(1, 1, QImage::Format_ARGB32);
    single.fill(qRgba(0, 0, 0, 0));
    check("single transparent pixel", {{single, 0}});

    std::vector<GifFrame> anim;
    for (int i = 0; i < 4; ++i)
        anim.push_back({noise(40, 30, 5 + i, rng, true), 10 + 5 * i});
    check("transparent animation", anim, GifOptions{true, 0});
    check("animation looping three times", anim, GifOptions{true, 3});

    // 4096 colours: has to be reduced to 256, and must decode to the reduction.
    QImage many(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            many.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    const mksample::IndexedPicture reducedPic = mksample::quantise({{many, 0}});
    if (!reducedPic.reduced || reducedPic.palette.size() != 256) {
        ++failures;
        std::printf("FAIL reduction: %zu colours kept\n", reducedPic.palette.size());
    }
    check("more than 256 colours", {{many, 0}});

    // The same input must always give the same bytes.
    const std::vector<GifFrame> again = {{many, 0}};
    if (mksample::encodeGif(again) != mksample::encodeGif(again)) {
        ++failures;
        std::printf("FAIL encoding is not repeatable\n");
    }

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
