#pragma once
// The phone preview: the render that brings the canvas, the button-graphics
// panel, the element fields, swatches and switches and the element
// references up to date from the document (it changes no table cell and no
// tree node), the clock hands, and the wallpaper controls.
#include "editor/editor.h"

namespace velluno {

void UpdateDesktop(Editor& editor);

// A pixel coordinate from a cell: its numeric reading rounded, bounded so
// that "1e300" cannot overflow the arithmetic of placing and drawing;
// nothing that far off shows anyway.
int CellCoordinate(QStringView cell);

// The layout element whose outline holds the canvas pixel (x, y), border
// included, among the elements whose row is bound: the one drawn last
// there, as later outlines lie on top. -1 when there is none. What the
// mouse points at on the preview.
int ElementAt(const Editor& editor, int x, int y);
// The rectangle of element k as its bound row holds it now (corners as
// given, in any order); false when the row is not bound.
bool ElementBox(const Editor& editor, int k, QRect* box);

// Places and colours both hands from the face's fields txt(14..17), txtMin,
// txtOra and the swatches PicMin / PicOre. Returns false, changing nothing,
// when the box has a coordinate of 0 or below. Never shows or hides a hand.
bool DisegnaLancette(Editor& editor);

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

}  // namespace velluno
