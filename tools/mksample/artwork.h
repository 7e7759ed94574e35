// The pictures of the sample skin and of the default set. Both sets have the
// same objects in the same sizes; a Theme decides colours and a few details so
// the default set is recognisably different from the skin's own pictures.
#pragma once

#include "gifencoder.h"

#include <QImage>
#include <QSize>

#include <vector>

namespace mksample {

struct Theme {
    // soft-key bar: an upper glossy band and a lower body band, each shaded
    // from its first to its second colour, framed by a light and a dark rim
    QRgb glossTop, glossBottom, bodyTop, bodyBottom, rimLight, rimDark;
    QRgb keyGlyph, keyPulse;

    // analogue clock face, shaded from the centre outwards
    QRgb faceCentre, faceEdge, bezel, caseLight, caseDark, tick, majorTick;
    bool roundTicks; // dots instead of bars
    bool brandMark;  // small chevron under twelve o'clock

    // status icons
    QRgb ink, detail, accent, warn, bolt;
    bool iconShadow;
    QRgb shadow;
};

const Theme &sampleTheme();
const Theme &defaultTheme();

struct Picture {
    std::vector<GifFrame> frames;
    GifOptions options;
};

// Every graphic object number the sample skin has, ascending.
const std::vector<int> &objectNumbers();
QSize objectSize(int number);
Picture drawObject(int number, const Theme &theme);

// 176x220 wallpaper of the sample skin.
QImage drawWallpaper();

} // namespace mksample
