#include "windowaccessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {
// Asked for each class of an object from the most derived one up; at
// "QWidget" no class of Qt's own with an interface of its own stood above.
// Pop-ups, tool tips and dialogs keep theirs.
QAccessibleInterface *windowFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow() || widget->windowType() != Qt::Window)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}
} // namespace

namespace WindowAccessible {

void install()
{
    static const bool installed = (QAccessible::installFactory(&windowFactory), true);
    Q_UNUSED(installed);
}

} // namespace WindowAccessible
