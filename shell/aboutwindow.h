#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The about window, frmAbout: the program's title, a picture and its notices.
//
// Like the help window it has no owner and is created with new; "&Close" hides
// it and the title-bar close box deletes it (Qt::WA_DeleteOnClose). All its
// content is fixed when it is made.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 6270;
    static constexpr int kClientHeightTwips = 3585;

    AboutWindow();

private:
    void createControls();
    void connectControls();
    void placeControls();
    void orderTabs();

    void Command1_Click();

    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QLabel *m_Image1 = nullptr;
    QLabel *m_Label4 = nullptr;
    QPushButton *m_Command1 = nullptr;
};
