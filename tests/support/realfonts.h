#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QString>

// Fonts that nobody here wrote, from the Debian packages that install them.
// A PCF font is converted with pcf2bdf into the test's own folder, once.
namespace RealFonts {

struct Font
{
    const char *row;     // the test row's name
    const char *path;    // where the package installs it
    const char *package; // the Debian package, named when it is missing
    int pixelSize = 0;   // an outline font's: the size it is rendered at
};

inline QList<Font> all()
{
    return {
        {"misc-fixed 5x7", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "xfonts-base"},
        {"misc-fixed 6x13", "/usr/share/fonts/X11/misc/6x13.pcf.gz", "xfonts-base"},
        {"misc-fixed 8x13", "/usr/share/fonts/X11/misc/8x13.pcf.gz", "xfonts-base"},
        {"Terminus 16 (PSF)", "/usr/share/consolefonts/Lat15-Terminus16.psf.gz", "console-setup-linux"},
        {"Terminus 6x12 (PSF)", "/usr/share/consolefonts/Lat2-Terminus12x6.psf.gz", "console-setup-linux"},
        {"Unifont 8x16 (PSF)", "/usr/share/consolefonts/Unifont-APL8x16.psf.gz", "psf-unifont"},
        {"Unifont (PCF)", "/usr/share/fonts/X11/misc/unifont.pcf.gz", "xfonts-unifont"},
    };
}

// Fonts of every kind the display formats are checked on: X11 misc and 75
// dpi fonts, console fonts, and outline fonts rendered small.
inline QList<Font> displayFonts()
{
    return {
        {"misc-fixed 5x7", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "xfonts-base"},
        {"misc-fixed 6x13", "/usr/share/fonts/X11/misc/6x13.pcf.gz", "xfonts-base"},
        {"misc-fixed 8x13", "/usr/share/fonts/X11/misc/8x13.pcf.gz", "xfonts-base"},
        {"75 dpi Helvetica 8", "/usr/share/fonts/X11/75dpi/helvR08.pcf.gz", "xfonts-75dpi"},
        {"75 dpi Lucida Bright 8", "/usr/share/fonts/X11/75dpi/lubR08.pcf.gz", "xfonts-75dpi"},
        {"console Terminus 16", "/usr/share/consolefonts/Lat15-Terminus16.psf.gz", "console-setup-linux"},
        {"console Fixed 14", "/usr/share/consolefonts/Lat15-Fixed14.psf.gz", "console-setup-linux"},
        {"DejaVu Sans 12 px", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "fonts-dejavu-core", 12},
        {"DejaVu Sans Mono 8 px", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "fonts-dejavu-core", 8},
    };
}

// The Debian package that installs a font of these folders.
inline const char *packageOf(const QString &path)
{
    if (path.endsWith(QLatin1String("/unifont.pcf.gz")))
        return "xfonts-unifont";
    if (path.contains(QLatin1String("/X11/75dpi/")))
        return "xfonts-75dpi";
    if (path.contains(QLatin1String("/consolefonts/Unifont")))
        return "psf-unifont";
    if (path.contains(QLatin1String("/consolefonts/")))
        return "console-setup-linux";
    if (path.contains(QLatin1String("/dejavu/")))
        return "fonts-dejavu-core";
    return "xfonts-base";
}

inline bool isPcf(const QString &path)
{
    return path.endsWith(QLatin1String(".pcf.gz")) || path.endsWith(QLatin1String(".pcf"));
}

// A file the program reads for `font`: the font itself, or its BDF made by
// pcf2bdf in `dir`. False with a message naming the package when something
// is missing.
inline bool prepare(const Font &font, const QString &dir, QString *path, QString *message)
{
    const QString source = QString::fromLatin1(font.path);
    if (!QFileInfo::exists(source)) {
        *message = QStringLiteral("%1 is missing: install the Debian package %2").arg(source, QLatin1String(font.package));
        return false;
    }
    if (!isPcf(source)) {
        *path = source;
        return true;
    }
    *path = QDir(dir).filePath(QFileInfo(source).fileName().section(QLatin1Char('.'), 0, 0) + QLatin1String(".bdf"));
    if (QFileInfo::exists(*path))
        return true;
    QProcess convert;
    convert.start(QStringLiteral("pcf2bdf"), {QStringLiteral("-o"), *path, source});
    if (!convert.waitForFinished(60000) || convert.exitStatus() != QProcess::NormalExit || convert.exitCode() != 0) {
        *message = QStringLiteral("pcf2bdf failed on %1 (install the Debian package pcf2bdf): %2")
                           .arg(source, QString::fromLocal8Bit(convert.readAllStandardError()) + convert.errorString());
        QFile::remove(*path);
        return false;
    }
    return true;
}

// The font at `file`: a path, the file name of a font of all()
// ("5x7.pcf.gz"), or that of another X11 misc font; prepared.
inline bool prepare(const QString &file, const QString &dir, QString *path, QString *message)
{
    for (const Font &font : all()) {
        if (QFileInfo(QString::fromLatin1(font.path)).fileName() == file)
            return prepare(font, dir, path, message);
    }
    const QString source = QDir::isAbsolutePath(file) ? file : QStringLiteral("/usr/share/fonts/X11/misc/") + file;
    const QByteArray bytes = source.toLocal8Bit();
    return prepare(Font{"", bytes.constData(), packageOf(source)}, dir, path, message);
}

} // namespace RealFonts
