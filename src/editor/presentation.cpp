#include "editor/presentation.h"

namespace velluno {

const QStringList& Headers(TableKind kind)
{
    static const QStringList objects{QStringLiteral("ID"),     QStringLiteral("OffSet"), QStringLiteral("N° Dat"),
                                     QStringLiteral("Offset"), QStringLiteral("Byte"),   QStringLiteral("Stato"),
                                     QStringLiteral("Path GIF"), QStringLiteral("Indice")};
    static const QStringList colours{QStringLiteral("ID"), QStringLiteral("R"),           QStringLiteral("G"),
                                     QStringLiteral("B"),  QStringLiteral("Trasparenza"), QStringLiteral("Indice")};
    static const QStringList rectangles{QStringLiteral("ID"),        QStringLiteral("X1"),      QStringLiteral("Y1"),
                                        QStringLiteral("X2"),        QStringLiteral("Y2"),      QStringLiteral("Larghezza"),
                                        QStringLiteral("Altezza"),   QStringLiteral("Indice")};
    switch (kind) {
    case TableKind::Objects: return objects;
    case TableKind::Colours: return colours;
    case TableKind::Rectangles: break;
    }
    return rectangles;
}

QString StateWord(ImageState state)
{
    switch (state) {
    case ImageState::Found: return QStringLiteral("Trovata");
    case ImageState::NotFound: return QStringLiteral("Non trovata");
    case ImageState::ToReplace: return QStringLiteral("Da sostituire");
    case ImageState::Extracted: return QStringLiteral("Estratta");
    }
    return QString();
}

namespace {

// A side on the screen's edge (0) counts its edge pixel, as the phone counts.
QString Side(QStringView from, QStringView to)
{
    const double a = LenientNumber(from), b = LenientNumber(to);
    return PlainNumber(b - a + (a == 0 ? 1 : 0) - (b == 0 ? 1 : 0));
}

}  // namespace

QString CellText(const ObjectRow& row, int column)
{
    switch (column) {
    case 0: return row.key();
    case ColLink: return FormatDigits(row.container, 2) + QLatin1Char('_') + FormatDigits(row.offset, 6);
    case ColDat: return row.containerText();
    case ColOffset: return row.offsetText();
    case ColBytes: return row.bytes;
    case ColState: return StateWord(row.state);
    case ColPath: return row.image.isEmpty() ? QStringLiteral(" ") : row.image;
    case ColObjectIndex: return QStringLiteral("%1").arg(row.slot, 4, 10, QLatin1Char('0'));
    default: return QString();
    }
}

QString CellText(const ValueRow& row, TableKind kind, int column)
{
    if (column == 0)
        return row.key();
    if (column >= 1 && column <= 4)
        return row.values[column - 1];
    if (kind == TableKind::Rectangles && (column == ColWidth || column == ColHeight)) {
        if (!row.sized)
            return QStringLiteral("-");
        return column == ColWidth ? Side(row.values[0], row.values[2]) : Side(row.values[1], row.values[3]);
    }
    if (column == (kind == TableKind::Rectangles ? int(ColRectangleIndex) : int(ColColourIndex)))
        return row.index();
    return QString();
}

QStringList Cells(const ObjectRow& row)
{
    QStringList cells;
    for (int c = ColLink; c <= ColObjectIndex; ++c)
        cells << CellText(row, c);
    return cells;
}

QStringList Cells(const ValueRow& row, TableKind kind)
{
    QStringList cells;
    for (int c = 1; c < Headers(kind).size(); ++c)
        cells << CellText(row, kind, c);
    return cells;
}

QString Tag(const ObjectRow& row)
{
    return row.offset + QLatin1Char(' ') + row.length + QLatin1Char(' ') + row.container;
}

QString Tag(const ValueRow& row) { return row.fromScheme ? QStringLiteral("Colore di default") : row.line; }

Look LookOf(const ObjectRow& row)
{
    Look look;
    const bool missing = row.state == ImageState::NotFound;
    look.bold = row.state == ImageState::ToReplace;
    look.icon = row.faulty || missing ? IconMissing : look.bold ? IconReplace : IconImage;
    // A row packed by the last save, and one the editor could not extract
    // or find, are red; one to be replaced is blue.
    look.colour = row.faulty || missing || row.packed ? kRed : look.bold ? kBlue : kBlack;
    return look;
}

Look LookOf(const ValueRow& row)
{
    Look look;
    look.bold = row.edited;
    look.colour = row.edited ? kBlue : kBlack;
    look.icon = row.numbered() ? IconNumbered : IconNone;
    return look;
}

Look LookOf(const Tree& tree, int k)
{
    const Node& n = tree.node(k);
    Look look;
    look.colour = n.edited ? kBlue : kBlack;
    look.bold = n.section || n.strong;
    if (k == 1) {
        look.icon = IconRoot;
    } else if (n.section) {
        look.icon = IconSection;
    } else {
        switch (RecordType(n.text).unicode()) {
        case '1': look.icon = IconType1; break;
        case '2': look.icon = IconType2; break;
        case '3': look.icon = IconType3; break;
        case '4': look.icon = IconType4; break;
        case '5': look.icon = IconNumbered; break;
        case '6': look.icon = IconType6; break;
        default: look.icon = IconNone; break;
        }
    }
    return look;
}

void SortObjects(Document& doc, int column)
{
    if (column < 0)
        return;
    if (column == 0)
        SortByKey(doc.objects);
    else
        doc.objects.sortBy([column](const ObjectRow& r) { return CellText(r, column); });
}

}  // namespace velluno
