#include "codepoints.h"

#include <QTest>

// A character or a code point as a user types it to find its glyph.
class tst_CodePoints : public QObject
{
    Q_OBJECT

private slots:
    void parseCharacter_data();
    void parseCharacter();
};

void tst_CodePoints::parseCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("codePoint"); // -1: refused

    QTest::newRow("letter") << "K" << 0x4B;
    QTest::newRow("digit, a character") << "7" << 0x37;
    QTest::newRow("blank, a character") << " " << 0x20;
    QTest::newRow("letter between blanks") << " K " << 0x4B;
    QTest::newRow("beyond the BMP") << "\U0001F600" << 0x1F600;
    QTest::newRow("U+") << "U+004B" << 0x4B;
    QTest::newRow("0x") << "0x4B" << 0x4B;
    QTest::newRow("decimal") << "75" << 75;
    QTest::newRow("beyond Unicode") << "U+110000" << -1;
    QTest::newRow("letter and mark") << "e\u0301" << -1;
    QTest::newRow("word") << "KA" << -1;
    QTest::newRow("nothing") << "" << -1;
}

void tst_CodePoints::parseCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, codePoint);

    int parsed = -1;
    QCOMPARE(CodePoints::parseCharacter(text, &parsed), codePoint >= 0);
    if (codePoint >= 0)
        QCOMPARE(parsed, codePoint);
}

QTEST_GUILESS_MAIN(tst_CodePoints)
#include "tst_codepoints.moc"
