#include "grid.h"

#include <QSignalSpy>
#include <QTest>

// The grid model: what the handlers rely on when they resize, address and
// clear a grid.
class tst_Grid : public QObject
{
    Q_OBJECT

private slots:
    void resizeKeepsRemainingCells_data();
    void resizeKeepsRemainingCells();
    void resizeMovesCurrentCellInside();
    void clearEmptiesCellsOnly();
    void outOfRangeIndexesAreIgnored_data();
    void outOfRangeIndexesAreIgnored();
    void signalsTellWhatChanged();
};

namespace {
// Colours every cell with a value naming its place and writes that as text.
void fillWithPositions(Grid &grid)
{
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            grid.setRow(r);
            grid.setCol(c);
            grid.setCellBackColor(Colour(0x010000 + r * 0x100 + c));
            grid.setText(QStringLiteral("%1,%2").arg(r).arg(c));
        }
    }
}
} // namespace

void tst_Grid::resizeKeepsRemainingCells_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");

    QTest::newRow("fewer columns") << 16 << 3;
    QTest::newRow("fewer rows") << 5 << 16;
    QTest::newRow("more rows and columns") << 20 << 18;
    QTest::newRow("same size") << 16 << 16;
    QTest::newRow("fewer rows, more columns") << 3 << 17;
}

void tst_Grid::resizeKeepsRemainingCells()
{
    QFETCH(int, rows);
    QFETCH(int, cols);

    Grid grid(16, 16);
    fillWithPositions(grid);
    grid.setRows(rows);
    grid.setCols(cols);

    QCOMPARE(grid.rows(), rows);
    QCOMPARE(grid.cols(), cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const bool kept = r < 16 && c < 16;
            QCOMPARE(grid.cellBackColorAt(r, c), kept ? Colour(0x010000 + r * 0x100 + c) : Colours::kNone);
            QCOMPARE(grid.textAt(r, c), kept ? QStringLiteral("%1,%2").arg(r).arg(c) : QString());
        }
    }

    // Cells dropped by a shrink come back clear when the grid grows again.
    grid.setRows(16);
    grid.setCols(16);
    QCOMPARE(grid.cellBackColorAt(15, 15), rows >= 16 && cols >= 16 ? Colour(0x010F0F) : Colours::kNone);
}

void tst_Grid::resizeMovesCurrentCellInside()
{
    Grid grid(16, 16);
    grid.setRow(12);
    grid.setCol(14);
    grid.setRows(4);
    grid.setCols(5);
    QCOMPARE(grid.row(), 3);
    QCOMPARE(grid.col(), 4);
    grid.setCellBackColor(Colours::kBlue);
    QCOMPARE(grid.cellBackColorAt(3, 4), Colours::kBlue);
}

void tst_Grid::clearEmptiesCellsOnly()
{
    Grid grid(4, 6);
    fillWithPositions(grid);
    grid.setColWidth(2, 220);
    grid.setRowHeight(3, 30);
    grid.setWidth(3740);
    grid.setHeight(510);
    grid.setBackColor(Colours::kGrey);
    grid.setRow(2);
    grid.setCol(5);

    grid.clear();

    QCOMPARE(grid.rows(), 4);
    QCOMPARE(grid.cols(), 6);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(grid.cellBackColorAt(r, c), Colours::kNone);
            QVERIFY(grid.textAt(r, c).isEmpty());
        }
    }
    QCOMPARE(grid.colWidth(2), 220);
    QCOMPARE(grid.rowHeight(3), 30);
    QCOMPARE(grid.width(), 3740);
    QCOMPARE(grid.height(), 510);
    QCOMPARE(grid.backColor(), Colours::kGrey);
    QCOMPARE(grid.row(), 2);
    QCOMPARE(grid.col(), 5);
}

void tst_Grid::outOfRangeIndexesAreIgnored_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("one past the end") << 3;
    QTest::newRow("far beyond") << 1000;
}

void tst_Grid::outOfRangeIndexesAreIgnored()
{
    QFETCH(int, index);

    Grid grid(3, 3);
    grid.setRow(1);
    grid.setCol(1);
    grid.setRow(index);
    grid.setCol(index);
    QCOMPARE(grid.row(), 1);
    QCOMPARE(grid.col(), 1);

    grid.setColWidth(index, 1);
    grid.setRowHeight(index, 1);
    QCOMPARE(grid.colWidth(index), 0);
    QCOMPARE(grid.rowHeight(index), 0);
    QCOMPARE(grid.cellBackColorAt(index, 0), Colours::kNone);
    QVERIFY(grid.textAt(0, index).isEmpty());
}

void tst_Grid::signalsTellWhatChanged()
{
    Grid grid(3, 3);
    QSignalSpy cells(&grid, &Grid::cellChanged);
    QSignalSpy layout(&grid, &Grid::layoutChanged);
    QSignalSpy visible(&grid, &Grid::visibleChanged);

    grid.setRow(2);
    grid.setCol(1);
    grid.setCellBackColor(Colours::kBlue);
    grid.setCellBackColor(Colours::kBlue); // unchanged: no signal
    grid.setText(QStringLiteral("FF"));
    QCOMPARE(cells.count(), 2);
    QCOMPARE(cells.at(0), QVariantList({2, 1}));
    QCOMPARE(layout.count(), 0);

    grid.setColWidth(0, 220);
    grid.setCols(4);
    grid.clear();
    QCOMPARE(layout.count(), 3);

    grid.setVisible(false);
    grid.setVisible(false);
    QCOMPARE(visible.count(), 1);
    QCOMPARE(visible.at(0).at(0).toBool(), false);
}

QTEST_APPLESS_MAIN(tst_Grid)
#include "tst_grid.moc"
