#pragma once

#include <QString>
#include <QStringView>

// A text box as the handlers see it: its whole text, with every line break
// as it was given (a typed or appended one is carriage return plus line
// feed). The window hands the handlers the documents of its real text boxes
// through this.
class TextBox
{
public:
    virtual ~TextBox() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual qsizetype length() const = 0;
    // A number that changes whenever the text may have changed, by the
    // program or by the user, so that a reader can tell that a text it
    // read earlier is still the text.
    virtual quint64 revision() const = 0;

    // Adds text at the end, as if the whole text were set to text() plus the
    // parts in order. The parts given between beginAppend() and endAppend()
    // count as one edit, so a long text can arrive in pieces without ever
    // being held whole a second time.
    virtual void beginAppend() {}
    virtual void appendPart(QStringView part) = 0;
    virtual void endAppend() {}

    void append(QStringView text)
    {
        beginAppend();
        appendPart(text);
        endAppend();
    }
};
