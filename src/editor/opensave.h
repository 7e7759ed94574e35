#pragma once
// Opening and saving: LOAD and SAVE of the toolbar.
#include "editor/editor.h"
#include "skin/containers.h"
#include "skin/reader.h"
#include "skin/writer.h"

namespace velluno {

// What an opening met, for the command-line tool and the tests; the window
// shows none of it beyond its messages (the opening stops silently at its
// first error): how the reading went, and the image files edited by hand
// that it took.
struct OpenReport : ReadingFacts {
    bool chosen = false;     // a file was chosen in the dialog
    bool completed = false;  // the opening ran to its end
    EditedImages edited;
};

// Whether an opening makes the image folder when it is missing, as the
// window's opening does; a look at a skin that writes nothing leaves it.
enum class ImageFolder { Create, Leave };

// The toolbar's LOAD: asks for the file, then opens it.
OpenReport OpenSkin(Editor& editor);
// Everything after the dialog, for a chosen path.
OpenReport OpenSkinFile(Editor& editor, const QString& path, ImageFolder folder = ImageFolder::Create);

// Whether a file is taken as a skin when it is dropped on the window: its
// name ends in ".ski", in any letter case.
bool IsSkinFileName(const QString& path);
// A skin given from outside the dialog (named on the command line, opened
// from the file manager, dropped on the window) opens as LOAD opens the
// file chosen in its dialog, without asking. A path that names no readable
// file is refused with a message before the open skin is touched.
OpenReport OpenGivenSkin(Editor& editor, const QString& path);

// The one save of a document, for the toolbar's SAVE and for velluno-cli
// repack: nothing (no error) for a skin that may not be saved, else the
// image check and the write of WriteSkin.
SaveReport SaveDocument(Document& doc, SaveRefusal refusal);

// The toolbar's SAVE; does nothing while the open skin may not be saved.
SaveReport SaveSkin(Editor& editor);

}  // namespace velluno
