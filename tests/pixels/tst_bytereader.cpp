#include "bytereader.h"

#include <QTest>

using ByteReader::Error;

Q_DECLARE_METATYPE(ByteReader::Error)

// Reading text back into readout values: which numbers a text holds, and how
// they make the values of a readout of a given size, or why they cannot.
class tst_ByteReader : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data();
    void numbers();
    void numbersBeyondTheLimitAreCounted();
    void read_data();
    void read();
};

namespace {
// Numbers as "value/digits" words, a "'" after a marked one: "1F/2' 5/1".
QString described(const ByteReader::Numbers &found)
{
    QStringList words;
    for (const ByteReader::Number &number : found.kept)
        words << QStringLiteral("%1/%2%3").arg(number.value, 0, 16).arg(number.digitCount)
                         .arg(number.marked ? QStringLiteral("'") : QString());
    return words.join(u' ');
}

QString hexWords(const std::vector<quint32> &values)
{
    QStringList words;
    for (quint32 value : values)
        words << QString::number(value, 16);
    return words.join(u' ');
}
} // namespace

void tst_ByteReader::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("numbers");

    QTest::newRow("Copy to Text's line") << "$1F,$05,$00,\r\n" << "1f/2' 5/2' 0/2'";
    QTest::newRow("0x and h, either case") << "0X1f 0x0A 0ch 7FH" << "1f/2' a/2' c/2' 7f/2'";
    QTest::newRow("an assembler line: db is a name") << "db 7Fh, 08h ; K" << "7f/2' 8/2'";
    QTest::newRow("leading zeros count as digits") << "0x0001 007" << "1/4'";
    QTest::newRow("more than 8 digits saturate") << "123456789" << "ffffffff/9";
    QTest::newRow("letters beyond F, underscores and accents make words")
            << "1G 1_F naïve1 é1F 2F" << "2f/2";
    QTest::newRow("a word after a character outside the BMP") << QStringLiteral("\U0001D400 1F") << "1f/2";
    QTest::newRow("x or h alone are no numbers") << "0x h 0xh" << "";
}

void tst_ByteReader::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, numbers);
    const ByteReader::Numbers found = ByteReader::numbers(text);
    QCOMPARE(described(found), numbers);
    QCOMPARE(found.count, qsizetype(found.kept.size()));
    // Each number's digits stand where it says.
    for (const ByteReader::Number &number : found.kept) {
        const QStringView digits = QStringView(text).mid(number.position, number.digitCount);
        QCOMPARE(digits.size(), number.digitCount);
        QCOMPARE(quint32(std::min<qulonglong>(digits.toULongLong(nullptr, 16), 0xFFFFFFFFu)), number.value);
    }
}

void tst_ByteReader::numbersBeyondTheLimitAreCounted()
{
    const ByteReader::Numbers found = ByteReader::numbers(u"1 2 3 4 5", 2);
    QCOMPARE(found.count, qsizetype(5));
    QCOMPARE(described(found), QStringLiteral("1/1 2/1"));
}

void tst_ByteReader::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("valueCount");
    QTest::addColumn<int>("bitsPerValue");
    QTest::addColumn<QString>("values");
    QTest::addColumn<Error>("error");
    QTest::addColumn<int>("count"); // what the error is about
    QTest::addColumn<QString>("digits");

    const Error ok = Error::None;
    QTest::newRow("Copy to Text's own line") << "$1F,$05,$00,\r\n" << 3 << 5 << "1f 5 0" << ok << 0 << "";
    QTest::newRow("0x in front") << "0x1F, 0x05, 0x00, " << 3 << 5 << "1f 5 0" << ok << 0 << "";
    QTest::newRow("h after") << "1Fh 05H 0h" << 3 << 5 << "1f 5 0" << ok << 0 << "";
    QTest::newRow("braces, fewer values than cells") << "{0x1F};" << 3 << 5 << "1f" << ok << 0 << "";
    QTest::newRow("a line of C") << "uint8_t k[] = { 0x7F, 0x08 };" << 5 << 7 << "7f 8" << ok << 0 << "";
    QTest::newRow("an assembler line") << "db 7Fh, 08h ; K" << 5 << 7 << "7f 8" << ok << 0 << "";
    QTest::newRow("run together, 5 values") << "7F08142241" << 5 << 7 << "7f 8 14 22 41" << ok << 0 << "";
    QTest::newRow("run together, 9 values: 4 digits each") << "00FF0001" << 9 << 8 << "ff 1" << ok << 0 << "";
    QTest::newRow("run together, odd length: the last value short") << "7F081" << 3 << 8 << "7f 8 1" << ok << 0
                                                                     << "";
    QTest::newRow("16 bits: bytes pair up, high byte first")
            << "$01,$23,$00,$00,$80,$00," << 3 << 16 << "123 0 8000" << ok << 0 << "";
    QTest::newRow("9 values: Copy to Text's pairs")
            << "$00,$FF," + QString("$00,$00,").repeated(8) << 9 << 8 << "ff 0 0 0 0 0 0 0 0" << ok << 0 << "";
    QTest::newRow("9 values: a byte each") << "0xFF, 0x01" << 9 << 8 << "ff 1" << ok << 0 << "";
    QTest::newRow("16 bits, 3 values: a byte each") << "$30,$12,$34," << 3 << 16 << "30 12 34" << ok << 0 << "";
    QTest::newRow("16 bits, 3 values: one way as written")
            << "$00,$05,$00,$07," << 3 << 16 << "0 500 7" << ok << 0 << "";
    QTest::newRow("4 digits a value") << "0x8001 0x0102" << 2 << 16 << "8001 102" << ok << 0 << "";

    QTest::newRow("refused: no number") << "hello, world" << 3 << 5 << "" << Error::NoNumber << 0 << "";
    QTest::newRow("refused: empty") << "" << 3 << 5 << "" << Error::NoNumber << 0 << "";
    QTest::newRow("refused: too many values") << "01 02 03 04" << 3 << 5 << "" << Error::TooManyValues << 4 << "";
    QTest::newRow("refused: too many pairs") << QString("$01,").repeated(20) << 9 << 16 << ""
                                             << Error::TooManyPairs << 10 << "";
    QTest::newRow("refused: an odd count of bytes to pair") << "01 02 03" << 9 << 16 << "" << Error::OddByteCount
                                                            << 3 << "";
    QTest::newRow("refused: bytes that split no way") << "$00,$00,$00,$00,$00" << 3 << 16 << ""
                                                      << Error::NoSplit << 5 << "";
    QTest::newRow("refused: bytes read two ways") << "$01,$23,$45,$00" << 3 << 16 << "" << Error::AmbiguousSplit
                                                  << 4 << "";
    QTest::newRow("refused: bits beyond, as written") << "$020" << 3 << 5 << "" << Error::ValueTooWide << 1
                                                      << "020";
    QTest::newRow("refused: a value of 5 digits") << "12345 1" << 3 << 16 << "" << Error::ValueTooWide << 2
                                                  << "12345";
    QTest::newRow("refused: a pair too wide for 9 bits") << "$02,$00,$00,$01" << 2 << 9 << ""
                                                         << Error::ValueTooWide << 4 << "200";
}

void tst_ByteReader::read()
{
    QFETCH(QString, text);
    QFETCH(int, valueCount);
    QFETCH(int, bitsPerValue);
    QFETCH(QString, values);
    QFETCH(Error, error);
    QFETCH(int, count);
    QFETCH(QString, digits);

    const ByteReader::Result result = ByteReader::read(text, valueCount, bitsPerValue);
    QCOMPARE(result.error, error);
    QCOMPARE(result.ok(), error == Error::None);
    QCOMPARE(hexWords(result.values), values);
    if (error != Error::None) {
        QCOMPARE(result.count, qsizetype(count));
        QCOMPARE(result.digits, digits);
    }
}

QTEST_APPLESS_MAIN(tst_ByteReader)
#include "tst_bytereader.moc"
