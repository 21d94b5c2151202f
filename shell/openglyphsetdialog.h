#pragma once

#include "glyphsetfile.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// Asks for what a file does not say itself before it is opened as a glyph
// set: the matrix size, bit order and first code point of source arrays,
// the size, threshold and first code point of pictures, the pixel size and
// code points of outline fonts.
class OpenGlyphSetDialog : public QDialog
{
    Q_OBJECT

public:
    OpenGlyphSetDialog(GlyphSetFile::Kind kind, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);

    // The options as the user left them; meaningful once the dialog is accepted.
    GlyphSetFile::Options options() const { return m_options; }

    void accept() override;

private:
    QSpinBox *sizeBox(const char *name, int value);

    GlyphSetFile::Kind m_kind;
    GlyphSetFile::Options m_options;
    QSpinBox *m_cols = nullptr;
    QSpinBox *m_rows = nullptr;
    QComboBox *m_order = nullptr;
    QLineEdit *m_first = nullptr;
    QSpinBox *m_threshold = nullptr;
    QSpinBox *m_pixelSize = nullptr;
    QLineEdit *m_codePoints = nullptr;
    QLabel *m_error = nullptr;
};
