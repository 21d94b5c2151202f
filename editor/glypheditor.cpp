#include "glypheditor.h"

#include "bytereader.h"
#include "readout.h"

namespace {
constexpr int kLoadIndexCount = GlyphEditor::kMatrixMax; // the grids are created that large
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
    const Step step(*this);
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
    // What the window does while it is made is no step of the user's.
    m_history.clear();
}

// Toggles the current cell: to clearColour when it holds setColour, to
// setColour otherwise (a never-coloured cell reads 0 and so becomes set).
void GlyphEditor::toggleCell(Grid &grid, Colour setColour, Colour clearColour)
{
    grid.setCellBackColor(grid.cellBackColor() == setColour ? clearColour : setColour);
}

void GlyphEditor::Grid1_Click(int row, int col)
{
    if (!m_Grid1.contains(row, col))
        return;
    const Step step(*this);
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
    const Step step(*this);
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
    const Step step(*this);
    m_Grid1.clear();
    m_Grid2.clear();
    m_colGrid.clear();
    m_rowGrid.clear();
    m_Text2.set(QString());
    setFrmmatrixEnabled(true);
}

BitOrder GlyphEditor::order() const
{
    return BitOrder::fromControls(m_optvertValue, m_chkdirValue);
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
            value += 1u << BitOrder(BitOrder::Vertical).bitOfCell(r, rows);
    }
    m_colGrid.setText(Readout::hexText(value));
    m_Text2.set(padAndCollect(m_colGrid));
    m_colGrid.setCol(m_Grid1.col());
}

// One value per row, in the bit order chkdir chooses. Columns are visited
// right to left in both orders, so the loop ends on column 0, which is where
// Grid1's current cell is left. rowGrid is left on its last row.
void GlyphEditor::updateHorizontalReadout()
{
    const int cols = m_Grid1.cols();
    const BitOrder order = this->order();
    quint32 value = 0;
    m_rowGrid.setRow(m_Grid1.row());
    for (int column = cols - 1; column >= 0; --column) {
        m_Grid1.setCol(column);
        if (m_Grid1.cellBackColor() == kSetColour)
            value += 1u << order.bitOfCell(column, cols);
    }
    m_rowGrid.setText(Readout::hexText(value));
    m_Text2.set(padAndCollect(m_rowGrid));
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
void GlyphEditor::resizeMatrix(const QString &itemText, Grid &readout, QString &listText,
                               void (Grid::*setCount)(int), void (Grid::*setCellSize)(int, int),
                               void (Grid::*setOuterSize)(int))
{
    const int n = sizeFromItem(itemText);
    if (n == 0)
        return;
    const Step step(*this);
    (m_Grid1.*setCount)(n);
    (m_Grid2.*setCount)(n);
    (readout.*setCount)(n);
    for (int i = 0; i < n; ++i) {
        (m_Grid1.*setCellSize)(i, kEditCellTwips);
        (m_Grid2.*setCellSize)(i, kMiniCellTwips);
        (readout.*setCellSize)(i, kEditCellTwips);
    }
    (m_Grid2.*setOuterSize)(n * kMiniCellTwips + 1);
    if (listText != itemText) {
        listText = itemText;
        emit sizeListsChanged();
    }
}

void GlyphEditor::lstCol_Click(const QString &itemText)
{
    resizeMatrix(itemText, m_colGrid, m_lstColText, &Grid::setCols, &Grid::setColWidth, &Grid::setWidth);
}

void GlyphEditor::lstRow_Click(const QString &itemText)
{
    resizeMatrix(itemText, m_rowGrid, m_lstRowText, &Grid::setRows, &Grid::setRowHeight, &Grid::setHeight);
}

void GlyphEditor::optvert_Click()
{
    const Step step(*this);
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
    const Step step(*this);
    if (!m_frmmatrixEnabled)
        return;
    m_optvertValue = false;
    m_chkdirEnabled = true; // its check state stays as it was
    m_colGrid.setVisible(false);
    m_rowGrid.setVisible(true);
    emit matrixOptionsChanged();
}

// Strokes

void GlyphEditor::Grid1_MouseDown(int row, int col)
{
    if (!m_Grid1.contains(row, col))
        return;
    if (m_strokeOpen)
        Grid1_MouseUp();
    beginStep();
    m_strokeOpen = true;
    m_strokeActing = true;
    Grid1_Click(row, col);
    m_strokeActing = false;
    m_strokeSets = m_Grid1.cellBackColorAt(row, col) == kSetColour;
    m_Text2.flush();
}

void GlyphEditor::Grid1_MouseMove(int row, int col)
{
    if (!m_strokeOpen || !m_Grid1.contains(row, col))
        return;
    if ((m_Grid1.cellBackColorAt(row, col) == kSetColour) == m_strokeSets)
        return;
    m_strokeActing = true;
    Grid1_Click(row, col);
    m_strokeActing = false;
    m_Text2.flush();
}

void GlyphEditor::Grid1_MouseUp()
{
    if (!m_strokeOpen)
        return;
    m_strokeOpen = false;
    endStep();
}

// Transforms and drawings from bytes

Drawing GlyphEditor::drawing() const
{
    Drawing drawing(m_Grid1.rows(), m_Grid1.cols());
    for (int r = 0; r < m_Grid1.rows(); ++r) {
        for (int c = 0; c < m_Grid1.cols(); ++c)
            drawing.set(r, c, m_Grid1.cellBackColorAt(r, c) == kSetColour);
    }
    return drawing;
}

// Clears the grid and clicks every set cell of `drawing`, row by row from the
// top, left to right. A turned drawing first takes its size through the size
// handlers, as if chosen from the lists, even when width and height are equal.
void GlyphEditor::draw(const Drawing &drawing, bool turned)
{
    const Step step(*this);
    Command6_Click();
    if (turned) {
        lstCol_Click(QString::number(drawing.cols()));
        lstRow_Click(QString::number(drawing.rows()));
    }
    for (int r = 0; r < drawing.rows(); ++r) {
        for (int c = 0; c < drawing.cols(); ++c) {
            if (drawing.isSet(r, c))
                Grid1_Click(r, c);
        }
    }
}

void GlyphEditor::drawGlyph(const Drawing &drawing, qint64 owner)
{
    const Step step(*this);
    m_drawingOwner = owner;
    draw(drawing, true);
}

void GlyphEditor::setOwnerState(std::function<QVariant()> take, std::function<void(const QVariant &)> give)
{
    m_takeOwnerState = std::move(take);
    m_giveOwnerState = std::move(give);
}

void GlyphEditor::changeOwnerState(const std::function<void()> &change)
{
    const Step step(*this);
    change();
}

void GlyphEditor::shiftDrawing(int rowStep, int colStep)
{
    draw(drawing().shifted(rowStep, colStep));
}

void GlyphEditor::mirrorLeftRight()
{
    draw(drawing().mirroredLeftRight());
}

void GlyphEditor::mirrorTopBottom()
{
    draw(drawing().mirroredTopBottom());
}

void GlyphEditor::rotateClockwise()
{
    draw(drawing().rotatedClockwise(), true);
}

void GlyphEditor::rotateCounterClockwise()
{
    draw(drawing().rotatedCounterClockwise(), true);
}

bool GlyphEditor::drawFromText(QStringView text, QString *error)
{
    const int rows = m_Grid1.rows();
    const int cols = m_Grid1.cols();
    const BitOrder order = this->order();
    const ByteReader::Result read = ByteReader::read(text, order.valueCount(rows, cols), order.bitsPerValue(rows, cols));
    if (!read.ok()) {
        if (error)
            *error = ByteReader::message(read, order, rows, cols);
        return false;
    }
    // Each value's bits go where the readout takes them from.
    draw(order.drawing(read.values, rows, cols));
    return true;
}

// Undo and redo

EditorState GlyphEditor::state() const
{
    return {m_Grid1.snapshot(), m_Grid2.snapshot(), m_colGrid.snapshot(), m_rowGrid.snapshot(),
            Text2(), m_lstColText, m_lstRowText, m_frmmatrixEnabled, m_optvertValue,
            m_chkdirValue, m_chkdirEnabled, m_drawingOwner, ownerState()};
}

QVariant GlyphEditor::ownerState() const
{
    return m_takeOwnerState ? m_takeOwnerState() : QVariant();
}

void GlyphEditor::restore(const EditorState &state)
{
    m_Grid1.restore(state.Grid1);
    m_Grid2.restore(state.Grid2);
    m_colGrid.restore(state.colGrid);
    m_rowGrid.restore(state.rowGrid);
    m_Text2.put(state.Text2);
    m_lstColText = state.lstColText;
    m_lstRowText = state.lstRowText;
    m_optvertValue = state.optvertValue;
    m_chkdirValue = state.chkdirValue;
    m_chkdirEnabled = state.chkdirEnabled;
    m_drawingOwner = state.drawingOwner;
    setFrmmatrixEnabled(state.frmmatrixEnabled);
    emit sizeListsChanged();
    emit matrixOptionsChanged();
    if (m_giveOwnerState)
        m_giveOwnerState(state.ownerState);
}

// Whether the editor holds `state`: the grids' current cells, a cursor that
// no user sees, do not count, and Text2 is compared only when a handler of
// the step set it.
bool GlyphEditor::holds(const EditorState &state) const
{
    return state.lstColText == m_lstColText && state.lstRowText == m_lstRowText
            && state.frmmatrixEnabled == m_frmmatrixEnabled && state.optvertValue == m_optvertValue
            && state.chkdirValue == m_chkdirValue && state.chkdirEnabled == m_chkdirEnabled
            && state.drawingOwner == m_drawingOwner && (!m_Text2.setInStep() || Text2() == state.Text2)
            && m_Grid1.matches(state.Grid1) && m_Grid2.matches(state.Grid2) && m_colGrid.matches(state.colGrid)
            && m_rowGrid.matches(state.rowGrid) && state.ownerState == ownerState();
}

GlyphEditor::Step::Step(GlyphEditor &editor)
    : m_editor(editor)
{
    // An action that is not the stroke's own ends the stroke first.
    if (editor.m_strokeOpen && !editor.m_strokeActing)
        editor.Grid1_MouseUp();
    editor.beginStep();
}

GlyphEditor::Step::~Step()
{
    m_editor.endStep();
}

void GlyphEditor::beginStep()
{
    if (m_history.beginStep([this] { return state(); }))
        m_Text2.beginStep();
}

// Text2 reaches its box when the outermost step ends.
void GlyphEditor::endStep()
{
    const bool kept = m_history.endStep([this](const EditorState &before) { return holds(before); });
    if (m_history.stepOpen())
        return;
    m_Text2.flush();
    if (kept)
        emit historyChanged();
}

void GlyphEditor::undo()
{
    goThroughHistory(true);
}

void GlyphEditor::redo()
{
    goThroughHistory(false);
}

// Puts back the state before the newest step (back) or after the newest step
// undone, keeping the present one to go the other way.
void GlyphEditor::goThroughHistory(bool back)
{
    if (m_strokeOpen)
        Grid1_MouseUp();
    if (m_history.stepOpen() || !(back ? m_history.canUndo() : m_history.canRedo()))
        return;
    restore(back ? m_history.undo(state()) : m_history.redo(state()));
    emit historyChanged();
}
