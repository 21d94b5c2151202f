#pragma once

#include "colour.h"

#include <QObject>
#include <QString>

#include <QList>

// The state of one grid control: a table of cells, each with a background
// colour and a text, addressed through a current row and column that act as a
// cursor. Rows and columns are numbered from 0; there are no header rows or
// columns. Sizes are in twips (15 twips make one pixel at 96 dpi).
//
// The grid knows nothing of how it is drawn. A view listens to the signals:
// cellChanged() for one cell's colour or text, layoutChanged() for anything
// that moves or repaints the whole grid, visibleChanged() for show and hide.
//
// Indexes outside the grid are ignored by the setters and read as 0 or an
// empty text by the getters, so no call can reach outside the table.
class Grid : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultColWidth = 960;
    static constexpr int kDefaultRowHeight = 240;

    explicit Grid(int rows = 2, int cols = 2, QObject *parent = nullptr);

    int rows() const { return m_rows; }
    void setRows(int rows);
    int cols() const { return m_cols; }
    void setCols(int cols);

    // The current cell, the one the colour and text operations address.
    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);

    // Background colour of the current cell; 0 means the cell has no colour
    // of its own and shows the grid's background colour.
    Colour cellBackColor() const { return cellBackColorAt(m_row, m_col); }
    void setCellBackColor(Colour colour);
    QString text() const { return textAt(m_row, m_col); }
    void setText(const QString &text);

    // Whether (row, col) is a cell of the grid.
    bool contains(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    Colour cellBackColorAt(int row, int col) const;
    QString textAt(int row, int col) const;

    // Every cell's text empty and colour 0; counts, sizes, current cell and
    // background colour stay as they are.
    void clear();

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // The control's outer size in its container.
    int width() const { return m_width; }
    void setWidth(int twips);
    int height() const { return m_height; }
    void setHeight(int twips);

    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // Everything the grid holds, to be put back as it was by restore().
    struct Snapshot
    {
        int rows = 0;
        int cols = 0;
        int row = 0;
        int col = 0;
        QList<Colour> colours;
        QList<QString> texts; // empty when every text is
        QList<int> colWidths;
        QList<int> rowHeights;
        int width = 0;
        int height = 0;
        Colour backColor = 0;
        bool visible = true;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot &snapshot);
    // Whether the grid holds what `snapshot` holds: the same cells, sizes and
    // look; the current cell, a cursor that no user sees, does not count.
    bool matches(const Snapshot &snapshot) const;

signals:
    void cellChanged(int row, int col);
    void layoutChanged();
    void visibleChanged(bool visible);

private:
    qsizetype indexOf(int row, int col) const { return qsizetype(row) * m_cols + col; }
    void reshape(int rows, int cols);

    int m_rows = 0;
    int m_cols = 0;
    int m_row = 0;
    int m_col = 0;
    // The cells, row-major, m_rows * m_cols: their colours and texts apart,
    // in implicitly shared lists, so that a snapshot costs no copy until the
    // grid next changes; m_textCount of the texts are not empty.
    QList<Colour> m_colours;
    QList<QString> m_texts;
    qsizetype m_textCount = 0;
    QList<int> m_colWidths;
    QList<int> m_rowHeights;
    int m_width = 0;
    int m_height = 0;
    Colour m_backColor = Colours::kSystemWindow;
    bool m_visible = true;
};
