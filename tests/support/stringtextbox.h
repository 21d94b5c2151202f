#pragma once

#include "textbox.h"

// A text box that keeps its text in memory, for driving the handlers without
// a window: the tests, the fuzzers and the benchmarks use it.
class StringTextBox final : public TextBox
{
public:
    QString text() const override { return m_text; }
    void setText(const QString &text) override
    {
        m_text = text;
        ++m_revision;
    }
    qsizetype length() const override { return m_text.size(); }
    quint64 revision() const override { return m_revision; }
    void appendPart(QStringView part) override
    {
        m_text += part;
        ++m_revision;
    }

private:
    QString m_text;
    quint64 m_revision = 0;
};
