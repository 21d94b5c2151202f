#include "charactername.h"
#include "glyph.h"

#include <QTest>

// What a screen reader says for a glyph. The names are the Unicode
// standard's own, as its code charts print them.
class tst_CharacterName : public QObject
{
    Q_OBJECT

private slots:
    void spoken_data();
    void spoken();
};

void tst_CharacterName::spoken_data()
{
    QTest::addColumn<int>("codePoint");
    QTest::addColumn<QByteArray>("glyphName");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<QString>("expected");

    constexpr int none = Glyph::kNoCodePoint;
    QTest::newRow("letter") << 0x41 << QByteArray("A") << false << "U+0041 A, LATIN CAPITAL LETTER A";
    QTest::newRow("beyond the BMP") << 0x1F600 << QByteArray() << false << "U+1F600 \U0001F600, GRINNING FACE";
    QTest::newRow("corrected name") << 0x1A2 << QByteArray() << false << "U+01A2 \u01A2, LATIN CAPITAL LETTER GHA";
    QTest::newRow("control, by its font's name") << 0x0 << QByteArray("char0") << false << "U+0000, char0";
    QTest::newRow("control without a name") << 0x7F << QByteArray() << false << "U+007F";
    QTest::newRow("no-break space") << 0xA0 << QByteArray("nbspace") << false << "U+00A0, NO-BREAK SPACE";
    QTest::newRow("zero width space") << 0x200B << QByteArray() << false << "U+200B, ZERO WIDTH SPACE";
    QTest::newRow("soft hyphen") << 0xAD << QByteArray() << false << "U+00AD, SOFT HYPHEN";
    QTest::newRow("combining mark") << 0x301 << QByteArray() << false << "U+0301, COMBINING ACUTE ACCENT";
    QTest::newRow("line separator") << 0x2028 << QByteArray() << false << "U+2028, LINE SEPARATOR";
    QTest::newRow("private use") << 0xE000 << QByteArray("uniE000") << false << "U+E000, uniE000";
    QTest::newRow("space, blank") << 0x20 << QByteArray("space") << true << "U+0020, SPACE, blank";
    QTest::newRow("letter, blank") << 0x42 << QByteArray() << true << "U+0042 B, LATIN CAPITAL LETTER B, blank";
    QTest::newRow("no code point") << none << QByteArray("ring") << false << "ring";
    QTest::newRow("no code point, blank") << none << QByteArray("ring") << true << "ring, blank";
}

void tst_CharacterName::spoken()
{
    QFETCH(int, codePoint);
    QFETCH(QByteArray, glyphName);
    QFETCH(bool, blank);
    QFETCH(QString, expected);

    QCOMPARE(CharacterName::spoken(codePoint, glyphName, blank), expected);
}

QTEST_GUILESS_MAIN(tst_CharacterName)
#include "tst_charactername.moc"
