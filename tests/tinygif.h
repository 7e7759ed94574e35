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

// A GIF that declares `w` x `h` for its screen and `iw` x `ih` for its
// first image, all of colour 0: what a hostile file looks like, and the
// largest one the image check lets through. Each code after the first is
// the next free table entry, one pixel longer than the last, until the
// table is full; then the longest entry again, so the data stays small.
inline QByteArray DeclaredGif(int w, int h, int iw, int ih)
{
    QByteArray b("GIF89a");
    auto le16 = [&](int v) {
        b += char(v & 0xFF);
        b += char((v >> 8) & 0xFF);
    };
    le16(w);
    le16(h);
    b += QByteArray("\x00\x00\x00\x2C\x00\x00\x00\x00", 8);
    le16(iw);
    le16(ih);
    b += QByteArray("\x00\x02", 2);
    QByteArray data;
    quint32 bits = 0;
    int held = 0, width = 3, next = 6;
    auto put = [&](int code) {
        for (bits |= quint32(code) << held, held += width; held >= 8; held -= 8, bits >>= 8)
            data += char(bits & 0xFF);
    };
    put(4);
    put(0);
    for (qint64 left = qint64(iw) * ih - 1, run = 2; left > 0; left -= run, run = qMin(next, 4095) - 4) {
        put(qMin(next, 4095));
        next += next < 4096;
        width += next == (1 << width) && width < 12;
    }
    put(5);
    if (held > 0)
        data += char(bits);
    for (int at = 0; at < data.size(); at += 255)
        b += char(qMin(255, int(data.size()) - at)) + data.mid(at, 255);
    return b + QByteArray("\x00\x3B", 2);
}

}  // namespace velluno::test
