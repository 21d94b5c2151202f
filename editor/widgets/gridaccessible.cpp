#include "gridaccessible.h"

#include "grid.h"
#include "gridview.h"

#include <QMetaObject>

namespace {

// One cell of a grid view. It holds its row and column, not an index, so a
// cell handed out before the grid changed shape still means the same cell,
// or reports itself invalid when the grid no longer has it.
class GridCellAccessible : public CellOf<GridView>
{
public:
    GridCellAccessible(GridView *view, int row, int col)
        : CellOf(view)
        , m_row(row)
        , m_col(col)
    {
    }

    bool isValid() const override { return m_view && m_view->grid().contains(m_row, m_col); }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return m_view->grid().textAt(m_row, m_col);
    }

    // In global device-independent pixels, as every widget's rectangle; a
    // hidden grid's cells are nowhere, as the grid itself.
    QRect rect() const override
    {
        if (!isValid() || !m_view->isVisible())
            return QRect();
        const QRect cell = m_view->cellRect(m_row, m_col);
        return QRect(m_view->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool keyboardCell = isSelected();
        state.focusable = m_view->focusPolicy() != Qt::NoFocus;
        state.focused = keyboardCell && m_view->hasFocus();
        state.selectable = true;
        state.selected = keyboardCell;
        state.checkable = m_view->isClickable();
        state.checked = m_view->isFilled(m_row, m_col);
        state.readOnly = !m_view->isClickable();
        state.invisible = !m_view->isVisible();
        return state;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return isValid() && m_view->keyboardCell() == QPoint(m_col, m_row); }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return m_row; }

private:
    const int m_row;
    const int m_col;
};

int indexOf(const GridView *view, int row, int col)
{
    return row * view->grid().cols() + col;
}

// Tells the screen reader which cell has the focus, where the view has it.
void sendKeyboardCellFocus(GridView *view)
{
    if (!view->hasFocus())
        return;
    const QPoint cell = view->keyboardCell();
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(indexOf(view, cell.y(), cell.x()));
    QAccessible::updateAccessibility(&focus);
}

void sendSelection(GridView *view, int row, int col)
{
    if (!view->grid().contains(row, col))
        return;
    QAccessibleEvent selection(view, QAccessible::Selection);
    selection.setChild(indexOf(view, row, col));
    QAccessible::updateAccessibility(&selection);
}
} // namespace

int GridAccessible::rowCount() const
{
    return view()->grid().rows();
}

int GridAccessible::columnCount() const
{
    return view()->grid().cols();
}

int GridAccessible::childCount() const
{
    return rowCount() * columnCount();
}

QAccessibleInterface *GridAccessible::makeCell(int index) const
{
    const int cols = columnCount();
    return new GridCellAccessible(view(), index / cols, index % cols);
}

int GridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->parent() != this)
        return -1;
    // A cell is the only kind of child; its own interface says where it is.
    auto *cell = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
    if (!cell || !view()->grid().contains(cell->rowIndex(), cell->columnIndex()))
        return -1;
    return indexOf(view(), cell->rowIndex(), cell->columnIndex());
}

QAccessibleInterface *GridAccessible::childAt(int x, int y) const
{
    const QPoint cell = view()->cellAt(view()->mapFromGlobal(QPoint(x, y)));
    return cell.x() < 0 ? nullptr : cellAt(cell.y(), cell.x());
}

QAccessibleInterface *GridAccessible::focusChild() const
{
    if (!view()->hasFocus())
        return nullptr;
    const QPoint cell = view()->keyboardCell();
    return cellAt(cell.y(), cell.x());
}

int GridAccessible::selectedCellCount() const
{
    return childCount() > 0 ? 1 : 0;
}

QList<QAccessibleInterface *> GridAccessible::selectedCells() const
{
    const QPoint cell = view()->keyboardCell();
    if (QAccessibleInterface *selected = cellAt(cell.y(), cell.x()))
        return {selected};
    return {};
}

QString GridAccessible::columnDescription(int column) const
{
    return QAccessibleWidget::tr("Column %1").arg(column + 1);
}

QString GridAccessible::rowDescription(int row) const
{
    return QAccessibleWidget::tr("Row %1").arg(row + 1);
}

void GridAccessible::notifyKeyboardCellMoved(GridView *view, int oldRow, int oldCol)
{
    if (!QAccessible::isActive())
        return;
    const QPoint cell = view->keyboardCell();
    sendSelection(view, oldRow, oldCol);
    sendSelection(view, cell.y(), cell.x());
    sendKeyboardCellFocus(view);
}

void GridAccessible::notifyFocusIn(GridView *view)
{
    if (!QAccessible::isActive())
        return;
    // Qt reports the view itself as focused after its focus-in event; the
    // cell follows that report, or the screen reader would stay on the view.
    QMetaObject::invokeMethod(view, [view] { sendKeyboardCellFocus(view); }, Qt::QueuedConnection);
}

void GridAccessible::notifyCellChanged(GridView *view, int row, int col)
{
    if (!QAccessible::isActive() || !view->grid().contains(row, col))
        return;
    QAccessibleTableModelChangeEvent change(view, QAccessibleTableModelChangeEvent::DataChanged);
    change.setFirstRow(row);
    change.setLastRow(row);
    change.setFirstColumn(col);
    change.setLastColumn(col);
    QAccessible::updateAccessibility(&change);

    // The colour shows as the checked state, the text as the name; the grid
    // does not say which of the two changed.
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent state(view, checked);
    state.setChild(indexOf(view, row, col));
    QAccessible::updateAccessibility(&state);
    QAccessibleEvent name(view, QAccessible::NameChanged);
    name.setChild(indexOf(view, row, col));
    QAccessible::updateAccessibility(&name);
}

void GridAccessible::notifyLayoutChanged(GridView *view)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(view, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    sendKeyboardCellFocus(view);
}
