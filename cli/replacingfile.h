#pragma once

#include <QFile>
#include <QString>

// A file written beside the one it replaces, under a name of its own, and
// renamed over it once written whole: a reader sees the old file or the
// new one, never a part, and a failed export leaves the old one as it was.
// Unlike QSaveFile it does not wait for the disk to store the file (fsync):
// an export is a build's output, made again from its font at will, and on
// an ordinary disk that wait takes longer than the export itself. What is
// no file (a device, a pipe: -o /dev/stdout) is written directly, never
// replaced.
class ReplacingFile
{
public:
    explicit ReplacingFile(const QString &path);
    // Removes the file written unless it was committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // False, with errorString(), where the file cannot be written.
    bool open();
    QIODevice &device() { return m_written; }
    // Puts the file written in the place of the one named.
    bool commit();
    QString errorString() const { return m_error.isEmpty() ? m_written.errorString() : m_error; }

private:
    QString m_path;   // the file replaced; where a link points for a link
    QFile m_written;
    QString m_error;
    bool m_direct = false;
    bool m_committed = false;
};
