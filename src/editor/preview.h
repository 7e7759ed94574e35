#pragma once
// The phone preview: the render that brings the preview tab up to date from
// the document, the clock hands, the element under a canvas pixel, and the
// wallpaper.
#include "editor/editor.h"

namespace velluno {

// What the preview tab shows of `doc`, given what it showed before: the
// canvas, the panel's pictures, the element fields, switches and swatches.
// A function of its inputs: the document is only read. Items whose record
// the document lacks keep what they showed.
PreviewView ProjectPreview(const Document& doc, PreviewView view, ImageCache& images);

// The render that ends an action: the projection taken over, and what the
// fields' new texts mean for the rows behind them (a transparency field of
// the texts shown anew writes its row, as typing it would). The render of
// an opening fills the fields and writes nothing back.
enum class RenderKind { Action, Opening };
void RenderPreview(Editor& editor, RenderKind kind = RenderKind::Action);

// A pixel coordinate from a cell: its numeric reading rounded, bounded so
// that "1e300" cannot overflow the arithmetic of placing and drawing.
int CellCoordinate(QStringView cell);

// The layout element whose outline holds the canvas pixel (x, y), border
// included: the one drawn last there. -1 when there is none.
int ElementAt(const Editor& editor, int x, int y);
// The rectangle of element k as its row holds it now (corners as given);
// false when the skin has no such row.
bool ElementBox(const Editor& editor, int k, QRect* box);

// Places and colours both hands from the face's fields, the lengths and
// the hands' swatches. False, changing nothing, when the box has a
// coordinate of 0 or below. Never shows or hides a hand.
bool PlaceHands(PreviewView& view);

// Points the wallpaper list at a folder and fills it with the folder's
// "*.JPG;*.GIF" files (any case), sorted by name without regard to case,
// nothing selected. Only opening a skin fills it.
void FillWallpaperList(Editor& editor, const QString& folder);
// A file of the list selected: shown when the wallpaper is.
void SelectWallpaper(Editor& editor, int index);
// "Mostra / Nascondi" ticked or unticked.
void ShowWallpaper(Editor& editor, bool shown);
// "Aggiorna".
void Redraw(Editor& editor, int = 0);

}  // namespace velluno
