#pragma once

#include "fontexport.h"
#include "fontkind.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The export command's options, described once: the parser is set up from
// this table, --help lists it, and the manual page's list of options is
// written from it when the program is built (manualpage.cpp).
namespace CommandOptions {

enum class Id {
    Format,
    Font,
    Name,
    Orientation,
    Prefix,
    Delimiter,
    Comments,
    Range,
    Remap,
    PageOrder,
    Widths,
    Output,
    Check,
    Size,
    First,
    Threshold,
    PixelSize,
    Help,
    Version,
};

struct Option
{
    Id id;
    // Without dashes: a single letter is written -o, a word --output.
    QStringList names;
    // What follows the option: a placeholder such as FILE, or the only
    // values it takes joined by '|'; empty for a switch.
    QString valueName;
    // One paragraph, for --help and the manual page alike.
    QString help;
    // The kinds of file it applies to; empty for every kind.
    QList<FontKind::Kind> kinds = {};
    // The formats it applies to; empty for every format.
    QList<FontExport::Format> formats = {};
};

// The limits of the values the options take.
constexpr int kMaxThreshold = 256; // above every grey level: every pixel set
constexpr int kMaxPixelSize = 256;

// Every option, in the order --help and the manual page list them.
const std::vector<Option> &all();
const Option &option(Id id);

// The option's names as typed: "-o, --output".
QString spelled(const Option &option);
// The first name as typed: "--size".
QString firstName(const Option &option);
bool appliesTo(const Option &option, FontKind::Kind kind);
bool appliesTo(const Option &option, FontExport::Format format);
// Whether it applies to --format bdf, which saves the font as the window's
// Save does: the reading options and those the font stores (the order,
// prefix and delimiter) do, those that shape a display format's data do not.
bool appliesToBdf(const Option &option);
// The name --format takes for BDF.
QLatin1String bdfName();
// Whether the value name lists the only values the option takes.
bool listsValues(const Option &option);

// The options as --help lists them: each name and value, its help wrapped
// beside it, lines of at most `width` characters.
QString helpList(int width = 79);

} // namespace CommandOptions
