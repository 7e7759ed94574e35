// Round trip of the GIF writer through Qt's GIF reader on pictures that the
// sample skin itself is too small and too plain to exercise: a full 256-colour
// table, long inputs that fill the 12-bit code space several times, a tiny
// two-colour table, long runs of one colour, transparent animations, and a
// picture with more colours than a GIF can hold.
#include "gifencoder.h"

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
