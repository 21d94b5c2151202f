#pragma once

#include "exportchoices.h"
#include "fontexport.h"
#include "textpreview.h"

#include <QDialog>
#include <QPalette>
#include <QTimer>

class AlertLine;
class GlyphSetSession;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TextPreviewView;

// Exports the open glyph set as a font for a display library: the format,
// the C name, the options the format takes and the glyphs to take, with a
// sample text drawn from what the export holds, as the library would draw
// it on a display of the size given. Every change, and every edit of the
// set's glyphs, redoes the preview at once and the export soon after; an
// error is shown in the dialog, its field marked, and Save waits until
// there is none. The dialog stays open beside the set window; what it is
// set to is kept in the session for the font, and it closes itself when
// the set closes or another one opens.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    // The set open in `session`, the lines and C formats in `output` (the
    // main window's orientation, prefix and delimiter). The dialog deletes
    // itself once closed.
    ExportDialog(GlyphSetSession &session, const ExportOptions &output, QWidget *parent = nullptr);

    // The main window's orientation, prefix or delimiter changed.
    void setOutput(const ExportOptions &output);

    // What Save writes as things stand, or why it cannot.
    const FontExport::Result &result();
    // Writes the export to `path`; false when there is nothing to write or
    // the file cannot be written, the dialog then saying why.
    bool saveTo(const QString &path);

    void cmdSave_Click();

private:
    void createControls();
    void createChoiceControls(const ExportChoices &choices);
    void createPreviewControls(const ExportChoices &choices);
    void connectControls();
    void placeControls();
    void optionsChanged();
    void txtName_Change(const QString &text);
    void sampleChanged();
    void session_Closed();
    ExportChoices choices() const;
    void showOutput();
    void scheduleWrite();
    void writeExport();
    void showResult(FontExport::Result result);
    void markFault(QLineEdit *field, const QString &fault);
    FontExport::Format format() const;
    QString suggestedPath() const;

    GlyphSetSession &m_session;
    // The set's file; the dialog closes before the session opens another.
    const QString m_fontPath;
    ExportOptions m_output;
    FontExport::Options m_options;
    QString m_stop;                    // why neither the preview nor the export can be made
    QLineEdit *m_stopField = nullptr; // the field that says so, when it is one
    QPalette m_faultPalette;
    QTimer m_writeTimer;
    FontExport::Result m_result;
    TextPreview m_preview;

    QComboBox *m_lstFormat = nullptr;
    QLineEdit *m_txtName = nullptr;
    QLabel *m_lblOutput = nullptr;
    QCheckBox *m_chkComments = nullptr;
    QComboBox *m_lstPageOrder = nullptr;
    QCheckBox *m_chkWidths = nullptr;
    QLineEdit *m_txtCodePoints = nullptr;
    QLineEdit *m_txtRemaps = nullptr;
    QPlainTextEdit *m_txtSample = nullptr;
    QSpinBox *m_spnWidth = nullptr;
    QSpinBox *m_spnHeight = nullptr;
    TextPreviewView *m_picPreview = nullptr;
    QLabel *m_lblPreview = nullptr;
    AlertLine *m_lblError = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdClose = nullptr;
};
