#include "placement.h"

#include "startup.h"

namespace Placement {

QSettings store()
{
    const QString name = QLatin1String(Startup::kApplicationName);
    return QSettings(QSettings::UserScope, name, name);
}

namespace {
const QString kSection = QStringLiteral("Settings");

// The four keys and the values written for them.
QList<QPair<QString, QString>> entries(const QRect &frameTwips)
{
    return {{QStringLiteral("MainLeft"), QString::number(frameTwips.x())},
            {QStringLiteral("MainTop"), QString::number(frameTwips.y())},
            {QStringLiteral("MainWidth"), QString::number(frameTwips.width())},
            {QStringLiteral("MainHeight"), QString::number(frameTwips.height())}};
}

// Whether the store, read afresh, is whole and holds the placement.
bool holds(const QRect &frameTwips)
{
    QSettings settings = store();
    settings.beginGroup(kSection);
    for (const auto &[key, value] : entries(frameTwips)) {
        if (settings.value(key).toString() != value)
            return false;
    }
    return settings.status() == QSettings::NoError;
}
} // namespace

bool writeMainPlacement(const QRect &frameTwips, QString *error)
{
    QSettings settings = store();
    settings.beginGroup(kSection);
    for (const auto &[key, value] : entries(frameTwips))
        settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    // status() keeps the first fault met: a file that could not be parsed when
    // it was read reports a format error even once the placement has been
    // written over it. What counts then is whether the file now holds it.
    const QSettings::Status status = settings.status();
    if (status == QSettings::NoError || (status == QSettings::FormatError && holds(frameTwips)))
        return true;
    if (error) {
        *error = QStringLiteral("could not write the window placement to %1 (%2)")
                         .arg(settings.fileName(),
                              status == QSettings::AccessError ? QStringLiteral("access denied")
                                                               : QStringLiteral("format error"));
    }
    return false;
}

} // namespace Placement
