#include "aboutwindow.h"

#include "look.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
constexpr Colour kBackground = 0xC0FFFF; // light yellow
constexpr Colour kTitleRed = 0x0000C0;
constexpr qreal kTitlePoints = 9.75;
} // namespace

AboutWindow::AboutWindow()
    : SecondaryWindow("frmAbout", QStringLiteral("About"), kBackground, kClientWidthTwips, kClientHeightTwips)
{
    createControls();
    placeControls();
    orderTabs();
}

void AboutWindow::createControls()
{
    m_Label1 = Look::makeControl<QLabel>(
            "Label1", this, QStringLiteral("KELVOR2 Beta  Unfinished: check the bytes it gives"));
    m_Label2 = Look::makeControl<QLabel>(
            "Label2", this,
            QStringLiteral("It turns a glyph drawn on a dot matrix into hex bytes for your source code, "
                           "and comes with no warranty."));
    m_Image1 = Look::makeControl<QLabel>("Image1", this);
    m_Image1->setPixmap(QPixmap(QStringLiteral(":/kelvor/about.png")));
    m_Image1->setAccessibleName(QStringLiteral("A glyph on a dot matrix and its bytes"));
    m_Label4 = Look::makeControl<QLabel>("Label4", this, QStringLiteral("Feedback: see the README."));
}

void AboutWindow::placeControls()
{
    // The labels paint no background of their own: the window's light yellow
    // is theirs.
    m_Label1->setFont(Look::sansSerif(kTitlePoints, true));
    m_Label1->setAlignment(Qt::AlignCenter);
    Look::setTextColour(m_Label1, kTitleRed);
    Look::placeAutoSized(m_Label1, 240, 120, 5655, 240, true);

    m_Label2->setFont(Look::sansSerif(Look::kDefaultPoints, true));
    m_Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_Label2->setWordWrap(true);
    Look::place(m_Label2, 120, 960, 5925, 555);

    // The picture is stretched to the control, which keeps its own size
    // whatever the picture's.
    m_Image1->setScaledContents(true);
    Look::place(m_Image1, 2520, 1680, 1185, 435);
    m_Image1->setFixedSize(m_Image1->size());

    m_Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Label4->setWordWrap(true);
    Look::place(m_Label4, 1920, 2400, 2655, 375);

    Look::place(m_Command1, 2640, 3000, 855, 375);
}

void AboutWindow::orderTabs()
{
    QWidget::setTabOrder(m_Label1, m_Label2);
    QWidget::setTabOrder(m_Label2, m_Command1);
    QWidget::setTabOrder(m_Command1, m_Label4);
}
