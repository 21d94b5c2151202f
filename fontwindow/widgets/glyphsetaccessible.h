#pragma once

#include "celltableaccessible.h"

class GlyphSetView;

// What a screen reader gets from the glyph list: a table of the rows and
// columns the glyphs are shown in, each cell one glyph named as the model
// names it for screen readers, the current glyph's cell selected. (Qt's own
// interface for a list view reports one column of thousands of rows.)
// QListView announces a change of selection by the glyph's index, which is
// its cell's index here too.
class GlyphSetAccessible : public CellTableOf<GlyphSetView, GlyphSetAccessible>
{
public:
    using CellTableOf::CellTableOf;

    // Tells the screen reader that the cell of glyph `glyph` has the focus.
    static void notifyFocus(GlyphSetView *view, int glyph);
    // The view got the focus: so has its current glyph's cell.
    static void notifyFocusIn(GlyphSetView *view);

    // QAccessibleInterface
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface: one glyph is chosen at a time; rows and
    // columns are only how the window's width arranges them.
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    int columnCount() const override;
    int rowCount() const override;

private:
    QAccessibleInterface *makeCell(int index) const override;
};
