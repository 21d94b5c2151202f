#pragma once

#include "readresult.h"

#include <QByteArray>

// BDF 2.1, the X11 bitmap font format, read and written.
namespace BdfFormat {

// A set from the text of a BDF file; `fileName` is only for the message.
// Each glyph's BBX is placed in the font's bounding box; a glyph with
// ENCODING -1 is kept by its name.
ReadResult read(const QByteArray &bytes, const QString &fileName);

// The set as a BDF 2.1 file: plain text, the same bytes for the same set.
// The set's export options are stored as properties that read() restores.
QByteArray write(const GlyphSet &set);

} // namespace BdfFormat
