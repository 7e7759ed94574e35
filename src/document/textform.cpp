#include "document/textform.h"

#include <QRegularExpression>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace velluno {

namespace {

// The text with every blank and tab removed: the lenient reading skips them
// wherever they stand ("1 2" reads as 12).
QByteArray Squeezed(const QString& text)
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

double LenientNumber(const QString& text)
{
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

qint64 LenientInteger(const QString& text, qint64 lo, qint64 hi)
{
    const double v = std::round(LenientNumber(text));
    if (v <= double(lo))
        return lo;
    if (v >= double(hi))
        return hi;
    return qint64(v);
}

int LenientInt(const QString& text)
{
    return int(LenientInteger(text, INT32_MIN, INT32_MAX));
}

QString FormatDigits(const QString& text, int digits)
{
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?$"));
    static const QRegularExpression radix(QStringLiteral("^&([hH][0-9a-fA-F]+|[oO]?[0-7]+)$"));
    const QString trimmed = text.trimmed();
    if (!decimal.match(trimmed).hasMatch() && !radix.match(trimmed).hasMatch())
        return text;
    const double rounded = std::round(LenientNumber(trimmed));
    QString magnitude = QString::number(std::fabs(rounded), 'f', 0);
    if (magnitude.size() < digits)
        magnitude.prepend(QString(digits - magnitude.size(), QLatin1Char('0')));
    return rounded < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

QString PlainNumber(double value)
{
    if (value == std::floor(value)) {
        if (std::fabs(value) < 9.0e15)
            return QString::number(qint64(value));
        return QString::number(value, 'f', 0);
    }
    return QString::number(value, 'g', 15);
}

namespace {

// Positions of the first `count` blanks of `line`, each search starting one
// character after the previous blank; stops early when no blank is left.
QVector<int> Blanks(const QString& line, int count)
{
    QVector<int> positions;
    int from = 0;
    while (positions.size() < count) {
        const int p = line.indexOf(QLatin1Char(' '), from);
        if (p < 0)
            break;
        positions.append(p);
        from = p + 1;
    }
    return positions;
}

QString Between(const QString& line, int a, int b)
{
    return line.mid(a + 1, b - a - 1);
}

}  // namespace

std::optional<ValueRecord> ReadValueRecord(const QString& line)
{
    const QString padded = line + QLatin1Char(' ');
    const QVector<int> p = Blanks(padded, 6);
    if (p.size() < 5)
        return std::nullopt;
    ValueRecord r;
    if (p.size() == 6) {
        r.number = Between(padded, p[0], p[1]);
        for (int k = 0; k < 4; ++k)
            r.values[k] = Between(padded, p[k + 1], p[k + 2]);
    } else {
        r.number = QStringLiteral("-");
        for (int k = 0; k < 4; ++k)
            r.values[k] = Between(padded, p[k], p[k + 1]);
    }
    return r;
}

std::optional<ObjectRecord> ReadObjectRecord(const QString& line)
{
    const QString padded = line + QLatin1Char(' ');
    const QVector<int> p = Blanks(padded, 5);
    if (p.size() < 5)
        return std::nullopt;
    return ObjectRecord{Between(padded, p[0], p[1]), Between(padded, p[1], p[2]),
                        Between(padded, p[2], p[3]), Between(padded, p[3], p[4])};
}

QString ComposeValueRecord(QChar type, const QString& key, const QString& v1,
                           const QString& v2, const QString& v3, const QString& v4)
{
    QString line(type);
    line += QLatin1Char(' ');
    if (key != QLatin1String("-"))
        line += PlainNumber(LenientNumber(key)) + QLatin1Char(' ');
    line += v1 + QLatin1Char(' ') + v2 + QLatin1Char(' ') + v3 + QLatin1Char(' ') + v4;
    return line;
}

QString ComposeObjectRecord(const QString& key, qint64 offset, qint64 length)
{
    return QStringLiteral("5 %1 %2 %3 14")
        .arg(PlainNumber(LenientNumber(key)))
        .arg(offset)
        .arg(length);
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

quint32 StringToRGB(const QString& line, ColourParts& parts)
{
    const QVector<int> p = Blanks(line, 4);
    auto field = [&](int k) {
        if (k >= p.size())
            return QString();
        const int end = k + 1 < p.size() ? p[k + 1] : line.size();
        return Between(line, p[k], end);
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
