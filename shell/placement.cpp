#include "placement.h"

namespace Placement {

QSettings store()
{
    return QSettings(QSettings::UserScope, QStringLiteral("KELVOR"), QStringLiteral("KELVOR"));
}

bool writeMainPlacement(const QRect &frameTwips, QString *error)
{
    QSettings settings = store();
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("MainLeft"), QString::number(frameTwips.x()));
    settings.setValue(QStringLiteral("MainTop"), QString::number(frameTwips.y()));
    settings.setValue(QStringLiteral("MainWidth"), QString::number(frameTwips.width()));
    settings.setValue(QStringLiteral("MainHeight"), QString::number(frameTwips.height()));
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error) {
        *error = QStringLiteral("could not write the window placement to %1 (%2)")
                         .arg(settings.fileName(),
                              settings.status() == QSettings::AccessError ? QStringLiteral("access denied")
                                                                          : QStringLiteral("format error"));
    }
    return false;
}

} // namespace Placement
