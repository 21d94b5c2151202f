#include "grid1actions.h"

#include "glypheditor.h"
#include "gridview.h"

#include <QAction>
#include <QMenu>

namespace {
// `first` and the platform's own keys for `standard`, each once: a key given
// twice to one action would make it ambiguous, and then it would not act.
QList<QKeySequence> keys(const QList<QKeySequence> &first, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> all = first;
    for (const QKeySequence &key : QKeySequence::keyBindings(standard)) {
        if (!all.contains(key))
            all << key;
    }
    return all;
}
} // namespace

Grid1Actions::Grid1Actions(GridView *Grid1, GlyphEditor &editor)
    : QObject(Grid1)
    , m_Grid1(Grid1)
    , m_editor(editor)
{
    m_undo = action("undo", tr("Undo"), keys({QKeySequence(Qt::CTRL | Qt::Key_Z)}, QKeySequence::Undo));
    m_redo = action("redo", tr("Redo"),
                    keys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                         QKeySequence::Redo));
    m_actions << nullptr;
    QAction *drawFromClipboard = action("drawFromClipboard", tr("Draw from clipboard"),
                                 keys({QKeySequence(Qt::CTRL | Qt::Key_V)}, QKeySequence::Paste));
    m_drawFromText2 = action("drawFromText2", tr("Draw from hex string"), {});
    m_actions << nullptr;
    QAction *left = action("shiftLeft", tr("Shift left"), {QKeySequence(Qt::SHIFT | Qt::Key_Left)});
    QAction *right = action("shiftRight", tr("Shift right"), {QKeySequence(Qt::SHIFT | Qt::Key_Right)});
    QAction *up = action("shiftUp", tr("Shift up"), {QKeySequence(Qt::SHIFT | Qt::Key_Up)});
    QAction *down = action("shiftDown", tr("Shift down"), {QKeySequence(Qt::SHIFT | Qt::Key_Down)});
    m_actions << nullptr;
    QAction *mirrorLeftRight =
            action("mirrorLeftRight", tr("Mirror left to right"), {QKeySequence(Qt::SHIFT | Qt::Key_H)});
    QAction *mirrorTopBottom =
            action("mirrorTopBottom", tr("Mirror top to bottom"), {QKeySequence(Qt::SHIFT | Qt::Key_V)});
    QAction *clockwise = action("rotateClockwise", tr("Rotate clockwise"), {QKeySequence(Qt::Key_BracketRight)});
    QAction *counterClockwise = action("rotateCounterClockwise", tr("Rotate counter-clockwise"),
                                       {QKeySequence(Qt::Key_BracketLeft)});
    m_actions << nullptr;
    QAction *open = action("openGlyphSet", tr("Open glyph set…"),
                           keys({QKeySequence(Qt::CTRL | Qt::Key_O)}, QKeySequence::Open));
    QAction *save = action("saveGlyphSet", tr("Save glyph set"),
                           keys({QKeySequence(Qt::CTRL | Qt::Key_S)}, QKeySequence::Save));
    QAction *exportToText = action("exportToText", tr("Export to Text"), {QKeySequence(Qt::CTRL | Qt::Key_E)});
    QAction *previous = action("previousGlyph", tr("Previous glyph"), {QKeySequence(Qt::Key_PageUp)});
    QAction *next = action("nextGlyph", tr("Next glyph"), {QKeySequence(Qt::Key_PageDown)});
    m_glyphSetActions = {save, exportToText, previous, next};
    setGlyphSetOpen(false);

    connect(m_undo, &QAction::triggered, &editor, &GlyphEditor::undo);
    connect(m_redo, &QAction::triggered, &editor, &GlyphEditor::redo);
    connect(drawFromClipboard, &QAction::triggered, this, &Grid1Actions::drawFromClipboardTriggered);
    connect(m_drawFromText2, &QAction::triggered, this, &Grid1Actions::drawFromText2Triggered);
    connect(left, &QAction::triggered, &editor, [&editor] { editor.shiftDrawing(0, -1); });
    connect(right, &QAction::triggered, &editor, [&editor] { editor.shiftDrawing(0, 1); });
    connect(up, &QAction::triggered, &editor, [&editor] { editor.shiftDrawing(-1, 0); });
    connect(down, &QAction::triggered, &editor, [&editor] { editor.shiftDrawing(1, 0); });
    connect(mirrorLeftRight, &QAction::triggered, &editor, &GlyphEditor::mirrorLeftRight);
    connect(mirrorTopBottom, &QAction::triggered, &editor, &GlyphEditor::mirrorTopBottom);
    connect(clockwise, &QAction::triggered, &editor, &GlyphEditor::rotateClockwise);
    connect(counterClockwise, &QAction::triggered, &editor, &GlyphEditor::rotateCounterClockwise);
    connect(open, &QAction::triggered, this, &Grid1Actions::openGlyphSetTriggered);
    connect(save, &QAction::triggered, this, &Grid1Actions::saveGlyphSetTriggered);
    connect(exportToText, &QAction::triggered, this, &Grid1Actions::exportToTextTriggered);
    connect(previous, &QAction::triggered, this, &Grid1Actions::previousGlyphTriggered);
    connect(next, &QAction::triggered, this, &Grid1Actions::nextGlyphTriggered);
    connect(&editor, &GlyphEditor::historyChanged, this, &Grid1Actions::updateHistoryActions);
    updateHistoryActions();
}

QAction *Grid1Actions::action(const char *name, const QString &text, const QList<QKeySequence> &shortcuts)
{
    auto *action = new QAction(text, m_Grid1);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WidgetShortcut);
    m_Grid1->addAction(action);
    m_actions << action;
    return action;
}

void Grid1Actions::setGlyphSetOpen(bool open)
{
    for (QAction *action : std::as_const(m_glyphSetActions))
        action->setEnabled(open);
}

void Grid1Actions::updateHistoryActions()
{
    m_undo->setEnabled(m_editor.canUndo());
    m_redo->setEnabled(m_editor.canRedo());
}

void Grid1Actions::showMenu(const QPoint &pos, bool text2HasText)
{
    if (!m_menu) {
        m_menu = new QMenu(m_Grid1);
        m_menu->setObjectName(QStringLiteral("Grid1Menu"));
        m_menu->setAccessibleName(tr("Editing grid actions"));
        for (QAction *action : std::as_const(m_actions)) {
            if (action)
                m_menu->addAction(action);
            else
                m_menu->addSeparator();
        }
        // Outside the menu it stays enabled: triggered there, it says itself
        // what is missing.
        connect(m_menu, &QMenu::aboutToHide, this, [this] { m_drawFromText2->setEnabled(true); });
    }
    m_drawFromText2->setEnabled(text2HasText);
    m_menu->popup(m_Grid1->mapToGlobal(pos));
}
