#pragma once
// Saving the skin: container 14 of the replaced images, the regenerated
// records, the backup and the new skin text.
#include "shell/editor.h"

namespace velluno {

// What a save did, for the command-line tool and the tests.
struct SaveReport {
    bool attempted = false;         // a skin that may be saved was open
    bool saved = false;             // the files were replaced
    bool containerWritten = false;  // varavave14.dat holds the packed images
    int packed = 0;                 // rows packed into varavave14.dat
    bool backupWritten = false;     // varavave_old.ski is a copy of the skin before the save
    QString error;                  // the text of the error message, empty when saved
};

// The save behind SAVE; does nothing while the open skin may not be saved.
SaveReport SaveSkin(Editor& editor);

// The toolbar's SAVE. True when a new container was written.
bool SalvaSkin(Editor& editor);

}  // namespace velluno
