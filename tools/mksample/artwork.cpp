#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRadialGradient>

#include <cmath>
#include <map>
#include <stdexcept>

namespace mksample {

namespace {

// Colours are worked out in integers only, so the same colour comes out on
// every machine and the pictures stay within a few dozen palette entries.
QRgb mix(QRgb a, QRgb b, int num, int den)
{
    auto ch = [&](int x, int y) { return (x * (den - num) + y * num + den / 2) / den; };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

QRgb scale(QRgb c, int percent)
{
    auto ch = [&](int x) { return std::min(255, (x * percent + 50) / 100); };
    return qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)));
}

// What a key looks like when it cannot be used: no colour, half the contrast.
QRgb greyedOut(QRgb c)
{
    const int luma = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000;
    const int v = (luma + 128) / 2;
    return qRgb(v, v, v);
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// QPainter set up for hard-edged drawing: no antialiasing, so every pixel
// has one of the colours asked for.
class Pen {
public:
    explicit Pen(QImage &img) : m_p(&img) { m_p.setRenderHint(QPainter::Antialiasing, false); }
    void rect(int x, int y, int w, int h, QRgb c) { m_p.fillRect(x, y, w, h, QColor(c)); }
    void dot(int x, int y, QRgb c) { rect(x, y, 1, 1, c); }
    void frame(int x, int y, int w, int h, QRgb c)
    {
        rect(x, y, w, 1, c);
        rect(x, y + h - 1, w, 1, c);
        rect(x, y, 1, h, c);
        rect(x + w - 1, y, 1, h, c);
    }
    void polygon(const QPolygon &poly, QRgb c)
    {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(QColor(c));
        m_p.drawPolygon(poly);
    }
    void line(int x1, int y1, int x2, int y2, QRgb c)
    {
        m_p.setPen(QPen(QColor(c), 1, Qt::SolidLine, Qt::SquareCap));
        m_p.drawLine(x1, y1, x2, y2);
    }
    void ring(int x, int y, int d, QRgb c)
    {
        m_p.setPen(QPen(QColor(c), 1));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawEllipse(x, y, d - 1, d - 1);
    }

private:
    QPainter m_p;
};

// ---------------------------------------------------------------- soft keys

enum class KeyState { Released, Pressed, Disabled };
enum class KeyPlace { Left, Centre, Right };

QImage drawKeyBar(const Theme &t, int w, KeyState state, KeyPlace place)
{
    const int h = 22;
    auto tone = [&](QRgb c) {
        switch (state) {
        case KeyState::Pressed:
            return scale(c, 68);
        case KeyState::Disabled:
            return greyedOut(c);
        case KeyState::Released:
            break;
        }
        return c;
    };

    QImage img = blank(w, h);
    Pen pen(img);
    for (int y = 1; y < h - 1; ++y) {
        QRgb c = y <= 10 ? mix(t.glossTop, t.glossBottom, y - 1, 9)
                         : mix(t.bodyTop, t.bodyBottom, y - 11, 9);
        // a pressed key is sunk in: its top rows are in shadow
        if (state == KeyState::Pressed && y <= 2)
            c = mix(c, t.rimDark, 3 - y, 4);
        pen.rect(0, y, w, 1, tone(c));
    }
    const bool sunk = state == KeyState::Pressed;
    const QRgb upper = tone(sunk ? t.rimDark : t.rimLight);
    const QRgb lower = tone(sunk ? mix(t.rimLight, t.rimDark, 1, 2) : t.rimDark);
    pen.rect(0, 0, w, 1, upper);
    pen.rect(0, h - 1, w, 1, lower);
    // Light on the left, dark on the right: side by side the three keys show
    // a groove between them and read as one bar.
    pen.rect(0, 1, 1, h - 2, tone(mix(t.rimLight, t.glossBottom, 1, 2)));
    pen.rect(w - 1, 1, 1, h - 2, tone(mix(t.rimDark, t.bodyTop, 1, 3)));

    // the bar's outer top corners are rounded off
    const QRgb none = qRgba(0, 0, 0, 0);
    if (place == KeyPlace::Left) {
        img.setPixel(0, 0, none);
        img.setPixel(1, 0, none);
        img.setPixel(0, 1, none);
    } else if (place == KeyPlace::Right) {
        img.setPixel(w - 1, 0, none);
        img.setPixel(w - 2, 0, none);
        img.setPixel(w - 1, 1, none);
    }
    return img;
}

// A small diamond, `r` pixels from its centre to each tip.
void diamond(Pen &pen, int cx, int cy, int r, QRgb c, bool filled)
{
    for (int dy = -r; dy <= r; ++dy) {
        const int span = r - std::abs(dy);
        if (filled) {
            pen.rect(cx - span, cy + dy, 2 * span + 1, 1, c);
        } else {
            pen.dot(cx - span, cy + dy, c);
            pen.dot(cx + span, cy + dy, c);
        }
    }
}

QImage drawCentreKey(const Theme &t, KeyState state)
{
    QImage img = drawKeyBar(t, 19, state, KeyPlace::Centre);
    Pen pen(img);
    QRgb glyph = t.keyGlyph;
    if (state == KeyState::Pressed)
        glyph = scale(glyph, 75);
    else if (state == KeyState::Disabled)
        glyph = greyedOut(glyph);
    const int y = state == KeyState::Pressed ? 12 : 11; // pressed: pushed in by a pixel
    diamond(pen, 9, y, 3, glyph, true);
    return img;
}

// The centre key while something waits for the user: a beat spreading out.
Picture drawPulseKey(const Theme &t)
{
    Picture pic;
    const int delays[3] = {30, 20, 40};
    for (int f = 0; f < 3; ++f) {
        QImage img = drawKeyBar(t, 19, KeyState::Released, KeyPlace::Centre);
        Pen pen(img);
        diamond(pen, 9, 11, 1, t.keyGlyph, true);
        if (f >= 1)
            diamond(pen, 9, 11, 4, mix(t.keyPulse, t.glossBottom, f - 1, 3), false);
        if (f == 2)
            diamond(pen, 9, 11, 7, mix(t.keyPulse, t.bodyTop, 2, 3), false);
        pic.frames.push_back({img, delays[f]});
    }
    pic.options.loop = true;
    return pic;
}

// -------------------------------------------------------------- clock face

int isqrt(int v)
{
    int r = 0;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

QImage drawClockFace(const Theme &t)
{
    const int size = 72;
    QImage img = blank(size, size);
    // Exact sines of the hour angles, so no maths library rounding can move a pixel.
    static const double kSin30[12] = {0.0, 0.5, 0.8660254037844386, 1.0, 0.8660254037844386, 0.5,
                                      0.0, -0.5, -0.8660254037844386, -1.0, -0.8660254037844386, -0.5};
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // in half pixels from the centre, which lies between pixels 35 and 36
            const int dx = 2 * x + 1 - size;
            const int dy = 2 * y + 1 - size;
            const int d2 = dx * dx + dy * dy;
            if (d2 > 72 * 72)
                continue; // outside the round face: stays transparent
            if (d2 > 67 * 67) {
                line[x] = dx + dy < 0 ? t.caseLight : t.caseDark; // lit from top left
                continue;
            }
            if (d2 > 62 * 62) {
                line[x] = t.bezel;
                continue;
            }
            QRgb c = mix(t.faceCentre, t.faceEdge, isqrt(d2) * 4 / 62, 4);

            const double px = dx / 2.0;
            const double py = dy / 2.0;
            for (int hour = 0; hour < 12; ++hour) {
                const bool major = hour % 3 == 0;
                const double ux = kSin30[hour];
                const double uy = -kSin30[(hour + 3) % 12];
                const double along = px * ux + py * uy;
                const double across = std::abs(px * uy - py * ux);
                bool hit;
                if (t.roundTicks) {
                    const double r = major ? 2.6 : 1.6;
                    const double ax = along - 26.5;
                    hit = ax * ax + across * across <= r * r;
                } else {
                    hit = along <= 29.5 && along >= (major ? 21.5 : 25.5)
                          && across <= (major ? 2.0 : 1.0);
                }
                if (hit)
                    c = major ? t.majorTick : t.tick;
            }
            line[x] = c;
        }
    }
    if (t.brandMark) {
        Pen pen(img);
        pen.line(33, 16, 35, 18, t.tick);
        pen.line(36, 18, 38, 16, t.tick);
    }
    return img;
}

// ------------------------------------------------------------------- icons

// Icons are drawn inside (w-1)x(h-1); the last column and row are room for
// the drop shadow themes with `iconShadow` give them.
QImage withShadow(const QImage &icon, const Theme &t)
{
    if (!t.iconShadow)
        return icon;
    QImage out = icon;
    for (int y = 1; y < icon.height(); ++y)
        for (int x = 1; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) == 0 && qAlpha(icon.pixel(x - 1, y - 1)) != 0)
                out.setPixel(x, y, t.shadow);
    return out;
}

QImage drawIcon(int number, const Theme &t, QSize size)
{
    QImage img = blank(size.width(), size.height());
    Pen pen(img);
    switch (number) {
    case 640: // battery, three of four bars charged
        pen.frame(0, 1, 16, 10, t.ink);
        pen.rect(16, 3, 2, 6, t.ink);
        for (int i = 0; i < 3; ++i)
            pen.rect(2 + i * 4, 3, 3, 6, t.accent);
        break;
    case 641: // field strength
        for (int i = 0; i < 5; ++i) {
            const int h = 2 + 2 * i;
            pen.rect(i * 3, 11 - h, 2, h, i < 4 ? t.ink : t.detail);
        }
        break;
    case 642: // new message
        pen.rect(0, 1, 15, 10, t.ink);
        pen.line(0, 1, 7, 6, t.detail);
        pen.line(14, 1, 7, 6, t.detail);
        pen.line(0, 10, 5, 6, t.detail);
        pen.line(14, 10, 9, 6, t.detail);
        break;
    case 643: // alarm set
        pen.rect(5, 0, 3, 2, t.ink);
        pen.polygon(QPolygon({QPoint(4, 2), QPoint(9, 2), QPoint(10, 4), QPoint(10, 8),
                              QPoint(12, 10), QPoint(12, 11), QPoint(1, 11), QPoint(1, 10),
                              QPoint(3, 8), QPoint(3, 4)}),
                    t.ink);
        pen.rect(5, 11, 3, 2, t.accent);
        pen.dot(1, 2, t.accent);
        pen.dot(0, 3, t.accent);
        pen.dot(11, 1, t.accent);
        pen.dot(12, 2, t.accent);
        break;
    case 644: // missed call: handset and a bounced arrow
        pen.rect(2, 6, 9, 2, t.ink);
        pen.rect(1, 7, 11, 2, t.ink);
        pen.rect(0, 9, 4, 4, t.ink);
        pen.rect(9, 9, 4, 4, t.ink);
        pen.line(2, 0, 6, 4, t.warn);
        pen.line(6, 4, 10, 0, t.warn);
        pen.rect(8, 0, 3, 1, t.warn);
        pen.rect(10, 0, 1, 3, t.warn);
        break;
    case 645: // keypad locked
        pen.rect(3, 0, 5, 1, t.ink);
        pen.rect(2, 1, 1, 5, t.ink);
        pen.rect(8, 1, 1, 5, t.ink);
        pen.rect(0, 6, 11, 7, t.ink);
        pen.rect(4, 8, 3, 2, t.detail);
        pen.rect(5, 10, 1, 2, t.detail);
        break;
    case 646: // silent
        pen.rect(1, 4, 3, 4, t.ink);
        pen.polygon(QPolygon({QPoint(4, 4), QPoint(8, 0), QPoint(8, 11), QPoint(4, 7)}), t.ink);
        pen.line(10, 3, 14, 7, t.warn);
        pen.line(10, 7, 14, 3, t.warn);
        pen.line(10, 4, 13, 7, t.warn);
        pen.line(10, 6, 13, 3, t.warn);
        break;
    case 647: // vibrate
        pen.rect(5, 0, 5, 11, t.ink);
        pen.rect(6, 2, 3, 3, t.detail);
        for (int i = 0; i < 7; ++i) {
            const int wobble = i % 2;
            pen.dot(3 - wobble, 2 + i, t.accent);
            pen.dot(11 + wobble, 2 + i, t.accent);
        }
        for (int i = 0; i < 5; ++i) {
            const int wobble = i % 2;
            pen.dot(1 - wobble, 3 + i, t.accent);
            pen.dot(13 + wobble, 3 + i, t.accent);
        }
        break;
    case 648: // headset connected
        pen.rect(3, 0, 7, 1, t.ink);
        pen.dot(2, 1, t.ink);
        pen.dot(10, 1, t.ink);
        pen.rect(1, 2, 1, 4, t.ink);
        pen.rect(11, 2, 1, 4, t.ink);
        pen.rect(0, 6, 3, 4, t.ink);
        pen.rect(10, 6, 3, 4, t.ink);
        pen.rect(3, 10, 1, 2, t.ink);
        pen.rect(4, 12, 2, 1, t.ink);
        pen.rect(6, 11, 2, 2, t.accent);
        break;
    case 649: // packet data, sending and receiving
        pen.rect(2, 0, 2, 1, t.ink);
        pen.rect(1, 1, 4, 1, t.ink);
        pen.rect(0, 2, 6, 1, t.ink);
        pen.rect(2, 3, 2, 8, t.ink);
        pen.rect(7, 0, 2, 8, t.accent);
        pen.rect(5, 8, 6, 1, t.accent);
        pen.rect(6, 9, 4, 1, t.accent);
        pen.rect(7, 10, 2, 1, t.accent);
        break;
    case 650: // appointment
        pen.rect(0, 2, 13, 11, t.ink);
        pen.rect(0, 2, 13, 3, t.accent);
        pen.rect(3, 0, 1, 3, t.detail);
        pen.rect(9, 0, 1, 3, t.detail);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                pen.rect(1 + c * 3, 6 + r * 2, 2, 1, t.detail);
        break;
    case 651: // voice mail
        pen.ring(0, 2, 7, t.ink);
        pen.ring(8, 2, 7, t.ink);
        pen.rect(3, 8, 9, 1, t.ink);
        pen.rect(3, 5, 1, 1, t.accent);
        pen.rect(11, 5, 1, 1, t.accent);
        break;
    case 653: // roaming
        pen.polygon(QPolygon({QPoint(5, 0), QPoint(11, 11), QPoint(0, 11)}), t.ink);
        pen.polygon(QPolygon({QPoint(5, 4), QPoint(8, 10), QPoint(2, 10)}), t.accent);
        break;
    case 654: // home zone
        pen.polygon(QPolygon({QPoint(6, 0), QPoint(13, 7), QPoint(-1, 7)}), t.ink);
        pen.rect(9, 1, 2, 3, t.ink);
        pen.rect(2, 6, 9, 7, t.ink);
        pen.rect(5, 9, 3, 4, t.accent);
        break;
    case 655: // charging
        pen.polygon(QPolygon({QPoint(7, 0), QPoint(1, 8), QPoint(5, 8), QPoint(3, 15),
                              QPoint(10, 6), QPoint(6, 6), QPoint(9, 0)}),
                    t.bolt);
        break;
    default:
        throw std::invalid_argument("no icon drawn for this object number");
    }
    return withShadow(img, t);
}

const std::map<int, QSize> &sizes()
{
    static const std::map<int, QSize> table = {
        {7, {72, 72}},
        {630, {77, 22}}, {631, {77, 22}}, {652, {77, 22}},
        {632, {19, 22}}, {633, {19, 22}}, {674, {19, 22}},
        {634, {80, 22}}, {635, {80, 22}}, {664, {80, 22}},
        {675, {19, 22}},
        {640, {20, 12}}, {641, {16, 12}}, {642, {16, 12}}, {643, {14, 14}},
        {644, {14, 14}}, {645, {12, 14}}, {646, {16, 12}}, {647, {16, 12}},
        {648, {14, 14}}, {649, {12, 12}}, {650, {14, 14}}, {651, {16, 12}},
        {653, {12, 12}}, {654, {14, 14}}, {655, {12, 16}},
    };
    return table;
}

} // namespace

const Theme &sampleTheme()
{
    // Dusk blue steel, with white icons that cast a dark shadow.
    static const Theme t = {
        qRgb(156, 182, 212), qRgb(100, 128, 164), qRgb(64, 88, 124), qRgb(38, 56, 84),
        qRgb(206, 222, 242), qRgb(16, 24, 38),
        qRgb(238, 244, 252), qRgb(130, 204, 255),
        qRgb(248, 250, 253), qRgb(198, 208, 224), qRgb(36, 46, 66), qRgb(206, 216, 230),
        qRgb(72, 82, 100), qRgb(34, 42, 58), qRgb(30, 60, 110),
        false, true,
        qRgb(236, 242, 250), qRgb(44, 56, 78), qRgb(120, 196, 255), qRgb(255, 118, 96),
        qRgb(255, 214, 90),
        true, qRgb(14, 20, 32),
    };
    return t;
}

const Theme &defaultTheme()
{
    // Graphite and amber, with flat dark icons for a light screen.
    static const Theme t = {
        qRgb(128, 128, 122), qRgb(88, 88, 84), qRgb(60, 60, 58), qRgb(34, 34, 32),
        qRgb(178, 178, 170), qRgb(12, 12, 10),
        qRgb(255, 178, 52), qRgb(255, 214, 140),
        qRgb(255, 251, 238), qRgb(232, 222, 196), qRgb(92, 88, 80), qRgb(126, 122, 114),
        qRgb(50, 48, 44), qRgb(40, 36, 30), qRgb(214, 122, 18),
        true, false,
        qRgb(42, 42, 40), qRgb(214, 206, 186), qRgb(214, 128, 20), qRgb(196, 48, 30),
        qRgb(214, 128, 20),
        false, qRgb(0, 0, 0),
    };
    return t;
}

const std::vector<int> &objectNumbers()
{
    static const std::vector<int> numbers = [] {
        std::vector<int> n;
        for (const auto &entry : sizes())
            n.push_back(entry.first);
        return n;
    }();
    return numbers;
}

QSize objectSize(int number)
{
    auto it = sizes().find(number);
    if (it == sizes().end())
        throw std::invalid_argument("unknown object number");
    return it->second;
}

Picture drawObject(int number, const Theme &t)
{
    const QSize size = objectSize(number);
    auto still = [](const QImage &img) {
        Picture p;
        p.frames.push_back({img, 0});
        return p;
    };
    switch (number) {
    case 7:
        return still(drawClockFace(t));
    case 630:
        return still(drawKeyBar(t, size.width(), KeyState::Released, KeyPlace::Left));
    case 631:
        return still(drawKeyBar(t, size.width(), KeyState::Pressed, KeyPlace::Left));
    case 652:
        return still(drawKeyBar(t, size.width(), KeyState::Disabled, KeyPlace::Left));
    case 632:
        return still(drawCentreKey(t, KeyState::Released));
    case 633:
        return still(drawCentreKey(t, KeyState::Pressed));
    case 674:
        return still(drawCentreKey(t, KeyState::Disabled));
    case 634:
        return still(drawKeyBar(t, size.width(), KeyState::Released, KeyPlace::Right));
    case 635:
        return still(drawKeyBar(t, size.width(), KeyState::Pressed, KeyPlace::Right));
    case 664:
        return still(drawKeyBar(t, size.width(), KeyState::Disabled, KeyPlace::Right));
    case 675:
        return drawPulseKey(t);
    default:
        return still(drawIcon(number, t, size));
    }
}

QImage drawWallpaper()
{
    const int w = 176;
    const int h = 220;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0.0, QColor(24, 34, 68));
    sky.setColorAt(0.55, QColor(86, 98, 150));
    sky.setColorAt(1.0, QColor(226, 170, 150));
    p.fillRect(0, 0, w, h, sky);

    QRadialGradient glow(QPointF(122, 104), 34);
    glow.setColorAt(0.0, QColor(255, 236, 200, 220));
    glow.setColorAt(0.45, QColor(255, 210, 170, 110));
    glow.setColorAt(1.0, QColor(255, 190, 160, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(122, 104), 34, 34);
    p.setBrush(QColor(255, 240, 214));
    p.drawEllipse(QPointF(122, 104), 11, 11);

    // Three ranges of hills, the far ones hazy, the near ones dark.
    struct Range {
        double base, amp1, freq1, phase1, amp2, freq2, phase2;
        QColor top, bottom;
    };
    const Range ranges[3] = {
        {112, 9, 0.035, 0.6, 4, 0.11, 1.9, QColor(118, 112, 160), QColor(96, 94, 140)},
        {138, 11, 0.027, 2.4, 5, 0.083, 0.3, QColor(70, 74, 118), QColor(52, 58, 98)},
        {168, 13, 0.021, 4.1, 4, 0.097, 2.7, QColor(34, 42, 72), QColor(20, 26, 48)},
    };
    for (const Range &r : ranges) {
        QPainterPath hill;
        hill.moveTo(-1, h + 1);
        for (int x = -1; x <= w + 1; x += 2) {
            const double y = r.base + r.amp1 * std::sin(x * r.freq1 + r.phase1)
                             + r.amp2 * std::sin(x * r.freq2 + r.phase2);
            hill.lineTo(x, y);
        }
        hill.lineTo(w + 1, h + 1);
        hill.closeSubpath();
        QLinearGradient shade(0, r.base - r.amp1 - r.amp2, 0, h);
        shade.setColorAt(0.0, r.top);
        shade.setColorAt(1.0, r.bottom);
        p.setBrush(shade);
        p.drawPath(hill);
    }

    // a few early stars
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPoint stars[] = {{18, 14}, {47, 31}, {83, 9},  {140, 22},
                            {161, 47}, {29, 58}, {101, 41}, {66, 66}};
    for (int i = 0; i < 8; ++i)
        p.fillRect(stars[i].x(), stars[i].y(), 1, 1, QColor(230, 232, 255 - 6 * i));
    p.fillRect(140, 21, 1, 3, QColor(200, 206, 240));
    p.fillRect(139, 22, 3, 1, QColor(200, 206, 240));
    p.end();
    return img;
}

} // namespace mksample
