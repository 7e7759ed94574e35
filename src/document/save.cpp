// PLACEHOLDER: replaced by the real save.
#include "document/save.h"
namespace velluno {
bool SalvaSkin(Editor&) { return false; }
}  // namespace velluno
