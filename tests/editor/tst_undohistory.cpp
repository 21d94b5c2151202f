#include "undohistory.h"

#include <QTest>

// The undo history: which steps it keeps, and what undo and redo give back.
class tst_UndoHistory : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void limits_data();
    void limits();
};

namespace {
EditorState stateWith(const QString &text)
{
    EditorState state;
    state.Text2 = text;
    return state;
}

// A step that leaves the editor holding `after`, the state it holds being
// *present; the history compares states by their text alone.
void step(UndoHistory &history, QString *present, const QString &after)
{
    history.beginStep([present] { return stateWith(*present); });
    *present = after;
    history.endStep([present](const EditorState &before) { return before.Text2 == *present; });
}

// How many steps there are to undo (back) or to redo.
int stepsToGo(UndoHistory history, bool back)
{
    int n = 0;
    for (; back ? history.canUndo() : history.canRedo(); ++n)
        back ? history.undo(EditorState()) : history.redo(EditorState());
    return n;
}

// Runs a script of steps on a history whose editor holds an empty text: a
// letter is a step to that text, "=" a step that changes nothing, "(x)" a
// step to x that holds another step inside it, "<" undo and ">" redo.
bool run(UndoHistory &history, const QString &script, QString *present, QString *error)
{
    for (const QString &token : script.split(u' ', Qt::SkipEmptyParts)) {
        if (token == u"<" || token == u">") {
            const bool back = token == u"<";
            if (!(back ? history.canUndo() : history.canRedo())) {
                *error = token + QStringLiteral(" with nothing to go to");
                return false;
            }
            const EditorState now = stateWith(*present);
            *present = (back ? history.undo(now) : history.redo(now)).Text2;
        } else if (token == u"=") {
            step(history, present, *present);
        } else if (token.startsWith(u'(')) {
            history.beginStep([present] { return stateWith(*present); });
            bool asked = false;
            const bool inner = history.beginStep([&asked] {
                asked = true;
                return EditorState();
            });
            *present = token.mid(1, 1);
            if (inner || asked || history.endStep([](const EditorState &) { return false; }) || !history.stepOpen()) {
                *error = QStringLiteral("the inner step of %1 acted as a step of its own").arg(token);
                return false;
            }
            history.endStep([present](const EditorState &before) { return before.Text2 == *present; });
        } else {
            step(history, present, token);
        }
    }
    return true;
}
} // namespace

void tst_UndoHistory::steps_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("present");
    QTest::addColumn<int>("undoable");
    QTest::addColumn<int>("redoable");

    QTest::newRow("a step is kept") << "a" << "a" << 1 << 0;
    QTest::newRow("a step that changes nothing is none") << "a =" << "a" << 1 << 0;
    QTest::newRow("nothing but such steps") << "= =" << "" << 0 << 0;
    QTest::newRow("nested steps make one") << "(b)" << "b" << 1 << 0;
    QTest::newRow("nested step undone whole") << "a (b) <" << "a" << 1 << 1;
    QTest::newRow("undo puts back the state before") << "a b <" << "a" << 1 << 1;
    QTest::newRow("undo to the start") << "a b c < < <" << "" << 0 << 3;
    QTest::newRow("redo puts back the state undone") << "a b < < >" << "a" << 1 << 1;
    QTest::newRow("redo to the end") << "a b < < > >" << "b" << 2 << 0;
    QTest::newRow("a new step drops the redo") << "a b < < c" << "c" << 1 << 0;
    QTest::newRow("a step that changes nothing keeps the redo") << "a b < =" << "a" << 1 << 1;
}

void tst_UndoHistory::steps()
{
    QFETCH(QString, script);

    UndoHistory history;
    QString present;
    QString error;
    QVERIFY2(run(history, script, &present, &error), qPrintable(error));
    QVERIFY(!history.stepOpen());
    QTEST(present, "present");
    QTEST(stepsToGo(history, true), "undoable");
    QTEST(stepsToGo(history, false), "redoable");
}

void tst_UndoHistory::limits_data()
{
    QTest::addColumn<QString>("texts");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("kept");

    // One letter a step: the text before it, `length` characters of that
    // letter; "=" the very text of the step before, shared; "<" an undo.
    constexpr qsizetype budget = UndoHistory::kMaxText2Length;
    QString distinct;
    for (int i = 0; i <= UndoHistory::kMaxSteps; ++i)
        distinct += QChar(0x4E00 + i);
    QTest::newRow("a thousand steps at most") << distinct << qsizetype(1) << 1000;
    QTest::newRow("texts within the budget") << "ab" << budget / 2 << 2;
    QTest::newRow("texts past the budget") << "ab" << budget / 2 + 1 << 1;
    QTest::newRow("one text shared by steps counts once") << "a==" << budget / 2 + 1 << 3;
    QTest::newRow("equal texts in a row count once") << "aa" << budget / 2 + 1 << 2;
    QTest::newRow("the newest step past the budget alone") << "a" << budget + 1 << 1;
    QTest::newRow("a shared text counts until its last step goes") << "a=b" << budget / 2 + 1 << 1;
    QTest::newRow("an undone step's text counts no more") << "ab<c" << budget / 2 << 2;
    QTest::newRow("a shared text undone counts still") << "a=<b" << budget / 2 + 1 << 1;
}

void tst_UndoHistory::limits()
{
    QFETCH(QString, texts);
    QFETCH(qsizetype, length);
    QFETCH(int, kept);

    UndoHistory history;
    QString text;
    QList<QChar> steps; // the letters of the steps that could be undone, had nothing been dropped
    for (const QChar letter : texts) {
        if (letter == u'<') {
            history.undo(EditorState());
            steps.removeLast();
            continue;
        }
        if (letter != u'=')
            text = QString(length, letter);
        history.beginStep([&text] { return stateWith(text); });
        history.endStep([](const EditorState &) { return false; });
        steps.append(text.front());
    }
    text.clear();
    QCOMPARE(stepsToGo(history, true), kept);
    // The newest steps are the ones kept.
    while (history.canUndo()) {
        const QString before = history.undo(EditorState()).Text2;
        QCOMPARE(before.size(), length);
        QCOMPARE(before.front(), steps.takeLast());
    }
}

QTEST_APPLESS_MAIN(tst_UndoHistory)
#include "tst_undohistory.moc"
