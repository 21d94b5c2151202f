#pragma once

#include "bitorder.h"
#include "commandoptions.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// What the export command was asked for, read from its arguments without
// looking at any file. An option not given stays unset, so that a font's own
// stored options and the readers' defaults can fill it in.
struct ExportArguments
{
    enum class Action { Export, Help, Version };

    Action action = Action::Export;
    QString font;
    FontExport::Format format = FontExport::Format::Lines;
    // --format bdf: the font saved as BDF rather than exported.
    bool bdf = false;
    QString fontName; // --font: which font of a source file
    QString name; // empty: made from the font's file name
    std::optional<BitOrder> order;
    std::optional<QString> prefix;
    std::optional<QString> delimiter;
    bool comments = false;
    QList<QPair<int, int>> ranges;
    CodePoints::Remaps remaps;
    FontExport::PageOrder pageOrder = FontExport::PageOrder::Column;
    bool widths = false;
    QString outputFile;  // -o; empty: standard output
    QString checkFile;   // --check; empty: export
    std::optional<QPair<int, int>> size; // columns, rows
    std::optional<int> firstCodePoint;
    std::optional<int> threshold;
    std::optional<int> pixelSize;
    // The options given, in the table's order.
    QList<CommandOptions::Id> given;

    // Reads the arguments that follow "export". Returns what is wrong, in one
    // sentence, or an empty string.
    QString parse(const QStringList &arguments);

    // The first option given that does not apply to a file of `kind`; none
    // when all of them do.
    std::optional<CommandOptions::Id> unusedBy(FontKind::Kind kind) const;

    // The export's options as given, else as the font stores them (its
    // output settings and export choices), else the window's start.
    FontExport::Options exportOptions(const GlyphSet &set) const;
};
