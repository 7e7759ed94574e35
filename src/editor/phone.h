#pragma once
// The live phone mode ("Telefono"): the preview as the phone shows it. The
// outlines that only the editor draws are left out, the date and the
// digital clock read the time of day, the analogue hands stand at their
// angles, and a soft key held down with the mouse shows its pressed
// picture. The preview itself is never changed by it: turning the mode off
// shows the preview as it is drawn.
#include "editor/editor.h"

namespace velluno {

// "Telefono" ticked (the clock set to the minute of now) or unticked.
void ShowPhone(Editor& editor, bool on);
// The phone's clock reads the time again: the window's timer at each new
// minute, a script's `tick`. False when the mode is off.
bool PhoneClockTick(Editor& editor);
// The milliseconds from now until the phone's clock shows another minute,
// at least a few: the window's timer waits that long.
int MsecsToNextMinute(const Editor& editor);

// The soft key of the phone's bar whose picture holds pixel (x, y): 0 left,
// 1 centre, 2 right (a later key lies over an earlier one); -1 for none.
int SoftKeyAt(const Scene& scene, int x, int y);
// The mouse pressed on the phone's screen: the soft key there shows its
// pressed picture until it is let go. False when the mode is off or no key
// is there.
bool PressSoftKey(Editor& editor, int x, int y);
// The mouse let go: false when no key was held.
bool ReleaseSoftKey(Editor& editor);

// What the phone shows now, made from the preview.
Scene PhoneScene(const Editor& editor);

}  // namespace velluno
