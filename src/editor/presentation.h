#pragma once
// How the document is shown: the columns of the three tables and the text
// of each cell, the words of an image's state, the colour, weight and icon
// of each row and tree node, and the order the object table is kept in.
// The window, the dump and the script runner show the document through
// these, so that they never disagree.
#include "skin/document.h"

#include <QString>
#include <QStringList>

namespace velluno {

// Text colours in 0x00BBGGRR order.
constexpr quint32 kBlack = 0x000000;
constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kBlue = 0xFF0000;  // the edited mark

// Picture numbers of the image list, shared by the rows and the tree.
enum Icon : int {
    IconNone = 0,
    IconReplace = 2,    // object to be replaced
    IconMissing = 3,    // missing or faulty object
    IconImage = 6,      // object with an image file
    IconNumbered = 7,   // record with an object number; also type "5" lines
    IconType4 = 8,
    IconSection = 9,
    IconType1 = 10,
    IconType3 = 11,
    IconType2 = 12,
    IconRoot = 13,
    IconType6 = 14,
};

struct Look {
    quint32 colour = kBlack;
    bool bold = false;
    int icon = IconNone;
};

// The three tables as the window shows them.
enum class TableKind { Objects, Colours, Rectangles };

// Column headers, the key column's first.
const QStringList& Headers(TableKind kind);

// Columns of the object table, after its key column.
enum ObjectColumn : int { ColLink = 1, ColDat, ColOffset, ColBytes, ColState, ColPath, ColObjectIndex };
// Columns of the colour and rectangle tables.
enum ColourColumn : int { ColR = 1, ColG, ColB, ColAlpha, ColColourIndex };
enum RectangleColumn : int { ColX1 = 1, ColY1, ColX2, ColY2, ColWidth, ColHeight, ColRectangleIndex };

QString StateWord(ImageState state);

// Cell n of a row (0 its key), as the table shows it.
QString CellText(const ObjectRow& row, int column);
QString CellText(const ValueRow& row, TableKind kind, int column);
// Cells 1..n.
QStringList Cells(const ObjectRow& row);
QStringList Cells(const ValueRow& row, TableKind kind);
QString Tag(const ObjectRow& row);
QString Tag(const ValueRow& row);

// The image file a row shows, "" for none (the cell shows a blank then).
inline QString ImageOf(const ObjectRow& row) { return row.image.trimmed(); }

Look LookOf(const ObjectRow& row);
Look LookOf(const ValueRow& row);
// Node k of the tree: the root, a section, or a record by its type.
Look LookOf(const Tree& tree, int k);

// Puts the object table in the order of `column` (0 its key), compared as
// text; -1 leaves the order as it is.
void SortObjects(Document& doc, int column);

}  // namespace velluno
