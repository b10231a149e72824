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
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // HOME/Documents, created.
    QString documents() const;
    // HOME/Documents/Halvex, not created.
    QString dataFolder() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
    bool m_hadConfig = false;
};
