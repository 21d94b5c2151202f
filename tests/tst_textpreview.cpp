#include "textpreview.h"

#include <QTest>

namespace {

// A glyph from rows of "#" and ".", its top-left pixel at (x, y) from the pen.
DrawnGlyph glyph(int codePoint, int advance, int x, int y, const QStringList &rows)
{
    DrawnGlyph drawn{codePoint, advance, x, y, Drawing(int(rows.size()), rows.isEmpty() ? 0 : int(rows[0].size()))};
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            drawn.bits.set(r, c, rows[r][c] == QLatin1Char('#'));
    }
    return drawn;
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
    QStringList rows;
    for (int y = 0; y < canvas.height; ++y) {
        QString row;
        for (int x = 0; x < canvas.width; ++x)
            row += QLatin1Char(canvas.isSet(x, y) ? '#' : '.');
        rows << row;
    }
    return rows;
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

// An 8-bit font whose Cyrillic А and Б were placed at 0xC0 and 0xC1, as the
// remap "U+0410-U+0411:0xC0" places them; the text is what a user types.
void tst_TextPreview::remapped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("missing");

    QTest::newRow("Cyrillic through the remap") << QStringLiteral("АБ") << QStringList{"###.", "##.."} << 0;
    QTest::newRow("a code point no remap moves stays") << QStringLiteral("A") << QStringList{"..#.", "..#."} << 0;
    // As on the display: a firmware that maps its strings the same way
    // sends "Á" (U+00C1) as 0xC1 too.
    QTest::newRow("the code the remap fills, typed itself")
            << QStringLiteral("Á") << QStringList{"##..", "#..."} << 0;
    QTest::newRow("a remapped code point the font lacks") << QStringLiteral("ВА") << QStringList{"#...", "#..."} << 1;
}

void tst_TextPreview::remapped()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(int, missing);

    FontExport::Drawn font;
    font.glyphs = {glyph(0xC0, 1, 0, -2, {"#", "#"}), glyph(0xC1, 2, 0, -2, {"##", "#."}), glyph('A', 1, 2, -2, {"#", "#"})};
    CodePoints::Remaps remaps;
    QString error;
    QVERIFY2(CodePoints::parseRemaps(u"U+0410-U+0411:0xC0", &remaps, &error), qPrintable(error));
    const TextPreview::Layout layout = TextPreview(font, remaps).lay(text, 4, 2);
    QCOMPARE(picture(layout.canvas), expected);
    QCOMPARE(layout.missing, missing);
}

QTEST_GUILESS_MAIN(tst_TextPreview)
#include "tst_textpreview.moc"
