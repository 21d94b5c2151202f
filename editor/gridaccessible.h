#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class GridView;

// What a screen reader gets from a grid view: a table of its cells, each with
// its row, column, text and state (checked where the cell is filled, focused
// and selected where it is the keyboard cell), so that the drawing and the
// readouts can be read and walked cell by cell.
//
// The view tells the table what changed through the notify functions; they
// do nothing while no assistive technology listens.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridAccessible(GridView *view);
    ~GridAccessible() override;

    // Makes Qt use this interface for every grid view; the first view calls it.
    static void install();

    static void notifyKeyboardCellMoved(GridView *view, int oldRow, int oldCol);
    static void notifyFocusIn(GridView *view);
    static void notifyCellChanged(GridView *view, int row, int col);
    static void notifyLayoutChanged(GridView *view);

    GridView *view() const;

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The keyboard cell is the only selection; rows and columns are not
    // selected as a whole.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

private:
    void dropCells();

    // The cells handed out so far, by (column, row), registered with Qt,
    // which then owns them; they go when the grid's shape changes, and with
    // the table.
    mutable QHash<QPoint, QAccessible::Id> m_cells;
};
