#include "skin/colourscheme.h"

#include "skin/files.h"

#include <QFile>

namespace velluno {

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// A control character that no text line holds; tabs are blanks, CR and LF
// end lines.
bool IsControl(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F;
}

// [from, to) of `text` without blanks at either end.
void Trim(const QString& text, int& from, int& to)
{
    while (from < to && IsBlank(text.at(from)))
        ++from;
    while (to > from && IsBlank(text.at(to - 1)))
        --to;
}

bool AllDigits(QStringView s, int maxDigits)
{
    if (s.isEmpty() || s.size() > maxDigits)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Nine digits at most: every such number fits an int.
constexpr int kMaxDigits = 9;

SkinError LineError(ErrorKind code, const QString& file, int line)
{
    SkinError e = SkinError::of(code, file);
    e.line = line;
    return e;
}

}  // namespace

int BadSchemeField(const QStringView (&fields)[kSchemeFields])
{
    const QStringView key = fields[SchemeKey];
    if (key != QLatin1String("-") && !AllDigits(key, kMaxDigits))
        return SchemeKey;
    for (int f = SchemeR; f <= SchemeAlpha; ++f) {
        QStringView v = fields[f];
        if (v.startsWith(QLatin1Char('-')))
            v = v.mid(1);
        if (!AllDigits(v, kMaxDigits))
            return f;
    }
    const QStringView index = fields[SchemeIndex];
    if (!AllDigits(index, kMaxDigits) || index.toInt() < 1 || index.toInt() > kSlotCount - 1)
        return SchemeIndex;
    return -1;
}

QString SchemeFieldName(int f)
{
    static const char* const kNames[kSchemeFields] = {"ID", "R", "G", "B", "Trasparenza", "Indice"};
    return f >= 0 && f < kSchemeFields ? QString::fromLatin1(kNames[f]) : QString();
}

ColourScheme ParseColourScheme(QByteArrayView bytes, const QString& file)
{
    ColourScheme scheme;
    if (bytes.size() > kSchemeMaxBytes) {
        scheme.error = SkinError::of(ErrorKind::SchemeTooLarge, file);
        return scheme;
    }
    // A byte order mark that an editor of text files may have put in front.
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF")))
        bytes = bytes.sliced(3);
    scheme.text_ = QString::fromLatin1(bytes.data(), bytes.size());
    const QString& text = scheme.text_;
    const int n = int(text.size());
    const char16_t* const chars = QStringView(text).utf16();

    int line = 0;
    int at = 0;
    while (at < n) {
        ++line;
        // The line runs up to its end, which is looked for no further than
        // a line may be long.
        const int start = at;
        int end = start;
        while (end < n && chars[end] != u'\r' && chars[end] != u'\n') {
            if (IsControl(chars[end])) {
                scheme.error = LineError(ErrorKind::SchemeNotText, file, line);
                scheme.rows_.clear();
                return scheme;
            }
            if (end - start == kSchemeMaxLineLength) {
                scheme.error = LineError(ErrorKind::SchemeLineTooLong, file, line);
                scheme.rows_.clear();
                return scheme;
            }
            ++end;
        }
        at = end;
        if (at < n && chars[at] == u'\r')
            ++at;
        if (at < n && chars[at] == u'\n' && (at == end || chars[end] == u'\r'))
            ++at;

        int from = start, to = end;
        Trim(text, from, to);
        if (from == to)
            continue;
        if (int(scheme.rows_.size()) == kSchemeMaxRows) {
            scheme.error = LineError(ErrorKind::SchemeTooManyRows, file, line);
            scheme.rows_.clear();
            return scheme;
        }
        // The fields between the commas, the sixth ending at the sixth comma
        // or at the end of the line; what follows is not read.
        ColourScheme::Entry entry;
        entry.line = line;
        int fieldStart = from;
        for (int f = 0; f < kSchemeFields; ++f) {
            int comma = fieldStart;
            while (comma < to && chars[comma] != u',')
                ++comma;
            if (comma == to && f < kSchemeFields - 1) {
                scheme.error = LineError(ErrorKind::SchemeShortLine, file, line);
                scheme.rows_.clear();
                return scheme;
            }
            int a = fieldStart, b = comma;
            Trim(text, a, b);
            entry.start[f] = a;
            entry.length[f] = b - a;
            fieldStart = comma + 1;
        }
        QStringView fields[kSchemeFields];
        for (int f = 0; f < kSchemeFields; ++f)
            fields[f] = QStringView(text).mid(entry.start[f], entry.length[f]);
        const int bad = BadSchemeField(fields);
        if (bad >= 0) {
            scheme.error = LineError(ErrorKind::SchemeBadField, file, line);
            scheme.error.detail = SchemeFieldName(bad);
            scheme.error.extra = fields[bad].left(40).toString();
            scheme.rows_.clear();
            return scheme;
        }
        scheme.rows_.push_back(entry);
    }
    if (scheme.rows_.empty())
        scheme.error = SkinError::of(ErrorKind::SchemeEmpty, file);
    return scheme;
}

ColourScheme ReadColourScheme(const QString& path)
{
    ColourScheme scheme;
    // One byte past the limit tells a file that is too large, whatever its
    // size claims (a file that grows while it is read, a device).
    bool ok = false;
    QString why;
    int errnum = 0;
    const QByteArray bytes = ReadWholeFile(path, &ok, kSchemeMaxBytes, &why, &errnum);
    if (!ok && errnum != 0) {
        scheme.error = SkinError::ofSystem(ErrorKind::CannotOpen, path, errnum);
        return scheme;
    }
    if (!ok) {
        scheme.error = SkinError::of(ErrorKind::SchemeTooLarge, path);
        return scheme;
    }
    return ParseColourScheme(bytes, path);
}

QByteArray ColourSchemeText(const Table<ValueRow>& colours)
{
    QString out;
    for (const ValueRow& row : colours.rows()) {
        out += row.key();
        for (const QString& v : row.values)
            out += QLatin1Char(',') + v;
        out += QLatin1Char(',') + row.index() + QLatin1String("\r\n");
    }
    return out.toLatin1();
}

void LoadScheme(Table<ValueRow>& colours, const ColourScheme& scheme)
{
    colours.clear();
    colours.reserve(scheme.count());
    for (int n = 0; n < scheme.count(); ++n) {
        ValueRow& row = colours.append();
        row.number = scheme.field(n, SchemeKey).toString();
        row.keyAsWritten = true;
        for (int v = 0; v < 4; ++v)
            row.values[v] = scheme.field(n, SchemeField(SchemeR + v)).toString();
        row.indexText = scheme.field(n, SchemeIndex).toString();
        row.slot = SlotOf(row.indexText);
        row.edited = true;
        row.fromScheme = true;
    }
}

}  // namespace velluno
