#pragma once

#include "glyphsetfile.h"
#include "glyphsetsession.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class ExportDialog;
class GlyphEditor;
class GlyphSetView;
class OutputText;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The "Glyph set" window, frmGlyphSet: the glyphs of the open set as small
// pictures with their code points, the one drawn in Grid1 marked, and the
// buttons that open, save and export the set. A window of its own beside
// the main window, which stays as it is; closing it closes the set, asking
// first whether to save changes.
class GlyphSetWindow : public QWidget
{
    Q_OBJECT

public:
    GlyphSetWindow(GlyphEditor &editor, const OutputText &output);
    ~GlyphSetWindow() override;

    GlyphSetSession &session() { return m_session; }

    // Opens the glyph set in `path`, asking first for what the file does not
    // say itself, and for unsaved changes of the set now open. Returns false
    // when the user cancelled or the file could not be read; the message
    // then says why, and nothing has changed.
    bool openFile(const QString &path);

    // The handlers of the window's buttons, which the editing grid's keys
    // and menu run too.
    void cmdOpen_Click();
    bool cmdSave_Click();
    bool cmdSaveAs_Click();
    void cmdExport_Click();
    // Opens the export dialog (the set as a font for a display library)
    // beside the window, or brings it forward when it is open.
    void cmdExportFont_Click();

    // Asks whether to save the open set's changes, if it has any: Save saves
    // it (false if that fails or is cancelled), Discard closes the set
    // without saving, Cancel returns false. True at once without changes.
    bool maySetClose();

signals:
    // The export's text, to be appended to Text1.
    void exportReady(const QString &text);
    // A file saved by this program gave its prefix and delimiter back.
    void outputOptionsRestored(const QString &prefix, const QString &delimiter);
    // A window of the set's is about to show for the first time: the main
    // window places it clear of its grids.
    void placeWindow(QWidget *window);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectControls();
    void placeControls();
    // Source code that holds fonts for display libraries, as the one the
    // user chooses where it holds several; none where it holds none. A
    // result without set or error is a choice cancelled.
    std::optional<ReadResult> readFirmwareFont(const QByteArray &bytes, const QString &path,
                                               const std::function<bool()> &mayReplace);
    // Any other file, asking first for what it does not say itself.
    ReadResult readAsked(const QByteArray &bytes, const QString &path, GlyphSetFile::Kind kind,
                         const std::function<bool()> &mayReplace);
    void applyStoredOptions(const ExportOptions &options);
    ExportOptions currentOptions() const;
    void updateStatus();
    void updateMetrics();
    void outputChanged();
    void txtGoTo_Return();
    void txtGoTo_Change();
    void showSaved(const QString &path);
    void showError(const QString &text);
    // The question of maySetClose(), leaving the set open whatever the
    // answer: true when its changes may go (saved, discarded, or none).
    bool askToSaveChanges();

    GlyphEditor &m_editor;
    const OutputText &m_output;
    GlyphSetSession m_session;

    QPushButton *m_cmdOpen = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdSaveAs = nullptr;
    QPushButton *m_cmdExport = nullptr;
    QPushButton *m_cmdExportFont = nullptr;
    QCheckBox *m_chkComments = nullptr;
    QLabel *m_lblAdvance = nullptr;
    QSpinBox *m_spnAdvance = nullptr;
    QLabel *m_lblAscent = nullptr;
    QSpinBox *m_spnAscent = nullptr;
    QLabel *m_lblXOffset = nullptr;
    QSpinBox *m_spnXOffset = nullptr;
    QLabel *m_lblSet = nullptr;
    QLabel *m_lblGoTo = nullptr;
    QLineEdit *m_txtGoTo = nullptr;
    QLabel *m_lblGoToResult = nullptr;
    GlyphSetView *m_lstGlyphs = nullptr;
    // One at a time, for the open set; it closes itself with the set.
    QPointer<ExportDialog> m_dlgExport;
    QString m_lastFolder;
    // The reader's notes on the open set's file.
    QStringList m_notes;
};
