#pragma once
// Saving a skin: container 14 of the replaced images, the regenerated
// records, the backups and the new skin text, written as one group; then the
// image folder holds, for every packed object, the bytes container 14 holds
// for it, so that the next opening packs the same images again.
#include "skin/errors.h"
#include "skin/document.h"

namespace velluno {

struct SaveReport {
    bool saved = false;             // the files were replaced
    bool containerWritten = false;  // varavave14.dat holds the packed images
    int packed = 0;                 // rows packed into varavave14.dat
    bool backupWritten = false;     // varavave_old.ski is a copy of the skin before the save
    bool containerBackupWritten = false;  // varavave14_old.dat is the container before the save
    bool originalKept = false;      // this save wrote varavave_orig.ski, the text before any save
    int imagesWritten = 0;          // image files brought in line with container 14
    struct Kept {
        QString image;  // the image file, which now holds the packed bytes
        QString copy;   // its numbered copy, which holds the other bytes it held
    };
    QVector<Kept> keptImages;
    SkinError error;                // why nothing was saved
    // The skin file and container 14 as they are spelt on the disk (any
    // letter case of an existing file is kept).
    QString skinFile;
    QString containerFile;
};

// An image the next save packs into varavave14.dat.
struct ImageToPack {
    int row = 0;   // row of the object table, 1-based
    QString key;
    QString path;  // the image file as the row names it (any letter case)
};

// What the next save packs, in the order it packs it: the object rows to be
// replaced that point at an image file, in the table's order. `firstBlank`
// receives the first such row without a file (0 when there is none).
QVector<ImageToPack> ImagesToPack(const Document& doc, int* firstBlank = nullptr);

// Writes the document into its folder: varavave14.dat (when an image is
// packed), the backups varavave_old.ski, varavave14_old.dat (the container
// it replaces) and, at the first save in the folder, varavave_orig.ski, the
// new varavave.ski, and every packed image into the image folder. Everything
// is checked and built first; a read-only skin or container stops it there.
// A failure leaves every file as it was and the document unchanged. On
// success the lines hold what was written and the packed rows are marked
// packed.
SaveReport WriteSkin(Document& doc);

// Where a save of the document would stop, checked and built as WriteSkin
// does before it writes, without writing anything; ok() when it would not.
SkinError CheckSave(const Document& doc);

// Whether a file's mode has no write bit at all: such a file is the user's
// way of saying "do not touch", and a save that replaced it by a rename
// would go over that silently, whoever runs the program.
bool IsReadOnlyFile(const QString& path);

// The fixed names of the files a save writes.
inline const QString kContainerFileName = QStringLiteral("varavave14.dat");
inline const QString kContainerBackupFileName = QStringLiteral("varavave14_old.dat");
inline const QString kBackupFileName = QStringLiteral("varavave_old.ski");
inline const QString kOriginalFileName = QStringLiteral("varavave_orig.ski");
inline const QString kSkinFileName = QStringLiteral("varavave.ski");

}  // namespace velluno
