#include "plaintextbox.h"
#include "plaintextdocument.h"

#include <QClipboard>
#include <QTest>
#include <QTextBlock>

// The text box between the widget and the handlers: CR LF text in and out,
// long lines kept in bounded paragraphs without changing the text.
class tst_PlainTextBox : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void appendContinuesTheLastLine();
    void appendInPartsIsOneEdit();
    void longLinesAreSplitInvisibly();
    void pasteKeepsTheTextExact();
    void copyLeavesSoftBreaksOut();
    void enterInsideALongLineBreaksIt();
    void backspaceAndDeleteStepOverSoftBreaks();
    void undoAndRedoKeepSoftBreaks();
};

namespace {
// The document a box shows, as the handlers see it.
PlainTextDocument *plainDocument(const PlainTextBox &box)
{
    return qobject_cast<PlainTextDocument *>(box.document());
}

QString longLine(int length, int seed = 0)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += QLatin1Char("0123456789ABCDEF"[(i + seed) % 16]);
    return text;
}

void typeKey(PlainTextBox &box, Qt::Key key)
{
    QTest::keyClick(&box, key);
}
} // namespace

void tst_PlainTextBox::roundTrip_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");

    const int block = PlainTextDocument::kBlockLength;
    QTest::newRow("empty") << "" << "";
    QTest::newRow("one line") << "abc" << "abc";
    QTest::newRow("CR LF kept") << "a\r\nb" << "a\r\nb";
    QTest::newRow("final line break") << "a\r\n" << "a\r\n";
    QTest::newRow("empty lines") << "\r\n\r\n" << "\r\n\r\n";
    QTest::newRow("lone LF kept") << "a\nb" << "a\nb";
    QTest::newRow("lone CR kept") << "a\rb" << "a\rb";
    QTest::newRow("LF CR is two breaks") << "a\n\rb" << "a\n\rb";
    QTest::newRow("line and paragraph separators kept")
            << QStringLiteral("a\u2028b\u2029c") << QStringLiteral("a\u2028b\u2029c");
    QTest::newRow("reserved code points replaced, not dropped")
            << QStringLiteral("a\uFDD0b\uFDD1") << QStringLiteral("a\uFFFDb\uFFFD");
    QTest::newRow("no-break space and tab kept")
            << QStringLiteral("a\u00A0\tb") << QStringLiteral("a\u00A0\tb");
    QTest::newRow("line exactly one block") << longLine(block) << longLine(block);
    QTest::newRow("line one past a block") << longLine(block + 1) << longLine(block + 1);
    QTest::newRow("long lines between breaks")
            << longLine(3 * block + 7) + "\r\n\r\n" + longLine(block * 2, 3) + "\r\n"
            << longLine(3 * block + 7) + "\r\n\r\n" + longLine(block * 2, 3) + "\r\n";
    const QString mixed = "x\n" + longLine(block + 300) + "\r" + longLine(block * 2 + 1, 7) + "\r\ny\nz";
    QTest::newRow("long lines between breaks of every kind") << mixed << mixed;
    const QString reservedFar = longLine(block + 1) + QStringLiteral("\uFDD0") + longLine(600, 1);
    QTest::newRow("reserved code point inside a long line")
            << reservedFar << QString(reservedFar).replace(QChar(0xFDD0), QChar(0xFFFD));
    const QString pairAtBoundary = longLine(block - 1) + QStringLiteral("\U0001F600") + longLine(10);
    QTest::newRow("surrogate pair across a block boundary") << pairAtBoundary << pairAtBoundary;
}

void tst_PlainTextBox::roundTrip()
{
    QFETCH(QString, in);
    QFETCH(QString, out);

    PlainTextBox box;
    box.setText(in);
    QCOMPARE(box.text(), out);
    QCOMPARE(plainDocument(box)->length(), out.size());
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= PlainTextDocument::kBlockLength + 1);
}

void tst_PlainTextBox::appendContinuesTheLastLine()
{
    PlainTextBox box;
    box.setText(QStringLiteral("abc"));
    plainDocument(box)->append(QStringLiteral("$1F,\r\n"));
    plainDocument(box)->append(longLine(10000) + QStringLiteral("\r\n"));
    QCOMPARE(box.text(), QStringLiteral("abc$1F,\r\n") + longLine(10000) + QStringLiteral("\r\n"));
}

// Parts may split a CR LF or a surrogate pair; the text is their
// concatenation all the same, and one undo takes the whole append back.
void tst_PlainTextBox::appendInPartsIsOneEdit()
{
    const QString whole = longLine(5000) + QStringLiteral("\r\n\U0001F600") + longLine(9000, 2)
            + QStringLiteral("\r\n");
    PlainTextBox box;
    box.setText(QStringLiteral("before"));
    // Cut inside the CR LF, inside the surrogate pair, and in mid-line.
    const QList<qsizetype> cuts = {0, 5001, 5003, 9000, whole.size()};
    plainDocument(box)->beginAppend();
    for (qsizetype i = 1; i < cuts.size(); ++i)
        plainDocument(box)->appendPart(QStringView(whole).mid(cuts[i - 1], cuts[i] - cuts[i - 1]));
    plainDocument(box)->endAppend();
    QCOMPARE(box.text(), QStringLiteral("before") + whole);
    QCOMPARE(plainDocument(box)->length(), box.text().size());
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= PlainTextDocument::kBlockLength + 1);

    box.undo();
    QCOMPARE(box.text(), QStringLiteral("before"));
}

void tst_PlainTextBox::longLinesAreSplitInvisibly()
{
    PlainTextBox box;
    box.setText(longLine(100000));
    QVERIFY(box.document()->blockCount() >= 100000 / PlainTextDocument::kBlockLength);
    QCOMPARE(box.text(), longLine(100000));
}

void tst_PlainTextBox::pasteKeepsTheTextExact()
{
    const QString pasted = QStringLiteral("first\r\n") + longLine(20000) + QStringLiteral("\nlast");
    PlainTextBox box;
    box.setText(QStringLiteral("[]"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(1);
    box.setTextCursor(cursor);
    QGuiApplication::clipboard()->setText(pasted);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.text(), QStringLiteral("[first\r\n") + longLine(20000) + QStringLiteral("\nlast]"));
}

void tst_PlainTextBox::copyLeavesSoftBreaksOut()
{
    PlainTextBox box;
    box.setText(QStringLiteral("ab\r\n") + longLine(9000));
    box.selectAll();
    box.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab\n") + longLine(9000));

    // A selection that starts and ends inside continuation paragraphs.
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(3 + 4000);
    cursor.setPosition(3 + 8500 + 2, QTextCursor::KeepAnchor); // two soft breaks inside
    box.setTextCursor(cursor);
    box.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), longLine(9000).mid(4000, 4500));
}

void tst_PlainTextBox::enterInsideALongLineBreaksIt()
{
    PlainTextBox box;
    box.setText(longLine(10000));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(5000 + 1); // inside the second paragraph, after one soft break
    box.setTextCursor(cursor);
    typeKey(box, Qt::Key_Return);
    QCOMPARE(box.text(), longLine(10000).left(5000) + QStringLiteral("\r\n") + longLine(10000).mid(5000));
}

void tst_PlainTextBox::backspaceAndDeleteStepOverSoftBreaks()
{
    const QString line = longLine(10000);
    const int boundary = PlainTextDocument::kBlockLength; // the first soft break
    {
        PlainTextBox box;
        box.setText(line);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(boundary + 1); // start of the continuation paragraph
        box.setTextCursor(cursor);
        typeKey(box, Qt::Key_Backspace);
        QCOMPARE(box.text(), line.left(boundary - 1) + line.mid(boundary));
    }
    {
        PlainTextBox box;
        box.setText(line);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(boundary); // end of the first paragraph
        box.setTextCursor(cursor);
        typeKey(box, Qt::Key_Delete);
        QCOMPARE(box.text(), line.left(boundary) + line.mid(boundary + 1));
    }
    {
        // A continuation paragraph emptied by a selection leaves two soft
        // breaks in a row; Backspace after them still takes one character.
        PlainTextBox box;
        box.setText(line);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(boundary + 1);
        cursor.setPosition(2 * boundary + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QCOMPARE(box.text(), line.left(boundary) + line.mid(2 * boundary));
        cursor.setPosition(boundary + 2); // after both breaks
        box.setTextCursor(cursor);
        typeKey(box, Qt::Key_Backspace);
        QCOMPARE(box.text(), line.left(boundary - 1) + line.mid(2 * boundary));
    }
}

void tst_PlainTextBox::undoAndRedoKeepSoftBreaks()
{
    PlainTextBox box;
    box.setText(QStringLiteral("x"));
    const QString pasted = longLine(30000) + QStringLiteral("\r\n") + longLine(9000, 5);
    QGuiApplication::clipboard()->setText(pasted);
    box.moveCursor(QTextCursor::End);
    box.paste();
    QCOMPARE(box.text(), QStringLiteral("x") + pasted);

    box.undo();
    QCOMPARE(box.text(), QStringLiteral("x"));
    box.redo();
    QCOMPARE(box.text(), QStringLiteral("x") + pasted);

    // Deleting across a soft break and undoing it restores the line whole.
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(4000);
    cursor.setPosition(5000, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    typeKey(box, Qt::Key_Delete);
    box.undo();
    QCOMPARE(box.text(), QStringLiteral("x") + pasted);
}

QTEST_MAIN(tst_PlainTextBox)
#include "tst_plaintextbox.moc"
