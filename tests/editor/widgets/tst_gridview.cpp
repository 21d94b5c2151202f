#include "grid.h"
#include "gridview.h"

#include <QSignalSpy>
#include <QTest>

// The painted grid view: where its cells are, which presses become clicks,
// and how it follows its model.
class tst_GridView : public QObject
{
    Q_OBJECT

private slots:
    void cellAtPoint_data();
    void cellAtPoint();
    void followsTheModel();
    void onlyAClickableGridTouchesTheModel();
    void describesTheKeyboardCell();
};

void tst_GridView::cellAtPoint_data()
{
    QTest::addColumn<bool>("lines");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QPoint>("cell"); // x = column, y = row

    // 220-twip cells are 15 px with their grid line; a framed grid starts
    // after a 1 px line along its left and top.
    QTest::newRow("frame line is outside") << true << QPoint(0, 5) << QPoint(-1, -1);
    QTest::newRow("first pixel of the first cell") << true << QPoint(1, 1) << QPoint(0, 0);
    QTest::newRow("grid line belongs to its cell") << true << QPoint(15, 15) << QPoint(0, 0);
    QTest::newRow("first pixel of the second cell") << true << QPoint(16, 1) << QPoint(1, 0);
    QTest::newRow("last cell") << true << QPoint(3 * 15, 2 * 15) << QPoint(2, 1);
    QTest::newRow("beyond the last column") << true << QPoint(3 * 15 + 1, 5) << QPoint(-1, -1);
    QTest::newRow("beyond the last row") << true << QPoint(5, 2 * 15 + 1) << QPoint(-1, -1);
    QTest::newRow("no lines: cells start at 0") << false << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("no lines: second cell") << false << QPoint(15, 14) << QPoint(1, 0);
}

void tst_GridView::cellAtPoint()
{
    QFETCH(bool, lines);
    QFETCH(QPoint, point);
    QFETCH(QPoint, cell);

    Grid grid(2, 3);
    for (int i = 0; i < 3; ++i)
        grid.setColWidth(i, 220);
    for (int i = 0; i < 2; ++i)
        grid.setRowHeight(i, 220);
    grid.setWidth(1500);
    grid.setHeight(1500);
    GridView view(grid);
    view.setGridLines(lines);
    view.setFramed(lines);

    QCOMPARE(view.cellAt(point), cell);
    if (cell.x() >= 0) {
        const QRect rect = view.cellRect(cell.y(), cell.x());
        QCOMPARE(rect.width(), lines ? 14 : 15);
        QCOMPARE(view.cellAt(rect.topLeft()), cell);
        QCOMPARE(view.cellAt(rect.bottomRight()), cell);
    }
}

void tst_GridView::followsTheModel()
{
    Grid grid(4, 4); // outlives the window and the view in it
    QWidget window;
    auto *view = new GridView(grid, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    grid.setWidth(3740);
    grid.setHeight(510);
    QCOMPARE(view->size(), QSize(249, 34));

    grid.setVisible(false);
    QVERIFY(!view->isVisible());
    grid.setVisible(true);
    QVERIFY(view->isVisible());

    grid.setCols(2);
    QCOMPARE(view->cellAt(view->cellRect(0, 3).center()), QPoint(-1, -1));
    QVERIFY(!view->cellRect(0, 1).isNull());
}

void tst_GridView::onlyAClickableGridTouchesTheModel()
{
    Grid grid(4, 4);
    for (int i = 0; i < 4; ++i) {
        grid.setColWidth(i, 220);
        grid.setRowHeight(i, 220);
    }
    grid.setWidth(900);
    grid.setHeight(900);
    GridView view(grid);
    QSignalSpy presses(&view, &GridView::strokeStarted);
    QSignalSpy releases(&view, &GridView::strokeEnded);

    QTest::mouseClick(&view, Qt::LeftButton, {}, view.cellRect(2, 3).center());
    QCOMPARE(presses.count(), 0);

    view.setClickable(true);
    QTest::mouseClick(&view, Qt::RightButton, {}, view.cellRect(2, 3).center());
    QCOMPARE(presses.count(), 0);
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.cellRect(2, 3).center());
    QCOMPARE(presses.count(), 1);
    QCOMPARE(presses.at(0), (QList<QVariant>{2, 3}));
    QCOMPARE(releases.count(), 1);
    // A click reports its cell and leaves the model's current cell alone.
    QCOMPARE(QPoint(grid.col(), grid.row()), QPoint(0, 0));
}

void tst_GridView::describesTheKeyboardCell()
{
    Grid grid(3, 3);
    grid.setBackColor(Colours::kWhite);
    GridView view(grid);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.accessibleDescription(), QStringLiteral("Row 2, column 2"));

    grid.setRow(1);
    grid.setCol(1);
    grid.setCellBackColor(Colours::kBlue);
    grid.setText(QStringLiteral("0F"));
    QCOMPARE(view.accessibleDescription(), QStringLiteral("Row 2, column 2, filled: 0F"));
    grid.setCellBackColor(Colours::kWhite); // white of its own on white is not filled
    QCOMPARE(view.accessibleDescription(), QStringLiteral("Row 2, column 2: 0F"));
}

QTEST_MAIN(tst_GridView)
#include "tst_gridview.moc"
