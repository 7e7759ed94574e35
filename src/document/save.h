#pragma once
// Saving the skin: container 14 of the replaced images, the regenerated
// records, the backup and the new skin text.
#include "shell/editor.h"

namespace velluno {

// The toolbar's SAVE. True when a new container was written.
bool SalvaSkin(Editor& editor);

}  // namespace velluno
