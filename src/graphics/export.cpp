// PLACEHOLDER: replaced by the real export.
#include "graphics/export.h"
namespace velluno {
QString ContainerPath(const Editor&, qint64) { return QString(); }
ExportReport cmdExportAll_Click(Editor&) { return ExportReport{}; }
}  // namespace velluno
