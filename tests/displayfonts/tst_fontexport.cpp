#include "bdfformat.h"
#include "codepoints.h"
#include "fontexport.h"
#include "fontfile.h"
#include "realfonts.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// Which glyphs an export takes and where it puts them, on misc-fixed 6x13
// (Latin and Cyrillic, up to U+FFFD): ranges keep glyphs, remaps move them;
// the lines keep the set's order and its glyphs without a code point, every
// other format sorts by code point and refuses what it cannot hold.
class tst_FontExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void select_data();
    void select();
    void parseRemaps_data();
    void parseRemaps();
    void nameChoice_data();
    void nameChoice();

private:
    QTemporaryDir m_dir;
    GlyphSet m_font;
    QList<int> m_fileOrder; // the ENCODING lines of the file, in its order
};

using Codes = QList<int>;
Q_DECLARE_METATYPE(CodePoints::Remaps)
Q_DECLARE_METATYPE(FontExport::Format)

namespace {
// The font's glyphs of `glyphs` ("44,-,41": hexadecimal code points), in
// that order; "-" is a copy of '?' without a code point. Empty: the font.
GlyphSet pick(const GlyphSet &font, const QString &glyphs)
{
    if (glyphs.isEmpty())
        return font;
    GlyphSet set(font.cols(), font.rows());
    set.ascent = font.ascent;
    for (const QString &code : glyphs.split(QLatin1Char(','))) {
        Glyph glyph = font.at(font.indexOf(code == QLatin1String("-") ? '?' : code.toInt(nullptr, 16)));
        if (code == QLatin1String("-")) {
            glyph.codePoint = Glyph::kNoCodePoint;
            glyph.name = "unencoded";
        }
        set.append(glyph);
    }
    return set;
}

Codes span(int first, int last)
{
    Codes codes;
    for (int c = first; c <= last; ++c)
        codes << c;
    return codes;
}
} // namespace

void tst_FontExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString path;
    QString message;
    QByteArray bytes;
    QVERIFY2(RealFonts::prepare(QStringLiteral("6x13.pcf.gz"), m_dir.path(), &path, &message), qPrintable(message));
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message));
    const ReadResult read = BdfFormat::read(bytes, path);
    QVERIFY2(read.ok(), qPrintable(read.error));
    m_font = *read.set;
    static const QRegularExpression encoding(QStringLiteral("\nENCODING (\\d+)"));
    for (const auto &match : encoding.globalMatch(QString::fromLatin1(bytes)))
        m_fileOrder << match.captured(1).toInt();
}

void tst_FontExport::select_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("glyphs"); // as pick() takes them
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<QString>("remaps");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Codes>("codes");   // the selection's code points, -1 for none
    QTest::addColumn<Codes>("sources"); // the font's glyph at each; empty: the same as codes
    QTest::addColumn<QStringList>("error"); // what the refusal names; empty: no refusal

    const auto row = [](const char *title, const char *format, const char *glyphs, const char *ranges,
                        const char *remaps, const Codes &codes, const Codes &sources = {},
                        const QStringList &error = {}, const char *name = "font") {
        QTest::newRow(title) << format << glyphs << ranges << remaps << name << codes << sources << error;
    };
    const auto refused = [&row](const char *title, const char *format, const char *glyphs, const char *ranges,
                                const char *remaps, const QStringList &error, const char *name = "font") {
        row(title, format, glyphs, ranges, remaps, {}, {}, error, name);
    };
    Codes sorted = m_fileOrder;
    std::sort(sorted.begin(), sorted.end());
    const Codes ascii = span(0x20, 0x7E);

    row("lines: the whole font in the file's order", "lines", "", "", "", m_fileOrder);
    row("u8g2: the whole font by code point, up to U+FFFD", "u8g2", "", "", "", sorted);
    row("c: the whole font by code point", "c", "", "", "", sorted);
    refused("gfx: the whole font, refused at U+0100", "gfx", "", "", "", {"U+0100", "U+00FF"});
    row("lines: ranges keep their glyphs in set order", "lines", "44,41,43,42", "0x41-0x42,0x44", "", {0x44, 0x41, 0x42});
    row("gfx: ranges keep their glyphs by code point", "gfx", "44,41,43,42", "0x41-0x42,0x44", "", {0x41, 0x42, 0x44});
    row("lines: a glyph without a code point in its place", "lines", "43,-,41", "", "", {0x43, -1, 0x41}, {0x43, '?', 0x41});
    row("lines: a range leaves out a glyph without a code point", "lines", "43,-,41", "0-0x10FFFF", "", {0x43, 0x41});
    row("u8x8: a glyph without a code point left out", "u8x8", "43,-,41", "", "", {0x41, 0x43});
    row("lines: two glyphs at one code point", "lines", "41,41", "", "", {0x41, 0x41});
    refused("u8g2: two glyphs at one code point", "u8g2", "41,41", "", "", {"U+0041 'A' and U+0041 'A'"});
    refused("gfx: a remap onto another glyph", "gfx", "41,42", "", "0x42:0x41", {"U+0041 'A'", "U+0042 'B'"});
    row("lines: a remap moves a glyph in its place", "lines", "42,41", "", "0x41:0x61", {0x42, 0x61}, {0x42, 0x41});
    row("u8g2: a remap sorts by the new code point", "u8g2", "41,42", "", "0x41:0x50", {0x42, 0x50}, {0x42, 0x41});
    row("c: a remap past U+FFFF", "c", "41,42", "", "0x41:0x10000", {0x42, 0x10000}, {0x42, 0x41});
    refused("u8g2: a remap past U+FFFF", "u8g2", "41,42", "", "0x41:0x10000", {"U+0041 'A'", "U+FFFF"});
    row("u8g2: U+FFFD taken", "u8g2", "FFFD,41", "", "", {0x41, 0xFFFD});
    row("gfx: U+00FF taken", "gfx", "FF,20", "", "", {0x20, 0xFF});
    row("pages: U+00FF taken", "pages", "FF", "", "", {0xFF});
    refused("gfx: U+0100", "gfx", "41,100", "", "", {"U+0100", "U+00FF"});
    refused("u8x8: U+0100", "u8x8", "41,100", "", "", {"U+0100", "U+00FF"});
    refused("pages: U+0100", "pages", "41,100", "", "", {"U+0100", "U+00FF"});
    row("gfx: Cyrillic moved to 0xC0", "gfx", "", "0x20-0x7E,U+0410-U+044F", "U+0410-U+044F:0xC0",
        ascii + span(0xC0, 0xFF), ascii + span(0x410, 0x44F));
    refused("gfx: Cyrillic left in place", "gfx", "", "0x20-0x7E,U+0410-U+044F", "", {"U+0410", "U+00FF"});
    refused("lines: a range that misses the font", "lines", "", "0x10000-0x10010", "", {"no glyph"});
    refused("gfx: a range that misses the font", "gfx", "", "0x10000-0x10010", "", {"no glyph"});
    refused("pages: no glyph with a code point", "pages", "-", "", "", {"no glyph"});
    refused("gfx: a name starting with a digit", "gfx", "41", "", "", {"5x7"}, "5x7");
    refused("u8g2: a keyword as name", "u8g2", "41", "", "", {"int"}, "int");
    refused("pages: a name with a dash", "pages", "41", "", "", {"my-font"}, "my-font");
    refused("gfx: a name the library declares", "gfx", "41", "", "", {"GFXfont"}, "GFXfont");
    refused("c: a name <stdint.h> declares", "c", "41", "", "", {"uint8_t"}, "uint8_t");
    row("lines: no name needed", "lines", "41", "", "", {0x41}, {}, {}, "");
}

void tst_FontExport::select()
{
    QFETCH(QString, format);
    QFETCH(QString, glyphs);
    QFETCH(QString, ranges);
    QFETCH(QString, remaps);
    QFETCH(QString, name);
    QFETCH(Codes, codes);
    QFETCH(Codes, sources);
    QFETCH(QStringList, error);

    const GlyphSet set = pick(m_font, glyphs);
    FontExport::Options options;
    options.format = *FontExport::formatNamed(format);
    options.name = name;
    QString message;
    if (!ranges.isEmpty())
        QVERIFY2(CodePoints::parseRanges(ranges, &options.lines.ranges, &message), qPrintable(message));
    if (!remaps.isEmpty())
        QVERIFY2(CodePoints::parseRemaps(remaps, &options.remaps, &message), qPrintable(message));

    const FontExport::Result written = FontExport::write(set, options);
    if (!error.isEmpty()) {
        QVERIFY(!written.ok() && written.text.isEmpty());
        for (const QString &part : error)
            QVERIFY2(written.error.contains(part), qPrintable(written.error));
        return;
    }
    QVERIFY2(written.ok() && !written.text.isEmpty(), qPrintable(written.error));

    const FontExport::Selection selection = FontExport::select(set, options);
    QVERIFY2(selection.set, qPrintable(selection.error));
    Codes taken;
    for (const Glyph &glyph : selection.set->glyphs())
        taken << glyph.codePoint;
    QCOMPARE(taken, codes);
    if (sources.isEmpty())
        sources = codes;
    // Each glyph keeps its pixels and tells where it came from.
    for (qsizetype i = 0; i < taken.size(); ++i) {
        const QByteArray what = CodePoints::name(taken[i]).toLatin1();
        QVERIFY2(selection.set->at(i).bits == m_font.at(m_font.indexOf(sources[i])).bits, what);
        QVERIFY2(selection.sourceCodePoints[size_t(i)] == (codes[i] < 0 ? -1 : sources[i]), what);
    }
}

void tst_FontExport::parseRemaps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<CodePoints::Remaps>("remaps");
    QTest::addColumn<QString>("error"); // a part of it; empty: read

    using R = CodePoints::Remaps;
    QTest::newRow("Cyrillic to 0xC0") << "U+0410-U+044F:0xC0" << R{{0x410, 0x44F, 0xC0}} << "";
    QTest::newRow("one code point, decimal") << "128:127" << R{{128, 128, 127}} << "";
    QTest::newRow("two, with blanks") << " 0x41-0x43:97 , u+0100:0 " << R{{0x41, 0x43, 97}, {0x100, 0x100, 0}} << "";
    QTest::newRow("ending on U+10FFFF") << "0-15:0x10FFF0" << R{{0, 15, 0x10FFF0}} << "";
    QTest::newRow("nothing") << "" << R{} << "no code points";
    QTest::newRow("no target") << "0x41" << R{} << "\"0x41\"";
    QTest::newRow("empty target") << "0x41:" << R{} << "\"0x41:\"";
    QTest::newRow("letters") << "A-C:0x60" << R{} << "\"A-C:0x60\"";
    QTest::newRow("two ranges before a target") << "0x41,0x42:0x60" << R{} << "\"0x41\"";
    QTest::newRow("range running backwards") << "0x43-0x41:0" << R{} << "\"0x43-0x41:0\"";
    QTest::newRow("target beyond Unicode") << "0x41:0x110000" << R{} << "\"0x41:0x110000\"";
    QTest::newRow("running past U+10FFFF") << "0-16:0x10FFF0" << R{} << "U+10FFFF";
    QTest::newRow("overlapping ranges") << "0x41-0x50:0,0x45:0x100" << R{} << "\"0x45:0x100\" overlaps";
}

void tst_FontExport::parseRemaps()
{
    QFETCH(QString, text);
    QFETCH(CodePoints::Remaps, remaps);
    QFETCH(QString, error);

    // A refusal leaves what was there.
    const CodePoints::Remaps before = {{1, 2, 3}};
    CodePoints::Remaps read = before;
    QString why;
    QCOMPARE(CodePoints::parseRemaps(text, &read, &why), error.isEmpty());
    QVERIFY2(why.contains(error), qPrintable(why));
    QVERIFY(read == (error.isEmpty() ? remaps : before));
}

void tst_FontExport::nameChoice_data()
{
    QTest::addColumn<FontExport::Format>("format");
    for (const FontExport::Format format : FontExport::formats())
        QTest::newRow(FontExport::name(format).data()) << format;
}

// A format that writes the font's C name takes it as a choice, so that the
// export checks it; one that writes none ignores it.
void tst_FontExport::nameChoice()
{
    QFETCH(FontExport::Format, format);
    FontExport::Options options;
    options.format = format;
    options.name = QStringLiteral("zq_font");
    // Quotes: glyphs whose ink every format takes, an LED matrix's 8 rows too.
    const GlyphSet set = pick(m_font, QStringLiteral("22,27"));
    const FontExport::Result written = FontExport::write(set, options);
    QVERIFY2(written.ok(), qPrintable(written.error));
    const bool named = written.text.contains(options.name);
    QCOMPARE(FontExport::takes(format, FontExport::Choice::Name), named);
    options.name = QStringLiteral("1bad");
    QCOMPARE(FontExport::write(set, options).ok(), !named);
}

QTEST_GUILESS_MAIN(tst_FontExport)
#include "tst_fontexport.moc"
