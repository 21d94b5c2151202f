#pragma once

#include "glyphsetfile.h"

#include <QByteArray>
#include <QDialog>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// Asks for what a file does not say itself before it is opened as a glyph
// set: the matrix size, bit order and first code point of source arrays,
// the size, threshold and first code point of pictures, the pixel size and
// code points of outline fonts, and which glyphs to take of a BDF or PSF
// font too large to open whole. Each entry is checked as it is typed: Open
// stays disabled while it is wrong, and the line under it says why.
class OpenGlyphSetDialog : public QDialog
{
    Q_OBJECT

public:
    // For source arrays and pictures.
    OpenGlyphSetDialog(GlyphSetFile::Kind kind, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);
    // For an outline font, given as the bytes of its file.
    OpenGlyphSetDialog(const QByteArray &outlineFont, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);
    // For a BDF or PSF font whose glyphs do not fit together; `scan` must
    // outlive the dialog.
    OpenGlyphSetDialog(const FontSubset::Scan &scan, const QString &fileName, const GlyphSetFile::Options &defaults,
                       QWidget *parent = nullptr);

    // The options as the user left them; meaningful once the dialog is accepted.
    GlyphSetFile::Options options() const { return m_options; }

    void accept() override;

protected:
    // Enter in the code points' box opens, as in a one-line field.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createPictureControls(QFormLayout *form);
    void createOutlineControls(QFormLayout *form);
    void createSubsetControls(QFormLayout *form, const QString &fileName);
    QSpinBox *sizeBox(const char *name, int value);
    void addCheckedRow(QFormLayout *form, const QString &text, const char *checkName, QWidget *below = nullptr);
    void placeControls(QFormLayout *form);
    void entry_Change();
    // Takes what is typed into m_options; false with the reason in `error`.
    // `said` is what the line under the entry says when it is right.
    bool takeEntry(QString *error, QString *said);
    bool takeSubset(QString *error, QString *said);
    QString leftOutText(const CodePoints::Ranges &ranges) const;
    void growToText();

    GlyphSetFile::Kind m_kind;
    GlyphSetFile::Options m_options;
    QByteArray m_outlineFont;
    const FontSubset::Scan *m_scan = nullptr;
    QSpinBox *m_cols = nullptr;
    QSpinBox *m_rows = nullptr;
    QComboBox *m_order = nullptr;
    QLineEdit *m_first = nullptr;
    QSpinBox *m_threshold = nullptr;
    QSpinBox *m_pixelSize = nullptr;
    QLineEdit *m_codePoints = nullptr;
    QPlainTextEdit *m_subset = nullptr;
    // The entry checked: the field that gets the reason when it is wrong.
    QWidget *m_entry = nullptr;
    QString m_entryDescription;
    QLabel *m_check = nullptr;
    QLabel *m_leftOut = nullptr;
    QPushButton *m_cmdOpen = nullptr;
};
