#pragma once

#include "placement.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// Points the per-user settings store at a fresh temporary folder for as long
// as it lives, so a test never reads or writes the user's real settings and
// never sees what an earlier test left behind. The store becomes an INI file
// there on every platform: native stores (the registry, property lists) have
// no folder to move.
class TestSettings
{
public:
    TestSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setDefaultFormat(QSettings::IniFormat);
        setPath(m_dir.path());
    }

    // Points the store somewhere else, e.g. where it cannot be written.
    static void setPath(const QString &path)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    }

    QString path() const { return m_dir.path(); }

    // The store the main window writes, read back without any conversion.
    static QSettings store() { return Placement::store(); }

private:
    QTemporaryDir m_dir;
};
