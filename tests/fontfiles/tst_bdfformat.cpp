#include "bdfformat.h"
#include "bdftestfonts.h"
#include "bdftext.h"
#include "fontfixtures.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// BDF fonts read, checked against the font's own text, saved, read back and
// handed to the X11 and console font tools; fonts too large to open whole
// opened for some of their glyphs; hostile files refused.
namespace {

using namespace BdfTestFonts;

// Glyph `code` of the font's text in a matrix of `cols` x `rows` whose
// baseline lies `ascent` rows down and whose left edge lies `left` pixels
// right of the origin; false when the glyph is missing or loses a pixel.
bool referenceGlyph(const QHash<int, BdfText::Char> &glyphs, int code, int cols, int rows, int ascent, int left,
                    Glyph *glyph, QString *message)
{
    if (!glyphs.contains(code)) {
        *message = QStringLiteral("no glyph %1 in the font's text").arg(code);
        return false;
    }
    const BdfText::Char &source = glyphs[code];
    glyph->codePoint = code;
    glyph->name = source.name;
    glyph->advance = source.advance;
    glyph->bits = BdfText::placed(source, cols, rows, ascent, left);
    int pixels = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            pixels += glyph->bits.isSet(r, c);
    }
    if (pixels != BdfText::pixelCount(source)) {
        *message = QStringLiteral("glyph %1 does not lie within %2 x %3").arg(code).arg(cols).arg(rows);
        return false;
    }
    return true;
}

using FontFixtures::sameGlyph;
using FontFixtures::sameSet;

// The 1-based number of the line on which byte `index` stands.
qint64 lineAt(const QByteArray &text, qsizetype index)
{
    return text.left(index).count('\n') + 1;
}

} // namespace

class tst_BdfFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void realFonts_data();
    void realFonts();
    void subsets_data();
    void subsets();
    void misfits_data();
    void misfits();
    void blankEdgesDoNotCount_data();
    void blankEdgesDoNotCount();
    void cutAfterAGlyph_data();
    void cutAfterAGlyph();
    void hostileFiles_data();
    void hostileFiles();
    void fontSmallerThanSmallestMatrix();

private:
    // An installed X11 font as BDF text, converted into m_dir once.
    bool font(const QString &pcf, QByteArray *text, QString *m) const { return x11Font(pcf, m_dir.path(), text, m); }

    QTemporaryDir m_dir;
    QByteArray m_fixed5x7;
};

void tst_BdfFormat::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString message;
    QVERIFY2(font(QStringLiteral("misc/5x7.pcf.gz"), &m_fixed5x7, &message), qPrintable(message));
}

void tst_BdfFormat::realFonts_data()
{
    QTest::addColumn<QString>("pcf");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("glyphs");
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<bool>("console"); // whether bdf2psf takes the font

    QTest::newRow("misc-fixed 5x7") << "misc/5x7.pcf.gz" << 5 << 7 << 1848 << QList<int>{65, 103, 223} << true;
    QTest::newRow("misc-fixed 6x13") << "misc/6x13.pcf.gz" << 6 << 13 << 4121 << QList<int>{65, 103, 9731} << true;
    QTest::newRow("misc-fixed 8x13") << "misc/8x13.pcf.gz" << 8 << 13 << 3703 << QList<int>{65, 103, 9731} << true;
    QTest::newRow("misc-fixed 8x16 Latin-1") << "misc/8x16.pcf.gz" << 8 << 16 << 221 << QList<int>{65, 103, 223} << true;
    // Glyphs of 13 x 12, 13 x 13 and 16 x 13 in a 16 x 16 box.
    QTest::newRow("DEC session cursors") << "misc/decsess.pcf.gz" << 16 << 16 << 14 << QList<int>{33, 19, 35} << false;
    // 8 pixels wide for the Latin letters, 16 for the ideograph.
    QTest::newRow("GNU Unifont") << "misc/unifont.pcf.gz" << 16 << 16 << 57086
                                 << QList<int>{65, 103, 20013} << true;
    // Proportional, with glyphs reaching left of the origin.
    QTest::newRow("75dpi Helvetica 8") << "75dpi/helvR08.pcf.gz" << 12 << 16 << 754 << QList<int>{65, 103, 8364}
                                       << false;
    QTest::newRow("75dpi Courier 10 Latin-1") << "75dpi/courR10-ISO8859-1.pcf.gz" << 8 << 11 << 192
                                              << QList<int>{65, 103, 223} << false;
}

// Open, compare glyphs with the text, save, reopen and compare every glyph,
// then let bdftopcf and bdf2psf take the saved file: bdf2psf must make the
// same console font of it as of the original.
void tst_BdfFormat::realFonts()
{
    QFETCH(QString, pcf);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, glyphs);
    QFETCH(QList<int>, samples);
    QFETCH(bool, console);

    QTemporaryDir dir;
    QByteArray text;
    QString message;
    QVERIFY2(font(pcf, &text, &message), qPrintable(message));
    const QString original = dir.filePath(QStringLiteral("original.bdf"));
    QVERIFY(writeFile(original, text));

    QElapsedTimer timer;
    timer.start();
    const ReadResult opened = BdfFormat::read(text, QStringLiteral("original.bdf"));
    const qint64 readNs = timer.nsecsElapsed();
    QVERIFY2(opened.ok(), qPrintable(opened.error));
    const GlyphSet &set = *opened.set;
    QCOMPARE(set.cols(), cols);
    QCOMPARE(set.rows(), rows);
    QCOMPARE(set.size(), glyphs);
    const QList<int> box = BdfText::numbers(text, "FONTBOUNDINGBOX");
    const QHash<int, BdfText::Char> reference = BdfText::chars(text);
    for (int code : samples) {
        Glyph expected;
        QVERIFY2(referenceGlyph(reference, code, box[0], box[1], box[1] + box[3], box[2], &expected, &message),
                 qPrintable(message));
        const qsizetype index = set.indexOf(code);
        QVERIFY2(index >= 0, qPrintable(QStringLiteral("no glyph for %1").arg(code)));
        QVERIFY2(sameGlyph(expected, set.at(index), &message), qPrintable(message));
    }

    timer.restart();
    const QByteArray saved = BdfFormat::write(set);
    const qint64 writeNs = timer.nsecsElapsed();
    qInfo("%s: %lld glyphs read in %.1f ms, written in %.1f ms", qPrintable(pcf), qint64(set.size()),
          double(readNs) / 1e6, double(writeNs) / 1e6);
    const ReadResult reopened = BdfFormat::read(saved, QStringLiteral("saved.bdf"));
    QVERIFY2(reopened.ok(), qPrintable(reopened.error));
    QVERIFY2(sameSet(set, *reopened.set, &message), qPrintable(message));
    QVERIFY2(BdfFormat::write(*reopened.set) == saved, "saving the reopened font gives other bytes");

    const QString savedPath = dir.filePath(QStringLiteral("saved.bdf"));
    QVERIFY(writeFile(savedPath, saved));
    QVERIFY2(run(QStringLiteral("bdftopcf"), {QStringLiteral("-o"), dir.filePath(QStringLiteral("saved.pcf")), savedPath},
                 &message),
             qPrintable(message + QStringLiteral(" (bdftopcf is in xfonts-utils)")));
    if (!console)
        return;
    const QStringList psfSets = {QStringLiteral("/usr/share/bdf2psf/standard.equivalents"),
                                 QStringLiteral("/usr/share/bdf2psf/ascii.set"), QStringLiteral("256")};
    QByteArray fromOriginal;
    QByteArray fromSaved;
    QVERIFY2(run(QStringLiteral("bdf2psf"),
                 QStringList{QStringLiteral("--fb"), original} + psfSets
                         + QStringList{dir.filePath(QStringLiteral("original.psf"))},
                 &message)
                     && run(QStringLiteral("bdf2psf"),
                            QStringList{QStringLiteral("--fb"), savedPath} + psfSets
                                    + QStringList{dir.filePath(QStringLiteral("saved.psf"))},
                            &message)
                     && readFile(dir.filePath(QStringLiteral("original.psf")), &fromOriginal, &message)
                     && readFile(dir.filePath(QStringLiteral("saved.psf")), &fromSaved, &message),
             qPrintable(message + QStringLiteral(" (bdf2psf is in the package bdf2psf)")));
    QVERIFY2(!fromSaved.isEmpty() && fromSaved == fromOriginal, "bdf2psf makes another console font of the saved file");
}

// The matrices and counts are those that a separate implementation of the
// rule finds in pcf2bdf's text; the default subsets take printable ASCII
// first, then whatever else fits with it.
void tst_BdfFormat::subsets_data()
{
    QTest::addColumn<QString>("pcf");
    QTest::addColumn<QString>("ranges"); // none: the default subset
    QTest::addColumn<QList<int>>("matrix"); // columns, rows, ascent, left edge
    QTest::addColumn<int>("glyphs");

    // 9 x 18: the ink of the glyphs taken is 16 rows high, the font's box
    // keeps the width.
    QTest::newRow("misc-fixed 9x18, default") << "misc/9x18.pcf.gz" << "" << QList<int>{9, 16, 13, 0} << 4274;
    QTest::newRow("misc-fixed 9x18, printable ASCII") << "misc/9x18.pcf.gz" << "32-126" << QList<int>{9, 16, 13, 0} << 95;
    // Printable ASCII itself is 17 rows high here: g, j, p, q and y are left out.
    QTest::newRow("misc-fixed 10x20, default") << "misc/10x20.pcf.gz" << "" << QList<int>{10, 16, 15, 0} << 3800;
    QTest::newRow("75dpi Helvetica 14, default") << "75dpi/helvR14.pcf.gz" << "" << QList<int>{16, 16, 13, -2} << 586;
    QTest::newRow("75dpi Helvetica 14, printable ASCII") << "75dpi/helvR14.pcf.gz" << "0x20-0x7E"
                                                        << QList<int>{15, 15, 12, -1} << 95;
    // A font that fits whole keeps its matrix whatever is taken.
    QTest::newRow("GNU Unifont, 16 ideographs") << "misc/unifont.pcf.gz" << "U+4E00-U+4E0F"
                                                << QList<int>{16, 16, 14, 0} << 16;
}

// The glyphs of the ranges and nothing else, each pixel where the font's
// text puts it; the scan foresees what the read gives.
void tst_BdfFormat::subsets()
{
    QFETCH(QString, pcf);
    QFETCH(QString, ranges);
    QFETCH(QList<int>, matrix);
    QFETCH(int, glyphs);

    QByteArray text;
    QString message;
    QVERIFY2(font(pcf, &text, &message), qPrintable(message));
    const BdfFormat::Scan scan = BdfFormat::scan(text, QStringLiteral("font.bdf"));
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    BdfFormat::Options options;
    options.codePoints = CodePoints::Ranges();
    if (ranges.isEmpty())
        options.codePoints = BdfFormat::defaultSubset(scan);
    else
        QVERIFY2(CodePoints::parseRanges(ranges, &*options.codePoints, &message), qPrintable(message));
    const ReadResult read = BdfFormat::read(text, QStringLiteral("font.bdf"), options);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const GlyphSet &set = *read.set;
    QCOMPARE((QList<int>{set.cols(), set.rows(), set.ascent, set.xOffset}), matrix);
    QCOMPARE(set.size(), glyphs);
    const BdfFormat::Fit fit = BdfFormat::fit(scan, options);
    QVERIFY2(fit.fits() && fit.glyphs == glyphs && fit.cols == matrix[0] && fit.rows == matrix[1], qPrintable(fit.misfit));

    const QHash<int, BdfText::Char> reference = BdfText::chars(text);
    const QList<int> codes = reference.keys();
    QCOMPARE(std::count_if(codes.begin(), codes.end(),
                           [&](int code) { return CodePoints::contains(*options.codePoints, code); }),
             glyphs);
    for (const Glyph &glyph : set.glyphs()) {
        Glyph expected;
        QVERIFY2(referenceGlyph(reference, glyph.codePoint, matrix[0], matrix[1], matrix[2], matrix[3], &expected,
                                &message)
                         && sameGlyph(expected, glyph, &message),
                 qPrintable(message));
    }
}

void tst_BdfFormat::misfits_data()
{
    QTest::addColumn<QString>("pcf");
    QTest::addColumn<QString>("ranges"); // none: the whole font
    QTest::addColumn<QByteArray>("glyph"); // the one named, by its STARTCHAR name
    QTest::addColumn<QString>("what");

    const QString largest = QStringLiteral(", more than the 16 x 16 this program edits");
    QTest::newRow("misc-fixed 9x18, whole") << "misc/9x18.pcf.gz" << "" << QByteArray("uni1E08")
                                            << "glyph 'uni1E08' (U+1E08) has 7 x 17 pixels of ink" + largest;
    QTest::newRow("misc-fixed 9x18, Latin-1") << "misc/9x18.pcf.gz" << "0-255" << QByteArray("Agrave")
                                              << "glyph 'Agrave' (U+00C0), 7 x 14 pixels of ink, does not fit with the "
                                                 "others taken: together they are 9 x 17 pixels" + largest;
    QTest::newRow("misc-fixed 10x20, printable ASCII") << "misc/10x20.pcf.gz" << "32-126" << QByteArray("g")
                                                       << "glyph 'g' (U+0067), 8 x 12 pixels of ink, does not fit with "
                                                          "the others taken: together they are 9 x 17 pixels" + largest;
    QTest::newRow("75dpi Helvetica 24, printable ASCII") << "75dpi/helvR24.pcf.gz" << "32-126" << QByteArray("exclam")
                                                         << "glyph 'exclam' (U+0021) has 2 x 19 pixels of ink" + largest;
}

// Glyphs that do not fit are refused by name and line, as the scan says
// before reading for real.
void tst_BdfFormat::misfits()
{
    QFETCH(QString, pcf);
    QFETCH(QString, ranges);
    QFETCH(QByteArray, glyph);
    QFETCH(QString, what);

    QByteArray text;
    QString message;
    QVERIFY2(font(pcf, &text, &message), qPrintable(message));
    BdfFormat::Options options;
    if (!ranges.isEmpty()) {
        options.codePoints = CodePoints::Ranges();
        QVERIFY2(CodePoints::parseRanges(ranges, &*options.codePoints, &message), qPrintable(message));
    }
    const ReadResult read = BdfFormat::read(text, QStringLiteral("font.bdf"), options);
    const qint64 line = lineAt(text, text.indexOf("\nSTARTCHAR " + glyph + '\n') + 1);
    QVERIFY(!read.ok());
    QCOMPARE(read.error, QStringLiteral("font.bdf: line %1: %2").arg(line).arg(what));
    const BdfFormat::Fit fit = BdfFormat::fit(BdfFormat::scan(text, QStringLiteral("font.bdf")), options);
    QCOMPARE(fit.misfit, what);
    QCOMPARE(fit.line, line);
}

void tst_BdfFormat::blankEdgesDoNotCount_data()
{
    QTest::addColumn<QString>("pcf");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QList<int>>("box"); // the glyph boxes together

    // 8x16 is refused as a whole when its blank space has a box a row taller.
    QTest::newRow("8x16, space a row taller") << "misc/8x16.pcf.gz"
                                              << QByteArray("ENCODING 32\nSWIDTH 480 0\nDWIDTH 8 0\nBBX 8 16 0 -2\nBITMAP\n")
                                              << QByteArray("ENCODING 32\nSWIDTH 480 0\nDWIDTH 8 0\nBBX 8 17 0 -3\nBITMAP\n00\n")
                                              << QList<int>{8, 17};
    // 5x7's A in a box 70 wide and 9 high, its ink across the box's 64th
    // column.
    const QByteArray rowsA[] = {"60", "90", "90", "F0", "90", "90", "00"};
    const QByteArray glyphA = "STARTCHAR A\nENCODING 65\nSWIDTH 685 0\nDWIDTH 5 0\n";
    QByteArray wide = glyphA + "BBX 70 9 -62 -2\nBITMAP\n" + QByteArray(18, '0') + '\n';
    for (const QByteArray &row : rowsA) {
        const quint64 bits = row.toULongLong(nullptr, 16);
        // Columns 62 to 69 of 72: the last 2 pixels of the first 64 and 6
        // of the next 8.
        wide += QByteArray::number(bits >> 6, 16).rightJustified(16, '0').toUpper()
                + QByteArray::number((bits & 0x3F) << 2, 16).rightJustified(2, '0').toUpper() + '\n';
    }
    wide += QByteArray(18, '0') + '\n';
    QTest::newRow("5x7, A in a wide box") << "misc/5x7.pcf.gz"
                                          << glyphA + "BBX 5 7 0 -1\nBITMAP\n60\n90\n90\nF0\n90\n90\n00\n" << wide
                                          << QList<int>{70, 9};
}

// Blank rows and columns make no font larger: a font refused as a whole
// only for them opens as it would without them.
void tst_BdfFormat::blankEdgesDoNotCount()
{
    QFETCH(QString, pcf);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QList<int>, box);

    QByteArray text;
    QString message;
    QVERIFY2(font(pcf, &text, &message), qPrintable(message));
    QVERIFY(text.count(from) == 1);
    const QByteArray edited = QByteArray(text).replace(from, to);
    const BdfFormat::Scan scan = BdfFormat::scan(edited, QStringLiteral("edited.bdf"));
    QCOMPARE((QList<int>{scan.whole.w, scan.whole.h}), box);
    const ReadResult original = BdfFormat::read(text, QStringLiteral("original.bdf"));
    const ReadResult read = BdfFormat::read(edited, QStringLiteral("edited.bdf"));
    QVERIFY2(original.ok() && read.ok(), qPrintable(original.error + read.error));
    QVERIFY2(sameSet(*original.set, *read.set, &message), qPrintable(message));
}

void tst_BdfFormat::cutAfterAGlyph_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("glyphs");
    QTest::addColumn<QString>("note");

    const QByteArray &font = m_fixed5x7;
    const qsizetype endA = font.indexOf("ENDCHAR\n", font.indexOf("STARTCHAR A\n"));
    const int throughA = int(font.left(endA).count("\nSTARTCHAR "));
    QTest::newRow("5x7 without ENDFONT") << font.left(font.lastIndexOf("ENDFONT")) << 1848
                                         << "The file ends after its last glyph without ENDFONT; every glyph was read.";
    QTest::newRow("5x7 cut after 'A'") << font.left(endA + 8) << throughA
                                       << QStringLiteral("The file ends without ENDFONT after %1 glyphs, fewer than the "
                                                         "1848 its CHARS line gives: the rest may be missing.")
                                                  .arg(throughA);
    QTest::newRow("5x7 cut after 'A', no line end") << font.left(endA + 7) << throughA
                                                    << QStringLiteral("after %1 glyphs, fewer").arg(throughA);
}

// A font that ends after a whole glyph is read up to there, with a note; one
// cut inside a glyph is refused (hostileFiles).
void tst_BdfFormat::cutAfterAGlyph()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, glyphs);
    QFETCH(QString, note);

    const ReadResult whole = BdfFormat::read(m_fixed5x7, QStringLiteral("5x7.bdf"));
    const ReadResult read = BdfFormat::read(bytes, QStringLiteral("cut.bdf"));
    QVERIFY2(whole.ok() && read.ok(), qPrintable(whole.error + read.error));
    QVERIFY(whole.notes.isEmpty());
    QCOMPARE(read.set->size(), glyphs);
    QCOMPARE(read.notes.size(), 1);
    QVERIFY2(read.notes[0].contains(note), qPrintable(read.notes[0]));
    QString message;
    for (qsizetype i = 0; i < glyphs; ++i)
        QVERIFY2(sameGlyph(whole.set->at(i), read.set->at(i), &message), qPrintable(message));
}

void tst_BdfFormat::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QString>("what");

    const QByteArray &font = m_fixed5x7;
    const qsizetype glyphA = font.indexOf("STARTCHAR A\n");
    const qsizetype bitmapA = font.indexOf("BITMAP\n", glyphA) + 7;
    const qsizetype endA = font.indexOf("ENDCHAR\n", glyphA);
    // The font with the first `from` at or after `at` replaced by `to`, and
    // the line on which `to` stands.
    const auto edited = [&font](qsizetype at, const QByteArray &from, const QByteArray &to) {
        const qsizetype index = font.indexOf(from, at);
        return qMakePair(QByteArray(font).replace(index, from.size(), to), lineAt(font, index));
    };
    const auto addRow = [](const char *name, const QPair<QByteArray, qint64> &file, const char *what) {
        QTest::newRow(name) << file.first << file.second << QString::fromUtf8(what);
    };

    QByteArray pcf;
    QString message;
    QVERIFY2(readFile(kX11Fonts + QStringLiteral("misc/5x7.pcf.gz"), &pcf, &message), qPrintable(message));
    addRow("binary garbage: the packed PCF font", {pcf, 1}, "does not begin with STARTFONT");
    addRow("empty file", {QByteArray(), 1}, "does not begin with STARTFONT");
    addRow("cut inside a glyph's bitmap", {font.left(bitmapA + 6), lineAt(font, bitmapA + 6) - 1},
           "the file ends inside glyph 'A'");
    const QByteArray header = font.left(font.indexOf("STARTCHAR "));
    addRow("cut before the first glyph", {header, header.count('\n')}, "without ENDFONT: it is cut short");
    addRow("fewer bitmap rows than BBX", {QByteArray(font).remove(bitmapA, 6), lineAt(font, endA) - 2},
           "'A' has 5 bitmap rows; its BBX says 7");
    addRow("glyph without ENDCHAR", edited(endA, "ENDCHAR\n", "60\n"),
           "more bitmap rows than the 7 its BBX says, or no ENDCHAR");
    addRow("CHARS 1000000000", edited(0, "CHARS 1848", "CHARS 1000000000"), "at most 1179648");
    addRow("CHARS beyond 64 bits", edited(0, "CHARS 1848", "CHARS 99999999999999999999999"), "out of range");
    addRow("negative BBX", edited(glyphA, "BBX 5 7", "BBX -5 7"), "BBX has a negative width");
    // Refused before a row is read, however many rows follow.
    addRow("huge BBX", edited(glyphA, "BBX 5 7", "BBX 5 70000"),
           "BBX 5 x 70000 is larger than any glyph this program reads (256 x 256 pixels)");
    addRow("BBX one pixel too wide", edited(glyphA, "BBX 5 7", "BBX 257 7"), "BBX 257 x 7 is larger than any glyph");
    addRow("BBX offset beyond int", edited(glyphA, "BBX 5 7 0", "BBX 5 7 4294967296"), "out of range");
    addRow("huge bounding box", edited(0, "FONTBOUNDINGBOX 5 7", "FONTBOUNDINGBOX 5000 7"),
           "FONTBOUNDINGBOX 5000 x 7 is larger than any glyph");
    // 'A' is 4 pixels wide at 13 to 16, the others reach from 0.
    addRow("glyph far outside the bounding box", {edited(glyphA, "BBX 5 7 0", "BBX 5 7 13").first, lineAt(font, glyphA)},
           "glyph 'A' (U+0041), 4 x 6 pixels of ink, does not fit with the others taken: together they are 17 x ");
    addRow("bad hex", edited(bitmapA, "60\n", "6Z\n"), "bitmap row \"6Z\" that is not hexadecimal");
    addRow("ENCODING beyond Unicode", edited(glyphA, "ENCODING 65", "ENCODING 4294967361"), "out of range");
    // The error stands at the CHARS line, which comes next.
    addRow("no ENDPROPERTIES", {edited(0, "ENDPROPERTIES\n", QByteArray()).first, lineAt(font, font.indexOf("\nCHARS ") + 1) - 1},
           "have no ENDPROPERTIES");
}

void tst_BdfFormat::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, line);
    QFETCH(QString, what);

    const ReadResult result = BdfFormat::read(bytes, QStringLiteral("hostile.bdf"));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(QStringLiteral("hostile.bdf: line %1: ").arg(line)), qPrintable(result.error));
    QVERIFY2(result.error.contains(what), qPrintable(result.error));
    QVERIFY2(!result.error.contains('\n'), qPrintable(result.error));
}

// A 2 x 2 font gets the smallest matrix, its glyphs at the lower left so that
// the baseline stays put.
void tst_BdfFormat::fontSmallerThanSmallestMatrix()
{
    const QByteArray tiny = "STARTFONT 2.1\r\nFONTBOUNDINGBOX 2 2 0 0\r\nCHARS 1\r\n"
                            "STARTCHAR dot\r\nENCODING 46\r\nBBX 2 2 0 0\r\nBITMAP\r\n80\r\n40\r\nENDCHAR\r\nENDFONT\r\n";
    const ReadResult result = BdfFormat::read(tiny, QStringLiteral("tiny.bdf"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.set->cols(), 3);
    QCOMPARE(result.set->rows(), 3);
    QCOMPARE(result.set->ascent, 3);
    Glyph expected;
    expected.codePoint = 46;
    expected.name = "dot";
    expected.bits = Drawing(3, 3);
    expected.bits.set(1, 0);
    expected.bits.set(2, 1);
    QString message;
    QVERIFY2(sameGlyph(expected, result.set->at(0), &message), qPrintable(message));
}

QTEST_GUILESS_MAIN(tst_BdfFormat)
#include "tst_bdfformat.moc"
