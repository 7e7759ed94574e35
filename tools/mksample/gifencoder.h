// A small GIF89a writer for the pictures velluno-mksample draws.
//
// The pictures are drawn with a handful of flat colours, so the encoder keeps
// every colour exactly when there are at most 256 of them (one slot is taken
// by transparency when a picture has transparent pixels). Only when a picture
// has more colours does it fall back to the most frequent ones; the choice is
// made without any randomness so the same picture always gives the same file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace mksample {

struct GifFrame {
    QImage image;    // any format; pixels with alpha below 128 are transparent
    int delayCs = 0; // time the frame stays up, in hundredths of a second
};

// A picture reduced to one shared colour table.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;   // the transparent slot, if any, holds alpha 0
    int transparentIndex = -1;   // -1 when no pixel is transparent
    bool reduced = false;        // true when colours had to be merged
    std::vector<std::vector<uint8_t>> frames; // one index per pixel, row by row

    // The frame as it looks after the colour reduction (what a decoder must give back).
    QImage expand(int frame) const;
};

// All frames must have the same size.
IndexedPicture quantise(const std::vector<GifFrame> &frames);

// Variable-length-code LZW as GIF wants it: codes packed least significant
// bit first, the clear code at the start and whenever the 12-bit code space
// is used up, the end code last. Returns the raw code stream (not yet cut
// into sub-blocks).
QByteArray lzwCompress(const uint8_t *indices, size_t count, int minCodeSize);

struct GifOptions {
    bool loop = false; // write the NETSCAPE2.0 extension
    int loopCount = 0; // 0 = repeat for ever
};

// A complete GIF file: header, global colour table, one image per frame.
QByteArray encodeGif(const std::vector<GifFrame> &frames, const GifOptions &options = {});

// Decodes `gif` with Qt's own reader and compares every frame with what the
// encoder meant to store. Returns an empty string when they agree.
QString verifyGif(const QByteArray &gif, const std::vector<GifFrame> &frames,
                  const GifOptions &options = {});

} // namespace mksample
