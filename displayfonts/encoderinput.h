#pragma once

#include <QString>

class GlyphSet;

// What every display format's encoder asks of the glyphs it is given, with
// one wording for its refusals: the export's selection (FontExport::select)
// makes sure of it, so only a caller that skips the selection meets them.
namespace EncoderInput {

struct Format
{
    QString name;         // "a u8x8 font", as the messages name it
    int highestCode = 0;  // the last code it holds
    bool needsGlyph = true; // whether it refuses a set without glyphs
};

// Whether the set's glyphs can go into the format: each with a code point
// up to the highest, in rising order, each code once, and at least one
// where the format needs one. False with the reason in `error`.
bool check(const GlyphSet &set, const Format &format, QString *error);

} // namespace EncoderInput
