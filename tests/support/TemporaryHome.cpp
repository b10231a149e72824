#include "TemporaryHome.h"

#include <QDir>
#include <QFileInfo>

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

QString TemporaryHome::dataFolder() const
{
    return m_dir.path() + QStringLiteral("/Documents/Halvex");
}

QByteArray TemporaryHome::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool TemporaryHome::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}
