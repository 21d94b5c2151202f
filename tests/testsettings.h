#pragma once

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// Points the per-user settings store at a fresh temporary folder for as long
// as it lives, so a test never reads or writes the user's real settings and
// never sees what an earlier test left behind.
class TestSettings
{
public:
    TestSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        setPath(m_dir.path());
    }

    // Points the store somewhere else, e.g. where it cannot be written.
    static void setPath(const QString &path)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    }

    QString path() const { return m_dir.path(); }

    // The main window's section as written, read back without any conversion.
    QSettings store() const
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KELVOR"));
    }

private:
    QTemporaryDir m_dir;
};
