#pragma once
// The graphic-objects tab: extracting the images, what the user sees of one
// object in the browser pane.
#include "editor/editor.h"
#include "skin/containers.h"

namespace velluno {

// "Esporta tutto": every object cut out of its container into its image
// file, then the preview redrawn. No message: the report is for the
// command-line tool.
ExtractReport cmdExportAll_Click(Editor& editor);

// The pane's page for an image file, and the empty page.
void AniGIF(Editor& editor, const QString& GifImage);
void NoGIF(Editor& editor);

}  // namespace velluno
