#include "TemporaryHome.h"

#include <QDir>

TemporaryHome::TemporaryHome()
    : m_oldHome(qgetenv("HOME"))
    , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("HOME", QFile::encodeName(m_dir.path()));
    // user-dirs.dirs under the config folder could move Documents elsewhere: keep that inside HOME too.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/.config")));
    QDir(m_dir.path()).mkpath(QStringLiteral("Documents"));
}

TemporaryHome::~TemporaryHome()
{
    qputenv("HOME", m_oldHome);
    if (m_hadConfig)
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TemporaryHome::documents() const
{
    return m_dir.path() + QStringLiteral("/Documents");
}

QString TemporaryHome::dataFolder() const
{
    return documents() + QStringLiteral("/Halvex");
}
