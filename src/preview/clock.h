#pragma once
// The analogue clock's hands: hour hand straight up, minute hand straight to
// the right, from the centre of the clock face's box.
#include "shell/editor.h"

namespace velluno {

// Places and colours both hands from the face's fields txt(14..17), txtMin,
// txtOra and the swatches PicMin / PicOre. Returns false, changing nothing,
// when the box has a coordinate of 0 or below. Never shows or hides a hand.
bool PlaceHands(Editor& editor);

// The renderer's last step.
void DisegnaLancette(Editor& editor);

}  // namespace velluno
