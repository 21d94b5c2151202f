#include "bitorder.h"
#include "drawing.h"
#include "pictures.h"

#include <QTest>

Q_DECLARE_METATYPE(BitOrder)

// The bit order against drawings whose values were worked out by hand from
// the readout rules: a column's top cell is its bit 0; a row's rightmost
// cell is its bit 0, or its leftmost with "Lt to Rt"; values are padded to
// 2 digits, or 4 above 8 values or above FF.
class tst_BitOrder : public QObject
{
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void names_data();
    void names();
};

namespace {
QStringList filled(int rows, int cols, bool on)
{
    return QStringList(rows, QString(cols, QLatin1Char(on ? '#' : '.')));
}
} // namespace

void tst_BitOrder::values_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<BitOrder>("order");
    QTest::addColumn<QString>("hex");

    const QStringList k = {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};
    QTest::newRow("5x7 K, vertical") << k << BitOrder(BitOrder::Vertical) << "7F08142241";
    QTest::newRow("5x7 K, horizontal") << k << BitOrder(BitOrder::Horizontal) << "11121418141211";
    QTest::newRow("5x7 K, left to right") << k << BitOrder(BitOrder::HorizontalLeftToRight) << "11090503050911";

    // 9 rows: the bottom cell is bit 8, a value of three digits padded to four.
    QStringList bottom = filled(9, 3, false);
    bottom[8] = QStringLiteral("#..");
    QTest::newRow("bit 8 of 3 values") << bottom << BitOrder(BitOrder::Vertical) << "01000000";
    QTest::newRow("bit 8 read by rows") << bottom << BitOrder(BitOrder::Horizontal)
                                        << QString("0000").repeated(8) + "0004";
    QTest::newRow("blank, 10 values") << filled(3, 10, false) << BitOrder(BitOrder::Vertical)
                                      << QString(40, QLatin1Char('0'));
    QTest::newRow("8 values of 8 bits") << filled(8, 8, true) << BitOrder(BitOrder::Vertical)
                                        << QString(16, QLatin1Char('F'));
    QTest::newRow("16 x 16, every cell set") << filled(16, 16, true) << BitOrder(BitOrder::HorizontalLeftToRight)
                                             << QString(64, QLatin1Char('F'));
    QTest::newRow("16 columns of 8 rows: 4 digits each") << filled(8, 16, true) << BitOrder(BitOrder::Vertical)
                                                         << QString("00FF").repeated(16);
    const QStringList corner = {"#..", "...", "..#"};
    QTest::newRow("corners, horizontal") << corner << BitOrder(BitOrder::Horizontal) << "040001";
    QTest::newRow("corners, left to right") << corner << BitOrder(BitOrder::HorizontalLeftToRight) << "010004";
}

void tst_BitOrder::values()
{
    QFETCH(QStringList, cells);
    QFETCH(BitOrder, order);
    QFETCH(QString, hex);

    const Drawing drawing = Pictures::drawing(cells);
    QCOMPARE(order.hexString(drawing), hex);
    // Back from the values to the same cells.
    QVERIFY(order.drawing(order.values(drawing), drawing.rows(), drawing.cols()) == drawing);
}

void tst_BitOrder::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind"); // -1: no order

    QTest::newRow("vert") << "vert" << int(BitOrder::Vertical);
    QTest::newRow("horiz") << "horiz" << int(BitOrder::Horizontal);
    QTest::newRow("horiz-ltr") << "horiz-ltr" << int(BitOrder::HorizontalLeftToRight);
    QTest::newRow("case matters") << "Vert" << -1;
    QTest::newRow("no blanks") << "vert " << -1;
    QTest::newRow("empty") << "" << -1;
}

void tst_BitOrder::names()
{
    QFETCH(QString, name);
    QFETCH(int, kind);

    const std::optional<BitOrder> order = BitOrder::fromName(name);
    QCOMPARE(order.has_value(), kind >= 0);
    if (order) {
        QCOMPARE(int(order->kind()), kind);
        QCOMPARE(QString(order->name()), name);
    }
}

QTEST_APPLESS_MAIN(tst_BitOrder)
#include "tst_bitorder.moc"
