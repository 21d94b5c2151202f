#pragma once

#include "editorstate.h"

#include <deque>
#include <functional>

// The editor's steps to undo and redo, each kept as the state before it.
//
// Steps nest: a step begun while another is open is part of it, so a handler
// that calls other handlers makes one step, and a stroke that keeps its step
// open over several events makes one too. Only the outermost step is kept,
// and only when it changed something.
class UndoHistory
{
public:
    // The most steps kept to undo; fewer only while the Text2 texts they
    // keep would pass kMaxText2Length characters in all, counting a text
    // that several steps in a row share once. The newest step is kept
    // whatever its text.
    static constexpr int kMaxSteps = 1000;
    static constexpr qsizetype kMaxText2Length = qsizetype(64) * 1024 * 1024;

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

    bool stepOpen() const { return m_depth > 0; }
    // Begins a step. `present` is asked for the state before it only when
    // this is the outermost step, and then beginStep() returns true.
    bool beginStep(const std::function<EditorState()> &present);
    // Ends a step. The outermost keeps the state from before it and drops
    // what could have been redone, unless `unchanged` says that the editor
    // still holds that state: a step that changed nothing, or whose changes
    // cancel out (a drawing cleared and drawn again), is none. Returns
    // whether a step was kept.
    bool endStep(const std::function<bool(const EditorState &before)> &unchanged);

    // The state to put back, taking `present` to redo or undo it again.
    // Only while canUndo() (canRedo()) and no step is open.
    EditorState undo(EditorState present);
    EditorState redo(EditorState present);

    void clear();

private:
    void record(EditorState before);
    bool sharesText2WithPrevious(size_t i) const;
    void pushUndo(EditorState &&state);
    EditorState popUndo();
    void dropOldestUndo();

    int m_depth = 0;
    EditorState m_before; // of the step open
    std::deque<EditorState> m_undo;
    std::deque<EditorState> m_redo;
    // The length of the texts that m_undo keeps, each run of steps that
    // share one counted once: kept as the steps come and go, as summing a
    // thousand steps for every click would cost more than the click.
    qsizetype m_undoText2Length = 0;
};
