#include "fontkind.h"

#include "fontfile.h"
#include "psfformat.h"

#include <QFile>
#include <QFileInfo>

#include <zlib.h>

namespace FontKind {

namespace {

// How much of a gzip-compressed file is unpacked to find the head.
constexpr qint64 kPackedHeadBytes = 64 * 1024;
// How far the picture readers look into text for a picture's mark (an SVG
// reader looks at the first 16 bytes).
constexpr qsizetype kTextMarkBytes = 64;

// The first bytes that a gzip stream unpacks to; as many as it holds when
// it is shorter or damaged further on.
QByteArray unpackedHead(const QByteArray &packed)
{
    QByteArray head(kHeadBytes, Qt::Uninitialized);
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

bool isTextByte(uchar byte)
{
    return byte >= 0x20 ? byte != 0x7F : (byte >= '\t' && byte <= '\r');
}

QString withoutGzip(const QString &fileName)
{
    return isGzipName(fileName) ? fileName.chopped(3) : fileName;
}

} // namespace

const QList<KindEntry> &kinds()
{
    static const QList<KindEntry> entries = {
            {Kind::Bdf, QStringLiteral("BDF fonts"), {"bdf"}, true},
            {Kind::Psf, QStringLiteral("Console fonts"), {"psf", "psfu"}, true},
            {Kind::Array, QStringLiteral("Source arrays"), {"c", "h", "asm", "inc", "s", "txt"}, false},
            {Kind::Image, QStringLiteral("Pictures"), {}, false},
            {Kind::OutlineFont, QStringLiteral("TrueType and OpenType fonts"), {"ttf", "otf", "ttc", "otc"}, false},
    };
    return entries;
}

QByteArray head(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray head = file.read(kHeadBytes);
    if (FontFile::isGzip(head)) {
        file.seek(0);
        head = unpackedHead(file.read(kPackedHeadBytes));
    }
    return head;
}

std::optional<Kind> fromContent(const QByteArray &head)
{
    if (PsfFormat::isPsf(head))
        return Kind::Psf;
    if (head.startsWith("STARTFONT"))
        return Kind::Bdf;
    if (head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) || head.startsWith("OTTO") || head.startsWith("true")
        || head.startsWith("ttcf")) {
        return Kind::OutlineFont;
    }
    return std::nullopt;
}

std::optional<Kind> fromName(const QString &fileName)
{
    const QString suffix = suffixOf(fileName);
    for (const KindEntry &entry : kinds()) {
        if (entry.suffixes.contains(suffix))
            return entry.kind;
    }
    return std::nullopt;
}

bool isGzipName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".gz"), Qt::CaseInsensitive);
}

QString suffixOf(const QString &fileName)
{
    return QFileInfo(withoutGzip(fileName)).suffix().toLower();
}

QString stem(const QString &path)
{
    return QFileInfo(withoutGzip(QFileInfo(path).fileName())).completeBaseName();
}

bool mayBePicture(const QByteArray &head)
{
    for (const char byte : head) {
        if (!isTextByte(uchar(byte)))
            return true;
    }
    // Picture formats whose files begin with printable text: BMP ("BM" is
    // all its reader checks), GIF, Radiance, PostScript, Photoshop, GIMP,
    // QOI, IFF, RIFF (WebP) and Apple's icons; and SVG, whose reader looks
    // for its tags near the start.
    static const char *const kMarks[] = {"BM", "GIF8", "#?", "%!", "8BPS", "gimp xcf", "qoif", "FORM", "RIFF", "icns"};
    for (const char *mark : kMarks) {
        if (head.startsWith(mark))
            return true;
    }
    const QByteArray start = head.left(kTextMarkBytes);
    return start.contains("<?xml") || start.contains("<svg") || start.contains("<!");
}

std::optional<Kind> withoutPictures(const QByteArray &head, const QString &fileName)
{
    if (const std::optional<Kind> kind = fromContent(head))
        return kind;
    if (mayBePicture(head))
        return std::nullopt;
    return fromName(fileName);
}

std::optional<Kind> withoutPictures(const QString &path)
{
    return withoutPictures(head(path), QFileInfo(path).fileName());
}

} // namespace FontKind
