#include "gfxfont.h"

#include "csourcereader.h"
#include "exportchoices.h"
#include "firmwareglyphs.h"
#include "firmwaresource.h"

#include <QHash>

#include <algorithm>
#include <iterator>
#include <limits>

namespace GfxFont {

namespace {
using CSourceReader::Declaration;
using CSourceReader::Source;
using CSourceReader::Value;

// GFXfont's members, in its order.
enum Member { kBitmap, kGlyphs, kFirst, kLast, kYAdvance, kMembers };
// GFXglyph's fields, in its order, with their types' ranges.
struct Field
{
    const char *name;
    int low;
    int high;
};
const Field kFields[] = {
    {"bitmap offset", 0, std::numeric_limits<quint16>::max()},
    {"width", 0, std::numeric_limits<quint8>::max()},
    {"height", 0, std::numeric_limits<quint8>::max()},
    {"advance", 0, std::numeric_limits<quint8>::max()},
    {"x offset", std::numeric_limits<qint8>::min(), std::numeric_limits<qint8>::max()},
    {"y offset", std::numeric_limits<qint8>::min(), std::numeric_limits<qint8>::max()},
};
constexpr int kFieldCount = int(std::size(kFields));

bool isNumbers(const Value &value)
{
    return value.kind == Value::Kind::List
            && std::all_of(value.items.begin(), value.items.end(),
                           [](const Value &item) { return item.kind == Value::Kind::Number; });
}

bool isGlyphTable(const Value &value)
{
    return value.kind == Value::Kind::List && !value.items.empty()
            && std::all_of(value.items.begin(), value.items.end(), [](const Value &item) {
                   return isNumbers(item) && item.items.size() == size_t(kFieldCount);
               });
}

// The declaration a member names, or null.
const Declaration *named(const Source &source, const Value &member)
{
    return member.kind == Value::Kind::Name ? source.find(member.text) : nullptr;
}

// A GFXfont by its type, or by its members: a list of bytes, a glyph table
// and three numbers.
bool isFont(const Source &source, const Declaration &declaration)
{
    const Value &value = declaration.value;
    if (!declaration.dimensions.isEmpty() || value.kind != Value::Kind::List)
        return false;
    if (declaration.type.contains("GFXfont"))
        return true;
    if (value.items.size() != kMembers)
        return false;
    const Declaration *bitmap = named(source, value.items[kBitmap]);
    const Declaration *glyphs = named(source, value.items[kGlyphs]);
    return bitmap && glyphs && isNumbers(bitmap->value) && isGlyphTable(glyphs->value)
            && std::all_of(value.items.begin() + kFirst, value.items.end(),
                           [](const Value &item) { return item.kind == Value::Kind::Number; });
}

// A GFXfont's members read and checked, with each code's glyph as drawn.
struct Loaded
{
    Font font;
    std::vector<DrawnGlyph> drawn; // the glyphs that fit a cell of 16 x 16
    // What the comments name them: the code point each stands for, its name.
    QHash<int, CSource::Labelled> labels;
    qsizetype glyphs = 0;          // the font's, those too large included
    std::vector<size_t> entries;   // where each of them stands in font.glyphs
    QString error;
    int errorLine = 0;
};

class Loader
{
public:
    Loader(const Source &source, const Declaration &declaration)
        : m_source(source)
        , m_declaration(declaration)
    {
    }

    Loaded load()
    {
        if (read())
            drawGlyphs();
        return std::move(m_loaded);
    }

private:
    bool fail(int line, const QString &what)
    {
        m_loaded.error = what;
        m_loaded.errorLine = line;
        return false;
    }

    // The value as a number from `low` to `high`.
    bool number(const Value &value, int low, int high, const QString &what, int *out)
    {
        if (value.kind != Value::Kind::Number)
            return fail(value.line, QStringLiteral("%1 is not a number").arg(what));
        if (value.number < low || value.number > high) {
            return fail(value.line,
                        QStringLiteral("%1 is %2, outside %3 to %4").arg(what).arg(value.number).arg(low).arg(high));
        }
        *out = int(value.number);
        return true;
    }

    const Declaration *array(Member member, const QString &what)
    {
        const Value &value = m_declaration.value.items[member];
        const Declaration *array = named(m_source, value);
        if (!array) {
            const QString name = QString::fromUtf8(value.text);
            fail(value.line, value.kind == Value::Kind::Name
                                     ? QStringLiteral("its %1 %2 is not in the file").arg(what, name)
                                     : QStringLiteral("its %1 is not the name of an array").arg(what));
        }
        return array;
    }

    bool read()
    {
        const Value &value = m_declaration.value;
        if (value.items.size() != kMembers) {
            return fail(value.line, QStringLiteral("it has %1 members where a GFXfont has %2")
                                            .arg(value.items.size())
                                            .arg(int(kMembers)));
        }
        Font &font = m_loaded.font;
        constexpr int kCodeMax = std::numeric_limits<quint16>::max();
        if (!number(value.items[kFirst], 0, kCodeMax, QStringLiteral("its first code"), &font.first)
            || !number(value.items[kLast], 0, kCodeMax, QStringLiteral("its last code"), &font.last)
            || !number(value.items[kYAdvance], 0, std::numeric_limits<quint8>::max(),
                       QStringLiteral("its line height"), &font.yAdvance)) {
            return false;
        }
        if (font.first > font.last) {
            return fail(value.items[kFirst].line, QStringLiteral("its first code %1 lies above its last, %2")
                                                          .arg(CSource::hex(quint32(font.first)),
                                                               CSource::hex(quint32(font.last))));
        }
        const Declaration *bitmap = array(kBitmap, QStringLiteral("bitmap"));
        const Declaration *table = array(kGlyphs, QStringLiteral("glyph table"));
        return bitmap && table && readBitmap(*bitmap) && readTable(*table);
    }

    bool readBitmap(const Declaration &bitmap)
    {
        if (bitmap.value.kind != Value::Kind::List)
            return fail(bitmap.line, QStringLiteral("its bitmap %1 is not a list of bytes").arg(name(bitmap)));
        QByteArray &bytes = m_loaded.font.bitmap;
        bytes.reserve(qsizetype(bitmap.value.items.size()));
        for (const Value &item : bitmap.value.items) {
            int byte = 0;
            if (!number(item, 0, std::numeric_limits<quint8>::max(),
                        QStringLiteral("its bitmap's byte %1").arg(bytes.size()), &byte))
                return false;
            bytes += char(byte);
        }
        return true;
    }

    bool readTable(const Declaration &table)
    {
        const Font &font = m_loaded.font;
        const size_t count = size_t(font.last - font.first) + 1;
        const std::vector<Value> &rows = table.value.items;
        if (table.value.kind != Value::Kind::List || rows.size() < count) {
            return fail(table.line, QStringLiteral("its glyph table %1 holds %2 glyphs, where %3 to %4 takes %5")
                                            .arg(name(table))
                                            .arg(table.value.kind == Value::Kind::List ? rows.size() : 0)
                                            .arg(CSource::hex(quint32(font.first)), CSource::hex(quint32(font.last)))
                                            .arg(count));
        }
        for (size_t i = 0; i < count; ++i) {
            if (!readGlyph(rows[i], font.first + int(i)))
                return false;
        }
        return true;
    }

    bool readGlyph(const Value &row, int code)
    {
        const QString glyph = QStringLiteral("glyph %1").arg(CSource::hex(quint32(code)));
        if (row.kind != Value::Kind::List || row.items.size() != size_t(kFieldCount))
            return fail(row.line, QStringLiteral("%1 is not a GFXglyph of %2 numbers").arg(glyph).arg(kFieldCount));
        int fields[kFieldCount];
        for (int f = 0; f < kFieldCount; ++f) {
            if (!number(row.items[size_t(f)], kFields[f].low, kFields[f].high,
                        QStringLiteral("%1's %2").arg(glyph, QLatin1String(kFields[f].name)), &fields[f]))
                return false;
        }
        const Glyph entry{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
        const qint64 end = entry.bitmapOffset + (qint64(entry.width) * entry.height + 7) / 8;
        const qsizetype size = m_loaded.font.bitmap.size();
        if (entry.bitmapOffset > size || end > size) {
            return fail(row.line, QStringLiteral("%1 of %2 x %3 pixels at byte %4 runs past the bitmap's %5 bytes")
                                          .arg(glyph)
                                          .arg(entry.width)
                                          .arg(entry.height)
                                          .arg(entry.bitmapOffset)
                                          .arg(size));
        }
        m_loaded.font.glyphs.push_back(entry);
        m_lines.push_back(row.line);
        return true;
    }

    void drawGlyphs()
    {
        const Font &font = m_loaded.font;
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            const Glyph &entry = font.glyphs[i];
            const int code = font.first + int(i);
            const std::optional<QByteArray> comment = CSource::commentOn(m_source, m_lines[i]);
            const auto labelled = comment ? CSource::glyphIn(*comment, code) : std::nullopt;
            const bool blank = entry.width == 0 || entry.height == 0;
            if (blank && entry.xAdvance == 0 && !labelled)
                continue;
            ++m_loaded.glyphs;
            m_loaded.entries.push_back(i);
            if (labelled)
                m_loaded.labels.insert(code, *labelled);
            if (entry.width > Drawing::kMaxSize || entry.height > Drawing::kMaxSize)
                continue;
            m_loaded.drawn.push_back(decode(font, i));
        }
    }

    static QString name(const Declaration &declaration) { return QString::fromUtf8(declaration.name); }

    const Source &m_source;
    const Declaration &m_declaration;
    Loaded m_loaded;
    std::vector<int> m_lines; // where each glyph's entry stands
};

// Where the GFXfont, its bitmap and its glyph table lie, in the order of the
// text.
std::vector<std::pair<qsizetype, qsizetype>> spansOf(const Source &source, const Declaration &font)
{
    std::vector<std::pair<qsizetype, qsizetype>> spans{{font.begin, font.end}};
    for (const Value &item : font.value.items) {
        if (item.kind != Value::Kind::Name)
            continue;
        if (const Declaration *named = source.find(item.text))
            spans.emplace_back(named->begin, named->end);
    }
    std::sort(spans.begin(), spans.end());
    spans.erase(std::unique(spans.begin(), spans.end()), spans.end());
    return spans;
}

// Every glyph of the font, those too large for a drawing too, as the
// library draws them.
std::vector<StoredGlyph> storedGlyphs(const Loaded &loaded)
{
    const Font &font = loaded.font;
    std::vector<StoredGlyph> stored;
    stored.reserve(loaded.entries.size());
    for (size_t index : loaded.entries) {
        const Glyph &entry = font.glyphs[index];
        const int code = font.first + int(index);
        StoredGlyph glyph(code, entry.xAdvance, entry.xOffset, entry.yOffset - 1, entry.width,
                                          entry.height);
        if (const auto labelled = loaded.labels.constFind(code); labelled != loaded.labels.constEnd()) {
            glyph.codePoint = labelled->codePoint;
            glyph.name = labelled->name;
        }
        // The loader has checked that every box lies within the bitmap.
        const qint64 start = qint64(entry.bitmapOffset) * 8;
        for (int r = 0; r < entry.height; ++r) {
            for (int c = 0; c < entry.width; ++c) {
                const qint64 bit = start + qint64(r) * entry.width + c;
                if (quint8(font.bitmap[bit / 8]) & (0x80u >> (bit % 8)))
                    glyph.set(r, c);
            }
        }
        stored.push_back(std::move(glyph));
    }
    return stored;
}

} // namespace

std::vector<FirmwareSource::Font> find(const CSourceReader::Source &source)
{
    std::vector<FirmwareSource::Font> fonts;
    for (const Declaration &declaration : source.declarations) {
        if (!isFont(source, declaration))
            continue;
        FirmwareSource::Font font;
        font.format = FontExport::Format::Gfx;
        font.name = QString::fromUtf8(declaration.name);
        font.line = declaration.line;
        font.external = declaration.external;
        font.spans = spansOf(source, declaration);
        const Loaded loaded = Loader(source, declaration).load();
        if (loaded.error.isEmpty()) {
            const FirmwareGlyphs::Placed placed = FirmwareGlyphs::place(loaded.drawn, loaded.font.yAdvance);
            font.glyphs = loaded.glyphs;
            font.cols = placed.cols;
            font.rows = placed.rows;
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

ReadResult read(const CSourceReader::Source &source, const FirmwareSource::Font &font, const QString &path)
{
    const Declaration *declaration = source.find(font.name.toUtf8());
    if (!declaration || !isFont(source, *declaration))
        return ReadResult::inFile(path, QStringLiteral("the file holds no GFXfont %1").arg(font.name));
    const Loaded loaded = Loader(source, *declaration).load();
    if (!loaded.error.isEmpty())
        return ReadResult::atLine(path, loaded.errorLine, font.name + QLatin1String(": ") + loaded.error);

    const FirmwareGlyphs::Placed placed = FirmwareGlyphs::place(loaded.drawn, loaded.font.yAdvance);
    std::vector<::Glyph> glyphs = placed.set.glyphs();
    std::vector<std::pair<int, int>> codes; // each glyph's code and the code point it stands for
    for (::Glyph &glyph : glyphs) {
        const auto labelled = loaded.labels.constFind(glyph.codePoint);
        if (labelled == loaded.labels.constEnd())
            continue;
        codes.emplace_back(glyph.codePoint, labelled->codePoint);
        glyph.codePoint = labelled->codePoint;
        glyph.name = labelled->name;
    }
    GlyphSet set(placed.set.cols(), placed.set.rows(), std::move(glyphs));
    set.ascent = placed.set.ascent;
    set.xOffset = placed.set.xOffset;
    set.fontName = CSource::fontNameAbove(source, summary(loaded.glyphs, loaded.font.first, loaded.font.last,
                                                          loaded.font.yAdvance));
    ExportChoices choices;
    choices.format = FontExport::Format::Gfx;
    choices.name = font.name;
    choices.remaps = CSource::remapsText(codes);
    set.properties = choices.properties();

    ReadResult result(std::move(set));
    if (qsizetype(placed.set.size()) < loaded.glyphs) {
        result.fontGlyphs = loaded.glyphs;
        FirmwareGlyphs::keepWhole(result, storedGlyphs(loaded), 0, loaded.font.yAdvance);
    }
    return result;
}

} // namespace GfxFont
