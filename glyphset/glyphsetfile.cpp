#include "glyphsetfile.h"

#include "bdfformat.h"
#include "fontfile.h"
#include "psfformat.h"

#include <QFileInfo>

namespace GlyphSetFile {

Kind kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bdf"))
        return Kind::Bdf;
    if (suffix == QLatin1String("psf") || path.endsWith(QLatin1String(".psf.gz"), Qt::CaseInsensitive))
        return Kind::Psf;
    return Kind::Array;
}

ReadResult open(const QString &path, const Options &options)
{
    QByteArray bytes;
    QString error;
    switch (kindOf(path)) {
    case Kind::OutlineFont:
        return OutlineFont::renderFile(path, options.outline);
    default:
        break;
    }
    if (!FontFile::load(path, &bytes, &error))
        return ReadResult::failure(error);
    switch (kindOf(path)) {
    case Kind::Bdf:
        return BdfFormat::read(bytes, path);
    case Kind::Psf:
        return PsfFormat::read(bytes, path);
    case Kind::Image:
        return ImageSheet::read(bytes, path, options.image);
    default:
        return ArrayFormat::read(QString::fromUtf8(bytes), path, options.array);
    }
}

QString dialogFilter()
{
    return QStringLiteral("Fonts (*.bdf *.psf *.psf.gz *.c *.h *.asm *.inc *.s *.txt *.png *.bmp *.ttf *.otf);;All files (*)");
}

} // namespace GlyphSetFile
