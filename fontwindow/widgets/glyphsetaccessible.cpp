#include "glyphsetaccessible.h"

#include "glyphsetview.h"

#include <QMetaObject>
#include <QPointer>

namespace {

// The cells of the table: every place of its rows and columns, those after
// the last glyph in the last row empty. Qt's Linux bridge answers a screen
// reader's question about any place with that place's cell, and does not
// expect there to be none.
int cellCount(const GlyphSetView *view)
{
    const int columns = view->columnsShown();
    const int glyphs = view->model()->rowCount();
    return columns > 0 ? (glyphs + columns - 1) / columns * columns : 0;
}

// One place of the table, as a rule a glyph's. It holds its index, not its
// row and column, which change whenever the window's width does.
class GlyphCellAccessible : public CellOf<GlyphSetView>
{
public:
    GlyphCellAccessible(GlyphSetView *view, int index)
        : CellOf(view)
        , m_index(index)
    {
    }

    int index() const { return m_index; }

    bool isValid() const override { return m_view && m_index < cellCount(m_view); }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return glyph().data(Qt::AccessibleTextRole).toString();
    }

    // In global pixels, as every widget's rectangle; an empty place is
    // nowhere.
    QRect rect() const override
    {
        if (!isValid() || !m_view->isVisible() || !glyph().isValid())
            return QRect();
        const QRect shown = m_view->visualRect(glyph());
        return QRect(m_view->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.invisible = !m_view->isVisible();
        if (!glyph().isValid())
            return state;
        state.focusable = true;
        state.focused = m_view->hasFocus() && m_view->currentIndex() == glyph();
        state.selectable = true;
        state.selected = isSelected();
        state.offscreen = !m_view->viewport()->rect().intersects(m_view->visualRect(glyph()));
        return state;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return isValid() && m_view->selectionModel()->isSelected(glyph()); }
    int columnIndex() const override { return isValid() ? m_index % m_view->columnsShown() : -1; }
    int rowIndex() const override { return isValid() ? m_index / m_view->columnsShown() : -1; }

private:
    // Invalid for an empty place.
    QModelIndex glyph() const { return m_view->model()->index(m_index, 0); }

    const int m_index;
};
} // namespace

int GlyphSetAccessible::childCount() const
{
    return cellCount(view());
}

int GlyphSetAccessible::columnCount() const
{
    return view()->columnsShown();
}

int GlyphSetAccessible::rowCount() const
{
    const int columns = columnCount();
    return columns > 0 ? childCount() / columns : 0;
}

QAccessibleInterface *GlyphSetAccessible::makeCell(int index) const
{
    return new GlyphCellAccessible(view(), index);
}

int GlyphSetAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *cell = dynamic_cast<const GlyphCellAccessible *>(child);
    if (!cell || !cell->isValid() || cell->parent() != this)
        return -1;
    return cell->index();
}

QAccessibleInterface *GlyphSetAccessible::childAt(int x, int y) const
{
    const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? cell(index.row()) : nullptr;
}

QAccessibleInterface *GlyphSetAccessible::focusChild() const
{
    if (!view()->hasFocus() || !view()->currentIndex().isValid())
        return nullptr;
    return cell(view()->currentIndex().row());
}

int GlyphSetAccessible::selectedCellCount() const
{
    return int(view()->selectionModel()->selectedIndexes().size());
}

QList<QAccessibleInterface *> GlyphSetAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (const QModelIndex &index : view()->selectionModel()->selectedIndexes())
        cells << cell(index.row());
    return cells;
}

void GlyphSetAccessible::notifyFocus(GlyphSetView *view, int glyph)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent focus(view, QAccessible::Focus);
    focus.setChild(glyph);
    QAccessible::updateAccessibility(&focus);
}

void GlyphSetAccessible::notifyFocusIn(GlyphSetView *view)
{
    if (!QAccessible::isActive())
        return;
    // Qt reports the view itself as focused after its focus-in event; the
    // cell follows that report, or the screen reader would stay on the view.
    QMetaObject::invokeMethod(
            view,
            [view] {
                if (view->hasFocus() && view->currentIndex().isValid())
                    notifyFocus(view, view->currentIndex().row());
            },
            Qt::QueuedConnection);
}
