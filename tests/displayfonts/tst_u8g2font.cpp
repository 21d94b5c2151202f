#include "codepoints.h"
#include "fontfixtures.h"
#include "glyphsetfile.h"
#include "headerreference.h"
#include "realfonts.h"
#include "u8g2font.h"
#include "u8g2reference.h"
#include "u8x8font.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Glyph sets as u8g2 and u8x8 fonts: real fonts and edge cases drawn by a
// reference of the libraries' own drawing, the same glyphs read back, sizes
// against u8g2's own converter, the C files compiled, and what is refused.
class tst_U8g2Font : public QObject
{
    Q_OBJECT

private slots:
    void u8g2_data();
    void u8g2();
    void u8x8_data();
    void u8x8();
    void source_data();
    void source();
    void encodeRefusals_data();
    void encodeRefusals();
    void decodeRefusals_data();
    void decodeRefusals();

private:
    bool load(const QString &font, const QString &ranges, int maxCode, GlyphSet *set, QString *why);

    QTemporaryDir m_dir;
};

namespace {

const QString kMisc = QStringLiteral("/usr/share/fonts/X11/misc/");
const QString k75dpi = QStringLiteral("/usr/share/fonts/X11/75dpi/");
const QString kConsole = QStringLiteral("/usr/share/consolefonts/");
const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");

bool fail(QString *why, const QString &what)
{
    *why = what;
    return false;
}

std::vector<uint8_t> bytesOf(const QByteArray &font)
{
    return std::vector<uint8_t>(font.begin(), font.end());
}

// Small sets for what real fonts lack, each named by its row. A glyph's
// pixels follow its code, so that no two are alike.
GlyphSet edgeSet(const QString &which)
{
    struct Spec
    {
        int cols, rows, ascent, xOffset;
        QList<int> codes;
    };
    const QHash<QString, Spec> specs = {
        {"blank glyphs", {5, 7, 6, 0, {0x20, 0x41, 0xA0, 0x100}}},
        {"one glyph", {3, 3, 3, 0, {0x78}}},
        {"16 x 16, every pixel set", {16, 16, 14, -1, {0x00, 0x41, 0x2588}}},
        {"codes 0, 255, 256 and U+FFFF", {6, 8, 7, 0, {0x00, 0xFF, 0x100, 0xFFFF}}},
        {"baseline above the cell", {5, 7, -3, 0, {0x41, 0x5F}}},
        {"baseline below the cell", {5, 7, 12, 2, {0x41, 0x5F}}},
        {"advances 0, negative and 127", {8, 8, 6, -4, {0x300, 0x301, 0x302}}},
        {"advance 128", {5, 7, 6, 0, {0x41}}},
        {"pixels 130 right of the pen", {16, 8, 6, 120, {0x41}}},
        {"pixels 135 above the baseline", {5, 7, 140, 0, {0x41}}},
        {"code past 255", {5, 7, 6, 0, {0x41, 0x100}}},
        {"no glyph", {5, 7, 6, 0, {}}},
    };
    const Spec spec = specs.value(which);
    GlyphSet set(spec.cols, spec.rows);
    set.ascent = spec.ascent;
    set.xOffset = spec.xOffset;
    for (int i = 0; i < spec.codes.size(); ++i) {
        const int code = spec.codes[i];
        Glyph glyph{code, {}, Drawing(spec.rows, spec.cols), std::nullopt};
        for (int r = 0; r < spec.rows; ++r) {
            for (int c = 0; c < spec.cols; ++c) {
                const bool blank = which == QLatin1String("blank glyphs") && i % 2 == 0;
                const bool full = which.startsWith(QLatin1String("16 x 16"));
                glyph.bits.set(r, c, !blank && (full || (r * 7 + c * 3 + code) % 5 < 2));
            }
        }
        if (which.startsWith(QLatin1String("advances")))
            glyph.advance = QList<int>{0, -5, 127}.at(i);
        if (which == QLatin1String("advance 128"))
            glyph.advance = 128;
        set.append(glyph);
    }
    return set;
}

// Every code 0..U+FFFF looked up and drawn by the reference: the set's
// glyphs where the set draws them, with their advances, and nothing else.
bool drawsAsSet(const QByteArray &font, const GlyphSet &set, QString *why)
{
    U8g2Reference::Font reference(bytesOf(font));
    qsizetype index = 0;
    for (int code = 0; code <= 0xFFFF; ++code) {
        const std::optional<U8g2Reference::Drawn> drawn = reference.draw(unsigned(code));
        const QString name = CodePoints::name(code);
        if (reference.overrun)
            return fail(why, QStringLiteral("looking up %1 reads past the end").arg(name));
        if (index >= set.size() || set.at(index).codePoint != code) {
            if (drawn)
                return fail(why, QStringLiteral("%1 is found but not in the set").arg(name));
            continue;
        }
        const DrawnGlyph expected = set.drawn(set.at(index++));
        if (!drawn)
            return fail(why, QStringLiteral("%1 is not found").arg(name));
        if (drawn->advance != expected.advance)
            return fail(why, QStringLiteral("%1 advances %2, not %3").arg(name).arg(drawn->advance).arg(expected.advance));
        if (drawn->pixels != expected.pixels())
            return fail(why, QStringLiteral("%1 is drawn elsewhere").arg(name));
    }
    return true;
}

// The reference's u8x8 drawing of every code 0..255 against the set's cells
// in the tiles' top-left corner.
bool tilesAsSet(const QByteArray &font, const GlyphSet &set, QString *why)
{
    for (int code = 0; code <= 0xFF; ++code) {
        const qsizetype index = set.indexOf(code);
        U8g2Reference::Pixels expected;
        if (index >= 0) {
            const Drawing &bits = set.at(index).bits;
            for (int r = 0; r < bits.rows(); ++r) {
                for (int c = 0; c < bits.cols(); ++c) {
                    if (bits.isSet(r, c))
                        expected.emplace_back(c, r);
                }
            }
        }
        if (U8g2Reference::drawTiles(bytesOf(font), unsigned(code)) != expected)
            return fail(why, QStringLiteral("%1 is drawn otherwise").arg(CodePoints::name(code)));
    }
    return true;
}

} // namespace

// A font file's glyphs with code points in `ranges` (every one up to
// `maxCode` when empty), in code order, each code once.
bool tst_U8g2Font::load(const QString &font, const QString &ranges, int maxCode, GlyphSet *set, QString *why)
{
    if (!font.startsWith(QLatin1Char('/'))) {
        *set = FontFixtures::displaySet(edgeSet(font), maxCode);
        return true;
    }
    QString file;
    if (!RealFonts::prepare(font, m_dir.path(), &file, why))
        return false;
    GlyphSetFile::Options options;
    options.outline.pixelSize = 12;
    for (int code = 0x20; code <= 0x7E; ++code)
        options.outline.codePoints.append(code);
    const ReadResult read = GlyphSetFile::open(file, options);
    if (!read.ok())
        return fail(why, read.error);
    CodePoints::Ranges wanted;
    if (!ranges.isEmpty() && !CodePoints::parseRanges(ranges, &wanted, why))
        return false;
    *set = FontFixtures::displaySet(*read.set, maxCode, wanted);
    return true;
}

void tst_U8g2Font::u8g2_data()
{
    QTest::addColumn<QString>("font"); // a file, or an edge case's name
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<int>("converterBytes"); // 0: not measured

    // u8g2's own converter (bdfconv -f 1 -b 0) made these sizes from the
    // same fonts and ranges.
    QTest::newRow("X11 5x7, 32-126") << kMisc + "5x7.pcf.gz" << "32-126" << 804;
    QTest::newRow("X11 5x7, 32-126 and Cyrillic") << kMisc + "5x7.pcf.gz" << "32-126,0x400-0x45F" << 1701;
    QTest::newRow("X11 6x13, 32-126") << kMisc + "6x13.pcf.gz" << "32-126" << 1056;
    QTest::newRow("X11 6x13, 1128 glyphs, 9 lookup entries") << kMisc + "6x13.pcf.gz" << "32-255,0x100-0x52F" << 14212;
    QTest::newRow("X11 8x16, 32-126") << kMisc + "8x16.pcf.gz" << "32-126" << 1581;
    QTest::newRow("X11 8x13, whole") << kMisc + "8x13.pcf.gz" << "" << 0;
    QTest::newRow("X11 9x15, whole") << kMisc + "9x15.pcf.gz" << "" << 0;
    QTest::newRow("75-dpi Helvetica 8, whole") << k75dpi + "helvR08.pcf.gz" << "" << 0;
    QTest::newRow("75-dpi Times 8, whole") << k75dpi + "timR08.pcf.gz" << "" << 0;
    QTest::newRow("Terminus 16 (PSF)") << kConsole + "Lat15-Terminus16.psf.gz" << "" << 0;
    QTest::newRow("Fixed 14 (PSF)") << kConsole + "Lat2-Fixed14.psf.gz" << "" << 0;
    QTest::newRow("DejaVu Sans 12 px") << kDejaVu + "DejaVuSans.ttf" << "" << 0;
    for (const char *edge : {"blank glyphs", "one glyph", "16 x 16, every pixel set", "codes 0, 255, 256 and U+FFFF",
                             "baseline above the cell", "baseline below the cell", "advances 0, negative and 127",
                             "no glyph"})
        QTest::newRow(edge) << QString::fromLatin1(edge) << "" << 0;
}

void tst_U8g2Font::u8g2()
{
    QFETCH(QString, font);
    QFETCH(QString, ranges);
    QFETCH(int, converterBytes);
    GlyphSet set;
    QString why;
    QVERIFY2(load(font, ranges, 0xFFFF, &set, &why), qPrintable(why));

    const std::optional<QByteArray> encoded = U8g2Font::encode(set, &why);
    QVERIFY2(encoded, qPrintable(why));
    if (converterBytes > 0)
        QVERIFY2(encoded->size() <= converterBytes, qPrintable(QString::number(encoded->size())));
    QVERIFY2(drawsAsSet(*encoded, set, &why), qPrintable(why));

    const std::optional<std::vector<DrawnGlyph>> decoded = U8g2Font::decode(*encoded, &why);
    QVERIFY2(decoded, qPrintable(why));
    QCOMPARE(qsizetype(decoded->size()), set.size());
    for (qsizetype i = 0; i < set.size(); ++i) {
        const DrawnGlyph expected = set.drawn(set.at(i));
        const DrawnGlyph &glyph = (*decoded)[size_t(i)];
        QCOMPARE(glyph.codePoint, expected.codePoint);
        QCOMPARE(glyph.advance, expected.advance);
        QVERIFY2(glyph.pixels() == expected.pixels(), qPrintable(CodePoints::name(glyph.codePoint)));
    }
}

void tst_U8g2Font::u8x8_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<int>("converterBytes"); // 0: not measured

    // bdfconv -f 2 made these sizes: clR8x8 as it is, 8x16 with -th 1 -tv 2.
    QTest::newRow("X11 clR8x8, 32-126") << kMisc + "clR8x8.pcf.gz" << "32-126" << 764;
    QTest::newRow("X11 8x16, 32-126") << kMisc + "8x16.pcf.gz" << "32-126" << 1524;
    QTest::newRow("X11 5x7, 0-255") << kMisc + "5x7.pcf.gz" << "" << 0;
    QTest::newRow("Terminus 16 (PSF), with gaps") << kConsole + "Lat15-Terminus16.psf.gz" << "" << 0;
    QTest::newRow("DejaVu Sans 12 px, 2 x 2 tiles") << kDejaVu + "DejaVuSans.ttf" << "" << 0;
    for (const char *edge : {"one glyph", "16 x 16, every pixel set", "baseline above the cell"})
        QTest::newRow(edge) << QString::fromLatin1(edge) << "" << 0;
}

void tst_U8g2Font::u8x8()
{
    QFETCH(QString, font);
    QFETCH(QString, ranges);
    QFETCH(int, converterBytes);
    GlyphSet set;
    QString why;
    QVERIFY2(load(font, ranges, 0xFF, &set, &why), qPrintable(why));

    const std::optional<QByteArray> encoded = U8x8Font::encode(set, &why);
    QVERIFY2(encoded, qPrintable(why));
    if (converterBytes > 0)
        QCOMPARE(encoded->size(), converterBytes);
    // As few tiles as hold the cell.
    QCOMPARE(int(encoded->at(2)), (set.cols() + 7) / 8);
    QCOMPARE(int(encoded->at(3)), (set.rows() + 7) / 8);
    QVERIFY2(tilesAsSet(*encoded, set, &why), qPrintable(why));

    const std::optional<std::vector<DrawnGlyph>> decoded = U8x8Font::decode(*encoded, &why);
    QVERIFY2(decoded, qPrintable(why));
    const int first = set.at(0).codePoint;
    QCOMPARE(qsizetype(decoded->size()), qsizetype(set.at(set.size() - 1).codePoint - first + 1));
    for (const DrawnGlyph &glyph : *decoded) {
        const qsizetype index = set.indexOf(glyph.codePoint);
        std::vector<std::pair<int, int>> expected;
        if (index >= 0)
            expected = DrawnGlyph{glyph.codePoint, 0, 0, 0, set.at(index).bits}.pixels();
        QVERIFY2(glyph.pixels() == expected, qPrintable(CodePoints::name(glyph.codePoint)));
    }
}

void tst_U8g2Font::source_data()
{
    QTest::addColumn<bool>("tiles"); // u8x8, else u8g2
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("ranges");

    QTest::newRow("u8g2, X11 5x7") << false << kMisc + "5x7.pcf.gz" << "32-126";
    QTest::newRow("u8g2, X11 6x13 with Unicode") << false << kMisc + "6x13.pcf.gz" << "32-255,0x100-0x52F";
    QTest::newRow("u8x8, X11 8x16") << true << kMisc + "8x16.pcf.gz" << "";
    QTest::newRow("u8x8, 16 x 16") << true << "16 x 16, every pixel set" << "";
}

void tst_U8g2Font::source()
{
#ifdef _MSC_VER
    QSKIP("the syntax check runs gcc or clang");
#endif
    QFETCH(bool, tiles);
    QFETCH(QString, font);
    QFETCH(QString, ranges);
    GlyphSet set;
    QString why;
    QVERIFY2(load(font, ranges, tiles ? 0xFF : 0xFFFF, &set, &why), qPrintable(why));
    // A name that would end its comment line.
    set.fontName = "Name\n#error the comment ended";
    const QString name = QStringLiteral("font_%1").arg(tiles ? "u8x8" : "u8g2");
    const CSource::File source = tiles ? U8x8Font::write(set, name) : U8g2Font::write(set, name);
    QVERIFY2(source.ok(), qPrintable(source.error));
    const QString *text = &source.text;

    // The library's declarations, as far as a font file needs them.
    // An Arduino library has it under clib/ in its sources, which the
    // sketch's build puts on the include path.
    const QDir dir(m_dir.path());
    QVERIFY(dir.mkpath("arduino/clib"));
    const QString header = tiles ? "u8x8.h" : "u8g2.h";
    for (const QString &path : {dir.filePath(header), dir.filePath("arduino/clib/" + header)}) {
        QFile stub(path);
        QVERIFY(stub.open(QIODevice::WriteOnly));
        stub.write(QByteArray("#include <stdint.h>\n#define ") + (tiles ? "U8X8" : "U8G2") + "_FONT_SECTION(name)\n");
    }
    QFile file(dir.filePath(name + ".c"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text->toUtf8());
    file.close();
    const QStringList c99 = {"-x", "c", "-std=c99", "-I", dir.path()};
    const QStringList cxx = {"-x", "c++", "-std=c++17", "-I", dir.path()};
    const QStringList arduino = {"-x", "c", "-std=c99", "-DARDUINO=10819", "-I", dir.filePath("arduino")};
    for (const QStringList &language : {c99, cxx, arduino}) {
        QProcess compiler;
        compiler.start(QStringLiteral(KELVOR_CXX_COMPILER),
                       language + QStringList{"-fsyntax-only", "-pedantic-errors", "-Wall", "-Wextra", "-Werror",
                                              file.fileName()});
        QVERIFY(compiler.waitForFinished(60000));
        QVERIFY2(compiler.exitCode() == 0, qPrintable(compiler.readAllStandardError()));
    }

    int declared = 0;
    const QByteArray bytes = HeaderReference::arrayBytes(*text, &declared);
    QCOMPARE(qsizetype(declared), bytes.size());
    QVERIFY2(tiles ? tilesAsSet(bytes, set, &why) : drawsAsSet(bytes, set, &why), qPrintable(why));
}

void tst_U8g2Font::encodeRefusals_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("error");

    QTest::newRow("u8g2: advance 128") << "u8g2" << "advance 128" << "U+0041 advances the pen by 128 pixels";
    QTest::newRow("u8g2: pixels 130 right") << "u8g2" << "pixels 130 right of the pen" << "pixels right of the pen";
    QTest::newRow("u8g2: pixels 135 up") << "u8g2" << "pixels 135 above the baseline" << "rows above the baseline";
    QTest::newRow("u8x8: code past 255") << "u8x8" << "code past 255" << "U+0100 lies past U+00FF";
    QTest::newRow("u8x8: no glyph") << "u8x8" << "no glyph" << "at least one glyph";
    QTest::newRow("u8x8 source: code past 255") << "u8x8 source" << "code past 255" << "U+0100 lies past U+00FF";
}

void tst_U8g2Font::encodeRefusals()
{
    QFETCH(QString, format);
    QFETCH(QString, set);
    QFETCH(QString, error);
    const GlyphSet glyphs = edgeSet(set);
    QString why;
    bool made = true;
    if (format == QLatin1String("u8g2"))
        made = U8g2Font::encode(glyphs, &why).has_value();
    else if (format == QLatin1String("u8x8"))
        made = U8x8Font::encode(glyphs, &why).has_value();
    else {
        const CSource::File source = U8x8Font::write(glyphs, QStringLiteral("font"));
        made = source.ok();
        why = source.error;
    }
    QVERIFY(!made);
    QVERIFY2(why.contains(error), qPrintable(why));
}

void tst_U8g2Font::decodeRefusals_data()
{
    QTest::addColumn<bool>("tiles"); // u8x8, else u8g2
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QString>("error"); // empty: read

    // A u8g2 font of one 1 x 1 'A' (fields 2 2 3 3 3 4 4), written by hand,
    // and faults put into it.
    const QByteArray header = "01 00 02 02 03 03 03 04 04 01 01 00 00 01 00 01 00 00 00 00 00 00 07";
    const QByteArray tail = " 00 00 00 04 FF FF 00 00";
    QTest::newRow("u8g2: one pixel") << false << header + " 41 05 09 B1 09" + tail << "";
    QTest::newRow("u8g2: header cut") << false << header.left(50) << "byte 17: the data ends within the 23-byte header";
    QTest::newRow("u8g2: no end mark") << false << header + " 41 05 09 B1 09" << "byte 28: the glyphs below U+0100 have no end mark";
    QTest::newRow("u8g2: record too long") << false << header + " 41 25 09 B1 09" + tail << "the record of U+0041 runs past";
    QTest::newRow("u8g2: codes falling") << false << header + " 42 05 09 B1 09 41 05 09 B1 09" + tail << "U+0041 follows U+0042";
    QTest::newRow("u8g2: runs past the box") << false << header + " 41 05 09 B1 19" + tail << "pass the end of its 1 x 1 box";
    QTest::newRow("u8g2: fields cut short") << false << header.left(66) + "06 41 04 09 B1" + tail << "record of U+0041 ends within its box";
    QTest::newRow("u8g2: runs cut short") << false << header + " 41 05 0A B1 09" + tail << "end before its 2 x 1 box is full";
    QTest::newRow("u8g2: wide, no height") << false << header + " 41 05 01 B1 09" + tail << "1 pixels wide and none high";
    QTest::newRow("u8g2: zero-bit x field") << false << "01 00 02 02 03 03 00" + header.mid(20) + tail << "byte 6: a field of 0 bits";
    QByteArray wide = header;
    wide.replace(12, 5, "05 05");
    wide.replace(66, 2, "08");
    QTest::newRow("u8g2: 17 pixels wide") << false << wide + " 41 06 31 10 2B 03" + tail << "17 x 1 pixels";
    QTest::newRow("u8g2: no U+FFFF entry") << false << header + " 41 05 09 B1 09 00 00 00 04 FF FE 00 00"
                                           << "no entry for U+FFFF";
    QTest::newRow("u8g2: Unicode table past the end") << false << header.left(63) + "00 FF 41 05 09 B1 09" + tail
                                                      << "byte 36: the Unicode lookup table has no entry for U+FFFF";
    QByteArray intoRecord = header;
    intoRecord.replace(54, 2, "01");
    QTest::newRow("u8g2: 'A' offset into a record") << false << intoRecord + " 41 05 09 B1 09" + tail
                                                    << "offset of 'A' points into a record";
    // The same pixel at U+0100, the Unicode section right after the header.
    const QByteArray unicode = header.left(63) + "00 02 00 00";
    QTest::newRow("u8g2: one pixel at U+0100") << false << unicode + " 00 04 FF FF 01 00 06 09 B1 09 00 00" << "";
    QTest::newRow("u8g2: Unicode entry into a record")
            << false << unicode + " 00 08 01 00 00 01 FF FF 01 00 06 09 B1 09 00 00" << "entry points into a record";
    QTest::newRow("u8g2: Unicode code below 256")
            << false << unicode + " 00 04 FF FF 00 41 06 09 B1 09 00 00" << "U+0041 lies among the glyphs from U+0100";

    QTest::newRow("u8x8: one tile") << true << QByteArray("41 41 01 01 00 7F 08 08 08 7F 00 00") << "";
    QTest::newRow("u8x8: header cut") << true << QByteArray("41 41 01") << "ends within the 4-byte header";
    QTest::newRow("u8x8: last before first") << true << QByteArray("42 41 01 01") << "the last code, U+0041, comes before the first";
    QTest::newRow("u8x8: three tiles across") << true << QByteArray("41 41 03 01") << "3 tiles across";
    QTest::newRow("u8x8: glyphs cut") << true << QByteArray("41 42 01 01 00 7F 08 08 08 7F 00 00") << "the data ends within the glyphs";
}

void tst_U8g2Font::decodeRefusals()
{
    QFETCH(bool, tiles);
    QFETCH(QByteArray, hex);
    QFETCH(QString, error);
    const QByteArray data = QByteArray::fromHex(hex);
    QString why;
    const bool read = tiles ? U8x8Font::decode(data, &why).has_value() : U8g2Font::decode(data, &why).has_value();
    QVERIFY2(read == error.isEmpty(), qPrintable(why));
    QVERIFY2(why.contains(error), qPrintable(why));
}

QTEST_MAIN(tst_U8g2Font)
#include "tst_u8g2font.moc"
