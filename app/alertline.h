#pragma once

#include <QLabel>

// The line at a dialog's foot that says what is wrong. To a screen reader
// it is an alert named by its message, announced as each new message
// appears; it is hidden while there is none, its room kept so that the
// dialog does not jump, so that a message that appears is one that shows.
class AlertLine : public QLabel
{
    Q_OBJECT

public:
    explicit AlertLine(QWidget *parent = nullptr);

    // Shows `message` as it stands, or hides the line when it is empty.
    void setMessage(const QString &message);
};
