#pragma once

#include <QtGlobal>

// Sizes and positions are kept in twips, 1/1440 inch. At 96 dpi a pixel is 15
// twips; Qt's device-independent pixels stand for those 96-dpi pixels and Qt
// scales them for high-DPI screens.
namespace Twips {

constexpr int kPerPixel = 15;

constexpr int toPixels(int twips)
{
    // Rounds to the nearest pixel, halves away from zero.
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel : -((-twips + kPerPixel / 2) / kPerPixel);
}

constexpr int fromPixels(int pixels)
{
    return pixels * kPerPixel;
}

} // namespace Twips
