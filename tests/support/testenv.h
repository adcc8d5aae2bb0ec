// Gives a test process, and every program it starts, its own empty settings
// store and runtime folder. Create one as a static object in the test file, so
// it is in place before anything reads the store.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

class TestEnv {
public:
    TestEnv() {
        const QString root = m_dir.path();
        QDir().mkpath(root + "/config");
        QDir().mkpath(root + "/run");
        QFile::setPermissions(root + "/run",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + "/run"));
    }
    QString root() const { return m_dir.path(); }
    QString configDir() const { return m_dir.path() + "/config"; }
    QString runtimeDir() const { return m_dir.path() + "/run"; }
    QString storeFile() const { return configDir() + "/Dialmere/Dialmere.ini"; }
    // Empties the store between test cases.
    void clearStore() const { QFile::remove(storeFile()); }

private:
    QTemporaryDir m_dir;
};
