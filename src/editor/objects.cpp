#include "editor/objects.h"

#include "editor/messages.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "render/imageguard.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDir>
#include <QSet>

namespace velluno {

namespace {

const QString kBody = QStringLiteral(
    "<body leftMargin=0 topMargin=0 marginheight=0 marginwidth=0 scroll=no>");

// The name the default set carries in the questions.
const QString kDefaultSetName = QStringLiteral("(pavonel by Ostrel)");

// Shows an image file in the pane, measured into PicPreview; false, with
// why, when it cannot be decoded.
bool ShowImage(Editor& editor, const QString& path, ImageFault* fault)
{
    const QImage image = editor.images.loadAnyCase(path, fault);
    if (image.isNull())
        return false;
    editor.PicPreview = image.size();
    editor.lInfo = QStringLiteral("(hxw) = %1x%2").arg(image.height()).arg(image.width());
    AniGIF(editor, path);
    return true;
}

// The default image of an object: the default folder & its number & ".gif".
QString DefaultImageName(QStringView key) { return ObjectImageName(key); }

// The "Esporta tutto" line of the status bar about kept images.
QString KeptText(const QVector<ExtractReport::Kept>& kept)
{
    QStringList names;
    for (const ExtractReport::Kept& k : kept)
        names << QDir::toNativeSeparators(k.backup).section(QDir::separator(), -1);
    if (kept.size() == 1)
        return QStringLiteral("Esporta tutto: 1 immagine modificata a mano è stata conservata come %1.")
            .arg(names.first());
    const int shown = 5;
    QString list = QStringList(names.mid(0, shown)).join(QStringLiteral(", "));
    if (names.size() > shown)
        list += QStringLiteral(", ...");
    return QStringLiteral("Esporta tutto: %1 immagini modificate a mano sono state conservate con un "
                          "numero (%2).")
        .arg(kept.size())
        .arg(list);
}

// A file about to replace an object's image, read whole and checked as a
// save will check it: only a whole GIF is taken.
struct ReplacementImage {
    bool unreadable = false;  // gone, a folder, or refused by the system
    ImageFault fault = ImageFault::None;
    QSize size;
    qint64 length = 0;
};

ReplacementImage ReadReplacement(const QString& path)
{
    ReplacementImage image;
    if (FileLength(path) < 0) {
        image.unreadable = true;
        return image;
    }
    bool read = false;
    QString why;
    const QByteArray bytes = ReadWholeFile(path, &read, kMaxImageFileBytes, &why);
    if (!read) {
        image.unreadable = !why.isEmpty();
        image.fault = ImageFault::TooLarge;
        return image;
    }
    const DecodedImage decoded = DecodeImage(bytes, ImageKinds::Gif);
    image.fault = decoded.fault;
    image.size = decoded.image.size();
    image.length = bytes.size();
    return image;
}

void RefuseReplacement(Editor& editor, const QString& file, const QString& key, ImageFault fault)
{
    editor.message(QStringLiteral("Il file %1 non può sostituire l'oggetto %2: %3.")
                       .arg(QDir::toNativeSeparators(file), key, ImageFaultText(fault)),
                   MsgIcon::Stop);
}

// Importa from the dialog on: the chosen file, lower-cased as the path the
// row will keep, replaces row `r` when it is a GIF the phone can show and,
// with "Verifica dimensioni" ticked, of the size of the image shown.
void ImportImage(Editor& editor, int r, const QString& chosen)
{
    Table& table = editor.doc.L_Values;
    if (r < 1 || r > table.count())
        return;
    const QString path = QDir::fromNativeSeparators(chosen).toLower();
    if (table.row(r).cell(ColPath).toLower() == path) {
        editor.message(QStringLiteral("Il percorso dei due file *.GIF è identico, sostituzione non necessaria!"),
                       MsgIcon::Exclamation);
        return;
    }
    // A file that is gone, a folder or one that cannot be read ends the
    // import as a cancel does.
    const ReplacementImage image = ReadReplacement(path);
    if (image.unreadable)
        return;
    if (image.fault != ImageFault::None) {
        RefuseReplacement(editor, chosen, table.row(r).key(), image.fault);
        return;
    }
    const QSize size = image.size;
    // The reference is the image the last row display measured; when it
    // found none (the pane is empty) there is nothing to compare with.
    if (editor.chkDim.checked && !editor.WBImage.isEmpty() && size != editor.PicPreview) {
        editor.message(QStringLiteral("Le dimensioni dell'immagine che si vuole importare, non corrispondono!"),
                       MsgIcon::Stop);
        return;
    }
    PointAtImage(table.row(r), path, image.length);
    L_Values_Click(editor, r);
    UpdateDesktop(editor);
}

}  // namespace

void AniGIF(Editor& editor, const QString& GifImage)
{
    editor.WB = QStringLiteral("about:<html>") + kBody + QStringLiteral("<img src=\"") + GifImage +
                QStringLiteral("\"></img></body></html>");
    editor.WBImage = GifImage;
}

void NoGIF(Editor& editor)
{
    editor.WB = QStringLiteral("about:<html>") + kBody + QStringLiteral("</body></html>");
    editor.WBImage.clear();
}

ExtractReport cmdExportAll_Click(Editor& editor)
{
    // Before any skin is open there is nothing to extract.
    if (editor.doc.SkinDir.isEmpty())
        return ExtractReport{};
    ExtractReport report = ExtractImages(editor.doc);
    UpdateDesktop(editor);
    if (!report.kept.isEmpty())
        editor.status = KeptText(report.kept);
    return report;
}

void L_Values_Click(Editor& editor, int r)
{
    editor.cmdImport.enabled = true;
    editor.cmdDefault.enabled = true;
    editor.chkDim.enabled = true;
    editor.chkConferma.enabled = true;
    const Table& table = editor.doc.L_Values;
    if (r < 1 || r > table.count())
        return;
    const Row& row = table.row(r);
    const QString path = ImagePathOf(row);
    if (!path.isEmpty() && FileExist(path)) {
        ImageFault fault = ImageFault::None;
        if (!ShowImage(editor, path, &fault)) {
            NoGIF(editor);
            editor.status = QStringLiteral("Errore n° %1, %2").arg(ImageFaultNumber(fault)).arg(ImageFaultText(fault));
            return;
        }
    } else {
        // PicPreview keeps the last image measured.
        editor.lInfo = QStringLiteral("...");
        NoGIF(editor);
    }
    editor.status = QStringLiteral("Tag: ") + row.tag();
}

void L_Values_ColumnClick(Editor& editor, int column)
{
    editor.doc.L_Values.sortOn(column - 1);
}

void cmdImport_Click(Editor& editor)
{
    L_Values_ColumnClick(editor, 1);
    const Table& table = editor.doc.L_Values;
    const int r = table.selected();
    // The button is enabled by a row display; a selection lost since then
    // leaves nothing to replace.
    if (r == 0)
        return;
    const std::optional<QString> chosen =
        editor.dialogs->openFile(QStringLiteral("Importa GIF..."), QStringLiteral("GIF Image (*.gif)|*.gif"),
                                 PlainNumber(LenientNumber(table.row(r).keyView())));
    if (!chosen || chosen->isEmpty())
        return;
    ImportImage(editor, r, *chosen);
}

void L_Values_Drop(Editor& editor, int row, const QString& file)
{
    Table& table = editor.doc.L_Values;
    if (row < 1 || row > table.count())
        return;
    table.select(row);
    L_Values_Click(editor, row);
    L_Values_ColumnClick(editor, 1);
    ImportImage(editor, table.selected(), file);
}

void cmdDefault_Click(Editor& editor)
{
    Table& table = editor.doc.L_Values;
    const int r = table.selected();
    if (r == 0)
        return;
    const QString key = table.row(r).key();
    if (editor.chkConferma.checked &&
        editor.message(QStringLiteral("Oggetto n° ") + key + QLatin1Char('\n') +
                           QStringLiteral("Confermi la sostituzione di questo oggetto con quello di default ") +
                           kDefaultSetName + QStringLiteral(" ?"),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
        return;
    const QString path = JoinPath(editor.defaultDir, DefaultImageName(key));
    const ReplacementImage image = ReadReplacement(path);
    if (image.unreadable) {
        editor.message(QStringLiteral("L'immagine di default dell'oggetto %1 non esiste:\n%2\nL'oggetto non è "
                                      "stato sostituito.")
                           .arg(key, QDir::toNativeSeparators(path)),
                       MsgIcon::Exclamation);
        return;
    }
    if (image.fault != ImageFault::None) {
        RefuseReplacement(editor, path, key, image.fault);
        return;
    }
    PointAtImage(table.row(r), path, image.length);
    L_Values_Click(editor, r);
    UpdateDesktop(editor);
}

void cmdDefaultAll_Click(Editor& editor)
{
    if (editor.message(QStringLiteral("Confermi la sostituzione di tutti gli oggetti con quelli di default ") +
                           kDefaultSetName + QStringLiteral(" ?"),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
        return;
    Table& table = editor.doc.L_Values;
    if (table.count() > 0) {
        // One listing of the default folder and one look at each file found.
        const FolderSnapshot defaults(editor.defaultDir);
        for (int r = 1; r <= table.count(); ++r) {
            Row& row = table.row(r);
            const QString name = DefaultImageName(row.keyView());
            const qint64 length = defaults.fileLength(name);
            if (length < 0)
                continue;
            table.select(r);
            PointAtImage(row, JoinPath(editor.defaultDir, name), length);
        }
        L_Values_Click(editor, 1);
        UpdateDesktop(editor);
    }
    editor.message(QStringLiteral("N.B. Ricordati di caricare anche i colori di default."), MsgIcon::Information);
}

void Pic_Click(Editor& editor, int n)
{
    Table& table = editor.doc.L_Values;
    const int r = table.findKey(QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
    if (r == 0)
        return;
    if (editor.tab != 1)
        SSTab1_Click(editor, 1);
    table.select(r);
    L_Values_Click(editor, r);
}

void T_Strutt_NodeClick(Editor& editor, int node)
{
    if (node < 1 || node > editor.doc.T_Strutt.count())
        return;
    editor.status = editor.doc.T_Strutt.tag(node);
}

QStringList ImageFilesOfRows(const Editor& editor)
{
    QStringList files;
    QSet<QString> seen;
    for (const Row& row : editor.doc.L_Values.rows()) {
        const QString path = ImagePathOf(row);
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            files << path;
        }
    }
    return files;
}

void ImageFilesChanged(Editor& editor)
{
    // An extracted image edited in another program is a replacement by that
    // file from now on, so that the next save packs what the preview shows.
    const EditedImages edited = TakeEditedImages(editor.doc);
    if (const QString text = EditedImagesText(edited); !text.isEmpty())
        editor.status = text;
    // The pane's size line follows the picture it shows; a picture that no
    // longer decodes leaves the last measure.
    if (!editor.WBImage.isEmpty()) {
        ImageFault fault = ImageFault::None;
        ShowImage(editor, editor.WBImage, &fault);
    }
    UpdateDesktop(editor);
}

}  // namespace velluno
