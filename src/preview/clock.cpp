// PLACEHOLDER: replaced by the real clock.
#include "preview/clock.h"
namespace velluno {
bool PlaceHands(Editor&) { return false; }
void DisegnaLancette(Editor& editor) { PlaceHands(editor); }
}  // namespace velluno
