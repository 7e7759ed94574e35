#pragma once
// A way out for a skin whose line ends the reading cannot take whole: a
// carriage return stops the reading, and text after the last line feed is
// no line, so a save would lose both. The repair turns every CR LF and every
// lone CR into a line feed and ends a last line that has text with one.
#include "skin/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velluno {

struct LineEndChanges {
    int crLf = 0;     // CR LF pairs that became LF
    int loneCr = 0;   // carriage returns alone that became LF
    bool finalLineFeed = false;  // a line feed added after a last line with text
    bool any() const { return crLf > 0 || loneCr > 0 || finalLineFeed; }
};

// The file's bytes with the line ends repaired; `changes` says what changed.
QByteArray RepairLineEnds(const QByteArray& file, LineEndChanges* changes);

struct LineEndRepair {
    LineEndChanges changes;
    bool written = false;  // the skin file holds the repaired text
    QString skin;          // the skin file as it is on the disk
    QStringList backups;   // where the original text is kept
    SkinError error;
};

// Repairs the skin file at `path` in place: the repaired text replaces it,
// and the original is kept as SkinName_old.ski and, when the folder has no
// such file yet, as SkinName_orig.ski, all as one group (a failure leaves
// every file as it was). A read-only file is refused; a file that needs no
// repair is left alone. With `write` false nothing is written: the result
// says what a repair would change.
LineEndRepair RepairSkinLineEnds(const QString& path, bool write = true);

}  // namespace velluno
