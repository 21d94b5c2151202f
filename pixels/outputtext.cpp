#include "outputtext.h"

#include "copytotext.h"

OutputText::OutputText(TextBox &Text1, QObject *parent)
    : QObject(parent)
    , m_Text1(Text1)
{
}

void OutputText::txtfmt_Change(const QString &text)
{
    if (m_prefix == text)
        return;
    m_prefix = text;
    emit prefixOrDelimiterChanged();
}

void OutputText::txtdelim_Change(const QString &text)
{
    if (m_delimiter == text)
        return;
    m_delimiter = text;
    emit prefixOrDelimiterChanged();
}

bool OutputText::Command1_Click(const QString &hexString)
{
    const qint64 length = CopyToText::lineLength(hexString, m_prefix, m_delimiter);
    if (length > kMaxText1Length - m_Text1.length())
        return false;
    // The line goes into Text1 part by part, never built whole beside it.
    m_Text1.beginAppend();
    CopyToText::writeLine(hexString, m_prefix, m_delimiter, [this](QStringView part) { m_Text1.appendPart(part); });
    m_Text1.endAppend();
    return true;
}

void OutputText::Command9_Click()
{
    m_Text1.setText(QString());
}

bool OutputText::appendLines(const QString &lines)
{
    if (lines.size() > kMaxText1Length - m_Text1.length())
        return false;
    m_Text1.append(lines);
    return true;
}
