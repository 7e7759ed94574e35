// PLACEHOLDER: replaced by the real wallpaper selection.
#include "preview/wallpaper.h"
namespace velluno {
void FillWallpaperList(Editor& editor, const QString& folder) { editor.FileDesktop.folder = folder; editor.FileDesktop.files.clear(); editor.FileDesktop.selected = -1; }
void FileDesktop_Click(Editor&) {}
void chkWallPaper_Click(Editor&) {}
void cmdUpdate_Click(Editor&) {}
void SelectWallpaper(Editor&, int) {}
QImage BuiltinWallpaper() { return QImage(); }
}  // namespace velluno
