#pragma once

#include <QString>

// A text box as the handlers see it: its whole text, with every line break
// written as carriage return plus line feed. The window hands the handlers
// its real text boxes through this; tests and tools use StringTextBox.
class TextBox
{
public:
    virtual ~TextBox() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    // Adds `text` at the end, as if the whole text were set to text() + text.
    virtual void append(const QString &text) = 0;
    virtual qsizetype length() const = 0;
};

class StringTextBox final : public TextBox
{
public:
    QString text() const override { return m_text; }
    void setText(const QString &text) override { m_text = text; }
    void append(const QString &text) override { m_text += text; }
    qsizetype length() const override { return m_text.size(); }

private:
    QString m_text;
};
