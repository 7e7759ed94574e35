#pragma once
// Start-up, the window reset, the toolbar, the tabs and quitting.
#include "editor/editor.h"
#include "skin/errors.h"

namespace velluno {

void Form_Load(Editor& editor);
void InitSystem(Editor& editor);

// Toolbar buttons by key: "LOAD", "SAVE", "CLOSE"; any other key does nothing.
// Returns why a SAVE wrote nothing (the user has seen it in a message box).
SkinError TB0_ButtonClick(Editor& editor, const QString& key);
// Shows tab `tab` (0..5) and updates LOAD and the status bar from it.
void SSTab1_Click(Editor& editor, int tab);
// The closing question; true when the window may close (then `closed` is set).
bool Form_QueryUnload(Editor& editor);

}  // namespace velluno
