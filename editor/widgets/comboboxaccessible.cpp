#include "comboboxaccessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace {
// Asked for each class of an object from the most derived one up.
QAccessibleInterface *comboBoxFactory(const QString &className, QObject *object)
{
    auto *box = qobject_cast<QComboBox *>(object);
    if (box
        && (className == QLatin1String("SizeList")
            || (className == QLatin1String("QComboBox") && !box->accessibleName().isEmpty())))
        return new ComboBoxAccessible(box);
    return nullptr;
}
} // namespace

ComboBoxAccessible::ComboBoxAccessible(QComboBox *box)
    : QAccessibleWidget(box, QAccessible::ComboBox)
{
}

void ComboBoxAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(&comboBoxFactory), true);
    Q_UNUSED(installed);
}

QComboBox *ComboBoxAccessible::box() const
{
    return static_cast<QComboBox *>(widget());
}

QString ComboBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->lineEdit() ? box()->lineEdit()->text() : box()->currentText();
    return QAccessibleWidget::text(t);
}

// As Qt's combo box: the drop-down list first, then the edit field.
int ComboBoxAccessible::childCount() const
{
    return box()->lineEdit() ? 2 : 1;
}

QAccessibleInterface *ComboBoxAccessible::child(int index) const
{
    if (index == 0)
        return QAccessible::queryAccessibleInterface(box()->view());
    if (index == 1 && box()->lineEdit())
        return QAccessible::queryAccessibleInterface(box()->lineEdit());
    return nullptr;
}

int ComboBoxAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    if (child->object() == box()->view())
        return 0;
    if (box()->lineEdit() && child->object() == box()->lineEdit())
        return 1;
    return -1;
}

QStringList ComboBoxAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void ComboBoxAccessible::doAction(const QString &actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
