#include "bdfformat.h"
#include "csourcereader.h"
#include "exportchoices.h"
#include "firmwaresource.h"
#include "fontexport.h"
#include "fontfile.h"
#include "realfonts.h"
#include "u8g2font.h"
#include "u8x8font.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// u8g2 and u8x8 fonts read back from C source: this program's exports of
// real fonts give the same file again; fonts from the library's own
// converter (golden/, made from X11's public-domain 4x6) give their bytes
// again and draw what the BDF font draws; damaged fonts give one line.
class tst_U8g2Reader : public QObject
{
    Q_OBJECT

private slots:
    void exported_data();
    void exported();
    void converted_data();
    void converted();
    void knownByContent_data();
    void knownByContent();
    void damaged_data();
    void damaged();

private:
    bool bdf(const QString &file, GlyphSet *set, QString *message);

    QTemporaryDir m_dir;
};

bool tst_U8g2Reader::bdf(const QString &file, GlyphSet *set, QString *message)
{
    QString path;
    QByteArray bytes;
    if (!RealFonts::prepare(file, m_dir.path(), &path, message) || !FontFile::load(path, &bytes, message))
        return false;
    const ReadResult read = BdfFormat::read(bytes, path);
    *message = read.error;
    *set = read.set.value_or(GlyphSet());
    return read.ok();
}

namespace {
QString exportOf(const GlyphSet &set, FontExport::Format format, const QString &name)
{
    FontExport::Options options;
    options.format = format;
    options.name = name;
    options.lines.ranges = {{0, FontExport::highestCodePoint(format)}};
    const FontExport::Result result = FontExport::write(set, options);
    return result.ok() ? result.text : result.error;
}

QByteArray golden(const QString &name)
{
    QFile file(QStringLiteral(KELVOR_GOLDEN_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void tst_U8g2Reader::exported_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<FontExport::Format>("format");
    for (const char *font : {"5x7.pcf.gz", "6x13.pcf.gz", "8x13.pcf.gz", "/usr/share/fonts/X11/75dpi/helvR08.pcf.gz",
                             "/usr/share/fonts/X11/75dpi/lubR08.pcf.gz"}) {
        for (const FontExport::Format format : {FontExport::Format::U8g2, FontExport::Format::U8x8}) {
            const QString file = QString::fromLatin1(font).section(u'/', -1);
            QTest::addRow("%s %s", qPrintable(FontExport::name(format)), qPrintable(file)) << QString::fromLatin1(font) << format;
        }
    }
}

// Opened, the export gives the export again, under the name and in the
// format the set keeps: bytes, glyph names, font name and cell.
void tst_U8g2Reader::exported()
{
    QFETCH(QString, font);
    QFETCH(FontExport::Format, format);
    GlyphSet set;
    QString message;
    QVERIFY2(bdf(font, &set, &message), qPrintable(message));
    const QString text = exportOf(set, format, QStringLiteral("font_x"));
    const ReadResult read = FirmwareSource::read(text.toUtf8(), QStringLiteral("font_x.c"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    const ExportChoices choices = ExportChoices::fromProperties(read.set->properties);
    QCOMPARE(choices.format, format);
    QCOMPARE(exportOf(*read.set, choices.format, choices.name), text);
}

void tst_U8g2Reader::converted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<FontExport::Format>("format");
    QTest::addColumn<int>("glyphs");
    // 727 glyphs from U+0100: seven blocks of the lookup table.
    QTest::newRow("u8g2 with Unicode") << "u8g2-converter-4x6.c" << FontExport::Format::U8g2 << 822;
    QTest::newRow("u8x8") << "u8x8-converter-4x6.c" << FontExport::Format::U8x8 << 95;
}

// The converter's bytes again, from a set that draws each glyph as the BDF
// font it was made from does.
void tst_U8g2Reader::converted()
{
    QFETCH(QString, file);
    QFETCH(FontExport::Format, format);
    QFETCH(int, glyphs);
    const QByteArray text = golden(file);
    const ReadResult read = FirmwareSource::read(text, file);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const GlyphSet &set = *read.set;
    QCOMPARE(set.size(), glyphs);
    QCOMPARE(set.fontName, QByteArray("-Misc-Fixed-Medium-R-Normal--6-60-75-75-C-40-ISO10646-1"));

    const CSourceReader::Source source = CSourceReader::read(text);
    QCOMPARE(source.declarations.size(), size_t(1));
    const CSourceReader::Declaration &array = source.declarations.front();
    const std::optional<QByteArray> again = format == FontExport::Format::U8g2 ? U8g2Font::encode(set) : U8x8Font::encode(set);
    QVERIFY(again);
    // The array as the compiler lays it out: the literal and its NUL, which
    // the converter leaves for the font's last byte where that is 0.
    QCOMPARE(*again, (array.value.text + '\0').left(array.dimensions.front()));

    GlyphSet bdfSet;
    QString message;
    QVERIFY2(bdf(QStringLiteral("4x6.pcf.gz"), &bdfSet, &message), qPrintable(message));
    for (const Glyph &glyph : set.glyphs()) {
        const Glyph &original = bdfSet.at(bdfSet.indexOf(glyph.codePoint));
        if (format == FontExport::Format::U8g2) {
            QCOMPARE(set.drawn(glyph).pixels(), bdfSet.drawn(original).pixels());
            QCOMPARE(set.advanceOf(glyph), bdfSet.advanceOf(original));
        } else {
            // The converter puts the cell's bottom row on the tile's.
            DrawnGlyph drawn = bdfSet.drawn(original);
            drawn.y += 8 - (bdfSet.rows() - bdfSet.ascent);
            QCOMPARE((DrawnGlyph{0, 0, 0, 0, glyph.bits}.pixels()), drawn.pixels());
        }
    }
}

void tst_U8g2Reader::knownByContent_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("format"); // empty: no font
    const QByteArray u8x8 = golden(QStringLiteral("u8x8-converter-4x6.c"));
    QByteArray u8x8Bare = u8x8;
    u8x8Bare.replace("U8X8_FONT_SECTION(\"u8x8_font_4x6_converted\")", "");
    QByteArray u8g2Bare = golden(QStringLiteral("u8g2-converter-4x6.c"));
    u8g2Bare.replace("U8G2_FONT_SECTION(\"u8g2_font_4x6_converted\")", "");
    QTest::newRow("u8g2, its section macro") << golden(QStringLiteral("u8g2-converter-4x6.c")) << "u8g2";
    QTest::newRow("u8g2 by content") << u8g2Bare << "u8g2";
    QTest::newRow("u8x8, its section macro") << u8x8 << "u8x8";
    QTest::newRow("u8x8 by content, the literal's NUL past it") << u8x8Bare << "u8x8";
    QTest::newRow("u8x8 by content, a list") << QByteArray("const uint8_t f[] = {65, 65, 1, 1, 0, 1, 2, 3, 4, 5, 6, 7};") << "u8x8";
    QTest::newRow("u8x8 by content, but part of another font")
            << QByteArray("const uint8_t b[] = {65, 65, 1, 1, 0, 1, 2, 3, 4, 5, 6, 7};\nconst uint8_t *const p = b;") << "";
    QTest::newRow("u8x8 header, one byte short") << QByteArray("const uint8_t f[] = {65, 65, 1, 1, 0, 1, 2, 3, 4, 5, 6};") << "";
    QTest::newRow("numbers beyond a byte") << QByteArray("const int f[] = {65, 65, 1, 1, 0, 1, 2, 3, 4, 5, 6, 700};") << "";
}

void tst_U8g2Reader::knownByContent()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, format);
    const FirmwareSource::Scan scan = FirmwareSource::scan(text, QStringLiteral("f.c"));
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    QCOMPARE(scan.fonts.size(), size_t(format.isEmpty() ? 0 : 1));
    if (!format.isEmpty())
        QCOMPARE(FontExport::name(scan.fonts.front().format), format);
}

void tst_U8g2Reader::damaged_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    // A header of fields 8 bits wide each, and 'A' with 2 bytes for its 40
    // bits of box.
    const QByteArray header = "1,0,2,2,8,8,8,8,8, 0,0,0,0, 0,0,0,0, 0,0, 0,0, 0,6,";
    QTest::newRow("field widths run past a record")
            << QByteArray("\nconst uint8_t f[] U8G2_FONT_SECTION(\"f\") = {") + header + " 65,4,0,0, 0,0, 0,4,255,255, 0,0};"
            << QStringLiteral("f.c: line 2: u8g2 font f: byte 23: the record of U+0041 ends within its box");
    QTest::newRow("an offset beyond the data")
            << QByteArray("const uint8_t f[] U8G2_FONT_SECTION(\"f\") = {1,0,2,2,8,8,8,8,8, 0,0,0,0, 0,0,0,0, 0,0, 0,0, 9,9, 65,4,0,0, 0,0};")
            << QStringLiteral("f.c: line 1: u8g2 font f: byte 29: the Unicode lookup table has no entry for U+FFFF");
    // 'A' 17 x 1, too large to open, its runs of 3 set pixels repeated past
    // its box: the font is damaged though the glyph is not drawn.
    QTest::newRow("runs past a box too large to open")
            << QByteArray("const uint8_t f[] U8G2_FONT_SECTION(\"f\") = {1,0,2,2,8,8,8,8,8, 0,0,0,0, 0,0,0,0, 0,0, 0,0, 0,11,"
                          " 65,9,17,1,128,128,128,0xFC,0xFF, 0,0, 0,4,255,255, 0,0};")
            << QStringLiteral("f.c: line 1: u8g2 font f: byte 23: the runs of U+0041 pass the end of its 17 x 1 box");
    QTest::newRow("a literal cut short")
            << QByteArray("const uint8_t f[] U8X8_FONT_SECTION(\"f\") =\n  \" !\\1\\1\\0\";")
            << QStringLiteral("f.c: line 1: u8x8 font f: byte 6: the data ends within the glyphs; U+0020 to U+0021 take 20 bytes");
    // Glyphs of 33 tiles down, 264 rows: more than a BDF font can keep
    // whole, so nothing opened from them could be saved.
    QTest::newRow("tiles taller than a font holds")
            << "const uint8_t f[] U8X8_FONT_SECTION(\"f\") = {65,65,1,33," + QByteArray("255,").repeated(33 * 8) + "};"
            << QStringLiteral("f.c: line 1: u8x8 font f: byte 3: 33 tiles down make glyphs 264 pixels high, more than the 256 a font holds here");
}

void tst_U8g2Reader::damaged()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    const ReadResult read = FirmwareSource::read(text, QStringLiteral("f.c"));
    QVERIFY(!read.ok());
    QCOMPARE(read.error, message);
}

QTEST_GUILESS_MAIN(tst_U8g2Reader)
#include "tst_u8g2reader.moc"
