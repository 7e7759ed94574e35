#include "editor/colours.h"

namespace velluno {

void TransparencyChanged(Editor& editor, int Index)
{
    // The write-back of a transparency into its colour row is not built yet.
    (void)editor;
    (void)Index;
}

}  // namespace velluno
