#include "bdfformat.h"
#include "cheader.h"
#include "codepoints.h"
#include "fontfile.h"
#include "fontfixtures.h"
#include "gfxfont.h"
#include "glyphexport.h"
#include "headerreference.h"
#include "outlinefont.h"
#include "pagelayout.h"
#include "psfformat.h"
#include "readoutreference.h"
#include "realfonts.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

// Fonts exported as headers for display libraries, read back by decoders
// written here from the formats' descriptions: every glyph's pixels land
// where the set draws them, with its advance, and every header compiles as
// C99 and as C++.
class tst_FontHeaders : public QObject
{
    Q_OBJECT

private slots:
    void gfx_data();
    void gfx();
    void pages_data();
    void pages();
    void c_data();
    void c();
    void refusals_data();
    void refusals();

private:
    bool load(const QString &source, GlyphSet *set, QString *message);
    bool compiles(const QString &header, bool gfx, QString *message);

    QTemporaryDir m_dir;
    QHash<QString, GlyphSet> m_sets;
};

Q_DECLARE_METATYPE(BitOrder)
Q_DECLARE_METATYPE(ReadoutReference::Order)
Q_DECLARE_METATYPE(PageLayout::Order)

namespace {
using HeaderReference::Pixels;
using HeaderReference::constants;
using HeaderReference::numbers;

// Real fonts by row name: a bitmap font's file, or an outline font rendered
// at a pixel size.
using Source = RealFonts::Font;
const QList<Source> kFonts = RealFonts::displayFonts();

// Sets no font has: "edge: blank" (one glyph without pixels), "edge: one
// glyph", "edge: solid" (16 x 16 glyphs of every pixel), "edge: above"
// (the baseline three rows above the cell).
GlyphSet edgeSet(const QString &kind)
{
    GlyphSet set(kind == QLatin1String("edge: solid") ? 16 : 5, kind == QLatin1String("edge: solid") ? 16 : 7);
    const int count = kind == QLatin1String("edge: one glyph") || kind == QLatin1String("edge: blank") ? 1 : 3;
    for (int i = 0; i < count; ++i) {
        Glyph glyph{0x41 + 2 * i, "glyph", Drawing(set.rows(), set.cols()), 4 + i};
        for (int r = 0; r < set.rows(); ++r) {
            for (int c = 0; c < set.cols(); ++c)
                glyph.bits.set(r, c, kind == QLatin1String("edge: solid") || (kind != QLatin1String("edge: blank") && (r + c) % (i + 2) == 0));
        }
        set.append(glyph);
    }
    set.ascent = kind == QLatin1String("edge: above") ? -3 : set.rows() - 2;
    set.xOffset = 1;
    return set;
}

// The glyphs with codes 0..255, in rising order, as the 8-bit formats take them.
GlyphSet eightBit(const GlyphSet &set)
{
    return FontFixtures::displaySet(set, 255);
}

// The line of the array body that holds glyph `index`'s row.
QString rowLine(const QString &text, const QString &declaration, qsizetype index)
{
    const QStringList lines = text.mid(text.indexOf(declaration)).split(QLatin1Char('\n'));
    return lines.value(index + 1);
}

Pixels sorted(Pixels pixels)
{
    std::sort(pixels.begin(), pixels.end());
    return pixels;
}
} // namespace

bool tst_FontHeaders::load(const QString &source, GlyphSet *set, QString *message)
{
    if (source.startsWith(QLatin1String("edge: "))) {
        *set = edgeSet(source);
        return true;
    }
    if (m_sets.contains(source)) {
        *set = m_sets.value(source);
        return true;
    }
    const auto font = std::find_if(std::begin(kFonts), std::end(kFonts), [&](const Source &s) { return source == QLatin1String(s.row); });
    ReadResult read;
    if (font->pixelSize > 0) {
        QList<int> codes(0xE0);
        std::iota(codes.begin(), codes.end(), 0x20);
        read = OutlineFont::renderFile(QString::fromLatin1(font->path), {font->pixelSize, codes});
    } else {
        QString path;
        QByteArray bytes;
        if (!RealFonts::prepare({font->row, font->path, font->package}, m_dir.path(), &path, message) || !FontFile::load(path, &bytes, message))
            return false;
        read = PsfFormat::isPsf(bytes) ? PsfFormat::read(bytes, path) : BdfFormat::read(bytes, path);
    }
    *message = read.error;
    if (read.ok())
        m_sets.insert(source, *read.set);
    *set = read.set.value_or(GlyphSet());
    return read.ok();
}

// Compiles the header as C99 and as C++, after GFX's own declarations for
// a GFX header.
bool tst_FontHeaders::compiles(const QString &header, bool gfx, QString *message)
{
    QFile file(m_dir.filePath(QStringLiteral("font.h")));
    QFile main(m_dir.filePath(QStringLiteral("check.c")));
    if (!file.open(QIODevice::WriteOnly) || !main.open(QIODevice::WriteOnly))
        return false;
    file.write(header.toUtf8());
    if (gfx) {
        main.write("#include <stdint.h>\n#define PROGMEM\n"
                   "typedef struct { uint16_t bitmapOffset; uint8_t width, height; uint8_t xAdvance; int8_t xOffset, yOffset; } GFXglyph;\n"
                   "typedef struct { uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance; } GFXfont;\n");
    }
    main.write("#include \"font.h\"\n");
    file.close();
    main.close();
    for (const QStringList &language : {QStringList{"-x", "c", "-std=c99"}, QStringList{"-x", "c++", "-std=c++17"}}) {
        QProcess compiler;
        compiler.start(QStringLiteral(KELVOR_CXX_COMPILER),
                       language + QStringList{"-fsyntax-only", "-pedantic-errors", "-Wall", "-Wextra", "-Werror", main.fileName()});
        if (!compiler.waitForFinished(60000) || compiler.exitStatus() != QProcess::NormalExit || compiler.exitCode() != 0) {
            *message = language.join(u' ') + QLatin1String(": ") + QString::fromLocal8Bit(compiler.readAllStandardError()) + compiler.errorString();
            return false;
        }
    }
    return true;
}

void tst_FontHeaders::gfx_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("name");
    for (const Source &font : kFonts)
        QTest::newRow(font.row) << font.row << "font";
    QTest::newRow("a glyph without pixels") << "edge: blank" << "blank";
    QTest::newRow("one glyph") << "edge: one glyph" << "one";
    QTest::newRow("16 x 16, every pixel set") << "edge: solid" << "solid";
    QTest::newRow("baseline above the cell") << "edge: above" << "above";
}

// The glyph table gives each code's box, advance and offsets from the
// cursor, whose row is a letter's bottom row (the row above the baseline);
// the box's pixels run on from row to row, the leftmost in a byte's top bit,
// each glyph starting on a byte.
void tst_FontHeaders::gfx()
{
    QFETCH(QString, source);
    QFETCH(QString, name);
    GlyphSet set;
    QString message;
    QVERIFY2(load(source, &set, &message), qPrintable(message));
    set = eightBit(set);

    const CSource::File header = GfxFont::write(set, name);
    QVERIFY2(header.ok(), qPrintable(header.error));
    const HeaderReference::Gfx font = HeaderReference::gfx(header.text);
    QCOMPARE(font.fields.size(), 3);
    const int first = int(font.fields[0]);
    QCOMPARE(first, set.glyphs().front().codePoint);
    QCOMPARE(int(font.fields[1]), set.glyphs().back().codePoint);
    QCOMPARE(int(font.fields[2]), set.rows());
    QCOMPARE(font.table.size(), (font.fields[1] - first + 1) * 6);

    const std::vector<DrawnGlyph> decoded = GfxFont::decode(*GfxFont::encode(set).font);
    qint64 end = 0;
    for (int i = 0; i < font.table.size() / 6; ++i) {
        const HeaderReference::GfxGlyph glyph = HeaderReference::gfxGlyph(font, i);
        const qint64 w = glyph.width, h = glyph.height, advance = glyph.advance, x = glyph.x, y = glyph.y;
        const Pixels &pixels = glyph.pixels;
        const QByteArray what = CodePoints::name(first + i).toLatin1();
        QVERIFY2(w <= 255 && h <= 255 && advance >= 0 && advance <= 255 && x >= -128 && x <= 127 && y >= -128 && y <= 127, what);
        QVERIFY2(glyph.offset == end, what);
        end = glyph.offset + (w * h + 7) / 8;
        const qsizetype index = set.indexOf(first + i);
        const Pixels expected = index < 0 ? Pixels() : set.drawn(set.at(index)).pixels();
        QVERIFY2(sorted(pixels) == sorted(expected), what);
        QVERIFY2(advance == (index < 0 ? 0 : set.advanceOf(set.at(index))), what);
        // The box is the ink's: pixels lie on each of its edges.
        const auto [left, right] = std::minmax_element(pixels.begin(), pixels.end());
        const auto [top, bottom] = std::minmax_element(pixels.begin(), pixels.end(), [](auto a, auto b) { return a.second < b.second; });
        QVERIFY2(w == 0 || (left->first == x && right->first == x + w - 1 && top->second == y - 1 && bottom->second == y + h - 2), what);
        if (index >= 0)
            QVERIFY2(header.text.contains(QLatin1String(" // ") + GlyphExport::label(set.at(index)) + QLatin1Char('\n')), what);
        // The decoder behind the window's preview reads the same.
        QVERIFY2(sorted(decoded[size_t(i)].pixels()) == sorted(pixels) && decoded[size_t(i)].advance == advance, what);
    }
    QCOMPARE(font.bitmap.size(), std::max<qint64>(end, 1)); // C has no empty arrays
    QVERIFY2(compiles(header.text, true, &message), qPrintable(message));
}

void tst_FontHeaders::pages_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<PageLayout::Order>("order");
    QTest::addColumn<bool>("widthByte");
    for (const Source &font : kFonts) {
        QTest::addRow("%s, pages", font.row) << font.row << PageLayout::Order::Page << false;
        QTest::addRow("%s, columns with widths", font.row) << font.row << PageLayout::Order::Column << true;
    }
    QTest::newRow("one glyph") << "edge: one glyph" << PageLayout::Order::Column << false;
    QTest::newRow("16 x 16, every pixel set") << "edge: solid" << PageLayout::Order::Page << true;
    QTest::newRow("an advance past the cell") << "edge: above" << PageLayout::Order::Column << true;
}

// Code c has record c - first; a record is the width byte, then one byte
// per column per page of 8 rows, bit 0 the page's top row: each column's
// pages in turn, or each page's columns.
void tst_FontHeaders::pages()
{
    QFETCH(QString, source);
    QFETCH(PageLayout::Order, order);
    QFETCH(bool, widthByte);
    GlyphSet set;
    QString message;
    QVERIFY2(load(source, &set, &message), qPrintable(message));
    set = eightBit(set);

    const CSource::File header = PageLayout::write(set, "font", {order, widthByte});
    QVERIFY2(header.ok(), qPrintable(header.error));
    const QHash<QString, qint64> values = constants(header.text);
    const int first = int(values.value("fontFirst")), count = int(values.value("fontCount"));
    const int pages = (set.rows() + 7) / 8;
    const int size = int(values.value("fontBytesPerGlyph"));
    QCOMPARE(first, set.glyphs().front().codePoint);
    QCOMPARE(count, set.glyphs().back().codePoint - first + 1);
    QCOMPARE(values.value("fontWidth"), set.cols());
    QCOMPARE(values.value("fontHeight"), set.rows());
    QCOMPARE(size, (widthByte ? 1 : 0) + set.cols() * pages);
    const QString declaration = QStringLiteral("font[fontCount][fontBytesPerGlyph]");
    const QList<qint64> bytes = numbers(header.text, declaration);
    QCOMPARE(bytes.size(), count * size);

    const std::vector<DrawnGlyph> decoded = PageLayout::decode(*PageLayout::encode(set, {order, widthByte}).font);
    for (int i = 0; i < count; ++i) {
        const QByteArray what = CodePoints::name(first + i).toLatin1();
        const qsizetype index = set.indexOf(first + i);
        const int start = i * size + (widthByte ? 1 : 0);
        const Pixels pixels = HeaderReference::pageRecord(bytes, start, set.cols(), pages, order == PageLayout::Order::Column);
        QVERIFY2(sorted(pixels) == sorted(index < 0 ? Pixels() : DrawnGlyph{-1, 0, 0, 0, set.at(index).bits}.pixels()), what);
        // The width byte: the advance, no wider than the record's columns.
        if (widthByte)
            QVERIFY2(bytes[i * size] == (index < 0 ? 0 : std::clamp(set.advanceOf(set.at(index)), 0, set.cols())), what);
        if (index >= 0)
            QVERIFY2(rowLine(header.text, declaration, i).endsWith(QLatin1String(" // ") + GlyphExport::label(set.at(index))), what);
        QVERIFY2(sorted(decoded[size_t(i)].pixels()) == sorted(pixels), what);
        QVERIFY2(decoded[size_t(i)].advance == (widthByte ? bytes[i * size] : set.cols()), what);
    }
    QVERIFY2(compiles(header.text, false, &message), qPrintable(message));
}

void tst_FontHeaders::c_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("everyCode"); // or codes 0..255 only
    QTest::addColumn<BitOrder>("order");
    QTest::addColumn<ReadoutReference::Order>("reference");
    QTest::addColumn<QString>("name");
    const QList<QPair<BitOrder, ReadoutReference::Order>> orders = {
            {BitOrder::Vertical, ReadoutReference::Order::Vertical},
            {BitOrder::Horizontal, ReadoutReference::Order::Horizontal},
            {BitOrder::HorizontalLeftToRight, ReadoutReference::Order::HorizontalLeftToRight}};
    int i = 0;
    for (const Source &font : kFonts) {
        const auto &order = orders[i++ % orders.size()];
        QTest::addRow("%s, %s", font.row, order.first.name().data()) << font.row << false << order.first << order.second << "font";
    }
    QTest::newRow("misc-fixed 6x13, every code") << "misc-fixed 6x13" << true << BitOrder(BitOrder::Horizontal) << ReadoutReference::Order::Horizontal << "font";
    QTest::newRow("one glyph") << "edge: one glyph" << false << BitOrder(BitOrder::Vertical) << ReadoutReference::Order::Vertical << "one";
    QTest::newRow("16 x 16, every pixel set") << "edge: solid" << false << BitOrder(BitOrder::Horizontal) << ReadoutReference::Order::Horizontal << "solid";
    QTest::newRow("one glyph without pixels") << "edge: blank" << false << BitOrder(BitOrder::Horizontal) << ReadoutReference::Order::Horizontal << "blank";
}

// Glyph i's values are the readout's values of its drawing; it draws code
// point First + i, or Codes[i] where the codes do not follow one another.
void tst_FontHeaders::c()
{
    QFETCH(QString, source);
    QFETCH(bool, everyCode);
    QFETCH(BitOrder, order);
    QFETCH(ReadoutReference::Order, reference);
    QFETCH(QString, name);
    GlyphSet set;
    QString message;
    QVERIFY2(load(source, &set, &message), qPrintable(message));
    if (!everyCode)
        set = eightBit(set);

    const CSource::File header = CHeader::write(set, name, order);
    QVERIFY2(header.ok(), qPrintable(header.error));
    const QRegularExpressionMatch array = QRegularExpression(QStringLiteral("static const (\\w+) (\\w+)\\[\\2Count\\]\\[\\2Values\\]")).match(header.text);
    QVERIFY(array.hasMatch());
    const QString id = array.captured(2);
    const int valueCount = order.isVertical() ? set.cols() : set.rows();
    QCOMPARE(array.captured(1), (order.isVertical() ? set.rows() : set.cols()) <= 8 ? "uint8_t" : "uint16_t");
    const QHash<QString, qint64> values = constants(header.text);
    QCOMPARE(values.value(id + "Count"), set.size());
    QCOMPARE(values.value(id + "Width"), set.cols());
    QCOMPARE(values.value(id + "Height"), set.rows());
    QCOMPARE(values.value(id + "Values"), valueCount);
    const QList<qint64> table = numbers(header.text, array.captured(0));
    QCOMPARE(table.size(), set.size() * valueCount);
    const QList<qint64> codes = numbers(header.text, id + QLatin1String("Codes[") + id + QLatin1String("Count]"));
    QVERIFY(values.contains(id + "First") != !codes.isEmpty());

    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        const QByteArray what = GlyphExport::label(glyph).toUtf8();
        const auto isSet = [&glyph](int r, int c) { return glyph.bits.isSet(r, c); };
        for (int k = 0; k < valueCount; ++k)
            QVERIFY2(table[i * valueCount + k] == ReadoutReference::lineValue(isSet, set.rows(), set.cols(), reference, k), what);
        QVERIFY2((codes.isEmpty() ? values.value(id + "First") + i : codes.value(i)) == glyph.codePoint, what);
        QVERIFY2(rowLine(header.text, array.captured(0), i).endsWith(QLatin1String(" // ") + GlyphExport::label(glyph)), what);
    }
    QVERIFY2(compiles(header.text, false, &message), qPrintable(message));
}

void tst_FontHeaders::refusals_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("codePoint");
    QTest::addColumn<int>("advance");
    QTest::addColumn<int>("xOffset");
    QTest::addColumn<int>("ascent");
    QTest::addColumn<QString>("message"); // a part of it

    QTest::newRow("gfx: advance past 255") << "gfx" << 0x41 << 256 << 0 << 5 << "U+0041: its advance of 256 pixels";
    QTest::newRow("gfx: negative advance") << "gfx" << 0x41 << -1 << 0 << 5 << "U+0041: its advance of -1 pixels";
    QTest::newRow("gfx: x offset past int8") << "gfx" << 0x41 << 5 << 128 << 5 << "offsets from -128 to 127";
    QTest::newRow("gfx: y offset past int8") << "gfx" << 0x41 << 5 << 0 << -200 << "offsets from -128 to 127";
    QTest::newRow("gfx: code past 255") << "gfx" << 0x100 << 5 << 0 << 5 << "U+0100 lies past U+00FF";
    QTest::newRow("gfx: no glyph") << "gfx" << -1 << 5 << 0 << 5 << "at least one glyph";
    QTest::newRow("pages: code past 255") << "pages" << 0x100 << 5 << 0 << 5 << "U+0100 lies past U+00FF";
    QTest::newRow("pages: no glyph") << "pages" << -1 << 5 << 0 << 5 << "at least one glyph";
    QTest::newRow("c: no glyph") << "c" << -1 << 5 << 0 << 5 << "no glyphs";
}

// What a format cannot hold is refused, never wrapped into its field.
void tst_FontHeaders::refusals()
{
    QFETCH(QString, format);
    QFETCH(int, codePoint);
    QFETCH(int, advance);
    QFETCH(int, xOffset);
    QFETCH(int, ascent);
    QFETCH(QString, message);

    GlyphSet set(5, 7);
    set.xOffset = xOffset;
    set.ascent = ascent;
    if (codePoint >= 0) {
        Glyph glyph{codePoint, "A", Drawing(7, 5), advance};
        glyph.bits.set(0, 0);
        set.append(glyph);
    }
    const CSource::File header = format == QLatin1String("gfx") ? GfxFont::write(set, "font")
            : format == QLatin1String("pages")                  ? PageLayout::write(set, "font", {})
                                                                : CHeader::write(set, u"font", BitOrder::Vertical);
    QVERIFY2(!header.ok() && header.error.contains(message), qPrintable(header.error));
    QVERIFY(header.text.isEmpty());
}

QTEST_MAIN(tst_FontHeaders)
#include "tst_fontheaders.moc"
