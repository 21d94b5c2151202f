#include "programmodule.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <iterator>

#if defined(Q_OS_WIN)
#include <qt_windows.h>
#elif defined(Q_OS_MACOS)
#include <mach-o/dyld.h>
#endif

namespace ProgramModule {

namespace {

// The running program's file, found without an application object, which
// the window makes itself once its module is loaded.
QString programFile()
{
#if defined(Q_OS_WIN)
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    return QDir::fromNativeSeparators(QString::fromWCharArray(buffer, int(length)));
#elif defined(Q_OS_MACOS)
    uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    QByteArray buffer(qsizetype(size), '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) != 0)
        return {};
    return QFileInfo(QString::fromUtf8(buffer.constData())).canonicalFilePath();
#else
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
#endif
}

const char *fileName(Module module)
{
    return module == Window ? KELVOR_WINDOW_MODULE : KELVOR_RENDER_MODULE;
}

} // namespace

QString path(Module module)
{
    const QString folder = QFileInfo(programFile()).absolutePath();
    return QDir::cleanPath(folder + QLatin1Char('/') + QStringLiteral(KELVOR_MODULE_DIR) + QLatin1Char('/')
                           + QString::fromUtf8(fileName(module)));
}

QFunctionPointer resolve(Module module, const char *symbol, QString *error)
{
    // Loaded once and never unloaded: what the module made (the window, a
    // font engine) lives until the program ends.
    static QLibrary *libraries[2] = {};
    QLibrary *&library = libraries[module];
    if (!library)
        library = new QLibrary(path(module));
    if (!library->isLoaded() && !library->load()) {
        *error = QStringLiteral("the module %1 cannot be loaded: %2").arg(path(module), library->errorString());
        return nullptr;
    }
    const QFunctionPointer function = library->resolve(symbol);
    if (!function)
        *error = QStringLiteral("the module %1 lacks %2").arg(path(module), QLatin1String(symbol));
    return function;
}

} // namespace ProgramModule
