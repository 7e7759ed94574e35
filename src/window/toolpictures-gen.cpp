// Draws the toolbar and arrow pictures when the program is built and writes
// their pixels as a C++ header, which the window compiles in (ToolIcon):
//
//   velluno-toolpictures OUT.h
#include "window/toolpictures.h"

#include <QByteArray>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace velluno::window;
    if (argc != 2) {
        std::fprintf(stderr, "usage: velluno-toolpictures OUT.h\n");
        return 2;
    }
    QByteArray text = "// Written by velluno-toolpictures when the program is built; not edited.\n"
                      "#pragma once\n#include <cstdint>\n\n"
                      "namespace velluno::window {\n\n"
                      "// Premultiplied ARGB, rows top down, one array for each ToolPicture.\n";
    text += "inline constexpr std::uint32_t kToolPicturePixels[" + QByteArray::number(kToolPictureCount) +
            "][" + QByteArray::number(kToolPictureSize * kToolPictureSize) + "] = {\n";
    for (int n = 0; n < kToolPictureCount; ++n) {
        const QImage image = DrawToolPicture(ToolPicture(n));
        text += "    {";
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                text += (x % 8 == 0 ? "\n        " : " ") + QByteArray("0x") +
                        QByteArray::number(row[x], 16).rightJustified(8, '0') + ',';
        }
        text += "\n    },\n";
    }
    text += "};\n\n}  // namespace velluno::window\n";
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        std::fprintf(stderr, "velluno-toolpictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
