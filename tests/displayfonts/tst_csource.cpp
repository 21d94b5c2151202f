#include "csource.h"

#include <QTest>

// Names and comments as a C compiler takes them: the rules are C's own
// (identifiers of letters, digits and "_", keywords, names reserved for the
// implementation, a backslash at a line's end joining the next line), and
// the names <stdint.h> declares, which the headers include.
class tst_CSource : public QObject
{
    Q_OBJECT

private slots:
    void identifiers_data();
    void identifiers();
    void commentText_data();
    void commentText();
    void byteLines();
};

void tst_CSource::identifiers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isIdentifier");
    QTest::addColumn<QString>("made"); // identifier(text)

    QTest::newRow("plain") << "font5x7" << true << "font5x7";
    QTest::newRow("file name") << "5x7.bdf" << false << "font_5x7_bdf";
    QTest::newRow("blanks and a dash") << "my font-8" << false << "my_font_8";
    QTest::newRow("C keyword") << "int" << false << "int_";
    QTest::newRow("C++ keyword") << "class" << false << "class_";
    QTest::newRow("C11 keyword") << "_Bool" << false << "Bool";
    QTest::newRow("reserved, two underscores") << "__font" << false << "font";
    QTest::newRow("reserved, underscore and capital") << "_Font" << false << "Font";
    QTest::newRow("reserved at file scope") << "_font" << false << "font";
    QTest::newRow("<stdint.h> type") << "uint8_t" << false << "uint8_t_";
    QTest::newRow("<stdint.h> macro") << "INT16_MAX" << false << "INT16_MAX_";
    QTest::newRow("non-ASCII letter") << QStringLiteral("grüße") << false << "gr__e";
    QTest::newRow("empty") << "" << false << "font";
    QTest::newRow("only underscores") << "__" << false << "font";
}

void tst_CSource::identifiers()
{
    QFETCH(QString, text);
    QFETCH(bool, isIdentifier);
    QFETCH(QString, made);

    QString why;
    QCOMPARE(CSource::isIdentifier(text, &why), isIdentifier);
    QCOMPARE(why.isEmpty(), isIdentifier);
    QCOMPARE(CSource::identifier(text), made);
    QVERIFY2(CSource::isIdentifier(made, &why), qPrintable(why));
}

void tst_CSource::commentText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("safe");

    QTest::newRow("plain") << "U+0041 'A'" << "U+0041 'A'";
    QTest::newRow("line feed") << "a\nb" << "a b";
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << "a b";
    QTest::newRow("backslash at the end") << "name\\" << "name_";
    QTest::newRow("trigraph at the end") << "name?\?/" << "name?\?_";
    QTest::newRow("backslashes inside stay") << "a\\b" << "a\\b";
}

void tst_CSource::commentText()
{
    QFETCH(QString, text);
    QFETCH(QString, safe);
    QCOMPARE(CSource::commentText(text), safe);
}

void tst_CSource::byteLines()
{
    QCOMPARE(CSource::byteLines(QByteArray::fromHex("00ff7f"), 2, u"  "), "  0x00, 0xFF,\n  0x7F,\n");
    QCOMPARE(CSource::byteLines(QByteArray()), QString());
}

QTEST_APPLESS_MAIN(tst_CSource)
#include "tst_csource.moc"
