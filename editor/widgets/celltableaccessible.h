#pragma once

#include <QAccessibleTableCellInterface>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

// A widget that screen readers get as a table of cells, each made when it is
// first asked for and kept: Qt owns a registered interface, and the same cell
// must come back as the same interface. They go when the table's shape
// changes (a model reset) and with the table. Only cells are selected, never
// whole rows or columns.
class CellTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit CellTableAccessible(QWidget *widget);
    ~CellTableAccessible() override;

    // QAccessibleInterface
    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessibleInterface *child(int index) const override { return cell(index); }

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

protected:
    // The cell at `index`, row by row (row * columnCount() + column); none
    // beyond childCount().
    QAccessibleInterface *cell(int index) const;

private:
    virtual QAccessibleInterface *makeCell(int index) const = 0;
    void dropCells();

    mutable QHash<int, QAccessible::Id> m_cells;
};

// The table of one kind of view: Qt makes `Accessible`, this class's
// subclass, for every `View` once install() has run (the first view calls
// it).
template <class View, class Accessible>
class CellTableOf : public CellTableAccessible
{
public:
    explicit CellTableOf(View *view)
        : CellTableAccessible(view)
    {
    }

    static void install()
    {
        static const bool installed = (QAccessible::installFactory(&factory), true);
        Q_UNUSED(installed);
    }

    View *view() const { return static_cast<View *>(widget()); }

private:
    static QAccessibleInterface *factory(const QString &className, QObject *object)
    {
        if (className == QLatin1String(View::staticMetaObject.className()))
            if (auto *view = qobject_cast<View *>(object))
                return new Accessible(view);
        return nullptr;
    }
};

// One cell of a `View`'s table: a leaf without an object of its own, one row
// and one column in size, whose table is the view's interface. A subclass
// tells whether it is still valid, its text, place, state and selection, and
// its row and column.
template <class View>
class CellOf : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    explicit CellOf(View *view)
        : m_view(view)
    {
    }

    // QAccessibleInterface
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return table() ? table()->window() : nullptr; }
    QAccessibleInterface *parent() const override { return table(); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString &) override {}
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    // QAccessibleTableCellInterface
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }

protected:
    QPointer<View> m_view;
};
