#include "replacingfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

constexpr int kNameAttempts = 16;

// Renames `from` over `to`, replacing it in one step.
bool renameOver(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()), reinterpret_cast<const wchar_t *>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING)
            != 0;
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

} // namespace

ReplacingFile::ReplacingFile(const QString &path)
    : m_path(path)
{
}

ReplacingFile::~ReplacingFile()
{
    if (!m_direct && !m_committed && !m_written.fileName().isEmpty())
        m_written.remove();
}

bool ReplacingFile::open()
{
    const QFileInfo given(m_path);
    if (given.exists() && !given.isFile() && !given.isDir()) {
        m_direct = true;
        m_written.setFileName(m_path);
        if (!m_written.open(QIODevice::WriteOnly)) {
            m_error = m_written.errorString();
            return false;
        }
        return true;
    }
    // A link is followed, so that it keeps pointing at the file replaced.
    if (given.isSymLink())
        m_path = given.exists() ? given.canonicalFilePath() : given.symLinkTarget();
    const QFileInfo target(m_path);
    if (target.isDir()) {
        m_error = QStringLiteral("it is a folder");
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        m_error = QStringLiteral("it may not be changed (it is read-only)");
        return false;
    }
    // A new file gets the permissions any new file gets; one that replaces
    // another, that one's.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        m_written.setFileName(QStringLiteral("%1.%2~").arg(m_path).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                       QLatin1Char('0')));
        if (m_written.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (target.exists() && !m_written.setPermissions(target.permissions())) {
                m_error = m_written.errorString();
                return false;
            }
            return true;
        }
        if (m_written.error() != QFileDevice::OpenError || !QFileInfo::exists(m_written.fileName()))
            break;
    }
    m_error = m_written.errorString();
    m_written.setFileName(QString());
    return false;
}

bool ReplacingFile::commit()
{
    if (!m_written.flush()) {
        m_error = m_written.errorString();
        return false;
    }
    m_written.close();
    if (m_written.error() != QFileDevice::NoError) {
        m_error = m_written.errorString();
        return false;
    }
    if (m_direct) {
        m_committed = true;
        return true;
    }
    if (!renameOver(m_written.fileName(), m_path)) {
        m_error = qt_error_string();
        return false;
    }
    m_committed = true;
    return true;
}
