#include "startup.h"

#include "look.h"
#include "windowaccessible.h"

#include <QApplication>

namespace Startup {

void setUpApplication()
{
    WindowAccessible::install();
    QApplication::setApplicationName(QLatin1String(kApplicationName));
    QApplication::setApplicationVersion(QStringLiteral(KELVOR_VERSION));
    QApplication::setWindowIcon(Look::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVOR_APP_ID));
    QApplication::setFont(Look::sansSerif(Look::kDefaultPoints));
}

} // namespace Startup
