#include "helptext.h"

#include <QTest>

// The help page's text, exactly as the help window shows it.
class tst_HelpText : public QObject
{
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void linesJoinedByCrLf();
};

void tst_HelpText::line_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("01 SETTINGS") << 0 << "SETTINGS: From the drop down box select";
    QTest::newRow("02") << 1 << "the vertical and horizontal size.";
    QTest::newRow("03 DISPLAY") << 2 << "DISPLAY: Shows a miniature of the image.";
    QTest::newRow("04 INVERT") << 3 << "INVERT: Switches the background and foreground colors";
    QTest::newRow("05") << 4 << "This does not invert the hex values.";
    QTest::newRow("06 MATRIX, trailing blank")
            << 5 << "MATRIX: Selects how the hex values are derived. Vertical ";
    QTest::newRow("07") << 6 << "starts at the top (LSB) and move down the column (MSB)";
    QTest::newRow("08") << 7 << "Horizontal starts at left (LSB) and moves to the right (MSB)";
    QTest::newRow("09 FORMAT, trailing blank")
            << 8 << "FORMAT: Allows you to enter a prefix for the bytes and a ";
    QTest::newRow("10") << 9 << "separation delimiter.";
    QTest::newRow("11 EDITABLE TEXT") << 10 << "EDITABLE TEXT: This is the output area and can be edited.";
    QTest::newRow("12") << 11 << "It can then be saved to the Windows' clipboard for pasting";
    QTest::newRow("13 GRID") << 12 << "GRID: After you have created your character press 'Copy to Text'";
    QTest::newRow("14, no break after it") << 13 << "which will add the hex output to the text area";
}

// Each line as it stands in the joined text, so a lost blank or a stray
// character at a break shows in the line it belongs to.
void tst_HelpText::line()
{
    QFETCH(int, index);
    QFETCH(QString, expected);

    const QStringList lines = HelpText::text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines.at(index), expected);
}

void tst_HelpText::linesJoinedByCrLf()
{
    const QString text = HelpText::text();
    QCOMPARE(text.count(QStringLiteral("\r\n")), 13);
    // No CR or LF but in the pairs.
    QCOMPARE(text.count(QLatin1Char('\r')), 13);
    QCOMPARE(text.count(QLatin1Char('\n')), 13);
    QVERIFY(text.endsWith(QStringLiteral("text area")));
}

QTEST_GUILESS_MAIN(tst_HelpText)
#include "tst_helptext.moc"
