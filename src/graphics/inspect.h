#pragma once
// What the user sees of one graphic object in the browser pane.
#include "shell/editor.h"

namespace velluno {

// The pane's page for an image file, and the empty page.
void AniGIF(Editor& editor, const QString& GifImage);
void NoGIF(Editor& editor);

}  // namespace velluno
