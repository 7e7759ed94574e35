#pragma once
// Reading a skin: the file up to its first carriage return, split at line
// feeds into the line buffer, one tree node per line, one table row per
// record of type "1", "4" and "5", and every graphic object linked to its
// image file in the skin's image folder.
#include "skin/errors.h"
#include "skin/model.h"

namespace velluno {

// Where the files of the skin at `path` lie: SkinDir, SkinName and GifDir
// (the existing spelling of the image folder when there is one). A bare
// file name lies in the current folder.
struct SkinPlace {
    QString SkinDir;
    QString SkinName;
    QString GifDir;  // with a trailing "/"
    bool gifDirExists = false;
};
SkinPlace PlaceOfSkin(const QString& path);

// Creates the image folder when it is missing.
SkinError CreateImageFolder(const SkinPlace& place);

// Why a skin that was read may not be saved; None when it may.
enum class SaveRefusal {
    None,
    NotOperatorSkin,  // only varavave.ski (any case) is saved
    Unreadable,       // the reading stopped before its end
    BadMagic,         // the first line does not start with SKI1
    NoLines,          // no line ends with a line feed (CR LF line ends)
};

struct SkinReading {
    Document doc;  // what was read: whole, or up to the line where the reading stopped
    SkinError error;  // why the reading stopped; ok() when it ran to its end
    bool badMagic = false;
    // The magic passed but no line ends with a line feed before the first
    // carriage return: a document of no lines.
    bool noLines = false;
    // Reads the document: ask before moving it away.
    SaveRefusal saveRefusal() const;
};

// Reads the skin at `path` whose files lie at `place`. Never creates or
// changes a file. The document is built in `storage`, emptied first, whose
// allocations a reader that opens skin after skin hands back for reuse.
SkinReading ReadSkin(const QString& path, const SkinPlace& place, Document&& storage = Document());
inline SkinReading ReadSkin(const QString& path) { return ReadSkin(path, PlaceOfSkin(path)); }

// The image path of a graphic object: GifDir & number & ".gif", the file name
// in lower case, the folder kept as it is.
QString ObjectImagePath(const QString& gifDir, QStringView key);
// Its file name alone: number & ".gif" in lower case.
QString ObjectImageName(QStringView key);
void AppendObjectImageName(TextBuffer& out, QStringView key);

// The largest skin text read: a file longer than this before its first
// carriage return cannot be opened.
constexpr qint64 kMaxSkinBytes = qint64(64) << 20;

}  // namespace velluno
