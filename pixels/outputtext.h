#pragma once

#include "copytotext.h"
#include "textbox.h"

#include <QObject>
#include <QString>

// The text output's state and handlers, free of any widget: the byte prefix
// and delimiter that the boxes txtfmt and txtdelim hold, and the text of the
// output area Text1, whose line breaks are carriage return plus line feed.
class OutputText : public QObject
{
    Q_OBJECT

public:
    // The most characters Text1 may grow to through Copy to Text. A line that
    // would pass it is refused whole, so the text already there is never lost
    // to an allocation that cannot succeed.
    static constexpr qint64 kMaxText1Length = qint64(256) * 1024 * 1024;

    // Copy to Text appends to `Text1`, which must outlive it.
    explicit OutputText(TextBox &Text1, QObject *parent = nullptr);

    const QString &prefix() const { return m_prefix; }
    const QString &delimiter() const { return m_delimiter; }

    // The boxes' whole texts, blanks included, become prefix and delimiter.
    void txtfmt_Change(const QString &text);
    void txtdelim_Change(const QString &text);

    // Copy to Text: appends the line built from `hexString` to Text1. Returns
    // false, changing nothing, when Text1 would grow beyond kMaxText1Length.
    bool Command1_Click(const QString &hexString);

    // Appends whole lines, such as an export's, to Text1. Returns false,
    // changing nothing, when Text1 would grow beyond kMaxText1Length.
    bool appendLines(const QString &lines);

    // Clear: empties Text1.
    void Command9_Click();

signals:
    void prefixOrDelimiterChanged();

private:
    QString m_prefix = CopyToText::defaultPrefix();
    QString m_delimiter = CopyToText::defaultDelimiter();
    TextBox &m_Text1;
};
