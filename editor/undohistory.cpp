#include "undohistory.h"

#include <utility>

bool UndoHistory::beginStep(const std::function<EditorState()> &present)
{
    if (m_depth++ > 0)
        return false;
    m_before = present();
    return true;
}

bool UndoHistory::endStep(const std::function<bool(const EditorState &)> &unchanged)
{
    Q_ASSERT(m_depth > 0);
    if (--m_depth > 0)
        return false;
    EditorState before = std::exchange(m_before, EditorState());
    if (unchanged(before))
        return false;
    record(std::move(before));
    return true;
}

EditorState UndoHistory::undo(EditorState present)
{
    Q_ASSERT(m_depth == 0 && !m_undo.empty());
    m_redo.push_back(std::move(present));
    return popUndo();
}

EditorState UndoHistory::redo(EditorState present)
{
    Q_ASSERT(m_depth == 0 && !m_redo.empty());
    pushUndo(std::move(present));
    EditorState target = std::move(m_redo.back());
    m_redo.pop_back();
    return target;
}

void UndoHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_undoText2Length = 0;
}

void UndoHistory::record(EditorState before)
{
    // An unchanged hex string, however long, is kept once for all the steps.
    if (!m_undo.empty() && !m_undo.back().Text2.isSharedWith(before.Text2) && m_undo.back().Text2 == before.Text2)
        before.Text2 = m_undo.back().Text2;
    pushUndo(std::move(before));
    m_redo.clear();
    while (m_undo.size() > size_t(kMaxSteps) || (m_undo.size() > 1 && m_undoText2Length > kMaxText2Length))
        dropOldestUndo();
}

bool UndoHistory::sharesText2WithPrevious(size_t i) const
{
    return i > 0 && m_undo[i].Text2.isSharedWith(m_undo[i - 1].Text2);
}

void UndoHistory::pushUndo(EditorState &&state)
{
    m_undo.push_back(std::move(state));
    if (!sharesText2WithPrevious(m_undo.size() - 1))
        m_undoText2Length += m_undo.back().Text2.size();
}

EditorState UndoHistory::popUndo()
{
    if (!sharesText2WithPrevious(m_undo.size() - 1))
        m_undoText2Length -= m_undo.back().Text2.size();
    EditorState state = std::move(m_undo.back());
    m_undo.pop_back();
    return state;
}

// A run of steps sharing the oldest text goes on counting it from the next.
void UndoHistory::dropOldestUndo()
{
    if (m_undo.size() == 1 || !sharesText2WithPrevious(1))
        m_undoText2Length -= m_undo.front().Text2.size();
    m_undo.pop_front();
}
