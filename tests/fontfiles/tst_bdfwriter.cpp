#include "bdfformat.h"
#include "bdftestfonts.h"
#include "bdftext.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace BdfTestFonts;

// BDF fonts saved: a font opened in part saved whole into its file, and the
// output settings and unnamed glyphs through a save.
class tst_BdfWriter : public QObject
{
    Q_OBJECT

private slots:
    void savedWhole_data();
    void savedWhole();
    void outputSettingsSurvive_data();
    void outputSettingsSurvive();
    void scaleFromWrittenProperties();

private:
    // An installed X11 font as BDF text, converted into m_dir once.
    bool font(const QString &pcf, QByteArray *text, QString *m) const { return x11Font(pcf, m_dir.path(), text, m); }

    QTemporaryDir m_dir;
};

void tst_BdfWriter::savedWhole_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QList<int>>("fontBox"); // FONTBOUNDINGBOX after the save

    QByteArray fixed9x18;
    QString message;
    QVERIFY2(font(QStringLiteral("misc/9x18.pcf.gz"), &fixed9x18, &message), qPrintable(message));
    const QList<int> box9x18 = BdfText::numbers(fixed9x18, "FONTBOUNDINGBOX");
    QTest::newRow("9x18, nothing changed") << fixed9x18 << "" << box9x18;
    QTest::newRow("9x18, a cell of A") << fixed9x18 << "cell" << box9x18;
    QTest::newRow("9x18, A's advance") << fixed9x18 << "advance" << box9x18;
    QTest::newRow("9x18, the baseline a row lower") << fixed9x18 << "ascent" << box9x18;
    QTest::newRow("9x18, output settings stored") << fixed9x18 << "options" << box9x18;
    QTest::newRow("9x18 with CR LF, a cell of A") << QByteArray(fixed9x18).replace("\n", "\r\n") << "cell" << box9x18;
    // A font whose box is smaller than its glyphs: a cell set past the box
    // widens it, and nothing else.
    QByteArray small = "STARTFONT 2.1\nFONT small\nSIZE 8 75 75\nFONTBOUNDINGBOX 4 4 0 0\n"
                       "STARTPROPERTIES 2\nFONT_ASCENT 6\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 2\n"
                       "STARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 5 0\nBBX 5 6 0 0\nBITMAP\n"
                       "20\n50\n88\nF8\n88\n88\nENDCHAR\n"
                       "STARTCHAR tall\nENCODING 66\nSWIDTH 500 0\nDWIDTH 5 0\nBBX 1 20 0 0\nBITMAP\n"
                       + QByteArray("80\n").repeated(20) + "ENDCHAR\nENDFONT\n";
    QTest::newRow("box smaller than the glyphs, a cell past it") << small << "corner" << QList<int>{5, 6, 0, 0};
}

// A font opened for some of its glyphs is saved whole: the glyphs that were
// not opened, its header and its properties stay byte for byte as the file
// has them; a changed glyph reads back, through the tests' own reading of
// the text, as it was drawn.
void tst_BdfWriter::savedWhole()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, change);
    QFETCH(QList<int>, fontBox);

    const BdfFormat::Scan scan = BdfFormat::scan(text, QStringLiteral("font.bdf"));
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    const ReadResult read = BdfFormat::read(text, QStringLiteral("font.bdf"), {BdfFormat::defaultSubset(scan)});
    QVERIFY2(read.ok(), qPrintable(read.error));
    QVERIFY(read.bdfSource);
    QCOMPARE(read.fontGlyphs, qsizetype(scan.glyphs.size()));
    QVERIFY(read.set->size() < read.fontGlyphs);
    GlyphSet set = *read.set;
    const qsizetype a = set.indexOf('A');
    Drawing drawn = set.at(a).bits;
    if (change == "cell" || change == "corner") {
        const int row = change == "cell" ? set.ascent - 1 : 0;
        drawn.set(row, 0, !drawn.isSet(row, 0));
        set.setBits(a, drawn);
    } else if (change == "advance") {
        set.setAdvance(a, 12);
    } else if (change == "ascent") {
        --set.ascent;
    } else if (change == "options") {
        set.exportOptions = ExportOptions{BitOrder::Vertical, QStringLiteral("0x"), QStringLiteral(", ")};
    }
    const QByteArray saved = BdfFormat::write(set, *read.bdfSource);
    if (change.isEmpty())
        QVERIFY2(saved == text, "a font saved unchanged differs from its file");

    // The file's pieces from one STARTCHAR to the next: the first is the
    // header, the last ends with ENDFONT.
    const QByteArray lineEnd = text.contains("\r\n") ? "\r\n" : "\n";
    const auto pieces = [&lineEnd](const QByteArray &bytes) {
        QList<QByteArray> result;
        qsizetype from = 0;
        for (qsizetype at = bytes.indexOf(lineEnd + "STARTCHAR "); at >= 0;
             at = bytes.indexOf(lineEnd + "STARTCHAR ", from)) {
            result << bytes.mid(from, at + lineEnd.size() - from);
            from = at + lineEnd.size();
        }
        return result << bytes.mid(from);
    };
    const QList<QByteArray> original = pieces(text);
    const QList<QByteArray> written = pieces(saved);
    QCOMPARE(written.size(), original.size());
    QSet<int> opened;
    for (const Glyph &glyph : set.glyphs())
        opened.insert(glyph.codePoint);
    for (qsizetype i = 1; i < original.size(); ++i) {
        const int code = BdfText::numbers(original[i].mid(original[i].indexOf("ENCODING ")), "ENCODING").value(0);
        const bool mayChange = change == "ascent" ? opened.contains(code) : code == 'A' && change != "options";
        if (!mayChange)
            QVERIFY2(written[i] == original[i], qPrintable(QStringLiteral("glyph %1 changed").arg(code)));
        // Lines written anew end as the file's own do.
        QVERIFY2(lineEnd == "\n" ? !written[i].contains('\r') : written[i].count('\n') == written[i].count("\r\n"),
                 "line ends mixed");
    }
    if (change == "options") {
        QVERIFY(written[0].contains("KELVOR_ORIENTATION \"vert\"" + lineEnd));
        QCOMPARE(BdfText::numbers(written[0], "STARTPROPERTIES").value(0),
                 BdfText::numbers(original[0], "STARTPROPERTIES").value(0) + 3);
    } else {
        QCOMPARE(BdfText::numbers(written[0], "FONTBOUNDINGBOX"), fontBox);
        QVERIFY2(written[0] == original[0] || fontBox != BdfText::numbers(text, "FONTBOUNDINGBOX"),
                 "the header changed");
    }

    const QByteArray plain = QByteArray(saved).replace("\r\n", "\n");
    const BdfText::Char savedA = BdfText::chars(plain).value('A');
    QCOMPARE(savedA.advance, change == "advance" ? 12 : BdfText::chars(QByteArray(text).replace("\r\n", "\n")).value('A').advance);
    QString message;
    Glyph expected;
    expected.codePoint = 'A';
    expected.name = savedA.name;
    expected.advance = set.at(a).advance;
    expected.bits = BdfText::placed(savedA, set.cols(), set.rows(), set.ascent, set.xOffset);
    QVERIFY2(sameGlyph(expected, set.at(a), &message), qPrintable(message));

    // The X11 font compiler takes the saved font without a complaint.
    QTemporaryDir dir;
    const QString savedPath = dir.filePath(QStringLiteral("saved.bdf"));
    QVERIFY(writeFile(savedPath, saved));
    QVERIFY2(run(QStringLiteral("bdftopcf"), {QStringLiteral("-o"), dir.filePath(QStringLiteral("saved.pcf")), savedPath},
                 &message),
             qPrintable(message));
}

void tst_BdfWriter::outputSettingsSurvive_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");

    QTest::newRow("vertical, a quote in the prefix") << int(BitOrder::Vertical) << "0x\"" << ", ";
    QTest::newRow("left to right, both empty") << int(BitOrder::HorizontalLeftToRight) << "" << "";
    QTest::newRow("horizontal, beyond ASCII") << int(BitOrder::Horizontal) << QStringLiteral("«\"\"»") << " ; ";
}

// The output settings, and glyphs that come with no name, through a save.
void tst_BdfWriter::outputSettingsSurvive()
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

// SIZE and SWIDTH come from the point size and resolution the file gets:
// a property that cannot be written (a value across two lines) does not
// count, so the file read back saves to the same bytes.
void tst_BdfWriter::scaleFromWrittenProperties()
{
    GlyphSet set(5, 7);
    set.ascent = 6;
    set.properties = {{"POINT_SIZE", "7\rFONT_ASCENT 6"}, {"POINT_SIZE", "120"}, {"RESOLUTION_X", "100"},
                      {"RESOLUTION_Y", "100"}};
    Glyph glyph;
    glyph.codePoint = 'A';
    glyph.advance = 5;
    set.append(glyph);
    const QByteArray saved = BdfFormat::write(set);
    QVERIFY2(saved.contains("\nSIZE 12 100 100\n") && saved.contains("\nSWIDTH 300 0\n"), saved.constData());
    const ReadResult read = BdfFormat::read(saved, QStringLiteral("a.bdf"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(BdfFormat::write(*read.set), saved);
}

QTEST_GUILESS_MAIN(tst_BdfWriter)
#include "tst_bdfwriter.moc"
