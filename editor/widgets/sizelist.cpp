#include "sizelist.h"

#include "comboboxaccessible.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {
// The lists are narrow for their placeholders: in a wide face such as DejaVu
// Sans, "Height" needs more of the box than the style's edit field leaves it.
// So the drop-down arrow takes at most kArrowWidth pixels at the right, and
// the edit field the rest.
class SizeListStyle : public QProxyStyle
{
public:
    static constexpr int kArrowWidth = 12;

    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
            return rect;
        const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
        if (arrow.width() <= kArrowWidth || option->direction != Qt::LeftToRight)
            return rect;
        const int left = arrow.right() + 1 - kArrowWidth;
        if (part == SC_ComboBoxArrow)
            rect.setLeft(left);
        else
            rect.setRight(left - 1);
        return rect;
    }
};

// One style for every list, over the application's style; it goes with the
// application.
QStyle *sizeListStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new SizeListStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}
} // namespace

SizeList::SizeList(const QString &placeholder, int first, int last, QWidget *parent)
    : QComboBox(parent)
{
    ComboBoxAccessible::install();
    setStyle(sizeListStyle());
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
