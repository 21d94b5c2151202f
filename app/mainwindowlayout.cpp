// Where every control of the main window stands, and how it looks: geometry
// in twips relative to its container, fonts, colours and the tab order.

#include "mainwindow.h"

#include "gridview.h"
#include "look.h"
#include "plaintextbox.h"
#include "sizelist.h"
#include "twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using Look::kDefaultPoints;
using Look::place;
using Look::placeAutoSized;
using Look::sansSerif;
using Look::serif;
using Look::setBackground;
using Look::setTextColour;

// A grid view takes its size from its model, so only its place is set here.
void placeGrid(GridView *view, int left, int top)
{
    view->move(Twips::toPixels(left), Twips::toPixels(top));
}

constexpr qreal kSmallButtonPoints = 6.75;
} // namespace

void MainWindow::placeControls()
{
    // The window, and every frame and label on it, has the application
    // workspace's background; captions and labels are white.
    setBackground(this, Colours::kSystemAppWorkspace);
    setTextColour(this, Colours::kWhite);
    Look::setClientSize(this, kClientWidthTwips, kClientHeightTwips);
    m_client.setGeometry(rect());

    placeFrame4();
    placeFrmmatrix();
    placeFrame9();
    placeFrame7();
    placeFrame3();
    placeFrame2();
    placeFrame5();
    placeFrame6();
    place(m_Text2, 3840, 1080, 3615, 735);
    placeGrids();
}

// Settings: the size lists, Invert and the miniature.
void MainWindow::placeFrame4()
{
    place(m_Frame4, 120, 0, 2655, 1095);
    place(m_lstCol, 120, 240, 855, 315);
    place(m_lstRow, 120, 600, 855, 315);
    placeAutoSized(m_Label1, 1200, 240, 510, 195);
    setTextColour(m_Label1, Colours::kSystemHighlightText);
    place(m_cmdInverse, 1080, 720, 615, 255);
    place(m_Frame1, 1800, 240, 735, 735);
    setBackground(m_Frame1, Colours::kSystemButtonFace);
    m_Frame1->setFlat(true);
    placeGrid(m_Grid2, 120, 120);
    // The miniature shows the drawing without grid lines, two pixels a cell.
    m_Grid2->setFramed(false);
    m_Grid2->setGridLines(false);
}

// Matrix: the orientation and "Lt to Rt".
void MainWindow::placeFrmmatrix()
{
    place(m_frmmatrix, 2760, 0, 1095, 1815);
    placeAutoSized(m_Label4, 120, 240, 360, 195);
    placeAutoSized(m_Label5, 720, 240, 285, 195);
    place(m_opthoriz, 240, 480, 255, 255);
    place(m_optvert, 720, 480, 255, 255);
    placeAutoSized(m_Label8, 285, 945, 525, 195);
    setTextColour(m_Label8, Colours::kSystemHighlightText);
    place(m_chkdir, 405, 1200, 255, 255);
}

// The title, Help and About.
void MainWindow::placeFrame9()
{
    place(m_Frame9, 3840, 0, 3735, 1095);
    m_Label6->setFont(sansSerif(9.75, true));
    m_Label6->setAlignment(Qt::AlignCenter);
    placeAutoSized(m_Label6, 870, 240, 1755, 240, true);
    setTextColour(m_Label6, 0xC0FFC0);
    place(m_Label7, 600, 480, 2295, 255);
    place(m_Command2, 2760, 240, 735, 255);
    m_Command2->setFont(serif(kSmallButtonPoints));
    place(m_Command11, 2760, 720, 735, 255);
    m_Command11->setFont(serif(kSmallButtonPoints));
}

// Format: the prefix and the delimiter.
void MainWindow::placeFrame7()
{
    place(m_Frame7, 120, 1080, 2655, 735);
    placeAutoSized(m_Label2, 120, 240, 555, 195);
    place(m_txtfmt, 840, 240, 375, 285);
    m_txtfmt->setFont(sansSerif(kDefaultPoints, true));
    placeAutoSized(m_Label3, 1320, 240, 600, 195);
    place(m_txtdelim, 2160, 240, 375, 285);
    m_txtdelim->setFont(sansSerif(kDefaultPoints, true));
}

// Editable Text.
void MainWindow::placeFrame3()
{
    place(m_Frame3, 120, 1800, 2655, 4095);
    place(m_Text1, 120, 360, 2295, 3255);
}

// Copy to Clipboard: Copy and Clear.
void MainWindow::placeFrame2()
{
    place(m_Frame2, 120, 5880, 2655, 615);
    place(m_Command12, 240, 240, 855, 255);
    m_Command12->setFont(serif(kSmallButtonPoints));
    place(m_Command9, 1440, 240, 855, 255);
    m_Command9->setFont(serif(kSmallButtonPoints));
}

// Grid: Copy to Text and Clear.
void MainWindow::placeFrame5()
{
    place(m_Frame5, 2760, 5880, 3375, 615);
    place(m_Command1, 360, 240, 1095, 255);
    place(m_Command6, 1920, 240, 1095, 255);
}

// Exit.
void MainWindow::placeFrame6()
{
    place(m_Frame6, 6120, 5880, 975, 615);
    place(m_Command10, 120, 240, 735, 255);
    m_Command10->setFont(serif(kSmallButtonPoints));
}

// The editing grid and its two readouts.
void MainWindow::placeGrids()
{
    // The load step gives the editing grid, the miniature and colGrid's width
    // their outer sizes; the readouts' other sizes are the layout's.
    m_editor.colGrid().setHeight(255);
    m_editor.rowGrid().setWidth(495);
    m_editor.rowGrid().setHeight(3615);
    placeGrid(m_colGrid, 3480, 1920);
    m_colGrid->setFont(serif(6));
    placeGrid(m_rowGrid, 2880, 2160);
    placeGrid(m_Grid1, 3480, 2160);
    m_Grid1->setCellTextColour(Colours::kWhite);
}

void MainWindow::orderTabs()
{
    const QList<QWidget *> order = {m_Grid1, m_colGrid, m_rowGrid, m_Text1, m_Command12, m_Command9,
                                    m_lstRow, m_lstCol, m_Grid2, m_Command6, m_Command10, m_Command1,
                                    m_Text2, m_txtfmt, m_txtdelim, m_opthoriz, m_optvert, m_Command11,
                                    m_cmdInverse, m_Command2, m_chkdir};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
