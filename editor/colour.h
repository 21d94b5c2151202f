#pragma once

#include <QtGlobal>

// Colours are 24-bit 0xBBGGRR values (blue in the high byte), the order in
// which the window's colours are written down. A value with the top bit set,
// 0x800000nn, names the desktop's system colour number nn instead of a colour;
// the view resolves it through the palette when it paints.
using Colour = quint32;

namespace Colours {
constexpr Colour kNone = 0;          // a cell without a colour of its own
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kYellow = 0x00FFFF;
constexpr Colour kGrey = 0x808080;
constexpr Colour kLightGrey = 0xC0C0C0;

constexpr Colour kSystemWindow = 0x80000005;          // text-box and grid cell background
constexpr Colour kSystemWindowText = 0x80000008;
constexpr Colour kSystemAppWorkspace = 0x8000000C;    // the main window's background
constexpr Colour kSystemHighlightText = 0x8000000E;
constexpr Colour kSystemButtonFace = 0x8000000F;
constexpr Colour kSystem3DLight = 0x80000016;
} // namespace Colours
