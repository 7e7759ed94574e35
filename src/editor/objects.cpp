#include "editor/objects.h"

#include "editor/messages.h"
#include "editor/presentation.h"
#include "editor/preview.h"
#include "editor/shell.h"
#include "render/imageguard.h"
#include "skin/files.h"
#include "skin/reader.h"

#include <QDir>
#include <QSet>

namespace velluno {

namespace {

const QString kBody = QStringLiteral("<body leftMargin=0 topMargin=0 marginheight=0 marginwidth=0 scroll=no>");

// The name the default set carries in the questions.
const QString kDefaultSetName = QStringLiteral("(pavonel by Ostrel)");

// The selected object row, 0 for none.
int SelectedObject(const Editor& editor) { return editor.doc.objects.findId(editor.selected.object); }

// Row `r` of the object table scrolled into view at the end of the action.
void RevealObject(Editor& editor, int r)
{
    if (r < 1 || r > editor.doc.objects.count())
        return;
    editor.view.objectRow = editor.doc.objects.row(r).id;
}

// The keyboard goes back to the object table once the replacement (and its
// message) is over, so that the arrow keys go on through the rows.
void FocusObjects(Editor& editor) { editor.view.focus = QStringLiteral("L_Values"); }

// Shows an image file in the pane, measured; false, with why, when it
// cannot be decoded.
bool ShowImage(Editor& editor, const QString& path, ImageFault* fault)
{
    const QImage image = editor.images.loadAnyCase(path, fault);
    if (image.isNull())
        return false;
    editor.measuredImage = image.size();
    editor.imageSize = QStringLiteral("(hxw) = %1x%2").arg(image.height()).arg(image.width());
    ShowImagePage(editor, path);
    return true;
}

// A file about to replace an object's image, read whole and checked as a
// save will check it: only a whole GIF is taken.
struct ReplacementImage {
    bool unreadable = false;  // gone, a folder, or refused by the system
    ImageFault fault = ImageFault::None;
    QSize size;
    qint64 length = 0;
    // The file as found on the disk, its stamp from before it was read and
    // the picture: the image cache keeps it, so the pane and the preview
    // do not decode the file a second time.
    QString file;
    ImageCache::Stamp stamp;
    QImage picture;
};

ReplacementImage ReadReplacement(const QString& path)
{
    ReplacementImage image;
    // The file is looked for once: its stamp also says whether it is one.
    image.file = ResolveFile(path);
    image.stamp = ImageCache::stampOf(image.file);
    if (image.stamp.size < 0) {
        image.unreadable = true;
        return image;
    }
    bool read = false;
    QString why;
    const QByteArray bytes = ReadWholeFile(image.file, &read, kMaxImageFileBytes, &why);
    if (!read) {
        image.unreadable = !why.isEmpty();
        image.fault = ImageFault::TooLarge;
        return image;
    }
    const DecodedImage decoded = DecodeImage(bytes, ImageKinds::Gif);
    image.fault = decoded.fault;
    image.size = decoded.image.size();
    image.length = bytes.size();
    image.picture = decoded.image;
    return image;
}

void RefuseReplacement(Editor& editor, const QString& file, const QString& key, ImageFault fault)
{
    editor.message(QStringLiteral("Il file %1 non può sostituire l'oggetto %2: %3.")
                       .arg(QDir::toNativeSeparators(file), key, ImageFaultText(fault, Language::Italian)),
                   MsgIcon::Stop);
}

// Importa from the dialog on: the chosen file, lower-cased as the path the
// row will keep, replaces row `r` when it is a GIF the phone can show and,
// with "Verifica dimensioni" ticked, of the size of the image shown.
void ImportFile(Editor& editor, int r, const QString& chosen)
{
    Table<ObjectRow>& table = editor.doc.objects;
    if (r < 1 || r > table.count())
        return;
    const QString path = QDir::fromNativeSeparators(chosen).toLower();
    if (CellText(table.row(r), ColPath).toLower() == path) {
        editor.message(QStringLiteral("Il percorso dei due file *.GIF è identico, sostituzione non necessaria!"),
                       MsgIcon::Exclamation);
        FocusObjects(editor);
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
    // The reference is the image the last row display measured; when it
    // found none (the pane is empty) there is nothing to compare with.
    if (editor.checkSize.checked && !editor.objectPageImage.isEmpty() && image.size != editor.measuredImage) {
        editor.message(QStringLiteral("Le dimensioni dell'immagine che si vuole importare, non corrispondono!"),
                       MsgIcon::Stop);
        return;
    }
    PointAtImage(table.row(r), path, image.length);
    editor.images.keep(image.file, image.picture, image.stamp);
    ShowObject(editor, r);
    editor.requestRender();
    FocusObjects(editor);
}

}  // namespace

void ShowImagePage(Editor& editor, const QString& image)
{
    editor.objectPage = QStringLiteral("about:<html>") + kBody + QStringLiteral("<img src=\"") + image +
                        QStringLiteral("\"></img></body></html>");
    editor.objectPageImage = image;
}

void ShowEmptyPage(Editor& editor)
{
    editor.objectPage = QStringLiteral("about:<html>") + kBody + QStringLiteral("</body></html>");
    editor.objectPageImage.clear();
}

ExtractReport ExportAll(Editor& editor)
{
    // Before any skin is open there is nothing to extract.
    if (editor.doc.folder.isEmpty())
        return ExtractReport{};
    ExtractReport report = ExtractImages(editor.doc);
    editor.exported = true;
    // Each row was selected as it went, the only progress an export shows.
    if (!editor.doc.objects.isEmpty())
        editor.selected.object = editor.doc.objects.row(editor.doc.objects.count()).id;
    editor.requestRender();
    if (!report.kept.isEmpty())
        editor.status = KeptImagesText(report.kept);
    // Rows left without an image are red in the table; the message says why.
    if (const QString faults = ExtractFaultsText(report); !faults.isEmpty())
        editor.message(faults, MsgIcon::Exclamation);
    return report;
}

void ShowObject(Editor& editor, int r)
{
    editor.importImage.enabled = true;
    editor.useDefault.enabled = true;
    editor.checkSize.enabled = true;
    editor.askFirst.enabled = true;
    const Table<ObjectRow>& table = editor.doc.objects;
    if (r < 1 || r > table.count())
        return;
    const ObjectRow& row = table.row(r);
    const QString path = ImageOf(row);
    if (!path.isEmpty() && FileExist(path)) {
        ImageFault fault = ImageFault::None;
        if (!ShowImage(editor, path, &fault)) {
            ShowEmptyPage(editor);
            editor.status = QStringLiteral("Errore n° %1, %2").arg(ImageFaultNumber(fault)).arg(ImageFaultText(fault, Language::Italian));
            return;
        }
    } else {
        // The measured image stays the last one measured.
        editor.imageSize = QStringLiteral("...");
        ShowEmptyPage(editor);
    }
    editor.status = QStringLiteral("Tag: ") + Tag(row);
}

void SortObjectsOn(Editor& editor, int column)
{
    editor.objectSort = column - 1;
    SortObjects(editor.doc, editor.objectSort);
}

void ImportChosenImage(Editor& editor, int)
{
    SortObjectsOn(editor, 1);
    const int r = SelectedObject(editor);
    // The button is enabled by a row display; a selection lost since then
    // leaves nothing to replace.
    if (r == 0)
        return;
    RevealObject(editor, r);
    const std::optional<QString> chosen =
        editor.dialogs->openFile(QStringLiteral("Importa GIF..."), QStringLiteral("GIF Image (*.gif)|*.gif"),
                                 PlainNumber(LenientNumber(editor.doc.objects.row(r).number)), editor.doc.folder);
    if (!chosen || chosen->isEmpty())
        return;
    ImportFile(editor, r, *chosen);
}

void DropImage(Editor& editor, int row, const QString& file)
{
    Table<ObjectRow>& table = editor.doc.objects;
    if (row < 1 || row > table.count())
        return;
    editor.selected.object = table.row(row).id;
    ShowObject(editor, row);
    SortObjectsOn(editor, 1);
    ImportFile(editor, SelectedObject(editor), file);
}

void UseDefaultImage(Editor& editor, int)
{
    Table<ObjectRow>& table = editor.doc.objects;
    const int r = SelectedObject(editor);
    if (r == 0)
        return;
    RevealObject(editor, r);
    const QString key = table.row(r).key();
    if (editor.askFirst.checked &&
        editor.message(QStringLiteral("Oggetto n° ") + key + QLatin1Char('\n') +
                           QStringLiteral("Confermi la sostituzione di questo oggetto con quello di default ") +
                           kDefaultSetName + QStringLiteral(" ?"),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
        return;
    const QString path = JoinPath(editor.defaultDir, ObjectImageName(table.row(r).number));
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
    ShowObject(editor, r);
    editor.requestRender();
    FocusObjects(editor);
}

void UseDefaultSet(Editor& editor, int)
{
    if (editor.message(QStringLiteral("Confermi la sostituzione di tutti gli oggetti con quelli di default ") +
                           kDefaultSetName + QStringLiteral(" ?"),
                       MsgIcon::Question, MsgButtons::YesNo) != Answer::Yes)
        return;
    Table<ObjectRow>& table = editor.doc.objects;
    if (table.count() > 0) {
        // One listing of the default folder and one look at each file found.
        const FolderSnapshot defaults(editor.defaultDir);
        for (int r = 1; r <= table.count(); ++r) {
            ObjectRow& row = table.row(r);
            const QString name = ObjectImageName(row.number);
            const qint64 length = defaults.fileLength(name);
            if (length < 0)
                continue;
            editor.selected.object = row.id;
            PointAtImage(row, JoinPath(editor.defaultDir, name), length);
        }
        // Row 1 is shown and scrolled to; the selection stays where the
        // loop left it.
        ShowObject(editor, 1);
        RevealObject(editor, 1);
        editor.requestRender();
    }
    editor.message(QStringLiteral("N.B. Ricordati di caricare anche i colori di default."), MsgIcon::Information);
    FocusObjects(editor);
}

void JumpToObject(Editor& editor, int n)
{
    const int r = editor.doc.objects.findKey(QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')));
    if (r == 0)
        return;
    if (editor.tab != 1)
        ShowTab(editor, 1);
    editor.selected.object = editor.doc.objects.row(r).id;
    RevealObject(editor, r);
    ShowObject(editor, r);
}

void ShowNodeTag(Editor& editor, int node)
{
    if (node < 1 || node > editor.doc.structure.count())
        return;
    editor.status = editor.doc.structure.tag(node);
}

QStringList ImageFilesOfRows(const Editor& editor)
{
    QStringList files;
    QSet<QString> seen;
    for (const ObjectRow& row : editor.doc.objects.rows()) {
        const QString path = ImageOf(row);
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            files << path;
        }
    }
    return files;
}

QString ImagesNote(const Editor& editor)
{
    // An opening that stopped enables no tab: there is nothing to point at.
    if (editor.doc.folder.isEmpty() || !editor.tabsEnabled[1])
        return QString();
    int missing = 0;
    for (const ObjectRow& row : editor.doc.objects.rows())
        missing += row.state == ImageState::NotFound;
    if (missing == 0)
        return QString();
    if (editor.exported)
        return missing == 1 ? QStringLiteral("1 oggetto senza immagine")
                            : QStringLiteral("%1 oggetti senza immagine").arg(missing);
    return QStringLiteral("Immagini non estratte (%1 di %2): «Esporta tutto» in «Oggetti grafici»")
        .arg(missing)
        .arg(editor.doc.objects.count());
}

void TakeImageChanges(Editor& editor)
{
    // An extracted image edited in another program is a replacement by that
    // file from now on, so that the next save packs what the preview shows.
    const EditedImages edited = TakeEditedImages(editor.doc);
    if (const QString text = EditedImagesText(edited); !text.isEmpty())
        editor.status = text;
    // The pane's size line follows the picture it shows; a picture that no
    // longer decodes leaves the last measure.
    if (!editor.objectPageImage.isEmpty()) {
        ImageFault fault = ImageFault::None;
        ShowImage(editor, editor.objectPageImage, &fault);
    }
    editor.requestRender();
}

}  // namespace velluno
