#pragma once

#include "fontfixtures.h"
#include "glyph.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// What the BDF tests share: the X11 fonts as pcf2bdf converts them, the
// font tools run on what the program saves, and glyphs compared.
namespace BdfTestFonts {

const QString kX11Fonts = QStringLiteral("/usr/share/fonts/X11/");

inline bool run(const QString &program, const QStringList &arguments, QString *message)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *message = QStringLiteral("%1 %2 failed: %3 %4")
                           .arg(program, arguments.join(' '), process.errorString(),
                                QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    const QByteArray complaints = process.readAllStandardError();
    if (!complaints.isEmpty()) {
        *message = QStringLiteral("%1 complained: %2").arg(program, QString::fromLocal8Bit(complaints.left(500)));
        return false;
    }
    return true;
}

inline bool readFile(const QString &path, QByteArray *bytes, QString *message)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The installed PCF font `pcf` (under kX11Fonts, "misc/5x7.pcf.gz") as
// pcf2bdf's BDF text, converted into `dir` once.
inline bool x11Font(const QString &pcf, const QString &dir, QByteArray *text, QString *message)
{
    if (!QFile::exists(kX11Fonts + pcf)) {
        const char *package = pcf.startsWith(QLatin1String("75dpi/"))   ? "xfonts-75dpi"
                              : pcf.contains(QLatin1String("unifont")) ? "xfonts-unifont"
                                                                        : "xfonts-base";
        *message = QStringLiteral("%1 is missing: install the Debian package %2").arg(kX11Fonts + pcf, package);
        return false;
    }
    const QString bdf = QDir(dir).filePath(QString(pcf).replace('/', '-') + QStringLiteral(".bdf"));
    return (QFile::exists(bdf) || run(QStringLiteral("pcf2bdf"), {QStringLiteral("-o"), bdf, kX11Fonts + pcf}, message))
           && readFile(bdf, text, message);
}

using FontFixtures::sameGlyph;

} // namespace BdfTestFonts
