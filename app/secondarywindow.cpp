#include "secondarywindow.h"

#include "look.h"

#include <QPushButton>

SecondaryWindow::SecondaryWindow(const char *name, const QString &caption, Colour background,
                                 int clientWidthTwips, int clientHeightTwips)
    : QWidget(nullptr)
    , m_Command1(Look::makeControl<QPushButton>("Command1", this, QStringLiteral("&Close")))
{
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    // A window left open must not keep the program running once the main
    // window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    Look::setBackground(this, background);
    Look::setClientSize(this, clientWidthTwips, clientHeightTwips);
    connect(m_Command1, &QPushButton::clicked, this, &SecondaryWindow::Command1_Click);
}

void SecondaryWindow::Command1_Click()
{
    hide();
}
