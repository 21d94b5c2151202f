#include "sizelist.h"

#include <QLineEdit>

SizeList::SizeList(const QString &placeholder, int first, int last, QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // completion would choose an item as the user types
    for (int size = first; size <= last; ++size)
        addItem(QString::number(size), 0);

    // An editable QComboBox picks the item matching the typed text when
    // editing finishes (Enter or focus out) and reports it as activated. Typed
    // text must choose nothing here, so those connections go. They are
    // QComboBox's own (seen in Qt 6.4); the window's tests type into the
    // lists and would notice if a later Qt made them otherwise.
    QLineEdit *field = lineEdit();
    disconnect(field, &QLineEdit::editingFinished, this, nullptr);
    disconnect(field, &QLineEdit::returnPressed, this, nullptr);

    showText(placeholder);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit itemChosen(itemText(index)); });
}

void SizeList::showText(const QString &text)
{
    setCurrentIndex(findText(text));
    // Typed text may stand in the field, whichever item is current.
    setEditText(text);
    lineEdit()->setCursorPosition(0); // a narrow box shows the start of the word
}
