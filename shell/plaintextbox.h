#pragma once

#include "textbox.h"

#include <QPlainTextEdit>
#include <QTextCursor>

// A multi-line text box whose text the handlers get back exactly as it was
// given: a line break typed with Enter, or appended as CR LF, reads as CR LF,
// and a lone CR, a lone LF or a paragraph separator reads as itself.
//
// QPlainTextEdit keeps every line break as a paragraph break and lays out each
// paragraph as a whole, which takes time quadratic in its length when it has
// no place to wrap: a pasted 16 MiB hex string would never finish. So a line
// longer than kBlockLength is kept in several paragraphs, each after the first
// marked as continuing its line (a "soft" break). Each paragraph's format
// records which break precedes it; undo and redo keep formats, so they keep
// the breaks too. Soft breaks are invisible to text() and to copying, and
// Backspace and Delete step over them.
//
// The document reserves U+FDD0 and U+FDD1 for its own structure; inserted
// text has them replaced by U+FFFD rather than silently dropped.
class PlainTextBox : public QPlainTextEdit, public TextBox
{
    Q_OBJECT

public:
    static constexpr int kBlockLength = 4096;

    explicit PlainTextBox(QWidget *parent = nullptr);

    QString text() const override;
    void setText(const QString &text) override;
    qsizetype length() const override;
    void beginAppend() override;
    void appendPart(QStringView part) override;
    void endAppend() override;

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static void insertAt(QTextCursor &cursor, QStringView text);

    QTextCursor m_appendCursor;
};
