#include "mainwindow.h"

#include "glyphsetwindow.h"
#include "grid1actions.h"
#include "gridview.h"
#include "placement.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>

// The main window's side of glyph sets: the set window it opens, the menu
// commands and dropped files it forwards there, and the export that comes
// back into Text1.

GlyphSetWindow *MainWindow::glyphSetWindow()
{
    if (!m_glyphSet) {
        m_glyphSet = new GlyphSetWindow(m_editor, m_output);
        m_loadedWindows.removeIf([](const QPointer<QWidget> &loaded) { return loaded.isNull(); });
        m_loadedWindows.append(m_glyphSet.data());
        GlyphSetSession &session = m_glyphSet->session();
        connect(&session, &GlyphSetSession::opened, m_Grid1Actions, [this] { m_Grid1Actions->setGlyphSetOpen(true); });
        connect(&session, &GlyphSetSession::closed, m_Grid1Actions, [this] { m_Grid1Actions->setGlyphSetOpen(false); });
        connect(m_glyphSet, &GlyphSetWindow::exportReady, this, &MainWindow::glyphSet_Export);
        connect(m_glyphSet, &GlyphSetWindow::outputOptionsRestored, this, &MainWindow::glyphSet_OptionsRestored);
        connect(m_glyphSet, &GlyphSetWindow::placeWindow, this, &MainWindow::placeBeside);
        placeBeside(m_glyphSet);
    }
    return m_glyphSet;
}

// Beside this window and never over its grids, on the screen this window is
// on. A window not yet shown has no frame: it is taken to get this window's.
void MainWindow::placeBeside(QWidget *window) const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    QRect grids;
    for (const GridView *grid : {m_Grid1, m_colGrid, m_rowGrid})
        grids |= QRect(grid->mapToGlobal(QPoint(0, 0)), grid->size());
    window->setGeometry(Placement::besideMain(frame, grids, window->size(),
                                              window->minimumSizeHint().expandedTo(window->minimumSize()),
                                              screen->availableGeometry(), margins));
}

bool MainWindow::mayGlyphSetClose()
{
    return !m_glyphSet || m_glyphSet->maySetClose();
}

bool MainWindow::openGlyphSet(const QString &path)
{
    return glyphSetWindow()->openFile(path);
}

void MainWindow::Grid1_OpenGlyphSet()
{
    GlyphSetWindow *window = glyphSetWindow();
    window->show();
    window->raise();
    window->cmdOpen_Click();
}

void MainWindow::Grid1_SaveGlyphSet()
{
    if (m_glyphSet)
        m_glyphSet->cmdSave_Click();
}

void MainWindow::Grid1_ExportToText()
{
    if (m_glyphSet)
        m_glyphSet->cmdExport_Click();
}

void MainWindow::Grid1_PreviousGlyph()
{
    if (m_glyphSet)
        m_glyphSet->session().choosePrevious();
}

void MainWindow::Grid1_NextGlyph()
{
    if (m_glyphSet)
        m_glyphSet->session().chooseNext();
}

// The export goes to the end of Text1, as Copy to Text's lines do.
void MainWindow::glyphSet_Export(const QString &text)
{
    showAppended(m_output.appendLines(text), QStringLiteral("The export"));
}

// Through the boxes, whose change handlers set prefix and delimiter.
void MainWindow::glyphSet_OptionsRestored(const QString &prefix, const QString &delimiter)
{
    m_txtfmt->setText(prefix);
    m_txtdelim->setText(delimiter);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    openGlyphSet(urls.constFirst().toLocalFile());
}
