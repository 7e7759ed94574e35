#pragma once
// Reading a skin: the file up to its first carriage return, split at line
// feeds into the line buffer, one tree node per line, one table row per
// record of type "1", "4" and "5", and every graphic object linked to its
// image file in the skin's image folder.
#include "skin/errors.h"
#include "skin/document.h"

namespace velluno {

// Where the files of the skin at `path` lie: its folder, its name and its
// image folder (the existing spelling when there is one). A bare file name
// lies in the current folder.
struct SkinPlace {
    QString folder;
    QString name;
    QString imageFolder;  // with a trailing "/"
    bool imageFolderExists = false;
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
    StoppedAtCarriageReturn,  // the file goes on after the carriage return where the reading stopped
    TextAfterLastLine,  // text after the last line feed, which is no line and would be lost
    NoLines,          // no line ends with a line feed
};

// How a reading of a skin went, apart from what it read.
struct ReadingFacts {
    // The skin's file as it is spelt on the disk (as given when there is
    // no such file).
    QString file;
    SkinError error;  // why the reading stopped; ok() when it ran to its end
    bool badMagic = false;
    // The magic passed but no line ends with a line feed before the first
    // carriage return: a document of no lines.
    bool noLines = false;
    // The reading stopped at a carriage return and the file goes on after it
    // (anything beyond a final CR LF): the lines from `stopLine` (1-based, the
    // line of that carriage return) on were not read. CR LF line ends stop
    // it at line 1.
    bool stoppedAtCarriageReturn = false;
    int stopLine = 0;
    // Non-blank text after the last line feed (before the first carriage
    // return): no line, so never written back, and the skin is not saved
    // while it is there. Its first characters, control characters as
    // blanks; empty when there is none.
    QString textAfterLastLine;
    // The lines whose records are in the document: every line, or those
    // before the line where the reading stopped.
    int linesRead = 0;
    // The reading dropped text that a repair of the line ends would keep:
    // it stopped at a carriage return with more after it, or found text
    // after the last line feed (a last line ended by CR LF is both).
    bool droppedText() const { return stoppedAtCarriageReturn || !textAfterLastLine.isEmpty(); }
    // Why the skin of this name, read so, may not be saved.
    SaveRefusal saveRefusal(const QString& skinName) const;
};

struct SkinReading : ReadingFacts {
    Document doc;  // what was read: whole, or up to the line where the reading stopped
    // Reads the document: ask before moving it away.
    SaveRefusal saveRefusal() const { return ReadingFacts::saveRefusal(doc.name); }
};

// Reads the skin at `path` whose files lie at `place`. Never creates or
// changes a file. The document is built in `storage`, emptied first, whose
// allocations a reader that opens skin after skin hands back for reuse.
SkinReading ReadSkin(const QString& path, const SkinPlace& place, Document&& storage = Document());
inline SkinReading ReadSkin(const QString& path) { return ReadSkin(path, PlaceOfSkin(path)); }
// The same reading of a skin whose whole file is `file`, already in memory;
// `path` only names it and places its files.
SkinReading ReadSkinBytes(const QByteArray& file, const QString& path, const SkinPlace& place,
                          Document&& storage = Document());

// Whether a graphic object's number names an image file: a number whose
// magnitude stays below kExactNumberLimit, which the text form writes
// exactly. A larger one names none: its row is faulty, never "found" or
// "extracted", and no file is read or written for it.
bool ObjectNumberFits(QStringView number);

// The image file of a graphic object: its number as a plain integer and
// ".gif", in lower case; empty when the number does not fit. The path puts
// it in the image folder as the folder is spelt.
QString ObjectImageName(QStringView number);
QString ObjectImagePath(const QString& imageFolder, QStringView number);

// The largest skin text read: a file longer than this before its first
// carriage return cannot be opened.
constexpr qint64 kMaxSkinBytes = qint64(64) << 20;

}  // namespace velluno
