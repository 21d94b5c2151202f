#include "codepoints.h"
#include "fontcodes.h"

#include <QTest>

// A character or a code point as a user types it to find its glyph, and
// code points as the program names them.
class tst_CodePoints : public QObject
{
    Q_OBJECT

private slots:
    void parseCharacter_data();
    void parseCharacter();
    void names_data();
    void names();
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

void tst_CodePoints::names_data()
{
    QTest::addColumn<int>("codePoint");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("glyphName"); // as PostScript names glyphs

    QTest::newRow("NUL") << 0 << "U+0000" << QByteArray("uni0000");
    QTest::newRow("letter") << 0x41 << "U+0041" << QByteArray("uni0041");
    QTest::newRow("hex letters upper case") << 0xABCD << "U+ABCD" << QByteArray("uniABCD");
    QTest::newRow("last of the BMP") << 0xFFFF << "U+FFFF" << QByteArray("uniFFFF");
    QTest::newRow("first past the BMP, five digits") << 0x10000 << "U+10000" << QByteArray("u10000");
    QTest::newRow("emoji") << 0x1F600 << "U+1F600" << QByteArray("u1F600");
    QTest::newRow("last, six digits") << 0x10FFFF << "U+10FFFF" << QByteArray("u10FFFF");
}

void tst_CodePoints::names()
{
    QFETCH(int, codePoint);
    QFETCH(QString, name);
    QFETCH(QByteArray, glyphName);

    QCOMPARE(CodePoints::name(codePoint), name);
    QCOMPARE(FontCodes::name(codePoint), name);
    QCOMPARE(CodePoints::glyphName(codePoint), glyphName);
}

QTEST_GUILESS_MAIN(tst_CodePoints)
#include "tst_codepoints.moc"
