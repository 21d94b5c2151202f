#include "u8x8font.h"

#include "bdfparser.h"
#include "codepoints.h"
#include "encoderinput.h"
#include "firmwareglyphs.h"
#include "inkbox.h"
#include "fontcodes.h"

#include <QtGlobal>

#include <algorithm>

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

// A font's tiles being filled: `across` x `down` tiles a glyph, its pixel
// (x, y) at column x and row y of its tiles.
class Tiles
{
public:
    Tiles(int first, int last, int across, int down)
        : m_first(first)
        , m_across(across)
        , m_down(down)
        , m_bytes(kHeaderSize + (last - first + 1) * qsizetype(across) * down * kTileBytes, '\0')
    {
        m_bytes[0] = char(first);
        m_bytes[1] = char(last);
        m_bytes[2] = char(across);
        m_bytes[3] = char(down);
    }

    // False where the pixel lies outside the tiles.
    bool set(int code, int x, int y)
    {
        if (x < 0 || y < 0 || x >= m_across * kTileSize || y >= m_down * kTileSize)
            return false;
        const qsizetype at = kHeaderSize + (code - m_first) * qsizetype(m_across) * m_down * kTileBytes
                             + (qsizetype(y / kTileSize) * m_across + x / kTileSize) * kTileBytes + x % kTileSize;
        m_bytes[at] = char(uchar(m_bytes[at]) | 1u << (y % kTileSize));
        return true;
    }

    QByteArray bytes() const { return m_bytes; }

private:
    int m_first = 0;
    int m_across = 0;
    int m_down = 0;
    QByteArray m_bytes;
};

// The set's glyphs and those left out, each placed by where it lies from
// the pen, the tiles' bottom on the baseline, in the tiles `leftOut` gives.
std::optional<QByteArray> encodeWhole(const GlyphSet &set, const LeftOut &leftOut, QString *error)
{
    int first = set.glyphs().front().codePoint, last = set.glyphs().back().codePoint;
    for (const StoredGlyph &glyph : leftOut.glyphs) {
        if (glyph.codePoint < 0 || glyph.codePoint > FontCodes::kLastEightBit || set.indexOf(glyph.codePoint) >= 0) {
            fail(error, QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyph.codePoint)));
            return std::nullopt;
        }
        first = std::min(first, glyph.codePoint);
        last = std::max(last, glyph.codePoint);
    }
    const int down = tilesFor(std::max(leftOut.rows, set.rows()));
    Tiles tiles(first, last, tilesFor(std::max(leftOut.cols, set.cols())), down);
    const int baseline = down * kTileSize;
    const QString outside = QStringLiteral("%1: its ink lies outside the font's tiles");
    for (const Glyph &glyph : set.glyphs()) {
        for (const auto &[x, y] : set.drawn(glyph).pixels()) {
            if (!tiles.set(glyph.codePoint, x, y + baseline)) {
                fail(error, outside.arg(FontCodes::name(glyph.codePoint)));
                return std::nullopt;
            }
        }
    }
    for (const StoredGlyph &glyph : leftOut.glyphs) {
        for (int r = 0; r < glyph.rows; ++r) {
            for (int c = 0; c < glyph.cols; ++c) {
                if (glyph.isSet(r, c) && !tiles.set(glyph.codePoint, glyph.x + c, glyph.y + r + baseline)) {
                    fail(error, outside.arg(FontCodes::name(glyph.codePoint)));
                    return std::nullopt;
                }
            }
        }
    }
    return tiles.bytes();
}
} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error, const LeftOut *leftOut)
{
    if (!EncoderInput::check(set, {QStringLiteral("a u8x8 font"), FontCodes::kLastEightBit}, error))
        return std::nullopt;
    if (leftOut)
        return encodeWhole(set, *leftOut, error);

    const int first = set.glyphs().front().codePoint;
    const int last = set.glyphs().back().codePoint;
    Tiles tiles(first, last, tilesFor(set.cols()), tilesFor(set.rows()));
    for (const Glyph &glyph : set.glyphs()) {
        for (int r = 0; r < set.rows(); ++r) {
            for (int c = 0; c < set.cols(); ++c) {
                if (glyph.bits.isSet(r, c))
                    tiles.set(glyph.codePoint, c, r);
            }
        }
    }
    return tiles.bytes();
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

qsizetype fontSize(QByteArrayView data)
{
    if (data.size() < kHeaderSize || uchar(data[0]) > uchar(data[1]) || data[2] == 0 || data[3] == 0)
        return -1;
    return kHeaderSize + qsizetype(uchar(data[1]) - uchar(data[0]) + 1) * uchar(data[2]) * uchar(data[3]) * kTileBytes;
}

namespace {
// One code's tiles in a font whose header has been checked: its pixels,
// and the box of its ink.
class TiledGlyph
{
public:
    TiledGlyph(QByteArrayView data, int code)
        : m_data(data)
        , m_across(uchar(data[2]))
        , m_start(kHeaderSize + (code - uchar(data[0])) * qsizetype(m_across) * uchar(data[3]) * kTileBytes)
    {
        const int down = uchar(data[3]);
        top = down * kTileSize;
        left = m_across * kTileSize;
        for (int r = 0; r < down * kTileSize; ++r) {
            for (int c = 0; c < m_across * kTileSize; ++c) {
                if (pixel(r, c)) {
                    top = std::min(top, r);
                    bottom = std::max(bottom, r);
                    left = std::min(left, c);
                    right = std::max(right, c);
                }
            }
        }
    }

    bool pixel(int row, int col) const
    {
        const qsizetype at = m_start + (qsizetype(row / kTileSize) * m_across + col / kTileSize) * kTileBytes
                             + col % kTileSize;
        return (uchar(m_data[at]) >> (row % kTileSize) & 1u) != 0;
    }
    bool inked() const { return bottom >= 0; }

    int top = 0;
    int bottom = -1;
    int left = 0;
    int right = -1;

private:
    QByteArrayView m_data;
    int m_across = 0;
    qsizetype m_start = 0;
};

// Each code's glyph trimmed to its ink where it fits a drawing, the tiles'
// bottom on the baseline; `larger` counts those that do not.
std::vector<DrawnGlyph> inkedGlyphs(QByteArrayView data, qsizetype *larger)
{
    const int first = uchar(data[0]), last = uchar(data[1]), across = uchar(data[2]);
    const int baseline = uchar(data[3]) * kTileSize;
    std::vector<DrawnGlyph> glyphs;
    for (int code = first; code <= last; ++code) {
        const TiledGlyph tiles(data, code);
        DrawnGlyph glyph{code, across * kTileSize, 0, 0, Drawing(0, 0)};
        if (tiles.inked()
            && (tiles.bottom - tiles.top >= Drawing::kMaxSize || tiles.right - tiles.left >= Drawing::kMaxSize)) {
            ++*larger;
            continue;
        }
        if (tiles.inked()) {
            glyph.x = tiles.left;
            glyph.y = tiles.top - baseline;
            glyph.bits = Drawing(tiles.bottom - tiles.top + 1, tiles.right - tiles.left + 1);
            for (int r = tiles.top; r <= tiles.bottom; ++r) {
                for (int c = tiles.left; c <= tiles.right; ++c)
                    glyph.bits.set(r - tiles.top, c - tiles.left, tiles.pixel(r, c));
            }
        }
        glyphs.push_back(glyph);
    }
    return glyphs;
}

// Every code's glyph trimmed to its ink, placed as inkedGlyphs() places it.
std::vector<StoredGlyph> storedGlyphs(QByteArrayView data)
{
    const int first = uchar(data[0]), last = uchar(data[1]), across = uchar(data[2]);
    const int baseline = uchar(data[3]) * kTileSize;
    std::vector<StoredGlyph> glyphs;
    for (int code = first; code <= last; ++code) {
        const TiledGlyph tiles(data, code);
        if (!tiles.inked()) {
            glyphs.emplace_back(code, across * kTileSize, 0, 0, 0, 0);
            continue;
        }
        StoredGlyph glyph(code, across * kTileSize, tiles.left, tiles.top - baseline,
                                          tiles.right - tiles.left + 1, tiles.bottom - tiles.top + 1);
        for (int r = tiles.top; r <= tiles.bottom; ++r) {
            for (int c = tiles.left; c <= tiles.right; ++c) {
                if (tiles.pixel(r, c))
                    glyph.set(r - tiles.top, c - tiles.left);
            }
        }
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}
} // namespace

U8g2Source::Opened open(QByteArrayView data)
{
    U8g2Source::Opened opened;
    const qsizetype size = fontSize(data);
    if (size < 0 || data.size() < size) {
        // decode() words what is wrong with the header or the length.
        decode(data, &opened.error);
        return opened;
    }
    const int across = uchar(data[2]), down = uchar(data[3]);
    // Glyphs opened in part are kept whole in a BDF font, whose boxes stop
    // at kMaxBox: beyond it, no font opened from the tiles could be saved.
    const int maxTiles = BdfFormat::BdfParser::kMaxBox / kTileSize;
    if (across > maxTiles || down > maxTiles) {
        const bool wide = across > maxTiles;
        const int tiles = wide ? across : down;
        opened.error = (wide ? QStringLiteral("byte 2: %1 tiles across make glyphs %2 pixels wide, more than the %3 a font holds here")
                             : QStringLiteral("byte 3: %1 tiles down make glyphs %2 pixels high, more than the %3 a font holds here"))
                               .arg(tiles)
                               .arg(tiles * kTileSize)
                               .arg(BdfFormat::BdfParser::kMaxBox);
        return opened;
    }
    if (across * kTileSize > GlyphSet::kMaxSize || down * kTileSize > GlyphSet::kMaxSize) {
        qsizetype larger = 0;
        const std::vector<DrawnGlyph> glyphs = inkedGlyphs(data, &larger);
        FirmwareGlyphs::Placed placed = FirmwareGlyphs::place(glyphs);
        if (placed.fontGlyphs > 0 || larger > 0)
            opened.fontGlyphs = qsizetype(glyphs.size()) + larger;
        // Written back, the glyphs keep their tiles, which the set's cell
        // does not tell.
        opened.whole = storedGlyphs;
        opened.wholeCols = across * kTileSize;
        opened.wholeRows = down * kTileSize;
        opened.set = std::move(placed.set);
        return opened;
    }
    const std::optional<std::vector<DrawnGlyph>> glyphs = decode(data, &opened.error);
    if (!glyphs)
        return opened;
    const qsizetype glyphBytes = qsizetype(across) * down * kTileBytes;
    for (const DrawnGlyph &drawn : *glyphs)
        opened.starts.emplace_back(drawn.codePoint, kHeaderSize + (drawn.codePoint - uchar(data[0])) * glyphBytes);
    GlyphSet set(across * kTileSize, down * kTileSize);
    // u8x8 has no baseline: the tiles stand on it.
    set.ascent = set.rows();
    set.reserve(qsizetype(glyphs->size()));
    for (const DrawnGlyph &drawn : *glyphs) {
        Glyph glyph;
        glyph.codePoint = drawn.codePoint;
        glyph.bits = drawn.bits;
        set.append(std::move(glyph));
    }
    opened.set = std::move(set);
    return opened;
}

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    return U8g2Source::find(source, U8g2Source::Kind::U8x8, open);
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    return U8g2Source::read(source, font, path, U8g2Source::Kind::U8x8, open);
}

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources,
                    const LeftOut *leftOut)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<QByteArray> font = encode(set, &error, leftOut);
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
                                    .arg(CSource::glyphCount(FirmwareGlyphs::count(set, leftOut)))
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
        out += CSource::comment(CSource::codeComment(set, code, kNoGlyph, sources, leftOut), indent);
        out += CSource::byteLines(font->mid(kHeaderSize + (code - first) * glyphBytes, glyphBytes),
                                  kTileBytes, indent);
    }
    out += QLatin1String("};\n");
    return {out, QString()};
}

} // namespace U8x8Font
