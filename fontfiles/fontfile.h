#pragma once

#include "arrayformat.h"
#include "fontkind.h"
#include "readresult.h"

#include "mappedrange.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

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

// A font file's bytes as load() gives them, for a reader that is done with
// them before the view ends: a plain file on disk, not compressed, is mapped
// rather than copied, which for a large font is most of the time reading it
// takes. Anything else is read as load() reads it. Where another program
// writes the file while it is mapped, what the reader made of the bytes is
// to be thrown away: unchanged(), asked once the reader is done, says so.
class View
{
public:
    View() = default;
    ~View();
    View(const View &) = delete;
    View &operator=(const View &) = delete;

    bool load(const QString &path, QString *error);
    // Valid while the view lives; a copy made of them must be a deep one.
    const QByteArray &bytes() const { return m_bytes; }
    // Whether the file is as it was when load() mapped it; false with one
    // sentence in `error` that names the file otherwise.
    bool unchanged(QString *error) const;

private:
    QString m_path;
    QFile m_file;
    QByteArray m_bytes;
    std::unique_ptr<MappedRange> m_mapped;
    qint64 m_size = 0;
    qint64 m_modified = 0;
};

// Whether `bytes` begin as a gzip stream does.
bool isGzip(const QByteArray &bytes);

// Unpacks a gzip stream into `out`, at most `limit` bytes. Returns false with
// what is wrong in `what` (no file name) when the stream is damaged, ends
// early or unpacks to more than `limit`.
bool gunzip(const QByteArray &packed, qint64 limit, QByteArray *out, QString *what);

} // namespace FontFile
