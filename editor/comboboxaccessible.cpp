#include "sizelistaccessible.h"

#include "sizelist.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace {
QAccessibleInterface *sizeListFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SizeList"))
        if (auto *list = qobject_cast<SizeList *>(object))
            return new SizeListAccessible(list);
    return nullptr;
}
} // namespace

SizeListAccessible::SizeListAccessible(SizeList *list)
    : QAccessibleWidget(list, QAccessible::ComboBox)
{
}

void SizeListAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(&sizeListFactory), true);
    Q_UNUSED(installed);
}

SizeList *SizeListAccessible::list() const
{
    return static_cast<SizeList *>(widget());
}

QString SizeListAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return list()->lineEdit() ? list()->lineEdit()->text() : list()->currentText();
    return QAccessibleWidget::text(t);
}

// As Qt's combo box: the drop-down list first, then the edit field.
int SizeListAccessible::childCount() const
{
    return list()->lineEdit() ? 2 : 1;
}

QAccessibleInterface *SizeListAccessible::child(int index) const
{
    if (index == 0)
        return QAccessible::queryAccessibleInterface(list()->view());
    if (index == 1 && list()->lineEdit())
        return QAccessible::queryAccessibleInterface(list()->lineEdit());
    return nullptr;
}

int SizeListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    if (child->object() == list()->view())
        return 0;
    if (list()->lineEdit() && child->object() == list()->lineEdit())
        return 1;
    return -1;
}

QStringList SizeListAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void SizeListAccessible::doAction(const QString &actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
