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

// What a kind of file is called and how its files are named, for the open
// dialog's filter and for fromName().
struct KindEntry
{
    Kind kind;
    // Its line in the open dialog's filter: "BDF fonts".
    QString title;
    // Lower case, without the dot. None for pictures: their suffixes are
    // the formats of the picture readers that Qt's plugins bring.
    QStringList suffixes;
    // Whether its files come gzip-compressed too ("5x7.bdf.gz"), so that
    // the filter offers them.
    bool gzip = false;
};
// Every kind once, in the order the open dialog lists them.
const QList<KindEntry> &kinds();

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
// an outline font or source code by the suffixes of kinds() (a trailing .gz
// left out); none for any other name.
std::optional<Kind> fromName(const QString &fileName);

// Whether the name ends in ".gz", in any case.
bool isGzipName(const QString &fileName);
// The suffix that tells the kind, in lower case: the last one once a
// trailing ".gz" is left out ("bdf" for "5x7.BDF.gz").
QString suffixOf(const QString &fileName);
// The file's name without its folder, its suffix and a trailing ".gz":
// "5x7" for "fonts/5x7.bdf.gz", "a.b" for "a.b.psf".
QString stem(const QString &path);

// Whether a picture reader could take these first bytes for a picture: all
// but plain text, and text that begins as some picture formats do.
bool mayBePicture(const QByteArray &head);

// The kind of a file that begins with `head` (unpacked) where QtCore
// settles it; none where only the picture readers can tell.
std::optional<Kind> withoutPictures(const QByteArray &head, const QString &fileName);
std::optional<Kind> withoutPictures(const QString &path);

} // namespace FontKind
