#pragma once
// The graphic-objects tab: extracting the images, what the user sees of one
// object in the browser pane, and replacing images (a chosen GIF, the
// default image, the whole default set, or an image edited by hand).
#include "editor/editor.h"
#include "skin/containers.h"

namespace velluno {

// "Esporta tutto": every object cut out of its container into its image
// file. When image files edited by hand were kept as numbered copies, the
// status bar says so.
ExtractReport ExportAll(Editor& editor);

// The pane's page for an image file, and the empty page.
void ShowImagePage(Editor& editor, const QString& image);
void ShowEmptyPage(Editor& editor);

// A row of the object table shown: its image measured, its size under the
// pane, the pane's page, its tag in the status bar; Importa, Default and
// both options enabled. A file that cannot be shown gives the empty page
// and "Errore n° ..." in the status bar.
void ShowObject(Editor& editor, int row);
// A click on column header `column` (1-based): the table is sorted on it.
void SortObjectsOn(Editor& editor, int column);

// "Importa...": the selected row replaced by a GIF chosen in the file dialog.
void ImportChosenImage(Editor& editor, int = 0);
// A file dropped on row `row`: shown, then taken as "Importa..." takes one.
void DropImage(Editor& editor, int row, const QString& file);
// "Default": the selected row replaced by its image of the default set.
void UseDefaultImage(Editor& editor, int = 0);
// "Skin di default": every row that has a default image replaced by it.
void UseDefaultSet(Editor& editor, int = 0);

// A click on object picture `n` of the preview tab: its row shown on the
// graphic-objects tab.
void JumpToObject(Editor& editor, int n);
// A click on tree node `node`: its tag in the status bar.
void ShowNodeTag(Editor& editor, int node);

// The note at the right end of the status bar about the rows without
// image: before "Esporta tutto" has run on the skin, that their images are
// not extracted yet and where to extract them; after it, how many are
// still missing. Empty when none is.
QString ImagesNote(const Editor& editor);

// The image files the rows point at, each once: what the window watches.
QStringList ImageFilesOfRows(const Editor& editor);
// Image files changed on the disk: extracted images edited by hand become
// replacements by their files (the status bar says which), the pane's
// picture is measured again and the preview redrawn.
void TakeImageChanges(Editor& editor);

}  // namespace velluno
