#pragma once

#include <QObject>

class GlyphEditor;
class GridView;
class QAction;
class QMenu;
class QPoint;

// The editing grid's faster actions: undo and redo, drawing from bytes, and
// the shifts, mirror images and turns. Their shortcuts act while Grid1 has
// the focus; the context menu that lists them is built when it is first
// asked for, so that start-up does not pay for it.
class Grid1Actions : public QObject
{
    Q_OBJECT

public:
    Grid1Actions(GridView *Grid1, GlyphEditor &editor);

    // Shows the menu at `pos` in Grid1, each action enabled when it can act;
    // drawing from the clipboard always is, since asking the clipboard
    // whether it holds text can keep the window waiting.
    void showMenu(const QPoint &pos, bool text2HasText);

    // Whether a glyph set is open: saving, exporting and the glyph keys act
    // only then.
    void setGlyphSetOpen(bool open);

signals:
    void drawFromClipboardTriggered();
    void drawFromText2Triggered();
    void openGlyphSetTriggered();
    void saveGlyphSetTriggered();
    void exportToTextTriggered();
    void previousGlyphTriggered();
    void nextGlyphTriggered();

private:
    QAction *action(const char *name, const QString &text, const QList<QKeySequence> &shortcuts);
    void updateHistoryActions();

    GridView *m_Grid1;
    GlyphEditor &m_editor;
    QList<QAction *> m_actions; // in menu order; nullptr for a separator
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_drawFromText2 = nullptr;
    QList<QAction *> m_glyphSetActions; // those that need an open set
    QMenu *m_menu = nullptr;
};
