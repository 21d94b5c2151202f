#include "alertline.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
// Qt gives a label the role of static text, which a screen reader reads
// only when asked.
QAccessibleInterface *alertFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("AlertLine") && object)
        return new QAccessibleWidget(static_cast<AlertLine *>(object), QAccessible::AlertMessage);
    return nullptr;
}
} // namespace

AlertLine::AlertLine(QWidget *parent)
    : QLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(&alertFactory), true);
    Q_UNUSED(installed);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMinimumHeight(2 * fontMetrics().lineSpacing());
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    hide();
}

void AlertLine::setMessage(const QString &message)
{
    if (message == text())
        return;
    setText(message);
    // The alert's name is what a screen reader says of it.
    setAccessibleName(message);
    setVisible(!message.isEmpty());
    if (!message.isEmpty()) {
        QAccessibleEvent event(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}
