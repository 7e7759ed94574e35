// PLACEHOLDER: replaced by the real painting.
#include "preview/scene.h"
#include <QPainter>
namespace velluno {
void PaintScene(const Scene&, QPainter&) {}
QImage RenderScene(const Scene&) { return QImage(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32); }
}  // namespace velluno
