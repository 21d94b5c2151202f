#include "helpwindow.h"

#include "look.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr Colour kBackground = 0xE0E0E0; // light grey
constexpr Colour kTextBlue = 0xC00000;
constexpr qreal kTitlePoints = 12;
constexpr qreal kSmallestTextPoints = 6.75;

// The page, line by line. Lines 6 and 9 end in a blank.
const char *const kHelpLines[] = {
    "SETTINGS: From the drop down box select",
    "the vertical and horizontal size.",
    "DISPLAY: Shows a miniature of the image.",
    "INVERT: Switches the background and foreground colors",
    "This does not invert the hex values.",
    "MATRIX: Selects how the hex values are derived. Vertical ",
    "starts at the top (LSB) and move down the column (MSB)",
    "Horizontal starts at left (LSB) and moves to the right (MSB)",
    "FORMAT: Allows you to enter a prefix for the bytes and a ",
    "separation delimiter.",
    "EDITABLE TEXT: This is the output area and can be edited.",
    "It can then be saved to the Windows' clipboard for pasting",
    "GRID: After you have created your character press 'Copy to Text'",
    "which will add the hex output to the text area",
};
} // namespace

HelpWindow::HelpWindow()
    : SecondaryWindow("frmHelp", QStringLiteral("KELVOR HELP"), kBackground, kClientWidthTwips,
                      kClientHeightTwips)
{
    createControls();
    placeControls();
    orderTabs();
    frmHelp_Load();
}

void HelpWindow::createControls()
{
    m_Label1 = Look::makeControl<QLabel>("Label1", this, QStringLiteral("Kelvor 2 Help"));
    m_Label2 = Look::makeControl<QLabel>("Label2", this, QStringLiteral("Help"));
}

void HelpWindow::placeControls()
{
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
    // The lines go one below the other, with no break after the last; a
    // label breaks lines at a line feed.
    QStringList lines;
    for (const char *line : kHelpLines)
        lines << QLatin1String(line);
    m_Label2->setText(lines.join(QLatin1Char('\n')));
    // With a wide face more lines wrap, and the last ones would fall below
    // the label's edge; a slightly smaller size keeps them all in view.
    Look::shrinkToFit(m_Label2, kSmallestTextPoints);
}
