#pragma once

#include "openoptions.h"
#include "readresult.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

// Glyphs rendered from a TrueType or OpenType font, or an installed font
// family, at a pixel size, by Qt's own font engine without antialiasing.
// Needs a QGuiApplication (on any platform, offscreen included), not a
// display.
namespace OutlineFont {

using Options = OutlineOptions;

// From a font file; `fileName` names it in the message.
ReadResult renderFile(const QString &path, const Options &options);
// From the bytes of a font file (as FontFile::load gives them).
ReadResult renderData(const QByteArray &data, const QString &fileName, const Options &options);
// Whether renderData() would render `options` from `data`, measured without
// drawing: empty when it would, else why not, without the file's name. The
// matrix it would make goes to `cells` where the font could be measured.
QString checkData(const QByteArray &data, const Options &options, QSize *cells = nullptr);
// From an installed family, as the font database knows it.
ReadResult renderFamily(const QString &family, const Options &options);

} // namespace OutlineFont
