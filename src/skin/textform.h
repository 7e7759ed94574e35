#pragma once
// The text form of skin records: taking a record line apart, composing it
// back, colours as text, the lenient numeric reading and the digit formats.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <optional>

namespace velluno {

// A run of 1 to 15 ASCII digits, a number a double holds exactly, without
// its leading zeros (the last digit is kept); empty for any other text.
// Nearly every numeric cell of a skin is such a run.
inline QStringView PlainDigitRun(QStringView text)
{
    const char16_t* p = text.utf16();
    const qsizetype n = text.size();
    if (n == 0 || n > 15)
        return QStringView();
    // Checked to the end rather than up to the first other character: the
    // loop then ends at the same place for every cell of a kind.
    bool digitsOnly = true;
    for (qsizetype i = 0; i < n; ++i)
        digitsOnly &= char16_t(p[i] - u'0') <= 9;
    if (!digitsOnly)
        return QStringView();
    qsizetype zeros = 0;
    while (zeros < n - 1 && p[zeros] == u'0')
        ++zeros;
    return QStringView(p + zeros, n - zeros);
}

// The leading number of a text: blanks and tabs anywhere are skipped, then an
// optional sign, digits, a decimal part and an exponent are read up to the
// first other character; &H / &O read hexadecimal / octal digits. A text that
// starts with no number reads as 0 (so "-" is 0).
double LenientNumber(QStringView text);

// LenientNumber rounded half away from zero and clamped into [lo, hi], for
// places that need an integer (slots, offsets, pixel coordinates) and must
// never overflow on "1e300".
qint64 LenientInteger(QStringView text, qint64 lo, qint64 hi);
int LenientInt(QStringView text);  // clamped to the 32-bit range

// Numbers whose magnitude reaches this are not written back as numbers: a
// double no longer holds every whole number of that size, and writing its
// value would show digits that the text never had. They keep their text.
constexpr double kExactNumberLimit = 1e15;

// Digit format "0000" (digits = 4), "00", "000000": the numeric value rounded
// to a whole number, padded with leading zeros to at least `digits` digits;
// more digits are kept; a text that is not a number, or a number of
// kExactNumberLimit or more, is returned unchanged.
QString FormatDigits(QStringView text, int digits);
// A number written back into a cell or field: a whole number without
// decimals, a fraction in its shortest form.
QString PlainNumber(double value);
// The plain number of a text's lenient reading, the way keys become the
// numbers of records and image names ("0562" -> 562). A number of
// kExactNumberLimit or more keeps its text, blanks at its ends removed.
QString PlainNumberOf(QStringView text);

// Fields of a rectangle ("1") or colour ("4") record as the reader takes them
// apart: `number` is "-" when the record has only five fields. The fields
// are views into the line, which must outlive them.
struct ValueRecord {
    QStringView number;
    QStringView values[4];
};

// Fields of a graphic-object record ("5"), views into the line as well.
struct ObjectRecord {
    QStringView number;
    QStringView offset;
    QStringView length;
    QStringView container;
};

// Both return nothing for a line with fewer than five fields. A temporary
// line would leave the fields pointing nowhere, so it is refused.
std::optional<ValueRecord> ReadValueRecord(QStringView line);
std::optional<ObjectRecord> ReadObjectRecord(QStringView line);
std::optional<ValueRecord> ReadValueRecord(QString&& line) = delete;
std::optional<ObjectRecord> ReadObjectRecord(QString&& line) = delete;

// "1 " / "4 " & number & " " & v1 .. v4, the number left out when the key is
// "-". The number is the plain integer of the key ("0562" -> 562).
QString ComposeValueRecord(QChar type, QStringView key, QStringView v1, QStringView v2,
                           QStringView v3, QStringView v4);
// "5 " & number & " " & offset & " " & length & " 14".
QString ComposeObjectRecord(QStringView key, qint64 offset, qint64 length);

// Colour values are 0x00BBGGRR: red + 256 * green + 65536 * blue.
struct ColourParts {
    int ColorR = 0;
    int ColorG = 0;
    int ColorB = 0;
};
QString RGBToString(quint32 colour, ColourParts& parts);
quint32 StringToRGB(QStringView line, ColourParts& parts);
quint32 MakeColour(int r, int g, int b);  // components clamped into 0..255

// A text without the blanks at its ends, as records are padded (tabs are
// text, not blanks).
inline QString TrimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// The records the editor finds by their text: the parameter records of the
// hands' lengths ("2 8 " and the minute hand's length, "2 11 " and the hour
// hand's), and the background colour, the first record of the section
// "0 41 98" (its tree tag).
inline const QString kMinuteLengthPrefix = QStringLiteral("2 8 ");
inline const QString kHourLengthPrefix = QStringLiteral("2 11 ");
inline const QString kBackgroundTag = QStringLiteral("0 41 98_1");

// The record type of a line: its first character.
inline QChar RecordType(QStringView line) { return line.isEmpty() ? QChar() : line.at(0); }

}  // namespace velluno
