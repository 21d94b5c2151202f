#include "fontfile.h"
#include "psfformat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
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
const QString kUnifontPcf = QStringLiteral("/usr/share/fonts/X11/misc/unifont.pcf.gz");

bool runTool(const QString &program, const QStringList &args, const QString &package, QByteArray *out,
             QString *message)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *message = QStringLiteral("%1 failed (it comes with the Debian package %2): %3 %4")
                           .arg(program, package, process.errorString(),
                                QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    *out = process.readAllStandardOutput();
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Each glyph's first code point that is no part of a sequence, from
// psfxtable's listing: "0x041\tU+0041 U+0391", a sequence written as
// "U+0065, U+0301", and a glyph without an entry as its number alone.
bool psfxtableCodePoints(const QString &plainFont, const QString &dir, std::vector<int> *codePoints, QString *message)
{
    const QString table = dir + QStringLiteral("/table.txt");
    QByteArray unused;
    if (!runTool(QStringLiteral("psfxtable"), {"-i", plainFont, "-ot", table}, QStringLiteral("kbd"), &unused, message))
        return false;
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("psfxtable wrote no table");
        return false;
    }
    codePoints->clear();
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> tokens = line.simplified().split(' ');
        if (!line.startsWith("0x"))
            continue;
        int first = Glyph::kNoCodePoint;
        bool sequence = false;
        for (qsizetype i = 1; i < tokens.size() && first == Glyph::kNoCodePoint; ++i) {
            const bool inSequence = tokens[i].endsWith(',') || sequence;
            sequence = tokens[i].endsWith(',');
            if (!inSequence)
                first = tokens[i].mid(2).toInt(nullptr, 16);
        }
        codePoints->push_back(first);
    }
    return true;
}

// The 8 × 16 glyphs of GNU Unifont's BDF (BBX 8 16 0 -2, the baseline two
// rows above the bottom), by code point.
bool unifontGlyphs(const QString &dir, QHash<int, Drawing> *glyphs, int *ascent, QString *message)
{
    const QString bdf = dir + QStringLiteral("/unifont.bdf");
    QByteArray unused;
    if (!QFileInfo::exists(kUnifontPcf)) {
        *message = QStringLiteral("%1 is missing: install the Debian package xfonts-unifont").arg(kUnifontPcf);
        return false;
    }
    if (!runTool(QStringLiteral("pcf2bdf"), {"-o", bdf, kUnifontPcf}, QStringLiteral("pcf2bdf"), &unused, message))
        return false;
    QFile file(bdf);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("pcf2bdf wrote nothing");
        return false;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    int encoding = -1;
    QByteArray bbx;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.startsWith("FONT_ASCENT "))
            *ascent = line.mid(12).toInt();
        else if (line.startsWith("ENCODING "))
            encoding = line.mid(9).toInt();
        else if (line.startsWith("BBX "))
            bbx = line.mid(4);
        else if (line == "BITMAP" && bbx == "8 16 0 -2" && i + 16 < lines.size()) {
            Drawing bits(16, 8);
            for (int r = 0; r < 16; ++r) {
                const int value = lines[i + 1 + r].toInt(nullptr, 16);
                for (int c = 0; c < 8; ++c)
                    bits.set(r, c, value & (0x80 >> c));
            }
            glyphs->insert(encoding, bits);
        }
    }
    return !glyphs->isEmpty();
}

QString picture(const Drawing &bits)
{
    QString text;
    for (int r = 0; r < bits.rows(); ++r) {
        for (int c = 0; c < bits.cols(); ++c)
            text += bits.isSet(r, c) ? u'#' : u'.';
        text += u'\n';
    }
    return text;
}

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

// One 3 × 3 glyph and the given Unicode table.
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

QByteArray gzip(const QByteArray &input)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    const QByteArray out = deflated(&stream, input, Z_FINISH);
    deflateEnd(&stream);
    return out;
}

// One gzip member of `mebibytes` MiB of zeros, made without holding them: a
// full flush after each MiB makes every later MiB compress to the same bytes,
// so one is made and repeated, and the trailer's CRC is combined from the
// MiB's.
QByteArray zipBomb(int mebibytes)
{
    const QByteArray zeros(1 << 20, '\0');
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray bomb = deflated(&stream, zeros, Z_FULL_FLUSH);
    const QByteArray again = deflated(&stream, zeros, Z_FULL_FLUSH);
    QByteArray end = deflated(&stream, QByteArray(), Z_FINISH);
    deflateEnd(&stream);
    const uLong crcOfMiB = crc32(0, reinterpret_cast<const Bytef *>(zeros.constData()), uInt(zeros.size()));
    uLong crc = crcOfMiB;
    for (int i = 1; i < mebibytes; ++i) {
        bomb += again;
        crc = crc32_combine(crc, crcOfMiB, zeros.size());
    }
    end.chop(8);
    return bomb + end + le32(quint32(crc)) + le32(quint32(quint64(mebibytes) << 20));
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
    void everyConsoleFontReadsOrIsTooLarge();
    void gunzip_data();
    void gunzip();
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
    QTest::newRow("FullCyrAsia-Terminus12x6, PSF2 of 512") << "FullCyrAsia-Terminus12x6.psf.gz" << 6 << 12 << 512
                                                          << terminusA;
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
    QVERIFY2(QFileInfo::exists(path), qPrintable(path + " is missing: install console-setup-linux and psf-unifont"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;

    QByteArray plain;
    QVERIFY2(runTool(QStringLiteral("gzip"), {"-dc", path}, QStringLiteral("gzip"), &plain, &message),
             qPrintable(message));
    QByteArray bytes;
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message));
    QCOMPARE(bytes, plain);

    const ReadResult result = PsfFormat::read(bytes, font);
    QVERIFY2(result.ok(), qPrintable(result.error));
    const GlyphSet &set = *result.set;
    QCOMPARE(set.cols(), cols);
    QCOMPARE(set.rows(), rows);
    QCOMPARE(set.size(), qsizetype(count));
    QVERIFY(set.ascent > rows / 2 && set.ascent <= rows);

    const QString plainPath = dir.filePath(QStringLiteral("font.psf"));
    QVERIFY(writeFile(plainPath, plain));
    std::vector<int> expected;
    QVERIFY2(psfxtableCodePoints(plainPath, dir.path(), &expected, &message), qPrintable(message));
    QCOMPARE(qsizetype(expected.size()), set.size());
    QSet<QByteArray> names;
    for (qsizetype i = 0; i < set.size(); ++i) {
        QVERIFY2(set.at(i).codePoint == expected[size_t(i)],
                 qPrintable(QStringLiteral("glyph %1: U+%2, psfxtable says U+%3")
                                    .arg(i)
                                    .arg(set.at(i).codePoint, 4, 16, QLatin1Char('0'))
                                    .arg(expected[size_t(i)], 4, 16, QLatin1Char('0'))));
        names.insert(set.at(i).name);
    }
    QCOMPARE(names.size(), set.size());
    if (!capitalA.isEmpty())
        QCOMPARE(picture(set.at(set.indexOf('A')).bits), capitalA);

    // The same glyphs without the Unicode table.
    const bool psf1 = plain.startsWith("\x36\x04");
    QByteArray bare = plain;
    if (psf1) {
        bare[2] = char(bare[2] & 0x01);
        bare.truncate(4 + count * rows);
    } else {
        bare = withLe32(bare, 12, 0);
        bare.truncate(32 + count * rows * ((cols + 7) / 8));
    }
    const ReadResult bareResult = PsfFormat::read(bare, font);
    QVERIFY2(bareResult.ok(), qPrintable(bareResult.error));
    QCOMPARE(bareResult.set->size(), set.size());
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
    QVERIFY2(QFileInfo::exists(path), qPrintable(path + " is missing: install psf-unifont"));
    // Timed before the reference is made, which churns through 100 MB.
    QElapsedTimer timer;
    timer.start();
    QByteArray bytes;
    QString message;
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message));
    const ReadResult result = PsfFormat::read(bytes, QFileInfo(path).fileName());
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

// Every console font of console-setup-linux either reads, or is refused for
// glyphs larger than 16 × 16; its name gives its size ("Terminus16",
// "VGA28x16" high by wide, "APL8x16" wide by high).
void tst_PsfFormat::everyConsoleFontReadsOrIsTooLarge()
{
    const QStringList fonts = QDir(kConsoleFonts).entryList({"*.psf", "*.psf.gz"}, QDir::Files);
    QVERIFY2(fonts.size() > 400, "the console fonts are missing: install console-setup-linux");
    const QRegularExpression size(QStringLiteral("(\\d+)(?:x(\\d+))?\\.psf"));
    int read = 0;
    for (const QString &font : fonts) {
        QByteArray bytes;
        QString message;
        QVERIFY2(FontFile::load(kConsoleFonts + font, &bytes, &message), qPrintable(message));
        const ReadResult result = PsfFormat::read(bytes, font);
        const QRegularExpressionMatch match = size.match(font);
        const int largest = std::max(match.captured(1).toInt(), match.captured(2).toInt());
        if (largest <= 16) {
            QVERIFY2(result.ok() && std::max(result.set->rows(), result.set->cols()) == largest,
                     qPrintable(font + ": " + result.error));
            ++read;
        } else {
            QVERIFY2(!result.ok() && result.error.contains(QStringLiteral("more than the 16 × 16")), qPrintable(font));
        }
    }
    QVERIFY(read > 200);
}

void tst_PsfFormat::gunzip_data()
{
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("error");

    const QByteArray text("eight by sixteen");
    QTest::newRow("exactly at the limit") << gzip(text) << qint64(text.size()) << text << QString();
    QTest::newRow("a byte past the limit") << gzip(text) << qint64(text.size() - 1) << QByteArray()
                                           << "unpacks to more than 15 bytes, the most";
    QTest::newRow("two members") << gzip(text.left(5)) + gzip(text.mid(5)) << qint64(100) << text << QString();
    QTest::newRow("two members, the second past the limit")
            << gzip(text) + gzip(text) << qint64(20) << QByteArray() << "unpacks to more than";
    QTest::newRow("magic number only") << QByteArray("\x1f\x8b") << qint64(100) << QByteArray() << "ends early";
    QTest::newRow("cut short") << gzip(text).chopped(4) << qint64(100) << QByteArray() << "ends early";
    QTest::newRow("wrong CRC") << withLe32(gzip(text), int(gzip(text).size() - 8), 0) << qint64(100) << QByteArray()
                               << "damaged (incorrect data check)";
    QTest::newRow("stray bytes after") << gzip(text) + "xyz" << qint64(100) << QByteArray() << "3 stray bytes";
    // The zip bombs below are built the same way; this one is small enough to
    // unpack whole, which shows the way gives sound gzip streams.
    QTest::newRow("3 MiB of zeros made as the zip bombs are")
            << zipBomb(3) << qint64(3 << 20) << QByteArray(3 << 20, '\0') << QString();
}

void tst_PsfFormat::gunzip()
{
    QFETCH(QByteArray, packed);
    QFETCH(qint64, limit);
    QFETCH(QByteArray, expected);
    QFETCH(QString, error);
    QByteArray out;
    QString what;
    const bool ok = FontFile::gunzip(packed, limit, &out, &what);
    QVERIFY2(ok == error.isEmpty(), qPrintable(what));
    QCOMPARE(out, expected);
    QVERIFY2(what.contains(error), qPrintable(what));
}

void tst_PsfFormat::hostile_data()
{
    QTest::addColumn<QString>("path"); // empty: the bytes below, written to font.psf
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QByteArray lat15 = installedFont(QStringLiteral("Lat15-Terminus16.psf.gz"));
    const QByteArray lat2 = installedFont(QStringLiteral("Lat2-Terminus12x6.psf.gz"));
    QVERIFY2(!lat15.isEmpty() && !lat2.isEmpty(), "console fonts missing: install console-setup-linux");
    const QString none;
    const QString folder = kConsoleFonts;

    QTest::newRow("empty file") << none << QByteArray() << "font.psf: byte 0: this is no PSF font";
    QTest::newRow("a PNG") << none << QByteArray("\x89PNG\r\n\x1a\n") << "byte 0: this is no PSF font";
    QTest::newRow("PSF1 header cut short") << none << lat15.left(3) << "byte 3: the file ends inside its 4-byte";
    QTest::newRow("PSF2 header cut short") << none << lat2.left(20) << "byte 20: the file ends inside its 32-byte";
    QTest::newRow("PSF1 glyphs cut short") << none << lat15.left(4 + 200 * 16 + 5)
                                           << "byte 2: the header says 256 glyphs, the file holds 200";
    QTest::newRow("PSF2 glyphs cut short") << none << lat2.left(32 + 100 * 12)
                                           << "byte 16: the header says 256 glyphs, the file holds 100";
    QTest::newRow("PSF1 table cut short") << none << lat15.chopped(3) << "the Unicode table ends after 255 of the 256";
    QTest::newRow("PSF2 table cut short") << none << lat2.chopped(1) << "the Unicode table ends after 255 of the 256";
    QTest::newRow("PSF2 table cut in a character") << none << tinyPsf2("\xc3") << "byte 35: the Unicode table ends";
    QTest::newRow("PSF1 mode 0x08") << none << QByteArray(lat15).replace(2, 1, "\x08") << "byte 2: the PSF1 mode 0x08";
    QTest::newRow("PSF1 32 rows") << none << QByteArray(lat15).replace(3, 1, " ")
                                  << "byte 3: its glyphs are 8 pixels wide and 32 high, more than the 16 × 16";
    QTest::newRow("PSF1 2 rows") << none << QByteArray(lat15).replace(3, 1, "\x02") << "8 pixels wide and 2 high, less";
    QTest::newRow("PSF2 version 1") << none << withLe32(lat2, 4, 1) << "byte 4: PSF2 version 1 is unknown";
    QTest::newRow("header size past the end") << none << withLe32(lat2, 8, 0xFFFFFFFF)
                                              << "byte 8: the header says it is 4294967295 bytes long, the file holds";
    QTest::newRow("header size under 32") << none << withLe32(lat2, 8, 4) << "byte 8: the header says it is 4 bytes";
    QTest::newRow("no glyphs") << none << withLe32(lat2, 16, 0) << "byte 16: the header says the font has no glyphs";
    QTest::newRow("100000 glyphs") << none << withLe32(lat2, 16, 100000)
                                   << "byte 16: the header says 100000 glyphs, the file holds 379";
    QTest::newRow("4294967295 glyphs") << none << withLe32(lat2, 16, 0xFFFFFFFF)
                                       << "byte 16: the header says 4294967295 glyphs, more than the 131072";
    QTest::newRow("glyph size lies")
            << none << withLe32(lat2, 20, 13) << "byte 20: the header says each glyph takes 13 bytes, but 6 × 12 pixels take 12";
    QTest::newRow("glyph size overflows") << none << psf2(1, 16, 16, QByteArray(64, '\0'), 0xFFFFFFFF)
                                          << "each glyph takes 4294967295 bytes";
    QTest::newRow("17 wide") << none << psf2(1, 17, 8, QByteArray(24, '\0'))
                             << "byte 28: its glyphs are 17 pixels wide";
    QTest::newRow("4294967295 wide") << none << psf2(1, 0xFFFFFFFF, 8, QByteArray(24, '\0'))
                                     << "4294967295 pixels wide and 8 high";
    QTest::newRow("0 high") << none << psf2(1, 8, 0, QByteArray(24, '\0'))
                            << "byte 24: its glyphs are 8 pixels wide and 0 high, less";
    QTest::newRow("Terminus 16 wide 32 high, as installed")
            << kConsoleFonts + "Uni2-Terminus32x16.psf.gz" << QByteArray()
            << "Uni2-Terminus32x16.psf.gz: byte 24: its glyphs are 16 pixels wide and 32 high, more than the 16 × 16";
    const QString badUtf8 = QStringLiteral(": the Unicode table has bytes here that are no UTF-8");
    QTest::newRow("UTF-8 overlong") << none << tinyPsf2("\xc0\x80\xff") << "byte 35" + badUtf8;
    QTest::newRow("UTF-8 surrogate") << none << tinyPsf2("A\xed\xa0\x80\xff") << "byte 36" + badUtf8;
    QTest::newRow("UTF-8 past U+10FFFF") << none << tinyPsf2("\xf4\x90\x80\x80\xff") << "byte 35" + badUtf8;
    QTest::newRow("UTF-8 stray continuation") << none << tinyPsf2("\xfe\x80\xff") << "byte 36" + badUtf8;
    QTest::newRow("UTF-8 glyph ends inside a character") << none << tinyPsf2("\xe2\x82\xff") << "byte 35" + badUtf8;
    QTest::newRow("PSF1 table surrogate") << none << QByteArray("\x36\x04\x02\x03", 4) + QByteArray(256 * 3, '\0')
                                                   + QByteArray("\x00\xd8\xff\xff", 4)
                                          << "byte 772: the Unicode table holds 0xd800";

    const QByteArray packed = gzip(lat2);
    QByteArray damaged = packed;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
    QTest::newRow("gzip cut short") << none << packed.left(packed.size() / 2)
                                    << "font.psf: the compressed data ends early";
    QTest::newRow("gzip damaged") << none << damaged << "font.psf: the compressed data is damaged";
    QTest::newRow("zip bomb, one member of 4 GiB")
            << none << zipBomb(4096) << "font.psf: unpacks to more than 64 MiB, the most this program reads";
    QByteArray members;
    const QByteArray member = gzip(QByteArray(1 << 20, '\0'));
    for (int i = 0; i < 4096; ++i)
        members += member;
    QTest::newRow("zip bomb, 4096 members of 1 MiB") << none << members << "font.psf: unpacks to more than 64 MiB";
    QTest::newRow("1 GiB file") << QStringLiteral("sparse") << QByteArray()
                                << "big.psf: the file is 1024 MiB, more than the 64 MiB this program reads";
    QTest::newRow("endless device") << QStringLiteral("/dev/zero") << QByteArray()
                                    << "zero: the file is more than the 64 MiB";
    QTest::newRow("folder") << folder << QByteArray() << "consolefonts: is a folder";
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/font.psf") << QByteArray()
                                  << "font.psf: there is no such file";
}

// Each hostile file is refused with one message that names it, and no set.
void tst_PsfFormat::hostile()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("font.psf"));
        QVERIFY(writeFile(path, bytes));
    } else if (path == QLatin1String("sparse")) {
        path = dir.filePath(QStringLiteral("big.psf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
    }

    QByteArray loaded;
    QString message;
    ReadResult result;
    if (FontFile::load(path, &loaded, &message))
        result = PsfFormat::read(loaded, QFileInfo(path).fileName());
    else
        result = ReadResult::failure(message);
    QVERIFY2(!result.ok(), "a hostile file was read");
    QVERIFY2(result.error.startsWith(QFileInfo(QDir::cleanPath(path)).fileName() + ": "), qPrintable(result.error));
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QVERIFY(!result.error.contains(u'\n'));
}

QTEST_GUILESS_MAIN(tst_PsfFormat)
#include "tst_psfformat.moc"
