#pragma once
// The pictures of the window, drawn by our own code: the image list of the
// rows and tree nodes (numbered as the document numbers them), the toolbar
// and arrow pictures and the application icon.
#include "window/pictures.h"

#include <QIcon>
#include <QImage>

namespace velluno::window {

constexpr int kIconListSize = 16;  // pixels of a list icon

// Picture n of the image list (2, 3, 6, 7, 8..14); a null icon for any other
// number, which shows no picture.
QIcon IconList(int n);
// The same picture as an image, for the tests and for writing the PNGs.
QImage IconListImage(int n);

QIcon ToolIcon(ToolPicture which);

// The application icon, at any size (AppIconImage draws one).
QIcon AppIcon();

}  // namespace velluno::window
