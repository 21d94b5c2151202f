#include "outputtext.h"

#include "copytotext.h"

OutputText::OutputText(QObject *parent)
    : QObject(parent)
    , m_Text1(m_ownText1)
{
}

OutputText::OutputText(TextBox &Text1, QObject *parent)
    : QObject(parent)
    , m_Text1(Text1)
{
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
    if (length > kMaxText1Length - m_Text1.length())
        return false;
    const QString line = CopyToText::line(hexString, m_prefix, m_delimiter);
    m_Text1.append(line);
    emit Text1Appended(line);
    return true;
}

void OutputText::Command9_Click()
{
    m_Text1.setText(QString());
}
