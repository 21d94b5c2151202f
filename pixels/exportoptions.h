#pragma once

#include "bitorder.h"
#include "copytotext.h"

#include <QString>

// How a drawing becomes a line of text: the bit order of its values, and
// what Copy to Text writes before and after each byte. The main window's
// start, and what a font saved by this program stores so that it opens
// again with them.
struct ExportOptions
{
    BitOrder order = BitOrder::Horizontal;
    QString prefix = CopyToText::defaultPrefix();
    QString delimiter = CopyToText::defaultDelimiter();

    bool operator==(const ExportOptions &other) const
    {
        return order == other.order && prefix == other.prefix && delimiter == other.delimiter;
    }
    bool operator!=(const ExportOptions &other) const { return !(*this == other); }
};
