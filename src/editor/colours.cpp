#include "editor/colours.h"

#include "editor/elements.h"
#include "editor/messages.h"
#include "editor/preview.h"
#include "skin/colourscheme.h"
#include "skin/files.h"

namespace velluno {

namespace {

// The colour row the user works on: the selected one.
ValueRow* SelectedColour(Editor& editor)
{
    const int r = editor.doc.colours.findId(editor.selected.colour);
    return r ? &editor.doc.colours.row(r) : nullptr;
}

// The colour row of the text a transparency field belongs to.
ValueRow* ColourOfField(Editor& editor, int field)
{
    if (field == kRowAlphaField)
        return SelectedColour(editor);
    const int r = editor.doc.colours.findKey(field == kOperatorAlphaField ? "0595" : "0579");
    return r ? &editor.doc.colours.row(r) : nullptr;
}

}  // namespace

quint32 RowColour(const ValueRow& row)
{
    return MakeColour(LenientInt(row.values[0]), LenientInt(row.values[1]), LenientInt(row.values[2]));
}

void WriteComponents(Editor& editor, ValueRow& row, const ColourParts& parts)
{
    row.values[0] = QString::number(parts.ColorR);
    row.values[1] = QString::number(parts.ColorG);
    row.values[2] = QString::number(parts.ColorB);
    row.edited = true;
    FollowColourRowInTree(editor.doc, row);
}

void TransparencyChanged(Editor& editor, int field)
{
    Field& f = editor.preview.fields[qBound(0, field, kFieldCount - 1)];
    // Only digits can be typed; a pasted sign or fraction is read leniently
    // and rounded. Below 0 counts as 0, as above 255 counts as 255: in both
    // cases the field shows the value stored.
    const qint64 value = LenientInteger(f.text, 0, 255);
    if (LenientNumber(f.text) > 255 || LenientNumber(f.text) < 0)
        f.text = QString::number(value);
    ValueRow* row = ColourOfField(editor, field);
    if (!row)
        return;
    row->values[3] = QString::number(value);
    row->edited = true;
    FollowColourRowInTree(editor.doc, *row);
}

void ShowColour(Editor& editor, int row)
{
    const Table<ValueRow>& table = editor.doc.colours;
    if (row < 1 || row > table.count())
        return;
    const ValueRow& r = table.row(row);
    editor.rowColour.colour = RowColour(r);
    // The program fills the field: no write-back into the row.
    Field& alpha = editor.preview.fields[kRowAlphaField];
    alpha.text = PlainNumber(LenientNumber(r.values[3]));
    alpha.enabled = true;
    editor.status = QStringLiteral("Indice: %1/%2").arg(row).arg(table.count());
}

void PickRowColour(Editor& editor, int)
{
    const std::optional<quint32> chosen = editor.dialogs->chooseColour(editor.rowColour.colour);
    if (!chosen)
        return;
    editor.rowColour.colour = *chosen;
    ColourParts parts;
    RGBToString(*chosen, parts);
    ValueRow* row = SelectedColour(editor);
    if (!row)
        return;
    WriteComponents(editor, *row, parts);
    editor.requestRender();
}

void LoadDefaultColours(Editor& editor, int)
{
    if (editor.message(QStringLiteral("Confermi il caricamento dei colori di default (pavonel by Ostrel) ?"),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
        return;
    const QString path = JoinPath(editor.defaultDir, QStringLiteral("colors.txt"));
    if (!FileExist(path)) {
        editor.message(QStringLiteral("Schema colori di default, non trovato!"), MsgIcon::Stop);
        return;
    }
    const ColourScheme scheme = ReadColourScheme(path);
    if (!scheme.ok()) {
        editor.message(SchemeFailureText(scheme.error), MsgIcon::Stop);
        return;
    }
    LoadScheme(editor.doc.colours, scheme);
    for (const ValueRow& row : editor.doc.colours.rows())
        FollowColourRowInTree(editor.doc, row);
    // The preview shows the new colours at its next redraw.
    editor.message(QStringLiteral("Colori di defualt (pavonel by Ostrel), importati."), MsgIcon::Information);
}

// ---------------------------------------------------------------- tooltip

namespace {

QString ColourLine(const Editor& editor, const QString& what, const char* key)
{
    const Table<ValueRow>& table = editor.doc.colours;
    const int r = table.findKey(key);
    if (r == 0)
        return QStringLiteral("%1: nessuna riga %2 nei colori").arg(what, QLatin1String(key));
    const ValueRow& row = table.row(r);
    return QStringLiteral("%1: riga %2 dei colori (R %3, G %4, B %5)")
        .arg(what, row.key(), row.values[0], row.values[1], row.values[2]);
}

}  // namespace

QString CanvasTip(const Editor& editor, int x, int y)
{
    const int k = ElementAt(editor, x, y);
    QRect box;
    if (k < 0 || !ElementBox(editor, k, &box))
        return QString();
    QStringList lines;
    lines << QString::fromUtf8(kLayoutElements[k].name);
    lines << QStringLiteral("x1,y1,x2,y2: %1, %2, %3, %4").arg(box.left()).arg(box.top()).arg(box.right()).arg(box.bottom());
    switch (k) {
    case kElementOperator:
        lines << ColourLine(editor, QStringLiteral("Colore"), "0595");
        break;
    case kElementDate:
        lines << ColourLine(editor, QStringLiteral("Colore"), "0579");
        break;
    case kElementDigitalClock:
        lines << QStringLiteral("Colore: nero, sempre");
        break;
    case kElementAnalogueClock:
        lines << ColourLine(editor, QStringLiteral("Lancetta dei minuti"), "0009");
        lines << ColourLine(editor, QStringLiteral("Lancetta delle ore"), "0012");
        break;
    default:
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace velluno
