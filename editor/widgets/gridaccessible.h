#pragma once

#include "celltableaccessible.h"

#include <QPointer>

class GridView;

// What a screen reader gets from a grid view: a table of its cells, each with
// its row, column, text and state (checked where the cell is filled, focused
// and selected where it is the keyboard cell), so that the drawing and the
// readouts can be read and walked cell by cell.
//
// The view tells the table what changed through the notify functions; they
// do nothing while no assistive technology listens.
class GridAccessible : public CellTableOf<GridView, GridAccessible>
{
public:
    using CellTableOf::CellTableOf;

    static void notifyKeyboardCellMoved(GridView *view, int oldRow, int oldCol);
    static void notifyFocusIn(GridView *view);
    static void notifyCellChanged(GridView *view, int row, int col);
    static void notifyLayoutChanged(GridView *view);

    // QAccessibleInterface
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface: the keyboard cell is the only selection.
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;

private:
    QAccessibleInterface *makeCell(int index) const override;
};
