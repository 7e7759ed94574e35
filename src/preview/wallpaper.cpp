#include "preview/wallpaper.h"

#include "document/files.h"
#include "preview/renderer.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>

// Resources of a static library must be registered by hand; the macro may
// not stand inside a namespace.
static void InitCoreResources() { Q_INIT_RESOURCE(core); }

namespace velluno {

namespace {

void RemoveWallpaper(Editor& editor)
{
    editor.canvas.wallpaper.clear();
    editor.canvas.wallpaperPicture = QImage();
}

bool IsWallpaperName(const QString& name)
{
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

}  // namespace

void FillWallpaperList(Editor& editor, const QString& folder)
{
    FileList& list = editor.FileDesktop;
    list.folder = folder;
    list.files.clear();
    list.selected = -1;
    if (folder.isEmpty())
        return;
    for (const QString& name : FolderFiles(folder))
        if (IsWallpaperName(name))
            list.files.append(name);
    // By name without regard to case; names that differ only in case keep a
    // fixed order, so the first file is always the same one.
    std::sort(list.files.begin(), list.files.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

void SelectWallpaper(Editor& editor, int index)
{
    FileList& list = editor.FileDesktop;
    if (index < 0 || index >= list.files.size())
        index = -1;
    if (index == list.selected)
        return;
    list.selected = index;
    FileDesktop_Click(editor);
}

void FileDesktop_Click(Editor& editor)
{
    const FileList& list = editor.FileDesktop;
    if (list.files.isEmpty() || list.selected < 0 || list.selected >= list.files.size() ||
        !editor.chkWallPaper.checked)
        return;
    const QString path = ResolveFile(JoinPath(list.folder, list.files.at(list.selected)));
    const QImage picture = editor.images.load(path);
    // A listed file that has gone or cannot be decoded shows no wallpaper:
    // keeping the previous picture would show a file the list no longer
    // selects.
    if (picture.isNull()) {
        RemoveWallpaper(editor);
    } else {
        editor.canvas.wallpaper = path;
        editor.canvas.wallpaperPicture = picture;
    }
    UpdateDesktop(editor);
}

void chkWallPaper_Click(Editor& editor)
{
    if (editor.chkWallPaper.checked) {
        editor.FileDesktop.enabled = true;
        // The render selects the first file, as nothing is selected now.
        UpdateDesktop(editor);
        return;
    }
    RemoveWallpaper(editor);
    editor.FileDesktop.selected = -1;
    editor.FileDesktop.enabled = false;
    UpdateDesktop(editor);
}

void SetWallpaperShown(Editor& editor, bool checked)
{
    if (editor.chkWallPaper.checked == checked)
        return;
    editor.chkWallPaper.checked = checked;
    chkWallPaper_Click(editor);
}

void cmdUpdate_Click(Editor& editor) { UpdateDesktop(editor); }

QImage BuiltinWallpaper()
{
    InitCoreResources();
    // Named as BMP, so that Qt does not load every image plugin to guess the
    // format, and kept uncompressed: this picture is part of every start-up,
    // where unfiltering a PNG of it took a twentieth of the time to a shown
    // window.
    QImageReader reader(QStringLiteral(":/velluno/startup.bmp"), "bmp");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace velluno
