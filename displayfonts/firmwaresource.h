#pragma once

#include "csourcereader.h"
#include "fontexport.h"
#include "readresult.h"

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Fonts for display libraries found in C source by their content: a GFXfont
// with its glyph table and bitmap, a u8g2 or u8x8 font as a string literal
// or a list of bytes, this program's own pages and c headers. One file may
// hold several (u8x8's own font file holds over a hundred).
//
// Each format finds its own fonts in what CSourceReader gives, and reads one
// of them as a glyph set, in its own file beside its writer:
//   std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source);
//   ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path);
// Each is one row's find and read in FontExport's table of formats
// (FontExport::readerOf); this asks every format in turn, in the table's
// order, and where two claim one declaration the earlier row has it.
namespace FirmwareSource {

// One font a file holds, as a chooser lists it.
struct Font
{
    FontExport::Format format = FontExport::Format::Gfx;
    QString name;       // its C name: the GFXfont's, the array's
    int line = 0;       // where its name stands, from 1
    qsizetype glyphs = 0;
    int cols = 0;       // the cell that holds every glyph where it lies
    int rows = 0;
    bool external = false; // inside a block of the user's build (#ifdef U8G2_USE_LARGE_FONTS)
    // Where its declarations lie in the text, [begin, end) each, in the
    // order of the text.
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    // Whether the file is the font's alone, as this program writes its pages
    // and c headers (an enum, the arrays, the include guard).
    bool wholeFile = false;
};

struct Scan
{
    std::vector<Font> fonts; // in the order of the text
    // Set where the text is not C that can be read: "file.c: line 12: ..."
    QString error;
    // The text as read, for read() to take a font from without reading it
    // again; null where it could not be read.
    std::shared_ptr<const CSourceReader::Source> source;
    bool ok() const { return error.isEmpty(); }
};

// Every font in `text`; none (and no error) for source that holds none,
// which is then read as arrays of numbers. Text that is not C a compiler
// would read (assembler, a list of numbers) holds none too, unless it names
// a display library's font types or sections (GFXfont, U8G2_FONT_SECTION):
// then the fault is said. `path` names the file in messages.
Scan scan(QByteArrayView text, const QString &path);

// The font called `name` as a set, with its metrics, its font name and the
// export choices (format, name, options) that write it again as it stands;
// the only font where `name` is empty. One line naming the file, the line
// and the font where it is damaged; a message listing the fonts where
// `name` is none of them or is empty and there are several.
ReadResult read(QByteArrayView text, const QString &path, const QString &name = {});
// The same from what scan() found in the text.
ReadResult read(const Scan &scan, const QString &path, const QString &name = {});

// `original`, the source a font was read from, with the font called `name`
// replaced by the one `written` holds (a whole file as its format's writer
// writes it), everything else kept byte for byte; the whole of `written`
// where the font was the whole file (this program's pages and c headers).
// Nothing, with one sentence in `error`, where `original` no longer holds
// the font or where its declarations hold preprocessor lines (#if blocks),
// which writing them anew would drop.
std::optional<QByteArray> replaced(QByteArrayView original, const QString &path, const QString &name,
                                   QByteArrayView written, QString *error);

} // namespace FirmwareSource
