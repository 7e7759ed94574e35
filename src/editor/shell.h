#pragma once
// The window as a whole: starting up, the reset to the state without skin,
// the tabs, and the question before quitting.
#include "editor/editor.h"

namespace velluno {

// The program starts: title, first tab, the reset, the status bar's request.
void StartUp(Editor& editor);
// Back to the state without skin: every tab and element control disabled,
// the date and time texts read anew, the object pane emptied.
void ResetWindow(Editor& editor);
// Tab `tab` shown: LOAD follows it, and the status bar counts its rows.
void ShowTab(Editor& editor, int tab);
// LOAD's tooltip: what it does and, while it is greyed, where it works.
QString LoadTip(const Editor& editor);
// CLOSE or the window's close button: true when the user confirmed.
bool AskToQuit(Editor& editor);

}  // namespace velluno
