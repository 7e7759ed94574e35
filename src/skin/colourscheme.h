#pragma once
// Colour schemes: a colour table kept as a text file of its own, one colour
// row a line, "ID,R,G,B,Trasparenza,Indice", lines ended by CR LF. The
// default set carries one (colors.txt); the command-line tool writes a
// skin's colours in the same form.
//
// Reading takes the file whole or not at all: a scheme replaces the colour
// table, and half of one would leave rows whose "Indice" names slots of the
// skin that the user never meant to rewrite. A file that is too large, not
// text, or has a line the editor would not load gives a SkinError that names
// the line and the field; nothing is kept.
#include "skin/errors.h"
#include "skin/document.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace velluno {

// The six fields of a scheme line, in file order: the row's key and its
// cells "R", "G", "B", "Trasparenza", "Indice".
enum SchemeField : int { SchemeKey, SchemeR, SchemeG, SchemeB, SchemeAlpha, SchemeIndex };
constexpr int kSchemeFields = 6;

// Bounds that a hostile file meets long before it costs time or memory. A
// real scheme has a line of about thirty characters per colour record of a
// skin, and a skin has at most one record per slot after the "SKI1" line.
constexpr qint64 kSchemeMaxBytes = qint64(1) << 20;
constexpr int kSchemeMaxLineLength = 1000;
constexpr int kSchemeMaxRows = kSlotCount - 1;

class ColourScheme {
public:
    SkinError error;  // None when the rows below are the whole file
    bool ok() const { return error.ok(); }

    int count() const { return int(rows_.size()); }
    // Field f of row n (0-based), trimmed of blanks, as the file writes it.
    QStringView field(int n, SchemeField f) const
    {
        const Entry& e = rows_[size_t(n)];
        return QStringView(text_).mid(e.start[f], e.length[f]);
    }
    int line(int n) const { return rows_[size_t(n)].line; }  // 1-based line of the file

private:
    friend ColourScheme ParseColourScheme(QByteArrayView bytes, const QString& file);
    struct Entry {
        int line;
        int start[kSchemeFields];
        int length[kSchemeFields];
    };
    QString text_;  // the file decoded as Latin-1; the rows point into it
    std::vector<Entry> rows_;
};

// The rows of a scheme given as bytes; `file` only names the file in the
// error. Empty lines (blanks alone) are passed over, a seventh or further
// field is ignored, line ends are CR LF, LF or CR, and a last line without
// one counts. Every failure names the 1-based line:
//   SchemeTooLarge     more than kSchemeMaxBytes
//   SchemeNotText      a control character (a NUL of a binary file)
//   SchemeLineTooLong  a line longer than kSchemeMaxLineLength
//   SchemeTooManyRows  more than kSchemeMaxRows colour lines
//   SchemeShortLine    fewer than six comma-separated fields
//   SchemeBadField     detail: the field's column name, extra: its text
//   SchemeEmpty        no colour line at all
ColourScheme ParseColourScheme(QByteArrayView bytes, const QString& file = QString());
// The same from a file, reading no more than kSchemeMaxBytes + 1 bytes of
// it; CannotOpen / CannotRead when the system refuses.
ColourScheme ReadColourScheme(const QString& path);

// The first field of a line that a scheme may not hold, or -1 when the line
// loads. The key is "-" or digits; "R", "G", "B" and "Trasparenza" are
// whole decimal numbers (a sign allowed: skins hold such values); "Indice"
// is a slot from 1 to 1500: slot 0 is the "SKI1" line, which a colour row
// must never overwrite.
int BadSchemeField(const QStringView (&fields)[kSchemeFields]);

// The header of each field's column, as the colour table names it.
QString SchemeFieldName(int f);

// A colour table in the scheme's form, one CR LF line per row in row order,
// bytes in Latin-1 as the skin's own text.
QByteArray ColourSchemeText(const Table<ValueRow>& colours);

// Replaces the colour table by the rows of a scheme, in file order: keys
// and values as the file writes them, each row edited and marked as a
// scheme's.
void LoadScheme(Table<ValueRow>& colours, const ColourScheme& scheme);

}  // namespace velluno
