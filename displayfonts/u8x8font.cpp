#include "u8x8font.h"

#include "codepoints.h"
#include "encoderinput.h"
#include "fontcodes.h"

#include <QtGlobal>

namespace U8x8Font {

namespace {

constexpr int kTileSize = 8; // pixels across and down

int tilesFor(int pixels)
{
    return (pixels + kTileSize - 1) / kTileSize;
}

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error)
{
    if (!EncoderInput::check(set, {QStringLiteral("a u8x8 font"), FontCodes::kLastEightBit}, error))
        return std::nullopt;

    const int first = set.glyphs().front().codePoint;
    const int last = set.glyphs().back().codePoint;
    const int across = tilesFor(set.cols());
    const int down = tilesFor(set.rows());
    const qsizetype glyphBytes = qsizetype(across) * down * kTileBytes;
    QByteArray out(kHeaderSize + (last - first + 1) * glyphBytes, '\0');
    out[0] = char(first);
    out[1] = char(last);
    out[2] = char(across);
    out[3] = char(down);
    for (const Glyph &glyph : set.glyphs()) {
        qsizetype offset = kHeaderSize + (glyph.codePoint - first) * glyphBytes;
        for (int tileRow = 0; tileRow < down; ++tileRow) {
            for (int tileCol = 0; tileCol < across; ++tileCol) {
                for (int c = 0; c < kTileSize; ++c, ++offset) {
                    uint byte = 0;
                    for (int r = 0; r < kTileSize; ++r) {
                        if (glyph.bits.isSet(tileRow * kTileSize + r, tileCol * kTileSize + c))
                            byte |= 1u << r;
                    }
                    out[offset] = char(byte);
                }
            }
        }
    }
    return out;
}

std::optional<std::vector<DrawnGlyph>> decode(QByteArrayView data, QString *error)
{
    const auto failAt = [error](qsizetype offset, const QString &what) {
        fail(error, QStringLiteral("byte %1: %2").arg(offset).arg(what));
        return std::nullopt;
    };
    if (data.size() < kHeaderSize)
        return failAt(data.size(), QStringLiteral("the data ends within the 4-byte header"));
    const int first = uchar(data[0]);
    const int last = uchar(data[1]);
    const int across = uchar(data[2]);
    const int down = uchar(data[3]);
    if (first > last)
        return failAt(1, QStringLiteral("the last code, %1, comes before the first, %2")
                                 .arg(FontCodes::name(last), FontCodes::name(first)));
    const int maxTiles = Drawing::kMaxSize / kTileSize;
    if (across < 1 || across > maxTiles)
        return failAt(2, QStringLiteral("%1 tiles across; glyphs here are 1 or 2 tiles (up to 16 pixels) wide").arg(across));
    if (down < 1 || down > maxTiles)
        return failAt(3, QStringLiteral("%1 tiles down; glyphs here are 1 or 2 tiles (up to 16 pixels) high").arg(down));
    const qsizetype glyphBytes = qsizetype(across) * down * kTileBytes;
    const qsizetype needed = kHeaderSize + (last - first + 1) * glyphBytes;
    if (data.size() < needed)
        return failAt(data.size(), QStringLiteral("the data ends within the glyphs; %1 to %2 take %3 bytes")
                                           .arg(FontCodes::name(first), FontCodes::name(last))
                                           .arg(needed));

    std::vector<DrawnGlyph> glyphs;
    glyphs.reserve(size_t(last - first + 1));
    qsizetype offset = kHeaderSize;
    for (int code = first; code <= last; ++code) {
        DrawnGlyph glyph{code, across * kTileSize, 0, 0, Drawing(down * kTileSize, across * kTileSize)};
        for (int tileRow = 0; tileRow < down; ++tileRow) {
            for (int tileCol = 0; tileCol < across; ++tileCol) {
                for (int c = 0; c < kTileSize; ++c, ++offset) {
                    const uint byte = uchar(data[offset]);
                    for (int r = 0; r < kTileSize; ++r)
                        glyph.bits.set(tileRow * kTileSize + r, tileCol * kTileSize + c, byte >> r & 1u);
                }
            }
        }
        glyphs.push_back(glyph);
    }
    return glyphs;
}

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<QByteArray> font = encode(set, &error);
    if (!font)
        return {QString(), error};

    const QString indent = QStringLiteral("    ");
    const int first = uchar(font->at(0));
    const int last = uchar(font->at(1));
    const int across = uchar(font->at(2));
    const int down = uchar(font->at(3));
    const QString title = set.fontName.isEmpty() ? name : QString::fromUtf8(set.fontName);
    QString out;
    out += CSource::comment(QStringLiteral("%1: %2 from %3 to %4, %5 x %6 cells in %7 x %8 tiles, as a u8x8 font "
                                           "of %9 bytes.")
                                    .arg(title)
                                    .arg(CSource::glyphCount(set.size()))
                                    .arg(CodePoints::name(first), CodePoints::name(last))
                                    .arg(set.cols())
                                    .arg(set.rows())
                                    .arg(across)
                                    .arg(down)
                                    .arg(font->size()));
    out += CSource::comment(QStringLiteral("u8x8_SetFont(&u8x8, %1); then u8x8_DrawString(&u8x8, column, row, text) "
                                           "writes in whole tiles, each cell in its tiles' top-left corner.")
                                    .arg(name));
    out += CSource::libraryInclude(u"u8x8");
    out += QStringLiteral("const uint8_t %1[%2] U8X8_FONT_SECTION(\"%1\") = {\n").arg(name).arg(font->size());
    out += CSource::comment(u"first code, last code, tiles across, tiles down", indent);
    out += CSource::byteLines(font->left(kHeaderSize), 16, indent);
    const qsizetype glyphBytes = qsizetype(across) * down * kTileBytes;
    for (int code = first; code <= last; ++code) {
        out += CSource::comment(CSource::codeComment(set, code, u", no glyph", sources), indent);
        out += CSource::byteLines(font->mid(kHeaderSize + (code - first) * glyphBytes, glyphBytes),
                                  kTileBytes, indent);
    }
    out += QLatin1String("};\n");
    return {out, QString()};
}

} // namespace U8x8Font
