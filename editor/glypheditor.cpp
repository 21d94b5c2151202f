#include "glypheditor.h"

#include "readout.h"

namespace {
constexpr int kLoadIndexCount = 16;      // the grids are created 16 by 16
constexpr int kEditGridTwips = 3740;     // Grid1's outer size and colGrid's width
constexpr int kMiniGridTwips = 510;      // Grid2's outer size until a size is chosen
constexpr int kRowReadoutWidthTwips = 440;
} // namespace

GlyphEditor::GlyphEditor(TextBox &Text2, QObject *parent)
    : QObject(parent)
    , m_Text2(Text2)
{
    // The grids as the window creates them; rowGrid starts hidden and the
    // start state (opthoriz) swaps the two readouts.
    m_Grid1.setBackColor(Colours::kWhite);
    m_Grid2.setBackColor(Colours::kGrey);
    m_rowGrid.setVisible(false);
}

bool GlyphEditor::setChkdirValue(int value)
{
    if (!m_frmmatrixEnabled || !m_chkdirEnabled)
        return false;
    if (m_chkdirValue != value) {
        m_chkdirValue = value;
        emit matrixOptionsChanged();
    }
    return true;
}

void GlyphEditor::setFrmmatrixEnabled(bool enabled)
{
    if (m_frmmatrixEnabled == enabled)
        return;
    m_frmmatrixEnabled = enabled;
    emit frmmatrixEnabledChanged(enabled);
}

void GlyphEditor::frmMain_LoadGrids(Colour windowBackColour)
{
    m_Grid1.setHeight(kEditGridTwips);
    m_Grid1.setWidth(kEditGridTwips);
    m_Grid2.setHeight(kMiniGridTwips);
    m_Grid2.setWidth(kMiniGridTwips);
    m_colGrid.setWidth(kEditGridTwips);
    for (int i = 0; i < kLoadIndexCount; ++i) {
        m_Grid1.setColWidth(i, kEditCellTwips);
        m_Grid1.setRowHeight(i, kEditCellTwips);
        m_Grid2.setColWidth(i, kMiniCellTwips);
        m_Grid2.setRowHeight(i, kMiniCellTwips);
        m_rowGrid.setRowHeight(i, kEditCellTwips);
        m_colGrid.setColWidth(i, kEditCellTwips);
    }
    m_Grid2.setBackColor(windowBackColour);
    m_rowGrid.setColWidth(0, kRowReadoutWidthTwips);
    m_colGrid.setRowHeight(0, kEditCellTwips);
}

// Toggles the current cell: to clearColour when it holds setColour, to
// setColour otherwise (a never-coloured cell reads 0 and so becomes set).
void GlyphEditor::toggleCell(Grid &grid, Colour setColour, Colour clearColour)
{
    grid.setCellBackColor(grid.cellBackColor() == setColour ? clearColour : setColour);
}

void GlyphEditor::Grid1_Click(int row, int col)
{
    // The grid makes the clicked cell current before it reports the click;
    // from here on the handler works through the current cells.
    m_Grid1.setCol(col);
    m_Grid1.setRow(row);
    toggleCell(m_Grid1, kSetColour, kClearColour);
    m_Grid2.setCol(m_Grid1.col());
    m_Grid2.setRow(m_Grid1.row());
    toggleCell(m_Grid2, kMirrorColour, Colours::kNone);
    // The readout reads the clicked cell's new state, and leaves Grid1's
    // current cell where its loop stopped.
    updateReadout();
    setFrmmatrixEnabled(false);
}

void GlyphEditor::cmdInverse_Click()
{
    // Column by column, each column top to bottom; both grids end with their
    // bottom-right cell current. Readouts, Text2 and the lock stay as they are.
    const int cols = m_Grid1.cols();
    const int rows = m_Grid1.rows();
    for (int c = 0; c < cols; ++c) {
        for (int r = 0; r < rows; ++r) {
            m_Grid1.setCol(c);
            m_Grid1.setRow(r);
            toggleCell(m_Grid1, kSetColour, kClearColour);
            m_Grid2.setCol(c);
            m_Grid2.setRow(r);
            toggleCell(m_Grid2, kMirrorColour, Colours::kNone);
        }
    }
}

void GlyphEditor::Command6_Click()
{
    m_Grid1.clear();
    m_Grid2.clear();
    m_colGrid.clear();
    m_rowGrid.clear();
    m_Text2.setText(QString());
    setFrmmatrixEnabled(true);
}

void GlyphEditor::updateReadout()
{
    if (m_optvertValue)
        updateVerticalReadout();
    else
        updateHorizontalReadout();
}

// One value per column: the top row is bit 0. Every colGrid cell is padded
// and collected into Text2; only the clicked column is recomputed.
void GlyphEditor::updateVerticalReadout()
{
    const int rows = m_Grid1.rows();
    quint32 value = 0;
    m_colGrid.setCol(m_Grid1.col());
    for (int r = 0; r < rows; ++r) {
        m_Grid1.setRow(r);
        if (m_Grid1.cellBackColor() == kSetColour)
            value += 1u << r;
    }
    m_colGrid.setText(Readout::hexText(value));
    m_Text2.setText(padAndCollect(m_colGrid));
    m_colGrid.setCol(m_Grid1.col());
}

// One value per row. With chkdir checked the leftmost column is bit 0,
// otherwise the rightmost; either way the loop ends on column 0, which is
// where Grid1's current cell is left. rowGrid is left on its last row.
void GlyphEditor::updateHorizontalReadout()
{
    const int cols = m_Grid1.cols();
    const bool leftIsLsb = m_chkdirValue == 1;
    quint32 value = 0;
    m_rowGrid.setRow(m_Grid1.row());
    for (int i = 0; i < cols; ++i) {
        // Columns are visited right to left in both bit orders.
        const int column = cols - 1 - i;
        m_Grid1.setCol(column);
        if (m_Grid1.cellBackColor() == kSetColour)
            value += 1u << (leftIsLsb ? column : i);
    }
    m_rowGrid.setText(Readout::hexText(value));
    m_Text2.setText(padAndCollect(m_rowGrid));
}

// Pads every cell of a readout (one row of columns, or one column of rows)
// by the number of values it holds, and returns the texts run together in
// readout order. The readout's current cell is left on its last cell.
QString GlyphEditor::padAndCollect(Grid &readout)
{
    const bool byColumns = &readout == &m_colGrid;
    const int count = byColumns ? readout.cols() : readout.rows();
    QString hex;
    hex.reserve(count * 4);
    if (!byColumns)
        readout.setCol(0);
    for (int i = 0; i < count; ++i) {
        if (byColumns)
            readout.setCol(i);
        else
            readout.setRow(i);
        readout.setText(Readout::padded(readout.text(), count));
        hex += readout.text();
    }
    return hex;
}

int GlyphEditor::sizeFromItem(const QString &itemText)
{
    // toInt() forgives blanks, a sign, leading zeros and a trailing NUL, so
    // only the number's own spelling, the text of a list item, is taken.
    bool ok = false;
    const int n = itemText.toInt(&ok);
    return ok && n >= kMatrixMin && n <= kMatrixMax && itemText == QString::number(n) ? n : 0;
}

// A width or height chosen: the grids of that axis, the editing grid, the
// miniature and the readout with one cell per column or row, take n cells of
// their sizes, and the miniature's outer size follows.
void GlyphEditor::resizeMatrix(const QString &itemText, Grid &readout, void (Grid::*setCount)(int),
                               void (Grid::*setCellSize)(int, int), void (Grid::*setOuterSize)(int))
{
    const int n = sizeFromItem(itemText);
    if (n == 0)
        return;
    (m_Grid1.*setCount)(n);
    (m_Grid2.*setCount)(n);
    (readout.*setCount)(n);
    for (int i = 0; i < n; ++i) {
        (m_Grid1.*setCellSize)(i, kEditCellTwips);
        (m_Grid2.*setCellSize)(i, kMiniCellTwips);
        (readout.*setCellSize)(i, kEditCellTwips);
    }
    (m_Grid2.*setOuterSize)(n * kMiniCellTwips + 1);
}

void GlyphEditor::lstCol_Click(const QString &itemText)
{
    resizeMatrix(itemText, m_colGrid, &Grid::setCols, &Grid::setColWidth, &Grid::setWidth);
}

void GlyphEditor::lstRow_Click(const QString &itemText)
{
    resizeMatrix(itemText, m_rowGrid, &Grid::setRows, &Grid::setRowHeight, &Grid::setHeight);
}

void GlyphEditor::optvert_Click()
{
    if (!m_frmmatrixEnabled)
        return;
    m_optvertValue = true;
    m_chkdirEnabled = false;
    m_chkdirValue = 0;
    m_rowGrid.setVisible(false);
    m_colGrid.setVisible(true);
    emit matrixOptionsChanged();
}

void GlyphEditor::opthoriz_Click()
{
    if (!m_frmmatrixEnabled)
        return;
    m_optvertValue = false;
    m_chkdirEnabled = true; // its check state stays as it was
    m_colGrid.setVisible(false);
    m_rowGrid.setVisible(true);
    emit matrixOptionsChanged();
}
