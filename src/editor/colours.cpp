#include "editor/colours.h"

#include "editor/elements.h"
#include "editor/messages.h"
#include "editor/preview.h"
#include "skin/colourscheme.h"
#include "skin/files.h"

namespace velluno {

namespace {

const QString kDefaultTag = QStringLiteral("Colore di default");

// The colour row a reference names, or null when it is unbound or gone.
Row* ReferencedRow(Editor& editor, quint64 id)
{
    const int r = editor.doc.L_RGBA.findId(id);
    return r ? &editor.doc.L_RGBA.row(r) : nullptr;
}

// The four text and hand colours the preview draws, by key.
struct ColourRole {
    const char* key;
    quint64 ElementRefs::*ref;
};
constexpr ColourRole kColourRoles[4] = {
    {"0595", &ElementRefs::OperatorColourRow},
    {"0579", &ElementRefs::DateColourRow},
    {"0009", &ElementRefs::MinuteColourRow},
    {"0012", &ElementRefs::HourColourRow},
};

}  // namespace

quint32 RowColour(const Row& row)
{
    return MakeColour(LenientInt(row.cellView(ColR)), LenientInt(row.cellView(ColG)),
                      LenientInt(row.cellView(ColB)));
}

void WriteComponents(Row& row, const ColourParts& parts)
{
    row.setCell(ColR, QString::number(parts.ColorR));
    row.setCell(ColG, QString::number(parts.ColorG));
    row.setCell(ColB, QString::number(parts.ColorB));
    MarkEdited(row);
}

void TransparencyChanged(Editor& editor, int Index)
{
    const Field& field = editor.txt[qBound(0, Index, kFieldCount - 1)];
    // Only digits can be typed; a pasted sign or fraction is read leniently
    // and rounded. Below 0 counts as 0, as above 255 counts as 255: in both
    // cases the field shows the value stored (which changes the field once
    // more and stores the same value).
    const qint64 value = LenientInteger(field.text, 0, 255);
    if (LenientNumber(field.text) > 255 || LenientNumber(field.text) < 0)
        editor.setText(Txt(Index), QString::number(value));

    Row* row = nullptr;
    if (Index == TxtOperatorAlpha) {
        row = ReferencedRow(editor, editor.refs.OperatorColourRow);
    } else if (Index == TxtDateAlpha) {
        row = ReferencedRow(editor, editor.refs.DateColourRow);
    } else if (Index == TxtColourAlpha) {
        const int selected = editor.doc.L_RGBA.selected();
        row = selected ? &editor.doc.L_RGBA.row(selected) : nullptr;
    }
    if (!row)
        return;
    row->setCell(ColAlpha, QString::number(value));
    MarkEdited(*row);
    FollowColourRowInTree(editor.doc, *row);
}

void L_RGBA_Click(Editor& editor, int row)
{
    Table& table = editor.doc.L_RGBA;
    if (row < 1 || row > table.count())
        return;
    const Row& r = table.row(row);
    editor.PicColor.colour = RowColour(r);
    // The program fills the field: no write-back into the row.
    const QString alpha = PlainNumber(LenientNumber(r.cellView(ColAlpha)));
    const bool filling = editor.Filling;
    editor.Filling = true;
    editor.setText(Txt(TxtColourAlpha), alpha);
    editor.txt[TxtColourAlpha].enabled = true;
    editor.Filling = filling;
    editor.status = QStringLiteral("Indice: %1/%2").arg(row).arg(table.count());
}

void PicColor_Click(Editor& editor)
{
    const std::optional<quint32> chosen = editor.dialogs->chooseColour(editor.PicColor.colour);
    if (!chosen)
        return;
    editor.PicColor.colour = *chosen;
    RGBToString(*chosen, editor.colour);
    Table& table = editor.doc.L_RGBA;
    if (table.selected() == 0)
        return;
    WriteComponents(table.row(table.selected()), editor.colour);
    FollowColourRowInTree(editor.doc, table.row(table.selected()));
    UpdateDesktop(editor);
}

void cmdLoadColors_Click(Editor& editor)
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

    Table& table = editor.doc.L_RGBA;
    table.clear();
    {
        RowBatch batch(table, qsizetype(scheme.count()) * (kDefaultTag.size() + 24), scheme.count());
        for (int n = 0; n < scheme.count(); ++n) {
            RowWriter w(batch);
            const QStringView key = scheme.field(n, SchemeKey);
            w << key;
            w.end();
            w << kDefaultTag;
            w.end();
            for (int f = SchemeR; f <= SchemeIndex; ++f) {
                w << scheme.field(n, SchemeField(f));
                w.end();
            }
            w.row().colour = kBlue;
            w.row().bold = true;
            w.row().icon = key == QLatin1String("-") ? IconNone : IconNumbered;
        }
    }
    // The rows the preview drew are gone. The references follow the rows
    // of the same keys, so that a colour picked or a transparency typed
    // before the next redraw lands in the row the user sees under that key.
    for (const ColourRole& role : kColourRoles) {
        const int r = table.findKey(QLatin1String(role.key));
        editor.refs.*role.ref = r ? table.row(r).id : 0;
    }
    for (const Row& row : table.rows())
        FollowColourRowInTree(editor.doc, row);
    editor.message(QStringLiteral("Colori di defualt (pavonel by Ostrel), importati."), MsgIcon::Information);
}

// ---------------------------------------------------------------- tooltip

namespace {

// The elements by the settings they belong to on the preview tab.
const char* const kElementNames[kElementCount] = {
    "Testo (Operatore)",          "Testo (Data corrente)",
    "Tasto smart Superiore",      "Tasto smart Sup. (Premuto)",
    "Tasto smart Inferiore",      "Tasto smart Inf. (Premuto)",
    "Tasto smart Sinistro",       "Tasto smart Sin. (Premuto)",
    "Tasto smart Destro",         "Tasto smart Des (Premuto)",
    "Orologio digitale",          "Orologio analogico",
};

QString ColourLine(const Editor& editor, const QString& what, const ColourRole& role)
{
    const Table& table = editor.doc.L_RGBA;
    const int r = table.findId(editor.refs.*role.ref);
    if (r == 0)
        return QStringLiteral("%1: nessuna riga %2 nei colori").arg(what, QLatin1String(role.key));
    const Row& row = table.row(r);
    return QStringLiteral("%1: riga %2 dei colori (R %3, G %4, B %5)")
        .arg(what, row.key(), row.cell(ColR), row.cell(ColG), row.cell(ColB));
}

}  // namespace

QString CanvasTip(const Editor& editor, int x, int y)
{
    const int k = ElementAt(editor, x, y);
    QRect box;
    if (k < 0 || !ElementBox(editor, k, &box))
        return QString();
    QStringList lines;
    lines << QString::fromUtf8(kElementNames[k]);
    lines << QStringLiteral("x1,y1,x2,y2: %1, %2, %3, %4").arg(box.left()).arg(box.top()).arg(box.right()).arg(box.bottom());
    switch (k) {
    case kElementOperator:
        lines << ColourLine(editor, QStringLiteral("Colore"), kColourRoles[0]);
        break;
    case kElementDate:
        lines << ColourLine(editor, QStringLiteral("Colore"), kColourRoles[1]);
        break;
    case kElementDigitalClock:
        lines << QStringLiteral("Colore: nero, sempre");
        break;
    case kElementAnalogueClock:
        lines << ColourLine(editor, QStringLiteral("Lancetta dei minuti"), kColourRoles[2]);
        lines << ColourLine(editor, QStringLiteral("Lancetta delle ore"), kColourRoles[3]);
        break;
    default:
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace velluno
