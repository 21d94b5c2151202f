#pragma once

#include "codepoints.h"
#include "csourcereader.h"
#include "exportchoices.h"
#include "fontexport.h"
#include "glyphset.h"

#include <QByteArray>
#include <QList>

// What the readers of display fonts' C source are checked by: the export a
// font read back asks for, and the data of a C file however it is written.
namespace {

// The export a set read back asks for: the choices it carries, its order.
inline FontExport::Options storedOptions(const GlyphSet &set)
{
    const ExportChoices choices = ExportChoices::fromProperties(set.properties);
    FontExport::Options options;
    options.format = choices.format;
    options.name = choices.name;
    options.pageOrder = choices.pageOrder;
    options.widths = choices.widths;
    options.lines.output = set.exportOptions.value_or(ExportOptions());
    QString error;
    if (!choices.remaps.isEmpty())
        CodePoints::parseRemaps(choices.remaps, &options.remaps, &error);
    return options;
}

// Every number and string of a file's initializers, in order, as the
// compiler lays out their bytes (a string with its terminating zero, which
// u8g2's converter counts in its fonts' arrays): the same for the same font
// however its literals are written.
inline void appendData(const CSourceReader::Value &value, QList<qint64> *data)
{
    using Kind = CSourceReader::Value::Kind;
    if (value.kind == Kind::Number)
        data->append(value.number);
    for (const char byte : value.kind == Kind::String ? value.text + '\0' : QByteArray())
        data->append(uchar(byte));
    for (const CSourceReader::Value &item : value.items)
        appendData(item, data);
}

inline QList<qint64> dataOf(const QByteArray &text)
{
    QList<qint64> data;
    for (const CSourceReader::Declaration &declaration : CSourceReader::read(text).declarations)
        appendData(declaration.value, &data);
    return data;
}

} // namespace
