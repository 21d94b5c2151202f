#pragma once

#include "glyphsetfile.h"

#include <QDialog>

class QComboBox;
class QLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

// Asks for what a file does not say itself before it is opened as a glyph
// set: the matrix size, bit order and first code point of source arrays,
// the size, threshold and first code point of pictures, the pixel size and
// code points of outline fonts, and which glyphs to take of a BDF font too
// large to open whole.
class OpenGlyphSetDialog : public QDialog
{
    Q_OBJECT

public:
    OpenGlyphSetDialog(GlyphSetFile::Kind kind, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);
    // For a BDF font whose glyphs do not fit together; `scan` must outlive
    // the dialog.
    OpenGlyphSetDialog(const BdfFormat::Scan &scan, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);

    // The options as the user left them; meaningful once the dialog is accepted.
    GlyphSetFile::Options options() const { return m_options; }

    void accept() override;

private:
    QSpinBox *sizeBox(const char *name, int value);
    void placeControls(QLayout *form);
    void txtCodePoints_Change();
    // The code points typed and how they fit; false with the reason in `error`.
    bool takenCodePoints(CodePoints::Ranges *ranges, BdfFormat::Fit *fit, QString *error) const;

    GlyphSetFile::Kind m_kind;
    GlyphSetFile::Options m_options;
    QSpinBox *m_cols = nullptr;
    QSpinBox *m_rows = nullptr;
    QComboBox *m_order = nullptr;
    QLineEdit *m_first = nullptr;
    QSpinBox *m_threshold = nullptr;
    QSpinBox *m_pixelSize = nullptr;
    QLineEdit *m_codePoints = nullptr;
    const BdfFormat::Scan *m_scan = nullptr;
    QLabel *m_taken = nullptr;
    QLabel *m_error = nullptr;
};
