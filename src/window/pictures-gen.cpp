// Draws the pictures of the window that every start would otherwise draw
// (the toolbar and arrow pictures, the application icon at the sizes a
// window system asks for) and writes their pixels as a C++ header, which
// the window compiles in (icons.cpp):
//
//   velluno-pictures OUT.h
#include "window/pictures.h"

#include <QByteArray>
#include <QSaveFile>
#include <cstdio>

namespace {

// One picture's pixels as the words of an array initialiser, premultiplied
// ARGB, rows top down.
QByteArray Words(const QImage& image)
{
    QByteArray text;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++n)
            text += (n % 8 == 0 ? (n ? "\n    0x" : "    0x") : " 0x") +
                    QByteArray::number(row[x], 16).rightJustified(8, '0') + ',';
    }
    return text + '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace velluno::window;
    if (argc != 2) {
        std::fprintf(stderr, "usage: velluno-pictures OUT.h\n");
        return 2;
    }
    QByteArray text = "// Written by velluno-pictures when the program is built; not edited.\n"
                      "// Premultiplied ARGB, rows top down.\n"
                      "#pragma once\n#include <cstdint>\n\nnamespace velluno::window {\n\n";
    // One array for each ToolPicture.
    text += "inline constexpr std::uint32_t kToolPicturePixels[" + QByteArray::number(kToolPictureCount) + "][" +
            QByteArray::number(kToolPictureSize * kToolPictureSize) + "] = {\n";
    for (int n = 0; n < kToolPictureCount; ++n)
        text += "{\n" + Words(DrawToolPicture(ToolPicture(n))) + "},\n";
    text += "};\n\n";
    // One array for each of kAppIconSizes, and the list of them in that order.
    QByteArray list = "inline constexpr const std::uint32_t* kAppIconPixels[] = {";
    for (int side : kAppIconSizes) {
        const QByteArray name = "kAppIconPixels" + QByteArray::number(side);
        text += "inline constexpr std::uint32_t " + name + "[] = {\n" + Words(AppIconImage(side)) + "};\n\n";
        list += name + ", ";
    }
    text += list.chopped(2) + "};\n\n}  // namespace velluno::window\n";

    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        std::fprintf(stderr, "velluno-pictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
