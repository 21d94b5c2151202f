#include "editorsession.h"
#include "glypheditor.h"
#include "stringtextbox.h"

#include <QHash>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace EditorSession;

// The editor's handlers: clicks, Invert, Clear, size and orientation, and the
// readouts they leave behind.
class tst_GlyphEditor : public QObject
{
    Q_OBJECT

private slots:
    void startState();
    void readoutsAfterClicks_data();
    void readoutsAfterClicks();
    void clickTogglesBothGrids();
    void firstClickLocksOrientation();
    void lockedFrameRefusesOrientationAndBitOrder();
    void invertLeavesReadoutsStale();
    void invertTwiceRestoresPixels();
    void invertKeepsFrameEnabled();
    void clearEmptiesDrawingKeepsChoices();
    void sizeChoiceSetsCellSizes_data();
    void sizeChoiceSetsCellSizes();
    void sizeItemsOutsideTheListChangeNothing_data();
    void sizeItemsOutsideTheListChangeNothing();
    void fewerColumnsDropsReadoutsKeepsText2();
    void moreRowsEnterAsZerosAtNextClick();
    void fourDigitReadoutsStayWhenCountFalls();
    void orientationSwapsReadouts();
    void verticalUnchecksChkdir();
    void loadAlignsReadoutsWithEditingGrid();
    void drawFromText_data();
    void drawFromText();
    void transforms_data();
    void transforms();
    void undoTakesBackWholeSteps();
    void undoKeepsAThousandSteps();
};

namespace {
// Parses "r,c r,c ..." into clicks.
QList<QPair<int, int>> parseClicks(const QString &text)
{
    QList<QPair<int, int>> clicks;
    const QStringList items = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const QStringList rc = item.split(QLatin1Char(','));
        clicks.append({rc.at(0).toInt(), rc.at(1).toInt()});
    }
    return clicks;
}

QString columnClicks(int col, const QList<int> &rows)
{
    QStringList items;
    for (int r : rows)
        items << QStringLiteral("%1,%2").arg(r).arg(col);
    return items.join(QLatin1Char(' '));
}

QString rowClicks(int row, const QList<int> &cols)
{
    QStringList items;
    for (int c : cols)
        items << QStringLiteral("%1,%2").arg(row).arg(c);
    return items.join(QLatin1Char(' '));
}

QList<int> range(int count)
{
    QList<int> list;
    for (int i = 0; i < count; ++i)
        list << i;
    return list;
}

QStringList repeated(const QString &first, const QString &rest, int count)
{
    QStringList list{first};
    for (int i = 1; i < count; ++i)
        list << rest;
    return list;
}

enum Orientation { Vertical, Horizontal, HorizontalLeftToRight };

void choose(GlyphEditor &editor, Orientation orientation)
{
    if (orientation == Vertical) {
        editor.optvert_Click();
    } else {
        editor.opthoriz_Click();
        editor.setChkdirValue(orientation == HorizontalLeftToRight ? 1 : 0);
    }
}
} // namespace

void tst_GlyphEditor::startState()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    QVERIFY(editor.frmmatrixEnabled());
    QVERIFY(!editor.optvertValue());
    QVERIFY(editor.chkdirEnabled());
    QCOMPARE(editor.chkdirValue(), 0);
    QVERIFY(editor.rowGrid().isVisible());
    QVERIFY(!editor.colGrid().isVisible());
    QCOMPARE(editor.Grid1().rows(), 16);
    QCOMPARE(editor.Grid1().cols(), 16);
    QCOMPARE(editor.colGrid().rows(), 1);
    QCOMPARE(editor.rowGrid().cols(), 1);
    QVERIFY(editor.Text2().isEmpty());
}

void tst_GlyphEditor::readoutsAfterClicks_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QStringList>("readouts");

    const QString Z2 = QStringLiteral("00");
    const QString Z4 = QStringLiteral("0000");

    QTest::newRow("V 5x8, row 0 of column 2")
            << int(Vertical) << 5 << 8 << "0,2" << QStringList{Z2, Z2, "01", Z2, Z2};
    QTest::newRow("V 8x8 full column: FF (K=8)")
            << int(Vertical) << 8 << 8 << columnClicks(0, range(8)) << repeated("FF", Z2, 8);
    QTest::newRow("V 9x8 full column: 00FF (K=9)")
            << int(Vertical) << 9 << 8 << columnClicks(0, range(8)) << repeated("00FF", Z4, 9);
    QTest::newRow("V 16x16 full column")
            << int(Vertical) << 16 << 16 << columnClicks(0, range(16)) << repeated("FFFF", Z4, 16);
    QTest::newRow("V 5x9 bottom row: 3 digits padded to 4 (K=5)")
            << int(Vertical) << 5 << 9 << "8,0" << repeated("0100", Z2, 5);
    QTest::newRow("V 9x9 bottom row (K=9)")
            << int(Vertical) << 9 << 9 << "8,0" << repeated("0100", Z4, 9);
    QTest::newRow("V 8x16 mixes 2 and 4 digits at K=8")
            << int(Vertical) << 8 << 16
            << columnClicks(0, {4, 5}) + ' ' + columnClicks(1, {2, 4, 5, 9, 12}) + ' '
                    + columnClicks(2, {2, 4, 5, 9})
            << QStringList{"30", "1234", "0234", Z2, Z2, Z2, Z2, Z2};
    QTest::newRow("V 16x8 every value 4 digits (K=16)")
            << int(Vertical) << 16 << 8 << "0,0 7,15" << (repeated("0001", Z4, 15) << "0080");
    QTest::newRow("V 5x7 bottom cell is the top bit")
            << int(Vertical) << 5 << 7 << "6,0" << repeated("40", Z2, 5);
    QTest::newRow("V set then cleared, K=8")
            << int(Vertical) << 8 << 5 << "2,3 2,3" << repeated(Z2, Z2, 8);
    QTest::newRow("V set then cleared, K=9")
            << int(Vertical) << 9 << 5 << "2,3 2,3" << repeated(Z4, Z4, 9);

    QTest::newRow("H 5x8 leftmost, right is LSB")
            << int(Horizontal) << 5 << 8 << "0,0" << repeated("10", Z2, 8);
    QTest::newRow("H 5x8 leftmost, Lt to Rt")
            << int(HorizontalLeftToRight) << 5 << 8 << "0,0" << repeated("01", Z2, 8);
    QTest::newRow("H 5x8 rightmost, right is LSB")
            << int(Horizontal) << 5 << 8 << "0,4" << repeated("01", Z2, 8);
    QTest::newRow("H 5x8 rightmost, Lt to Rt")
            << int(HorizontalLeftToRight) << 5 << 8 << "0,4" << repeated("10", Z2, 8);
    QTest::newRow("H 5x9 rightmost, right is LSB (K=9)")
            << int(Horizontal) << 5 << 9 << "0,4" << repeated("0001", Z4, 9);
    QTest::newRow("H 5x9 rightmost, Lt to Rt (K=9)")
            << int(HorizontalLeftToRight) << 5 << 9 << "0,4" << repeated("0010", Z4, 9);
    QTest::newRow("H 16x3 leftmost is bit 15")
            << int(Horizontal) << 16 << 3 << "1,0" << QStringList{Z2, "8000", Z2};
    QTest::newRow("H 16x16 full row, Lt to Rt")
            << int(HorizontalLeftToRight) << 16 << 16 << rowClicks(0, range(16))
            << repeated("FFFF", Z4, 16);
    QTest::newRow("H 9x5 leftmost gives 3 digits, padded (K=5)")
            << int(Horizontal) << 9 << 5 << "2,0" << QStringList{Z2, Z2, "0100", Z2, Z2};
    QTest::newRow("H 3x3 mixed, Lt to Rt")
            << int(HorizontalLeftToRight) << 3 << 3 << "0,0 0,2 2,1"
            << QStringList{"05", Z2, "02"};
    QTest::newRow("H 3x3 mixed, right is LSB")
            << int(Horizontal) << 3 << 3 << "0,0 0,2 2,1" << QStringList{"05", Z2, "02"};
    QTest::newRow("H 4x3 asymmetric, right is LSB")
            << int(Horizontal) << 4 << 3 << "1,0 1,1" << QStringList{Z2, "0C", Z2};
    QTest::newRow("H 4x3 asymmetric, Lt to Rt")
            << int(HorizontalLeftToRight) << 4 << 3 << "1,0 1,1" << QStringList{Z2, "03", Z2};
}

void tst_GlyphEditor::readoutsAfterClicks()
{
    QFETCH(int, orientation);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QString, clicks);
    QFETCH(QStringList, readouts);

    StringTextBox Text2;

    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, cols, rows);
    choose(editor, Orientation(orientation));
    for (const auto &[r, c] : parseClicks(clicks))
        editor.Grid1_Click(r, c);

    const bool vertical = orientation == Vertical;
    const Grid &inUse = vertical ? editor.colGrid() : editor.rowGrid();
    const Grid &other = vertical ? editor.rowGrid() : editor.colGrid();
    QCOMPARE(readoutTexts(inUse), readouts);
    QCOMPARE(editor.Text2(), readouts.join(QString()));
    // The other readout is never touched by a click.
    for (const QString &text : readoutTexts(other))
        QVERIFY(text.isEmpty());
}

void tst_GlyphEditor::clickTogglesBothGrids()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    QCOMPARE(editor.Grid1().cellBackColorAt(4, 7), Colours::kNone);

    editor.Grid1_Click(4, 7);
    QCOMPARE(editor.Grid1().cellBackColorAt(4, 7), Colours::kBlue);
    QCOMPARE(editor.Grid2().cellBackColorAt(4, 7), Colours::kYellow);

    editor.Grid1_Click(4, 7);
    QCOMPARE(editor.Grid1().cellBackColorAt(4, 7), Colours::kWhite); // white of its own, not 0
    QCOMPARE(editor.Grid2().cellBackColorAt(4, 7), Colours::kNone);

    editor.Grid1_Click(15, 15); // last row and column behave like any other
    QCOMPARE(editor.Grid1().cellBackColorAt(15, 15), Colours::kBlue);
    QCOMPARE(editor.Grid2().cellBackColorAt(15, 15), Colours::kYellow);
}

void tst_GlyphEditor::firstClickLocksOrientation()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    QSignalSpy lock(&editor, &GlyphEditor::frmmatrixEnabledChanged);

    editor.Grid1_Click(0, 0);
    QVERIFY(!editor.frmmatrixEnabled());
    editor.Grid1_Click(0, 0); // clearing the only set cell does not unlock
    QVERIFY(!editor.frmmatrixEnabled());
    editor.Command6_Click();
    QVERIFY(editor.frmmatrixEnabled());
    QCOMPARE(lock.count(), 2);
}

void tst_GlyphEditor::lockedFrameRefusesOrientationAndBitOrder()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    editor.Grid1_Click(1, 1);

    editor.optvert_Click();
    QVERIFY(!editor.optvertValue());
    QVERIFY(editor.rowGrid().isVisible());
    QVERIFY(!editor.setChkdirValue(1));
    QCOMPARE(editor.chkdirValue(), 0);

    // Unlocked, vertical: chkdir is disabled, so still refused.
    editor.Command6_Click();
    editor.optvert_Click();
    QVERIFY(editor.optvertValue());
    QVERIFY(!editor.setChkdirValue(1));
    editor.opthoriz_Click();
    QVERIFY(editor.setChkdirValue(1));
    QCOMPARE(editor.chkdirValue(), 1);
}

void tst_GlyphEditor::invertLeavesReadoutsStale()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 5, 5);
    editor.optvert_Click();
    editor.Grid1_Click(0, 1); // column 1 = 01

    editor.cmdInverse_Click();
    QCOMPARE(readoutTexts(editor.colGrid()), (QStringList{"00", "01", "00", "00", "00"}));
    QCOMPARE(editor.Text2(), QStringLiteral("0001000000"));

    // A click recomputes only its own column, from the inverted cells:
    // column 3 is now fully set but (2,3) was just cleared: 1+2+8+16 = 1B.
    editor.Grid1_Click(2, 3);
    QCOMPARE(readoutTexts(editor.colGrid()), (QStringList{"00", "01", "00", "1B", "00"}));
    QCOMPARE(editor.Text2(), QStringLiteral("0001001B00"));
}

void tst_GlyphEditor::invertTwiceRestoresPixels()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 4, 3);
    editor.Grid1_Click(1, 2);

    editor.cmdInverse_Click();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            const bool wasSet = r == 1 && c == 2;
            QCOMPARE(isSet(editor, r, c), !wasSet);
            QCOMPARE(editor.Grid2().cellBackColorAt(r, c), wasSet ? Colours::kNone : Colours::kYellow);
        }
    }

    editor.cmdInverse_Click();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            const bool wasSet = r == 1 && c == 2;
            QCOMPARE(editor.Grid1().cellBackColorAt(r, c), wasSet ? Colours::kBlue : Colours::kWhite);
            QCOMPARE(editor.Grid2().cellBackColorAt(r, c), wasSet ? Colours::kYellow : Colours::kNone);
        }
    }
}

void tst_GlyphEditor::invertKeepsFrameEnabled()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    editor.cmdInverse_Click();
    editor.cmdInverse_Click();
    editor.cmdInverse_Click();
    QVERIFY(editor.frmmatrixEnabled());
    QVERIFY(editor.Text2().isEmpty());
    editor.optvert_Click();
    QVERIFY(editor.optvertValue());
}

void tst_GlyphEditor::clearEmptiesDrawingKeepsChoices()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 6, 4);
    editor.setChkdirValue(1);
    editor.Grid1_Click(3, 5);
    editor.cmdInverse_Click();

    editor.Command6_Click();

    for (const Grid *grid : {&editor.Grid1(), &editor.Grid2(), &editor.colGrid(), &editor.rowGrid()}) {
        for (int r = 0; r < grid->rows(); ++r) {
            for (int c = 0; c < grid->cols(); ++c) {
                QCOMPARE(grid->cellBackColorAt(r, c), Colours::kNone);
                QVERIFY(grid->textAt(r, c).isEmpty());
            }
        }
    }
    QVERIFY(editor.Text2().isEmpty());
    QVERIFY(editor.frmmatrixEnabled());
    QCOMPARE(editor.Grid1().cols(), 6);
    QCOMPARE(editor.Grid1().rows(), 4);
    QCOMPARE(editor.chkdirValue(), 1);
    QVERIFY(!editor.optvertValue());
}

void tst_GlyphEditor::sizeChoiceSetsCellSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("miniature");
    QTest::newRow("3") << 3 << 91;
    QTest::newRow("8") << 8 << 241;
    QTest::newRow("16") << 16 << 481;
}

void tst_GlyphEditor::sizeChoiceSetsCellSizes()
{
    QFETCH(int, size);
    QFETCH(int, miniature);

    StringTextBox Text2;

    GlyphEditor editor(Text2);
    startUp(editor);
    editor.lstCol_Click(QString::number(3)); // shrink first so regrown cells need sizing
    editor.lstRow_Click(QString::number(3));
    chooseSize(editor, size, size);

    for (const Grid *grid : {&editor.Grid1(), &editor.Grid2(), &editor.colGrid()})
        QCOMPARE(grid->cols(), size);
    for (const Grid *grid : {&editor.Grid1(), &editor.Grid2(), &editor.rowGrid()})
        QCOMPARE(grid->rows(), size);
    QCOMPARE(editor.colGrid().rows(), 1);
    QCOMPARE(editor.rowGrid().cols(), 1);
    for (int i = 0; i < size; ++i) {
        QCOMPARE(editor.Grid1().colWidth(i), 220);
        QCOMPARE(editor.Grid1().rowHeight(i), 220);
        QCOMPARE(editor.Grid2().colWidth(i), 30);
        QCOMPARE(editor.Grid2().rowHeight(i), 30);
        QCOMPARE(editor.colGrid().colWidth(i), 220);
        QCOMPARE(editor.rowGrid().rowHeight(i), 220);
    }
    QCOMPARE(editor.Grid2().width(), miniature);
    QCOMPARE(editor.Grid2().height(), miniature);
    // The editing grid and the readouts keep their outer sizes.
    QCOMPARE(editor.Grid1().width(), 3740);
    QCOMPARE(editor.Grid1().height(), 3740);
    QCOMPARE(editor.colGrid().width(), 3740);
}

void tst_GlyphEditor::sizeItemsOutsideTheListChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("placeholder word") << "Width";
    QTest::newRow("empty") << "";
    QTest::newRow("too small") << "2";
    QTest::newRow("too large") << "17";
    QTest::newRow("negative") << "-5";
    QTest::newRow("huge") << "99999999999";
    QTest::newRow("trailing letters") << "5x";
    QTest::newRow("trailing NUL") << QStringLiteral("16") + QChar(0);
    QTest::newRow("leading blank") << " 5";
    QTest::newRow("trailing blank") << "5 ";
    QTest::newRow("plus sign") << "+7";
    QTest::newRow("leading zero") << "07";
}

void tst_GlyphEditor::sizeItemsOutsideTheListChangeNothing()
{
    QFETCH(QString, text);
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 5, 6);
    editor.lstCol_Click(text);
    editor.lstRow_Click(text);
    QCOMPARE(editor.Grid1().cols(), 5);
    QCOMPARE(editor.Grid1().rows(), 6);
    QCOMPARE(editor.Grid2().width(), 151);
    QCOMPARE(editor.Grid2().height(), 181);
}

void tst_GlyphEditor::fewerColumnsDropsReadoutsKeepsText2()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 6, 5);
    editor.optvert_Click();
    editor.Grid1_Click(0, 0);
    editor.Grid1_Click(1, 5);
    QCOMPARE(editor.Text2(), QStringLiteral("010000000002"));

    editor.lstCol_Click(QStringLiteral("4"));
    QVERIFY(isSet(editor, 0, 0));
    QCOMPARE(readoutTexts(editor.colGrid()), (QStringList{"01", "00", "00", "00"}));
    QCOMPARE(editor.Text2(), QStringLiteral("010000000002")); // not rebuilt by a resize

    editor.lstCol_Click(QStringLiteral("6")); // the dropped column comes back clear
    QVERIFY(!isSet(editor, 1, 5));
    QVERIFY(editor.colGrid().textAt(0, 5).isEmpty());
    editor.Grid1_Click(2, 2);
    QCOMPARE(editor.Text2(), QStringLiteral("010004000000"));
}

void tst_GlyphEditor::moreRowsEnterAsZerosAtNextClick()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 4, 3);
    editor.Grid1_Click(0, 3);
    QCOMPARE(editor.Text2(), QStringLiteral("010000"));

    editor.lstRow_Click(QStringLiteral("5"));
    QCOMPARE(readoutTexts(editor.rowGrid()), (QStringList{"01", "00", "00", "", ""}));
    QCOMPARE(editor.Text2(), QStringLiteral("010000"));

    editor.Grid1_Click(4, 0);
    QCOMPARE(editor.Text2(), QStringLiteral("0100000008"));
}

void tst_GlyphEditor::fourDigitReadoutsStayWhenCountFalls()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 9, 4);
    editor.optvert_Click();
    editor.Grid1_Click(0, 0);
    QCOMPARE(editor.Text2(), QStringLiteral("0001") + QString(32, QLatin1Char('0')));

    editor.lstCol_Click(QStringLiteral("8"));
    editor.Grid1_Click(1, 1);
    QCOMPARE(readoutTexts(editor.colGrid()),
             (QStringList{"0001", "02", "0000", "0000", "0000", "0000", "0000", "0000"}));
}

void tst_GlyphEditor::orientationSwapsReadouts()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    chooseSize(editor, 3, 3);
    editor.Grid1_Click(0, 2);
    editor.Command6_Click();
    editor.Grid1_Click(1, 0);
    const QStringList horizontal = readoutTexts(editor.rowGrid());
    editor.Command6_Click();

    // Switching before the first click only swaps which readout shows.
    editor.optvert_Click();
    QVERIFY(editor.colGrid().isVisible());
    QVERIFY(!editor.rowGrid().isVisible());
    editor.Grid1_Click(2, 2);
    QCOMPARE(readoutTexts(editor.colGrid()), (QStringList{"00", "00", "04"}));

    // Clear empties both readouts; the hidden one kept nothing from before.
    QCOMPARE(horizontal, (QStringList{"00", "04", "00"}));
    for (const QString &text : readoutTexts(editor.rowGrid()))
        QVERIFY(text.isEmpty());
}

void tst_GlyphEditor::verticalUnchecksChkdir()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    QSignalSpy options(&editor, &GlyphEditor::matrixOptionsChanged);
    QVERIFY(editor.setChkdirValue(1));

    editor.optvert_Click();
    QVERIFY(!editor.chkdirEnabled());
    QCOMPARE(editor.chkdirValue(), 0);

    editor.opthoriz_Click();
    QVERIFY(editor.chkdirEnabled());
    QCOMPARE(editor.chkdirValue(), 0); // stays unchecked until the user checks it
    QVERIFY(options.count() >= 3);
}

void tst_GlyphEditor::loadAlignsReadoutsWithEditingGrid()
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    startUp(editor);
    QCOMPARE(editor.colGrid().width(), editor.Grid1().width());
    QCOMPARE(editor.Grid2().width(), 510);
    QCOMPARE(editor.Grid2().backColor(), Colours::kSystemAppWorkspace);
    QCOMPARE(editor.rowGrid().colWidth(0), 440);
    QCOMPARE(editor.colGrid().rowHeight(0), 220);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(editor.colGrid().colWidth(i), editor.Grid1().colWidth(i));
        QCOMPARE(editor.rowGrid().rowHeight(i), editor.Grid1().rowHeight(i));
    }
}

namespace {
// The set cells of the drawing, as "r,c r,c ..." in row order.
QString setCells(const GlyphEditor &editor)
{
    QStringList cells;
    const Drawing drawing = editor.drawing();
    for (int r = 0; r < drawing.rows(); ++r) {
        for (int c = 0; c < drawing.cols(); ++c) {
            if (drawing.isSet(r, c))
                cells << QStringLiteral("%1,%2").arg(r).arg(c);
        }
    }
    return cells.join(QLatin1Char(' '));
}
} // namespace

void tst_GlyphEditor::drawFromText_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("Text2"); // empty: refused
    QTest::addColumn<QString>("cells"); // for a drawing: its set cells, if given
    QTest::addColumn<QString>("error"); // for a refusal: the message

    // How numbers make values is ByteReader's (tst_bytereader); here, where
    // the values' bits go and what the user is told.
    const int V = Vertical;
    QTest::newRow("Copy to Text's own line") << V << 3 << 5 << "$1F,$05,$00,\r\n" << "1F0500"
                                             << "0,0 0,1 1,0 2,0 2,1 3,0 4,0" << "";
    QTest::newRow("fewer values than columns") << V << 3 << 5 << "{0x1F};" << "1F0000"
                                               << "0,0 1,0 2,0 3,0 4,0" << "";
    QTest::newRow("16-bit values") << V << 3 << 16 << "$01,$23,$00,$00,$80,$00," << "0123008000"
                                   << "0,0 1,0 5,0 8,0 15,2" << "";
    QTest::newRow("run together, 9 values") << V << 9 << 8 << "00FF0001" << "00FF0001" + QString(28, '0')
                                            << "" << "";
    QTest::newRow("horizontal: right is bit 0") << int(Horizontal) << 5 << 3 << "$10,$01" << "100100"
                                                << "0,0 1,4" << "";
    QTest::newRow("horizontal Lt to Rt: left is bit 0")
            << int(HorizontalLeftToRight) << 5 << 3 << "$10,$01" << "100100" << "0,4 1,0" << "";

    QTest::newRow("refused: no number") << V << 3 << 5 << "hello, world" << "" << ""
                                        << "The text holds no hexadecimal number to draw.";
    QTest::newRow("refused: too many values") << V << 3 << 5 << "01 02 03 04" << "" << ""
                                              << "The text gives 4 values, but the matrix has only 3 columns.";
    QTest::newRow("refused: too many values for the rows") << int(Horizontal) << 5 << 3 << "1 2 3 4" << "" << ""
                                                           << "The text gives 4 values, but the matrix has only "
                                                              "3 rows.";
    QTest::newRow("refused: too many pairs") << V << 9 << 16 << QString("$01,").repeated(20) << "" << ""
                                             << "The text gives 10 values of two bytes, but the matrix has only "
                                                "9 columns.";
    QTest::newRow("refused: bits beyond the rows") << V << 3 << 5 << "$2a" << "" << ""
                                                   << "The value 2A has bits beyond the 5 rows of the matrix.";
    QTest::newRow("refused: bits beyond the columns") << int(Horizontal) << 4 << 3 << "$10" << "" << ""
                                                      << "The value 10 has bits beyond the 4 columns of the "
                                                         "matrix.";
    QTest::newRow("refused: a pair too wide") << V << 2 << 9 << "$02,$00,$00,$01" << "" << ""
                                              << "The value 200 has bits beyond the 9 rows of the matrix.";
    QTest::newRow("refused: an odd count of bytes to pair") << V << 9 << 16 << "01 02 03" << "" << ""
                                                            << "The text gives 3 bytes, an odd number, so they do "
                                                               "not pair up into values of 16 bits.";
    QTest::newRow("refused: one byte to pair") << V << 9 << 16 << "$01" << "" << ""
                                               << "The text gives 1 byte, an odd number, so they do not pair up "
                                                  "into values of 16 bits.";
    QTest::newRow("refused: bytes that split no way") << V << 3 << 16 << "$00,$00,$00,$00,$00" << "" << ""
                                                      << "The 5 bytes do not split into 3 values, one byte for a "
                                                         "value up to FF and two for a larger one.";
    QTest::newRow("refused: bytes read two ways") << V << 3 << 16 << "$01,$23,$45,$00" << "" << ""
                                                  << "The 4 bytes split into 3 values in more than one way: write "
                                                     "every value as two bytes, high byte first.";
}

void tst_GlyphEditor::drawFromText()
{
    QFETCH(int, orientation);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(QString, text);
    QFETCH(QString, Text2);
    QFETCH(QString, cells);
    QFETCH(QString, error);

    StringTextBox box;
    GlyphEditor editor(box);
    startUp(editor);
    chooseSize(editor, cols, rows);
    choose(editor, Orientation(orientation));
    editor.Grid1_Click(1, 1);
    box.setText(QStringLiteral("typed"));
    const QString cellsBefore = setCells(editor);
    const QStringList readoutsBefore = readoutTexts(editor.rowGrid()) + readoutTexts(editor.colGrid());

    QString message;
    const bool drawn = editor.drawFromText(text, &message);
    if (Text2.isEmpty()) {
        QVERIFY2(!drawn, qPrintable(editor.Text2()));
        QCOMPARE(message, error);
        QCOMPARE(setCells(editor), cellsBefore);
        QCOMPARE(readoutTexts(editor.rowGrid()) + readoutTexts(editor.colGrid()), readoutsBefore);
        QCOMPARE(editor.Text2(), QStringLiteral("typed"));
        return;
    }
    QVERIFY2(drawn, qPrintable(message));
    QCOMPARE(editor.Text2(), Text2);
    if (!cells.isEmpty())
        QCOMPARE(setCells(editor), cells);
    QCOMPARE(editor.Grid1().cols(), cols); // the size stays
    QCOMPARE(editor.Grid1().rows(), rows);
}

void tst_GlyphEditor::transforms_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QString>("size"); // what the lists show, width x height

    // From the cells 0,0 0,1 1,0 2,3 of a matrix 4 wide and 3 high.
    QTest::newRow("shift left") << "left" << "0,0 2,2" << "4 x 3";
    QTest::newRow("shift right") << "right" << "0,1 0,2 1,1" << "4 x 3";
    QTest::newRow("shift up") << "up" << "0,0 1,3" << "4 x 3";
    QTest::newRow("shift down") << "down" << "1,0 1,1 2,0" << "4 x 3";
    QTest::newRow("mirror left to right") << "H" << "0,2 0,3 1,3 2,0" << "4 x 3";
    QTest::newRow("mirror top to bottom") << "V" << "0,3 1,0 2,0 2,1" << "4 x 3";
    QTest::newRow("rotate clockwise") << "]" << "0,1 0,2 1,2 3,0" << "3 x 4";
    QTest::newRow("rotate counter-clockwise") << "[" << "0,2 2,0 3,0 3,1" << "3 x 4";
}

void tst_GlyphEditor::transforms()
{
    QFETCH(QString, action);
    QFETCH(QString, cells);
    QFETCH(QString, size);

    StringTextBox box;
    GlyphEditor editor(box);
    startUp(editor);
    chooseSize(editor, 4, 3);
    editor.optvert_Click();
    for (const auto &[r, c] : parseClicks(QStringLiteral("0,0 0,1 1,0 2,3")))
        editor.Grid1_Click(r, c);

    const QHash<QString, std::function<void()>> actions = {
            {"left", [&] { editor.shiftDrawing(0, -1); }},  {"right", [&] { editor.shiftDrawing(0, 1); }},
            {"up", [&] { editor.shiftDrawing(-1, 0); }},    {"down", [&] { editor.shiftDrawing(1, 0); }},
            {"H", [&] { editor.mirrorLeftRight(); }},       {"V", [&] { editor.mirrorTopBottom(); }},
            {"]", [&] { editor.rotateClockwise(); }},       {"[", [&] { editor.rotateCounterClockwise(); }}};
    actions.value(action)();

    QCOMPARE(setCells(editor), cells);
    QCOMPARE(editor.lstColText() + " x " + editor.lstRowText(), size);
    QVERIFY(editor.optvertValue()); // kept, though the grid was cleared
    QVERIFY(!editor.frmmatrixEnabled());
    // The readouts are those of the cells clicked anew, as the reference gives them.
    StringTextBox otherBox;
    GlyphEditor clicked(otherBox);
    startUp(clicked);
    clicked.optvert_Click();
    chooseSize(clicked, editor.Grid1().cols(), editor.Grid1().rows());
    for (const auto &[r, c] : parseClicks(cells))
        clicked.Grid1_Click(r, c);
    QCOMPARE(editor.Text2(), clicked.Text2());
}

void tst_GlyphEditor::undoTakesBackWholeSteps()
{
    StringTextBox box;
    GlyphEditor editor(box);
    startUp(editor);
    QVERIFY(!editor.canUndo());
    editor.optvert_Click();
    chooseSize(editor, 5, 7);
    editor.Grid1_MouseDown(0, 0); // a stroke down the first column, one step
    for (int r = 1; r < 7; ++r)
        editor.Grid1_MouseMove(r, 0);
    editor.Grid1_MouseMove(3, 0); // passed over again: not touched twice
    editor.Grid1_MouseUp();
    QCOMPARE(editor.Text2(), QStringLiteral("7F00000000"));
    editor.rotateClockwise();
    QCOMPARE(editor.lstColText(), QStringLiteral("7"));

    editor.undo(); // the turn
    QCOMPARE(editor.lstColText() + editor.lstRowText(), QStringLiteral("57"));
    QCOMPARE(editor.Grid1().cols(), 5);
    QCOMPARE(editor.Text2(), QStringLiteral("7F00000000"));
    editor.undo(); // the whole stroke
    QCOMPARE(setCells(editor), QString());
    QVERIFY(editor.Text2().isEmpty());
    QVERIFY(editor.frmmatrixEnabled());
    editor.undo(); // the height, then the width, then the orientation
    editor.undo();
    QCOMPARE(editor.lstColText() + editor.lstRowText(), QStringLiteral("WidthHeight"));
    editor.undo();
    QVERIFY(!editor.optvertValue());
    QVERIFY(!editor.canUndo());

    editor.redo();
    editor.redo();
    QVERIFY(editor.optvertValue());
    QCOMPARE(editor.lstColText(), QStringLiteral("5"));
    editor.cmdInverse_Click(); // a new step drops what could have been redone
    QVERIFY(!editor.canRedo());
}

void tst_GlyphEditor::undoKeepsAThousandSteps()
{
    StringTextBox box;
    GlyphEditor editor(box);
    startUp(editor);
    for (int i = 0; i <= GlyphEditor::kMaxUndoSteps; ++i)
        editor.Grid1_Click(i % 16, i / 16 % 16);
    int undone = 0;
    while (editor.canUndo()) {
        editor.undo();
        ++undone;
    }
    QCOMPARE(undone, GlyphEditor::kMaxUndoSteps);
    QCOMPARE(setCells(editor), QStringLiteral("0,0")); // only the first click is kept
}

QTEST_APPLESS_MAIN(tst_GlyphEditor)
#include "tst_glypheditor.moc"
