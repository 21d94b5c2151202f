#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// What kind of glyph set a file holds, as far as QtCore can tell: BDF, PSF
// and outline fonts by their first bytes, and by their names where the bytes
// do not tell; source code by its name where its first bytes are plain text
// that no picture format claims. Whether a file is a picture only the
// picture readers know (their formats come with Qt's plugins), so
// GlyphSetFile::kindOf asks them where this has no answer.
namespace FontKind {

enum class Kind { Bdf, Psf, Array, Image, OutlineFont };

// Pictures and outline fonts are read with QtGui.
constexpr bool needsQtGui(Kind kind)
{
    return kind == Kind::Image || kind == Kind::OutlineFont;
}

// How many of a file's first bytes tell its kind.
constexpr qsizetype kHeadBytes = 512;

// The first bytes of the file, enough to tell its kind, unpacked where it is
// gzip-compressed; empty where it cannot be read.
QByteArray head(const QString &path);

// The kind that the first bytes give (PSF, BDF, an outline font), if any.
std::optional<Kind> fromContent(const QByteArray &head);

// The kind that the name gives whatever the picture formats are: BDF, PSF,
// an outline font or source code by their suffixes (a trailing .gz left
// out); none for any other name.
std::optional<Kind> fromName(const QString &fileName);
// The suffixes of source code, without the dot: "c", "h", ...
const QStringList &arraySuffixes();

// Whether a picture reader could take these first bytes for a picture: all
// but plain text, and text that begins as some picture formats do.
bool mayBePicture(const QByteArray &head);

// The kind of a file that begins with `head` (unpacked) where QtCore
// settles it; none where only the picture readers can tell.
std::optional<Kind> withoutPictures(const QByteArray &head, const QString &fileName);
std::optional<Kind> withoutPictures(const QString &path);

} // namespace FontKind
