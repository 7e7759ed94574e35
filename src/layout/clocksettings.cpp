// PLACEHOLDER: replaced by the real clock settings.
#include "layout/clocksettings.h"
namespace velluno {
void optTime_Click(Editor&, int) {}
void SelectClockStyle(Editor&, int) {}
}  // namespace velluno
