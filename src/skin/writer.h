#pragma once
// Saving a skin: container 14 of the replaced images, the regenerated
// records, the backup and the new skin text, written as one group.
#include "skin/errors.h"
#include "skin/model.h"

namespace velluno {

struct SaveReport {
    bool saved = false;             // the files were replaced
    bool containerWritten = false;  // varavave14.dat holds the packed images
    int packed = 0;                 // rows packed into varavave14.dat
    bool backupWritten = false;     // varavave_old.ski is a copy of the skin before the save
    SkinError error;                // why nothing was saved
};

// An image the next save packs into varavave14.dat.
struct ImageToPack {
    int row = 0;   // display row of L_Values
    QString key;
    QString path;  // the "Path GIF" cell as it stands (any letter case)
};

// What the next save packs, in the order it packs it: the rows of L_Values
// whose state is "Da sostituire" and whose "Path GIF" is not blank, in the
// table's current row order. `firstBlank` receives the first such row
// without a path (0 when there is none).
QVector<ImageToPack> ImagesToPack(const Document& doc, int* firstBlank = nullptr);

// Writes the document into its folder as varavave14.dat (when an image is
// packed), varavave_old.ski and varavave.ski. Everything is checked and
// built first; a failure leaves every file as it was and the document
// unchanged. On success the line buffer holds the written lines and the
// packed rows are red.
SaveReport WriteSkin(Document& doc);

// The fixed names of the files a save writes.
inline const QString kContainerFileName = QStringLiteral("varavave14.dat");
inline const QString kBackupFileName = QStringLiteral("varavave_old.ski");
inline const QString kSkinFileName = QStringLiteral("varavave.ski");

}  // namespace velluno
