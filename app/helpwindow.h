#pragma once

#include "secondarywindow.h"

class QLabel;

// The help window, frmHelp: a fixed page of usage notes, one short paragraph
// for each area of the main window.
class HelpWindow : public SecondaryWindow
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 5280;
    static constexpr int kClientHeightTwips = 4215;

    HelpWindow();

private:
    void createControls();
    void placeControls();
    void orderTabs();
    void frmHelp_Load();

    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
};
