#pragma once

#include "grid.h"

#include <QString>
#include <QVariant>

// Everything of the glyph editor that undo puts back: the four grids, Text2,
// what the size lists show, the orientation, chkdir, the lock, the owner of
// the drawing and the owner's own part, a value only the owner reads.
struct EditorState
{
    static constexpr qint64 kNoOwner = -1;

    Grid::Snapshot Grid1, Grid2, colGrid, rowGrid;
    QString Text2;
    QString lstColText, lstRowText;
    bool frmmatrixEnabled = true;
    bool optvertValue = false;
    int chkdirValue = 0;
    bool chkdirEnabled = true;
    qint64 drawingOwner = kNoOwner;
    QVariant ownerState;
};
