#pragma once

#include "textbox.h"

#include <QPlainTextEdit>

class QTextCursor;

// A multi-line text box whose text the handlers see with CR LF line breaks.
//
// QPlainTextEdit keeps a line break as a paragraph break and lays out each
// paragraph as a whole, which takes time quadratic in its length when it has
// no place to wrap: a pasted 16 MiB hex string would never finish. So a line
// longer than kBlockLength is kept in several paragraphs, each after the first
// marked as continuing its line (a "soft" break). Soft breaks are invisible to
// text() and to copying; Backspace and Delete step over them; undo and redo
// keep them, as the mark is part of the paragraph's format.
class PlainTextBox : public QPlainTextEdit, public TextBox
{
    Q_OBJECT

public:
    static constexpr int kBlockLength = 4096;

    explicit PlainTextBox(QWidget *parent = nullptr);

    QString text() const override;
    void setText(const QString &text) override;
    void append(const QString &text) override;
    qsizetype length() const override;

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static void insertAt(QTextCursor &cursor, QStringView text);
};
