#include "renderedfonts.h"

#include "glyphsetfile.h"

#include <QGuiApplication>

namespace {

QCoreApplication *guiApplication(int &argc, char **argv)
{
    return new QGuiApplication(argc, argv);
}

} // namespace

extern "C" Q_DECL_EXPORT const RenderedFonts *kelvorRenderedFonts()
{
    static const RenderedFonts table{static_cast<FontKind::Kind (*)(const QByteArray &, const QString &)>(
                                             &GlyphSetFile::kindOf),
                                     &guiApplication, &GlyphSetFile::read};
    return &table;
}
