#pragma once

#include "arrayformat.h"
#include "fontkind.h"
#include "readresult.h"

#include <QByteArray>
#include <QString>

// Reading a font file's bytes whole, as every reader needs them: a file over
// kMaxFileBytes is refused before anything is read, and a gzip-compressed one
// (known by its first bytes, whatever its name) is unpacked, stopping with an
// error as soon as it would pass kMaxUnpackedBytes.
namespace FontFile {

constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;
constexpr qint64 kMaxUnpackedBytes = qint64(64) * 1024 * 1024;

// The file's bytes, unpacked where it is gzip-compressed. Returns false with
// one sentence in `error` that names the file as `path` gives it, also when
// another program changed the file while it was read.
bool load(const QString &path, QByteArray *bytes, QString *error);

// The bytes of a file (as load() gives them) of a kind that QtCore reads
// (BDF, PSF, source code, the last read with `array`) as a set; any other
// kind is refused. `path` names the file in messages.
ReadResult read(const QByteArray &bytes, const QString &path, FontKind::Kind kind,
                const ArrayFormat::Options &array);

// Whether `bytes` begin as a gzip stream does.
bool isGzip(const QByteArray &bytes);

// Unpacks a gzip stream into `out`, at most `limit` bytes. Returns false with
// what is wrong in `what` (no file name) when the stream is damaged, ends
// early or unpacks to more than `limit`.
bool gunzip(const QByteArray &packed, qint64 limit, QByteArray *out, QString *what);

} // namespace FontFile
