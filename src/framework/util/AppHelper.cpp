#include "AppHelper.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QOperatingSystemVersion>
#include <QProcess>
#include <QSysInfo>
#include <QUrl>

#ifndef HALVEX_VERSION
#define HALVEX_VERSION "1.0.3"
#endif

namespace {
QString cutBeforeLastDot(const QString& text)
{
    return text.left(text.lastIndexOf(QLatin1Char('.')));
}

const QStringList& resourcePaths()
{
    static const QStringList paths = [] {
        QStringList all;
        QDirIterator it(QStringLiteral(":"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            all.append(it.next());
        return all;
    }();
    return paths;
}

QString asResourceUrl(const QString& path)
{
    return path.startsWith(QLatin1Char(':')) ? QStringLiteral("qrc") + path : path;
}
}

QString AppHelper::versionFrom(const QString& applicationVersion, bool full)
{
    QString version = applicationVersion.isEmpty() ? QStringLiteral(HALVEX_VERSION) : applicationVersion;
    if (version.count(QLatin1Char('.')) == 3)
        version = cutBeforeLastDot(version);
    if (!full && version.count(QLatin1Char('.')) == 2)
        version = cutBeforeLastDot(version);
    return version;
}

QString AppHelper::appVersion(bool full)
{
    return versionFrom(QCoreApplication::applicationVersion(), full);
}

QString AppHelper::OSFromProductType(const QString& productType)
{
    const QString type = productType.toLower();
    const auto containsAny = [&type](std::initializer_list<const char*> words) {
        for (const char* word : words) {
            if (type.contains(QLatin1String(word)))
                return true;
        }
        return false;
    };
    if (containsAny({ "windows", "winrt" }))
        return QStringLiteral("windows");
    if (containsAny({ "android" }))
        return QStringLiteral("android");
    if (containsAny({ "osx", "mac" }))
        return QStringLiteral("macos");
    for (const char* apple : { "ios", "tvos", "watchos" }) {
        if (type.contains(QLatin1String(apple)))
            return QLatin1String(apple);
    }
    if (containsAny({ "ubuntu", "linux", "manjaro", "centos", "fedora", "raspberry" }))
        return QStringLiteral("linux");
    return QStringLiteral("unix");
}

QString AppHelper::OS()
{
    static const QString os = OSFromProductType(QSysInfo::productType());
    return os;
}

QString AppHelper::OSName()
{
    return QOperatingSystemVersion::current().name();
}

QString AppHelper::OSVersion()
{
    const auto current = QOperatingSystemVersion::current();
    return QStringLiteral("%1.%2.%3")
        .arg(qMax(current.majorVersion(), 0))
        .arg(qMax(current.minorVersion(), 0))
        .arg(qMax(current.microVersion(), 0));
}

void AppHelper::openExplorer(const QString& path)
{
#ifdef Q_OS_WIN
    QString nativePath = path;
    nativePath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QProcess::startDetached(QStringLiteral("explorer.exe"), { nativePath });
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

void AppHelper::restart(const QList<QString>& arguments)
{
    QCoreApplication::quit();
    QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments, QString());
}

QString AppHelper::findInResources(const QString& name)
{
    const QStringList& paths = resourcePaths();
    for (const QString& path : paths) {
        if (path.endsWith(name, Qt::CaseSensitive))
            return asResourceUrl(path);
    }
    for (const QString& path : paths) {
        if (path.endsWith(name, Qt::CaseInsensitive))
            return asResourceUrl(path);
    }
    return {};
}

QString AppHelper::getFileFilterString(const QString& title, const QList<QString>& extensions)
{
    QString filter = title.isEmpty() ? QString() : title + QLatin1Char(' ');
    if (extensions.isEmpty())
        return filter;

    QStringList patterns;
    for (QString extension : extensions) {
        if (extension.startsWith(QLatin1String("*.")))
            extension.remove(0, 2);
        else if (extension.startsWith(QLatin1Char('.')))
            extension.remove(0, 1);
        if (!extension.isEmpty())
            patterns.append(QStringLiteral("*.") + extension);
    }
    return filter + QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QStringLiteral(");");
}

QString AppHelper::translatedChangeLogPath()
{
    const QString found = findInResources(QStringLiteral("ChangeLog.txt"));
    if (!found.isEmpty())
        return found;
    for (const QString& path : resourcePaths()) {
        if (path.contains(QLatin1String("ChangeLog"), Qt::CaseInsensitive) && path.endsWith(QLatin1String("txt")))
            return asResourceUrl(path);
    }
    return {};
}
