#include "glyphsetfile.h"

#include "bdfformat.h"
#include "fontfile.h"
#include "psfformat.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>

#include <zlib.h>

#include <optional>

namespace GlyphSetFile {

namespace {

// Enough of a file's start to tell its kind.
constexpr qint64 kHeadBytes = 512;
// How much of a gzip-compressed file is unpacked to find the head.
constexpr qint64 kPackedHeadBytes = 64 * 1024;
// The code points that fit, suggested in one line: as many whole ranges as
// fit this many characters.
constexpr qsizetype kSuggestionChars = 60;

const QStringList &outlineSuffixes()
{
    static const QStringList suffixes = {"ttf", "otf", "ttc", "otc"};
    return suffixes;
}

const QStringList &arraySuffixes()
{
    static const QStringList suffixes = {"c", "h", "asm", "inc", "s", "txt"};
    return suffixes;
}

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

// The first bytes that a gzip stream unpacks to; as many as it holds when
// it is shorter or damaged further on.
QByteArray unpackedHead(const QByteArray &packed)
{
    QByteArray head(int(kHeadBytes), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef *>(head.data());
    stream.avail_out = uInt(head.size());
    while (stream.avail_out > 0) {
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK)
            break;
    }
    head.truncate(head.size() - int(stream.avail_out));
    inflateEnd(&stream);
    return head;
}

// Picture formats whose files are plain text (XBM is C source itself): taken
// for pictures by their name only, never by their content.
bool isTextImageFormat(const QByteArray &format)
{
    static const QList<QByteArray> formats = {"xbm", "xpm", "pbm", "pgm", "ppm"};
    return formats.contains(format.toLower());
}

std::optional<Kind> kindOfContent(const QByteArray &head)
{
    if (PsfFormat::isPsf(head))
        return Kind::Psf;
    if (head.startsWith("STARTFONT"))
        return Kind::Bdf;
    if (head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) || head.startsWith("OTTO") || head.startsWith("true")
        || head.startsWith("ttcf")) {
        return Kind::OutlineFont;
    }
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (!format.isEmpty() && !isTextImageFormat(format))
        return Kind::Image;
    return std::nullopt;
}

Kind kindOfName(QString name)
{
    if (name.endsWith(QLatin1String(".gz"), Qt::CaseInsensitive))
        name.chop(3);
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("bdf"))
        return Kind::Bdf;
    if (suffix == QLatin1String("psf") || suffix == QLatin1String("psfu"))
        return Kind::Psf;
    if (outlineSuffixes().contains(suffix))
        return Kind::OutlineFont;
    if (!arraySuffixes().contains(suffix) && imageSuffixes().contains(suffix))
        return Kind::Image;
    return Kind::Array;
}

// The first of `ranges`, as many as a message can show.
QString suggestion(const CodePoints::Ranges &ranges)
{
    CodePoints::Ranges shown;
    for (const auto &range : ranges) {
        shown.append(range);
        if (shown.size() > 1 && CodePoints::format(shown).size() > kSuggestionChars) {
            shown.removeLast();
            break;
        }
    }
    return CodePoints::format(shown);
}

QString patterns(const QStringList &suffixes)
{
    QStringList result;
    for (const QString &suffix : suffixes)
        result << QStringLiteral("*.") + suffix;
    return result.join(QLatin1Char(' '));
}

} // namespace

Kind kindOf(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray head = file.read(kHeadBytes);
        if (FontFile::isGzip(head)) {
            file.seek(0);
            head = unpackedHead(file.read(kPackedHeadBytes));
        }
        if (const std::optional<Kind> kind = kindOfContent(head))
            return *kind;
    }
    return kindOfName(QFileInfo(path).fileName());
}

ReadResult open(const QString &path, const Options &options)
{
    const Kind kind = kindOf(path);
    QByteArray bytes;
    QString error;
    if (!FontFile::load(path, &bytes, &error))
        return ReadResult::failure(error);
    switch (kind) {
    case Kind::Bdf:
        return BdfFormat::read(bytes, path, options.bdf);
    case Kind::Psf:
        return PsfFormat::read(bytes, path);
    case Kind::Image:
        return ImageSheet::read(bytes, path, options.image);
    case Kind::OutlineFont:
        return OutlineFont::renderData(bytes, path, options.outline);
    case Kind::Array:
        break;
    }
    return ArrayFormat::read(QString::fromUtf8(bytes), path, options.array);
}

BdfFormat::Scan scanBdf(const QString &path)
{
    QByteArray bytes;
    BdfFormat::Scan scan;
    if (!FontFile::load(path, &bytes, &scan.error))
        return scan;
    return BdfFormat::scan(bytes, path);
}

ReadResult openBdf(const QString &path, const CodePoints::Ranges &ranges)
{
    QByteArray bytes;
    QString error;
    if (!FontFile::load(path, &bytes, &error))
        return ReadResult::failure(error);
    ReadResult whole = BdfFormat::read(bytes, path);
    if (whole.ok())
        return whole;
    const BdfFormat::Scan scan = BdfFormat::scan(bytes, path);
    if (!scan.ok())
        return whole; // damaged, not too large
    ReadResult result = std::move(whole);
    CodePoints::Ranges fitting;
    if (!ranges.isEmpty()) {
        result = BdfFormat::read(bytes, path, {ranges});
        if (result.ok())
            return result;
        fitting = BdfFormat::defaultSubset(scan, ranges);
    }
    if (fitting.isEmpty())
        fitting = BdfFormat::defaultSubset(scan);
    if (!fitting.isEmpty())
        result.error += QStringLiteral("; these code points fit: %1").arg(suggestion(fitting));
    return result;
}

QString dialogFilter()
{
    const QString bdf = QStringLiteral("*.bdf");
    const QString psf = QStringLiteral("*.psf *.psf.gz");
    const QString arrays = patterns(arraySuffixes());
    const QString pictures = patterns(imageSuffixes());
    const QString outline = QStringLiteral("*.ttf *.otf");
    const QStringList all = {bdf, psf, arrays, pictures, outline};
    return QStringList{QStringLiteral("All fonts (%1)").arg(all.join(QLatin1Char(' '))),
                       QStringLiteral("BDF fonts (%1)").arg(bdf),
                       QStringLiteral("Console fonts (%1)").arg(psf),
                       QStringLiteral("Source arrays (%1)").arg(arrays),
                       QStringLiteral("Pictures (%1)").arg(pictures),
                       QStringLiteral("TrueType and OpenType fonts (%1)").arg(outline),
                       QStringLiteral("All files (*)")}
        .join(QStringLiteral(";;"));
}

} // namespace GlyphSetFile
