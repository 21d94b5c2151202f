#include "bdfformat.h"
#include "fontfile.h"
#include "psfformat.h"
#include "realfonts.h"

#include <QTemporaryDir>
#include <QTest>

// What a font opened in part leaves out, as the open dialog says it: the
// expected values are those a separate implementation of the subset rule
// finds in the fonts' bitmaps.
class tst_FontSubset : public QObject
{
    Q_OBJECT

private slots:
    void leftOut_data();
    void leftOut();

private:
    QTemporaryDir m_dir;
};

void tst_FontSubset::leftOut_data()
{
    QTest::addColumn<QString>("font"); // an X11 misc font, or a console font's path
    QTest::addColumn<QString>("ranges"); // none: the code points offered
    QTest::addColumn<int>("glyphs");
    QTest::addColumn<QList<int>>("first");
    QTest::addColumn<QString>("missingAscii");

    QTest::newRow("misc-fixed 9x18, offered") << "9x18.pcf.gz" << "" << 492
                                              << QList<int>{0xC0, 0xC1, 0xC2, 0xC5, 0xC8, 0xC9} << "";
    QTest::newRow("misc-fixed 9x18, printable ASCII") << "9x18.pcf.gz" << "32-126" << 4671
                                                      << QList<int>{0x00, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4} << "";
    QTest::newRow("misc-fixed 10x20, offered") << "10x20.pcf.gz" << "" << 1405
                                               << QList<int>{'g', 'j', 'p', 'q', 'y', 0xB5} << "gjpqy";
    QTest::newRow("Terminus 24x12, offered") << "/usr/share/consolefonts/Lat15-Terminus24x12.psf.gz" << "" << 87
                                             << QList<int>{'"', '$', '\'', 'Q', '^', '_'} << "\"$'Q^_`gjpqy";
}

void tst_FontSubset::leftOut()
{
    QFETCH(QString, font);
    QFETCH(QString, ranges);
    QFETCH(int, glyphs);
    QFETCH(QList<int>, first);
    QFETCH(QString, missingAscii);

    const bool psf = font.endsWith(QLatin1String(".psf.gz"));
    QString path = font;
    QString message;
    if (!psf)
        QVERIFY2(RealFonts::prepare(font, m_dir.path(), &path, &message), qPrintable(message));
    QByteArray bytes;
    QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message + " (install console-setup-linux)"));
    const FontSubset::Scan scan = psf ? PsfFormat::scan(bytes, path) : BdfFormat::scan(bytes, path);
    QVERIFY2(scan.ok(), qPrintable(scan.error));
    CodePoints::Ranges taken;
    if (ranges.isEmpty())
        taken = FontSubset::defaultSubset(scan);
    else
        QVERIFY2(CodePoints::parseRanges(ranges, &taken, &message), qPrintable(message));

    const FontSubset::LeftOut left = FontSubset::leftOut(scan, taken, int(first.size()));
    QCOMPARE(left.glyphs, qsizetype(glyphs));
    QCOMPARE(left.first, first);
    QString missing;
    for (const int codePoint : left.missingAscii)
        missing += QChar(codePoint);
    QCOMPARE(missing, missingAscii);
}

QTEST_GUILESS_MAIN(tst_FontSubset)
#include "tst_fontsubset.moc"
