#pragma once
// The pictures of the window drawn in code: the toolbar and arrow pictures,
// and the application icon at any size.
#include <QImage>
#include <iterator>

namespace velluno::window {

enum class ToolPicture { Open, Save, Close, Up, Down, Left, Right };
constexpr int kToolPictureCount = int(ToolPicture::Right) + 1;
constexpr int kToolPictureSize = 24;  // pixels square

// A transparent square of `size` pixels, premultiplied ARGB: the ground
// every picture of the window is drawn on.
QImage BlankPicture(int size);

// The picture, premultiplied ARGB.
QImage DrawToolPicture(ToolPicture which);

// The application icon at `size` pixels square, premultiplied ARGB.
QImage AppIconImage(int size);
// The sizes its icon offers, those a window system asks for at start.
constexpr int kAppIconSizes[] = {16, 32, 48, 64};
constexpr int kAppIconSizeCount = int(std::size(kAppIconSizes));

}  // namespace velluno::window
