#include "plaintextbox.h"

#include "plaintextdocument.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

PlainTextBox::PlainTextBox(PlainTextDocument *document, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_document(document ? document : new PlainTextDocument(this))
{
    setDocument(m_document);
    setTabChangesFocus(true);
}

QString PlainTextBox::text() const
{
    return m_document->text();
}

void PlainTextBox::setText(const QString &text)
{
    m_document->setText(text);
}

void PlainTextBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    PlainTextDocument::insertAt(cursor, source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// The selection as copying and dragging hand it to other programs: soft
// breaks left out, every other line break a line feed, the platform's way.
QMimeData *PlainTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString out;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start && !PlainTextDocument::continuesLine(block))
            out += u'\n';
        const int from = std::max(start, block.position()) - block.position();
        const int to = std::min(end, block.position() + block.length() - 1) - block.position();
        out += block.text().mid(from, to - from).replace(QChar::LineSeparator, u'\n');
    }
    auto *data = new QMimeData;
    data->setText(out);
    return data;
}

void PlainTextBox::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor cursor = textCursor();
    const int key = event->key();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));

    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && plain) {
        // Enter, with or without Shift, breaks the line with CR LF, even
        // inside a paragraph that continues a long line.
        cursor.insertBlock(PlainTextDocument::crLfFormat(), cursor.charFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    if (!cursor.hasSelection() && plain) {
        // Step over soft breaks, and any paragraph emptied between them, to
        // the character the user sees.
        const auto afterSoftBreak = [](const QTextCursor &at) {
            return at.atBlockStart() && at.position() > 0 && PlainTextDocument::continuesLine(at.block());
        };
        const auto beforeSoftBreak = [](const QTextCursor &at) {
            return at.atBlockEnd() && at.block().next().isValid()
                    && PlainTextDocument::continuesLine(at.block().next());
        };
        if (key == Qt::Key_Backspace && afterSoftBreak(cursor)) {
            while (afterSoftBreak(cursor))
                cursor.movePosition(QTextCursor::PreviousCharacter);
            cursor.deletePreviousChar();
            setTextCursor(cursor);
            return;
        }
        if (key == Qt::Key_Delete && beforeSoftBreak(cursor)) {
            while (beforeSoftBreak(cursor))
                cursor.movePosition(QTextCursor::NextCharacter);
            cursor.deleteChar();
            setTextCursor(cursor);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
