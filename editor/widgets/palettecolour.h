#pragma once

#include "colour.h"

#include <QColor>

class QPalette;

// The QColor for a stored colour: 0xBBGGRR values as they are, system colour
// references through the palette's matching role.
QColor paletteColour(Colour colour, const QPalette &palette);
