#include "copytotext.h"
#include "editorsession.h"
#include "glypheditor.h"
#include "readoutreference.h"
#include "stringtextbox.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(ReadoutReference::Order)

using namespace EditorSession;

// For every matrix size, orientation and bit order, random drawings entered
// click by click must give the readouts that the reference computes from the
// pixels alone.
class tst_ReadoutProperty : public QObject
{
    Q_OBJECT

private slots:
    void randomDrawings_data();
    void randomDrawings();
    void ownBytesDrawBack_data() { randomDrawings_data(); }
    void ownBytesDrawBack();
};

namespace {
using ReadoutReference::Order;

QStringList expectedReadouts(const std::vector<std::vector<bool>> &pixels, Order order)
{
    const int rows = int(pixels.size());
    const int cols = int(pixels.front().size());
    const auto isSet = [&pixels](int r, int c) { return bool(pixels[size_t(r)][size_t(c)]); };
    const int valueCount = order == Order::Vertical ? cols : rows;
    QStringList texts;
    for (int i = 0; i < valueCount; ++i)
        texts << QString::fromStdString(
                ReadoutReference::text(ReadoutReference::lineValue(isSet, rows, cols, order, i), valueCount));
    return texts;
}
} // namespace

void tst_ReadoutProperty::randomDrawings_data()
{
    QTest::addColumn<Order>("order");
    QTest::newRow("vertical") << Order::Vertical;
    QTest::newRow("horizontal") << Order::Horizontal;
    QTest::newRow("horizontal Lt to Rt") << Order::HorizontalLeftToRight;
}

void tst_ReadoutProperty::randomDrawings()
{
    QFETCH(Order, order);
    QRandomGenerator random(20261208u + quint32(order));

    for (int cols = 3; cols <= 16; ++cols) {
        for (int rows = 3; rows <= 16; ++rows) {
            StringTextBox Text2;
            GlyphEditor editor(Text2);
            startUp(editor);
            chooseSize(editor, cols, rows);
            if (order == Order::Vertical)
                editor.optvert_Click();
            else
                QVERIFY(editor.setChkdirValue(order == Order::HorizontalLeftToRight ? 1 : 0));

            std::vector<std::vector<bool>> pixels(size_t(rows), std::vector<bool>(size_t(cols), false));
            const int clicks = 1 + int(random.bounded(rows * cols * 2));
            for (int i = 0; i < clicks; ++i) {
                const int r = int(random.bounded(rows));
                const int c = int(random.bounded(cols));
                editor.Grid1_Click(r, c);
                pixels[size_t(r)][size_t(c)] = !pixels[size_t(r)][size_t(c)];

                const QStringList expected = expectedReadouts(pixels, order);
                const Grid &readout = order == Order::Vertical ? editor.colGrid() : editor.rowGrid();
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

// A random drawing's own Copy to Text line, and its hex string, drawn back
// from bytes in a fresh editor of the same size and mode, give the same
// drawing and the same hex string. The one exception is a readout of 8
// values or fewer that mixes values up to FF, written as one byte, with
// larger ones, written as two: such bytes may fit more than one drawing, and
// are then refused, changing nothing; so is an empty drawing's empty line.
void tst_ReadoutProperty::ownBytesDrawBack()
{
    QFETCH(Order, order);
    QRandomGenerator random(20261209u + quint32(order));
    const bool vertical = order == Order::Vertical;

    for (int cols = 3; cols <= 16; ++cols) {
        for (int rows = 3; rows <= 16; ++rows) {
            const auto makeEditor = [&](GlyphEditor &editor) {
                startUp(editor);
                chooseSize(editor, cols, rows);
                if (vertical)
                    editor.optvert_Click();
                else
                    editor.setChkdirValue(order == Order::HorizontalLeftToRight ? 1 : 0);
            };
            StringTextBox box;
            GlyphEditor drawn(box);
            makeEditor(drawn);
            // Denser or sparser drawings, so that some readouts stay within a byte.
            const int density = int(random.bounded(100));
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < cols; ++c) {
                    if (int(random.bounded(100)) < density)
                        drawn.Grid1_Click(r, c);
                }
            }
            const QStringList readouts = readoutTexts(vertical ? drawn.colGrid() : drawn.rowGrid());
            const bool mixed = readouts.join(QString()).size() % readouts.size() != 0
                    || (readouts.size() <= 8 && !readouts.filter(QRegularExpression("^..$")).isEmpty()
                        && !readouts.filter(QRegularExpression("^....$")).isEmpty());

            for (const QString &text : {CopyToText::line(drawn.Text2(), u"$", u","), drawn.Text2()}) {
                StringTextBox otherBox;
                GlyphEditor back(otherBox);
                makeEditor(back);
                QString error;
                const QString where = QStringLiteral("%1x%2 from \"%3\"").arg(cols).arg(rows).arg(text.trimmed());
                if (!back.drawFromText(text, &error)) {
                    // Nothing drawn gives nothing to draw back.
                    QVERIFY2(mixed || drawn.Text2().isEmpty(), qPrintable(where + ": " + error));
                    QVERIFY2(back.drawing() == Drawing(back.Grid1().rows(), back.Grid1().cols()) && back.Text2().isEmpty(), qPrintable(where));
                    continue;
                }
                QVERIFY2(back.drawing() == drawn.drawing(), qPrintable(where));
                QCOMPARE(back.Text2(), drawn.Text2());
            }
        }
    }
}

QTEST_APPLESS_MAIN(tst_ReadoutProperty)
#include "tst_readoutproperty.moc"
