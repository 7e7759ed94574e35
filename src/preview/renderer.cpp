// PLACEHOLDER: replaced by the real renderer.
#include "preview/renderer.h"
#include "preview/clock.h"
namespace velluno {
void UpdateDesktop(Editor& editor) { ++editor.renders; DisegnaLancette(editor); }
int PreviewTextWidth(const QString& text) { return text.size() * 7; }
}  // namespace velluno
