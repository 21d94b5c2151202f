#include "plaintextbox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int kSoftBreakProperty = QTextFormat::UserProperty + 1;
const QLatin1String kLineBreak("\r\n");

bool isSoft(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(kSoftBreakProperty);
}

QTextBlockFormat breakFormat(bool soft)
{
    QTextBlockFormat format;
    if (soft)
        format.setProperty(kSoftBreakProperty, true);
    return format;
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// A paragraph's text as the handlers see it; a line separator (Shift+Enter in
// some input paths) is a line break too.
void appendBlockText(QString &out, const QString &text)
{
    if (text.contains(QChar::LineSeparator))
        out += QString(text).replace(QChar::LineSeparator, kLineBreak);
    else
        out += text;
}
} // namespace

PlainTextBox::PlainTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

QString PlainTextBox::text() const
{
    const QTextDocument *doc = document();
    QString out;
    out.reserve(doc->characterCount() + doc->blockCount());
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin() && !isSoft(block))
            out += kLineBreak;
        appendBlockText(out, block.text());
    }
    return out;
}

qsizetype PlainTextBox::length() const
{
    const QTextDocument *doc = document();
    qsizetype length = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin() && !isSoft(block))
            length += kLineBreak.size();
        length += block.length() - 1; // block.length() counts the paragraph break
    }
    return length;
}

void PlainTextBox::setText(const QString &text)
{
    // Like setting a text box's text: the old text, its undo history and the
    // cursor position go; the cursor starts at the beginning.
    QTextDocument *doc = document();
    doc->clear();
    QTextCursor cursor(doc);
    cursor.setBlockFormat(breakFormat(false));
    insertAt(cursor, text);
    doc->clearUndoRedoStacks();
    moveCursor(QTextCursor::Start);
}

void PlainTextBox::append(const QString &text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    insertAt(cursor, text);
    cursor.endEditBlock();
}

// Inserts `text` at the cursor: each line break of any kind becomes a real
// paragraph break, and every kBlockLength characters of a line a soft one.
// Runs of breaks of one kind go in by one insertText(), which gives new
// paragraphs the format of the cursor's paragraph; insertBlock() switches
// kinds. So a long paste costs a few calls, not one per paragraph.
void PlainTextBox::insertAt(QTextCursor &cursor, QStringView text)
{
    bool softRun = isSoft(cursor.block());
    QString pending;
    pending.reserve(text.size() + text.size() / kBlockLength + 1);
    auto breakLine = [&](bool soft) {
        if (soft == softRun) {
            pending += QChar::ParagraphSeparator;
            return;
        }
        cursor.insertText(pending);
        pending.clear();
        cursor.insertBlock(breakFormat(soft));
        softRun = soft;
    };

    qsizetype pos = 0;
    qsizetype inLine = 0;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (isLineBreak(c)) {
            pos += c == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n' ? 2 : 1;
            breakLine(false);
            inLine = 0;
            continue;
        }
        if (inLine >= kBlockLength) {
            breakLine(true);
            inLine = 0;
        }
        // Copy up to the next line break or the end of this block's share.
        qsizetype end = pos;
        const qsizetype limit = std::min(text.size(), pos + (kBlockLength - inLine));
        while (end < limit && !isLineBreak(text[end]))
            ++end;
        // Never leave a surrogate pair split across two paragraphs.
        if (end < text.size() && end > pos && text[end - 1].isHighSurrogate() && text[end].isLowSurrogate())
            ++end;
        pending += text.mid(pos, end - pos);
        inLine += end - pos;
        pos = end;
    }
    cursor.insertText(pending);
}

void PlainTextBox::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertAt(cursor, source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// The selection with soft breaks left out and real ones as line feeds, the
// form that copying and dragging hand to other programs.
QMimeData *PlainTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString out;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start && !isSoft(block))
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
        // Enter, with or without Shift, breaks the line for real, even inside
        // a paragraph that continues a long line.
        cursor.insertBlock(breakFormat(false), cursor.charFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    if (!cursor.hasSelection() && plain) {
        // Step over a soft break to the character the user sees.
        const QTextBlock block = cursor.block();
        if (key == Qt::Key_Backspace && cursor.atBlockStart() && isSoft(block) && block.position() > 0) {
            cursor.movePosition(QTextCursor::PreviousCharacter);
            cursor.deletePreviousChar();
            setTextCursor(cursor);
            return;
        }
        if (key == Qt::Key_Delete && cursor.atBlockEnd() && block.next().isValid() && isSoft(block.next())) {
            cursor.movePosition(QTextCursor::NextCharacter);
            cursor.deleteChar();
            setTextCursor(cursor);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
