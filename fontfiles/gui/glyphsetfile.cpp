#include "glyphsetfile.h"

#include "fontfile.h"
#include "psfformat.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>

#include <optional>

namespace GlyphSetFile {

namespace {

// The picture formats this Qt reads, as suffixes: PNG and BMP first, the
// others as the image plugins installed add them.
QStringList imageSuffixes()
{
    QStringList suffixes = {"png", "bmp"};
    QStringList others;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        others << QString::fromLatin1(format).toLower();
    others.sort();
    suffixes << others;
    suffixes.removeDuplicates();
    return suffixes;
}

// Picture formats whose files are plain text (XBM is C source itself): taken
// for pictures by their name only, never by their content.
bool isTextImageFormat(const QByteArray &format)
{
    static const QList<QByteArray> formats = {"xbm", "xpm", "pbm", "pgm", "ppm"};
    return formats.contains(format.toLower());
}

bool isImage(const QByteArray &head)
{
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    return !format.isEmpty() && !isTextImageFormat(format);
}

Kind kindOfName(const QString &name)
{
    if (const std::optional<Kind> kind = FontKind::fromName(name))
        return *kind;
    return imageSuffixes().contains(FontKind::suffixOf(name)) ? Kind::Image : Kind::Array;
}

// "*.psf *.psfu", and "*.psf.gz *.psfu.gz" after them for a kind whose
// files come compressed.
QString patterns(const FontKind::KindEntry &entry)
{
    const QStringList suffixes = entry.kind == Kind::Image ? imageSuffixes() : entry.suffixes;
    QStringList result;
    for (const QString &suffix : suffixes)
        result << QStringLiteral("*.") + suffix;
    if (entry.gzip) {
        for (const QString &suffix : suffixes)
            result << QStringLiteral("*.%1.gz").arg(suffix);
    }
    return result.join(QLatin1Char(' '));
}

} // namespace

Kind kindOf(const QString &path)
{
    return kindOf(FontKind::head(path), QFileInfo(path).fileName());
}

Kind kindOf(const QByteArray &head, const QString &fileName)
{
    if (const std::optional<Kind> kind = FontKind::fromContent(head))
        return *kind;
    if (isImage(head))
        return Kind::Image;
    return kindOfName(fileName);
}

ReadResult open(const QString &path, const Options &options)
{
    QByteArray bytes;
    QString error;
    if (!FontFile::load(path, &bytes, &error))
        return ReadResult::failure(error);
    const Kind kind = kindOf(bytes.left(FontKind::kHeadBytes), QFileInfo(path).fileName());
    return read(bytes, path, kind, options);
}

ReadResult read(const QByteArray &bytes, const QString &path, Kind kind, const Options &options)
{
    switch (kind) {
    case Kind::Bdf:
        return BdfFormat::read(bytes, path, options.subset);
    case Kind::Psf:
        return PsfFormat::read(bytes, path, options.subset);
    case Kind::Image:
        return ImageSheet::read(bytes, path, options.image);
    case Kind::OutlineFont:
        return OutlineFont::renderData(bytes, path, options.outline);
    case Kind::Array:
        break;
    }
    return FontFile::read(bytes, path, kind, options.array);
}

FontSubset::Scan scan(const QByteArray &bytes, const QString &path, Kind kind)
{
    if (kind == Kind::Bdf)
        return BdfFormat::scan(bytes, path);
    if (kind == Kind::Psf)
        return PsfFormat::scan(bytes, path);
    FontSubset::Scan none;
    none.error = ReadResult::inFile(path, QStringLiteral("only BDF and PSF fonts open in part")).error;
    return none;
}

ReadResult openBdf(const QString &path, const CodePoints::Ranges &ranges)
{
    QByteArray bytes;
    QString error;
    if (!FontFile::load(path, &bytes, &error))
        return ReadResult::failure(error);
    return BdfFormat::readFor(bytes, path, ranges);
}

QString dialogFilter()
{
    QStringList all;
    QStringList lines;
    for (const FontKind::KindEntry &entry : FontKind::kinds()) {
        const QString kindPatterns = patterns(entry);
        all << kindPatterns;
        lines << QStringLiteral("%1 (%2)").arg(entry.title, kindPatterns);
    }
    lines.prepend(QStringLiteral("All fonts (%1)").arg(all.join(QLatin1Char(' '))));
    lines << QStringLiteral("All files (*)");
    return lines.join(QStringLiteral(";;"));
}

} // namespace GlyphSetFile
