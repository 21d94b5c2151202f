#include "palettecolour.h"

#include <QPalette>

QColor paletteColour(Colour colour, const QPalette &palette)
{
    // The system colours the windows use, each played by its palette role.
    switch (colour) {
    case Colours::kSystemWindow:
        return palette.color(QPalette::Base);
    case Colours::kSystemWindowText:
        return palette.color(QPalette::Text);
    case Colours::kSystemAppWorkspace:
        return palette.color(QPalette::Dark);
    case Colours::kSystemHighlightText:
        return palette.color(QPalette::HighlightedText);
    case Colours::kSystemButtonFace:
        return palette.color(QPalette::Button);
    case Colours::kSystem3DLight:
        return palette.color(QPalette::Midlight);
    default:
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    }
}
