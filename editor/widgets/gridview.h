#pragma once

#include "colour.h"

#include <QPoint>
#include <QWidget>

#include <vector>

class Grid;

// Paints one Grid and turns presses on it into clicks; the same view serves
// the editing grid, the miniature and both readouts. The grid outlives the
// view.
//
// The view follows the model: its size is the grid's outer size, cells are
// painted in their colour (0 shows the grid's background colour) with their
// text centred, and only the cells that changed are repainted. Each cell
// carries its grid line on its right and bottom edge; a framed grid also has
// one along its left and top edge. The area beyond the cells is grey.
//
// A clickable grid reports Space on the keyboard cell as cellToggledByKey(),
// and a stroke of the left button as strokeStarted() for its first cell (the
// cell pressed, or the first one a button pressed outside the cells reaches),
// strokeEntered() for every further cell the pointer passes over, in order,
// and strokeEnded() at its end. A fast pointer skips no cell: the path between
// two positions is followed pixel by pixel. Arrow keys move the keyboard cell
// in every grid. The context menu key, Shift+F10 and the right button ask for
// a menu at the keyboard cell or the pointer. For screen readers the view's
// description names the keyboard cell, whether it is filled, and its text;
// they also get the view as a table of its cells (gridaccessible.h).
class GridView : public QWidget
{
    Q_OBJECT

public:
    explicit GridView(const Grid &grid, QWidget *parent = nullptr);

    const Grid &grid() const { return m_grid; }

    void setClickable(bool clickable) { m_clickable = clickable; }
    bool isClickable() const { return m_clickable; }
    void setFramed(bool framed);
    // Without grid lines the cells touch, as in the miniature.
    void setGridLines(bool shown);
    void setCellTextColour(Colour colour);

    // The cell under `pos` (x = column, y = row), or (-1, -1) outside the cells.
    QPoint cellAt(const QPoint &pos) const;
    // A cell's inner rectangle, without its grid lines.
    QRect cellRect(int row, int col) const;
    // Whether a cell shows a colour other than the grid's background.
    bool isFilled(int row, int col) const;
    // The cell the arrow keys move (x = column, y = row).
    QPoint keyboardCell() const { return m_keyboardCell; }

    QSize sizeHint() const override;

signals:
    void cellToggledByKey(int row, int col);
    void strokeStarted(int row, int col);
    void strokeEntered(int row, int col);
    void strokeEnded();
    void menuRequested(const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void updateCell(int row, int col);
    void updateLayout();
    void click(int row, int col);
    void strokeTo(const QPoint &pos);
    void endStroke();
    void moveKeyboardCell(int row, int col);
    void describeKeyboardCell();
    void drawCellText(QPainter &painter, const QRect &rect, const QString &text) const;

    const Grid &m_grid;
    bool m_clickable = false;
    bool m_framed = true;
    int m_lineWidth = 1; // grid line width in pixels, 0 without grid lines
    Colour m_cellTextColour = Colours::kSystemWindowText;
    // Pixel edges of the columns and rows: edge i is the left (top) of cell i,
    // the last one the right (bottom) of the last cell's grid line.
    std::vector<int> m_colEdges;
    std::vector<int> m_rowEdges;
    QPoint m_keyboardCell{0, 0};

    bool m_stroking = false;        // the left button is held
    QPoint m_strokePos;             // where the pointer was last seen
    QPoint m_strokeCell{-1, -1};    // the stroke's last cell; none yet
};
