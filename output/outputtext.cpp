#include "outputtext.h"

#include "copytotext.h"

OutputText::OutputText(QObject *parent)
    : QObject(parent)
{
}

void OutputText::setText1(const QString &text)
{
    if (m_Text1 == text)
        return;
    m_Text1 = text;
    emit Text1Changed(m_Text1);
}

void OutputText::txtfmt_Change(const QString &text)
{
    m_prefix = text;
}

void OutputText::txtdelim_Change(const QString &text)
{
    m_delimiter = text;
}

bool OutputText::Command1_Click(const QString &hexString)
{
    const qint64 length = CopyToText::lineLength(hexString, m_prefix, m_delimiter);
    if (length > kMaxText1Length - m_Text1.size())
        return false;
    const QString line = CopyToText::line(hexString, m_prefix, m_delimiter);
    m_Text1 += line;
    emit Text1Appended(line);
    return true;
}

void OutputText::Command9_Click()
{
    setText1(QString());
}
