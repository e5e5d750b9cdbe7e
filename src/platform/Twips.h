// Twips (1/1440 inch) to logical pixels and back: 15 twips a pixel at 96 dpi.
#pragma once

#include <QRect>
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

/// A rectangle given in twips, in pixels.
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
