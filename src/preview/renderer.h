#pragma once
// The phone preview: brings the canvas, the button-graphics panel, the element
// fields, swatches and switches and the element references up to date from
// the document. It changes no table cell and no tree node.
#include "shell/editor.h"

namespace velluno {

void UpdateDesktop(Editor& editor);

// The width in pixels of a text in the preview's text style (bold
// "Arial Narrow" 11.25 pt, 15 px on the 1:1 canvas).
int PreviewTextWidth(const QString& text);

}  // namespace velluno
