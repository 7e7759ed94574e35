#pragma once
// Opening and saving: LOAD and SAVE of the toolbar.
#include "editor/editor.h"
#include "skin/reader.h"
#include "skin/writer.h"

namespace velluno {

// What an opening met, for the command-line tool and the tests; the window
// shows none of it beyond its messages (the opening stops silently at its
// first error).
struct OpenReport {
    bool chosen = false;     // a file was chosen in the dialog
    bool completed = false;  // the opening ran to its end
    bool badMagic = false;
    bool noLines = false;    // the magic passed but no line ends with a line feed
    bool stoppedAtCarriageReturn = false;  // the file goes on after the carriage return the reading stopped at
    int stopLine = 0;        // the 1-based line of that carriage return
    SkinError error;         // why the opening stopped
};

// The toolbar's LOAD: asks for the file, then opens it.
OpenReport OpenSkin(Editor& editor);
// Everything after the dialog, for a chosen path.
OpenReport OpenSkinFile(Editor& editor, const QString& path);

// Whether a file is taken as a skin when it is dropped on the window: its
// name ends in ".ski", in any letter case.
bool IsSkinFileName(const QString& path);
// A skin given from outside the dialog (named on the command line, opened
// from the file manager, dropped on the window) opens as LOAD opens the
// file chosen in its dialog, without asking. A path that names no readable
// file is refused with a message before the open skin is touched.
OpenReport OpenGivenSkin(Editor& editor, const QString& path);

// The toolbar's SAVE; does nothing while the open skin may not be saved.
SaveReport SaveSkin(Editor& editor);

}  // namespace velluno
