#include "celltableaccessible.h"

CellTableAccessible::CellTableAccessible(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::Table)
{
}

CellTableAccessible::~CellTableAccessible()
{
    dropCells();
}

void *CellTableAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface *CellTableAccessible::cellAt(int row, int column) const
{
    const int columns = columnCount();
    if (row < 0 || column < 0 || column >= columns)
        return nullptr;
    return cell(row * columns + column);
}

QAccessibleInterface *CellTableAccessible::cell(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_cells.constFind(index); found != m_cells.cend())
        return QAccessible::accessibleInterface(*found);
    QAccessibleInterface *made = makeCell(index);
    m_cells.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

void CellTableAccessible::modelChange(QAccessibleTableModelChangeEvent *event)
{
    if (event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset)
        dropCells();
}

void CellTableAccessible::dropCells()
{
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}
