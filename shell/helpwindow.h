#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// The help window, frmHelp: a fixed page of usage notes.
//
// It is a window of its own, without an owner, and is created with new: its
// "&Close" button only hides it, so a later show() finds it as it was, while
// the title-bar close box deletes it (Qt::WA_DeleteOnClose), so that the
// owner's next request creates and loads it anew. Hold it in a QPointer to
// see which happened.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 5280;
    static constexpr int kClientHeightTwips = 4215;

    HelpWindow();

    // Label2's caption as the load step set it, lines joined by CR LF.
    QString label2Caption() const { return m_label2Caption; }
    // How often the load step has run on this window: once, when it was made.
    int loadCount() const { return m_loadCount; }

private:
    void createControls();
    void connectControls();
    void placeControls();
    void orderTabs();
    void frmHelp_Load();

    void Command1_Click();

    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QPushButton *m_Command1 = nullptr;

    QString m_label2Caption;
    int m_loadCount = 0;
};
