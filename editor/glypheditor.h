#pragma once

#include "bitorder.h"
#include "colour.h"
#include "drawing.h"
#include "editorstate.h"
#include "grid.h"
#include "readout.h"
#include "text2buffer.h"
#include "textbox.h"
#include "undohistory.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

// The glyph editor's state and its handlers, free of any widget.
//
// The drawing lives in the grids themselves, as it does on screen: a Grid1
// cell is set exactly when its colour is kSetColour, Grid2 mirrors it in
// yellow, colGrid and rowGrid hold one hexadecimal readout per matrix column or
// row, and Text2 holds all readouts of the grid in use run together. Beside the
// grids the editor keeps the few facts it needs of the other controls: whether
// the frame frmmatrix is enabled, which orientation option is selected, and
// the state of the check box chkdir.
//
// The window shows this state and forwards its events to the handlers below,
// which are named after the control and event that run them.
//
// Faster editing is built from those handlers, so that the readouts, Text2
// and the lock follow the same rules: a stroke clicks cells, and a transform
// or a drawing read from bytes clears the grid (Command6_Click) and clicks
// every set cell of the new drawing, row by row from the top, left to right;
// a rotation swaps the size through the size handlers first. Every action a
// user takes on the drawing, a whole stroke included, is one step that undo()
// takes back: the cells, readouts, Text2, the size and what the size lists
// show, the orientation, chkdir and the lock, all as they were.
class GlyphEditor : public QObject
{
    Q_OBJECT

public:
    static constexpr Colour kSetColour = Colours::kBlue;       // a set Grid1 cell
    static constexpr Colour kClearColour = Colours::kWhite;    // a Grid1 cell cleared by a click
    static constexpr Colour kMirrorColour = Colours::kYellow;  // a set Grid2 cell

    static constexpr int kMatrixMin = Drawing::kMinSize;
    static constexpr int kMatrixMax = Drawing::kMaxSize;
    static constexpr int kEditCellTwips = 220;   // Grid1 cells, colGrid columns, rowGrid rows
    static constexpr int kMiniCellTwips = 30;    // Grid2 cells

    // The editor writes the hex string into `Text2`, which must outlive it.
    explicit GlyphEditor(TextBox &Text2, QObject *parent = nullptr);

    Grid &Grid1() { return m_Grid1; }
    Grid &Grid2() { return m_Grid2; }
    Grid &colGrid() { return m_colGrid; }
    Grid &rowGrid() { return m_rowGrid; }
    const Grid &Grid1() const { return m_Grid1; }
    const Grid &Grid2() const { return m_Grid2; }
    const Grid &colGrid() const { return m_colGrid; }
    const Grid &rowGrid() const { return m_rowGrid; }

    bool frmmatrixEnabled() const { return m_frmmatrixEnabled; }
    // True when optvert is the selected option; opthoriz is selected otherwise.
    bool optvertValue() const { return m_optvertValue; }
    int chkdirValue() const { return m_chkdirValue; }
    bool chkdirEnabled() const { return m_chkdirEnabled; }
    // The order optvert and chkdir choose, in which the readouts take their
    // values.
    BitOrder order() const;
    // The user checks or unchecks chkdir (0 or 1). Refused, returning false,
    // while the check box or its frame is disabled.
    bool setChkdirValue(int value);

    // What the size lists show: "Width" and "Height" until a size is chosen.
    QString lstColText() const { return m_lstColText; }
    QString lstRowText() const { return m_lstRowText; }

    // The hex string. The readout update writes it, Clear empties it, and the
    // user may edit it; line breaks in it are carriage return plus line feed.
    QString Text2() const { return m_Text2.text(); }

    // The Load steps for the grids: outer sizes, every cell size for indexes
    // 0 to 15, the miniature's background, the readouts' fixed dimension.
    void frmMain_LoadGrids(Colour windowBackColour);

    // A click on the Grid1 cell at `row`, `col`.
    void Grid1_Click(int row, int col);

    // A stroke painted with the left button held: the pressed cell is
    // clicked, then each further cell the pointer enters is clicked if its
    // state differs from the state the first cell took, so a stroke only sets
    // or only clears. Any other action ends a stroke left open.
    void Grid1_MouseDown(int row, int col);
    void Grid1_MouseMove(int row, int col);
    void Grid1_MouseUp();
    void cmdInverse_Click();  // Invert
    void Command6_Click();    // Clear the drawing

    // A size chosen from a list; `itemText` is the chosen item's text. Text
    // that is not a size from 3 to 16 changes nothing.
    void lstCol_Click(const QString &itemText);
    void lstRow_Click(const QString &itemText);

    // The user selects an orientation option. A disabled frmmatrix passes no
    // input, so then nothing happens.
    void optvert_Click();
    void opthoriz_Click();

    // The drawing as Grid1 holds it: a cell is set when its colour is kSetColour.
    Drawing drawing() const;

    // The drawing moved by one cell, mirrored, or turned a quarter; a turn
    // swaps width and height.
    void shiftDrawing(int rowStep, int colStep);
    void mirrorLeftRight();
    void mirrorTopBottom();
    void rotateClockwise();
    void rotateCounterClockwise();

    // Draws the values that `text` gives for the readout in use, as
    // ByteReader reads them. Returns false, changing nothing, with the reason
    // in `error`, when the text gives no values that fit.
    bool drawFromText(QStringView text, QString *error);
    // Draws a glyph of a set as a drawing from bytes is drawn, but at the
    // glyph's own size, taken through the size handlers, and marks the
    // drawing as that glyph's: `owner` is whatever the set uses to name it.
    // Undo and redo put the owner back with the drawing, so that a set can
    // tell which glyph a restored drawing belongs to.
    void drawGlyph(const Drawing &drawing, qint64 owner);
    // The owner of the drawing in Grid1: the one last drawn by drawGlyph(),
    // or kNoOwner.
    static constexpr qint64 kNoOwner = EditorState::kNoOwner;
    qint64 drawingOwner() const { return m_drawingOwner; }

    // The owner keeps what it changes beside the drawing, such as a font's
    // metrics, in the one history too, as a value the editor only stores and
    // compares: `take` gives it whenever the editor takes its state, `give`
    // gets back the value of a state that undo or redo puts back, before
    // historyChanged. So the editor needs to know nothing of what an owner
    // is, and each undo step takes back whichever kind of change came last.
    void setOwnerState(std::function<QVariant()> take, std::function<void(const QVariant &)> give);
    // Runs `change`, a change of the owner's own state, as one step.
    void changeOwnerState(const std::function<void()> &change);

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();

    // How much the history keeps: see UndoHistory.
    static constexpr int kMaxUndoSteps = UndoHistory::kMaxSteps;
    static constexpr qsizetype kMaxUndoText2Length = UndoHistory::kMaxText2Length;

signals:
    void frmmatrixEnabledChanged(bool enabled);
    // optvertValue(), chkdirValue() or chkdirEnabled() changed.
    void matrixOptionsChanged();
    void sizeListsChanged();
    // canUndo() or canRedo() may have changed.
    void historyChanged();

private:
    // One step to undo, held while a handler runs; handlers that other
    // handlers call make no steps of their own.
    class Step
    {
    public:
        explicit Step(GlyphEditor &editor);
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        GlyphEditor &m_editor;
    };

    EditorState state() const;
    QVariant ownerState() const;
    void restore(const EditorState &state);
    bool holds(const EditorState &state) const;
    void beginStep();
    void endStep();
    void goThroughHistory(bool back);
    void draw(const Drawing &drawing, bool turned = false);
    void updateReadout();
    void updateVerticalReadout();
    void updateHorizontalReadout();
    QString padAndCollect(Grid &readout);
    void setFrmmatrixEnabled(bool enabled);
    static int sizeFromItem(const QString &itemText);
    void resizeMatrix(const QString &itemText, Grid &readout, QString &listText, void (Grid::*setCount)(int),
                      void (Grid::*setCellSize)(int, int), void (Grid::*setOuterSize)(int));
    static void toggleCell(Grid &grid, Colour setColour, Colour clearColour);

    Text2Buffer m_Text2;
    UndoHistory m_history;

    Grid m_Grid1{kMatrixMax, kMatrixMax};
    Grid m_Grid2{kMatrixMax, kMatrixMax};
    Grid m_colGrid{1, kMatrixMax};
    Grid m_rowGrid{kMatrixMax, 1};

    bool m_frmmatrixEnabled = true;
    bool m_optvertValue = false;
    int m_chkdirValue = 0;
    bool m_chkdirEnabled = true;
    QString m_lstColText = QStringLiteral("Width");
    QString m_lstRowText = QStringLiteral("Height");
    qint64 m_drawingOwner = kNoOwner;
    std::function<QVariant()> m_takeOwnerState;
    std::function<void(const QVariant &)> m_giveOwnerState;

    bool m_strokeOpen = false;   // between Grid1_MouseDown and Grid1_MouseUp
    bool m_strokeActing = false; // while a stroke clicks
    bool m_strokeSets = false;   // the state the stroke's first cell took
};
