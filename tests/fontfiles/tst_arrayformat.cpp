#include "arrayformat.h"
#include "copytotext.h"
#include "readoutreference.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <vector>

Q_DECLARE_METATYPE(BitOrder)

// Glyphs read from C arrays and from Copy to Text's lines, made at test time
// from a console font of Debian's console-setup-linux: by xxd, and by this
// program's own Copy to Text, one line per glyph.
class tst_ArrayFormat : public QObject
{
    Q_OBJECT

private slots:
    void realFont_data();
    void realFont();
    void refused_data();
    void refused();
};

namespace {
constexpr int kGlyphBytes = 16; // the console fonts' 8 x 16 cells, a byte a row
constexpr int kGlyphCount = 256;

// What a program prints for `input`, or an empty array with `why` set.
QByteArray run(const QString &program, const QStringList &arguments, const QByteArray &input, QString *why)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        *why = program + QStringLiteral(" is not installed");
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *why = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return process.readAllStandardOutput();
}

// The glyph bytes of a PSF 1 console font of 256 glyphs, 8 x 16.
QByteArray psfGlyphs(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = path + QStringLiteral(" is missing: install console-setup-linux");
        return {};
    }
    const QByteArray psf = run(QStringLiteral("gzip"), {QStringLiteral("-dc")}, file.readAll(), why);
    if (psf.size() < 4 + kGlyphCount * kGlyphBytes || psf[0] != 0x36 || psf[1] != 0x04 || psf[3] != kGlyphBytes) {
        *why = path + QStringLiteral(" is no PSF 1 font of 8 x 16 cells");
        return {};
    }
    return psf.mid(4, kGlyphCount * kGlyphBytes);
}

bool fontCell(const QByteArray &glyphs, int glyph, int row, int col)
{
    return uchar(glyphs[glyph * kGlyphBytes + row]) >> (7 - col) & 1u;
}

// The ways `count` values can be read from `bytes`, a byte for a value up to
// FF and two for a larger one (whose first byte is then not 00), up to 2.
int splits(const std::vector<uint> &bytes, size_t at, int count)
{
    if (count == 0)
        return at == bytes.size() ? 1 : 0;
    if (at >= bytes.size())
        return 0;
    int ways = splits(bytes, at + 1, count - 1);
    if (bytes[at] != 0 && ways < 2)
        ways += splits(bytes, at + 2, count - 1);
    return std::min(ways, 2);
}

ReadoutReference::Order referenceOrder(BitOrder order)
{
    switch (order.kind()) {
    case BitOrder::Vertical:
        return ReadoutReference::Order::Vertical;
    case BitOrder::HorizontalLeftToRight:
        return ReadoutReference::Order::HorizontalLeftToRight;
    case BitOrder::Horizontal:
        break;
    }
    return ReadoutReference::Order::Horizontal;
}

// The glyphs as Copy to Text writes each drawn in the editor, one line each:
// the readout's values padded as the readout pads them, run together, cut
// into bytes with "$" and ",". With 8 values of 16 bits, a value up to FF is
// one byte and a larger one two, and some lines can be read more than one
// way; `kept` says which glyphs have lines that read one way, and only those
// are written.
QString copyToTextLines(const QByteArray &glyphs, BitOrder order, std::vector<int> *kept)
{
    const bool vertical = order == BitOrder::Vertical;
    const int valueCount = vertical ? 8 : kGlyphBytes;
    QString lines;
    for (int g = 0; g < kGlyphCount; ++g) {
        QString text2;
        for (int line = 0; line < valueCount; ++line) {
            const auto isSet = [&](int row, int col) { return fontCell(glyphs, g, row, col); };
            const unsigned value = ReadoutReference::lineValue(isSet, kGlyphBytes, 8, referenceOrder(order), line);
            text2 += QString::fromStdString(ReadoutReference::text(value, valueCount));
        }
        std::vector<uint> bytes;
        for (qsizetype i = 0; i < text2.size(); i += 2)
            bytes.push_back(text2.mid(i, 2).toUInt(nullptr, 16));
        if (valueCount > 8 || splits(bytes, 0, valueCount) == 1) {
            kept->push_back(g);
            lines += CopyToText::line(text2, u"$", u",");
        }
    }
    return lines;
}
} // namespace

void tst_ArrayFormat::realFont_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<BitOrder>("order");

    const QString fixed = QStringLiteral("/usr/share/consolefonts/Lat15-Fixed16.psf.gz");
    const QString terminus = QStringLiteral("/usr/share/consolefonts/Lat15-Terminus16.psf.gz");
    QTest::newRow("xxd -i of Lat15-Fixed16: a byte a row") << fixed << "xxd" << BitOrder(BitOrder::Horizontal);
    QTest::newRow("xxd -i of Lat15-Terminus16: a byte a row") << terminus << "xxd" << BitOrder(BitOrder::Horizontal);
    QTest::newRow("Copy to Text of Lat15-Fixed16 by rows: 16 values of two bytes")
            << fixed << "Copy to Text" << BitOrder(BitOrder::Horizontal);
    QTest::newRow("Copy to Text of Lat15-Fixed16 by columns: 8 values of 16 bits, a line a glyph")
            << fixed << "Copy to Text" << BitOrder(BitOrder::Vertical);
    QTest::newRow("Copy to Text of Lat15-Terminus16 by columns") << terminus << "Copy to Text" << BitOrder(BitOrder::Vertical);
}

void tst_ArrayFormat::realFont()
{
    QFETCH(QString, font);
    QFETCH(QString, maker);
    QFETCH(BitOrder, order);

    QString why;
    const QByteArray glyphs = psfGlyphs(font, &why);
    QVERIFY2(!glyphs.isEmpty(), qPrintable(why));
    QString text;
    std::vector<int> kept;
    if (maker == QLatin1String("xxd")) {
        text = QString::fromLatin1(run(QStringLiteral("xxd"), {QStringLiteral("-i")}, glyphs, &why));
        QVERIFY2(!text.isEmpty(), qPrintable(why + QStringLiteral(" (install xxd)")));
        for (int g = 0; g < kGlyphCount; ++g)
            kept.push_back(g);
    } else {
        text = copyToTextLines(glyphs, order, &kept);
        QVERIFY2(kept.size() >= 32, qPrintable(QStringLiteral("only %1 glyphs have lines that read one way").arg(kept.size())));
    }

    const ArrayFormat::Options options{8, kGlyphBytes, order, 0x20};
    const ReadResult result = ArrayFormat::read(text, QStringLiteral("font.h"), options);
    QVERIFY2(result.ok(), qPrintable(result.error));
    const GlyphSet &set = *result.set;
    QCOMPARE(set.size(), qsizetype(kept.size()));
    QCOMPARE(set.cols(), 8);
    QCOMPARE(set.rows(), kGlyphBytes);
    for (size_t i = 0; i < kept.size(); ++i) {
        const int g = kept[i];
        QCOMPARE(set.at(qsizetype(i)).codePoint, 0x20 + int(i));
        for (int r = 0; r < kGlyphBytes; ++r) {
            for (int c = 0; c < 8; ++c) {
                if (set.at(qsizetype(i)).bits.isSet(r, c) != fontCell(glyphs, g, r, c))
                    QFAIL(qPrintable(QStringLiteral("glyph %1, row %2, column %3").arg(g).arg(r).arg(c)));
            }
        }
    }
}

void tst_ArrayFormat::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("error");

    QTest::newRow("no number") << "int main(void);" << 8 << 8 << 32 << "a.c: holds no hexadecimal number";
    QTest::newRow("numbers that make no whole glyph") << "0x01, 0x02, 0x03, 0x04" << 3 << 3 << 32
                                                      << "a.c: the 4 numbers do not divide into glyphs of 3 numbers";
    QTest::newRow("bits beyond the matrix, with its line") << "0x01, 0x02, 0x03,\n0x04, 0x08, 0x00" << 3 << 3 << 32
                                                           << "a.c: line 2: The value 08 has bits beyond the 3 "
                                                              "columns of the matrix.";
    QTest::newRow("a line that does not read as one glyph")
            << "$01,$02,$03,$04,$05,$06,$07,$08,\n$01,$02,$03,$04,$05,$06,$07,$08,$09,$0A,$0B,$0C,$0D,$0E,$0F,$10,$11,\n"
            << 16 << 8 << 32
            << "a.c: line 2: The text gives 9 values of two bytes, but the matrix has only 8 rows.";
    QTest::newRow("more glyphs than code points remain") << "0x01 0x02 0x03 0x04 0x05 0x06" << 3 << 3 << 0x10FFFF
                                                         << "a.c: 2 glyphs from code point 1114111 pass the last one";
    QTest::newRow("a matrix too large") << "0x01" << 17 << 8 << 32 << "a.c: a matrix of 17 by 8 cells is outside 3 to 16";
}

void tst_ArrayFormat::refused()
{
    QFETCH(QString, text);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, first);
    QFETCH(QString, error);

    const ReadResult result = ArrayFormat::read(text, QStringLiteral("a.c"), {cols, rows, BitOrder::Horizontal, first});
    QVERIFY(!result.ok());
    QCOMPARE(result.error, error);
}

QTEST_APPLESS_MAIN(tst_ArrayFormat)
#include "tst_arrayformat.moc"
