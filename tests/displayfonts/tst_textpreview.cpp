#include "pictures.h"
#include "textpreview.h"

#include <QTest>

namespace {

// A glyph from rows of "#" and ".", its top-left pixel at (x, y) from the pen.
DrawnGlyph glyph(int codePoint, int advance, int x, int y, const QStringList &rows)
{
    return DrawnGlyph{codePoint, advance, x, y, Pictures::drawing(rows)};
}

// A letter standing on the baseline, a descender that also reaches left of
// the pen, a mark that does not move the pen and stands highest, a blank,
// and two glyphs a text can never reach: one without a code point, one at a
// code point taken already.
FontExport::Drawn font()
{
    FontExport::Drawn font;
    font.lineHeight = 7;
    font.glyphs = {
        glyph('A', 4, 0, -4, {".#.", "#.#", "###", "#.#"}),
        glyph('q', 2, -1, -2, {"##", "##", ".#", ".#"}),
        glyph('^', 0, 1, -5, {"#"}),
        glyph(' ', 2, 0, 0, {}),
        glyph(Glyph::kNoCodePoint, 4, 0, -9, {"###"}),
        glyph('A', 4, 0, -4, {"###", "###", "###", "###"}),
    };
    return font;
}

QStringList picture(const TextPreview::Canvas &canvas)
{
    return Pictures::rows(canvas.width, canvas.height, [&canvas](int x, int y) { return canvas.isSet(x, y); });
}

} // namespace

// Sample texts on small canvases, each picture worked out by hand from the
// glyphs above: the baseline of the first line is row 5, since the mark's
// top lies 5 rows above it.
class tst_TextPreview : public QObject
{
    Q_OBJECT

private slots:
    void lay_data();
    void lay();
    void remapped_data();
    void remapped();
};

void tst_TextPreview::lay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("missing");

    QTest::newRow("one letter") << "A" << 6
                                << QStringList{"......", ".#....", "#.#...", "###...", "#.#...", "......"} << 0;
    QTest::newRow("the pen moves by the advance")
            << "AA" << 8 << QStringList{"........", ".#...#..", "#.#.#.#.", "###.###.", "#.#.#.#."} << 0;
    QTest::newRow("a descender below the baseline, ink left of the pen")
            << "Aq" << 6
            << QStringList{"......", ".#....", "#.#...", "#####.", "#.###.", "....#.", "....#.", "......"} << 0;
    QTest::newRow("ink left of the pen at the left edge is cut off")
            << "q" << 3 << QStringList{"...", "...", "...", "#..", "#..", "#..", "#..", "..."} << 0;
    QTest::newRow("a mark without advance, and the letter after it")
            << "^A" << 4 << QStringList{".#..", ".#..", "#.#.", "###.", "#.#.", "...."} << 0;
    QTest::newRow("a blank only moves the pen")
            << "A A" << 11
            << QStringList{"...........", ".#.....#...", "#.#...#.#..", "###...###..", "#.#...#.#.."} << 0;
    const QStringList twoLines{"....", ".#..", "#.#.", "###.", "#.#.", "....",
                               "....", "....", ".#..", "#.#.", "###.", "#.#."};
    QTest::newRow("a new line, one line height lower") << "A\nA" << 4 << twoLines << 0;
    QTest::newRow("CR LF is one line break") << "A\r\nA" << 4 << twoLines << 0;
    QTest::newRow("cut off at the right and bottom edges")
            << "AA\nA" << 6
            << QStringList{"......", ".#...#", "#.#.#.", "###.##", "#.#.#.", "......",
                           "......", "......", ".#....", "#.#..."}
            << 0;
    QTest::newRow("characters without a glyph are skipped and counted")
            << QStringLiteral("Az\U0001F600A") << 8
            << QStringList{"........", ".#...#..", "#.#.#.#.", "###.###.", "#.#.#.#."} << 2;
    QTest::newRow("no text") << "" << 3 << QStringList{"...", "...", "..."} << 0;
    QTest::newRow("no canvas") << "Ax" << 0 << QStringList{} << 1;
}

void tst_TextPreview::lay()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QStringList, expected);
    QFETCH(int, missing);

    const TextPreview preview(font());
    const TextPreview::Layout layout = preview.lay(text, width, int(expected.size()));
    QCOMPARE(layout.baseline, 5);
    QCOMPARE(picture(layout.canvas), expected);
    QCOMPARE(layout.missing, missing);
}

// A sample drawn from an export whose remaps moved glyphs, as a firmware
// draws the text once its strings are mapped the same way: each character
// with the glyph exported for it. Five glyphs of 3 x 3 cells, each with ink
// in its top row only ("#.." is A), so that a row of the display shows them.
void tst_TextPreview::remapped_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("codePoints");
    QTest::addColumn<QString>("remaps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("missing");

    const int lines = int(FontExport::Format::Lines);
    const QString cyrillic = QStringLiteral("U+0410-U+0411:0xC0");
    QTest::newRow("Cyrillic moved to 0xC0, typed as it reads, beside a letter no remap moves")
            << lines << "0x41,0x410-0x411" << cyrillic << QStringLiteral("АБA") << "..##.##.." << 0;
    QTest::newRow("the code Б took is not Á's") << lines << "0x41,0x410-0x411" << cyrillic << QStringLiteral("Á")
                                                << "..." << 1;
    // A GFX font keeps an empty entry for every code between its glyphs:
    // 0x42, which B left, and 0x43, which no glyph had.
    QTest::newRow("the empty entries of a GFX font are no glyphs")
            << int(FontExport::Format::Gfx) << "0x41-0x42,0xC1" << "0x42:0x40" << QStringLiteral("BCÁ") << ".#.###" << 1;
}

void tst_TextPreview::remapped()
{
    QFETCH(int, format);
    QFETCH(QString, codePoints);
    QFETCH(QString, remaps);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, missing);

    GlyphSet set(3, 3);
    set.ascent = 3;
    for (const DrawnGlyph &drawn : {glyph('A', 3, 0, 0, {"#.."}), glyph('B', 3, 0, 0, {".#."}),
                                    glyph(0xC1, 3, 0, 0, {"###"}), glyph(0x410, 3, 0, 0, {"..#"}),
                                    glyph(0x411, 3, 0, 0, {"#.#"})})
    {
        Glyph one;
        one.codePoint = drawn.codePoint;
        one.bits = drawn.bits;
        set.append(one);
    }
    FontExport::Options options;
    options.format = FontExport::Format(format);
    options.name = QStringLiteral("font");
    QString error;
    QVERIFY2(CodePoints::parseRanges(codePoints, &options.lines.ranges, &error), qPrintable(error));
    QVERIFY2(remaps.isEmpty() || CodePoints::parseRemaps(remaps, &options.remaps, &error), qPrintable(error));
    FontExport::Drawn drawn = FontExport::drawn(set, options);
    QVERIFY2(drawn.error.isEmpty(), qPrintable(drawn.error));

    const TextPreview::Layout layout = TextPreview(std::move(drawn)).lay(text, int(expected.size()), 1);
    QCOMPARE(picture(layout.canvas), QStringList{expected});
    QCOMPARE(layout.missing, missing);
}

QTEST_GUILESS_MAIN(tst_TextPreview)
#include "tst_textpreview.moc"
