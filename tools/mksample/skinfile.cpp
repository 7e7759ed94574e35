#include "skinfile.h"

#include <QColor>

#include <stdexcept>

namespace mksample {

namespace {

constexpr int kNoNumber = -1;
constexpr int kMaxLines = 1501;

struct Rgbt {
    int r, g, b, t;
};

// Collects the skin's lines. Colour records also carry the colour the
// default scheme gives the same slot, so colors.txt follows the skin line by
// line and can never drift from it.
class SkinText {
public:
    explicit SkinText(const QByteArray &header) { m_lines.push_back(header); }

    void section(int a, int b) { add(QByteArray("0 ") + num(a) + ' ' + num(b)); }

    void rect(int number, int x1, int y1, int x2, int y2)
    {
        if (x1 > x2 || y1 > y2 || x2 >= 176 || y2 >= 220)
            throw std::logic_error("rectangle outside the 176x220 screen");
        add(withNumber("1", number) + num(x1) + ' ' + num(y1) + ' ' + num(x2) + ' ' + num(y2));
    }

    void param(int p, int value) { add(QByteArray("2 ") + num(p) + ' ' + num(value)); }

    // Records of types 3 and 6 are stored as written.
    void verbatim(const char *line) { add(QByteArray(line)); }

    void colour(int number, Rgbt skin, Rgbt fallback)
    {
        m_colourLines.push_back({number, fallback, int(m_lines.size())});
        add(withNumber("4", number) + num(skin.r) + ' ' + num(skin.g) + ' ' + num(skin.b) + ' '
            + num(skin.t));
    }

    void graphic(const StoredObject &o)
    {
        add(QByteArray("5 ") + num(o.number) + ' ' + QByteArray::number(o.offset) + ' '
            + QByteArray::number(o.length) + ' ' + num(o.container));
    }

    QByteArray ski() const
    {
        if (m_lines.size() > kMaxLines)
            throw std::logic_error("skin has too many lines");
        QByteArray out;
        for (const QByteArray &line : m_lines)
            out += line + '\n';
        return out;
    }

    // ID (four digits or "-"), red, green, blue, transparency, line number of
    // the record; CR LF after every line.
    QByteArray colourScheme() const
    {
        QByteArray out;
        for (const ColourLine &c : m_colourLines) {
            const QByteArray id = c.number == kNoNumber
                                      ? QByteArray("-")
                                      : QByteArray::number(c.number).rightJustified(4, '0');
            out += id + ',' + num(c.fallback.r) + ',' + num(c.fallback.g) + ','
                   + num(c.fallback.b) + ',' + num(c.fallback.t) + ','
                   + QByteArray::number(c.line).rightJustified(4, '0') + "\r\n";
        }
        return out;
    }

private:
    struct ColourLine {
        int number;
        Rgbt fallback;
        int line;
    };

    static QByteArray num(int v) { return QByteArray::number(v); }

    static QByteArray withNumber(const char *type, int number)
    {
        QByteArray s(type);
        s += ' ';
        if (number != kNoNumber)
            s += num(number) + ' ';
        return s;
    }

    void add(const QByteArray &line) { m_lines.push_back(line); }

    std::vector<QByteArray> m_lines;
    std::vector<ColourLine> m_colourLines;
};

// Which container holds which objects, in storage order. The disabled keys,
// the animated key and the appointment icon live in varavave1.dat, a few
// status icons in varavave14.dat, everything else in varavave.dat.
const std::vector<std::pair<int, std::vector<int>>> &storage()
{
    static const std::vector<std::pair<int, std::vector<int>>> s = {
        {0, {630, 631, 632, 633, 634, 635, 7, 641, 640, 642, 643, 644, 645, 646, 647, 648, 649}},
        {1, {652, 674, 664, 675, 650}},
        {14, {651, 653, 654, 655}},
    };
    return s;
}

// The order of the picture records: grouped by what they show, not by number.
const std::vector<int> &recordOrder()
{
    static const std::vector<int> order = {7,   630, 631, 652, 632, 633, 674, 634, 635,
                                           664, 675, 640, 641, 642, 643, 644, 645, 646,
                                           647, 648, 649, 650, 651, 653, 654, 655};
    return order;
}

} // namespace

QString containerFileName(int container)
{
    return container == 0 ? QStringLiteral("varavave.dat")
                          : QStringLiteral("varavave%1.dat").arg(container);
}

SampleSkin buildSampleSkin(const std::map<int, QByteArray> &gifs)
{
    SampleSkin out;
    std::map<int, StoredObject> stored;
    for (const auto &[container, numbers] : storage()) {
        QByteArray data;
        for (int n : numbers) {
            auto gif = gifs.find(n);
            if (gif == gifs.end())
                throw std::logic_error("no picture for a stored object");
            if (!stored.emplace(n, StoredObject{n, container, data.size(), gif->second.size()})
                     .second)
                throw std::logic_error("object stored twice");
            data += gif->second;
        }
        out.containers[containerFileName(container)] = data;
    }
    if (stored.size() != gifs.size() || recordOrder().size() != gifs.size())
        throw std::logic_error("every picture must be stored and listed exactly once");

    SkinText s("SKI1 varavave 176 220");

    s.section(10, 1); // phone-wide settings
    s.param(1, 176);
    s.param(2, 220);
    s.param(3, 16);
    s.param(4, 1);
    s.param(5, 0);
    s.param(6, 3);
    s.verbatim("3 1 0 1 0 0");
    s.verbatim("3 2 2 0 1");
    s.verbatim("6 1 0 0 1");
    s.verbatim("6 2 14 0");
    s.colour(581, {12, 18, 30, 0}, {200, 196, 182, 0});   // status line backdrop
    s.colour(582, {210, 220, 236, 0}, {40, 40, 38, 0});   // status line text

    s.section(41, 98); // idle screen
    s.colour(kNoNumber, {44, 54, 72, 0}, {226, 222, 208, 0}); // screen background
    s.rect(570, 4, 4, 171, 24);                                 // operator name
    s.colour(595, {255, 255, 255, 0}, {28, 28, 26, 0});
    s.colour(594, {18, 24, 36, 0}, {250, 248, 240, 0});         // operator name outline
    s.param(20, 1);
    s.param(21, 2);
    s.rect(571, 4, 26, 100, 46);                                // date
    s.colour(579, {196, 212, 232, 0}, {84, 76, 60, 0});
    s.param(22, 0);
    s.rect(574, 104, 26, 171, 46);                              // digital clock
    s.colour(580, {250, 232, 160, 0}, {150, 84, 10, 0});
    s.param(23, 1);
    s.rect(572, 4, 48, 171, 62);                                // status icons
    s.rect(kNoNumber, 8, 64, 167, 65);                          // rule under the icons
    s.colour(kNoNumber, {96, 110, 134, 0}, {170, 164, 150, 0});
    s.verbatim("3 41 1 0 0");
    s.verbatim("3 42 0 1");
    s.verbatim("6 41 2 0 1");

    s.section(41, 99); // analogue clock
    s.rect(6, 52, 70, 123, 141); // the 72x72 face is drawn from the top left corner
    s.param(7, 1);
    s.param(8, 18);  // minute hand length
    s.param(9, 2);
    s.param(11, 12); // hour hand length
    s.param(12, 3);
    s.param(13, 0);
    s.colour(9, {226, 44, 44, 0}, {214, 122, 18, 0});    // minute hand
    s.colour(12, {0, 0, 0, 0}, {36, 36, 34, 0});         // hour hand
    s.colour(10, {255, 196, 64, 0}, {196, 48, 30, 0});   // seconds hand
    s.colour(11, {40, 44, 52, 0}, {60, 58, 54, 0});      // hub
    s.colour(597, {230, 236, 246, 0}, {255, 251, 238, 0}); // hand outline
    s.verbatim("3 6 36 36 0");
    s.verbatim("6 6 1 0");

    s.section(43, 12); // smart keys, released and pressed share their box
    s.param(30, 1);
    s.param(31, 3);
    s.rect(562, 78, 146, 97, 158); // up
    s.rect(566, 78, 146, 97, 158);
    s.rect(563, 78, 182, 97, 194); // down
    s.rect(567, 78, 182, 97, 194);
    s.rect(564, 56, 164, 75, 176); // left
    s.rect(568, 56, 164, 75, 176);
    s.rect(565, 100, 164, 119, 176); // right
    s.rect(569, 100, 164, 119, 176);
    s.colour(586, {220, 232, 248, 0}, {255, 178, 52, 0});  // arrow
    s.colour(587, {255, 255, 255, 0}, {255, 214, 140, 0}); // arrow, pressed
    s.colour(588, {64, 88, 124, 0}, {88, 88, 84, 0});      // key
    s.colour(589, {30, 44, 66, 0}, {52, 52, 50, 0});       // key, pressed
    s.colour(590, {16, 24, 38, 0}, {12, 12, 10, 0});       // key outline
    s.verbatim("3 43 4 4 2");
    s.verbatim("6 43 0 1");

    s.section(44, 5); // soft keys
    s.rect(575, 3, 201, 74, 217);  // left label
    s.rect(577, 80, 201, 94, 217); // centre label
    s.rect(576, 99, 201, 172, 217); // right label
    s.rect(kNoNumber, 1, 198, 175, 219); // the bar
    s.colour(583, {255, 255, 255, 0}, {255, 240, 214, 0}); // label
    s.colour(584, {200, 214, 236, 0}, {255, 178, 52, 0});  // label, pressed
    s.colour(585, {150, 156, 166, 0}, {150, 150, 146, 0}); // label, disabled
    s.colour(kNoNumber, {40, 52, 72, 0}, {34, 34, 32, 0}); // behind the bar
    s.param(40, 1);
    s.param(41, 2);
    s.param(42, 0);
    s.verbatim("3 44 0 198 1");
    s.verbatim("6 44 1 1 0");

    s.section(45, 7); // indicators
    s.param(50, 12);
    s.param(51, 2);
    s.colour(591, {255, 118, 96, 0}, {196, 48, 30, 0});   // alert
    s.colour(592, {120, 196, 255, 0}, {214, 128, 20, 0}); // indicator
    s.colour(593, {236, 242, 250, 0}, {42, 42, 40, 0});   // indicator text
    s.colour(kNoNumber, {96, 200, 120, 0}, {60, 150, 60, 0}); // battery full
    s.colour(kNoNumber, {240, 170, 50, 0}, {200, 60, 30, 0}); // battery low
    s.verbatim("3 45 5 1 0 0");
    s.verbatim("6 45 0 0 2");

    s.section(50, 2); // menus and lists
    s.colour(596, {255, 255, 255, 0}, {28, 28, 26, 0});   // title
    s.colour(598, {220, 228, 240, 0}, {50, 48, 44, 0});   // entry
    s.colour(599, {255, 255, 255, 0}, {255, 248, 230, 0}); // entry, highlighted
    s.colour(600, {74, 120, 190, 0}, {214, 128, 20, 0});  // highlight bar
    s.colour(kNoNumber, {28, 36, 54, 128}, {240, 236, 224, 128}); // see-through backdrop
    s.colour(kNoNumber, {160, 176, 200, 0}, {150, 144, 130, 0});  // scroll bar
    s.param(60, 1);
    s.param(61, 18);
    s.param(62, 4);
    s.verbatim("3 50 2 16 1");
    s.verbatim("3 51 0 0 4 4");
    s.verbatim("6 50 1 0 0");
    s.verbatim("6 51 3 1");

    s.section(52, 4); // notes and dialogs
    s.param(70, 1);
    s.param(71, 0);
    s.param(72, 5);
    s.verbatim("3 52 1 1");
    s.verbatim("3 53 0 2 0");
    s.verbatim("6 52 0 0");
    s.verbatim("6 53 1 4");

    s.section(60, 1); // pictures
    for (int n : recordOrder()) {
        auto it = stored.find(n);
        if (it == stored.end())
            throw std::logic_error("listed object was never stored");
        s.graphic(it->second);
        out.objects.push_back(it->second);
    }

    out.ski = s.ski();
    out.colours = s.colourScheme();
    return out;
}

} // namespace mksample
