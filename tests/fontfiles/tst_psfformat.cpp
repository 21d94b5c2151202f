#include "bdftext.h"
#include "codepoints.h"
#include "fontfile.h"
#include "pictures.h"
#include "psfformat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QtEndian>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

// Console fonts as Debian installs them, checked against what kbd's
// psfxtable lists of their Unicode tables and, for Unifont's console font,
// against GNU Unifont's own bitmaps; then hostile files, each of which must
// be refused with one message naming the file.
namespace {

const QString kConsoleFonts = QStringLiteral("/usr/share/consolefonts/");

bool runTool(const QString &program, const QStringList &args, const char *package, QByteArray *out, QString *message)
{
    QProcess process;
    process.start(program, args);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
        *out = process.readAllStandardOutput();
        return true;
    }
    *message = QStringLiteral("%1 failed (Debian package %2): %3 %4")
                       .arg(program, package, process.errorString(), process.readAllStandardError());
    return false;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Each glyph's first code point outside a sequence, from psfxtable's listing:
// "0x041\tU+0041 U+0391", a sequence as "U+0065, U+0301", and a glyph
// without an entry as its number alone.
bool psfxtableCodePoints(const QString &plainFont, std::vector<int> *codePoints, QString *message)
{
    QByteArray listing;
    if (!runTool(QStringLiteral("psfxtable"), {"-i", plainFont, "-ot", "/dev/stdout"}, "kbd", &listing, message))
        return false;
    for (const QByteArray &line : listing.split('\n')) {
        if (!line.startsWith("0x"))
            continue;
        const QList<QByteArray> tokens = line.simplified().split(' ');
        int first = Glyph::kNoCodePoint;
        for (qsizetype i = 1; i < tokens.size() && first == Glyph::kNoCodePoint; ++i) {
            if (!tokens[i].endsWith(',') && !tokens[i - 1].endsWith(','))
                first = tokens[i].mid(2).toInt(nullptr, 16);
        }
        codePoints->push_back(first);
    }
    return true;
}

// GNU Unifont's 8 × 16 glyphs (BBX 8 16 0 -2) by code point, from pcf2bdf.
bool unifontGlyphs(const QString &dir, QHash<int, Drawing> *glyphs, int *ascent, QString *message)
{
    const QString pcf = QStringLiteral("/usr/share/fonts/X11/misc/unifont.pcf.gz");
    QByteArray unused;
    if (!runTool(QStringLiteral("pcf2bdf"), {"-o", dir + "/unifont.bdf", pcf}, "pcf2bdf, xfonts-unifont", &unused,
                 message))
        return false;
    QFile file(dir + "/unifont.bdf");
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    *ascent = BdfText::numbers(text, "FONT_ASCENT").value(0);
    const QHash<int, BdfText::Char> chars = BdfText::chars(text);
    for (auto c = chars.cbegin(); c != chars.cend(); ++c) {
        if (c->width == 8 && c->height == 16 && c->xOffset == 0 && c->yOffset == -2)
            glyphs->insert(c.key(), BdfText::placed(*c, 8, 16, 14));
    }
    *message = QStringLiteral("pcf2bdf gave no glyphs");
    return !glyphs->isEmpty();
}

using Pictures::picture;

QByteArray le32(quint32 value)
{
    const char bytes[] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    return QByteArray(bytes, 4);
}

QByteArray withLe32(QByteArray bytes, int offset, quint32 value)
{
    return bytes.replace(offset, 4, le32(value));
}

QByteArray psf2(quint32 count, quint32 width, quint32 height, const QByteArray &rest, quint32 charSize = 0)
{
    return QByteArray("\x72\xb5\x4a\x86", 4) + le32(0) + le32(32) + le32(1) + le32(count)
            + le32(charSize ? charSize : height * ((width + 7) / 8)) + le32(height) + le32(width) + rest;
}

// One 3 × 3 glyph (bytes 32 to 34) and the given Unicode table.
QByteArray tinyPsf2(const QByteArray &table)
{
    return psf2(1, 3, 3, QByteArray(3, '\x40') + table);
}

QByteArray deflated(z_stream *stream, const QByteArray &input, int flush)
{
    QByteArray out(qsizetype(deflateBound(stream, uLong(input.size()))) + 64, Qt::Uninitialized);
    stream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.constData()));
    stream->avail_in = uInt(input.size());
    stream->next_out = reinterpret_cast<Bytef *>(out.data());
    stream->avail_out = uInt(out.size());
    deflate(stream, flush);
    out.resize(out.size() - qsizetype(stream->avail_out));
    return out;
}

// One gzip member of `input`, then `repeats` more times `input` again;
// each repeat after a full flush, which makes its compressed form the same
// every time, so that a zip bomb of gigabytes is made from one MiB, with the
// CRC of the whole combined from the parts'.
QByteArray gzip(const QByteArray &input, int repeats = 0)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out = deflated(&stream, input, Z_FULL_FLUSH);
    const QByteArray again = repeats ? deflated(&stream, input, Z_FULL_FLUSH) : QByteArray();
    QByteArray end = deflated(&stream, QByteArray(), Z_FINISH);
    deflateEnd(&stream);
    const uLong crcOfInput = crc32(0, reinterpret_cast<const Bytef *>(input.constData()), uInt(input.size()));
    uLong crc = crcOfInput;
    for (int i = 1; i <= repeats; ++i) {
        out += again;
        crc = crc32_combine(crc, crcOfInput, input.size());
    }
    end.chop(8);
    return out + end + le32(quint32(crc)) + le32(quint32(quint64(input.size()) * quint64(repeats + 1)));
}

QByteArray installedFont(const QString &name)
{
    QByteArray bytes;
    QString error;
    FontFile::load(kConsoleFonts + name, &bytes, &error);
    return bytes;
}

} // namespace

class tst_PsfFormat : public QObject
{
    Q_OBJECT

private slots:
    void realFonts_data();
    void realFonts();
    void unifontMatchesGnuUnifont();
    void everyConsoleFontOpens();
    void subsets_data();
    void subsets();
    void hostile_data();
    void hostile();
};

void tst_PsfFormat::realFonts_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("capitalA");

    const QString terminusA = QStringLiteral("......\n......\n.###..\n#...#.\n#...#.\n#...#.\n#####.\n#...#.\n"
                                             "#...#.\n#...#.\n......\n......\n");
    QTest::newRow("Lat15-Terminus16, PSF1") << "Lat15-Terminus16.psf.gz" << 8 << 16 << 256 << QString();
    QTest::newRow("Lat15-Fixed16, PSF1") << "Lat15-Fixed16.psf.gz" << 8 << 16 << 256 << QString();
    QTest::newRow("Uni2-VGA8, PSF1 of 512") << "Uni2-VGA8.psf.gz" << 8 << 8 << 512 << QString();
    QTest::newRow("Arabic-VGA8, slots without entries") << "Arabic-VGA8.psf.gz" << 8 << 8 << 512 << QString();
    QTest::newRow("Lat2-Terminus12x6, PSF2 6 wide") << "Lat2-Terminus12x6.psf.gz" << 6 << 12 << 256 << terminusA;
    QTest::newRow("FullCyrAsia-Terminus12x6, slots without entries")
            << "FullCyrAsia-Terminus12x6.psf.gz" << 6 << 12 << 512 << terminusA;
    QTest::newRow("Unifont-APL8x16") << "Unifont-APL8x16.psf.gz" << 8 << 16 << 512 << QString();
}

// Each font read through FontFile as the program opens it: its bytes as
// gzip unpacks them, its glyphs' code points as psfxtable lists them, and,
// with the table taken out, glyph i at code point i with the same bitmaps.
void tst_PsfFormat::realFonts()
{
    QFETCH(QString, font);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, count);
    QFETCH(QString, capitalA);
    const QString path = kConsoleFonts + font;
    QVERIFY2(QFile::exists(path), qPrintable(path + " is missing: install console-setup-linux and psf-unifont"));
    QTemporaryDir dir;
    QString message;
    QByteArray plain;
    QVERIFY2(runTool(QStringLiteral("gzip"), {"-dc", path}, "gzip", &plain, &message), qPrintable(message));
    QByteArray bytes;
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message));
    QCOMPARE(bytes, plain);
    // Unpacked up to a limit of exactly its size, in two gzip members, and
    // thrice over from a stream made as the zip bomb below is.
    QVERIFY(FontFile::gunzip(gzip(plain), plain.size(), &bytes, &message) && bytes == plain);
    QVERIFY(!FontFile::gunzip(gzip(plain), plain.size() - 1, &bytes, &message) && bytes.isEmpty());
    QVERIFY(FontFile::gunzip(gzip(plain.left(99)) + gzip(plain.mid(99)), plain.size(), &bytes, &message));
    QCOMPARE(bytes, plain);
    QVERIFY(FontFile::gunzip(gzip(plain, 2), 3 * plain.size(), &bytes, &message) && bytes == plain.repeated(3));

    const ReadResult result = PsfFormat::read(bytes, font);
    QVERIFY2(result.ok(), qPrintable(result.error));
    const GlyphSet &set = *result.set;
    QCOMPARE(set.cols(), cols);
    QCOMPARE(set.rows(), rows);
    QCOMPARE(set.size(), qsizetype(count));
    QVERIFY(set.ascent > rows / 2 && set.ascent <= rows);

    std::vector<int> expected;
    QVERIFY(writeFile(dir.filePath("font.psf"), plain));
    QVERIFY2(psfxtableCodePoints(dir.filePath("font.psf"), &expected, &message), qPrintable(message));
    QCOMPARE(qsizetype(expected.size()), set.size());
    for (qsizetype i = 0; i < set.size(); ++i)
        QVERIFY2(set.at(i).codePoint == expected[size_t(i)], qPrintable(QStringLiteral("glyph %1").arg(i)));
    if (!capitalA.isEmpty())
        QCOMPARE(picture(set.at(set.indexOf('A')).bits), capitalA);

    QByteArray bare = plain;
    if (plain.startsWith("\x36\x04")) {
        bare[2] = char(bare[2] & 0x01);
        bare.truncate(4 + count * rows);
    } else {
        bare = withLe32(bare, 12, 0).left(32 + count * rows * ((cols + 7) / 8));
    }
    const ReadResult bareResult = PsfFormat::read(bare, font);
    QVERIFY2(bareResult.ok() && bareResult.set->size() == set.size(), qPrintable(bareResult.error));
    for (qsizetype i = 0; i < set.size(); ++i) {
        QCOMPARE(bareResult.set->at(i).codePoint, int(i));
        QCOMPARE(bareResult.set->at(i).bits, set.at(i).bits);
    }
}

// Unifont's console font is cut from GNU Unifont: every glyph that is 8 wide
// in the BDF (all but two that are 16 wide there) must be the same, and the
// baseline must lie where the BDF puts it.
void tst_PsfFormat::unifontMatchesGnuUnifont()
{
    const QString path = kConsoleFonts + QStringLiteral("Unifont-APL8x16.psf.gz");
    // Timed before the reference is made, which churns through 100 MB.
    QElapsedTimer timer;
    timer.start();
    QByteArray bytes;
    QString message;
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message + " (install psf-unifont)"));
    const ReadResult result = PsfFormat::read(bytes, QStringLiteral("Unifont-APL8x16.psf.gz"));
    qInfo("Unifont-APL8x16.psf.gz unpacked and read in %.2f ms", double(timer.nsecsElapsed()) / 1e6);
    QVERIFY2(result.ok(), qPrintable(result.error));

    QTemporaryDir dir;
    QHash<int, Drawing> reference;
    int ascent = 0;
    QVERIFY2(unifontGlyphs(dir.path(), &reference, &ascent, &message), qPrintable(message));
    QCOMPARE(result.set->ascent, ascent);
    int compared = 0;
    for (const Glyph &glyph : result.set->glyphs()) {
        const auto found = reference.constFind(glyph.codePoint);
        if (found == reference.constEnd())
            continue;
        QVERIFY2(glyph.bits == *found, qPrintable(QStringLiteral("U+%1 differs:\n%2from Unifont's\n%3")
                                                          .arg(glyph.codePoint, 4, 16, QLatin1Char('0'))
                                                          .arg(picture(glyph.bits), picture(*found))));
        ++compared;
    }
    QCOMPARE(compared, 510);
}

// Every console font of console-setup-linux opens: whole when its name
// gives a size up to 16 × 16 ("Terminus16", "VGA28x16" high by wide,
// "APL8x16" wide by high), else for the glyphs its scan offers, with the
// font's glyph count beside them.
void tst_PsfFormat::everyConsoleFontOpens()
{
    const QStringList fonts = QDir(kConsoleFonts).entryList({"*.psf", "*.psf.gz"}, QDir::Files);
    QVERIFY2(fonts.size() > 400, "the console fonts are missing: install console-setup-linux");
    const QRegularExpression size(QStringLiteral("(\\d+)(?:x(\\d+))?\\.psf"));
    for (const QString &font : fonts) {
        const QRegularExpressionMatch match = size.match(font);
        const int largest = std::max(match.captured(1).toInt(), match.captured(2).toInt());
        const QByteArray bytes = installedFont(font);
        const ReadResult result = PsfFormat::read(bytes, font);
        if (largest <= 16) {
            QVERIFY2(result.ok() && std::max(result.set->rows(), result.set->cols()) == largest, qPrintable(font));
            continue;
        }
        QVERIFY2(result.error.contains(QStringLiteral("more than the 16 x 16 this program edits")), qPrintable(font));
        const FontSubset::Scan scan = PsfFormat::scan(bytes, font);
        QVERIFY2(scan.ok(), qPrintable(scan.error));
        const CodePoints::Ranges offered = FontSubset::defaultSubset(scan);
        const ReadResult subset = PsfFormat::read(bytes, font, {offered});
        QVERIFY2(subset.ok() && subset.fontGlyphs == qsizetype(scan.glyphs.size()), qPrintable(font + subset.error));
    }
}

// The matrices and counts are those that a separate implementation of the
// rule finds in the fonts' bitmaps.
void tst_PsfFormat::subsets_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("ranges"); // none: the code points the scan offers
    // Columns, rows and ascent, and the row and column of the font's cell
    // where the matrix's top left corner lies.
    QTest::addColumn<QList<int>>("matrix");
    QTest::addColumn<int>("glyphs");

    QTest::newRow("Terminus 24x12, offered") << "Lat15-Terminus24x12.psf.gz" << "" << QList<int>{12, 16, 15, 4, 0} << 169;
    QTest::newRow("Terminus 24x12, digits and capitals but Q")
            << "Lat15-Terminus24x12.psf.gz" << "0x30-0x39,0x41-0x50,0x52-0x5A" << QList<int>{12, 15, 15, 4, 0} << 35;
    QTest::newRow("Terminus 20x10, capitals") << "Lat15-Terminus20x10.psf.gz" << "0x41-0x5A" << QList<int>{10, 15, 13, 3, 0}
                                              << 26;
    // Without H, x or I the lowest quarter is the descent.
    QTest::newRow("VGA 28x16, offered") << "Lat15-VGA28x16.psf.gz" << "" << QList<int>{16, 16, 12, 2, 0} << 34;
    // A font that fits whole keeps its cell whatever is taken.
    QTest::newRow("Terminus 6x12, printable ASCII") << "Lat2-Terminus12x6.psf.gz" << "32-126"
                                                    << QList<int>{6, 12, 10, 0, 0} << 95;
}

// The glyphs of the ranges and nothing else, each with all of its ink where
// the font's cell puts it.
void tst_PsfFormat::subsets()
{
    QFETCH(QString, font);
    QFETCH(QString, ranges);
    QFETCH(QList<int>, matrix);
    QFETCH(int, glyphs);
    const QByteArray bytes = installedFont(font);
    QVERIFY2(bytes.startsWith("\x72\xb5\x4a\x86"), "install console-setup-linux");
    const FontSubset::Scan scan = PsfFormat::scan(bytes, font);
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    FontSubset::Options options;
    QString message;
    options.codePoints = ranges.isEmpty() ? FontSubset::defaultSubset(scan) : CodePoints::Ranges();
    if (!ranges.isEmpty())
        QVERIFY2(CodePoints::parseRanges(ranges, &*options.codePoints, &message), qPrintable(message));
    const ReadResult read = PsfFormat::read(bytes, font, options);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const GlyphSet &set = *read.set;
    QCOMPARE((QList<int>{set.cols(), set.rows(), set.ascent}), matrix.mid(0, 3));
    QCOMPARE(set.size(), glyphs);
    QCOMPARE(read.fontGlyphs, glyphs < 256 ? 256 : 0);

    // The font's own cells, as its PSF2 header lays them out.
    QVERIFY(bytes.size() >= 32);
    const auto header = [&](int offset) {
        return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0u;
    };
    const int start = int(header(8));
    const int charSize = int(header(20));
    const int height = int(header(24));
    const int width = int(header(28));
    const auto cellBit = [&](int glyph, int row, int col) {
        const char byte = bytes[start + glyph * charSize + row * ((width + 7) / 8) + col / 8];
        return (uchar(byte) >> (7 - col % 8)) & 1;
    };
    // Which glyph has which code point, as realFonts() checks it against
    // psfxtable.
    std::vector<int> codePoints;
    for (const FontSubset::GlyphExtent &glyph : scan.glyphs)
        codePoints.push_back(glyph.codePoint);
    for (const Glyph &glyph : set.glyphs()) {
        QVERIFY(CodePoints::contains(*options.codePoints, glyph.codePoint));
        const int index = int(std::find(codePoints.begin(), codePoints.end(), glyph.codePoint) - codePoints.begin());
        int inCell = 0;
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c)
                inCell += cellBit(index, r, c);
        }
        int inMatrix = 0;
        for (int r = 0; r < set.rows(); ++r) {
            for (int c = 0; c < set.cols(); ++c) {
                const int row = r + matrix[3];
                const int col = c + matrix[4];
                const bool expected = row < height && col < width && cellBit(index, row, col);
                QVERIFY2(glyph.bits.isSet(r, c) == expected,
                         qPrintable(QStringLiteral("%1, row %2, column %3").arg(CodePoints::name(glyph.codePoint)).arg(r).arg(c)));
                inMatrix += expected;
            }
        }
        QVERIFY2(inMatrix == inCell, qPrintable(CodePoints::name(glyph.codePoint) + " lost ink"));
    }
}

void tst_PsfFormat::hostile_data()
{
    QTest::addColumn<QString>("path"); // empty: the bytes, written to font.psf
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const auto row = [](const char *name, const QByteArray &bytes, const char *error) {
        QTest::newRow(name) << QString() << bytes << QString::fromUtf8(error);
    };
    const auto file = [](const char *name, const QString &path, const char *error) {
        QTest::newRow(name) << path << QByteArray() << QString::fromUtf8(error);
    };
    const QByteArray lat15 = installedFont(QStringLiteral("Lat15-Terminus16.psf.gz"));
    const QByteArray lat2 = installedFont(QStringLiteral("Lat2-Terminus12x6.psf.gz"));
    QVERIFY2(!lat15.isEmpty() && !lat2.isEmpty(), "console fonts missing: install console-setup-linux");
    const QByteArray packed = gzip(lat2);
    QByteArray damaged = packed;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);

    row("empty file", QByteArray(), "font.psf: byte 0: this is no PSF font");
    row("PSF1 header cut short", lat15.left(3), "byte 3: the file ends inside its 4-byte PSF1 header");
    row("PSF2 header cut short", lat2.left(20), "byte 20: the file ends inside its 32-byte PSF2 header");
    row("PSF1 glyphs cut short", lat15.left(4 + 200 * 16 + 5), "byte 2: the header says 256 glyphs, the file holds 200");
    row("PSF2 glyphs cut short", lat2.left(32 + 100 * 12), "byte 16: the header says 256 glyphs, the file holds 100");
    row("PSF1 table cut short", lat15.chopped(3), "the Unicode table ends after 255 of the 256 glyphs");
    row("PSF2 table cut short", lat2.chopped(1), "the Unicode table ends after 255 of the 256 glyphs");
    row("PSF2 table cut in a character", tinyPsf2("\xc3"), "byte 35: the Unicode table ends after 0 of the 1");
    row("PSF1 mode 0x08", QByteArray(lat15).replace(2, 1, "\x08"), "byte 2: the PSF1 mode 0x08 has bits");
    row("PSF1 32 rows, no longer the file", QByteArray(lat15).replace(3, 1, " "),
        "byte 2: the header says 256 glyphs, the file holds 177");
    row("PSF1 2 rows", QByteArray(lat15).replace(3, 1, "\x02"), "byte 3: its glyphs are 8 pixels wide and 2 high, less");
    row("PSF2 version 1", withLe32(lat2, 4, 1), "byte 4: PSF2 version 1 is unknown");
    row("header size past the end", withLe32(lat2, 8, 0xFFFFFFFF), "byte 8: the header says it is 4294967295 bytes");
    row("header size under 32", withLe32(lat2, 8, 4), "byte 8: the header says it is 4 bytes long, less than");
    row("no glyphs", withLe32(lat2, 16, 0), "byte 16: the header says the font has no glyphs");
    row("100000 glyphs", withLe32(lat2, 16, 100000), "byte 16: the header says 100000 glyphs, the file holds 379");
    row("4294967295 glyphs", withLe32(lat2, 16, 0xFFFFFFFF), "byte 16: the header says 4294967295 glyphs, more than");
    row("glyph size lies", withLe32(lat2, 20, 13), "byte 20: the header says each glyph takes 13 bytes, but 6 × 12");
    row("glyph size overflows", psf2(1, 16, 16, QByteArray(64, 0), 0xFFFFFFFF), "each glyph takes 4294967295 bytes");
    row("ink 17 wide", psf2(1, 17, 8, QByteArray(24, '\xff') + '\xff'),
        "byte 32: glyph 'glyph0' has 17 x 8 pixels of ink, more than the 16 x 16 this program edits");
    row("4294967295 wide", psf2(1, 0xFFFFFFFF, 8, QByteArray(24, 0)), "byte 28: its glyphs are 4294967295 pixels");
    row("0 high", psf2(1, 8, 0, QByteArray(24, 0)), "byte 24: its glyphs are 8 pixels wide and 0 high, less");
    // Glyph 33, '!', at 32 + 33 × 64.
    file("Terminus 16 wide 32 high, as installed", kConsoleFonts + "Uni2-Terminus32x16.psf.gz",
         "Uni2-Terminus32x16.psf.gz: byte 2144: glyph U+0021 has 2 x 20 pixels of ink, more than the 16 x 16");
    row("UTF-8 overlong", tinyPsf2("\xc0\x80\xff"), "byte 35: the Unicode table has bytes here that are no UTF-8");
    row("UTF-8 surrogate", tinyPsf2("A\xed\xa0\x80\xff"), "byte 36: the Unicode table has bytes here");
    row("UTF-8 past U+10FFFF", tinyPsf2("\xf4\x90\x80\x80\xff"), "byte 35: the Unicode table has bytes here");
    row("UTF-8 stray continuation", tinyPsf2("\xfe\x80\xff"), "byte 36: the Unicode table has bytes here");
    row("UTF-8 glyph ends in a character", tinyPsf2("\xe2\x82\xff"), "byte 35: the Unicode table has bytes here");
    row("PSF1 table surrogate", QByteArray("\x36\x04\x02\x03", 4) + QByteArray(256 * 3, 0) + QByteArray("\x00\xd8", 2),
        "byte 772: the Unicode table holds 0xd800");
    row("gzip cut short", packed.left(packed.size() / 2), "font.psf: the compressed data ends early");
    row("gzip damaged", damaged, "font.psf: the compressed data is damaged");
    row("gzip with a wrong CRC", withLe32(packed, int(packed.size() - 8), 0), "damaged (incorrect data check)");
    row("gzip with stray bytes after", packed + "xyz", "font.psf: has 3 stray bytes after the end");
    row("zip bomb of 4 GiB", gzip(QByteArray(1 << 20, 0), 4095),
        "font.psf: unpacks to more than 64 MiB, the most this program reads");
    file("1 GiB file", QStringLiteral("sparse"), "big.psf: the file is 1024 MiB, more than the 64 MiB this program reads");
    file("endless device", QStringLiteral("/dev/zero"), "/dev/zero: the file is more than the 64 MiB this program reads");
    file("folder", kConsoleFonts, "/usr/share/consolefonts/: is a folder, not a font file");
    file("missing file", QStringLiteral("/nonexistent/font.psf"), "/nonexistent/font.psf: there is no such file");
}

// Each hostile file is refused with one message that names it, and no set.
void tst_PsfFormat::hostile()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("font.psf"));
        QVERIFY(writeFile(path, bytes));
    } else if (path == QLatin1String("sparse")) {
        path = dir.filePath(QStringLiteral("big.psf"));
        QFile sparse(path);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(1) << 30));
    }
    QByteArray loaded;
    QString message;
    const ReadResult result = FontFile::load(path, &loaded, &message)
            ? PsfFormat::read(loaded, QFileInfo(path).fileName())
            : ReadResult::failure(message);
    QVERIFY2(!result.ok(), "a hostile file was read");
    QVERIFY2(result.error.startsWith(path + ": ") || result.error.startsWith(QFileInfo(path).fileName() + ": "),
             qPrintable(result.error));
    QVERIFY2(result.error.contains(error) && !result.error.contains(u'\n'), qPrintable(result.error));
}

QTEST_GUILESS_MAIN(tst_PsfFormat)
#include "tst_psfformat.moc"
