#include "palettecolour.h"

#include <QPalette>

QColor paletteColour(Colour colour, const QPalette &palette)
{
    if (!Colours::isSystem(colour))
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));

    // The desktop's system colour numbers and the palette roles that play
    // their part here.
    switch (Colours::systemIndex(colour)) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 12: // application workspace
        return palette.color(QPalette::Dark);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // 3D highlight
        return palette.color(QPalette::Light);
    case 22: // 3D light
        return palette.color(QPalette::Midlight);
    default:
        return palette.color(QPalette::Window);
    }
}
