#include "helpwindow.h"

#include "helptext.h"
#include "look.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr Colour kBackground = 0xE0E0E0; // light grey
constexpr Colour kTextBlue = 0xC00000;
constexpr qreal kTitlePoints = 12;
constexpr qreal kSmallestTextPoints = 6.75;
} // namespace

HelpWindow::HelpWindow()
    : QWidget(nullptr)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("KELVOR HELP"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A help page left open must not keep the program running once the main
    // window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    connectControls();
    placeControls();
    orderTabs();
    frmHelp_Load();
}

void HelpWindow::createControls()
{
    m_Label1 = Look::makeControl<QLabel>("Label1", this, QStringLiteral("Kelvor 2 Help"));
    m_Label2 = Look::makeControl<QLabel>("Label2", this, QStringLiteral("Help"));
    m_Command1 = Look::makeControl<QPushButton>("Command1", this, QStringLiteral("&Close"));
}

void HelpWindow::connectControls()
{
    connect(m_Command1, &QPushButton::clicked, this, &HelpWindow::Command1_Click);
}

void HelpWindow::placeControls()
{
    setFont(Look::sansSerif(Look::kDefaultPoints));
    Look::setBackground(this, kBackground);
    Look::setClientSize(this, kClientWidthTwips, kClientHeightTwips);

    m_Label1->setFont(Look::sansSerif(kTitlePoints, true));
    m_Label1->setAlignment(Qt::AlignCenter);
    Look::setTextColour(m_Label1, kTextBlue);
    Look::setBackground(m_Label1, Colours::kSystem3DLight);
    Look::placeAutoSized(m_Label1, 1680, 120, 1740, 300, true);

    m_Label2->setWordWrap(true);
    m_Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Look::setTextColour(m_Label2, kTextBlue);
    Look::place(m_Label2, 360, 600, 4695, 3255);

    Look::place(m_Command1, 2040, 3960, 855, 255);
}

void HelpWindow::orderTabs()
{
    // Only the button takes the focus; the labels keep their place in the order.
    QWidget::setTabOrder(m_Label1, m_Command1);
    QWidget::setTabOrder(m_Command1, m_Label2);
}

void HelpWindow::frmHelp_Load()
{
    ++m_loadCount;
    m_label2Caption = HelpText::text();
    // A label breaks lines at LF; the CR before it would be drawn as a mark of
    // its own.
    m_Label2->setText(QString(m_label2Caption).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // With a wide face more lines wrap, and the last ones would fall below
    // the label's edge; a slightly smaller size keeps them all in view.
    Look::shrinkToFit(m_Label2, kSmallestTextPoints);
}

void HelpWindow::Command1_Click()
{
    hide();
}
