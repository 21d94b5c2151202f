#include "outlinefont.h"

namespace OutlineFont {

ReadResult renderFile(const QString &path, const Options &)
{
    return ReadResult::inFile(path, QStringLiteral("rendering fonts is not built yet"));
}

ReadResult renderFamily(const QString &family, const Options &)
{
    return ReadResult::inFile(family, QStringLiteral("rendering fonts is not built yet"));
}

} // namespace OutlineFont
