#pragma once

#include "glyphset.h"
#include "storedglyph.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

namespace BdfFormat {
struct Source;
}

// What a reader gives: a set, or one message that names the file, where in
// it the fault lies and what it is, and no set. A set may come with notes:
// what the reader passed over or made good, a sentence each.
struct ReadResult
{
    // So that every reader's {set, QString()} still reads as it stands.
    ReadResult(std::optional<GlyphSet> set = std::nullopt, QString error = QString(), QStringList notes = {})
        : set(std::move(set))
        , error(std::move(error))
        , notes(std::move(notes))
    {
    }

    std::optional<GlyphSet> set;
    QString error;
    QStringList notes;
    // Where the set holds only some of the font's glyphs (those that fit
    // the largest matrix): how many the font holds. 0 when it holds them all.
    qsizetype fontGlyphs = 0;
    // For a BDF font opened in part, the font whole, for the set to be saved
    // into it.
    std::shared_ptr<const BdfFormat::Source> bdfSource;
    // For a font of a form that is written back in place (a display
    // library's font in C source) opened in part, the glyphs left out, to
    // be written back with the set.
    std::shared_ptr<const LeftOut> leftOut;
    // For a font read from source code that holds fonts for display
    // libraries, its C name there, so that it can be saved back in its place.
    QString sourceFont;

    bool ok() const { return set.has_value(); }

    static ReadResult failure(const QString &message) { return {std::nullopt, message}; }
    // "font.bdf: line 12: BBX has a negative width"
    static ReadResult atLine(const QString &file, qint64 line, const QString &what)
    {
        return failure(QStringLiteral("%1: line %2: %3").arg(file).arg(line).arg(what));
    }
    // "font.psf: byte 4: the header says 512 glyphs, the file holds 300"
    static ReadResult atByte(const QString &file, qint64 offset, const QString &what)
    {
        return failure(QStringLiteral("%1: byte %2: %3").arg(file).arg(offset).arg(what));
    }
    static ReadResult inFile(const QString &file, const QString &what)
    {
        return failure(QStringLiteral("%1: %2").arg(file, what));
    }
};
