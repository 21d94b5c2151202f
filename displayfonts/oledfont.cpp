#include "oledfont.h"

#include "codepoints.h"
#include "encoderinput.h"
#include "exportchoices.h"
#include "firmwareglyphs.h"
#include "firmwaresource.h"
#include "fontcodes.h"
#include "fontexport.h"
#include "u8g2source.h"

#include <QSet>

#include <algorithm>
#include <climits>

namespace OledFont {

namespace {

using CSourceReader::Declaration;
using CSourceReader::Value;

constexpr int kMaxByte = 0xFF;

int rasterOf(int height)
{
    return (height + 7) / 8;
}

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what;
    return false;
}

using Placed = FirmwareGlyphs::Inked;

// A glyph's columns from `shift` pixels left of the pen, ceil(height / 8)
// bytes each, bit 0 the top row, without the trailing zero bytes.
QByteArray columnBytes(const Placed &glyph, int shift, int baseline, int raster)
{
    QByteArray bytes;
    for (const auto &[x, y] : glyph.pixels) {
        const int column = x + shift;
        const int row = y + baseline;
        const qsizetype at = qsizetype(column) * raster + row / 8;
        if (bytes.size() <= at)
            bytes.resize(at + 1, '\0');
        bytes[at] = char(uchar(bytes[at]) | 1u << (row % 8));
    }
    return bytes;
}

QString summary(qsizetype glyphs, int first, int last, int height)
{
    return QStringLiteral("An OLED font of %1, %2 to %3, %4 pixels high.")
            .arg(CSource::glyphCount(glyphs))
            .arg(CSource::hex(quint32(first)), CSource::hex(quint32(last)))
            .arg(height);
}

} // namespace

std::optional<QByteArray> encode(const GlyphSet &set, QString *error, const LeftOut *leftOut)
{
    const QString format = QStringLiteral("an OLED font");
    if (!EncoderInput::check(set, {format, FontCodes::kLastEightBit}, error))
        return std::nullopt;
    const std::vector<Placed> glyphs = FirmwareGlyphs::inked(set, leftOut);
    for (size_t i = 1; i < glyphs.size(); ++i) {
        if (glyphs[i].code == glyphs[i - 1].code) {
            fail(error, QStringLiteral("%1: a glyph too large to open stands there").arg(FontCodes::name(glyphs[i].code)));
            return std::nullopt;
        }
    }
    const int height = leftOut && leftOut->rows > 0 ? leftOut->rows : set.rows();
    const int baseline = leftOut && leftOut->rows > 0 ? leftOut->rows : set.ascent;
    const int first = glyphs.front().code, last = glyphs.back().code;
    if (last > FontCodes::kLastEightBit || last - first + 1 > kMaxByte) {
        fail(error, QStringLiteral("%1 to %2 are %3 codes; an OLED font holds 255 codes up to 0xFF")
                            .arg(FontCodes::name(first), FontCodes::name(last))
                            .arg(last - first + 1));
        return std::nullopt;
    }
    // Ink left of the pen moves the whole font right.
    int left = 0;
    for (const Placed &glyph : glyphs) {
        for (const auto &pixel : glyph.pixels)
            left = std::min(left, pixel.first);
    }
    const int shift = -left;
    const int raster = rasterOf(height);

    QByteArray table(kEntrySize * (last - first + 1), '\0');
    for (int i = 0; i < table.size(); i += kEntrySize)
        table[i] = table[i + 1] = char(kMaxByte); // no glyph
    QByteArray data;
    int widest = 0;
    for (const Placed &glyph : glyphs) {
        const QString name = FontCodes::name(glyph.code);
        if (glyph.advance < 0 || glyph.advance > kMaxByte) {
            fail(error, QStringLiteral("%1: its advance of %2 pixels lies outside 0 to 255, what an OLED font holds")
                                .arg(name)
                                .arg(glyph.advance));
            return std::nullopt;
        }
        for (const auto &[x, y] : glyph.pixels) {
            if (y + baseline < 0 || y + baseline >= height) {
                fail(error, QStringLiteral("%1: its ink lies outside the font's %2 rows").arg(name).arg(height));
                return std::nullopt;
            }
        }
        const QByteArray bytes = columnBytes(glyph, shift, baseline, raster);
        if (bytes.size() > kMaxByte || data.size() + bytes.size() > kNoBytes) {
            fail(error, QStringLiteral("%1: its %2 bytes do not fit an OLED font's jump table")
                                .arg(name)
                                .arg(bytes.size()));
            return std::nullopt;
        }
        const qsizetype at = qsizetype(glyph.code - first) * kEntrySize;
        if (!bytes.isEmpty()) {
            table[at] = char(data.size() >> 8);
            table[at + 1] = char(data.size() & kMaxByte);
            data += bytes;
        }
        table[at + 2] = char(bytes.size());
        table[at + 3] = char(glyph.advance);
        widest = std::max(widest, glyph.advance);
    }
    QByteArray font;
    font.reserve(kHeaderSize + table.size() + data.size());
    font += char(widest);
    font += char(std::min(height, kMaxByte));
    font += char(first);
    font += char(last - first + 1);
    return font + table + data;
}

std::optional<Decoded> decode(QByteArrayView data, QString *error)
{
    const auto failAt = [error](qsizetype offset, const QString &what) {
        fail(error, QStringLiteral("byte %1: %2").arg(offset).arg(what));
        return std::nullopt;
    };
    if (data.size() < kHeaderSize)
        return failAt(data.size(), QStringLiteral("the data ends within the 4-byte header"));
    const int height = uchar(data[1]), first = uchar(data[2]), count = uchar(data[3]);
    if (height == 0)
        return failAt(1, QStringLiteral("a font of no rows"));
    if (count == 0)
        return failAt(3, QStringLiteral("a font of no codes"));
    const qsizetype start = kHeaderSize + qsizetype(count) * kEntrySize;
    if (data.size() < start)
        return failAt(data.size(), QStringLiteral("the data ends within the jump table of %1 codes").arg(count));
    const int raster = rasterOf(height);
    Decoded decoded;
    decoded.height = height;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + qsizetype(i) * kEntrySize;
        const int offset = uchar(data[entry]) << 8 | uchar(data[entry + 1]);
        const int size = uchar(data[entry + 2]);
        const int advance = uchar(data[entry + 3]);
        const int code = first + i;
        if (code > FontCodes::kLastEightBit)
            return failAt(3, QStringLiteral("%1 codes from %2 pass 0xFF").arg(count).arg(FontCodes::name(first)));
        if (offset == kNoBytes) {
            if (advance > 0)
                decoded.glyphs.emplace_back(code, advance, 0, -height, 0, 0);
            continue;
        }
        if (start + offset + size > data.size())
            return failAt(entry, QStringLiteral("the bytes of %1 run past the end of the data").arg(FontCodes::name(code)));
        const int columns = (size + raster - 1) / raster;
        StoredGlyph glyph(code, advance, 0, -height, columns, raster * 8);
        for (int b = 0; b < size; ++b) {
            const uint byte = uchar(data[start + offset + b]);
            for (int bit = 0; bit < 8; ++bit) {
                if (byte >> bit & 1u)
                    glyph.set(b % raster * 8 + bit, b / raster);
            }
        }
        decoded.glyphs.push_back(std::move(glyph));
    }
    return decoded;
}

namespace {

// Whether `bytes` are an OLED font as the library's converter and this
// program lay one out: the jump table's glyphs one after the other in code
// order, and the data ending with the last of them.
bool isFont(QByteArrayView bytes)
{
    if (bytes.size() < kHeaderSize || bytes[1] == 0 || bytes[3] == 0)
        return false;
    const int count = uchar(bytes[3]);
    const qsizetype start = kHeaderSize + qsizetype(count) * kEntrySize;
    if (bytes.size() < start || uchar(bytes[2]) + count - 1 > FontCodes::kLastEightBit)
        return false;
    qsizetype next = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + qsizetype(i) * kEntrySize;
        const int offset = uchar(bytes[entry]) << 8 | uchar(bytes[entry + 1]);
        if (offset == kNoBytes)
            continue;
        if (offset != next)
            return false;
        next += uchar(bytes[entry + 2]);
    }
    return start + next == bytes.size();
}

// The declarations that hold OLED fonts, with their bytes: arrays of bytes
// that no other declaration names (a GFXfont's bitmap) and that no section
// macro gives to u8g2 or u8x8.
std::vector<std::pair<const Declaration *, QByteArray>> fontsIn(const CSourceReader::Source &source)
{
    QSet<QByteArray> named;
    for (const Declaration &declaration : source.declarations)
        CSourceReader::addNames(declaration.value, &named);
    std::vector<std::pair<const Declaration *, QByteArray>> fonts;
    for (const Declaration &declaration : source.declarations) {
        if (!declaration.sectionMacro.isEmpty() || named.contains(declaration.name))
            continue;
        std::optional<QByteArray> bytes = U8g2Source::bytesOf(declaration);
        // A literal's NUL, where the array has room for it, is no part of
        // the font.
        if (bytes && declaration.value.kind == Value::Kind::String && !isFont(*bytes))
            bytes->chop(1);
        if (bytes && isFont(*bytes))
            fonts.emplace_back(&declaration, *bytes);
    }
    return fonts;
}

} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    std::vector<FirmwareSource::Font> fonts;
    for (const auto &[declaration, bytes] : fontsIn(source)) {
        FirmwareSource::Font font;
        font.format = FontExport::Format::Oled;
        font.name = QString::fromUtf8(declaration->name);
        font.line = declaration->line;
        font.external = declaration->external;
        font.spans = {{declaration->begin, declaration->end}};
        if (const std::optional<Decoded> decoded = decode(bytes)) {
            const ReadResult read = FirmwareGlyphs::fromCellTops(decoded->glyphs, decoded->height);
            font.glyphs = read.fontGlyphs > 0 ? read.fontGlyphs : read.set->size();
            int columns = 0;
            for (const StoredGlyph &glyph : decoded->glyphs)
                columns = std::max(columns, glyph.cols);
            font.cols = std::max(read.set->cols(), columns);
            font.rows = std::max(read.set->rows(), decoded->height);
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
        if (!decoded)
            return ReadResult::atLine(path, declaration->line, QStringLiteral("OLED font %1: %2").arg(font.name, error));
        ReadResult result = FirmwareGlyphs::fromCellTops(decoded->glyphs, decoded->height);
        GlyphSet &set = *result.set;
        // A glyph this program placed away from its code point is named by
        // both on its jump table entry: it reads back at its own, with the
        // remap that places it again.
        std::vector<std::pair<int, int>> codes;
        std::vector<Glyph> glyphs = set.glyphs();
        const std::vector<Value> &items = declaration->value.items;
        for (Glyph &glyph : glyphs) {
            const size_t entry = size_t(kHeaderSize + (glyph.codePoint - uchar(bytes[2])) * kEntrySize);
            const std::optional<QByteArray> comment
                    = entry < items.size() ? CSource::commentOn(source, items[entry].line) : std::nullopt;
            const std::optional<CSource::Labelled> labelled = comment ? CSource::glyphIn(*comment, glyph.codePoint)
                                                                      : std::nullopt;
            if (!labelled)
                continue;
            codes.emplace_back(glyph.codePoint, labelled->codePoint);
            glyph.codePoint = labelled->codePoint;
            glyph.name = labelled->name;
        }
        if (!codes.empty()) {
            GlyphSet labelled(set.cols(), set.rows(), std::move(glyphs));
            labelled.ascent = set.ascent;
            labelled.xOffset = set.xOffset;
            set = std::move(labelled);
        }
        if (!decoded->glyphs.empty()) {
            set.fontName = CSource::fontNameAbove(
                    source, summary(qsizetype(decoded->glyphs.size()), decoded->glyphs.front().codePoint,
                                    decoded->glyphs.back().codePoint, decoded->height));
        }
        ExportChoices choices;
        choices.format = FontExport::Format::Oled;
        choices.name = font.name;
        choices.remaps = CSource::remapsText(codes);
        set.properties = choices.properties();
        return result;
    }
    return ReadResult::inFile(path, QStringLiteral("the file holds no OLED font %1").arg(font.name));
}

CSource::File write(const GlyphSet &set, const QString &name, const std::vector<int> &sources, const LeftOut *leftOut)
{
    Q_ASSERT(CSource::isIdentifier(name));
    QString error;
    const std::optional<QByteArray> font = encode(set, &error, leftOut);
    if (!font)
        return {QString(), error};
    const int height = uchar(font->at(1)), first = uchar(font->at(2)), count = uchar(font->at(3));
    const qsizetype start = kHeaderSize + qsizetype(count) * kEntrySize;
    const QString indent = QStringLiteral("    ");
    qsizetype glyphs = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + qsizetype(i) * kEntrySize;
        if (uchar(font->at(entry)) != kMaxByte || uchar(font->at(entry + 1)) != kMaxByte || font->at(entry + 3) != 0)
            ++glyphs;
    }

    QString out = CSource::fontNameLine(set);
    out += CSource::comment(summary(glyphs, first, first + count - 1, height));
    out += CSource::comment(QStringLiteral("display.setFont(%1); then display.drawString(x, y, text) draws each "
                                           "glyph with its cell's top-left corner at the cursor.")
                                    .arg(name));
    out += QStringLiteral("const uint8_t %1[] PROGMEM = {\n").arg(name);
    out += indent + CSource::hex(uchar(font->at(0))) + QStringLiteral(", // the widest advance\n");
    out += indent + CSource::hex(quint32(height)) + QStringLiteral(", // height\n");
    out += indent + CSource::hex(quint32(first)) + QStringLiteral(", // first code\n");
    out += indent + CSource::hex(quint32(count)) + QStringLiteral(", // number of codes\n");
    out += CSource::comment(u"jump table: offset (high, low, 0xFFFF for none), bytes, advance", indent);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + qsizetype(i) * kEntrySize;
        out += CSource::byteLines(font->mid(entry, kEntrySize), kEntrySize, indent).chopped(1);
        out += QStringLiteral(" // ") + CSource::codeComment(set, first + i, u", no glyph", sources, leftOut)
               + QLatin1Char('\n');
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + qsizetype(i) * kEntrySize;
        const int offset = uchar(font->at(entry)) << 8 | uchar(font->at(entry + 1));
        const int size = uchar(font->at(entry + 2));
        if (offset == kNoBytes || size == 0)
            continue;
        out += CSource::comment(CSource::codeComment(set, first + i, u"", sources, leftOut), indent);
        out += CSource::byteLines(font->mid(start + offset, size), 16, indent);
    }
    out += QLatin1String("};\n");
    return {out, QString()};
}

} // namespace OledFont
