#include "statuslabel.h"

#include <QAccessibleWidget>

namespace {
class StatusAccessible : public QAccessibleWidget
{
public:
    explicit StatusAccessible(StatusLabel *label)
        : QAccessibleWidget(label, QAccessible::StatusBar)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *statusFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("StatusLabel"))
        if (auto *label = qobject_cast<StatusLabel *>(object))
            return new StatusAccessible(label);
    return nullptr;
}
} // namespace

StatusLabel::StatusLabel(QWidget *parent)
    : QLabel(parent)
{
    // QLabel::setText() reports every new text to the screen reader.
    static const bool installed = (QAccessible::installFactory(&statusFactory), true);
    Q_UNUSED(installed);
}
