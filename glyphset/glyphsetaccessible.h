#pragma once

#include <QAccessibleWidget>
#include <QHash>

class GlyphSetView;

// What a screen reader gets from the glyph list: a table of the rows and
// columns the glyphs are shown in, each cell one glyph named as the model
// names it for screen readers, the current glyph's cell selected. (Qt's own
// interface for a list view reports one column of thousands of rows.)
// QListView announces a change of selection by the glyph's index, which is
// its cell's index here too.
class GlyphSetAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GlyphSetAccessible(GlyphSetView *view);
    ~GlyphSetAccessible() override;

    // Makes Qt use this interface for every glyph list; the first calls it.
    static void install();

    // Tells the screen reader that the cell of glyph `glyph` has the focus.
    static void notifyFocus(GlyphSetView *view, int glyph);
    // The view got the focus: so has its current glyph's cell.
    static void notifyFocusIn(GlyphSetView *view);

    GlyphSetView *view() const;

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
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // One glyph is chosen at a time; rows and columns are only how the
    // window's width arranges them.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

private:
    QAccessibleInterface *cell(int index) const;
    void dropCells();

    // The cells handed out so far, by index, registered with Qt, which then
    // owns them; they go when another set is opened, and with the table.
    mutable QHash<int, QAccessible::Id> m_cells;
};
