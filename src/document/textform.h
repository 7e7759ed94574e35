#pragma once
// The text form of skin records: taking a record line apart, composing it
// back, colours as text, the lenient numeric reading and the digit formats.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace velluno {

// A text being composed piece by piece, straight into the QString it
// becomes: appending is inline, the storage grows by doubling, and take()
// hands the text over without a copy. The opening composes the rows of a
// whole table in one of these.
class TextBuffer {
public:
    void append(char16_t c)
    {
        if (size_ == capacity_)
            grow(1);
        data_[size_++] = c;
    }
    void append(QChar c) { append(c.unicode()); }
    void append(QStringView s)
    {
        if (size_ + s.size() > capacity_)
            grow(s.size());
        copy(s.utf16(), s.size());
    }
    void append(QLatin1String s)
    {
        if (size_ + s.size() > capacity_)
            grow(s.size());
        for (char c : s)
            data_[size_++] = char16_t(uchar(c));
    }
    // Appends `n` characters of this same text from `from` on.
    void appendOwn(qsizetype from, qsizetype n)
    {
        if (size_ + n > capacity_)
            grow(n);
        copy(data_ + from, n);
    }
    void reserve(qsizetype capacity)
    {
        if (capacity > capacity_)
            grow(capacity - size_);
    }
    qsizetype size() const { return size_; }
    QStringView view() const { return QStringView(data_, size_); }
    QString toString() const { return view().toString(); }
    // The text as it stands; the buffer is left empty.
    QString take();
    void clear() { size_ = 0; }

private:
    void grow(qsizetype more);
    // Most pieces are a few characters long, too short for a call to memcpy.
    void copy(const char16_t* from, qsizetype n)
    {
        if (n > 32)
            std::copy_n(from, n, data_ + size_);
        else
            for (qsizetype i = 0; i < n; ++i)
                data_[size_ + i] = from[i];
        size_ += n;
    }

    QString text_;
    char16_t* data_ = nullptr;
    qsizetype size_ = 0;
    qsizetype capacity_ = 0;
};

// A whole number in decimal, padded with zeros to at least `minDigits`.
void AppendInteger(TextBuffer& out, qint64 value, int minDigits = 1);

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

// Digit format "0000" (digits = 4), "00", "000000": the numeric value rounded
// to a whole number, padded with leading zeros to at least `digits` digits;
// more digits are kept; a text that is not a number is returned unchanged.
QString FormatDigits(QStringView text, int digits);
// The same, appended to `out` without a text of its own.
void AppendDigits(TextBuffer& out, QStringView text, int digits);

// A number written back into a cell or field: a whole number without
// decimals, a fraction in its shortest form.
QString PlainNumber(double value);
void AppendPlainNumber(TextBuffer& out, double value);

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
std::optional<ValueRecord> ReadValueRecord(const QString& line);
std::optional<ObjectRecord> ReadObjectRecord(const QString& line);
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

// The record type of a line: its first character.
inline QChar RecordType(QStringView line) { return line.isEmpty() ? QChar() : line.at(0); }

}  // namespace velluno
