#pragma once

#include "colour.h"

#include <QWidget>

class QPushButton;

// What the help and about windows share. Each is a window of its own,
// without an owner, and is created with new: its "&Close" button, Command1,
// only hides it, so a later show() finds it as it was, while the title-bar
// close box deletes it (Qt::WA_DeleteOnClose), so that the owner's next
// request creates it anew. Hold it in a QPointer to see which happened.
class SecondaryWindow : public QWidget
{
    Q_OBJECT

protected:
    // A window of the given name, caption, background and client size in
    // twips, with its "&Close" button made and connected; the window places it.
    SecondaryWindow(const char *name, const QString &caption, Colour background, int clientWidthTwips,
                    int clientHeightTwips);

    QPushButton *const m_Command1;

private:
    void Command1_Click();
};
