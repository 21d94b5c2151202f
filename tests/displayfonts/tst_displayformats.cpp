#include "firmwaresource.h"
#include "firmwaretext.h"
#include "fontcodes.h"
#include "fontexport.h"
#include "lvglfont.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <map>

// The formats of ThingPulse's OLED library, MD_MAX72XX and LVGL, each laid
// out by hand from the library's description of it, or as LVGL's converter
// writes it and LVGL draws it.
class tst_DisplayFormats : public QObject
{
    Q_OBJECT

private slots:
    void oledLayout();
    void max72xxLayout_data();
    void max72xxLayout();
    void max72xxTooTall();
    void lvglAsLvglDraws_data();
    void lvglAsLvglDraws();
    void lvglCmaps_data();
    void lvglCmaps();
    void lvglDamaged_data();
    void lvglDamaged();
};

// An OLED font laid out by hand as the library's converter lays one out:
// 13 rows (two bytes a column), ' ' blank with an advance of 3, '!' one
// column, '"' two columns of which the second's lower byte is left out as
// zero. Each glyph stands at the cell's top-left corner.
void tst_DisplayFormats::oledLayout()
{
    const QByteArray text = "const uint8_t tiny[] PROGMEM = {\n"
                            "  0x04, 0x0D, 0x20, 0x03,\n"
                            "  0xFF, 0xFF, 0x00, 0x03,\n" // ' '
                            "  0x00, 0x00, 0x02, 0x03,\n" // '!': 2 bytes at 0
                            "  0x00, 0x02, 0x03, 0x04,\n" // '"': 3 bytes at 2
                            "  0xFE, 0x0B,\n"             // rows 1-7 and 8, 9, 11
                            "  0x07, 0x00, 0x07\n"        // rows 0-2 in two columns
                            "};\n";
    const ReadResult read = FirmwareSource::read(text, QStringLiteral("tiny.h"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    const GlyphSet &set = *read.set;
    QCOMPARE(set.rows(), 13);
    QCOMPARE(set.size(), 3);
    QCOMPARE(set.advanceOf(set.at(0)), 3);
    QVERIFY(set.at(0).bits == Drawing(set.rows(), set.cols()));
    const auto column = [&set](qsizetype glyph, int c) {
        QList<int> rows;
        for (int r = 0; r < set.rows(); ++r) {
            if (set.at(glyph).bits.isSet(r, c))
                rows.append(r);
        }
        return rows;
    };
    QCOMPARE(column(1, 0), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11}));
    QCOMPARE(column(2, 0), (QList<int>{0, 1, 2}));
    QCOMPARE(column(2, 1), (QList<int>{0, 1, 2}));
    QCOMPARE(set.advanceOf(set.at(2)), 4);

    FontExport::Options form = storedOptions(set);
    const FontExport::Result back = FontExport::write(set, form);
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(dataOf(back.text.toUtf8()), dataOf(text));
}

// MD_MAX72XX's fonts laid out by hand from the library's description of
// them: a width byte and that many columns per code, bit 0 the top row, the
// char drawn at the cell's top-left corner, its advance one more than its
// width for the blank column the library adds. Each glyph as a picture of
// the set's cell, rows parted by '/'. Read again from its own export, a
// font draws the same; one laid out as this program writes it comes out
// byte for byte.
void tst_DisplayFormats::max72xxLayout_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("glyphs"); // "U+0021 2 #../#../.../#.." for each
    QTest::addColumn<bool>("sameBytes");

    QTest::newRow("version 1") << QByteArray("const uint8_t tiny[] PROGMEM = {\n"
                                             "  'F', 1, 0x20, 0x22, 4,\n"
                                             "  2, 0x00, 0x00,\n"      // ' '
                                             "  1, 0x0B,\n"            // '!': rows 0, 1, 3
                                             "  3, 0x03, 0x00, 0x03,\n" // '"'
                                             "};\n")
                               << QStringList{"U+0020 3 .../.../.../...", "U+0021 2 #../#../.../#..",
                                              "U+0022 4 #.#/#.#/.../..."}
                               << true;
    QTest::newRow("version 2") << QByteArray("const uint8_t wide[] PROGMEM = {\n"
                                             "  'F', 2, 0x04, 0x10, 0x04, 0x12, 8,\n"
                                             "  1, 0x80,\n" // U+0410: the bottom row
                                             "  0,\n"       // U+0411: none
                                             "  1, 0x01,\n" // U+0412: the top row
                                             "};\n")
                               << QStringList{"U+0410 2 .../.../.../.../.../.../.../#..",
                                              "U+0412 2 #../.../.../.../.../.../.../..."}
                               << true;
    // The library's own font is declared so, version 2 for 8-bit codes.
    QTest::newRow("the library's form") << QByteArray("MD_MAX72XX::fontType_t PROGMEM _sysfont[] =\n{\n"
                                                      "  'F', 2, 0, 0, 0, 2, 3,\n"
                                                      "  0,\t\t// 0 - 'Empty Cell'\n"
                                                      "  1, 6,\t\t// 1 - 'Bar'\n"
                                                      "  2, 1, 4,\t\t// 2 - 'Steps'\n"
                                                      "};\n")
                                        << QStringList{"U+0001 2 .../#../#..", "U+0002 3 #../.../.#."} << false;
    // Width 0 is a blank glyph of advance 1 where the comment names one.
    QTest::newRow("a blank glyph named") << QByteArray("const uint8_t tiny[] PROGMEM = {\n"
                                                       "  'F', 1, 0x20, 0x22, 4,\n"
                                                       "  0x00, // U+0020 ' '\n"
                                                       "  0x00, // U+0021, no glyph\n"
                                                       "  1, 0x0B, // U+0022 '\"'\n"
                                                       "};\n")
                                         << QStringList{"U+0020 1 .../.../.../...", "U+0022 2 #../#../.../#.."}
                                         << true;
    // A font of that blank glyph alone is still a font.
    QTest::newRow("only a blank glyph") << QByteArray("const uint8_t tiny[] PROGMEM = {\n"
                                                      "  'F', 1, 0x00, 0x00, 3,\n"
                                                      "  0x00, // U+0000 char0\n"
                                                      "};\n")
                                        << QStringList{"U+0000 1 .../.../..."} << true;
    // Without the header: codes 0 to 255, 8 rows, 'A' of two columns.
    QByteArray bare = "const uint8_t old[] = {\n";
    for (int code = 0; code < 256; ++code)
        bare += code == 0x41 ? "2, 0x81, 0x7E,\n" : "0,\n";
    QTest::newRow("no header") << bare + "};\n"
                               << QStringList{"U+0041 3 #../.#./.#./.#./.#./.#./.#./#.."} << false;
}

void tst_DisplayFormats::max72xxLayout()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, glyphs);
    QFETCH(bool, sameBytes);

    const auto pictures = [](const GlyphSet &set) {
        QStringList list;
        for (const Glyph &glyph : set.glyphs()) {
            QStringList rows;
            for (int r = 0; r < set.rows(); ++r) {
                QString row;
                for (int c = 0; c < set.cols(); ++c)
                    row += glyph.bits.isSet(r, c) ? u'#' : u'.';
                rows.append(row);
            }
            list.append(QStringLiteral("%1 %2 %3").arg(FontCodes::name(glyph.codePoint)).arg(set.advanceOf(glyph))
                                .arg(rows.join(u'/')));
        }
        return list;
    };
    const ReadResult read = FirmwareSource::read(text, QStringLiteral("font.h"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(pictures(*read.set), glyphs);
    FontExport::Options form = storedOptions(*read.set);
    if (form.name.isEmpty()) // _sysfont: a name C reserves, left to the file's
        form.name = QStringLiteral("font");
    const FontExport::Result back = FontExport::write(*read.set, form);
    QVERIFY2(back.ok(), qPrintable(back.error));
    const ReadResult again = FirmwareSource::read(back.text.toUtf8(), QStringLiteral("again.h"));
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(pictures(*again.set), glyphs);
    if (sameBytes)
        QCOMPARE(dataOf(back.text.toUtf8()), dataOf(text));
}

// A matrix has 8 rows: a glyph with ink in the 9th is named.
void tst_DisplayFormats::max72xxTooTall()
{
    GlyphSet set(3, 9);
    set.ascent = 7;
    Glyph g{0x67, {}, Drawing(9, 3), std::nullopt};
    g.bits.set(8, 1, true);
    set.append(g);
    FontExport::Options options;
    options.format = FontExport::Format::Max72xx;
    options.name = QStringLiteral("tall");
    QCOMPARE(FontExport::write(set, options).error,
             QStringLiteral("U+0067: its ink reaches row 9 of its cell; an LED-matrix font has 8 rows"));
}


namespace {
const QString kLvgl = QStringLiteral(KELVOR_GOLDEN_DIR "/lvgl");

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each glyph's advance and pixels from the pen, y downwards from the
// baseline: "65 5 1,-6 2,-6 ...", as draw-with-library's LVGL client prints
// what LVGL draws darker than mid-grey.
QStringList drawing(const GlyphSet &set)
{
    QStringList lines;
    for (const Glyph &glyph : set.glyphs()) {
        std::vector<std::pair<int, int>> pixels = set.drawn(glyph).pixels();
        std::sort(pixels.begin(), pixels.end(), [](const auto &a, const auto &b) {
            return a.second != b.second ? a.second < b.second : a.first < b.first;
        });
        QString line = QStringLiteral("%1 %2").arg(glyph.codePoint).arg(set.advanceOf(glyph));
        for (const auto &[x, y] : pixels)
            line += QStringLiteral(" %1,%2").arg(x).arg(y);
        lines.append(line);
    }
    return lines;
}

QStringList drawnByLvgl(const QByteArray &raw)
{
    QStringList lines;
    for (const QByteArray &line : raw.split('\n')) {
        QList<QByteArray> words = line.split(' ');
        if (words.size() < 3)
            continue;
        words.removeAt(2); // the count of pixels
        lines.append(QString::fromLatin1(words.join(' ')));
    }
    return lines;
}
} // namespace

// Fonts of LVGL's converter, and the font LVGL ships, read as LVGL draws
// them (its drawing in the .drawn files, by LVGL 8.3 for the converter's
// fonts of 2 to 8 bits a pixel, by 9.2 for unscii): DejaVu Sans at 14 px
// has pixels of every shade, so each depth and compression meets the
// half-covered rule. Written again at 1 bit, a font draws the same.
void tst_DisplayFormats::lvglAsLvglDraws_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("reduced");

    QTest::newRow("2 bits, plain") << "dejavu_b2" << true;
    QTest::newRow("3 bits, compressed, lines XORed") << "dejavu_z3" << true;
    QTest::newRow("4 bits, compressed") << "dejavu_n4" << true;
    QTest::newRow("8 bits, plain") << "dejavu_b8" << true;
    QTest::newRow("unscii 8 as LVGL ships it") << "lv_font_unscii_8" << false;
}

void tst_DisplayFormats::lvglAsLvglDraws()
{
    QFETCH(QString, file);
    QFETCH(bool, reduced);

    const QStringList drawn = drawnByLvgl(fileText(QDir(kLvgl).filePath(file + QStringLiteral(".drawn"))));
    QVERIFY(!drawn.isEmpty());
    const ReadResult read = FirmwareSource::read(fileText(QDir(kLvgl).filePath(file + QStringLiteral(".c"))),
                                                 file + QStringLiteral(".c"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(drawing(*read.set), drawn);
    QCOMPARE(!read.notes.isEmpty(), reduced);

    const FontExport::Result again = FontExport::write(*read.set, storedOptions(*read.set));
    QVERIFY2(again.ok(), qPrintable(again.error));
    const ReadResult back = FirmwareSource::read(again.text.toUtf8(), QStringLiteral("again.c"));
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(drawing(*back.set), drawn);
}

// The ranges planned for code points, as LVGL's converter plans them for
// the same codes (its cmaps for Unifont with these ranges), but where it
// takes a format 0 full range, which LVGL draws wrong for the codes it
// lacks: "tiny FIRST+LENGTH" or "sparse FIRST+LENGTH/CODES".
void tst_DisplayFormats::lvglCmaps_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QStringList>("plan");

    const auto codes = [](std::initializer_list<std::pair<int, int>> ranges) {
        QList<int> list;
        for (const auto &[first, last] : ranges) {
            for (int code = first; code <= last; ++code)
                list.append(code);
        }
        return list;
    };
    QTest::newRow("ASCII, Latin-1, quotes, euro")
            << codes({{0x20, 0x7E}, {0xA0, 0xFF}, {0x2018, 0x201D}, {0x20AC, 0x20AC}})
            << QStringList{"tiny 32+95", "tiny 160+96", "sparse 8216+149/7"};
    QTest::newRow("ASCII, Cyrillic, box drawing, CJK")
            << codes({{0x20, 0x7E}, {0x410, 0x44F}, {0x2500, 0x257F}, {0x4E00, 0x4E20}})
            << QStringList{"tiny 32+95", "tiny 1040+64", "tiny 9472+128", "tiny 19968+33"};
    // The converter takes a full range for the letters.
    QTest::newRow("digits, every other letter")
            << codes({{0x30, 0x39}, {0x41, 0x41}, {0x43, 0x43}, {0x45, 0x45}, {0x47, 0x47}, {0x49, 0x49}, {0x4B, 0x4B},
                      {0x4D, 0x4D}, {0x4F, 0x4F}, {0x51, 0x51}, {0x53, 0x53}})
            << QStringList{"tiny 48+10", "sparse 65+19/10"};
}

void tst_DisplayFormats::lvglCmaps()
{
    QFETCH(QList<int>, codes);
    QFETCH(QStringList, plan);

    QStringList planned;
    for (const auto &[type, range] : LvglFont::planCmaps(std::vector<int>(codes.begin(), codes.end()))) {
        const int length = range.back() - range.front() + 1;
        planned.append(type == LvglFont::CmapType::Format0Tiny
                               ? QStringLiteral("tiny %1+%2").arg(range.front()).arg(length)
                               : QStringLiteral("sparse %1+%2/%3").arg(range.front()).arg(length).arg(range.size()));
    }
    QCOMPARE(planned, plan);
}

// Damaged fonts are refused with the file, a line and what is wrong.
void tst_DisplayFormats::lvglDamaged_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("error");

    QTest::newRow("a range past the glyphs")
            << QByteArray(".glyph_id_start = 1,") << QByteArray(".glyph_id_start = 3,")
            << "bad.c: line 49: LVGL font three: cmaps[0] leads outside its range or the 3 glyphs";
    QTest::newRow("a bitmap cut short") << QByteArray("    0xBE,\n") << QByteArray()
                                        << "bad.c: line 48: LVGL font three: glyph_dsc[3]: the bitmap of U+0069 "
                                           "runs past the end of the 8 bytes";
    QTest::newRow("a depth LVGL lacks") << QByteArray(".bpp = 1,") << QByteArray(".bpp = 5,")
                                        << "bad.c: line 49: LVGL font three: a font of 5 bits a pixel";
    QTest::newRow("cmap_num and cmaps differ")
            << QByteArray(".cmap_num = 1,") << QByteArray(".cmap_num = 2,")
            << "bad.c: line 49: LVGL font three: cmap_num is 2; cmaps holds 1";
}

void tst_DisplayFormats::lvglDamaged()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, error);

    QByteArray text = fileText(QStringLiteral(KELVOR_GOLDEN_DIR "/lvgl.c"));
    QVERIFY(text.contains(from));
    const ReadResult read = FirmwareSource::read(text.replace(from, to), QStringLiteral("bad.c"));
    QCOMPARE(read.error, error);
}

QTEST_GUILESS_MAIN(tst_DisplayFormats)
#include "tst_displayformats.moc"
