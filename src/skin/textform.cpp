#include "skin/textform.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <cstdlib>

namespace velluno {

namespace {

// The text with every blank and tab removed: the lenient reading skips them
// wherever they stand ("1 2" reads as 12).
QByteArray Squeezed(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            continue;
        // Anything outside ASCII ends a number anyway; keep a stand-in so that
        // the scan stops there.
        out.append(c.unicode() < 128 ? char(c.unicode()) : '\x01');
    }
    return out;
}

double Clamped(double v)
{
    if (std::isnan(v))
        return 0;
    if (v > DBL_MAX)
        return DBL_MAX;
    if (v < -DBL_MAX)
        return -DBL_MAX;
    return v;
}

double RadixValue(const QByteArray& s, int start, int radix)
{
    double value = 0;
    for (int i = start; i < s.size(); ++i) {
        const char c = s.at(i);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= radix)
            break;
        value = value * radix + digit;
    }
    return Clamped(value);
}

}  // namespace

double LenientNumber(QStringView text)
{
    // Plain runs of digits are by far the most common cells; they are read
    // without building any temporary text.
    const QStringView run = PlainDigitRun(text);
    if (!run.isEmpty()) {
        qint64 value = 0;
        for (const QChar c : run)
            value = value * 10 + (c.unicode() - u'0');
        return double(value);
    }
    const QByteArray s = Squeezed(text);
    if (s.size() >= 2 && s.at(0) == '&') {
        const char kind = s.at(1);
        if (kind == 'h' || kind == 'H')
            return RadixValue(s, 2, 16);
        if (kind == 'o' || kind == 'O')
            return RadixValue(s, 2, 8);
        return RadixValue(s, 1, 8);
    }
    // Collect sign, digits, decimal part and exponent by hand, so that strtod
    // never sees anything it would read differently (hex floats, "inf", "nan").
    QByteArray number;
    int i = 0;
    const int n = s.size();
    if (i < n && (s.at(i) == '+' || s.at(i) == '-'))
        number.append(s.at(i++));
    bool digits = false;
    while (i < n && s.at(i) >= '0' && s.at(i) <= '9') {
        number.append(s.at(i++));
        digits = true;
    }
    if (i < n && s.at(i) == '.') {
        number.append(s.at(i++));
        while (i < n && s.at(i) >= '0' && s.at(i) <= '9') {
            number.append(s.at(i++));
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (s.at(i) == 'e' || s.at(i) == 'E' || s.at(i) == 'd' || s.at(i) == 'D')) {
        int j = i + 1;
        QByteArray exponent("e");
        if (j < n && (s.at(j) == '+' || s.at(j) == '-'))
            exponent.append(s.at(j++));
        bool expDigits = false;
        while (j < n && s.at(j) >= '0' && s.at(j) <= '9') {
            exponent.append(s.at(j++));
            expDigits = true;
        }
        if (expDigits)
            number.append(exponent);
    }
    return Clamped(std::strtod(number.constData(), nullptr));
}

qint64 LenientInteger(QStringView text, qint64 lo, qint64 hi)
{
    const double v = std::round(LenientNumber(text));
    if (v <= double(lo))
        return lo;
    if (v >= double(hi))
        return hi;
    return qint64(v);
}

int LenientInt(QStringView text)
{
    return int(LenientInteger(text, INT32_MIN, INT32_MAX));
}

namespace {

// Whether the whole text (blanks around it aside) is one number: decimal with
// optional sign, fraction and exponent, or &H / &O digits.
bool IsNumber(QStringView text)
{
    const QStringView t = text.trimmed();
    const int n = t.size();
    if (n == 0)
        return false;
    auto digitsFrom = [&](int i, bool (*ok)(ushort)) {
        const int start = i;
        while (i < n && ok(t.at(i).unicode()))
            ++i;
        return i - start;
    };
    auto decimal = [](ushort c) { return c >= '0' && c <= '9'; };
    if (t.at(0) == QLatin1Char('&')) {
        if (n >= 3 && (t.at(1) == QLatin1Char('h') || t.at(1) == QLatin1Char('H')))
            return digitsFrom(2, [](ushort c) {
                       return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
                   }) == n - 2;
        const int from = (n >= 2 && (t.at(1) == QLatin1Char('o') || t.at(1) == QLatin1Char('O'))) ? 2 : 1;
        return n > from && digitsFrom(from, [](ushort c) { return c >= '0' && c <= '7'; }) == n - from;
    }
    int i = 0;
    if (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-'))
        ++i;
    int whole = digitsFrom(i, decimal);
    i += whole;
    int fraction = 0;
    if (i < n && t.at(i) == QLatin1Char('.')) {
        ++i;
        fraction = digitsFrom(i, decimal);
        i += fraction;
    }
    if (whole + fraction == 0)
        return false;
    if (i < n && QStringLiteral("eEdD").contains(t.at(i))) {
        ++i;
        if (i < n && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            ++i;
        const int exponent = digitsFrom(i, decimal);
        if (exponent == 0)
            return false;
        i += exponent;
    }
    return i == n;
}

}  // namespace

namespace {

// Whether a value is a whole number that a 64-bit integer holds exactly.
bool IsSmallWhole(double value, qint64* whole)
{
    // NaN fails the first test; below 9e15 the cast truncates nothing from
    // a whole number.
    if (!(std::fabs(value) < 9.0e15))
        return false;
    *whole = qint64(value);
    return double(*whole) == value;
}

}  // namespace

QString FormatDigits(QStringView text, int digits)
{
    // Nearly every key and cell is a plain run of digits.
    const QStringView run = PlainDigitRun(text);
    if (!run.isEmpty())
        return run.size() >= digits ? run.toString() : QString(digits - run.size(), QLatin1Char('0')) + run.toString();
    if (!IsNumber(text))
        return text.toString();
    const double rounded = std::round(LenientNumber(text.trimmed()));
    if (!(std::fabs(rounded) < kExactNumberLimit))
        return text.toString();
    const QString magnitude = QString::number(std::fabs(rounded), 'f', 0);
    return (rounded < 0 ? QStringLiteral("-") : QString()) +
           QString(qMax<qsizetype>(0, digits - magnitude.size()), QLatin1Char('0')) + magnitude;
}

QString PlainNumber(double value)
{
    qint64 whole;
    if (IsSmallWhole(value, &whole))
        return QString::number(whole);
    if (value == std::floor(value))
        return QString::number(value, 'f', 0);
    return QString::number(value, 'g', 15);
}

QString PlainNumberOf(QStringView text)
{
    const QStringView run = PlainDigitRun(text);
    if (!run.isEmpty())
        return run.toString();
    const double value = LenientNumber(text);
    if (std::fabs(value) < kExactNumberLimit)
        return PlainNumber(value);
    return TrimBlanks(text.toString());
}

namespace {

// Positions of the first blanks of a record line, each search starting one
// character after the previous blank. The reader appends one blank to the
// line before searching; the line's end stands for that blank here, which
// gives the same fields without copying the line.
struct BlankPositions {
    // Room for a whole word's blanks past the last one asked for (see
    // Blanks); only the first `count` are meant.
    int at[6 + 4];
    int count = 0;
};

Q_ALWAYS_INLINE BlankPositions Blanks(QStringView line, int count, bool endIsBlank)
{
    BlankPositions p;
    const char16_t* text = line.utf16();
    const int n = int(line.size());
    // Four characters at a time: a lane that holds a blank becomes zero
    // after the exclusive or, and the arithmetic below sets the top bit of
    // exactly the lanes that are not zero, with no carry from one lane into
    // the next. Every blank then costs a few instructions, and a character
    // that is none costs a quarter of one test.
    constexpr quint64 kBlanks = 0x0020002000200020ull;
    constexpr quint64 kLow = 0x7FFF7FFF7FFF7FFFull;
    constexpr quint64 kHigh = 0x8000800080008000ull;
    // The loop over a word's blanks needs no second condition: the array has
    // room for the blanks past the last one asked for, dropped at the end.
    int* const at = p.at;
    int k = 0;
    int i = 0;
    for (; i + 4 <= n && k < count; i += 4) {
        quint64 word;
        std::memcpy(&word, text + i, sizeof word);
        const quint64 x = word ^ kBlanks;
        for (quint64 found = ~(((x & kLow) + kLow) | x) & kHigh; found != 0; found &= found - 1)
            at[k++] = i + int(qCountTrailingZeroBits(found) >> 4);
    }
    for (; i < n && k < count; ++i)
        if (text[i] == u' ')
            at[k++] = i;
    k = qMin(k, count);
    if (k < count && endIsBlank)
        at[k++] = n;
    p.count = k;
    return p;
}

// The field between the blanks at a and b, which Blanks found in the line.
QStringView Between(QStringView line, int a, int b)
{
    return QStringView(line.utf16() + a + 1, b - a - 1);
}

}  // namespace

// Both records are written straight into the value returned: a record
// built aside and copied in moves its views through memory in pieces of
// another size than they were stored in, and the processor waits for that.
std::optional<ValueRecord> ReadValueRecord(QStringView line)
{
    const BlankPositions p = Blanks(line, 6, true);
    std::optional<ValueRecord> r;
    if (p.count < 5)
        return r;
    ValueRecord& v = r.emplace();
    const int first = p.count == 6 ? 1 : 0;
    v.number = first ? Between(line, p.at[0], p.at[1]) : QStringView(u"-");
    for (int k = 0; k < 4; ++k)
        v.values[k] = Between(line, p.at[first + k], p.at[first + k + 1]);
    return r;
}

std::optional<ObjectRecord> ReadObjectRecord(QStringView line)
{
    const BlankPositions p = Blanks(line, 5, true);
    std::optional<ObjectRecord> r;
    if (p.count < 5)
        return r;
    ObjectRecord& o = r.emplace();
    o.number = Between(line, p.at[0], p.at[1]);
    o.offset = Between(line, p.at[1], p.at[2]);
    o.length = Between(line, p.at[2], p.at[3]);
    o.container = Between(line, p.at[3], p.at[4]);
    return r;
}

QString ComposeValueRecord(QChar type, QStringView key, QStringView v1, QStringView v2,
                           QStringView v3, QStringView v4)
{
    QString line;
    line.reserve(8 + key.size() + v1.size() + v2.size() + v3.size() + v4.size());
    line += type;
    line += QLatin1Char(' ');
    if (key != QLatin1String("-")) {
        line += PlainNumberOf(key);
        line += QLatin1Char(' ');
    }
    for (const QStringView v : {v1, v2, v3}) {
        line += v;
        line += QLatin1Char(' ');
    }
    line += v4;
    return line;
}

QString ComposeObjectRecord(QStringView key, qint64 offset, qint64 length)
{
    return QStringLiteral("5 %1 %2 %3 14").arg(PlainNumberOf(key)).arg(offset).arg(length);
}

QString RGBToString(quint32 colour, ColourParts& parts)
{
    const QString hex =
        QStringLiteral("%1").arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
    parts.ColorB = hex.mid(0, 2).toInt(nullptr, 16);
    parts.ColorG = hex.mid(2, 2).toInt(nullptr, 16);
    parts.ColorR = hex.mid(4, 2).toInt(nullptr, 16);
    return QStringLiteral("%1 %2 %3").arg(parts.ColorR).arg(parts.ColorG).arg(parts.ColorB);
}

quint32 StringToRGB(QStringView line, ColourParts& parts)
{
    const BlankPositions p = Blanks(line, 4, false);
    auto field = [&](int k) {
        if (k >= p.count)
            return QStringView();
        const int end = k + 1 < p.count ? p.at[k + 1] : line.size();
        return Between(line, p.at[k], end);
    };
    parts.ColorR = int(LenientInteger(field(0), 0, 255));
    parts.ColorG = int(LenientInteger(field(1), 0, 255));
    parts.ColorB = int(LenientInteger(field(2), 0, 255));
    return MakeColour(parts.ColorR, parts.ColorG, parts.ColorB);
}

quint32 MakeColour(int r, int g, int b)
{
    auto clamp = [](int v) { return quint32(v < 0 ? 0 : v > 255 ? 255 : v); };
    return clamp(r) + 256u * clamp(g) + 65536u * clamp(b);
}

}  // namespace velluno
