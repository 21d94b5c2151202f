#include "psfformat.h"

namespace PsfFormat {

bool isPsf(const QByteArray &bytes)
{
    return bytes.startsWith("\x36\x04") || bytes.startsWith("\x72\xb5\x4a\x86");
}

ReadResult read(const QByteArray &, const QString &fileName)
{
    return ReadResult::inFile(fileName, QStringLiteral("reading PSF is not built yet"));
}

} // namespace PsfFormat
