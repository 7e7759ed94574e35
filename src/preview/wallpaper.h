#pragma once
// The wallpaper behind the preview: a picture from the skin's folder.
#include "shell/editor.h"

namespace velluno {

// Points the wallpaper list at a folder and fills it with the folder's
// "*.JPG;*.GIF" files (any case), sorted by name without regard to case,
// nothing selected. Only opening a skin fills it.
void FillWallpaperList(Editor& editor, const QString& folder);

void FileDesktop_Click(Editor& editor);
void chkWallPaper_Click(Editor& editor);
void cmdUpdate_Click(Editor& editor);

// Ticks or unticks "Mostra / Nascondi" the way a click does: nothing when it
// already is so, else the new state and chkWallPaper_Click.
void SetWallpaperShown(Editor& editor, bool checked);

// Selecting a file of the list, as the user or the renderer does: runs
// FileDesktop_Click when the selection changes.
void SelectWallpaper(Editor& editor, int index);

// The built-in start-up picture (176 x 220), compiled into the program.
QImage BuiltinWallpaper();

}  // namespace velluno
