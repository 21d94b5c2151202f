#include "undohistory.h"

#include <utility>

namespace {
// Puts back the newest state of `from`, keeping `present` in `to`.
EditorState goThrough(std::deque<EditorState> &from, std::deque<EditorState> &to, EditorState present)
{
    Q_ASSERT(!from.empty());
    to.push_back(std::move(present));
    EditorState target = std::move(from.back());
    from.pop_back();
    return target;
}
} // namespace

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
    Q_ASSERT(m_depth == 0);
    return goThrough(m_undo, m_redo, std::move(present));
}

EditorState UndoHistory::redo(EditorState present)
{
    Q_ASSERT(m_depth == 0);
    return goThrough(m_redo, m_undo, std::move(present));
}

void UndoHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
}

void UndoHistory::record(EditorState before)
{
    // An unchanged hex string, however long, is kept once for all the steps.
    if (!m_undo.empty() && !m_undo.back().Text2.isSharedWith(before.Text2) && m_undo.back().Text2 == before.Text2)
        before.Text2 = m_undo.back().Text2;
    m_undo.push_back(std::move(before));
    m_redo.clear();
    // The texts kept, each shared run of steps counted once.
    const auto keptLength = [this] {
        qsizetype length = 0;
        for (size_t i = 0; i < m_undo.size(); ++i) {
            if (i == 0 || !m_undo[i].Text2.isSharedWith(m_undo[i - 1].Text2))
                length += m_undo[i].Text2.size();
        }
        return length;
    };
    while (m_undo.size() > size_t(kMaxSteps) || (m_undo.size() > 1 && keptLength() > kMaxText2Length))
        m_undo.pop_front();
}
