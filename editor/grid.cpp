#include "grid.h"

#include <algorithm>

Grid::Grid(int rows, int cols, QObject *parent)
    : QObject(parent)
{
    reshape(rows, cols);
}

// Keeps every cell that exists in both shapes at its row and column; added
// cells are clear. The current cell moves in if it would fall outside.
void Grid::reshape(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    if (rows == m_rows && cols == m_cols)
        return;

    QList<Colour> colours(qsizetype(rows) * cols, Colours::kNone);
    QList<QString> texts(colours.size());
    m_textCount = 0;
    const int keepRows = std::min(rows, m_rows);
    const int keepCols = std::min(cols, m_cols);
    for (int r = 0; r < keepRows; ++r) {
        for (int c = 0; c < keepCols; ++c) {
            const qsizetype to = qsizetype(r) * cols + c;
            colours[to] = m_colours.at(indexOf(r, c));
            texts[to] = m_texts.at(indexOf(r, c));
            m_textCount += texts[to].isEmpty() ? 0 : 1;
        }
    }
    m_colours = std::move(colours);
    m_texts = std::move(texts);
    m_rows = rows;
    m_cols = cols;
    const qsizetype oldRows = m_rowHeights.size();
    const qsizetype oldCols = m_colWidths.size();
    m_rowHeights.resize(rows);
    m_colWidths.resize(cols);
    std::fill(m_rowHeights.begin() + std::min<qsizetype>(oldRows, rows), m_rowHeights.end(), kDefaultRowHeight);
    std::fill(m_colWidths.begin() + std::min<qsizetype>(oldCols, cols), m_colWidths.end(), kDefaultColWidth);
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
    if (!contains(m_row, m_col) || m_colours.at(indexOf(m_row, m_col)) == colour)
        return;
    m_colours[indexOf(m_row, m_col)] = colour;
    emit cellChanged(m_row, m_col);
}

void Grid::setText(const QString &text)
{
    if (!contains(m_row, m_col))
        return;
    const QString &cell = m_texts.at(indexOf(m_row, m_col));
    if (cell == text)
        return;
    m_textCount += (text.isEmpty() ? 0 : 1) - (cell.isEmpty() ? 0 : 1);
    m_texts[indexOf(m_row, m_col)] = text;
    emit cellChanged(m_row, m_col);
}

Colour Grid::cellBackColorAt(int row, int col) const
{
    return contains(row, col) ? m_colours.at(indexOf(row, col)) : Colours::kNone;
}

QString Grid::textAt(int row, int col) const
{
    return contains(row, col) ? m_texts.at(indexOf(row, col)) : QString();
}

void Grid::clear()
{
    const bool coloured = std::any_of(m_colours.cbegin(), m_colours.cend(),
                                      [](Colour colour) { return colour != Colours::kNone; });
    if (!coloured && m_textCount == 0)
        return;
    m_colours.fill(Colours::kNone);
    if (m_textCount > 0)
        m_texts.fill(QString());
    m_textCount = 0;
    emit layoutChanged();
}

int Grid::colWidth(int col) const
{
    return col >= 0 && col < m_cols ? m_colWidths.at(col) : 0;
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols || m_colWidths.at(col) == twips)
        return;
    m_colWidths[col] = twips;
    emit layoutChanged();
}

int Grid::rowHeight(int row) const
{
    return row >= 0 && row < m_rows ? m_rowHeights.at(row) : 0;
}

void Grid::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= m_rows || m_rowHeights.at(row) == twips)
        return;
    m_rowHeights[row] = twips;
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

Grid::Snapshot Grid::snapshot() const
{
    Snapshot snapshot;
    snapshot.rows = m_rows;
    snapshot.cols = m_cols;
    snapshot.row = m_row;
    snapshot.col = m_col;
    snapshot.colours = m_colours;
    if (m_textCount > 0)
        snapshot.texts = m_texts;
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
    m_colours = snapshot.colours;
    if (snapshot.texts.empty())
        m_texts = QList<QString>(m_colours.size());
    else
        m_texts = snapshot.texts;
    m_textCount = std::count_if(m_texts.cbegin(), m_texts.cend(), [](const QString &text) { return !text.isEmpty(); });
    m_colWidths = snapshot.colWidths;
    m_rowHeights = snapshot.rowHeights;
    m_width = snapshot.width;
    m_height = snapshot.height;
    m_backColor = snapshot.backColor;
    emit layoutChanged();
    setVisible(snapshot.visible);
}

bool Grid::matches(const Snapshot &snapshot) const
{
    if (snapshot.rows != m_rows || snapshot.cols != m_cols || snapshot.colours != m_colours
        || snapshot.colWidths != m_colWidths || snapshot.rowHeights != m_rowHeights || snapshot.width != m_width
        || snapshot.height != m_height || snapshot.backColor != m_backColor || snapshot.visible != m_visible)
        return false;
    return snapshot.texts.empty() ? m_textCount == 0 : snapshot.texts == m_texts;
}
