#include "editor/opensave.h"

#include "editor/messages.h"
#include "editor/preview.h"
#include "editor/settings.h"
#include "editor/shell.h"
#include "editor/undo.h"
#include "editor/presentation.h"
#include "render/imageguard.h"
#include "skin/files.h"
#include "skin/lineends.h"
#include "skin/containers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace velluno {

namespace {

// The preview as it is before a skin is drawn: no wallpaper, no outlines,
// texts and hands hidden, "Digitale" selected and shown, every element field
// empty and disabled, the move tools enabled.
void ResetPreview(Editor& editor)
{
    PreviewView& v = editor.preview;
    v.drawn = false;
    Scene& c = v.scene;
    c.wallpaper.clear();
    c.wallpaperPicture = QImage();
    c.outlines.clear();
    c.lblOperatore.visible = false;
    c.lblData.visible = false;
    c.lblOra.visible = false;
    c.LineMin.visible = false;
    c.LineOra.visible = false;
    // "Digitale" is selected and shown even when it already was, so that the
    // time text shows after every opening.
    v.clockStyle[0].checked = true;
    v.clockStyle[1].checked = false;
    ShowClockStyle(editor, 0);
    for (Field& f : v.fields) {
        f.text.clear();
        f.enabled = false;
    }
    for (Check& tick : v.elementTicks)
        tick.enabled = false;
    v.background.enabled = false;
    v.hourHand.enabled = false;
    v.minuteHand.enabled = false;
    v.minuteLength.enabled = false;
    v.hourLength.enabled = false;
    editor.moveStep.enabled = true;
    for (Button* b : {&editor.moveUp, &editor.moveDown, &editor.moveLeft, &editor.moveRight, &editor.redraw})
        b->enabled = true;
}

}  // namespace

OpenReport OpenSkin(Editor& editor)
{
    const std::optional<QString> path = editor.dialogs->openFile(
        QStringLiteral("Seleziona file .SKI..."), QStringLiteral("Skin file (*.ski)|*.ski"), QString(), editor.doc.folder);
    if (!path || path->isEmpty())
        return OpenReport{};
    return OpenSkinFile(editor, *path);
}

namespace {

// The opening after the dialog. `offerRepair`: a reading that dropped text
// asks whether to repair the file's line ends; the opening of the repaired
// file does not ask again.
OpenReport OpenSkinPath(Editor& editor, const QString& chosen, bool offerRepair, ImageFolder folder)
{
    OpenReport report;
    report.chosen = true;
    const QString path = QDir::fromNativeSeparators(chosen);

    editor.saveAllowed = false;
    ++editor.openings;
    editor.exported = false;
    ResetWindow(editor);
    editor.selected = Selection{};
    // The previous skin goes before anything of the new one is read.
    editor.doc.clear();
    ResetPreview(editor);
    editor.status = QStringLiteral("Skin: ") + path;

    const SkinPlace place = PlaceOfSkin(path);
    editor.doc.folder = place.folder;
    editor.doc.name = place.name;
    editor.doc.imageFolder = place.imageFolder;
    // A path that names no file makes no folder beside it: the reading
    // below stops and says why.
    if (FileExist(path) && folder == ImageFolder::Create)
        report.error = CreateImageFolder(place);
    if (!report.error.ok()) {
        editor.status += QStringLiteral(" - ") + OpeningStoppedText(report.error);
        return report;
    }
    FillWallpaperList(editor, place.folder);

    SkinReading reading = ReadSkin(path, place, std::move(editor.doc));
    const SaveRefusal refusal = reading.saveRefusal();
    editor.doc = std::move(reading.doc);
    static_cast<ReadingFacts&>(report) = reading;
    // An opening that stops keeps what it built and goes no further: the
    // tabs stay disabled, the preview is not drawn, SAVE stays off. No
    // message box: the status bar says why.
    if (!report.error.ok()) {
        editor.status += QStringLiteral(" - ") + OpeningStoppedText(report.error);
        return report;
    }
    if (reading.badMagic)
        editor.message(RefusalText(SaveRefusal::BadMagic, Language::Italian), MsgIcon::Stop);

    // A reading that dropped text is never saved as it is: the user may
    // have the line ends repaired and the file read again, whole, or look
    // at it as it is.
    bool warned = false;
    if (offerRepair && !reading.badMagic && reading.droppedText()) {
        const LineEndRepair planned = RepairSkinLineEnds(path, false);
        if (planned.error.ok() && planned.changes.any()) {
            warned = true;
            if (editor.message(LineEndRepairQuestion(reading, planned), MsgIcon::Question, MsgButtons::YesNo) ==
                Answer::Yes) {
                const LineEndRepair done = RepairSkinLineEnds(path);
                if (done.written)
                    return OpenSkinPath(editor, path, false, folder);
                editor.message(LineEndRepairFailureText(done.error), MsgIcon::Stop);
            }
        }
    }

    Document& doc = editor.doc;
    // The object table stands sorted on its keys, as the reading left it.
    if (!doc.objects.isEmpty())
        editor.objectSort = 0;

    // Image files edited outside the editor since they were extracted are
    // replacements by those very files: the next save packs them.
    report.edited = TakeEditedImages(doc);
    if (const QString text = EditedImagesText(report.edited); !text.isEmpty())
        editor.status += QStringLiteral(" - ") + text;

    for (bool& enabled : editor.tabsEnabled)
        enabled = true;
    // The first render fills the fields without writing them back, but a
    // hand length that shows another text than before is written into its
    // record, which turns blue, as typing it would.
    const QString lengths[2] = {editor.preview.minuteLength.text, editor.preview.hourLength.text};
    RenderPreview(editor, RenderKind::Opening);
    if (editor.preview.minuteLength.text != lengths[0])
        WriteHandLength(editor, {FieldKind::MinuteLength, 0});
    if (editor.preview.hourLength.text != lengths[1])
        WriteHandLength(editor, {FieldKind::HourLength, 0});

    if (!IsOperatorSkin(doc.name))
        editor.message(RefusalText(SaveRefusal::NotOperatorSkin, Language::Italian), MsgIcon::Exclamation);
    // A save writes back only the lines read: a reading that left lines out
    // refuses it (CR LF line ends leave out all of them), and so does text
    // after the last line feed, which is no line.
    if (!warned) {
        if (const QString lost = TruncatedReadingText(reading); !lost.isEmpty())
            editor.message(lost, MsgIcon::Exclamation);
        else if (const QString dropped = TextAfterLastLineText(reading); !dropped.isEmpty())
            editor.message(dropped, MsgIcon::Exclamation);
    }
    editor.saveAllowed = refusal == SaveRefusal::None;
    report.completed = true;
    return report;
}

}  // namespace

OpenReport OpenSkinFile(Editor& editor, const QString& chosen, ImageFolder folder)
{
    return OpenSkinPath(editor, chosen, true, folder);
}

bool IsSkinFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".ski"), Qt::CaseInsensitive);
}

OpenReport OpenGivenSkin(Editor& editor, const QString& given)
{
    // The dialog only ever returns a file that is there; a path from
    // outside may name nothing, a folder or a file we may not read, and
    // the resets of the opening would lose the skin that is open.
    const QString path = ResolveFile(QFileInfo(given).absoluteFilePath());
    SkinError refused;
    refused.code = ErrorKind::CannotOpen;
    refused.file = path;
    const QFileInfo info(path);
    int errnum = EISDIR;
    if (info.isDir()) {
        refused.system = QStringLiteral("è una cartella");
    } else {
        QFile file;
        if (OpenForReading(file, path, &errnum)) {
            file.close();
            return OpenSkinFile(editor, path);
        }
        refused.system = SystemErrorText(errnum);
    }
    editor.message(QStringLiteral("Impossibile aprire la skin: %1.").arg(FailureText(refused, Language::Italian)),
                   MsgIcon::Stop);
    // The file could not be read: the action failed, with the system's reason.
    refused.errnum = errnum;
    editor.failure = refused;
    editor.failure.system = SystemErrorText(errnum);
    OpenReport report;
    static_cast<ReadingFacts&>(report).error = editor.failure;
    report.file = path;
    return report;
}

SaveReport SaveDocument(Document& doc, SaveRefusal refusal)
{
    if (refusal != SaveRefusal::None || doc.folder.isEmpty())
        return SaveReport{};
    // Only whole GIFs are packed: a file that is no picture the phone can
    // show stops the save before anything is written.
    return WriteSkin(doc);
}

SaveReport SaveSkin(Editor& editor)
{
    // SAVE is disabled while such a skin is open; a click that gets here
    // anyway (a script) must not write a varavave.ski made from another skin.
    const SaveReport report =
        SaveDocument(editor.doc, editor.saveAllowed ? SaveRefusal::None : SaveRefusal::NotOperatorSkin);
    if (!report.saved) {
        if (report.error.ok())
            return report;
        editor.failure = report.error;
        editor.message(SaveFailureText(report.error), MsgIcon::Stop);
        return report;
    }
    editor.history().followKeptImages(report.keptImages);
    if (const QString images = SavedImagesText(report); !images.isEmpty())
        editor.status = images;
    // The files as they are named on the disk: a folder holding
    // VARAVAVE.SKI was saved into that file.
    const QString container = QFileInfo(report.containerFile).fileName();
    const QString skin = QFileInfo(report.skinFile).fileName();
    editor.message(report.containerWritten
                       ? QStringLiteral("File: %1 creato con successo, file: %2 aggiornato con successo.")
                             .arg(container, skin)
                       : QStringLiteral("File: %1 aggiornato con successo, nessun oggetto grafico sostituito.")
                             .arg(skin),
                   MsgIcon::Information);
    return report;
}

}  // namespace velluno
