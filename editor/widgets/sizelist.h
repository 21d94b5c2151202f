#pragma once

#include <QComboBox>

// A drop-down list of the matrix sizes "3" to "16" with an editable text
// field that shows `placeholder` ("Width", "Height") until a size is chosen.
//
// itemChosen() is emitted only when an item is chosen: from the open list by
// mouse or keys, or by the arrow keys or the wheel on the closed box, the
// same item again included. Text typed into the field chooses nothing: it
// adds no item, and neither Enter nor leaving the field acts on it.
class SizeList : public QComboBox
{
    Q_OBJECT

public:
    SizeList(const QString &placeholder, int first, int last, QWidget *parent = nullptr);

    // Shows `text`: the item of that text, chosen without a report, or else
    // the text itself, as the placeholder is shown.
    void showText(const QString &text);

signals:
    void itemChosen(const QString &itemText);
};
