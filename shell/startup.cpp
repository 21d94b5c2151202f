#include "startup.h"

#include "look.h"
#include "windowaccessible.h"

#include <QApplication>

namespace Startup {

void setUpApplication()
{
    WindowAccessible::install();
    QApplication::setApplicationName(QStringLiteral("KELVOR"));
    QApplication::setApplicationVersion(QStringLiteral(KELVOR_VERSION));
    QApplication::setWindowIcon(Look::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.kelvor.kelvor2"));
    QApplication::setFont(Look::sansSerif(Look::kDefaultPoints));
}

} // namespace Startup
