#include "max72xxfont.h"

#include "encoderinput.h"
#include "exportchoices.h"
#include "firmwareglyphs.h"
#include "firmwaresource.h"
#include "fontcodes.h"
#include "fontexport.h"
#include "oledfont.h"
#include "u8g2source.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace Max72xxFont {

namespace {

using CSourceReader::Declaration;
using CSourceReader::Value;

constexpr int kMaxByte = 0xFF;
constexpr int kVersion1 = 1; // codes up to 255, a byte each
constexpr int kVersion2 = 2; // codes up to 0xFFFF, two bytes each, high first
constexpr int kVersion1Header = 5;
constexpr int kVersion2Header = 7;
// What the library takes for a font without the header, or with a version
// it does not know.
constexpr int kBareLast = 0xFF;

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

using Placed = FirmwareGlyphs::Inked;

// A glyph's width byte and columns, `shift` pixels moved right, its top row
// `baseline` rows above the pen; or nothing with the reason in `error`.
std::optional<QByteArray> charBytes(const Placed &glyph, int shift, int baseline, int rows, QString *error)
{
    const QString name = FontCodes::name(glyph.code);
    // The library's blank column after the char is the last of the advance.
    int width = std::max(glyph.advance - 1, 0);
    for (const auto &[x, y] : glyph.pixels) {
        const int row = y + baseline;
        if (row < 0 || row >= rows) {
            fail(error, row >= kRows ? QStringLiteral("%1: its ink reaches row %2 of its cell; an LED-matrix font has "
                                                      "8 rows").arg(name).arg(row + 1)
                                     : QStringLiteral("%1: its ink lies outside the font's %2 rows").arg(name).arg(rows));
            return std::nullopt;
        }
        width = std::max(width, x + shift + 1);
    }
    if (width > kMaxByte) {
        fail(error, QStringLiteral("%1: its %2 columns are more than the 255 an LED-matrix font holds")
                            .arg(name)
                            .arg(width));
        return std::nullopt;
    }
    QByteArray bytes(1 + width, '\0');
    bytes[0] = char(width);
    for (const auto &[x, y] : glyph.pixels)
        bytes[1 + x + shift] = char(uchar(bytes[1 + x + shift]) | 1u << (y + baseline));
    return bytes;
}

QByteArray header(int first, int last, int rows)
{
    QByteArray bytes;
    bytes += kMark;
    if (last <= kMaxByte) {
        bytes += char(kVersion1);
        bytes += char(first);
        bytes += char(last);
    } else {
        bytes += char(kVersion2);
        bytes += char(first >> 8);
        bytes += char(first & kMaxByte);
        bytes += char(last >> 8);
        bytes += char(last & kMaxByte);
    }
    bytes += char(rows);
    return bytes;
}

QString summary(qsizetype glyphs, int first, int last, int height)
{
    return QStringLiteral("An LED-matrix font of %1, %2 to %3, %4 pixels high.")
            .arg(CSource::glyphCount(glyphs))
            .arg(CSource::hex(quint32(first), first > kMaxByte ? 4 : 2),
                 CSource::hex(quint32(last), last > kMaxByte ? 4 : 2))
            .arg(height);
}

} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error, const LeftOut *leftOut)
{
    if (!EncoderInput::check(set, {QStringLiteral("an LED-matrix font"), kLastCode}, error))
        return std::nullopt;
    const std::vector<Placed> glyphs = FirmwareGlyphs::inked(set, leftOut);
    for (size_t i = 1; i < glyphs.size(); ++i) {
        if (glyphs[i].code == glyphs[i - 1].code) {
            fail(error, QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyphs[i].code)));
            return std::nullopt;
        }
    }
    const int first = glyphs.front().code, last = glyphs.back().code;
    if (last > kLastCode) {
        fail(error, QStringLiteral("%1 lies past %2, the last code an LED-matrix font holds")
                            .arg(FontCodes::name(last), FontCodes::name(kLastCode)));
        return std::nullopt;
    }
    const int height = leftOut && leftOut->rows > 0 ? leftOut->rows : set.rows();
    const int baseline = leftOut && leftOut->rows > 0 ? leftOut->rows : set.ascent;
    const int rows = std::min(height, kRows);
    // Ink left of the pen moves the whole font right.
    int left = 0;
    for (const Placed &glyph : glyphs) {
        for (const auto &pixel : glyph.pixels)
            left = std::min(left, pixel.first);
    }

    QByteArray font = header(first, last, rows);
    int code = first;
    for (const Placed &glyph : glyphs) {
        font.append(glyph.code - code, '\0'); // the codes between, without a glyph
        const std::optional<QByteArray> bytes = charBytes(glyph, -left, baseline, rows, error);
        if (!bytes)
            return std::nullopt;
        font += *bytes;
        code = glyph.code + 1;
    }
    return font;
}

namespace {

struct Header
{
    int version = 0;
    int first = 0;
    int last = kBareLast;
    int height = kRows;
    qsizetype start = 0;
};

// The header as the library reads it: none where the first byte is not
// 'F', and the library's defaults after an 'F' and a version it does not
// know.
std::optional<Header> headerOf(QByteArrayView data, QString *error)
{
    const auto failAt = [error](qsizetype offset, const QString &what) {
        fail(error, QStringLiteral("byte %1: %2").arg(offset).arg(what));
        return std::nullopt;
    };
    if (data.isEmpty())
        return failAt(0, QStringLiteral("the data is empty"));
    if (data[0] != kMark)
        return Header();
    if (data.size() < 2)
        return failAt(data.size(), QStringLiteral("the data ends within the header"));
    Header header;
    header.version = uchar(data[1]);
    header.start = 2;
    if (header.version == kVersion1 || header.version == kVersion2) {
        header.start = header.version == kVersion1 ? kVersion1Header : kVersion2Header;
        if (data.size() < header.start)
            return failAt(data.size(), QStringLiteral("the data ends within the header"));
        const auto byte = [&data](int at) { return int(uchar(data[at])); };
        if (header.version == kVersion1) {
            header.first = byte(2);
            header.last = byte(3);
        } else {
            header.first = byte(2) << 8 | byte(3);
            header.last = byte(4) << 8 | byte(5);
        }
        header.height = uchar(data[header.start - 1]);
        if (header.last > kLastCode)
            return failAt(4, QStringLiteral("the library never ends its count of codes up to 0xFFFF"));
        if (header.first > header.last) {
            return failAt(2, QStringLiteral("the first code, %1, lies past the last, %2")
                                     .arg(FontCodes::name(header.first), FontCodes::name(header.last)));
        }
    }
    return header;
}

} // namespace

std::optional<Decoded> decode(QByteArrayView data, QString *error)
{
    const std::optional<Header> header = headerOf(data, error);
    if (!header)
        return std::nullopt;
    Decoded decoded;
    decoded.version = header->version;
    decoded.first = header->first;
    decoded.last = header->last;
    decoded.height = header->height;
    qsizetype at = header->start;
    for (int code = header->first; code <= header->last; ++code) {
        if (at >= data.size()) {
            fail(error, QStringLiteral("byte %1: the data ends before the width of %2").arg(at).arg(FontCodes::name(code)));
            return std::nullopt;
        }
        const int width = uchar(data[at]);
        if (at + 1 + width > data.size()) {
            fail(error, QStringLiteral("byte %1: the %2 columns of %3 run past the end of the data")
                                .arg(at)
                                .arg(width)
                                .arg(FontCodes::name(code)));
            return std::nullopt;
        }
        if (width > 0) {
            StoredGlyph glyph(code, width + 1, 0, 0, width, kRows);
            for (int c = 0; c < width; ++c) {
                const uint byte = uchar(data[at + 1 + c]);
                for (int bit = 0; bit < kRows; ++bit) {
                    if (byte >> bit & 1u)
                        glyph.set(bit, c);
                }
            }
            decoded.glyphs.push_back(std::move(glyph));
            decoded.widthAt.push_back(at);
        } else {
            decoded.blanks.emplace_back(code, at);
        }
        at += 1 + width;
    }
    decoded.end = at;
    // The library sends every bit of a column to the matrix, whatever the
    // header's height says.
    decoded.rows = std::clamp(decoded.height, 1, kRows);
    for (const StoredGlyph &glyph : decoded.glyphs) {
        for (int r = decoded.rows; r < kRows; ++r) {
            for (int c = 0; c < glyph.cols; ++c) {
                if (glyph.isSet(r, c))
                    decoded.rows = r + 1;
            }
        }
    }
    for (StoredGlyph &glyph : decoded.glyphs)
        glyph.y = -decoded.rows;
    return decoded;
}

namespace {

// The font with the blank glyphs its comments name among the codes of
// width 0, as this program writes a glyph of an advance of 1 or less; each
// reads back with the advance the library gives it, 1.
Decoded withNamedBlanks(const Decoded &font, const CSourceReader::Source &source, const Declaration &declaration)
{
    Decoded named = font;
    const std::vector<Value> &items = declaration.value.items;
    for (const auto &[code, at] : font.blanks) {
        const std::optional<QByteArray> comment
                = size_t(at) < items.size() ? CSource::commentOn(source, items[size_t(at)].line) : std::nullopt;
        if (!comment || !CSource::glyphIn(*comment, code))
            continue;
        const auto place = std::lower_bound(named.glyphs.begin(), named.glyphs.end(), code,
                                            [](const StoredGlyph &glyph, int c) { return glyph.codePoint < c; });
        named.widthAt.insert(named.widthAt.begin() + (place - named.glyphs.begin()), at);
        named.glyphs.insert(place, StoredGlyph(code, 1, 0, -font.rows, 0, kRows));
    }
    return named;
}

// Whether `bytes` are a font as the library's tools and this program lay
// one out: a known header, or none, and the data ending with the last code,
// with a glyph of ink or a blank one that its comment names.
bool isFont(QByteArrayView bytes, const CSourceReader::Source &source, const Declaration &declaration)
{
    const std::optional<Decoded> font = decode(bytes);
    return font && font->end == bytes.size() && font->height > 0
            && (font->version == 0 || font->version == kVersion1 || font->version == kVersion2)
            && (!font->glyphs.empty() || !withNamedBlanks(*font, source, declaration).glyphs.empty());
}

// The bytes of a declaration, MD_MAX72XX::fontType_t being a byte as the
// library defines it.
std::optional<QByteArray> bytesOf(const Declaration &declaration)
{
    if (declaration.type.isEmpty() || declaration.type.back() != "fontType_t")
        return U8g2Source::bytesOf(declaration);
    Declaration asBytes = declaration;
    asBytes.type = {"uint8_t"};
    return U8g2Source::bytesOf(asBytes);
}

// The declarations that hold fonts, with their bytes: arrays of bytes that
// no other declaration names and that no section macro gives to u8g2 or
// u8x8.
std::vector<std::pair<const Declaration *, QByteArray>> fontsIn(const CSourceReader::Source &source)
{
    QSet<QByteArray> named;
    for (const Declaration &declaration : source.declarations)
        CSourceReader::addNames(declaration.value, &named);
    std::vector<std::pair<const Declaration *, QByteArray>> fonts;
    for (const Declaration &declaration : source.declarations) {
        if (!declaration.sectionMacro.isEmpty() || named.contains(declaration.name))
            continue;
        std::optional<QByteArray> bytes = bytesOf(declaration);
        // A literal's NUL, where the array has room for it, is no part of
        // the font.
        if (bytes && declaration.value.kind == Value::Kind::String && !isFont(*bytes, source, declaration))
            bytes->chop(1);
        if (bytes && isFont(*bytes, source, declaration))
            fonts.emplace_back(&declaration, *bytes);
    }
    return fonts;
}

// The set's glyphs named as the comment on each one's width byte names
// them, with the remaps that place them where they stood; the set as it is
// where no comment names another code point or a name.
void label(GlyphSet &set, const Decoded &font, const CSourceReader::Source &source, const Declaration &declaration,
           ExportChoices *choices)
{
    QHash<int, qsizetype> widthAt;
    for (size_t i = 0; i < font.glyphs.size(); ++i)
        widthAt.insert(font.glyphs[i].codePoint, font.widthAt[i]);
    const std::vector<Value> &items = declaration.value.items;
    std::vector<std::pair<int, int>> codes;
    std::vector<Glyph> glyphs = set.glyphs();
    for (Glyph &glyph : glyphs) {
        const size_t item = size_t(widthAt.value(glyph.codePoint, -1));
        const std::optional<QByteArray> comment
                = item < items.size() ? CSource::commentOn(source, items[item].line) : std::nullopt;
        const std::optional<CSource::Labelled> labelled = comment ? CSource::glyphIn(*comment, glyph.codePoint)
                                                                  : std::nullopt;
        if (!labelled)
            continue;
        codes.emplace_back(glyph.codePoint, labelled->codePoint);
        glyph.codePoint = labelled->codePoint;
        glyph.name = labelled->name;
    }
    if (codes.empty())
        return;
    GlyphSet labelledSet(set.cols(), set.rows(), std::move(glyphs));
    labelledSet.ascent = set.ascent;
    labelledSet.xOffset = set.xOffset;
    set = std::move(labelledSet);
    choices->remaps = CSource::remapsText(codes);
}

} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    std::vector<FirmwareSource::Font> fonts;
    for (const auto &[declaration, bytes] : fontsIn(source)) {
        FirmwareSource::Font font;
        font.format = FontExport::Format::Max72xx;
        font.name = QString::fromUtf8(declaration->name);
        font.line = declaration->line;
        font.external = declaration->external;
        font.spans = {{declaration->begin, declaration->end}};
        if (std::optional<Decoded> decoded = decode(bytes)) {
            decoded = withNamedBlanks(*decoded, source, *declaration);
            const ReadResult read = FirmwareGlyphs::fromCellTops(decoded->glyphs, decoded->rows);
            font.glyphs = read.fontGlyphs > 0 ? read.fontGlyphs : read.set->size();
            int columns = 0;
            for (const StoredGlyph &glyph : decoded->glyphs)
                columns = std::max(columns, glyph.cols);
            font.cols = std::max(read.set->cols(), columns);
            font.rows = read.set->rows();
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    for (const auto &[declaration, bytes] : fontsIn(source)) {
        if (declaration->line != font.line || declaration->name != font.name.toUtf8())
            continue;
        QString error;
        const std::optional<Decoded> decoded = decode(bytes, &error);
        if (!decoded) {
            return ReadResult::atLine(path, declaration->line,
                                      QStringLiteral("LED-matrix font %1: %2").arg(font.name, error));
        }
        const Decoded named = withNamedBlanks(*decoded, source, *declaration);
        ReadResult result = FirmwareGlyphs::fromCellTops(named.glyphs, named.rows);
        GlyphSet &set = *result.set;
        ExportChoices choices;
        choices.format = FontExport::Format::Max72xx;
        // The library's own font, _sysfont, has a name that C keeps for
        // itself: it is written again under the one its file gives.
        if (FontExport::isName(FontExport::Format::Max72xx, font.name))
            choices.name = font.name;
        label(set, named, source, *declaration, &choices);
        set.fontName = CSource::fontNameAbove(
                source, summary(qsizetype(named.glyphs.size()), decoded->first, decoded->last, decoded->height));
        set.properties = choices.properties();
        return result;
    }
    return ReadResult::inFile(path, QStringLiteral("the file holds no LED-matrix font %1").arg(font.name));
}

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources, const LeftOut *leftOut)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<QByteArray> font = encode(set, &error, leftOut);
    if (!font)
        return {QString(), error};
    const std::optional<Decoded> decoded = decode(*font);
    Q_ASSERT(decoded);
    const bool wide = decoded->version == kVersion2;
    const qsizetype start = wide ? kVersion2Header : kVersion1Header;
    const QString indent = QStringLiteral("    ");

    QString out = CSource::fontNameLine(set);
    // Blank glyphs of width 0 count: their comments name them.
    out += CSource::comment(summary(FirmwareGlyphs::count(set, leftOut), decoded->first, decoded->last, decoded->height));
    out += CSource::comment(QStringLiteral("mx.setFont(%1); (or MD_Parola's P.setFont(%1);) draws each char with its "
                                           "columns' top-left corner at the cursor and a blank column after it.")
                                    .arg(name));
    out += QStringLiteral("const uint8_t %1[] PROGMEM = {\n").arg(name);
    out += indent + QStringLiteral("'F', ") + CSource::hexList(font->mid(1, start - 1))
           + (wide ? QStringLiteral(", // version 2, first code (high, low), last code (high, low), height\n")
                   : QStringLiteral(", // version 1, first code, last code, height\n"));
    qsizetype at = start;
    for (int code = decoded->first; code <= decoded->last; ++code) {
        const int width = uchar(font->at(at));
        QString lines = CSource::byteLines(font->mid(at, 1 + width), 16, indent);
        lines.insert(lines.indexOf(QLatin1Char('\n')),
                     QStringLiteral(" // ") + CSource::codeComment(set, code, u", no glyph", sources, leftOut));
        out += lines;
        at += 1 + width;
    }
    out += QLatin1String("};\n");
    return {out, QString()};
}

} // namespace Max72xxFont
