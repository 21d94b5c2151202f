#pragma once

#include "textbox.h"

#include <QTextCursor>
#include <QTextDocument>

class QTextBlock;
class QTextBlockFormat;

// The text of a multi-line text box, which the handlers get back exactly as
// it was given: a line break typed with Enter, or appended as CR LF, reads as
// CR LF, and a lone CR, a lone LF or a paragraph separator reads as itself.
// PlainTextBox shows and edits it.
//
// A text document keeps every line break as a paragraph break, and a plain
// text view lays out each paragraph as a whole, which takes time quadratic in
// its length when it has no place to wrap: a pasted 16 MiB hex string would
// never finish. So a line longer than kBlockLength is kept in several
// paragraphs, each after the first marked as continuing its line (a "soft"
// break). Each paragraph's format records which break precedes it; undo and
// redo keep formats, so they keep the breaks too. Soft breaks are invisible to
// text(); the box leaves them out of copies and steps over them with Backspace
// and Delete.
//
// The document reserves U+FDD0 and U+FDD1 for its own structure; inserted
// text has them replaced by U+FFFD rather than silently dropped.
class PlainTextDocument : public QTextDocument, public TextBox
{
    Q_OBJECT

public:
    static constexpr int kBlockLength = 4096;

    explicit PlainTextDocument(QObject *parent = nullptr);

    QString text() const override;
    void setText(const QString &text) override;
    qsizetype length() const override;
    quint64 revision() const override { return m_revision; }
    void beginAppend() override;
    void appendPart(QStringView part) override;
    void endAppend() override;

    // Inserts `text` at the cursor, its line breaks kept as they are.
    static void insertAt(QTextCursor &cursor, QStringView text);
    // Whether the paragraph continues the line of the one before it.
    static bool continuesLine(const QTextBlock &block);
    // The format of a paragraph that follows a CR LF, as Enter makes it.
    static QTextBlockFormat crLfFormat();

private:
    QTextCursor m_appendCursor; // null but while an append is in progress
    quint64 m_revision = 0;     // counts the edits
};
