#pragma once

#include "fontexport.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// What the export dialog was left at for a font: kept while the program
// runs, so that the dialog opens again as it was, and in a BDF file this
// program saves as KELVOR_EXPORT_ properties, so that it opens so after the
// next start too. The code points and remaps are kept as typed, right or
// wrong: the dialog says what is wrong with them.
struct ExportChoices
{
    using Properties = QList<QPair<QByteArray, QByteArray>>;

    static constexpr int kDisplayWidth = 128;
    static constexpr int kDisplayHeight = 64;
    static constexpr int kLargestDisplay = 1024;

    FontExport::Format format = FontExport::Format::Lines;
    QString name; // empty for the one the font's file name gives
    bool comments = false;
    FontExport::PageOrder pageOrder = FontExport::PageOrder::Column;
    bool widths = false;
    QString codePoints;
    QString remaps;
    QString sample = defaultSample();
    int displayWidth = kDisplayWidth;
    int displayHeight = kDisplayHeight;

    static QString defaultSample();
    // The C name a font gets from its file: "5x7.bdf" gives "font_5x7".
    static QString defaultName(const QString &fontPath);
    // The same as a name `format` takes: a file named after a name the
    // library's header declares ("GFXfont.bdf") gives that name and a "_".
    static QString defaultName(const QString &fontPath, FontExport::Format format);

    // The choices that differ from the defaults, as properties: strings
    // quoted as BDF quotes them, a line break in the sample as "\n" and a
    // backslash as "\\" (a property is one line), the rest as numbers.
    Properties properties() const;
    // The choices in `properties`; one missing or unreadable is the default.
    static ExportChoices fromProperties(const Properties &properties);
    // Whether a property of that name is one of the choices.
    static bool isChoice(const QByteArray &name);

    bool operator==(const ExportChoices &other) const;
    bool operator!=(const ExportChoices &other) const { return !(*this == other); }
};
