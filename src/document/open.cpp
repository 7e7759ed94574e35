#include "document/open.h"

#include "document/files.h"
#include "layout/clocksettings.h"
#include "preview/renderer.h"
#include "preview/wallpaper.h"
#include "shell/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>

namespace velluno {

namespace {

// The bytes of the skin up to its first carriage return. Reading stops early
// once more lines than the buffer holds have been seen: the opening fails
// there anyway, and a file of millions of line feeds must not be read whole.
bool ReadSkinText(const QString& path, QByteArray* text, QString* error)
{
    QFile file(ResolveFile(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("il file non può essere letto");
        return false;
    }
    text->clear();
    int lineFeeds = 0;
    constexpr qint64 kChunk = 1 << 20;
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        if (file.error() != QFileDevice::NoError) {
            *error = QStringLiteral("errore di lettura del file");
            return false;
        }
        if (chunk.isEmpty())
            return true;
        const int cr = chunk.indexOf('\r');
        const QByteArray part = cr < 0 ? chunk : chunk.left(cr);
        lineFeeds += part.count('\n');
        if (text->size() + part.size() > kMaxSkinBytes) {
            *error = QStringLiteral("il file è troppo grande");
            return false;
        }
        text->append(part);
        if (cr >= 0 || lineFeeds > kSlotCount)
            return true;
    }
}

void ResetPreview(Editor& editor)
{
    Scene& c = editor.canvas;
    c.wallpaper.clear();
    c.wallpaperPicture = QImage();
    c.outlines.clear();
    c.lblOperatore.visible = false;
    c.lblData.visible = false;
    c.lblOra.visible = false;
    c.LineMin.visible = false;
    c.LineOra.visible = false;
    // "Digitale" is selected and its procedure runs even when it already was,
    // so that the time text shows after every opening.
    editor.optTime[0].checked = true;
    editor.optTime[1].checked = false;
    optTime_Click(editor, 0);
    for (int i = 0; i < kFieldCount; ++i) {
        editor.setText(Txt(i), QString());
        editor.txt[i].enabled = false;
    }
    for (Check& c2 : editor.optPos)
        c2.enabled = false;
    editor.PicBGColor1.enabled = false;
    editor.PicOre.enabled = false;
    editor.PicMin.enabled = false;
    editor.txtMin.enabled = false;
    editor.txtOra.enabled = false;
    editor.txtOffSet.enabled = true;
    for (Button* b : {&editor.cmdMoveUp, &editor.cmdMoveDown, &editor.cmdMoveLeft,
                      &editor.cmdMoveRight, &editor.cmdUpdate})
        b->enabled = true;
}

// A slot number as the "Indice" cells show it: four digits at least. Built
// in one piece, as it runs for every record.
QString SlotText(int slot)
{
    char digits[16];
    int n = 0;
    do {
        digits[n++] = char('0' + slot % 10);
        slot /= 10;
    } while (slot > 0);
    const int width = qMax(n, 4);
    QString text(width, QLatin1Char('0'));
    for (int i = 0; i < n; ++i)
        text[width - 1 - i] = QLatin1Char(digits[i]);
    return text;
}

// The tag of a record's node: its section line, "_" and its place there.
QString NodeTag(const QString& prefix, int position)
{
    char digits[16];
    int n = 0;
    do {
        digits[n++] = char('0' + position % 10);
        position /= 10;
    } while (position > 0);
    QString tag;
    tag.reserve(prefix.size() + 1 + n);
    tag += prefix;
    tag += QLatin1Char('_');
    while (n > 0)
        tag += QLatin1Char(digits[--n]);
    return tag;
}

// Image of a tree node by the first character of its line.
int ImageOfLine(const QString& line)
{
    switch (RecordType(line).unicode()) {
    case '1': return IconType1;
    case '2': return IconType2;
    case '3': return IconType3;
    case '4': return IconType4;
    case '5': return IconNumbered;
    case '6': return IconType6;
    default: return IconNone;
    }
}

// A row of the colour or rectangle table from a record of type "1" or "4".
void AddValueRow(Table& table, const ValueRecord& r, const QString& line, int slot, bool dimensions)
{
    Row& row = table.row(table.addRow(FormatDigits(r.number, 4)));
    row.tag = line.trimmed();
    for (int k = 0; k < 4; ++k)
        row.setCell(k + 1, r.values[k]);
    if (dimensions) {
        // Width and height as the phone counts them: a side on the screen
        // edge (0) counts its edge pixel.
        const double x1 = LenientNumber(r.values[0]), y1 = LenientNumber(r.values[1]);
        const double x2 = LenientNumber(r.values[2]), y2 = LenientNumber(r.values[3]);
        const double w = x2 - x1 + (x1 == 0 ? 1 : 0) - (x2 == 0 ? 1 : 0);
        const double h = y2 - y1 + (y1 == 0 ? 1 : 0) - (y2 == 0 ? 1 : 0);
        row.setCell(ColWidth, PlainNumber(w));
        row.setCell(ColHeight, PlainNumber(h));
        row.setCell(ColDimIndex, SlotText(slot));
    } else {
        row.setCell(ColRgbaIndex, SlotText(slot));
    }
    row.colour = kBlack;
    row.icon = r.number == QLatin1String("-") ? IconNone : IconNumbered;
}

void AddObjectRow(Editor& editor, const ObjectRecord& r, int slot, bool operatorSkin,
                  const FolderSnapshot& images)
{
    Table& table = editor.doc.L_Values;
    Row& row = table.row(table.addRow(FormatDigits(r.number, 4)));
    row.tag = r.offset % QLatin1Char(' ') % r.length % QLatin1Char(' ') % r.container;
    const QString dat = FormatDigits(r.container, 2);
    row.setCell(ColLink, dat % QLatin1Char('_') % FormatDigits(r.offset, 6));
    row.setCell(ColDat, dat);
    row.setCell(ColOffset, r.offset);
    row.setCell(ColBytes, r.length);
    row.setCell(ColState, QStringLiteral(" "));
    row.setCell(ColPath, QStringLiteral(" "));
    row.setCell(ColValuesIndex, SlotText(slot));
    row.colour = kBlack;

    const QString name = ObjectImageName(r.number);
    if (images.hasFile(name)) {
        const QString image = editor.GifDir + name;
        row.setCell(ColState, kStateFound);
        row.setCell(ColPath, image);
        row.icon = IconImage;
    } else {
        row.setCell(ColState, kStateNotFound);
        row.setCell(ColPath, QStringLiteral(" "));
        row.colour = kRed;
        row.icon = IconMissing;
    }
    // The editor rewrites container 14 at every save, so what already lives
    // there must be packed again from its image file.
    if (operatorSkin && LenientNumber(r.container) == 14) {
        editor.SaveEnabled = true;
        MarkToReplace(row);
    }
}

}  // namespace

QString ObjectImageName(const QString& key)
{
    return (PlainNumber(LenientNumber(key)) % QStringLiteral(".gif")).toLower();
}

QString ObjectImagePath(const Editor& editor, const QString& key)
{
    return editor.GifDir + ObjectImageName(key);
}

OpenReport OpenSkin(Editor& editor)
{
    const std::optional<QString> path = editor.dialogs->openFile(
        QStringLiteral("Seleziona file .SKI..."), QStringLiteral("Skin file (*.ski)|*.ski"), QString());
    if (!path || path->isEmpty())
        return OpenReport{};
    return OpenSkinFile(editor, *path);
}

OpenReport OpenSkinFile(Editor& editor, const QString& chosen)
{
    OpenReport report;
    report.chosen = true;
    const QString path = QDir::fromNativeSeparators(chosen);
    auto stop = [&](const QString& why, int slot) {
        report.error = why;
        report.errorSlot = slot;
        return report;
    };

    editor.SaveEnabled = false;
    editor.saveButtonEnabled = false;
    InitSystem(editor);
    editor.refs = ElementRefs{};
    Document& doc = editor.doc;
    doc.L_Values.clear();
    doc.L_RGBA.clear();
    doc.L_Dim.clear();
    doc.T_Strutt.clear();
    doc.LineCount = 0;
    ResetPreview(editor);
    editor.status = QStringLiteral("Skin: ") + path;

    // A bare file name lies in the current folder.
    editor.SkinDir = SplitPath(path, 2);
    if (editor.SkinDir.isEmpty())
        editor.SkinDir = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QStringLiteral(".");
    editor.SkinName = SplitPath(path, 3);
    const QString gifDir = JoinPath(editor.SkinDir, editor.SkinName + QStringLiteral("_Gifs"));
    const QString existing = ResolveDir(gifDir);
    editor.GifDir = (QFileInfo(existing).isDir() ? existing : gifDir) + QLatin1Char('/');
    if (!QFileInfo(existing).isDir() && !QDir().mkpath(gifDir))
        return stop(QStringLiteral("la cartella delle immagini %1 non può essere creata").arg(gifDir), -1);
    FillWallpaperList(editor, editor.SkinDir);

    QByteArray bytes;
    QString readError;
    if (!ReadSkinText(path, &bytes, &readError))
        return stop(readError, -1);
    // Latin-1 maps every byte to one character and back, so an untouched
    // line is written back byte for byte.
    const QString text = QString::fromLatin1(bytes);
    bytes.clear();
    doc.SkinLines = QVector<QString>(kSlotCount);

    const bool magic = text.left(4).toUpper() == QLatin1String("SKI1");
    if (!magic) {
        report.badMagic = true;
        editor.message(QStringLiteral("Formato del file skin non valido!"), MsgIcon::Stop);
    } else {
        doc.T_Strutt.add(QStringLiteral("SKI1"), 0, IconRoot, false, QString());
        int start = 0;
        int slot = 0;
        while (true) {
            const int lf = text.indexOf(QLatin1Char('\n'), start);
            if (lf < 0)
                break;
            if (slot >= kSlotCount)
                return stop(QStringLiteral("il file ha più di %1 righe").arg(kSlotCount), slot);
            doc.SkinLines[slot++] = text.mid(start, lf - start);
            start = lf + 1;
        }
        doc.LineCount = slot;

        const bool operatorSkin = editor.SkinName.toUpper() == QLatin1String("VARAVAVE");
        // The image folder is listed once for all objects, not once per object.
        const FolderSnapshot images(editor.GifDir);
        int section = 1;   // the node new records hang from
        QString prefix;    // the trimmed section line, for the tags
        int position = 0;  // the record's place in its section
        for (int i = 1; i < doc.LineCount; ++i) {
            const QString& line = doc.SkinLines.at(i);
            const QChar type = RecordType(line);
            if (type == QLatin1Char('0')) {
                section = doc.T_Strutt.add(line, 1, IconSection, true, QString());
                prefix = line.trimmed();
                position = 0;
                continue;
            }
            ++position;
            doc.T_Strutt.add(line, section, ImageOfLine(line),
                             false, NodeTag(prefix, position));
            if (type == QLatin1Char('1') || type == QLatin1Char('4')) {
                const std::optional<ValueRecord> r = ReadValueRecord(line);
                if (!r)
                    return stop(QStringLiteral("record con meno di cinque campi alla riga %1").arg(i), i);
                AddValueRow(type == QLatin1Char('1') ? doc.L_Dim : doc.L_RGBA, *r, line, i,
                            type == QLatin1Char('1'));
            } else if (type == QLatin1Char('5')) {
                const std::optional<ObjectRecord> r = ReadObjectRecord(line);
                if (!r)
                    return stop(QStringLiteral("record con meno di cinque campi alla riga %1").arg(i), i);
                AddObjectRow(editor, *r, i, operatorSkin, images);
            }
        }
    }

    if (!doc.L_Values.isEmpty())
        doc.L_Values.sortOn(0);
    doc.L_Values.deselect();
    doc.L_RGBA.deselect();
    doc.L_Dim.deselect();

    editor.Filling = true;
    for (bool& enabled : editor.tabsEnabled)
        enabled = true;
    UpdateDesktop(editor);
    editor.Filling = false;

    if (editor.SkinName.toLower() != QLatin1String("varavave")) {
        editor.message(QStringLiteral("Velluno permette di modificare solo la skin originale del v980!"),
                       MsgIcon::Exclamation);
    } else if (magic) {
        editor.SaveEnabled = true;
    }
    if (magic && doc.LineCount == 0) {
        // Lines ended by CR LF: the text stops at the first carriage return
        // and holds no line; saving would leave an empty skin.
        report.noLines = true;
        editor.SaveEnabled = false;
        editor.message(QStringLiteral("Il file skin non contiene righe terminate da un solo LF "
                                      "(forse è stato salvato con fine riga CR LF): "
                                      "la skin non può essere salvata!"),
                       MsgIcon::Exclamation);
    }
    editor.saveButtonEnabled = editor.SaveEnabled;
    report.completed = true;
    return report;
}

}  // namespace velluno
