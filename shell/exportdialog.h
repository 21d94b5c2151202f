#pragma once

#include "fontexport.h"
#include "textpreview.h"

#include <QDialog>
#include <QTimer>

class GlyphSet;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TextPreviewView;

// Exports a glyph set as a font for a display library: the format, the C
// name, the options the format takes and the glyphs to take, with a sample
// text drawn from what the export holds, as the library would draw it on a
// display of the size given. Every change redoes the preview at once and the
// export soon after; an error is shown in the dialog, and Save waits until
// there is none.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    // The set exported from `fontPath`, the lines and C formats in `output`
    // (the main window's orientation, prefix and delimiter).
    ExportDialog(const GlyphSet &set, const QString &fontPath, const ExportOptions &output,
                 QWidget *parent = nullptr);

    // The C name a font gets from its file: "5x7.bdf" gives "font_5x7".
    static QString defaultName(const QString &fontPath);
    static QString defaultSampleText();

    // What Save writes as things stand, or why it cannot.
    const FontExport::Result &result();
    // Writes the export to `path`; false when there is nothing to write or
    // the file cannot be written, the dialog then saying why.
    bool saveTo(const QString &path);

    void cmdSave_Click();

private:
    void createControls();
    void connectControls();
    void placeControls();
    void optionsChanged();
    void txtName_Change(const QString &text);
    void sampleChanged();
    void scheduleWrite();
    void writeExport();
    void showResult(FontExport::Result result);
    FontExport::Format format() const;
    QString suggestedPath() const;

    const GlyphSet &m_set;
    const QString m_fontPath;
    const ExportOptions m_output;
    FontExport::Options m_options;
    QString m_stop; // why neither the preview nor the export can be made
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
    QLabel *m_lblError = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdClose = nullptr;
};
