#include "readout.h"

#include <QTest>

// The text form of a readout value and the padding rule, at the boundaries
// where they change: 8 versus 9 values, and texts of 0 to 5 characters.
class tst_Readout : public QObject
{
    Q_OBJECT

private slots:
    void hexText_data();
    void hexText();
    void padded_data();
    void padded();
    void writePaddedHexIsPaddedHexText();
};

void tst_Readout::hexText_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0u << "0";
    QTest::newRow("one digit") << 0xAu << "A";
    QTest::newRow("upper case") << 0xFFu << "FF";
    QTest::newRow("three digits") << 0x100u << "100";
    QTest::newRow("sixteen bits") << 0xFFFFu << "FFFF";
    QTest::newRow("no leading zeros") << 0x0234u << "234";
}

void tst_Readout::hexText()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);
    QCOMPARE(Readout::hexText(value), text);
}

void tst_Readout::padded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("valueCount");
    QTest::addColumn<QString>("expected");

    QTest::newRow("K=8 empty") << "" << 8 << "00";
    QTest::newRow("K=8 one digit") << "1" << 8 << "01";
    QTest::newRow("K=8 two digits") << "FF" << 8 << "FF";
    QTest::newRow("K=8 three digits") << "100" << 8 << "0100";
    QTest::newRow("K=8 four digits") << "1234" << 8 << "1234";
    QTest::newRow("K=8 five characters stay") << "12345" << 8 << "12345";
    QTest::newRow("K=3 already padded") << "00" << 3 << "00";

    QTest::newRow("K=9 empty") << "" << 9 << "0000";
    QTest::newRow("K=9 one digit") << "1" << 9 << "0001";
    QTest::newRow("K=9 two digits") << "FF" << 9 << "00FF";
    QTest::newRow("K=9 three digits") << "100" << 9 << "0100";
    QTest::newRow("K=9 four digits") << "FFFF" << 9 << "FFFF";
    QTest::newRow("K=16 five characters stay") << "12345" << 16 << "12345";
}

void tst_Readout::padded()
{
    QFETCH(QString, text);
    QFETCH(int, valueCount);
    QFETCH(QString, expected);
    QCOMPARE(Readout::padded(text, valueCount), expected);
}

// The export's way to the same text: every value width around the limits of
// the padding, below and above 8 values.
void tst_Readout::writePaddedHexIsPaddedHexText()
{
    for (const quint32 value : {0x0u, 0x1u, 0xFu, 0x10u, 0xFFu, 0x100u, 0xFFFu, 0x1000u, 0xFFFFu, 0x10000u, 0xFFFFFu,
                                0x123456u, 0xFFFFFFFFu}) {
        for (const int valueCount : {1, 8, 9, 16}) {
            char out[8];
            const QString written = QString::fromLatin1(out, Readout::writePaddedHex(value, valueCount, out));
            QCOMPARE(written, Readout::padded(Readout::hexText(value), valueCount));
        }
    }
}

QTEST_APPLESS_MAIN(tst_Readout)
#include "tst_readout.moc"
