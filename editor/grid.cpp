#include "grid.h"

#include <algorithm>

Grid::Grid(int rows, int cols, QObject *parent)
    : QObject(parent)
{
    reshape(rows, cols);
}

Grid::Cell *Grid::cellAt(int row, int col)
{
    return contains(row, col) ? &m_cells[size_t(row) * size_t(m_cols) + size_t(col)] : nullptr;
}

const Grid::Cell *Grid::cellAt(int row, int col) const
{
    return contains(row, col) ? &m_cells[size_t(row) * size_t(m_cols) + size_t(col)] : nullptr;
}

// Keeps every cell that exists in both shapes at its row and column; added
// cells are clear. The current cell moves in if it would fall outside.
void Grid::reshape(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == m_rows && cols == m_cols)
        return;

    std::vector<Cell> cells(size_t(rows) * size_t(cols));
    const int keepRows = std::min(rows, m_rows);
    const int keepCols = std::min(cols, m_cols);
    for (int r = 0; r < keepRows; ++r) {
        for (int c = 0; c < keepCols; ++c)
            cells[size_t(r) * size_t(cols) + size_t(c)] = std::move(*cellAt(r, c));
    }
    m_cells = std::move(cells);
    m_rows = rows;
    m_cols = cols;
    m_rowHeights.resize(size_t(rows), kDefaultRowHeight);
    m_colWidths.resize(size_t(cols), kDefaultColWidth);
    m_row = std::clamp(m_row, 0, std::max(rows - 1, 0));
    m_col = std::clamp(m_col, 0, std::max(cols - 1, 0));
    emit layoutChanged();
}

void Grid::setRows(int rows)
{
    reshape(rows, m_cols);
}

void Grid::setCols(int cols)
{
    reshape(m_rows, cols);
}

void Grid::setRow(int row)
{
    if (row >= 0 && row < m_rows)
        m_row = row;
}

void Grid::setCol(int col)
{
    if (col >= 0 && col < m_cols)
        m_col = col;
}

void Grid::setCellBackColor(Colour colour)
{
    Cell *cell = cellAt(m_row, m_col);
    if (!cell || cell->colour == colour)
        return;
    cell->colour = colour;
    emit cellChanged(m_row, m_col);
}

void Grid::setText(const QString &text)
{
    Cell *cell = cellAt(m_row, m_col);
    if (!cell || cell->text == text)
        return;
    cell->text = text;
    emit cellChanged(m_row, m_col);
}

Colour Grid::cellBackColorAt(int row, int col) const
{
    const Cell *cell = cellAt(row, col);
    return cell ? cell->colour : Colours::kNone;
}

QString Grid::textAt(int row, int col) const
{
    const Cell *cell = cellAt(row, col);
    return cell ? cell->text : QString();
}

void Grid::clear()
{
    for (Cell &cell : m_cells)
        cell = Cell();
    emit layoutChanged();
}

int Grid::colWidth(int col) const
{
    return col >= 0 && col < m_cols ? m_colWidths[size_t(col)] : 0;
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols || m_colWidths[size_t(col)] == twips)
        return;
    m_colWidths[size_t(col)] = twips;
    emit layoutChanged();
}

int Grid::rowHeight(int row) const
{
    return row >= 0 && row < m_rows ? m_rowHeights[size_t(row)] : 0;
}

void Grid::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= m_rows || m_rowHeights[size_t(row)] == twips)
        return;
    m_rowHeights[size_t(row)] = twips;
    emit layoutChanged();
}

void Grid::setWidth(int twips)
{
    if (m_width == twips)
        return;
    m_width = twips;
    emit layoutChanged();
}

void Grid::setHeight(int twips)
{
    if (m_height == twips)
        return;
    m_height = twips;
    emit layoutChanged();
}

void Grid::setBackColor(Colour colour)
{
    if (m_backColor == colour)
        return;
    m_backColor = colour;
    emit layoutChanged();
}

void Grid::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit visibleChanged(visible);
}

bool Grid::Snapshot::operator==(const Snapshot &other) const
{
    return rows == other.rows && cols == other.cols && colours == other.colours && texts == other.texts && colWidths == other.colWidths
            && rowHeights == other.rowHeights && width == other.width && height == other.height
            && backColor == other.backColor && visible == other.visible;
}

Grid::Snapshot Grid::snapshot() const
{
    Snapshot snapshot;
    snapshot.rows = m_rows;
    snapshot.cols = m_cols;
    snapshot.row = m_row;
    snapshot.col = m_col;
    snapshot.colours.reserve(m_cells.size());
    bool anyText = false;
    for (const Cell &cell : m_cells) {
        snapshot.colours.push_back(cell.colour);
        anyText |= !cell.text.isEmpty();
    }
    if (anyText) {
        snapshot.texts.reserve(m_cells.size());
        for (const Cell &cell : m_cells)
            snapshot.texts.push_back(cell.text);
    }
    snapshot.colWidths = m_colWidths;
    snapshot.rowHeights = m_rowHeights;
    snapshot.width = m_width;
    snapshot.height = m_height;
    snapshot.backColor = m_backColor;
    snapshot.visible = m_visible;
    return snapshot;
}

void Grid::restore(const Snapshot &snapshot)
{
    m_rows = snapshot.rows;
    m_cols = snapshot.cols;
    m_row = snapshot.row;
    m_col = snapshot.col;
    m_cells.assign(snapshot.colours.size(), Cell());
    for (size_t i = 0; i < m_cells.size(); ++i) {
        m_cells[i].colour = snapshot.colours[i];
        if (!snapshot.texts.empty())
            m_cells[i].text = snapshot.texts[i];
    }
    m_colWidths = snapshot.colWidths;
    m_rowHeights = snapshot.rowHeights;
    m_width = snapshot.width;
    m_height = snapshot.height;
    m_backColor = snapshot.backColor;
    emit layoutChanged();
    setVisible(snapshot.visible);
}
