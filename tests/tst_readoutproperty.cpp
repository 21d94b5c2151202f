#include "editorsession.h"
#include "glypheditor.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace EditorSession;

// For every matrix size, orientation and bit order, random drawings entered
// click by click must give the readouts that a separate computation gives:
// each value spelled out as a string of binary digits, most significant first,
// parsed in base 2 and printed with printf-style zero padding.
class tst_ReadoutProperty : public QObject
{
    Q_OBJECT

private slots:
    void randomDrawings_data();
    void randomDrawings();
};

namespace {
enum Orientation { Vertical, Horizontal, HorizontalLeftToRight };

// The binary digits of one readout value, most significant digit first.
QString binaryDigits(const std::vector<std::vector<bool>> &pixels, Orientation orientation,
                     int index)
{
    const int rows = int(pixels.size());
    const int cols = int(pixels.front().size());
    QString digits;
    if (orientation == Vertical) {
        for (int r = rows - 1; r >= 0; --r) // the bottom row is the most significant
            digits += pixels[size_t(r)][size_t(index)] ? u'1' : u'0';
    } else if (orientation == Horizontal) {
        for (int c = 0; c < cols; ++c) // the leftmost column is the most significant
            digits += pixels[size_t(index)][size_t(c)] ? u'1' : u'0';
    } else {
        for (int c = cols - 1; c >= 0; --c)
            digits += pixels[size_t(index)][size_t(c)] ? u'1' : u'0';
    }
    return digits;
}

QStringList expectedReadouts(const std::vector<std::vector<bool>> &pixels, Orientation orientation)
{
    const int valueCount = orientation == Vertical ? int(pixels.front().size()) : int(pixels.size());
    QStringList texts;
    for (int i = 0; i < valueCount; ++i) {
        bool ok = false;
        const uint value = binaryDigits(pixels, orientation, i).toUInt(&ok, 2);
        Q_ASSERT(ok);
        const int digits = valueCount > 8 || value > 0xFF ? 4 : 2;
        texts << QString::asprintf("%0*X", digits, value);
    }
    return texts;
}
} // namespace

void tst_ReadoutProperty::randomDrawings_data()
{
    QTest::addColumn<int>("orientation");
    const char *names[] = {"vertical", "horizontal", "horizontal Lt to Rt"};
    for (int orientation : {Vertical, Horizontal, HorizontalLeftToRight})
        QTest::newRow(names[orientation]) << orientation;
}

void tst_ReadoutProperty::randomDrawings()
{
    QFETCH(int, orientation);
    const auto mode = Orientation(orientation);
    QRandomGenerator random(20261208u + quint32(orientation));

    for (int cols = 3; cols <= 16; ++cols) {
        for (int rows = 3; rows <= 16; ++rows) {
            GlyphEditor editor;
            startUp(editor);
            chooseSize(editor, cols, rows);
            if (mode == Vertical)
                editor.optvert_Click();
            else
                QVERIFY(editor.setChkdirValue(mode == HorizontalLeftToRight ? 1 : 0));

            std::vector<std::vector<bool>> pixels(size_t(rows), std::vector<bool>(size_t(cols), false));
            const int clicks = 1 + int(random.bounded(rows * cols * 2));
            for (int i = 0; i < clicks; ++i) {
                const int r = int(random.bounded(rows));
                const int c = int(random.bounded(cols));
                click(editor, r, c);
                pixels[size_t(r)][size_t(c)] = !pixels[size_t(r)][size_t(c)];

                const QStringList expected = expectedReadouts(pixels, mode);
                const Grid &readout = mode == Vertical ? editor.colGrid() : editor.rowGrid();
                const QStringList actual = readoutTexts(readout);
                if (actual != expected || editor.Text2() != expected.join(QString())) {
                    QFAIL(qPrintable(QStringLiteral("%1x%2 after click %3 at (%4,%5): readouts %6, "
                                                    "expected %7, Text2 %8")
                                             .arg(cols).arg(rows).arg(i + 1).arg(r).arg(c)
                                             .arg(actual.join(u' '), expected.join(u' '),
                                                  editor.Text2())));
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(tst_ReadoutProperty)
#include "tst_readoutproperty.moc"
