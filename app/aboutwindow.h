#pragma once

#include "secondarywindow.h"

class QLabel;

// The about window, frmAbout: the program's title, a picture and its notices,
// all fixed when it is made.
class AboutWindow : public SecondaryWindow
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 6270;
    static constexpr int kClientHeightTwips = 3585;

    AboutWindow();

private:
    void createControls();
    void placeControls();
    void orderTabs();

    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QLabel *m_Image1 = nullptr;
    QLabel *m_Label4 = nullptr;
};
