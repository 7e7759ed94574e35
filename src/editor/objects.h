#pragma once
// The graphic-objects tab: extracting the images, what the user sees of one
// object in the browser pane, and replacing images (a chosen GIF, the
// default image, the whole default set).
#include "editor/editor.h"
#include "skin/containers.h"

namespace velluno {

// "Esporta tutto": every object cut out of its container into its image
// file, then the preview redrawn. No message box: when image files edited
// by hand were kept as numbered copies, the status bar says so.
ExtractReport cmdExportAll_Click(Editor& editor);

// The pane's page for an image file, and the empty page.
void AniGIF(Editor& editor, const QString& GifImage);
void NoGIF(Editor& editor);

// What a click on row `row` of L_Values shows (the row display): the
// row's image measured into PicPreview, its size in lInfo, the pane's page,
// the row's tag in the status bar; enables Importa, Default and both
// options. A file that cannot be shown gives the empty page and
// "Errore n° ..." in the status bar. Selects nothing.
void L_Values_Click(Editor& editor, int row);
// A click on column header `column` (1-based): the table is kept sorted
// on that column, the cells compared as text.
void L_Values_ColumnClick(Editor& editor, int column);

// "Importa...": the selected row replaced by a GIF chosen in the file dialog.
void cmdImport_Click(Editor& editor);
// A file dropped on row `row`: the row is selected and shown, then
// replaced by the file as "Importa..." does with a chosen one.
void L_Values_Drop(Editor& editor, int row, const QString& file);
// "Default": the selected row replaced by its image of the default set.
void cmdDefault_Click(Editor& editor);
// "Skin di default": every row that has a default image replaced by it.
void cmdDefaultAll_Click(Editor& editor);

// A click on object picture `n` of the preview tab: its row shown on the
// graphic-objects tab.
void Pic_Click(Editor& editor, int n);
// A click on tree node `node`: its tag in the status bar.
void T_Strutt_NodeClick(Editor& editor, int node);

// The image files the rows point at, in row order (each once): what the
// window watches for changes made outside the editor.
QStringList ImageFilesOfRows(const Editor& editor);
// Image files changed on the disk: extracted images edited by hand become
// replacements by their files (the status bar says which), the pane's
// picture is measured again, the thumbnails and the preview redrawn.
void ImageFilesChanged(Editor& editor);

}  // namespace velluno
