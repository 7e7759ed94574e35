#pragma once
// A minimal GIF writer for the tests (Qt reads GIF but cannot write it): a
// four-colour palette and LZW codes that never grow past three bits, because
// a clear code follows every second pixel.
#include <QByteArray>
#include <QColor>
#include <QVector>

namespace velluno::test {

// `pixels` holds w * h palette indexes (0..3) row by row; `transparent` is
// the transparent index, or -1 for none.
inline QByteArray TinyGif(int w, int h, const QVector<QRgb>& palette, const QVector<int>& pixels,
                          int transparent = -1)
{
    QByteArray out("GIF89a");
    auto le16 = [&](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    le16(w);
    le16(h);
    out.append(char(0x91));  // global table, 2 bits of colour resolution, 4 entries
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 4; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (transparent >= 0) {
        out.append("\x21\xF9\x04\x01\x00\x00", 6);
        out.append(char(transparent));
        out.append(char(0));
    }
    out.append(char(0x2C));
    le16(0);
    le16(0);
    le16(w);
    le16(h);
    out.append(char(0));
    out.append(char(2));  // minimum code size

    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 3;
        while (count >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0)
            code(4);  // clear
        code(pixels[i] & 3);
    }
    code(5);  // end of information
    if (count > 0)
        data.append(char(bits & 0xFF));
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

// A w x h GIF of one colour.
inline QByteArray SolidGif(int w, int h, QRgb colour)
{
    return TinyGif(w, h, {colour}, QVector<int>(w * h, 0));
}

}  // namespace velluno::test
