#pragma once
// The pictures of the toolbar and of the arrow buttons. They are drawn when
// the program is built, by toolpictures-gen.cpp with this same code, and
// the window shows the pixels it wrote (ToolIcon).
#include <QImage>

namespace velluno::window {

enum class ToolPicture { Open, Save, Close, Up, Down, Left, Right };
constexpr int kToolPictureCount = 7;
constexpr int kToolPictureSize = 24;  // pixels square

// The picture, premultiplied ARGB.
QImage DrawToolPicture(ToolPicture which);

}  // namespace velluno::window
