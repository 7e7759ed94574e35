#pragma once
// Opening a skin: the file dialog, the window reset, reading the file into the
// line buffer, the tree and the three tables, linking every graphic object to
// its image file, the preview and whether the skin may be saved.
#include "shell/editor.h"

namespace velluno {

// What an opening met, for the command-line tool and the tests; the window
// shows none of it (the opening stops silently at its first error).
struct OpenReport {
    bool chosen = false;     // a file was chosen in the dialog
    bool completed = false;  // the opening ran to its end
    bool badMagic = false;
    bool noLines = false;    // the magic passed but no line ends with a line feed
    QString error;           // why the opening stopped, empty when it did not
    int errorSlot = -1;      // the slot being read when it stopped
};

// The toolbar's LOAD: asks for the file, then opens it.
OpenReport OpenSkin(Editor& editor);
// Everything after the dialog, for a chosen path.
OpenReport OpenSkinFile(Editor& editor, const QString& path);

// The image path of a graphic object: GifDir & number & ".gif", the file name
// in lower case, the folder kept as it is.
QString ObjectImagePath(const Editor& editor, QStringView key);
inline QString ObjectImagePath(const Editor& editor, const QString& key)
{
    return ObjectImagePath(editor, QStringView(key));
}
// Its file name alone: number & ".gif" in lower case.
QString ObjectImageName(QStringView key);
void AppendObjectImageName(TextBuffer& out, QStringView key);

// The largest skin text read: a file longer than this before its first
// carriage return cannot be opened.
constexpr qint64 kMaxSkinBytes = qint64(64) << 20;

}  // namespace velluno
