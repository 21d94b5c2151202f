#include "fontfile.h"

namespace FontFile {

bool load(const QString &path, QByteArray *, QString *error)
{
    *error = QStringLiteral("%1: reading font files is not built yet").arg(path);
    return false;
}

bool isGzip(const QByteArray &bytes)
{
    return bytes.startsWith("\x1f\x8b");
}

bool gunzip(const QByteArray &, qint64, QByteArray *, QString *what)
{
    *what = QStringLiteral("unpacking is not built yet");
    return false;
}

} // namespace FontFile
