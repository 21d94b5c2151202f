#pragma once

#include "glypheditor.h"
#include "outputtext.h"
#include "plaintextdocument.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class AboutWindow;
class Grid1Actions;
class GlyphSetWindow;
class GridView;
class HelpWindow;
class PlainTextBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SizeList;

// The main window, frmMain: it shows the editor's and the output's state in
// its controls and forwards their events to the handlers, which live in
// GlyphEditor and OutputText, or below where they need the desktop (the
// clipboard, the settings store, other windows).
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 7665;
    static constexpr int kClientHeightTwips = 6555;

    MainWindow();
    ~MainWindow() override;

    // Shows the window centred on the screen, at its designed size.
    void showCentred();

    // Opens the glyph set in `path` in the glyph-set window, as if chosen
    // there. Returns false, with a message, when it was not opened.
    bool openGlyphSet(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void connectControls();
    void placeControls();
    void placeFrame4();
    void placeFrmmatrix();
    void placeFrame9();
    void placeFrame7();
    void placeFrame3();
    void placeFrame2();
    void placeFrame5();
    void placeFrame6();
    void placeGrids();
    void orderTabs();
    void frmMain_Load();
    void frmMain_Unload();
    void syncMatrixOptions();
    void syncSizeLists();
    void forwardChkdir(bool checked);
    void showMessage(QMessageBox::Icon icon, const QString &text);

    void Grid1_ContextMenu(const QPoint &pos);
    void Grid1_DrawFromClipboard();
    void Grid1_DrawFromText2();
    void drawFromText(const QString &text);

    GlyphSetWindow *glyphSetWindow();
    void placeBeside(QWidget *window) const;
    void Grid1_OpenGlyphSet();
    void Grid1_SaveGlyphSet();
    void Grid1_ExportToText();
    void Grid1_PreviousGlyph();
    void Grid1_NextGlyph();
    void glyphSet_Export(const QString &text);
    void showAppended(bool appended, const QString &what);
    void glyphSet_OptionsRestored(const QString &prefix, const QString &delimiter);
    bool mayGlyphSetClose();

    void Command1_Click();
    void Command2_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();

    template <typename Window>
    void showSecondary(QPointer<Window> &window);
    void unloadSecondaryWindows();

    // Who outlives whom is the order of these members, which are destroyed
    // in reverse: the texts of the two text boxes, then the cores that write
    // them and hold the grids, then the client area with every control in it.
    // So each control goes before what it shows.
    PlainTextDocument m_Text1Document;
    PlainTextDocument m_Text2Document;
    GlyphEditor m_editor{m_Text2Document};
    OutputText m_output{m_Text1Document};
    QWidget m_client{this};

    PlainTextBox *m_Text1 = nullptr;
    PlainTextBox *m_Text2 = nullptr;

    QGroupBox *m_Frame4 = nullptr;
    SizeList *m_lstCol = nullptr;
    SizeList *m_lstRow = nullptr;
    QLabel *m_Label1 = nullptr;
    QPushButton *m_cmdInverse = nullptr;
    QGroupBox *m_Frame1 = nullptr;
    GridView *m_Grid2 = nullptr;

    QGroupBox *m_frmmatrix = nullptr;
    QLabel *m_Label4 = nullptr;
    QLabel *m_Label5 = nullptr;
    QRadioButton *m_opthoriz = nullptr;
    QRadioButton *m_optvert = nullptr;
    QLabel *m_Label8 = nullptr;
    QCheckBox *m_chkdir = nullptr;

    QGroupBox *m_Frame9 = nullptr;
    QLabel *m_Label6 = nullptr;
    QLabel *m_Label7 = nullptr;
    QPushButton *m_Command2 = nullptr;
    QPushButton *m_Command11 = nullptr;

    QGroupBox *m_Frame7 = nullptr;
    QLabel *m_Label2 = nullptr;
    QLineEdit *m_txtfmt = nullptr;
    QLabel *m_Label3 = nullptr;
    QLineEdit *m_txtdelim = nullptr;

    QGroupBox *m_Frame3 = nullptr;
    QGroupBox *m_Frame2 = nullptr;
    QPushButton *m_Command12 = nullptr;
    QPushButton *m_Command9 = nullptr;
    QGroupBox *m_Frame5 = nullptr;
    QPushButton *m_Command1 = nullptr;
    QPushButton *m_Command6 = nullptr;
    QGroupBox *m_Frame6 = nullptr;
    QPushButton *m_Command10 = nullptr;

    GridView *m_colGrid = nullptr;
    GridView *m_rowGrid = nullptr;
    GridView *m_Grid1 = nullptr;
    Grid1Actions *m_Grid1Actions = nullptr;

    // The help and about windows, each loaded at most once at a time, and
    // every secondary window in the order it was loaded.
    QPointer<HelpWindow> m_help;
    QPointer<AboutWindow> m_about;
    QPointer<GlyphSetWindow> m_glyphSet;
    QList<QPointer<QWidget>> m_loadedWindows;
};
