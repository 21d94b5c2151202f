#pragma once

#include "firmwaresource.h"

#include <QDialog>

class QTreeWidget;
class QPushButton;

// Asks which font to open of a source file that holds several for display
// libraries, listing each with its C name, its kind, its glyph count and its
// cell size, in the order of the file.
class ChooseFontDialog : public QDialog
{
    Q_OBJECT

public:
    ChooseFontDialog(const std::vector<FirmwareSource::Font> &fonts, const QString &fileName,
                     QWidget *parent = nullptr);

    // The C name of the font chosen; meaningful once the dialog is accepted.
    QString chosen() const;

private:
    QTreeWidget *m_lstFonts = nullptr;
    QPushButton *m_cmdOpen = nullptr;
};
