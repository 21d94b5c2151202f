#include "glyphsetfile.h"
#include "imagesheet.h"
#include "outlinefont.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// The readers that need QtGui, against what other tools make of the same
// real fonts: outline fonts against otf2bdf (FreeType), picture sheets
// against the fonts they were drawn from, and the kind of each file.
class tst_GlyphSetRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outlineFont_data();
    void outlineFont();
    void imageSheet_data();
    void imageSheet();
    void refused_data();
    void refused();
    void kindOf_data();
    void kindOf();
    void dialogFilterMatchesKinds();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
const QString kMisc = QStringLiteral("/usr/share/fonts/X11/misc/");

struct BdfGlyph
{
    int advance = 0;
    int width = 0, height = 0, xOffset = 0, yOffset = 0;
    QList<quint32> rows; // left-aligned in 32 bits
};

// The glyphs of a BDF file by encoding: just what the comparisons need.
QHash<int, BdfGlyph> readBdf(const QString &path)
{
    QHash<int, BdfGlyph> glyphs;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return glyphs;
    BdfGlyph glyph;
    int encoding = -1;
    bool inBitmap = false;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words[0] == "ENCODING") {
            encoding = words.value(1).toInt();
        } else if (words[0] == "DWIDTH") {
            glyph.advance = words.value(1).toInt();
        } else if (words[0] == "BBX" && words.size() == 5) {
            glyph.width = words[1].toInt();
            glyph.height = words[2].toInt();
            glyph.xOffset = words[3].toInt();
            glyph.yOffset = words[4].toInt();
        } else if (words[0] == "BITMAP") {
            inBitmap = true;
        } else if (words[0] == "ENDCHAR") {
            glyphs.insert(encoding, glyph);
            glyph = BdfGlyph();
            inBitmap = false;
        } else if (inBitmap) {
            glyph.rows << (words[0].toUInt(nullptr, 16) << (32 - 4 * words[0].size()));
        }
    }
    return glyphs;
}

// A BDF glyph placed in a matrix whose baseline lies `ascent` rows down;
// `outside` counts set pixels that fall beyond it.
Drawing placed(const BdfGlyph &glyph, int cols, int rows, int ascent, int *outside = nullptr)
{
    Drawing bits(rows, cols);
    for (int r = 0; r < glyph.height; ++r) {
        for (int x = 0; x < glyph.width; ++x) {
            if (!(glyph.rows.value(r) & (0x80000000u >> x)))
                continue;
            const int row = ascent - glyph.yOffset - glyph.height + r;
            const int col = glyph.xOffset + x;
            if (row >= 0 && row < rows && col >= 0 && col < cols)
                bits.set(row, col);
            else if (outside)
                ++*outside;
        }
    }
    return bits;
}

QString picture(const Drawing &bits)
{
    QString text;
    for (int r = 0; r < bits.rows(); ++r) {
        for (int c = 0; c < bits.cols(); ++c)
            text += bits.isSet(r, c) ? QLatin1Char('#') : QLatin1Char('.');
        text += QLatin1Char('\n');
    }
    return text;
}

// Runs a converter that writes `output`; false with the Debian package to
// install when it is missing or writes nothing. (otf2bdf exits with a
// non-zero status even when it succeeds.)
bool run(const QString &program, const QStringList &arguments, const QString &output, const QString &package,
         QString *why, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &pair : environment)
        env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || QFileInfo(output).size() == 0) {
        *why = QStringLiteral("%1 %2 failed (install the Debian package %3): %4")
                   .arg(program, arguments.join(QLatin1Char(' ')), package, QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

QByteArray gunzipped(const QString &path, QString *why)
{
    QProcess process;
    process.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *why = QStringLiteral("gzip -dc %1 failed").arg(path);
        return {};
    }
    return process.readAllStandardOutput();
}

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

// The glyphs that a sheet of cells is expected to hold, by index.
using Expected = QList<QPair<int, Glyph>>;

} // namespace

Q_DECLARE_METATYPE(ImageSheet::Options)
Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(GlyphSetFile::Kind)

void tst_GlyphSetRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_GlyphSetRender::outlineFont_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QSize>("matrix");

    // Matrix: ascent and descent rounded up, the widest advance.
    QTest::newRow("DejaVu Sans Mono 12 px") << "DejaVuSansMono.ttf" << QString() << 12 << QSize(7, 15);
    QTest::newRow("DejaVu Sans Mono Bold 12 px") << "DejaVuSansMono-Bold.ttf" << QString() << 12 << QSize(7, 15);
    QTest::newRow("DejaVu Sans Mono 8 px") << "DejaVuSansMono.ttf" << QString() << 8 << QSize(5, 10);
    QTest::newRow("DejaVu Sans 12 px, proportional") << "DejaVuSans.ttf" << QString() << 12 << QSize(12, 15);
    QTest::newRow("DejaVu Serif 8 px") << "DejaVuSerif.ttf" << QString() << 8 << QSize(8, 10);
    QTest::newRow("installed family DejaVu Sans Mono") << "DejaVuSansMono.ttf" << "DejaVu Sans Mono" << 12 << QSize(7, 15);
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

    const QString font = kDejaVu + file;
    QVERIFY2(QFile::exists(font), qPrintable(font + QStringLiteral(" is missing: install the Debian package fonts-dejavu-core")));
    const QString bitmaps = m_dir.filePath(QStringLiteral("%1-%2-v35.bdf").arg(file).arg(pixelSize));
    const QString advances = m_dir.filePath(QStringLiteral("%1-%2.bdf").arg(file).arg(pixelSize));
    const QStringList arguments = {"-p", QString::number(pixelSize), "-r", "72", font, "-o"};
    QString why;
    QVERIFY2(run("otf2bdf", arguments + QStringList(bitmaps), bitmaps, "otf2bdf", &why, {"FREETYPE_PROPERTIES=truetype:interpreter-version=35"}), qPrintable(why));
    QVERIFY2(run("otf2bdf", arguments + QStringList(advances), advances, "otf2bdf", &why), qPrintable(why));
    const QHash<int, BdfGlyph> reference = readBdf(bitmaps);
    const QHash<int, BdfGlyph> referenceAdvances = readBdf(advances);

    const OutlineFont::Options options{pixelSize, printableAscii()};
    const ReadResult result = family.isEmpty() ? OutlineFont::renderFile(font, options) : OutlineFont::renderFamily(family, options);
    QVERIFY2(result.ok(), qPrintable(result.error));
    const GlyphSet &set = *result.set;
    QCOMPARE(QSize(set.cols(), set.rows()), matrix);
    QCOMPARE(set.size(), 95);
    for (const Glyph &glyph : set.glyphs()) {
        const QString what = QStringLiteral("U+%1").arg(glyph.codePoint, 4, 16, QLatin1Char('0'));
        QVERIFY2(reference.contains(glyph.codePoint), qPrintable(what));
        const Drawing expected = placed(reference[glyph.codePoint], set.cols(), set.rows(), set.ascent);
        QVERIFY2(glyph.bits == expected, qPrintable(QStringLiteral("%1 rendered\n%2expected\n%3").arg(what, picture(glyph.bits), picture(expected))));
        QVERIFY2(glyph.advance == referenceAdvances[glyph.codePoint].advance, qPrintable(what));
    }
}

void tst_GlyphSetRender::imageSheet_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ImageSheet::Options>("options");
    QTest::addColumn<int>("count");
    QTest::addColumn<Expected>("expected");

    // GNU Unifont's own chart of its first 65,536 glyphs: 16 x 16 cells
    // behind a label column of two cells and a label row of four, one code
    // point's high byte per row. Its glyphs against the font's hex source;
    // half-width glyphs stand at the left of their cell.
    QString why;
    const QByteArray chart = gunzipped(QStringLiteral("/usr/share/unifont/unifont.bmp.gz"), &why);
    QVERIFY2(!chart.isEmpty(), qPrintable(why + QStringLiteral(": install the Debian package unifont")));
    QFile hexFile(QStringLiteral("/usr/share/unifont/unifont.hex"));
    QVERIFY2(hexFile.open(QIODevice::ReadOnly), "unifont.hex is missing: install the Debian package unifont");
    QHash<int, QByteArray> hex;
    while (!hexFile.atEnd()) {
        const QByteArray line = hexFile.readLine().trimmed();
        const qsizetype colon = line.indexOf(':');
        hex.insert(line.left(colon).toInt(nullptr, 16), line.mid(colon + 1));
    }
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
    QTest::newRow("GNU Unifont chart, BMP") << chart << ImageSheet::Options{16, 16, 128, 0} << 258 * 260 << unifont;

    // misc-fixed 5x7 from its PCF, drawn as sheets of 16 glyphs a row, with
    // a strip too narrow for a cell at the right and bottom.
    const QString bdf = m_dir.filePath(QStringLiteral("5x7.bdf"));
    QVERIFY2(run("pcf2bdf", {"-o", bdf, kMisc + "5x7.pcf.gz"}, bdf, "pcf2bdf and xfonts-base", &why), qPrintable(why));
    const QHash<int, BdfGlyph> fixed = readBdf(bdf);
    QImage onWhite(16 * 5 + 3, 6 * 7 + 4, QImage::Format_RGB32);
    onWhite.fill(QColor(230, 230, 230));
    QImage onClear(onWhite.size(), QImage::Format_ARGB32);
    onClear.fill(Qt::transparent);
    Expected glyphs;
    for (int i = 0; i < 95; ++i) {
        Glyph glyph;
        glyph.codePoint = 0x20 + i;
        glyph.bits = placed(fixed.value(glyph.codePoint), 5, 7, 6);
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 5; ++c) {
                const QPoint at(i % 16 * 5 + c, i / 16 * 7 + r);
                // Dark grey counts as set; black too transparent to see
                // does not.
                onWhite.setPixelColor(at, glyph.bits.isSet(r, c) ? QColor(90, 90, 90) : QColor(200, 200, 200));
                onClear.setPixelColor(at, glyph.bits.isSet(r, c) ? QColor(0, 0, 0, 200) : QColor(0, 0, 0, 100));
            }
        }
        glyphs << qMakePair(i, glyph);
    }
    QTest::newRow("5x7 grey on grey, PNG") << encoded(onWhite, "PNG") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs;
    QTest::newRow("5x7 black on clear, PNG") << encoded(onClear, "PNG") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs;
    QTest::newRow("5x7 grey on grey, BMP") << encoded(onWhite, "BMP") << ImageSheet::Options{5, 7, 128, 0x20} << 96 << glyphs;
}

void tst_GlyphSetRender::imageSheet()
{
    QFETCH(QByteArray, bytes);
    QFETCH(ImageSheet::Options, options);
    QFETCH(int, count);
    QFETCH(Expected, expected);

    const ReadResult result = ImageSheet::read(bytes, QStringLiteral("sheet"), options);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QSize(result.set->cols(), result.set->rows()), QSize(options.cols, options.rows));
    QCOMPARE(result.set->size(), count);
    for (const auto &[index, glyph] : expected) {
        const Glyph &got = result.set->at(index);
        QCOMPARE(got.codePoint, glyph.codePoint);
        QVERIFY2(got.bits == glyph.bits, qPrintable(QStringLiteral("cell %1 read\n%2expected\n%3").arg(index).arg(picture(got.bits), picture(glyph.bits))));
    }
}

void tst_GlyphSetRender::refused_data()
{
    QTest::addColumn<QString>("kind"); // "image", "file" or "family"
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size"); // cells (square) or pixel size
    QTest::addColumn<QString>("message");

    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::white);
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x * y) % 256));
    }
    const QByteArray png = encoded(noise, "PNG");
    // Headers that claim 100000 x 100000 pixels (PNG) and 30000 x 30000
    // (BMP), with next to nothing after them.
    const QByteArray hugePng = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a0080200000027309c9f0000000c"
                                                   "49444154789c6360a00c000000400001b7347cef0000000049454e44ae426082");
    const QByteArray hugeBmp = QByteArray::fromHex("424d000000000000000036000000280000003075000030750000010018000000000000000000"
                                                   "130b0000130b00000000000000000000");
    const QString text = m_dir.filePath(QStringLiteral("notes.ttf"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("This is not a font.\n");
    file.close();
    const QString mono = kDejaVu + QStringLiteral("DejaVuSansMono.ttf");

    QTest::newRow("PNG claiming 100000 x 100000") << "image" << hugePng << "huge.png" << 8 << "the picture is 100000 x 100000 pixels";
    QTest::newRow("BMP claiming 30000 x 30000") << "image" << hugeBmp << "huge.bmp" << 8 << "the picture is 30000 x 30000 pixels";
    QTest::newRow("truncated PNG") << "image" << png.left(png.size() / 2) << "cut.png" << 8 << "cannot be decoded";
    QTest::newRow("text named .png") << "image" << QByteArray("hello\n") << "text.png" << 8 << "not a picture";
    QTest::newRow("picture smaller than a cell") << "image" << encoded(small, "PNG") << "small.png" << 8 << "smaller than one cell of 8 x 8";
    QTest::newRow("cells of 2 pixels") << "image" << png << "sheet.png" << 2 << "cells of 2 x 2 pixels";
    QTest::newRow("text named .ttf") << "file" << QByteArray() << text << 12 << "not a TrueType or OpenType font";
    QTest::newRow("font at 40 px") << "file" << QByteArray() << mono << 40 << "DejaVu Sans Mono at 40 px needs 24 x 48 cells; the largest matrix is 16 x 16";
    QTest::newRow("missing file") << "file" << QByteArray() << m_dir.filePath("none.ttf") << 12 << "cannot be opened";
    QTest::newRow("pixel size 0") << "file" << QByteArray() << mono << 0 << "pixel size 0";
    QTest::newRow("missing family") << "family" << QByteArray() << "No Such Family Kelvor" << 12 << "no font of this family";
}

void tst_GlyphSetRender::refused()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(QString, message);

    const OutlineFont::Options outline{size, printableAscii()};
    const ReadResult result = kind == QLatin1String("image") ? ImageSheet::read(bytes, name, {size, size, 128, 0x20})
        : kind == QLatin1String("file")                      ? OutlineFont::renderFile(name, outline)
                                                             : OutlineFont::renderFamily(name, outline);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(name + QStringLiteral(": ")), qPrintable(result.error));
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    QVERIFY2(!result.error.contains(QLatin1Char('\n')), qPrintable(result.error));
}

void tst_GlyphSetRender::kindOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<GlyphSetFile::Kind>("kind");

    using Kind = GlyphSetFile::Kind;
    QString why;
    const QString bdf = m_dir.filePath(QStringLiteral("6x13.bdf"));
    QVERIFY2(run("pcf2bdf", {"-o", bdf, kMisc + "6x13.pcf.gz"}, bdf, "pcf2bdf and xfonts-base", &why), qPrintable(why));
    const QString psfGz = QStringLiteral("/usr/share/consolefonts/Lat2-Terminus16.psf.gz");
    QVERIFY2(QFile::exists(psfGz), "install the Debian package console-setup-linux");
    const QString ttf = kDejaVu + QStringLiteral("DejaVuSans.ttf");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QByteArray source("// digits\nconst unsigned char font[] = {0x3E, 0x51, 0x49, 0x45, 0x3E};\n");
    const QByteArray xbm("#define a_width 8\n#define a_height 2\nstatic unsigned char a_bits[] = {0x01, 0x80};\n");

    const QList<QPair<QString, QByteArray>> copies = {
        {"bdf-named.txt", QByteArray()},  {"console.bin", QByteArray()},   {"console.c", gunzipped(psfGz, &why)},
        {"font-named.png", QByteArray()}, {"picture.png", encoded(image, "PNG")},
        {"picture.bdf", encoded(image, "PNG")}, {"picture.bmp.gz", QByteArray()}, {"glyphs.c", source},
        {"glyphs.dat", source}, {"glyphs.xbm", xbm}, {"xbm-named.h", xbm},
        {"notes.ttf", "This is not a font.\n"}, {"empty.psf", QByteArray()}};
    for (const auto &[name, bytes] : copies) {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        if (name == QLatin1String("bdf-named.txt"))
            QVERIFY(QFile::copy(bdf, path));
        else if (name == QLatin1String("console.bin"))
            QVERIFY(QFile::copy(psfGz, path));
        else if (name == QLatin1String("font-named.png"))
            QVERIFY(QFile::copy(ttf, path));
        else if (name == QLatin1String("picture.bmp.gz"))
            QVERIFY(QFile::copy(QStringLiteral("/usr/share/unifont/unifont.bmp.gz"), path));
        else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
    }
    const auto row = [this](const char *name, const QString &file, Kind kind) {
        QTest::newRow(name) << (file.startsWith(QLatin1Char('/')) ? file : m_dir.filePath(file)) << kind;
    };
    row("BDF from pcf2bdf", bdf, Kind::Bdf);
    row("BDF named .txt", "bdf-named.txt", Kind::Bdf);
    row("PSF, gzip-compressed", psfGz, Kind::Psf);
    row("PSF, gzip-compressed, named .bin", "console.bin", Kind::Psf);
    row("PSF, unpacked, named .c", "console.c", Kind::Psf);
    row("TrueType", ttf, Kind::OutlineFont);
    row("TrueType named .png", "font-named.png", Kind::OutlineFont);
    row("PNG", "picture.png", Kind::Image);
    row("PNG named .bdf", "picture.bdf", Kind::Image);
    row("BMP, gzip-compressed", "picture.bmp.gz", Kind::Image);
    row("C source", "glyphs.c", Kind::Array);
    row("C source named .dat", "glyphs.dat", Kind::Array);
    row("XBM named .xbm", "glyphs.xbm", Kind::Image);
    row("XBM named .h", "xbm-named.h", Kind::Array);
    row("text named .ttf", "notes.ttf", Kind::OutlineFont);
    row("empty file named .psf", "empty.psf", Kind::Psf);
    row("missing file named .bdf.gz", "missing.bdf.gz", Kind::Bdf);
}

void tst_GlyphSetRender::kindOf()
{
    QFETCH(QString, path);
    QFETCH(GlyphSetFile::Kind, kind);
    QCOMPARE(int(GlyphSetFile::kindOf(path)), int(kind));
}

// Every file the dialog offers is one kindOf() knows by its name, and the
// first filter offers them all.
void tst_GlyphSetRender::dialogFilterMatchesKinds()
{
    using Kind = GlyphSetFile::Kind;
    const QList<QPair<QString, Kind>> groups = {{"BDF fonts", Kind::Bdf},
                                                {"Console fonts", Kind::Psf},
                                                {"Source arrays", Kind::Array},
                                                {"Pictures", Kind::Image},
                                                {"TrueType and OpenType fonts", Kind::OutlineFont}};
    const QStringList filters = GlyphSetFile::dialogFilter().split(QStringLiteral(";;"));
    QVERIFY2(filters.first().startsWith(QLatin1String("All fonts (")), qPrintable(filters.first()));
    for (const auto &[label, kind] : groups) {
        const auto found = std::find_if(filters.begin(), filters.end(), [&](const QString &f) { return f.startsWith(label + QStringLiteral(" (")); });
        QVERIFY2(found != filters.end(), qPrintable(label));
        const QString patterns = found->section(QLatin1Char('('), 1).chopped(1);
        for (const QString &pattern : patterns.split(QLatin1Char(' '))) {
            QVERIFY2(filters.first().contains(pattern), qPrintable(pattern));
            QCOMPARE(int(GlyphSetFile::kindOf(m_dir.filePath(QStringLiteral("absent") + pattern.mid(1)))), int(kind));
        }
    }
}

QTEST_MAIN(tst_GlyphSetRender)
#include "tst_glyphsetrender.moc"
