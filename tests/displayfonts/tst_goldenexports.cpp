#include "bdfformat.h"
#include "fontexport.h"

#include <QDir>
#include <QFile>
#include <QTest>

// A three-glyph font's whole export in each format, against the text in
// golden/. The files were written by the program and read by eye against
// each format's layout once; their bytes are checked apart from the
// encoders elsewhere: the lines against the readout rules (tst_glyphexport),
// the C, GFX and page headers read back by HeaderReference and compiled with
// the libraries' declarations (tst_fontheaders), the u8g2 and u8x8 arrays
// drawn by U8g2Reference, the libraries' own drawing, and compiled
// (tst_u8g2font), the OLED and LED-matrix fonts drawn by their libraries
// once. What these files add is the rest of the text: comments,
// names, declarations, layout, which a change elsewhere must not move.
// KELVOR_UPDATE_GOLDEN=1 writes the files anew.
class tst_GoldenExports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void text_data();
    void text();

private:
    GlyphSet m_font;
};

Q_DECLARE_METATYPE(FontExport::Options)

namespace {
// 'f' reaching left of the pen, 'g' with a descender, and a narrow 'i', with
// U+0068 missing between them.
const char kBdf[] = R"(STARTFONT 2.1
FONT -golden-three-medium-r-normal--9-90-75-75-c-60-iso10646-1
SIZE 9 75 75
FONTBOUNDINGBOX 6 9 -1 -2
STARTPROPERTIES 2
FONT_ASCENT 7
FONT_DESCENT 2
ENDPROPERTIES
CHARS 3
STARTCHAR f
ENCODING 102
SWIDTH 444 0
DWIDTH 4 0
BBX 4 7 -1 0
BITMAP
30
40
F0
40
40
40
40
ENDCHAR
STARTCHAR g
ENCODING 103
SWIDTH 667 0
DWIDTH 6 0
BBX 5 6 0 -2
BITMAP
78
88
88
78
08
F0
ENDCHAR
STARTCHAR i
ENCODING 105
SWIDTH 222 0
DWIDTH 2 0
BBX 1 7 0 0
BITMAP
80
00
80
80
80
80
80
ENDCHAR
ENDFONT
)";
} // namespace

void tst_GoldenExports::initTestCase()
{
    const ReadResult read = BdfFormat::read(QByteArray(kBdf), QStringLiteral("three.bdf"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    m_font = *read.set;
    QCOMPARE(m_font.size(), 3);
}

void tst_GoldenExports::text_data()
{
    QTest::addColumn<QString>("file"); // in golden/
    QTest::addColumn<FontExport::Options>("options");

    FontExport::Options options;
    options.name = QStringLiteral("three");
    options.lines.comments = true;
    const auto row = [&options](const char *file, FontExport::Format format) {
        options.format = format;
        QTest::newRow(file) << QString::fromLatin1(file) << options;
    };
    row("lines.txt", FontExport::Format::Lines);
    row("c.h", FontExport::Format::C);
    row("gfx.h", FontExport::Format::Gfx);
    row("u8g2.c", FontExport::Format::U8g2);
    row("u8x8.c", FontExport::Format::U8x8);
    row("pages.h", FontExport::Format::Pages);
    // 'f' reaching left of the pen moves the whole font a column right.
    row("oled.h", FontExport::Format::Oled);
    row("lvgl.c", FontExport::Format::Lvgl);
    // So for an LED matrix, without 'g', whose descender reaches the cell's
    // 9th row; U+0067 and U+0068 are blank chars between.
    options.lines.ranges = {{0x66, 0x66}, {0x69, 0x69}};
    row("max72xx.h", FontExport::Format::Max72xx);
    options.lines.ranges.clear();
    options.pageOrder = FontExport::PageOrder::Page;
    options.widths = true;
    row("pages-by-page-widths.h", FontExport::Format::Pages);
    // A glyph placed elsewhere is named by both code points.
    options.remaps = {{0x69, 0x69, 0x68}};
    row("gfx-remapped.h", FontExport::Format::Gfx);
}

void tst_GoldenExports::text()
{
    QFETCH(QString, file);
    QFETCH(FontExport::Options, options);

    const FontExport::Result result = FontExport::write(m_font, options);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QFile golden(QDir(QStringLiteral(KELVOR_GOLDEN_DIR)).filePath(file));
    if (qEnvironmentVariableIsSet("KELVOR_UPDATE_GOLDEN")) {
        QVERIFY(golden.open(QIODevice::WriteOnly) && golden.write(result.text.toUtf8()) > 0);
        QSKIP("golden file written");
    }
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(golden.fileName()));
    // As lists of lines, so that a failure shows the first line that
    // differs rather than two whole texts.
    QCOMPARE(result.text.split(QLatin1Char('\n')), QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(tst_GoldenExports)
#include "tst_goldenexports.moc"
