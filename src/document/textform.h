#pragma once
// The text form of skin records: taking a record line apart, composing it
// back, colours as text, the lenient numeric reading and the digit formats.
#include <QString>
#include <QStringList>
#include <optional>

namespace velluno {

// The leading number of a text: blanks and tabs anywhere are skipped, then an
// optional sign, digits, a decimal part and an exponent are read up to the
// first other character; &H / &O read hexadecimal / octal digits. A text that
// starts with no number reads as 0 (so "-" is 0).
double LenientNumber(const QString& text);

// LenientNumber rounded half away from zero and clamped into [lo, hi], for
// places that need an integer (slots, offsets, pixel coordinates) and must
// never overflow on "1e300".
qint64 LenientInteger(const QString& text, qint64 lo, qint64 hi);
int LenientInt(const QString& text);  // clamped to the 32-bit range

// Digit format "0000" (digits = 4), "00", "000000": the numeric value rounded
// to a whole number, padded with leading zeros to at least `digits` digits;
// more digits are kept; a text that is not a number is returned unchanged.
QString FormatDigits(const QString& text, int digits);

// A number written back into a cell or field: a whole number without
// decimals, a fraction in its shortest form.
QString PlainNumber(double value);

// Fields of a rectangle ("1") or colour ("4") record as the reader takes them
// apart: `number` is "-" when the record has only five fields.
struct ValueRecord {
    QString number;
    QString values[4];
};

// Fields of a graphic-object record ("5").
struct ObjectRecord {
    QString number;
    QString offset;
    QString length;
    QString container;
};

// Both return nothing for a line with fewer than five fields.
std::optional<ValueRecord> ReadValueRecord(const QString& line);
std::optional<ObjectRecord> ReadObjectRecord(const QString& line);

// "1 " / "4 " & number & " " & v1 .. v4, the number left out when the key is
// "-". The number is the plain integer of the key ("0562" -> 562).
QString ComposeValueRecord(QChar type, const QString& key, const QString& v1,
                           const QString& v2, const QString& v3, const QString& v4);
// "5 " & number & " " & offset & " " & length & " 14".
QString ComposeObjectRecord(const QString& key, qint64 offset, qint64 length);

// Colour values are 0x00BBGGRR: red + 256 * green + 65536 * blue.
struct ColourParts {
    int ColorR = 0;
    int ColorG = 0;
    int ColorB = 0;
};
QString RGBToString(quint32 colour, ColourParts& parts);
quint32 StringToRGB(const QString& line, ColourParts& parts);
quint32 MakeColour(int r, int g, int b);  // components clamped into 0..255

// The record type of a line: its first character.
inline QChar RecordType(const QString& line) { return line.isEmpty() ? QChar() : line.at(0); }

}  // namespace velluno
