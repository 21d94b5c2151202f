#pragma once

#include "fontkind.h"
#include "openoptions.h"
#include "readresult.h"

class QCoreApplication;

// The readers that need QtGui, pictures and outline fonts, as the command
// line reaches them: the module kelvor_render holds them, and the command
// loads it only for such a file, so that it starts with QtCore alone. The
// module's one entry, kRenderedFontsEntry, gives this table.
struct RenderedFonts
{
    // GlyphSetFile::kindOf, which asks the picture readers.
    FontKind::Kind (*kindOf)(const QByteArray &head, const QString &fileName);
    // A QGuiApplication on the platform the arguments name: Qt's font
    // engine, which renders outline fonts, needs one.
    QCoreApplication *(*guiApplication)(int &argc, char **argv);
    // GlyphSetFile::read.
    ReadResult (*read)(const QByteArray &bytes, const QString &path, FontKind::Kind kind,
                       const OpenOptions &options);
};

using RenderedFontsEntry = const RenderedFonts *(*)();
inline constexpr char kRenderedFontsEntry[] = "kelvorRenderedFonts";
