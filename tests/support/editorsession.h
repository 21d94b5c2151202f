#pragma once

#include "glypheditor.h"

#include <QStringList>

// Steps a test takes on the editor core, as a user would take them.
namespace EditorSession {

// The state the window starts in: the horizontal start state applied, then the
// grids sized as the window loads them.
inline void startUp(GlyphEditor &editor)
{
    editor.opthoriz_Click();
    editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);
}

inline void chooseSize(GlyphEditor &editor, int cols, int rows)
{
    editor.lstCol_Click(QString::number(cols));
    editor.lstRow_Click(QString::number(rows));
}

inline bool isSet(const GlyphEditor &editor, int row, int col)
{
    return editor.Grid1().cellBackColorAt(row, col) == GlyphEditor::kSetColour;
}

// The texts of the readout cells, in readout order.
inline QStringList readoutTexts(const Grid &readout)
{
    QStringList texts;
    for (int r = 0; r < readout.rows(); ++r) {
        for (int c = 0; c < readout.cols(); ++c)
            texts << readout.textAt(r, c);
    }
    return texts;
}

} // namespace EditorSession
