#pragma once

#include "glyphset.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What the export command was asked for, read from its arguments without
// looking at any file. An option not given stays unset, so that a font's own
// stored options and the readers' defaults can fill it in.
struct ExportArguments
{
    enum class Action { Export, Help, Version };

    Action action = Action::Export;
    QString font;
    std::optional<BitOrder> order;
    std::optional<QString> prefix;
    std::optional<QString> delimiter;
    bool comments = false;
    QList<QPair<int, int>> ranges;
    QString outputFile;  // -o; empty: standard output
    QString checkFile;   // --check; empty: export
    std::optional<QPair<int, int>> size; // columns, rows
    std::optional<int> firstCodePoint;
    std::optional<int> threshold;
    std::optional<int> pixelSize;

    // Reads the arguments that follow "export". Returns what is wrong, in one
    // sentence, or an empty string.
    QString parse(const QStringList &arguments);

    // "U+0041", "0x41" or "65": false unless it is one code point.
    static bool parseCode(QStringView text, int *code);
    // "A-B,C,...": ranges of codes, each A <= B. Returns what is wrong or "".
    static QString parseRanges(QStringView text, QList<QPair<int, int>> *ranges);
};
