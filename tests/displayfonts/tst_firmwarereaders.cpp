#include "bdfformat.h"
#include "csourcereader.h"
#include "exportchoices.h"
#include "firmwaresource.h"
#include "fontexport.h"
#include "firmwaretext.h"
#include "fontfile.h"
#include "psfformat.h"
#include "realfonts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The GFX, pages and C headers read back from C source. A header this
// program wrote, from real fonts, reads back to a set that exports to the
// same bytes with the choices it carries; a GFXfont as the graphics library
// ships it reads as the library draws it (its re-export in golden/ was
// drawn by the library's own code against the original, glyph for glyph);
// damaged headers are refused with one line naming the file, the line and
// the font.
class tst_FirmwareReaders : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void shipped();
    void tooLarge_data();
    void tooLarge();
    void keepsItsTiles();
    void damaged_data();
    void damaged();

private:
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(FontExport::Options)

namespace {
const QString kShipped = QStringLiteral(KELVOR_SHIPPED_DIR);
const QString kGolden = QStringLiteral(KELVOR_GOLDEN_DIR);

// `text` read back as its one font and exported again as it asks.
bool exportAgain(const QByteArray &text, QString *again, QString *message)
{
    const ReadResult read = FirmwareSource::read(text, QStringLiteral("font.h"));
    *message = read.error;
    if (!read.ok())
        return false;
    const FontExport::Result result = FontExport::write(*read.set, storedOptions(*read.set));
    *message = result.error;
    *again = result.text;
    return result.ok();
}

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void tst_FirmwareReaders::roundTrip_data()
{
    QTest::addColumn<QString>("font"); // a path in RealFonts::displayFonts()
    QTest::addColumn<FontExport::Options>("options");

    const auto row = [](const char *font, const char *form, FontExport::Format format, auto &&...choose) {
        FontExport::Options options;
        options.format = format;
        options.name = QStringLiteral("font");
        // An OLED font holds 255 codes at the most.
        if (format == FontExport::Format::Oled)
            options.lines.ranges = {{32, 255}};
        else if (format == FontExport::Format::Max72xx)
            options.lines.ranges = {{0, 0xFFFE}};
        else if (format != FontExport::Format::C)
            options.lines.ranges = {{0, 255}};
        (choose(options), ...);
        QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(font), QLatin1String(form))))
                << QString::fromLatin1(font) << options;
    };
    using Options = FontExport::Options;
    const auto byPage = [](Options &options) { options.pageOrder = FontExport::PageOrder::Page; };
    const auto widths = [](Options &options) { options.widths = true; };
    const auto vertical = [](Options &options) { options.lines.output.order = BitOrder::Vertical; };
    const auto leftToRight = [](Options &options) { options.lines.output.order = BitOrder::HorizontalLeftToRight; };
    // Cyrillic where an 8-bit font has room: the glyphs read back stand at
    // their own code points again, and the export places them as before.
    const auto cyrillic = [](Options &options) {
        options.lines.ranges = {{0x20, 0x7E}, {0x410, 0x44F}};
        options.remaps = {{0x410, 0x44F, 0xC0}};
    };
    row("misc-fixed 5x7", "gfx", FontExport::Format::Gfx);
    row("75 dpi Helvetica 8", "gfx", FontExport::Format::Gfx);
    row("75 dpi Lucida Bright 8", "gfx", FontExport::Format::Gfx);
    row("console Terminus 16", "gfx", FontExport::Format::Gfx);
    row("misc-fixed 6x13", "gfx, Cyrillic at 0xC0", FontExport::Format::Gfx, cyrillic);
    row("misc-fixed 6x13", "pages", FontExport::Format::Pages);
    row("misc-fixed 6x13", "pages, Cyrillic at 0xC0", FontExport::Format::Pages, cyrillic);
    row("75 dpi Helvetica 8", "pages by page with widths", FontExport::Format::Pages, byPage, widths);
    row("console Fixed 14", "pages with widths", FontExport::Format::Pages, widths);
    row("misc-fixed 6x13", "c", FontExport::Format::C);
    row("misc-fixed 8x13", "c vertical", FontExport::Format::C, vertical);
    row("misc-fixed 8x13", "c, Cyrillic at 0xC0", FontExport::Format::C, cyrillic);
    row("console Terminus 16", "c left to right", FontExport::Format::C, leftToRight);
    row("misc-fixed 5x7", "oled", FontExport::Format::Oled);
    row("75 dpi Lucida Bright 8", "oled", FontExport::Format::Oled);
    row("console Terminus 16", "oled", FontExport::Format::Oled);
    row("misc-fixed 6x13", "oled, Cyrillic at 0xC0", FontExport::Format::Oled, cyrillic);
    row("misc-fixed 5x7", "lvgl, all its glyphs", FontExport::Format::Lvgl, [](Options &o) { o.lines.ranges.clear(); });
    row("75 dpi Lucida Bright 8", "lvgl", FontExport::Format::Lvgl);
    row("console Terminus 16", "lvgl", FontExport::Format::Lvgl);
    const auto eightBit = [](Options &options) { options.lines.ranges = {{0, 255}}; };
    row("misc-fixed 5x7", "max72xx, 8-bit codes", FontExport::Format::Max72xx, eightBit);
    row("misc-fixed 5x7", "max72xx, codes past 0xFF", FontExport::Format::Max72xx);
    row("misc-fixed 5x7", "max72xx, Cyrillic at 0xC0", FontExport::Format::Max72xx, cyrillic);
}

void tst_FirmwareReaders::roundTrip()
{
    QFETCH(QString, font);
    QFETCH(FontExport::Options, options);

    const QList<RealFonts::Font> fonts = RealFonts::displayFonts();
    const auto source = std::find_if(fonts.begin(), fonts.end(),
                                     [&font](const RealFonts::Font &f) { return font == QLatin1String(f.row); });
    QVERIFY(source != fonts.end());
    QString path, message;
    QByteArray bytes;
    QVERIFY2(RealFonts::prepare(*source, m_dir.path(), &path, &message) && FontFile::load(path, &bytes, &message),
             qPrintable(message));
    const ReadResult read = PsfFormat::isPsf(bytes) ? PsfFormat::read(bytes, path) : BdfFormat::read(bytes, path);
    QVERIFY2(read.ok(), qPrintable(read.error));

    const FontExport::Result exported = FontExport::write(*read.set, options);
    QVERIFY2(exported.ok(), qPrintable(exported.error));
    QString again;
    QVERIFY2(exportAgain(exported.text.toUtf8(), &again, &message), qPrintable(message));
    QCOMPARE(again.split(QLatin1Char('\n')), exported.text.split(QLatin1Char('\n')));
}

// Picopixel as the library ships it: every glyph, the boxes tight, so its
// bitmap comes out as it went in, only the layout and the space's unused
// y offset differ.
void tst_FirmwareReaders::shipped()
{
    const QByteArray text = fileText(QDir(kShipped).filePath(QStringLiteral("Picopixel.h")));
    const FirmwareSource::Scan scan = FirmwareSource::scan(text, QStringLiteral("Picopixel.h"));
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    QCOMPARE(scan.fonts.size(), size_t(1));
    const FirmwareSource::Font &font = scan.fonts.front();
    QCOMPARE(font.name, QStringLiteral("Picopixel"));
    QCOMPARE(font.glyphs, 95);
    QCOMPARE(font.cols, 5); // '#', 'm', 'w' are 5 wide
    QCOMPARE(font.rows, 7); // its yAdvance
    QString again, message;
    QVERIFY2(exportAgain(text, &again, &message), qPrintable(message));
    const QString golden = QString::fromUtf8(fileText(QDir(kGolden).filePath(QStringLiteral("Picopixel-again.h"))));
    QCOMPARE(again.split(QLatin1Char('\n')), golden.split(QLatin1Char('\n')));
}

void tst_FirmwareReaders::tooLarge_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("glyphs");
    // The left-out glyph's record, from DWIDTH to ENDCHAR, as BDF has it.
    QTest::addColumn<QByteArray>("record");

    // 'A' one column of 17 rows from the bitmap's first bit, 'B' a bar.
    QTest::newRow("gfx")
            << QByteArray("const uint8_t tallBitmaps[] = { 0xFF, 0xFF, 0x80, 0xFF };\n"
                          "const GFXglyph tallGlyphs[] = { { 0, 1, 17, 2, 0, -16 }, { 3, 8, 1, 9, 0, 0 } };\n"
                          "const GFXfont tall = { (uint8_t *)tallBitmaps, (GFXglyph *)tallGlyphs, 0x41, 0x42, 17 };\n")
            << 1 << 2 << "DWIDTH 2 0\nBBX 1 17 0 0\nBITMAP\n" + QByteArray("80\n").repeated(17) + "ENDCHAR\n";
    // The converter's font of golden/tall.bdf: 'A' has 17 rows, and 'C' is a
    // solid 17 x 17 box, one run longer than any a set's glyph has.
    QTest::newRow("u8g2, from its converter")
            << fileText(QDir(kGolden).filePath(QStringLiteral("u8g2-converter-tall.c"))) << 2 << 4
            << QByteArray("DWIDTH 3 0\nBBX 2 17 0 -2\nBITMAP\n80\nC0\nC0\nC0\n80\nC0\nC0\nC0\n80\nC0\nC0\nC0\n80\nC0\nC0"
                          "\nC0\n80\nENDCHAR\n");
    // Tiles one across and three down: 'A' a column of 20 rows, 'B' a dot
    // on the last tile's top row; the tiles' bottom is the baseline.
    QByteArray tiles = "const uint8_t tall[] U8X8_FONT_SECTION(\"tall\") = { 0x41, 0x42, 1, 3,\n";
    const auto tile = [](int first) { return QByteArray::number(first) + ", 0, 0, 0, 0, 0, 0, 0,\n"; };
    tiles += tile(0xFF) + tile(0xFF) + tile(0x0F) + tile(0) + tile(0) + tile(0x01) + "};\n";
    QTest::newRow("u8x8, taller than two tiles")
            << tiles << 1 << 2 << "DWIDTH 8 0\nBBX 1 20 0 4\nBITMAP\n" + QByteArray("80\n").repeated(20) + "ENDCHAR\n";
    // 'A' 17 columns of the top row, the pen 8 rows below it; 'B' a column.
    QTest::newRow("max72xx, wider than 16")
            << "const uint8_t wide[] = { 'F', 1, 0x41, 0x42, 8, 17, " + QByteArray("1, ").repeated(17) + "1, 0xFF };\n"
            << 1 << 2 << "DWIDTH 18 0\nBBX 17 8 0 0\nBITMAP\nFFFF80\n" + QByteArray("000000\n").repeated(7) + "ENDCHAR\n";
}

// A glyph larger than 16 x 16 is left out of the set and counted with the
// font, and the set comes with the font whole: for a save as BDF, each
// glyph as the library draws it and the one edited as it now stands, and
// for a save in its own form, to the same bytes as before.
void tst_FirmwareReaders::tooLarge()
{
    QFETCH(QByteArray, text);
    QFETCH(int, opened);
    QFETCH(int, glyphs);
    QFETCH(QByteArray, record);

    ReadResult read = FirmwareSource::read(text, QStringLiteral("tall.h"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.set->size(), opened);
    QCOMPARE(read.fontGlyphs, glyphs);
    QVERIFY(read.bdfSource);
    const QByteArray whole = BdfFormat::write(*read.set, *read.bdfSource);
    QVERIFY2(whole.contains("\n" + record), whole.constData());
    const BdfFormat::Scan scan = BdfFormat::scan(whole, QStringLiteral("tall.bdf"));
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    QCOMPARE(qsizetype(scan.glyphs.size()), glyphs);

    // Written back in its own form with the glyphs left out, it is the same
    // font again.
    FontExport::Options form = storedOptions(*read.set);
    form.leftOut = read.leftOut;
    const FontExport::Result back = FontExport::write(*read.set, form);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(dataOf(back.text.toUtf8()), dataOf(text));
    const ReadResult again = FirmwareSource::read(back.text.toUtf8(), QStringLiteral("tall.h"));
    QVERIFY2(again.ok() && again.bdfSource, qPrintable(again.error));
    QCOMPARE(again.fontGlyphs, glyphs);
    const QByteArray wholeAgain = BdfFormat::write(*again.set, *again.bdfSource);
    QCOMPARE(wholeAgain.mid(wholeAgain.indexOf("CHARS")), whole.mid(whole.indexOf("CHARS")));

    // The last glyph opened, cleared: its record alone changes.
    GlyphSet &set = *read.set;
    set.setBits(set.size() - 1, Drawing(set.rows(), set.cols()));
    const QByteArray edited = BdfFormat::write(set, *read.bdfSource);
    QVERIFY(edited.contains("\n" + record));
    const BdfFormat::Scan editedScan = BdfFormat::scan(edited, QStringLiteral("tall.bdf"));
    QCOMPARE(qsizetype(editedScan.glyphs.size()), glyphs);
    const int cleared = set.at(set.size() - 1).codePoint;
    for (const BdfFormat::GlyphExtent &glyph : editedScan.glyphs)
        QVERIFY(glyph.codePoint != cleared || glyph.ink.h == 0 || glyph.ink.w == 0);
}

// A u8x8 font of three tiles down whose glyphs fit in 16 rows together
// opens whole, and written back keeps its tiles and where each glyph lies in
// them, which its set's cell does not tell.
void tst_FirmwareReaders::keepsItsTiles()
{
    QByteArray text = "const uint8_t tiles[] U8X8_FONT_SECTION(\"tiles\") = { 0x41, 0x42, 1, 3,\n";
    const auto tile = [](int first) { return QByteArray::number(first) + ", 0, 0, 0, 0, 0, 0, 0,\n"; };
    // 'A' a dot on row 5, 'B' one on row 18.
    text += tile(0x20) + tile(0) + tile(0) + tile(0) + tile(0) + tile(0x04) + "};\n";
    const ReadResult read = FirmwareSource::read(text, QStringLiteral("tiles.h"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.fontGlyphs, 0);
    QVERIFY(read.set->rows() <= 16);
    FontExport::Options form = storedOptions(*read.set);
    form.leftOut = read.leftOut;
    const FontExport::Result back = FontExport::write(*read.set, form);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(dataOf(back.text.toUtf8()), dataOf(text));
}

void tst_FirmwareReaders::damaged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");

    const auto gfx = [](const char *bitmap, const char *glyphs, const char *range) {
        return QByteArray("const uint8_t bBitmaps[] = { ") + bitmap + " };\n"
                + "const GFXglyph bGlyphs[] = {\n" + glyphs + "\n};\n"
                + "const GFXfont b = { (uint8_t *)bBitmaps, (GFXglyph *)bGlyphs, " + range + " };\n";
    };
    const char *twoGlyphs = "{ 0, 4, 4, 5, 0, -3 },\n{ 2, 0, 0, 3, 0, 0 },";
    QTest::newRow("gfx: a box past the bitmap's end")
            << gfx("0xF0, 0x0F", "{ 0, 4, 5, 5, 0, -3 },\n{ 2, 0, 0, 3, 0, 0 },", "0x41, 0x42, 5")
            << "bad.h: line 3: b: glyph 0x41 of 4 x 5 pixels at byte 0 runs past the bitmap's 2 bytes";
    QTest::newRow("gfx: an offset past the bitmap")
            << gfx("0xF0, 0x0F", "{ 0, 4, 4, 5, 0, -3 },\n{ 9, 1, 1, 3, 0, 0 },", "0x41, 0x42, 5")
            << "bad.h: line 4: b: glyph 0x42 of 1 x 1 pixels at byte 9 runs past the bitmap's 2 bytes";
    QTest::newRow("gfx: a table shorter than first to last")
            << gfx("0xF0, 0x0F", twoGlyphs, "0x41, 0x43, 5")
            << "bad.h: line 2: b: its glyph table bGlyphs holds 2 glyphs, where 0x41 to 0x43 takes 3";
    QTest::newRow("gfx: first above last") << gfx("0xF0, 0x0F", twoGlyphs, "0x42, 0x41, 5")
                                           << "bad.h: line 6: b: its first code 0x42 lies above its last, 0x41";
    QTest::newRow("gfx: a width wider than its field")
            << gfx("0xF0, 0x0F", "{ 0, 300, 4, 5, 0, -3 },\n{ 2, 0, 0, 3, 0, 0 },", "0x41, 0x42, 5")
            << "bad.h: line 3: b: glyph 0x41's width is 300, outside 0 to 255";
    QTest::newRow("gfx: a member the file does not define")
            << gfx("0xF0, 0x0F", twoGlyphs, "0x41, 0x42, LINE_HEIGHT")
            << "bad.h: line 6: b: its line height is not a number";

    const auto pages = [](const char *constants, const char *record) {
        return QByteArray("enum { p_First = 0x41, p_Count = 1, p_Width = 3, ") + constants
                + " };\nstatic const uint8_t p_[p_Count][p_BytesPerGlyph] = {\n    { " + record + " },\n};\n";
    };
    QTest::newRow("pages: a record size that holds no cell")
            << pages("p_Height = 8, p_BytesPerGlyph = 5", "0x01, 0x02, 0x03")
            << "bad.h: line 2: p_: a record of 5 bytes does not hold 3 x 8 pixels";
    QTest::newRow("pages: a cell beyond 16 x 16")
            << pages("p_Height = 20, p_BytesPerGlyph = 9", "0x01")
            << "bad.h: line 2: p_: its cells of 3 x 20 pixels do not fit 16 x 16";
    QTest::newRow("pages: a byte beyond 255")
            << pages("p_Height = 8, p_BytesPerGlyph = 3", "0x01, 0x100, 0x03")
            << "bad.h: line 3: p_: row 0 holds 256 where a number from 0 to 255 belongs";

    const auto c = [](const char *first, const char *values) {
        return QByteArray("enum { ") + first + "c_Count = 1, c_Width = 3, c_Height = 3, c_Values = 3 };\n"
                + "static const uint8_t c_[c_Count][c_Values] = {\n    { " + values + " },\n};\n";
    };
    QTest::newRow("c: a value wider than its row")
            << c("c_First = 0x41, ", "0x01, 0x02, 0x08")
            << "bad.h: line 3: c_: row 0 holds 8 where a number from 0 to 7 belongs";
    QTest::newRow("c: no code points") << c("", "0x01, 0x02, 0x04")
                                       << "bad.h: line 2: c_: the file gives neither c_First nor c_Codes";
}

void tst_FirmwareReaders::damaged()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);

    const ReadResult read = FirmwareSource::read(text, QStringLiteral("bad.h"));
    QVERIFY(!read.ok());
    QCOMPARE(read.error, error);
}

QTEST_GUILESS_MAIN(tst_FirmwareReaders)
#include "tst_firmwarereaders.moc"
