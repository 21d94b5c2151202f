#include "mainwindow.h"

#include "aboutwindow.h"
#include "glyphsetwindow.h"
#include "grid1actions.h"
#include "gridview.h"
#include "helpwindow.h"
#include "look.h"
#include "placement.h"
#include "plaintextbox.h"
#include "sizelist.h"
#include "startup.h"
#include "twips.h"
#include "windowaccessible.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QMimeData>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace {
const QString kAppTitle = QLatin1String(Startup::kApplicationName);

using Look::makeControl;

QGroupBox *frame(const char *name, const QString &caption, QWidget *parent)
{
    return makeControl<QGroupBox>(name, parent, caption);
}

QLabel *label(const char *name, const QString &caption, QWidget *parent)
{
    return makeControl<QLabel>(name, parent, caption);
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    return makeControl<QPushButton>(name, parent, caption);
}

// A list's edit field is a control of its own to a screen reader.
void nameSizeList(SizeList *list, const QString &name)
{
    list->setAccessibleName(name);
    list->lineEdit()->setAccessibleName(name);
}

// The cursor of a QTextEdit-like box at its end, kept in view.
void showEnd(PlainTextBox *box)
{
    box->moveCursor(QTextCursor::End);
    box->ensureCursorVisible();
}
} // namespace

MainWindow::MainWindow()
{
    WindowAccessible::install();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KELVOR 2.1"));
    createControls();
    connectControls();
    placeControls();
    orderTabs();
    // The option created selected reports its click while the window is built.
    m_editor.opthoriz_Click();
    frmMain_Load();
    m_Grid1->setFocus();
    // A font file dropped on the window opens as a glyph set.
    setAcceptDrops(true);
}

MainWindow::~MainWindow()
{
    // Exit ends the program with whatever windows are open; they go with it,
    // without their close handling.
    for (const QPointer<QWidget> &window : std::as_const(m_loadedWindows))
        delete window.data();
}

void MainWindow::createControls()
{
    QWidget *const client = &m_client;
    m_Frame4 = frame("Frame4", QStringLiteral("Settings"), client);
    m_lstCol = makeControl<SizeList>("lstCol", m_Frame4, QStringLiteral("Width"), GlyphEditor::kMatrixMin,
                                GlyphEditor::kMatrixMax);
    m_lstRow = makeControl<SizeList>("lstRow", m_Frame4, QStringLiteral("Height"), GlyphEditor::kMatrixMin,
                                GlyphEditor::kMatrixMax);
    m_Label1 = label("Label1", QStringLiteral("Display"), m_Frame4);
    m_cmdInverse = button("cmdInverse", QStringLiteral("Invert"), m_Frame4);
    m_Frame1 = frame("Frame1", QString(), m_Frame4);
    m_Grid2 = makeControl<GridView>("Grid2", m_Frame1, m_editor.Grid2());

    m_frmmatrix = frame("frmmatrix", QStringLiteral("Matrix"), client);
    m_Label4 = label("Label4", QStringLiteral("Horiz"), m_frmmatrix);
    m_Label5 = label("Label5", QStringLiteral("Vert"), m_frmmatrix);
    m_opthoriz = makeControl<QRadioButton>("opthoriz", m_frmmatrix);
    m_optvert = makeControl<QRadioButton>("optvert", m_frmmatrix);
    m_Label8 = label("Label8", QStringLiteral("Lt to Rt"), m_frmmatrix);
    m_chkdir = makeControl<QCheckBox>("chkdir", m_frmmatrix);

    m_Frame9 = frame("Frame9", QStringLiteral("Binary to Hex Utility"), client);
    m_Label6 = label("Label6", QStringLiteral("KELVOR 2.1 Beta"), m_Frame9);
    m_Label7 = label("Label7", QStringLiteral("Feedback: see the README"), m_Frame9);
    m_Command2 = button("Command2", QStringLiteral("&Help"), m_Frame9);
    m_Command11 = button("Command11", QStringLiteral("&About"), m_Frame9);

    m_Frame7 = frame("Frame7", QStringLiteral("Format"), client);
    m_Label2 = label("Label2", QStringLiteral("Preface"), m_Frame7);
    m_txtfmt = makeControl<QLineEdit>("txtfmt", m_Frame7, QStringLiteral("$"));
    m_Label3 = label("Label3", QStringLiteral("Delimiter"), m_Frame7);
    m_txtdelim = makeControl<QLineEdit>("txtdelim", m_Frame7, QStringLiteral(","));

    m_Frame3 = frame("Frame3", QStringLiteral("Editable Text"), client);
    m_Text1 = makeControl<PlainTextBox>("Text1", m_Frame3, &m_Text1Document);
    m_Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_Frame2 = frame("Frame2", QStringLiteral("Copy to Clipboard"), client);
    m_Command12 = button("Command12", QStringLiteral("Copy"), m_Frame2);
    m_Command9 = button("Command9", QStringLiteral("Clear"), m_Frame2);

    m_Frame5 = frame("Frame5", QStringLiteral("Grid"), client);
    m_Command1 = button("Command1", QStringLiteral("Copy to Text"), m_Frame5);
    m_Command6 = button("Command6", QStringLiteral("Clear"), m_Frame5);

    m_Frame6 = frame("Frame6", QStringLiteral("Exit"), client);
    m_Command10 = button("Command10", QStringLiteral("E&xit "), m_Frame6);

    m_Text2 = makeControl<PlainTextBox>("Text2", client, &m_Text2Document);
    m_Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_colGrid = makeControl<GridView>("colGrid", client, m_editor.colGrid());
    m_rowGrid = makeControl<GridView>("rowGrid", client, m_editor.rowGrid());
    m_Grid1 = makeControl<GridView>("Grid1", client, m_editor.Grid1());
    m_Grid1->setClickable(true);
    m_Grid1->setToolTip(QStringLiteral("Click or drag to draw; Ctrl+Z undoes, Shift+arrows shift, Shift+H and "
                                       "Shift+V mirror, [ and ] turn, Ctrl+V draws bytes; right-click for all"));
    m_Grid1Actions = new Grid1Actions(m_Grid1, m_editor);

    // Names for screen readers where a control has no caption of its own.
    m_opthoriz->setAccessibleName(QStringLiteral("Horizontal"));
    m_optvert->setAccessibleName(QStringLiteral("Vertical"));
    m_chkdir->setAccessibleName(QStringLiteral("Left to right"));
    nameSizeList(m_lstCol, QStringLiteral("Matrix width"));
    nameSizeList(m_lstRow, QStringLiteral("Matrix height"));
    m_Command10->setAccessibleName(QStringLiteral("Exit")); // without the caption's trailing blank
    m_Grid1->setAccessibleName(QStringLiteral("Editing grid"));
    m_Grid2->setAccessibleName(QStringLiteral("Miniature"));
    m_colGrid->setAccessibleName(QStringLiteral("Column values"));
    m_rowGrid->setAccessibleName(QStringLiteral("Row values"));
    m_Text1->setAccessibleName(QStringLiteral("Editable text"));
    m_Text2->setAccessibleName(QStringLiteral("Hex string"));
    m_txtfmt->setAccessibleName(QStringLiteral("Preface"));
    m_txtdelim->setAccessibleName(QStringLiteral("Delimiter"));
}

void MainWindow::connectControls()
{
    // A mouse click is a stroke of one cell; Space is the keyboard's click.
    connect(m_Grid1, &GridView::cellToggledByKey, &m_editor, &GlyphEditor::Grid1_Click);
    connect(m_Grid1, &GridView::strokeStarted, &m_editor, &GlyphEditor::Grid1_MouseDown);
    connect(m_Grid1, &GridView::strokeEntered, &m_editor, &GlyphEditor::Grid1_MouseMove);
    connect(m_Grid1, &GridView::strokeEnded, &m_editor, &GlyphEditor::Grid1_MouseUp);
    connect(m_Grid1, &GridView::menuRequested, this, &MainWindow::Grid1_ContextMenu);
    connect(m_Grid1Actions, &Grid1Actions::drawFromClipboardTriggered, this, &MainWindow::Grid1_DrawFromClipboard);
    connect(m_Grid1Actions, &Grid1Actions::drawFromText2Triggered, this, &MainWindow::Grid1_DrawFromText2);
    connect(m_Grid1Actions, &Grid1Actions::openGlyphSetTriggered, this, &MainWindow::Grid1_OpenGlyphSet);
    connect(m_Grid1Actions, &Grid1Actions::saveGlyphSetTriggered, this, &MainWindow::Grid1_SaveGlyphSet);
    connect(m_Grid1Actions, &Grid1Actions::exportToTextTriggered, this, &MainWindow::Grid1_ExportToText);
    connect(m_Grid1Actions, &Grid1Actions::previousGlyphTriggered, this, &MainWindow::Grid1_PreviousGlyph);
    connect(m_Grid1Actions, &Grid1Actions::nextGlyphTriggered, this, &MainWindow::Grid1_NextGlyph);
    connect(m_cmdInverse, &QPushButton::clicked, &m_editor, &GlyphEditor::cmdInverse_Click);
    connect(m_Command6, &QPushButton::clicked, &m_editor, &GlyphEditor::Command6_Click);
    connect(m_lstCol, &SizeList::itemChosen, &m_editor, &GlyphEditor::lstCol_Click);
    connect(m_lstRow, &SizeList::itemChosen, &m_editor, &GlyphEditor::lstRow_Click);
    connect(m_optvert, &QRadioButton::clicked, &m_editor, &GlyphEditor::optvert_Click);
    connect(m_opthoriz, &QRadioButton::clicked, &m_editor, &GlyphEditor::opthoriz_Click);
    connect(m_chkdir, &QCheckBox::clicked, this, &MainWindow::forwardChkdir);
    connect(&m_editor, &GlyphEditor::matrixOptionsChanged, this, &MainWindow::syncMatrixOptions);
    connect(&m_editor, &GlyphEditor::frmmatrixEnabledChanged, m_frmmatrix, &QWidget::setEnabled);
    connect(&m_editor, &GlyphEditor::sizeListsChanged, this, &MainWindow::syncSizeLists);

    connect(m_Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(m_txtfmt, &QLineEdit::textChanged, &m_output, &OutputText::txtfmt_Change);
    connect(m_txtdelim, &QLineEdit::textChanged, &m_output, &OutputText::txtdelim_Change);
    connect(m_Command9, &QPushButton::clicked, &m_output, &OutputText::Command9_Click);
    connect(m_Command12, &QPushButton::clicked, this, &MainWindow::Command12_Click);
    connect(m_Command10, &QPushButton::clicked, this, &MainWindow::Command10_Click);
    connect(m_Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(m_Command11, &QPushButton::clicked, this, &MainWindow::Command11_Click);
}

// The option buttons and the check box show the editor's choices.
void MainWindow::syncMatrixOptions()
{
    (m_editor.optvertValue() ? m_optvert : m_opthoriz)->setChecked(true);
    m_chkdir->setEnabled(m_editor.chkdirEnabled());
    m_chkdir->setChecked(m_editor.chkdirValue() == 1);
}

// The lists show the size the editor has, also after an undo or a turn.
void MainWindow::syncSizeLists()
{
    m_lstCol->showText(m_editor.lstColText());
    m_lstRow->showText(m_editor.lstRowText());
}

// The check box has no handler of its own; the editor keeps its state, and
// takes a change only while the box may change.
void MainWindow::forwardChkdir(bool checked)
{
    if (!m_editor.setChkdirValue(checked ? 1 : 0))
        syncMatrixOptions();
}

void MainWindow::frmMain_Load()
{
    m_editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);
    // Setting the boxes runs their change handlers, which copy the same texts
    // back into prefix and delimiter.
    m_txtdelim->setText(m_output.delimiter());
    m_txtfmt->setText(m_output.prefix());
}

void MainWindow::showCentred()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // An open glyph set with changes is saved or given up first; Cancel keeps
    // the window open.
    if (!mayGlyphSetClose()) {
        event->ignore();
        return;
    }
    frmMain_Unload();
    event->accept();
}

void MainWindow::frmMain_Unload()
{
    unloadSecondaryWindows();
    if (isMinimized())
        return;
    const QRect frame = frameGeometry();
    const QRect twips(Twips::fromPixels(frame.x()), Twips::fromPixels(frame.y()),
                      Twips::fromPixels(frame.width()), Twips::fromPixels(frame.height()));
    QString error;
    if (!Placement::writeMainPlacement(twips, &error))
        qWarning("%s: %s", Startup::kApplicationName, qPrintable(error));
}

// Unloads every other loaded window, visible or hidden, the most recently
// loaded first; each one's own close handling runs to completion before the
// next. Windows the user already closed are gone from the list's view.
void MainWindow::unloadSecondaryWindows()
{
    for (qsizetype i = m_loadedWindows.size() - 1; i >= 0; --i) {
        QPointer<QWidget> window = m_loadedWindows[i];
        if (!window)
            continue;
        window->close();
        delete window.data();
    }
    m_loadedWindows.clear();
}

// Shows a secondary window modeless and without an owner, loading it first
// when it is not loaded, centred over the main window; a window that is
// loaded is shown again as it is, where it is.
template <typename Window>
void MainWindow::showSecondary(QPointer<Window> &window)
{
    if (!window) {
        window = new Window;
        m_loadedWindows.removeIf([](const QPointer<QWidget> &loaded) { return loaded.isNull(); });
        m_loadedWindows.append(window.data());
        QRect frame = window->frameGeometry();
        frame.moveCenter(frameGeometry().center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::Command2_Click()
{
    showSecondary(m_help);
}

void MainWindow::Command11_Click()
{
    showSecondary(m_about);
}

// The menu does not ask the clipboard what it holds: on X11 every question
// waits for the program that owns it, up to seconds when it never answers.
void MainWindow::Grid1_ContextMenu(const QPoint &pos)
{
    m_Grid1Actions->showMenu(pos, !m_Text2Document.isEmpty());
}

// Asks the clipboard for its formats once and, only when they include text,
// for the text: an owner that never answers costs one wait, not one for
// each question that hasText() and text() would each ask again.
void MainWindow::Grid1_DrawFromClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QStringList formats = data ? data->formats() : QStringList();
    const bool hasText = std::any_of(formats.begin(), formats.end(), [](const QString &format) {
        return format.startsWith(QLatin1String("text/plain"));
    });
    const QString text = hasText ? data->text() : QString();
    if (text.isEmpty()) {
        showMessage(QMessageBox::Warning, QStringLiteral("The clipboard gave no text to draw."));
        return;
    }
    drawFromText(text);
}

void MainWindow::Grid1_DrawFromText2()
{
    drawFromText(m_Text2Document.text());
}

// Draws what `text` gives, or says in a message why it changed nothing.
void MainWindow::drawFromText(const QString &text)
{
    QString error;
    if (!m_editor.drawFromText(text, &error))
        showMessage(QMessageBox::Warning, error);
}

// After text was appended to Text1, its end in view; or why nothing was.
void MainWindow::showAppended(bool appended, const QString &what)
{
    if (!appended) {
        showMessage(QMessageBox::Warning,
                    QStringLiteral("%1 would make the output text longer than %L2 characters, so it was not added.")
                            .arg(what)
                            .arg(OutputText::kMaxText1Length));
        return;
    }
    showEnd(m_Text1);
}

void MainWindow::Command1_Click()
{
    showAppended(m_output.Command1_Click(m_editor.Text2()), QStringLiteral("The new line"));
}

void MainWindow::Command10_Click()
{
    // Ends the program at once: exit() leaves the event loop without sending
    // close events, so no close handling runs and nothing is written. Only a
    // glyph set's unsaved changes are asked about first.
    if (!mayGlyphSetClose())
        return;
    QCoreApplication::exit(0);
}

void MainWindow::Command12_Click()
{
    const QString text = m_Text1->text();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    if (clipboard->text() != text) {
        showMessage(QMessageBox::Warning, QStringLiteral("The text could not be put on the clipboard."));
        return;
    }
    showMessage(QMessageBox::NoIcon, QStringLiteral("Cliboard now has the text"));
}

// A modal message with one OK button, under the application's title.
void MainWindow::showMessage(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, kAppTitle, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
