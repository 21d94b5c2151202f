#include "bdftext.h"
#include "glyphsetfile.h"
#include "imagesheet.h"
#include "outlinefont.h"
#include "pictures.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The readers that need QtGui, against what other tools make of the same
// real fonts: outline fonts against otf2bdf (FreeType), picture sheets
// against the fonts they were drawn from, the kind of each file, and BDF
// fonts opened for an export of some of their glyphs.
class tst_GlyphSetRender : public QObject
{
    Q_OBJECT

private slots:
    void outlineFont_data();
    void outlineFont();
    void imageSheet_data();
    void imageSheet();
    void kindOf_data();
    void kindOf();
    void fileNames_data();
    void fileNames();
    void openBdf_data();
    void openBdf();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
const QString kMisc = QStringLiteral("/usr/share/fonts/X11/misc/");
const QString kUnifont = QStringLiteral("/usr/share/unifont/");

// What a converter writes to its standard output; empty, with the Debian
// package to install in `why`, when it fails. (otf2bdf exits with a
// non-zero status even when it succeeds.)
QByteArray tool(const QString &program, const QStringList &arguments, const QString &package, QString *why,
                const QString &environment = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!environment.isEmpty())
        env.insert(environment.section(QLatin1Char('='), 0, 0), environment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(60000);
    const QByteArray output = process.readAllStandardOutput();
    if (output.isEmpty())
        *why = QStringLiteral("%1 %2 failed: install the Debian package %3").arg(program, arguments.join(' '), package);
    return output;
}

QByteArray contents(const QString &path, const QString &package, QString *why)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return file.readAll();
    *why = QStringLiteral("%1 is missing: install the Debian package %2").arg(path, package);
    return {};
}

using Pictures::picture;

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QList<int> printableAscii()
{
    QList<int> codePoints;
    for (int c = 0x20; c < 0x7F; ++c)
        codePoints << c;
    return codePoints;
}

// A refusal is one line that names the file and says what is wrong.
bool refused(const ReadResult &result, const QString &name, const QString &message)
{
    return !result.ok() && result.error.startsWith(name + QStringLiteral(": ")) && result.error.contains(message)
        && !result.error.contains(QLatin1Char('\n'));
}

// The glyphs that a sheet is expected to hold, by cell index.
using Expected = QList<QPair<int, Glyph>>;

} // namespace

Q_DECLARE_METATYPE(ImageSheet::Options)
Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(GlyphSetFile::Kind)

void tst_GlyphSetRender::outlineFont_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QSize>("matrix"); // ascent and descent rounded up, the widest advance
    QTest::addColumn<QString>("message"); // what a refusal says

    const QString mono = kDejaVu + "DejaVuSansMono.ttf";
    const QString text = m_dir.filePath(QStringLiteral("notes.ttf"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("This is not a font.\n") > 0);
    const QSize none;
    QTest::newRow("DejaVu Sans Mono 12 px") << mono << QString() << 12 << QSize(7, 15) << QString();
    QTest::newRow("DejaVu Sans Mono Bold 12 px") << kDejaVu + "DejaVuSansMono-Bold.ttf" << QString() << 12 << QSize(7, 15) << QString();
    QTest::newRow("DejaVu Sans Mono 8 px") << mono << QString() << 8 << QSize(5, 10) << QString();
    QTest::newRow("DejaVu Sans 12 px, proportional") << kDejaVu + "DejaVuSans.ttf" << QString() << 12 << QSize(12, 15) << QString();
    QTest::newRow("DejaVu Serif 8 px") << kDejaVu + "DejaVuSerif.ttf" << QString() << 8 << QSize(8, 10) << QString();
    QTest::newRow("installed family DejaVu Sans Mono") << mono << "DejaVu Sans Mono" << 12 << QSize(7, 15) << QString();
    QTest::newRow("font at 40 px") << mono << QString() << 40 << none << "DejaVu Sans Mono at 40 px needs 24 x 48 cells; the largest matrix is 16 x 16";
    QTest::newRow("text named .ttf") << text << QString() << 12 << none << "not a TrueType or OpenType font";
    QTest::newRow("missing file") << m_dir.filePath("none.ttf") << QString() << 12 << none << "cannot be opened";
    QTest::newRow("pixel size 0") << mono << QString() << 0 << none << "pixel size 0";
    QTest::newRow("missing family") << mono << "No Such Family Kelvor" << 12 << none << "no font of this family";
}

// Qt draws without antialiasing through FreeType's monochrome target, which
// hints in both directions as FreeType's version 35 interpreter does: the
// bitmaps are otf2bdf's under that interpreter, pixel for pixel. The
// advances are otf2bdf's as it runs by default.
void tst_GlyphSetRender::outlineFont()
{
    QFETCH(QString, file);
    QFETCH(QString, family);
    QFETCH(int, pixelSize);
    QFETCH(QSize, matrix);
    QFETCH(QString, message);

    const OutlineFont::Options options{pixelSize, printableAscii()};
    const ReadResult result = family.isEmpty() ? OutlineFont::renderFile(file, options) : OutlineFont::renderFamily(family, options);
    // The open dialog's check of the file's bytes foresees the same cells or
    // the same refusal.
    QFile bytes(file);
    if (family.isEmpty() && bytes.open(QIODevice::ReadOnly)) {
        QSize cells;
        const QString check = OutlineFont::checkData(bytes.readAll(), options, &cells);
        QCOMPARE(check.isEmpty() ? cells : QSize(), matrix);
        QCOMPARE(check.isEmpty() ? QString() : file + QStringLiteral(": ") + check, result.error);
    }
    if (!message.isEmpty()) {
        QVERIFY2(refused(result, family.isEmpty() ? file : family, message), qPrintable(result.error));
        return;
    }
    const QStringList arguments = {"-p", QString::number(pixelSize), "-r", "72", file};
    QString why;
    const auto bitmaps = BdfText::chars(tool("otf2bdf", arguments, "otf2bdf and fonts-dejavu-core", &why, "FREETYPE_PROPERTIES=truetype:interpreter-version=35"));
    const auto advances = BdfText::chars(tool("otf2bdf", arguments, "otf2bdf and fonts-dejavu-core", &why));
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const GlyphSet &set = *result.set;
    QCOMPARE(QSize(set.cols(), set.rows()), matrix);
    QCOMPARE(set.size(), 95);
    for (const Glyph &glyph : set.glyphs()) {
        const QString what = QStringLiteral("U+%1").arg(glyph.codePoint, 4, 16, QLatin1Char('0'));
        const Drawing expected = BdfText::placed(bitmaps.value(glyph.codePoint), set.cols(), set.rows(), set.ascent);
        QVERIFY2(glyph.bits == expected, qPrintable(QStringLiteral("%1 rendered\n%2expected\n%3").arg(what, picture(glyph.bits), picture(expected))));
        QVERIFY2(glyph.advance == advances.value(glyph.codePoint).advance, qPrintable(what));
    }
}

void tst_GlyphSetRender::imageSheet_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ImageSheet::Options>("options");
    QTest::addColumn<int>("count");
    QTest::addColumn<Expected>("expected");
    QTest::addColumn<QString>("message"); // what a refusal says

    // GNU Unifont's own chart of its first 65,536 glyphs: 16 x 16 cells
    // behind a label column of two cells and a label row of four, a row per
    // high byte. Its glyphs against the font's hex source; half-width ones
    // stand at the left of their cell.
    QString why;
    const QByteArray chart = tool("gzip", {"-dc", kUnifont + "unifont.bmp.gz"}, "unifont", &why);
    const QByteArray hexText = contents(kUnifont + "unifont.hex", "unifont", &why);
    // A failure in a _data function aborts the whole program; a row that
    // fails names the missing package instead.
    if (!why.isEmpty()) {
        QTest::newRow("missing font") << QByteArray() << ImageSheet::Options{} << -1 << Expected() << why;
        return;
    }
    QHash<int, QByteArray> hex;
    for (const QByteArray &line : hexText.split('\n'))
        hex.insert(line.left(line.indexOf(':')).toInt(nullptr, 16), line.mid(line.indexOf(':') + 1));
    Expected unifont;
    for (const int codePoint : {0x41, 0x67, 0xE9, 0x416, 0x3042, 0x4E00, 0xAC00, 0xFFFD}) {
        const QByteArray digits = hex.value(codePoint);
        const int width = int(digits.size() / 4);
        Glyph glyph;
        glyph.codePoint = ((codePoint >> 8) + 4) * 258 + (codePoint & 0xFF) + 2;
        glyph.bits = Drawing(16, 16);
        for (int r = 0; r < 16; ++r) {
            const uint row = digits.mid(r * width / 4, width / 4).toUInt(nullptr, 16);
            for (int c = 0; c < width; ++c)
                glyph.bits.set(r, c, row & (1u << (width - 1 - c)));
        }
        unifont << qMakePair(glyph.codePoint, glyph);
    }
    QTest::newRow("GNU Unifont chart, BMP") << chart << ImageSheet::Options{16, 16, 128, 0} << 258 * 260 << unifont << QString();

    // misc-fixed 5x7 from its PCF, drawn as sheets of 16 glyphs a row, with
    // strips too narrow for a cell at the right and bottom. Dark grey counts
    // as set; black too transparent to see does not.
    const auto fixed = BdfText::chars(tool("pcf2bdf", {kMisc + "5x7.pcf.gz"}, "pcf2bdf and xfonts-base", &why));
    if (!why.isEmpty()) {
        QTest::newRow("missing font") << QByteArray() << ImageSheet::Options{} << -1 << Expected() << why;
        return;
    }
    QImage onGrey(16 * 5 + 3, 6 * 7 + 4, QImage::Format_RGB32);
    onGrey.fill(QColor(230, 230, 230));
    QImage onClear(onGrey.size(), QImage::Format_ARGB32);
    onClear.fill(Qt::transparent);
    Expected glyphs;
    for (int i = 0; i < 95; ++i) {
        Glyph glyph;
        glyph.codePoint = 0x20 + i;
        glyph.bits = BdfText::placed(fixed.value(glyph.codePoint), 5, 7, 6);
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 5; ++c) {
                const QPoint at(i % 16 * 5 + c, i / 16 * 7 + r);
                const bool set = glyph.bits.isSet(r, c);
                onGrey.setPixelColor(at, set ? QColor(90, 90, 90) : QColor(200, 200, 200));
                onClear.setPixelColor(at, QColor(0, 0, 0, set ? 200 : 100));
            }
        }
        glyphs << qMakePair(i, glyph);
    }
    QTest::newRow("5x7 grey on grey, PNG") << encoded(onGrey, "PNG") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs << QString();
    QTest::newRow("5x7 grey on grey, BMP") << encoded(onGrey, "BMP") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs << QString();
    QTest::newRow("5x7 black on clear, PNG") << encoded(onClear, "PNG") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs << QString();

    // Headers that claim 100000 x 100000 pixels (PNG) and 30000 x 30000
    // (BMP), with next to nothing after them.
    const QByteArray hugePng = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a0080200000027309c9f0000000c"
                                                   "49444154789c6360a00c000000400001b7347cef0000000049454e44ae426082");
    const QByteArray hugeBmp = QByteArray::fromHex("424d000000000000000036000000280000003075000030750000010018000000000000000000"
                                                   "130b0000130b00000000000000000000");
    const QByteArray png = encoded(onGrey, "PNG");
    const ImageSheet::Options eight{8, 8, 128, 0x20};
    QTest::newRow("PNG claiming 100000 x 100000") << hugePng << eight << 0 << Expected() << "the picture is 100000 x 100000 pixels";
    QTest::newRow("BMP claiming 30000 x 30000") << hugeBmp << eight << 0 << Expected() << "the picture is 30000 x 30000 pixels";
    QTest::newRow("truncated PNG") << png.left(png.size() / 2) << eight << 0 << Expected() << "cannot be decoded";
    QTest::newRow("text") << QByteArray("hello\n") << eight << 0 << Expected() << "not a picture";
    QTest::newRow("picture smaller than a cell") << encoded(onGrey.copy(0, 0, 4, 4), "PNG") << eight << 0 << Expected() << "smaller than one cell of 8 x 8";
    QTest::newRow("cells of 2 pixels") << png << ImageSheet::Options{2, 2, 128, 0} << 0 << Expected() << "cells of 2 x 2 pixels";
    QTest::newRow("code points past U+10FFFF") << png << ImageSheet::Options{5, 7, 128, 0x10FFF0} << 0 << Expected() << "run past U+10FFFF";
}

void tst_GlyphSetRender::imageSheet()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ImageSheet::Options, options);
    QFETCH(int, count);
    QFETCH(Expected, expected);
    QFETCH(QString, message);
    if (count < 0)
        QFAIL(qPrintable(message));

    const ReadResult result = ImageSheet::read(bytes, QStringLiteral("sheet"), options);
    if (!message.isEmpty()) {
        QVERIFY2(refused(result, QStringLiteral("sheet"), message), qPrintable(result.error));
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QSize(result.set->cols(), result.set->rows()), QSize(options.cols, options.rows));
    QCOMPARE(result.set->size(), count);
    for (const auto &[index, glyph] : expected) {
        const Glyph &got = result.set->at(index);
        QCOMPARE(got.codePoint, glyph.codePoint);
        QVERIFY2(got.bits == glyph.bits, qPrintable(QStringLiteral("cell %1 read\n%2expected\n%3").arg(index).arg(picture(got.bits), picture(glyph.bits))));
    }
}

void tst_GlyphSetRender::kindOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<GlyphSetFile::Kind>("kind");
    QTest::addColumn<bool>("qtCoreTells");

    using Kind = GlyphSetFile::Kind;
    QString why;
    const QString psf = QStringLiteral("/usr/share/consolefonts/Lat2-Terminus16.psf.gz");
    const QString ttf = kDejaVu + QStringLiteral("DejaVuSans.ttf");
    const QByteArray bdf = tool("pcf2bdf", {kMisc + "6x13.pcf.gz"}, "pcf2bdf and xfonts-base", &why);
    const QByteArray psfPacked = contents(psf, "console-setup-linux", &why);
    const QByteArray psfBytes = tool("gzip", {"-dc", psf}, "console-setup-linux", &why);
    const QByteArray ttfBytes = contents(ttf, "fonts-dejavu-core", &why);
    const QByteArray chart = contents(kUnifont + "unifont.bmp.gz", "unifont", &why);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QByteArray png = encoded(image, "PNG");
    const QByteArray source("// digits\nconst unsigned char font[] = {0x3E, 0x51, 0x49, 0x45, 0x3E};\n");
    const QByteArray xbm("#define a_width 8\n#define a_height 2\nstatic unsigned char a_bits[] = {0x01, 0x80};\n");

    // Files written under the name given; an absolute name is the installed
    // file itself, a null text no file at all. QtCore tells the kind where
    // the command line reads the file without QtGui.
    const struct {
        const char *row;
        QString name;
        QByteArray bytes;
        Kind kind;
        bool qtCoreTells;
    } rows[] = {
        {"BDF from pcf2bdf", "6x13.bdf", bdf, Kind::Bdf, true},
        {"BDF named .txt", "6x13.txt", bdf, Kind::Bdf, true},
        {"PSF, gzip-compressed", psf, {}, Kind::Psf, true},
        {"PSF, gzip-compressed, named .bin", "console.bin", psfPacked, Kind::Psf, true},
        {"PSF, unpacked, named .c", "console.c", psfBytes, Kind::Psf, true},
        {"TrueType", ttf, {}, Kind::OutlineFont, true},
        {"TrueType named .png", "font.png", ttfBytes, Kind::OutlineFont, true},
        {"PNG", "picture.png", png, Kind::Image, false},
        {"PNG named .bdf", "picture.bdf", png, Kind::Image, false},
        {"BMP, gzip-compressed, named .gz", "chart.gz", chart, Kind::Image, false},
        {"C source", "glyphs.c", source, Kind::Array, true},
        {"C source named .dat", "glyphs.dat", source, Kind::Array, false},
        {"text beginning as BMP does, named .c", "bm.c", "BM\n" + source, Kind::Image, false},
        {"XBM named .xbm", "glyphs.xbm", xbm, Kind::Image, false},
        {"XBM named .h", "glyphs.h", xbm, Kind::Array, true},
        {"text named .ttf", "notes.ttf", "This is not a font.\n", Kind::OutlineFont, true},
        {"empty file named .psf", "empty.psf", "", Kind::Psf, true},
        {"missing file named .bdf.gz", "missing.bdf.gz", {}, Kind::Bdf, true},
    };
    for (const auto &row : rows) {
        const QString path = row.name.startsWith(QLatin1Char('/')) ? row.name : m_dir.filePath(row.name);
        if (!row.bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(row.bytes) == row.bytes.size());
        }
        QTest::newRow(row.row) << path << row.kind << row.qtCoreTells;
    }
}

void tst_GlyphSetRender::kindOf()
{
    QFETCH(QString, path);
    QFETCH(GlyphSetFile::Kind, kind);
    QFETCH(bool, qtCoreTells);
    QCOMPARE(int(GlyphSetFile::kindOf(path)), int(kind));
    const std::optional<FontKind::Kind> told = FontKind::withoutPictures(path);
    QCOMPARE(told.has_value(), qtCoreTells);
    if (told)
        QCOMPARE(int(*told), int(kind));
}

void tst_GlyphSetRender::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<GlyphSetFile::Kind>("kind");

    // Every name the open dialog and the command line take by its suffix.
    using Kind = GlyphSetFile::Kind;
    QTest::newRow("BDF") << "5x7.bdf" << Kind::Bdf;
    QTest::newRow("BDF, gzip-compressed") << "5x7.bdf.gz" << Kind::Bdf;
    QTest::newRow("PSF") << "default8x16.psf" << Kind::Psf;
    QTest::newRow("PSF, gzip-compressed") << "default8x16.psf.gz" << Kind::Psf;
    QTest::newRow("PSF with a Unicode table") << "default8x16.psfu" << Kind::Psf;
    QTest::newRow("PSF with a Unicode table, gzip-compressed") << "default8x16.psfu.gz" << Kind::Psf;
    for (const char *suffix : {"c", "h", "asm", "inc", "s", "txt"})
        QTest::newRow(qPrintable(QStringLiteral("source, .%1").arg(suffix))) << QStringLiteral("glyphs.") + suffix << Kind::Array;
    QTest::newRow("PNG") << "sheet.png" << Kind::Image;
    QTest::newRow("BMP") << "sheet.bmp" << Kind::Image;
    QTest::newRow("TrueType") << "font.ttf" << Kind::OutlineFont;
    QTest::newRow("OpenType") << "font.otf" << Kind::OutlineFont;
    QTest::newRow("TrueType collection") << "fonts.ttc" << Kind::OutlineFont;
    QTest::newRow("OpenType collection") << "fonts.otc" << Kind::OutlineFont;
}

// The kind a name gives, and that the open dialog's filter shows the file
// among all fonts and on its kind's own line, and on no other.
void tst_GlyphSetRender::fileNames()
{
    QFETCH(QString, name);
    QFETCH(GlyphSetFile::Kind, kind);

    QCOMPARE(int(GlyphSetFile::kindOf(QByteArray(), name)), int(kind));
    const QStringList lines = GlyphSetFile::dialogFilter().split(QStringLiteral(";;"));
    QCOMPARE(lines.size(), FontKind::kinds().size() + 2);
    QCOMPARE(lines.last(), QStringLiteral("All files (*)"));
    const auto shows = [&name](const QString &line) {
        const QString patterns = line.section(QLatin1Char('('), 1).chopped(1);
        for (const QString &pattern : patterns.split(QLatin1Char(' '))) {
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch())
                return true;
        }
        return false;
    };
    QVERIFY2(shows(lines.first()), qPrintable(lines.first()));
    for (qsizetype i = 0; i < FontKind::kinds().size(); ++i) {
        const QString &line = lines[i + 1];
        QVERIFY2(line.startsWith(FontKind::kinds()[i].title + QStringLiteral(" (")), qPrintable(line));
        QCOMPARE(shows(line), FontKind::kinds()[i].kind == kind);
    }
}

void tst_GlyphSetRender::openBdf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<int>("glyphs"); // -1: refused
    QTest::addColumn<QString>("message"); // how a refusal ends

    QString why;
    const QByteArray fixed = tool("pcf2bdf", {kMisc + "5x7.pcf.gz"}, "pcf2bdf and xfonts-base", &why);
    const QByteArray large = tool("pcf2bdf", {kMisc + "9x18.pcf.gz"}, "pcf2bdf and xfonts-base", &why);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {{"5x7.bdf", fixed}, {"9x18.bdf", large}, {"9x18-cut.bdf", large.left(large.indexOf("STARTCHAR Agrave") + 40)}};
    for (const auto &file : files) {
        QFile out(m_dir.filePath(file.name));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file.bytes) == file.bytes.size());
    }
    const auto path = [this](const char *name) { return m_dir.filePath(name); };
    const QString largest = QStringLiteral(", more than the 16 x 16 this program edits; these code points fit (--range): ");

    // A font that fits opens whole; the export takes the range.
    QTest::newRow("5x7") << path("5x7.bdf") << "" << 1848 << QString();
    QTest::newRow("5x7, a range") << path("5x7.bdf") << "65-67" << 1848 << QString();
    QTest::newRow("9x18, printable ASCII") << path("9x18.bdf") << "32-126" << 95 << QString();
    // What does not fit is named (tst_bdfformat); the code points suggested
    // are the first that fit together, ASCII first, as many as a line holds,
    // of the range given where it has some.
    QTest::newRow("9x18") << path("9x18.bdf") << "" << -1
                          << "(U+1E08) has 7 x 17 pixels of ink" + largest + "0-191,195-196,198-199,203,207-209,213-216,220,222-261,263 and more";
    QTest::newRow("9x18, Latin-1") << path("9x18.bdf") << "0-255" << -1
                                   << "they are 9 x 17 pixels" + largest + "0-191,195-196,198-199,203,207-209,213-216,220,222-255";
    // Damaged, not too large: the reader's own message.
    QTest::newRow("9x18 cut inside a glyph") << path("9x18-cut.bdf") << "32-126" << -1
                                             << "the file ends inside glyph 'Agrave' from line 3363: it is cut short";
}

void tst_GlyphSetRender::openBdf()
{
    QFETCH(QString, path);
    QFETCH(QString, ranges);
    QFETCH(int, glyphs);
    QFETCH(QString, message);

    CodePoints::Ranges parsed;
    QString error;
    if (!ranges.isEmpty())
        QVERIFY2(CodePoints::parseRanges(ranges, &parsed, &error), qPrintable(error));
    const ReadResult result = GlyphSetFile::openBdf(path, parsed);
    if (glyphs < 0) {
        QVERIFY2(refused(result, path, message) && result.error.endsWith(message), qPrintable(result.error));
        return;
    }
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.set->size(), glyphs);
}

QTEST_MAIN(tst_GlyphSetRender)
#include "tst_glyphsetrender.moc"
