#pragma once

#include <QPlainTextEdit>

class PlainTextDocument;

// A multi-line text box that shows and edits a PlainTextDocument, keeping its
// line breaks exact: Enter breaks a line with CR LF, a paste keeps the breaks
// it brings, and the soft breaks of long lines stay invisible to copying,
// Backspace and Delete. Without a document of its own it makes one.
class PlainTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    // `document` must outlive the box.
    explicit PlainTextBox(PlainTextDocument *document = nullptr, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    PlainTextDocument *m_document;
};
