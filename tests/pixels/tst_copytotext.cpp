#include "copytotext.h"
#include "outputtext.h"
#include "stringtextbox.h"

#include <QTest>

#include <algorithm>

// Copy to Text: how the hex string is cut into prefixed, delimited pieces and
// appended to the output text.
class tst_CopyToText : public QObject
{
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void appendsAfterWhateverText1Holds_data();
    void appendsAfterWhateverText1Holds();
    void samePressTwiceAppendsTwice();
    void prefixAndDelimiterAreTakenWhole();
    void veryLongHexStrings();
    void refusedLineKeepsText1();
    void clearEmptiesText1();
};

void tst_CopyToText::line_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("line");

    const QString crlf = QStringLiteral("\r\n");
    QTest::newRow("three bytes") << "1F0500" << "$" << "," << "$1F,$05,$00,\r\n";
    QTest::newRow("empty hex string: empty line") << "" << "$" << "," << crlf;
    QTest::newRow("blanks only: empty line") << "   " << "$" << "," << crlf;
    QTest::newRow("empty prefix") << "1F0500" << "" << "," << "1F,05,00,\r\n";
    QTest::newRow("empty delimiter") << "1F0500" << "$" << "" << "$1F$05$00\r\n";
    QTest::newRow("both empty") << "1F0500" << "" << "" << "1F0500\r\n";
    QTest::newRow("several characters, blanks kept")
            << "1F0500" << "0x" << ", " << "0x1F, 0x05, 0x00, \r\n";
    QTest::newRow("blank prefix kept") << "1F" << " " << " " << " 1F \r\n";
    QTest::newRow("prefix beyond ASCII") << "1F05" << QStringLiteral("\u20AC") << ";"
                                         << QStringLiteral("\u20AC1F;\u20AC05;\r\n");
    QTest::newRow("odd length ends in one character") << "ABC" << "$" << "," << "$AB,$C,\r\n";
    QTest::newRow("one character") << "A" << "$" << "," << "$A,\r\n";
    QTest::newRow("inner blank is a character") << "1F 05" << "$" << "," << "$1F,$ 0,$5,\r\n";
    QTest::newRow("only spaces are trimmed") << "  1F  " << "$" << "," << "$1F,\r\n";
    QTest::newRow("tab is not trimmed") << "\t1F" << "$" << "," << "$\t1,$F,\r\n";
    QTest::newRow("no-break space is not trimmed")
            << QStringLiteral("\u00A01F") << "$" << "," << QStringLiteral("$\u00A01,$F,\r\n");
    QTest::newRow("line break counts as two characters")
            << "1F\r\n05" << "$" << "," << "$1F,$\r\n,$05,\r\n";
    QTest::newRow("line break split across pieces")
            << "1\r\n0" << "$" << "," << "$1\r,$\n0,\r\n";
    QTest::newRow("surrogate pair is one character")
            << QStringLiteral("A\U0001F600BC") << "$" << ","
            << QStringLiteral("$A\U0001F600,$BC,\r\n");
    QTest::newRow("three non-BMP characters")
            << QStringLiteral("\U0001F600\U0001F601\U0001F602") << "" << "|"
            << QStringLiteral("\U0001F600\U0001F601|\U0001F602|\r\n");
    QTest::newRow("lone high surrogate counts alone")
            << QString(QChar(0xD800)) + "AB" << "$" << ","
            << "$" + QString(QChar(0xD800)) + "A,$B,\r\n";
    QTest::newRow("lone low surrogate counts alone")
            << "A" + QString(QChar(0xDC00)) + "B" << "" << ","
            << "A" + QString(QChar(0xDC00)) + ",B,\r\n";

    QString tenColumns = QStringLiteral("0123");
    QString tenColumnsLine = QStringLiteral("$01,$23,");
    for (int i = 0; i < 9; ++i) {
        tenColumns += QStringLiteral("0000");
        tenColumnsLine += QStringLiteral("$00,$00,");
    }
    const QString huge(CopyToText::kPartLength + 3, QLatin1Char('p'));
    QTest::newRow("prefix longer than a part of the line")
            << "1F0" << huge << "," << huge + "1F," + huge + "0,\r\n";
    QTest::newRow("ten 4-digit values, high byte first")
            << tenColumns << "$" << "," << tenColumnsLine + crlf;
}

void tst_CopyToText::line()
{
    QFETCH(QString, hex);
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);
    QFETCH(QString, line);

    QCOMPARE(CopyToText::line(hex, prefix, delimiter), line);
    QCOMPARE(CopyToText::lineLength(hex, prefix, delimiter), qint64(line.size()));

    // The export's way, for hex strings of ASCII: the same line in UTF-8,
    // after what the buffer held.
    const QByteArray ascii = hex.toLatin1();
    const bool isAscii = std::all_of(hex.cbegin(), hex.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (isAscii) {
        QByteArray out("kept");
        CopyToText::appendAsciiLine(&out, ascii, prefix.toUtf8(), delimiter.toUtf8());
        QCOMPARE(out, "kept" + line.toUtf8());
    }
}

void tst_CopyToText::appendsAfterWhateverText1Holds_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("empty") << "" << "$1F,$05,$00,\r\n";
    QTest::newRow("ends in a line break") << "x\r\n" << "x\r\n$1F,$05,$00,\r\n";
    QTest::newRow("no final line break: the line continues it")
            << "abc" << "abc$1F,$05,$00,\r\n";
}

void tst_CopyToText::appendsAfterWhateverText1Holds()
{
    QFETCH(QString, before);
    QFETCH(QString, after);

    StringTextBox Text1;

    OutputText output(Text1);
    Text1.setText(before);
    QVERIFY(output.Command1_Click(QStringLiteral("1F0500")));
    QCOMPARE(Text1.text(), after);
}

void tst_CopyToText::samePressTwiceAppendsTwice()
{
    StringTextBox Text1;
    OutputText output(Text1);
    QVERIFY(output.Command1_Click(QStringLiteral("0102")));
    QVERIFY(output.Command1_Click(QStringLiteral("0102")));
    QCOMPARE(Text1.text(), QStringLiteral("$01,$02,\r\n$01,$02,\r\n"));
}

void tst_CopyToText::prefixAndDelimiterAreTakenWhole()
{
    StringTextBox Text1;
    OutputText output(Text1);
    QCOMPARE(output.prefix(), QStringLiteral("$"));
    QCOMPARE(output.delimiter(), QStringLiteral(","));
    output.txtfmt_Change(QStringLiteral(" 0x "));
    output.txtdelim_Change(QString());
    QCOMPARE(output.prefix(), QStringLiteral(" 0x "));
    QVERIFY(output.delimiter().isEmpty());
    QVERIFY(output.Command1_Click(QStringLiteral("AB")));
    QCOMPARE(Text1.text(), QStringLiteral(" 0x AB\r\n"));
}

// Hex strings of a hundred thousand characters are cut like short ones, and the
// text already in the output area is kept in front of the new line.
void tst_CopyToText::veryLongHexStrings()
{
    const int length = 100001; // odd: the last piece has one character
    QString hex;
    hex.reserve(length);
    for (int i = 0; i < length; ++i)
        hex += QLatin1Char("0123456789ABCDEF"[i % 16]);

    StringTextBox Text1;

    OutputText output(Text1);
    Text1.setText(QStringLiteral("keep me\r\n"));
    QVERIFY(output.Command1_Click(hex));

    const QString &text = Text1.text();
    QVERIFY(text.startsWith(QStringLiteral("keep me\r\n$01,$23,")));
    QVERIFY(text.endsWith(QStringLiteral(",$0,\r\n")));
    const qsizetype pieces = (length + 1) / 2;
    QCOMPARE(text.size(), qsizetype(9) + length + 2 * pieces + 2);
    QCOMPARE(text.count(QLatin1Char('$')), pieces);
}

void tst_CopyToText::refusedLineKeepsText1()
{
    StringTextBox Text1;
    OutputText output(Text1);
    Text1.setText(QStringLiteral("precious"));
    // 30,000 pieces with a 10,000-character prefix: 300 million characters.
    output.txtfmt_Change(QString(10000, QLatin1Char('p')));
    QVERIFY(!output.Command1_Click(QString(60000, QLatin1Char('F'))));
    QCOMPARE(Text1.text(), QStringLiteral("precious"));
}

void tst_CopyToText::clearEmptiesText1()
{
    StringTextBox Text1;
    OutputText output(Text1);
    QVERIFY(output.Command1_Click(QStringLiteral("1F")));
    output.Command9_Click();
    QVERIFY(Text1.text().isEmpty());
    QCOMPARE(output.prefix(), QStringLiteral("$"));
}

QTEST_APPLESS_MAIN(tst_CopyToText)
#include "tst_copytotext.moc"
