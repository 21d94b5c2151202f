#include "fontfile.h"

#include "bdfformat.h"
#include "psfformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace FontFile {

namespace {

// zlib counts its input and output in uInt; both are handed over in pieces
// no larger than this, whatever the platform's uInt is.
constexpr qsizetype kChunkBytes = 256 * 1024;

// A size as people read it: whole MiB where it is that large, bytes below.
QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MiB").arg(double(bytes) / (1024 * 1024), 0, 'f', bytes % (1024 * 1024) ? 1 : 0);
    return QStringLiteral("%1 bytes").arg(bytes);
}

// Reads at most `limit` + 1 bytes, so that a file that grew since it was
// measured, or one that reports no size (a pipe, a device), is still caught.
// The bytes go straight into `bytes`, sized for the file as measured and
// grown only for what comes beyond.
bool readBounded(QFile &file, qint64 limit, QByteArray *bytes)
{
    // reserve() before resize(): resize() alone would round the buffer up,
    // to twice the limit for a file that comes near it.
    const auto setSize = [bytes](qint64 size) {
        bytes->reserve(qsizetype(size));
        bytes->resize(qsizetype(size));
    };
    constexpr qint64 kFirstGuess = 64 * 1024;
    setSize(file.isSequential() ? kFirstGuess : std::min(file.size(), limit) + 1);
    qint64 used = 0;
    while (used <= limit) {
        if (used == bytes->size())
            setSize(std::min(limit + 1, used * 2));
        const qint64 n = file.read(bytes->data() + used, bytes->size() - used);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        used += n;
    }
    bytes->resize(qsizetype(used));
    return true;
}

// What tells whether an open file changed: its size and, where the system
// gives it to the nanosecond, when it was last written.
struct Stamp
{
    qint64 size = -1;
    qint64 modified = 0;

    bool operator==(const Stamp &other) const { return size == other.size && modified == other.modified; }
};

Stamp stampOf(const QFile &file)
{
    Stamp stamp;
    stamp.size = file.size();
#ifdef Q_OS_UNIX
    struct stat status;
    if (::fstat(file.handle(), &status) == 0) {
        stamp.size = qint64(status.st_size);
#ifdef Q_OS_DARWIN
        stamp.modified = qint64(status.st_mtimespec.tv_sec) * 1000000000 + status.st_mtimespec.tv_nsec;
#else
        stamp.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
#endif
    }
#endif
    return stamp;
}

QString changedWhileRead(const QString &path)
{
    return QStringLiteral("%1: the file changed while it was read; try again once it is written").arg(path);
}

} // namespace

bool load(const QString &path, QByteArray *bytes, QString *error)
{
    // Messages name the file as the user gave it.
    const QString &name = path;
    const QFileInfo info(QDir::cleanPath(path));
    bytes->clear();
    if (!info.exists()) {
        *error = QStringLiteral("%1: there is no such file").arg(name);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("%1: is a folder, not a font file").arg(name);
        return false;
    }
    if (info.size() > kMaxFileBytes) {
        *error = QStringLiteral("%1: the file is %2, more than the %3 this program reads")
                         .arg(name, sizeText(info.size()), sizeText(kMaxFileBytes));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(name, file.errorString());
        return false;
    }
    // A file that another program writes while it is read (an editor
    // saving it, a build making it anew) is read whole or not at all: a
    // different size or time of writing afterwards means the bytes may mix
    // the old file and the new. A file replaced by a new one under its name
    // stays readable as it was. (A file of no size, as the kernel's own
    // files are, says nothing of what it holds.)
    const bool plain = !file.isSequential();
    const Stamp before = plain ? stampOf(file) : Stamp();
    QByteArray raw;
    if (!readBounded(file, kMaxFileBytes, &raw)) {
        *error = QStringLiteral("%1: reading stopped early (%2)").arg(name, file.errorString());
        return false;
    }
    if (plain && before.size > 0 && (raw.size() != before.size || !(stampOf(file) == before)) && raw.size() <= kMaxFileBytes) {
        *error = changedWhileRead(name);
        return false;
    }
    if (raw.size() > kMaxFileBytes) {
        *error = QStringLiteral("%1: the file is more than the %2 this program reads")
                         .arg(name, sizeText(kMaxFileBytes));
        return false;
    }
    if (!isGzip(raw)) {
        *bytes = std::move(raw);
        return true;
    }
    QString what;
    if (!gunzip(raw, kMaxUnpackedBytes, bytes, &what)) {
        bytes->clear();
        *error = QStringLiteral("%1: %2").arg(name, what);
        return false;
    }
    return true;
}

ReadResult read(const QByteArray &bytes, const QString &path, FontKind::Kind kind,
                const ArrayFormat::Options &array)
{
    switch (kind) {
    case FontKind::Kind::Bdf:
        return BdfFormat::read(bytes, path);
    case FontKind::Kind::Psf:
        return PsfFormat::read(bytes, path);
    case FontKind::Kind::Array:
        return ArrayFormat::read(QString::fromUtf8(bytes), path, array);
    case FontKind::Kind::Image:
    case FontKind::Kind::OutlineFont:
        break;
    }
    return ReadResult::inFile(path, QStringLiteral("pictures and outline fonts are read with QtGui"));
}

View::~View()
{
    // The range stops being guarded before it is unmapped.
    m_bytes.clear();
    m_mapped.reset();
    m_file.close();
}

bool View::load(const QString &path, QString *error)
{
    m_path = path;
    const QFileInfo info(path);
    m_file.setFileName(path);
    if (info.isFile() && info.size() > 0 && info.size() <= kMaxFileBytes && m_file.open(QIODevice::ReadOnly)) {
        const Stamp stamp = stampOf(m_file);
        const uchar *data = stamp.size > 0 ? m_file.map(0, stamp.size) : nullptr;
        if (data) {
            m_mapped = std::make_unique<MappedRange>(data, stamp.size);
            m_bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(stamp.size));
            if (m_mapped->isActive() && !isGzip(m_bytes)) {
                m_size = stamp.size;
                m_modified = stamp.modified;
                return true;
            }
            m_bytes.clear();
            m_mapped.reset();
        }
        m_file.close(); // and unmapped
    }
    return FontFile::load(path, &m_bytes, error);
}

bool View::unchanged(QString *error) const
{
    if (!m_mapped)
        return true; // read whole by load(), which checked
    const Stamp now = stampOf(m_file);
    if (!m_mapped->wasCut() && now.size == m_size && now.modified == m_modified)
        return true;
    *error = changedWhileRead(m_path);
    return false;
}

bool isGzip(const QByteArray &bytes)
{
    return bytes.startsWith("\x1f\x8b");
}

// Concatenated gzip members, as `cat a.gz b.gz` makes them, unpack one after
// the other into one output, as gzip itself does. Anything else after the
// last member is taken for damage.
bool gunzip(const QByteArray &packed, qint64 limit, QByteArray *out, QString *what)
{
    out->clear();
    limit = std::clamp<qint64>(limit, 0, qint64(1) << 40);
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        *what = QStringLiteral("could not start unpacking (out of memory)");
        return false;
    }
    const auto *input = reinterpret_cast<const Bytef *>(packed.constData());
    const qsizetype inputSize = packed.size();
    qsizetype consumed = 0;
    // inflate writes straight into `out`, which grows as output comes but
    // never past limit + 1 bytes: one byte more than the limit is how a
    // stream that unpacks to gigabytes is caught, at no more memory.
    const qint64 most = limit + 1;
    out->resize(qsizetype(std::min(most, std::max<qint64>(4096, qint64(inputSize) * 4))));
    qsizetype used = 0;
    bool ok = false;
    for (;;) {
        if (stream.avail_in == 0 && consumed < inputSize) {
            const qsizetype piece = std::min(kChunkBytes, inputSize - consumed);
            stream.next_in = const_cast<Bytef *>(input + consumed);
            stream.avail_in = uInt(piece);
            consumed += piece;
        }
        if (used == out->size())
            out->resize(qsizetype(std::min(most, qint64(used) * 2)));
        const qsizetype room = std::min(kChunkBytes, out->size() - used);
        stream.next_out = reinterpret_cast<Bytef *>(out->data() + used);
        stream.avail_out = uInt(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = room - qsizetype(stream.avail_out);
        used += produced;
        if (used > limit) {
            *what = QStringLiteral("unpacks to more than %1, the most this program reads").arg(sizeText(limit));
            break;
        }
        if (status == Z_STREAM_END) {
            const qsizetype left = qsizetype(stream.avail_in) + (inputSize - consumed);
            if (left == 0) {
                ok = true;
                break;
            }
            const qsizetype at = inputSize - left;
            if (left < 2 || uchar(packed[at]) != 0x1f || uchar(packed[at + 1]) != 0x8b) {
                *what = left == 1 ? QStringLiteral("has a stray byte after the end of its compressed data")
                                  : QStringLiteral("has %1 stray bytes after the end of its compressed data").arg(left);
                break;
            }
            inflateReset(&stream);
            continue;
        }
        if (status == Z_DATA_ERROR) {
            *what = QStringLiteral("the compressed data is damaged (%1)")
                            .arg(QString::fromLatin1(stream.msg ? stream.msg : "bad data"));
            break;
        }
        if (status == Z_MEM_ERROR) {
            *what = QStringLiteral("ran out of memory while unpacking");
            break;
        }
        if (status == Z_NEED_DICT || status == Z_STREAM_ERROR) {
            *what = QStringLiteral("the compressed data is damaged");
            break;
        }
        // Z_OK or Z_BUF_ERROR: inflate wants more input. With none left, and
        // no output made this round, the stream was cut short.
        if (stream.avail_in == 0 && consumed == inputSize && produced == 0) {
            *what = QStringLiteral("the compressed data ends early (the file is cut short)");
            break;
        }
    }
    inflateEnd(&stream);
    if (ok)
        out->resize(used);
    else
        out->clear();
    return ok;
}

} // namespace FontFile
