#pragma once

#include <QLabel>

// A label that holds a window's status line. Screen readers get it as the
// window's status bar, which they read out on request, and each new text
// as a change of its name.
class StatusLabel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLabel(QWidget *parent = nullptr);
};
