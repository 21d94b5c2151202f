#include "bdfformat.h"

namespace BdfFormat {

ReadResult read(const QByteArray &, const QString &fileName)
{
    return ReadResult::inFile(fileName, QStringLiteral("reading BDF is not built yet"));
}

QByteArray write(const GlyphSet &)
{
    return {};
}

} // namespace BdfFormat
