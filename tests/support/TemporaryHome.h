#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Points HOME (and so the Documents location) at a fresh temporary folder for the lifetime of the object, so that
// no test ever reads or writes the user's real data folder. Restores the previous environment afterwards.
class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();

    QString path() const { return m_dir.path(); }
    // HOME/Documents/Halvex, not created.
    QString dataFolder() const;

    // The whole file, or "<missing>" when it cannot be read: a missing file never equals an expected content.
    static QByteArray readFile(const QString& path);
    // Replaces the file with bytes, creating its folder; false when that fails.
    static bool writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
    bool m_hadConfig = false;
};
