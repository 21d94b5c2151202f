#include "bdfformat.h"
#include "bdftext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// BDF fonts read, checked against the font's own text, saved, read back and
// handed to the X11 and console font tools; hostile files refused.
namespace {

const QString kMiscFonts = QStringLiteral("/usr/share/fonts/X11/misc/");

bool run(const QString &program, const QStringList &arguments, QString *message)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *message = QStringLiteral("%1 %2 failed: %3 %4")
                           .arg(program, arguments.join(' '), process.errorString(),
                                QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    const QByteArray complaints = process.readAllStandardError();
    if (!complaints.isEmpty()) {
        *message = QStringLiteral("%1 complained: %2").arg(program, QString::fromLocal8Bit(complaints.left(500)));
        return false;
    }
    return true;
}

bool readFile(const QString &path, QByteArray *bytes, QString *message)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The installed PCF font as pcf2bdf's BDF text.
bool fontText(const QString &pcf, const QString &package, const QString &dir, QByteArray *text, QString *message)
{
    if (!QFile::exists(kMiscFonts + pcf)) {
        *message = QStringLiteral("%1 is missing: install the Debian package %2").arg(kMiscFonts + pcf, package);
        return false;
    }
    const QString bdf = dir + QStringLiteral("/original.bdf");
    return run(QStringLiteral("pcf2bdf"), {QStringLiteral("-o"), bdf, kMiscFonts + pcf}, message)
           && readFile(bdf, text, message);
}

QString describe(const Glyph &glyph)
{
    QString rows;
    for (int r = 0; r < glyph.bits.rows(); ++r) {
        rows += '\n';
        for (int c = 0; c < glyph.bits.cols(); ++c)
            rows += glyph.bits.isSet(r, c) ? '#' : '.';
    }
    return QStringLiteral("%1 '%2' advance %3:%4")
            .arg(glyph.codePoint)
            .arg(QString::fromUtf8(glyph.name))
            .arg(glyph.advance ? QString::number(*glyph.advance) : QStringLiteral("none"))
            .arg(rows);
}

bool sameGlyph(const Glyph &expected, const Glyph &actual, QString *message)
{
    if (expected.codePoint == actual.codePoint && expected.name == actual.name && expected.bits == actual.bits
        && expected.advance == actual.advance)
        return true;
    *message = QStringLiteral("expected %1\ngot %2").arg(describe(expected), describe(actual));
    return false;
}

bool sameSet(const GlyphSet &expected, const GlyphSet &actual, QString *message)
{
    if (expected.cols() != actual.cols() || expected.rows() != actual.rows() || expected.size() != actual.size()
        || expected.ascent != actual.ascent || expected.xOffset != actual.xOffset
        || expected.fontName != actual.fontName || expected.properties != actual.properties
        || expected.exportOptions != actual.exportOptions) {
        *message = QStringLiteral("the font's own values differ: %1x%2 %3 glyphs ascent %4 against %5x%6 %7 glyphs ascent %8")
                           .arg(expected.cols()).arg(expected.rows()).arg(expected.size()).arg(expected.ascent)
                           .arg(actual.cols()).arg(actual.rows()).arg(actual.size()).arg(actual.ascent);
        return false;
    }
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (!sameGlyph(expected.at(i), actual.at(i), message)) {
            message->prepend(QStringLiteral("glyph %1: ").arg(i));
            return false;
        }
    }
    return true;
}

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
    void hostileFiles_data();
    void hostileFiles();
    void outputSettingsSurvive_data();
    void outputSettingsSurvive();
    void fontSmallerThanSmallestMatrix();

private:
    QTemporaryDir m_dir;
    QByteArray m_fixed5x7;
};

void tst_BdfFormat::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString message;
    QVERIFY2(fontText(QStringLiteral("5x7.pcf.gz"), QStringLiteral("xfonts-base"), m_dir.path(), &m_fixed5x7, &message),
             qPrintable(message));
}

void tst_BdfFormat::realFonts_data()
{
    QTest::addColumn<QString>("pcf");
    QTest::addColumn<QString>("package");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("glyphs");
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<bool>("console"); // whether bdf2psf takes the font

    const QString base = QStringLiteral("xfonts-base");
    QTest::newRow("misc-fixed 5x7") << "5x7.pcf.gz" << base << 5 << 7 << 1848 << QList<int>{65, 103, 223} << true;
    QTest::newRow("misc-fixed 6x13") << "6x13.pcf.gz" << base << 6 << 13 << 4121 << QList<int>{65, 103, 9731} << true;
    QTest::newRow("misc-fixed 8x13") << "8x13.pcf.gz" << base << 8 << 13 << 3703 << QList<int>{65, 103, 9731} << true;
    QTest::newRow("misc-fixed 8x16 Latin-1") << "8x16.pcf.gz" << base << 8 << 16 << 221 << QList<int>{65, 103, 223} << true;
    // Glyphs of 13 x 12, 13 x 13 and 16 x 13 in a 16 x 16 box.
    QTest::newRow("DEC session cursors") << "decsess.pcf.gz" << base << 16 << 16 << 14 << QList<int>{33, 19, 35} << false;
    // 8 pixels wide for the Latin letters, 16 for the ideograph.
    QTest::newRow("GNU Unifont") << "unifont.pcf.gz" << "xfonts-unifont" << 16 << 16 << 57086
                                 << QList<int>{65, 103, 20013} << true;
}

// Open, compare glyphs with the text, save, reopen and compare every glyph,
// then let bdftopcf and bdf2psf take the saved file: bdf2psf must make the
// same console font of it as of the original.
void tst_BdfFormat::realFonts()
{
    QFETCH(QString, pcf);
    QFETCH(QString, package);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, glyphs);
    QFETCH(QList<int>, samples);
    QFETCH(bool, console);

    QTemporaryDir dir;
    QByteArray text;
    QString message;
    QVERIFY2(fontText(pcf, package, dir.path(), &text, &message), qPrintable(message));

    QElapsedTimer timer;
    timer.start();
    const ReadResult opened = BdfFormat::read(text, QStringLiteral("original.bdf"));
    const qint64 readNs = timer.nsecsElapsed();
    QVERIFY2(opened.ok(), qPrintable(opened.error));
    const GlyphSet &set = *opened.set;
    QCOMPARE(set.cols(), cols);
    QCOMPARE(set.rows(), rows);
    QCOMPARE(set.size(), glyphs);
    // Each sample as the text has it, placed by its BBX in the FONTBOUNDINGBOX.
    const QHash<int, BdfText::Char> chars = BdfText::chars(text);
    const QList<int> box = BdfText::numbers(text, "FONTBOUNDINGBOX");
    QCOMPARE(box.size(), 4);
    for (int code : samples) {
        QVERIFY2(chars.contains(code), qPrintable(QStringLiteral("no glyph %1 in the font's text").arg(code)));
        const BdfText::Char &c = chars[code];
        const Glyph expected{code, c.name, BdfText::placed(c, box[0], box[1], box[1] + box[3], box[2]), c.advance};
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
                 QStringList{QStringLiteral("--fb"), dir.filePath(QStringLiteral("original.bdf"))} + psfSets
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

void tst_BdfFormat::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QString>("what");

    const QByteArray &font = m_fixed5x7;
    const qsizetype glyphA = font.indexOf("STARTCHAR A\n");
    const qsizetype bitmapA = font.indexOf("BITMAP\n", glyphA) + 7;
    const qsizetype endA = font.indexOf("ENDCHAR\n", glyphA);
    const qint64 lastLine = font.count('\n');
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
    QVERIFY2(readFile(kMiscFonts + QStringLiteral("5x7.pcf.gz"), &pcf, &message), qPrintable(message));
    addRow("binary garbage: the packed PCF font", {pcf, 1}, "does not begin with STARTFONT");
    addRow("empty file", {QByteArray(), 1}, "does not begin with STARTFONT");
    addRow("cut inside a glyph's bitmap", {font.left(bitmapA + 6), lineAt(font, bitmapA + 6) - 1},
           "the file ends inside glyph 'A'");
    addRow("cut before ENDFONT", {font.left(font.lastIndexOf("ENDFONT")), lastLine - 1}, "without ENDFONT");
    addRow("fewer bitmap rows than BBX", {QByteArray(font).remove(bitmapA, 6), lineAt(font, endA) - 2},
           "'A' has 5 bitmap rows; its BBX says 7");
    addRow("glyph without ENDCHAR", edited(endA, "ENDCHAR\n", "60\n"),
           "more bitmap rows than the 7 its BBX says, or no ENDCHAR");
    addRow("CHARS 1000000000", edited(0, "CHARS 1848", "CHARS 1000000000"), "at most 1179648");
    addRow("CHARS beyond 64 bits", edited(0, "CHARS 1848", "CHARS 99999999999999999999999"), "out of range");
    addRow("negative BBX", edited(glyphA, "BBX 5 7", "BBX -5 7"), "BBX has a negative width");
    addRow("huge BBX", edited(glyphA, "BBX 5 7", "BBX 5 70000"), "5 x 70000 pixels; the largest this program edits is 16 x 16");
    addRow("BBX offset beyond int", edited(glyphA, "BBX 5 7 0", "BBX 5 7 4294967296"), "out of range");
    addRow("20x20 bounding box", edited(0, "FONTBOUNDINGBOX 5 7", "FONTBOUNDINGBOX 20 20"),
           "the font's glyphs are 20 x 20 pixels; the largest this program edits is 16 x 16");
    addRow("glyph far outside the bounding box", edited(glyphA, "BBX 5 7 0", "BBX 5 7 12"),
           "glyph 'A' lies outside the font's bounding box; together the font's glyphs are 17 x 7 pixels");
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

void tst_BdfFormat::outputSettingsSurvive_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");

    QTest::newRow("vertical, a quote in the prefix") << int(BitOrder::Vertical) << "0x\"" << ", ";
    QTest::newRow("left to right, both empty") << int(BitOrder::HorizontalLeftToRight) << "" << "";
    QTest::newRow("horizontal, beyond ASCII") << int(BitOrder::Horizontal) << QStringLiteral("«\"\"»") << " ; ";
}

// The output settings, and glyphs that come with no name, through a save.
void tst_BdfFormat::outputSettingsSurvive()
{
    QFETCH(int, order);
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);

    GlyphSet set(5, 7);
    set.exportOptions = ExportOptions{BitOrder::Kind(order), prefix, delimiter};
    Glyph emoji;
    emoji.codePoint = 0x1F600;
    emoji.bits = Drawing(7, 5);
    emoji.bits.set(0, 0);
    emoji.bits.set(6, 4);
    emoji.advance = 3; // drawn past its advance
    set.append(emoji);
    Glyph unnamed;
    unnamed.bits = Drawing(7, 5);
    unnamed.bits.set(3, 2);
    set.append(unnamed);
    Glyph mark; // drawn over the glyph before it: the pen does not move
    mark.codePoint = 0x301;
    mark.bits = Drawing(7, 5);
    mark.bits.set(0, 3);
    mark.advance = 0;
    set.append(mark);

    const ReadResult reopened = BdfFormat::read(BdfFormat::write(set), QStringLiteral("saved.bdf"));
    QVERIFY2(reopened.ok(), qPrintable(reopened.error));
    QCOMPARE(reopened.set->exportOptions, set.exportOptions);
    emoji.name = "u1F600";
    unnamed.advance = 5; // no advance is saved as the matrix width
    unnamed.name = "glyph0";
    QString message;
    mark.name = "uni0301";
    QVERIFY2(reopened.set->size() == 3 && sameGlyph(emoji, reopened.set->at(0), &message)
                     && sameGlyph(unnamed, reopened.set->at(1), &message)
                     && sameGlyph(mark, reopened.set->at(2), &message),
             qPrintable(message));
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
