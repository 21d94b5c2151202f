#pragma once

#include "fontsubset.h"
#include "readresult.h"

#include <QByteArray>

// PSF1 and PSF2, the Linux console's font formats, read (unpacked: FontFile
// unpacks gzip-compressed files).
namespace PsfFormat {

// Whether `bytes` begin with a PSF1 or PSF2 magic number.
bool isPsf(const QByteArray &bytes);

// A set from the bytes of a PSF file; `fileName` is only for the message.
// With a Unicode table each glyph takes its first code point; without one
// glyph i has code point i. Glyphs larger than the largest matrix are
// taken as FontSubset lays them out, by their ink; refused, naming a glyph,
// when the glyphs taken do not fit together.
ReadResult read(const QByteArray &bytes, const QString &fileName, const FontSubset::Options &options = {});

// Each glyph's code point and ink, reading the file as read() does.
FontSubset::Scan scan(const QByteArray &bytes, const QString &fileName);

} // namespace PsfFormat
