#include "plaintextdocument.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace {

// The break that precedes a paragraph, kept in the paragraph's format. A
// paragraph without the property follows a CR LF, so Enter and Qt's own
// paragraphs need no marking.
enum class Break { CrLf, Soft, Lf, Cr, ParagraphSeparator };

constexpr int kBreakProperty = QTextFormat::UserProperty + 1;
constexpr QChar kReplacement(0xFFFD);

Break breakBefore(const QTextBlock &block)
{
    return Break(block.blockFormat().intProperty(kBreakProperty));
}

QTextBlockFormat formatFor(Break kind)
{
    QTextBlockFormat format;
    if (kind != Break::CrLf)
        format.setProperty(kBreakProperty, int(kind));
    return format;
}

QStringView breakText(Break kind)
{
    switch (kind) {
    case Break::CrLf:
        return u"\r\n";
    case Break::Lf:
        return u"\n";
    case Break::Cr:
        return u"\r";
    case Break::ParagraphSeparator:
        return u"\u2029";
    case Break::Soft:
        break;
    }
    return {};
}

// The line break starting at `pos`, and its length in code units (0: none).
qsizetype lineBreakAt(QStringView text, qsizetype pos, Break *kind)
{
    switch (text[pos].unicode()) {
    case u'\r':
        if (pos + 1 < text.size() && text[pos + 1] == u'\n') {
            *kind = Break::CrLf;
            return 2;
        }
        *kind = Break::Cr;
        return 1;
    case u'\n':
        *kind = Break::Lf;
        return 1;
    case 0x2029:
        *kind = Break::ParagraphSeparator;
        return 1;
    default:
        return 0;
    }
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator;
}

// Characters that QTextCursor::insertText() would turn into structure.
bool isReserved(QChar c)
{
    return c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

// Adds the paragraphs' text to `out`, each preceded by its break, the first
// one's break left out.
void appendText(QString &out, QTextBlock block, const QTextBlock &end, bool first)
{
    for (; block.isValid() && block != end; block = block.next()) {
        if (!first)
            out += breakText(breakBefore(block));
        first = false;
        out += block.text();
    }
}

// Inserts text without line breaks, in pieces of one line each: short pieces
// gather into one insertText() call, joined by paragraph separators that take
// the format of the cursor's paragraph; long ones go in as they are, without
// another copy. So both a paste of many short lines and one huge line cost a
// few calls per kBlockLength characters.
class Inserter
{
public:
    explicit Inserter(QTextCursor &cursor)
        : m_cursor(cursor)
        , m_kind(breakBefore(cursor.block()))
    {
    }
    ~Inserter() { flush(); }

    void insertBreak(Break kind)
    {
        if (kind == m_kind) {
            m_pending += QChar::ParagraphSeparator;
            return;
        }
        flush();
        m_cursor.insertBlock(formatFor(kind));
        m_kind = kind;
    }

    void insertPiece(QStringView piece)
    {
        const bool reserved = std::any_of(piece.begin(), piece.end(), isReserved);
        if (piece.size() < kShortPiece || reserved) {
            const qsizetype from = m_pending.size();
            m_pending += piece;
            if (reserved)
                std::replace_if(m_pending.begin() + from, m_pending.end(), isReserved, kReplacement);
            return;
        }
        flush();
        m_cursor.insertText(QString::fromRawData(piece.data(), piece.size()));
    }

private:
    static constexpr qsizetype kShortPiece = 256;

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_cursor.insertText(m_pending);
        m_pending.clear();
    }

    QTextCursor &m_cursor;
    Break m_kind;
    QString m_pending;
};

} // namespace

PlainTextDocument::PlainTextDocument(QObject *parent)
    : QTextDocument(parent)
{
    setDocumentLayout(new QPlainTextDocumentLayout(this));
    connect(this, &QTextDocument::contentsChange, this, [this] { ++m_revision; });
}

QString PlainTextDocument::text() const
{
    QString out;
    out.reserve(characterCount() + blockCount());
    appendText(out, begin(), QTextBlock(), true);
    return out;
}

qsizetype PlainTextDocument::length() const
{
    qsizetype length = 0;
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        if (block != begin())
            length += breakText(breakBefore(block)).size();
        length += block.length() - 1; // block.length() counts the paragraph break
    }
    return length;
}

void PlainTextDocument::setText(const QString &text)
{
    // Like setting a text box's text: the old text and its undo history go.
    // Replacing it within one edit lays the new text out once, which keeps
    // the hex string's update after every click cheap.
    // setPosition() rather than select(): within an edit block it leaves the
    // paragraphs unlaid, where moving the cursor would lay them out first.
    QTextCursor cursor(this);
    cursor.beginEditBlock();
    cursor.setPosition(characterCount() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.setBlockFormat(formatFor(Break::CrLf));
    insertAt(cursor, text);
    cursor.endEditBlock();
    clearUndoRedoStacks();
}

void PlainTextDocument::beginAppend()
{
    m_appendCursor = QTextCursor(this);
    m_appendCursor.movePosition(QTextCursor::End);
    m_appendCursor.beginEditBlock();
}

void PlainTextDocument::appendPart(QStringView part)
{
    if (m_appendCursor.isNull())
        beginAppend(); // a part without beginAppend() is an edit of its own
    insertAt(m_appendCursor, part);
}

void PlainTextDocument::endAppend()
{
    if (m_appendCursor.isNull())
        return;
    m_appendCursor.endEditBlock();
    m_appendCursor = QTextCursor();
}

bool PlainTextDocument::continuesLine(const QTextBlock &block)
{
    return breakBefore(block) == Break::Soft;
}

QTextBlockFormat PlainTextDocument::crLfFormat()
{
    return formatFor(Break::CrLf);
}

// Each line break becomes a paragraph marked with its kind, and every
// kBlockLength characters of a line a soft one (never between the two halves
// of a surrogate pair), counting what the cursor's paragraph already holds
// before it.
void PlainTextDocument::insertAt(QTextCursor &cursor, QStringView text)
{
    Inserter inserter(cursor);
    qsizetype pos = 0;
    qsizetype inLine = cursor.positionInBlock();
    while (pos < text.size()) {
        Break kind;
        if (const qsizetype length = lineBreakAt(text, pos, &kind)) {
            inserter.insertBreak(kind);
            pos += length;
            inLine = 0;
            continue;
        }
        if (inLine >= kBlockLength) {
            inserter.insertBreak(Break::Soft);
            inLine = 0;
        }
        qsizetype end = pos;
        const qsizetype limit = std::min(text.size(), pos + (kBlockLength - inLine));
        while (end < limit && !isLineBreak(text[end]))
            ++end;
        if (end < text.size() && text[end - 1].isHighSurrogate() && text[end].isLowSurrogate())
            ++end;
        inserter.insertPiece(text.mid(pos, end - pos));
        inLine += end - pos;
        pos = end;
    }
}
