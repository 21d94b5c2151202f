#pragma once

#include "arrayformat.h"
#include "bdfformat.h"
#include "fontkind.h"
#include "imagesheet.h"
#include "outlinefont.h"
#include "readresult.h"

#include <QString>

// Opening a glyph set from any file the program reads, and what kind of file
// it is. Arrays, pictures and outline fonts need the options that the file
// itself does not give.
namespace GlyphSetFile {

using Kind = FontKind::Kind;

// What `path` holds, by its first bytes where they tell and by its name
// otherwise; an unknown text file is taken for source code (Array). Where
// FontKind::withoutPictures() has an answer, it is this one.
Kind kindOf(const QString &path);
// The same for a file named `fileName` that begins with `head` (unpacked).
Kind kindOf(const QByteArray &head, const QString &fileName);

using Options = OpenOptions;

// The file read once, its kind told from its bytes, so that a pipe
// (KELVOR21 <(zcat font.bdf.gz)) is read as a file is.
ReadResult open(const QString &path, const Options &options);
// The BDF font in `path` for an export of the code points of `ranges` (of
// every glyph when there are none): the whole font when it fits, else only
// the glyphs of `ranges`. When they do not fit either, the message names a
// glyph that does not and ends with code points that fit.
ReadResult openBdf(const QString &path, const CodePoints::Ranges &ranges);
// The bytes of a file of `kind`, as FontFile::load gives them, as a set;
// `path` names the file in messages.
ReadResult read(const QByteArray &bytes, const QString &path, Kind kind, const Options &options);
// What the BDF or PSF font in `bytes` holds, to choose which of its glyphs
// to open when they do not fit together; an error for other kinds.
FontSubset::Scan scan(const QByteArray &bytes, const QString &path, Kind kind);

// The file dialog's filter: all fonts, then a line for each of
// FontKind::kinds() in its order, then all files.
QString dialogFilter();

} // namespace GlyphSetFile
