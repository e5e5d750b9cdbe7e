// Twips (1/1440 inch) to logical pixels and back: 15 twips a pixel at 96 dpi.
#pragma once

#include <cmath>

inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(double twips)
{
    return int(twips >= 0 ? twips / twipsPerPixel + 0.5 : twips / twipsPerPixel - 0.5);
}

constexpr double pixelsToTwips(int pixels)
{
    return double(pixels) * twipsPerPixel;
}
