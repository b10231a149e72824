#include "AppHelper.h"

#include "LanguageContext.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QOperatingSystemVersion>
#include <QProcess>
#include <QSysInfo>
#include <QUrl>

#include <algorithm>

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
} // namespace

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

QString AppHelper::OSPrettyName()
{
    return QSysInfo::prettyProductName();
}

int AppHelper::OSBits()
{
    return QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? 64 : 32;
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

    const QDir folder(QCoreApplication::applicationDirPath());
    const QStringList texts = folder.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name);
    const QString app = QCoreApplication::applicationName();
    QString anyChangeLog;
    for (const QString& name : texts) {
        if (!name.contains(QLatin1String("ChangeLog"), Qt::CaseInsensitive))
            continue;
        if (name.contains(app, Qt::CaseInsensitive))
            return folder.filePath(name);
        if (anyChangeLog.isEmpty())
            anyChangeLog = folder.filePath(name);
    }
    return anyChangeLog;
}

QStringList AppHelper::changeLogBlocks(const QString& source, const QString& language)
{
    const QStringList accepted = language.contains(QLatin1String("en"), Qt::CaseInsensitive)
        ? QStringList { QStringLiteral("en-US"), QStringLiteral("en-EN"), QStringLiteral("en") }
        : QStringList { QStringLiteral("ru-RU"), QStringLiteral("ru"), QStringLiteral("ru_RU") };

    // The file has CR LF line ends; a copy edited elsewhere may have LF alone.
    QString text = source;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), from);
        if (open < 0)
            break;
        const qsizetype openEnd = text.indexOf(QLatin1Char('>'), open + 2);
        if (openEnd < 0)
            break;
        const QString tag = text.mid(open + 1, openEnd - open - 1);
        const QString closing = QStringLiteral("</") + tag + QLatin1Char('>');
        const qsizetype close = text.indexOf(closing, openEnd + 1);
        if (close < 0) {
            from = open + 1;
            continue;
        }
        qsizetype blockEnd = close + closing.size();
        QString replacement;
        if (accepted.contains(tag))
            replacement = text.mid(openEnd + 1, close - openEnd - 1).trimmed();
        else if (blockEnd < text.size() && text.at(blockEnd) == QLatin1Char('\n'))
            // A dropped block takes its line with it: each version line stays directly above its items, and only
            // the empty line between versions separates entries, whichever block comes first.
            ++blockEnd;
        text.replace(open, blockEnd - open, replacement);
        from = 0;
    }

    QStringList entries;
    for (const QString& entry : text.split(QLatin1String("\n\n"))) {
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty())
            entries.append(trimmed);
    }
    return entries;
}

QString AppHelper::renderChangeLog(const QStringList& entries)
{
    static const QStringList hiddenPlatforms = { QStringLiteral("[Android]"), QStringLiteral("[iOS]"),
        QStringLiteral("[macOS]"), QStringLiteral("[Linux]") };
    static const QStringList removedTags = { QStringLiteral("[Android]"), QStringLiteral("[Windows]"),
        QStringLiteral("[iOS]"), QStringLiteral("[macOS]") };
    const auto containsAny = [](const QString& line, const QStringList& words) {
        return std::any_of(words.cbegin(), words.cend(),
            [&line](const QString& word) { return line.contains(word, Qt::CaseInsensitive); });
    };

    QString html
        = QStringLiteral("<style> .bull { padding-left: 2px; padding-right: 2px; font-weight: bold; } </style>");
    for (const QString& entry : entries) {
        const QStringList lines = entry.split(QLatin1Char('\n'));
        if (lines.size() < 2)
            continue;
        QString header = lines.first().trimmed();
        if (header.contains(QLatin1Char('(')) && header.contains(QLatin1Char(')'))) {
            header.replace(QLatin1String("("), QLatin1String("<span style=\"color: #999; font-weight: normal\">("));
            header.replace(QLatin1String(")"), QLatin1String(")</span>"));
        }
        html += QStringLiteral("<b>") + header + QStringLiteral("</b><table cellspacing=\"6\">");
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (line.isEmpty() || containsAny(line, hiddenPlatforms))
                continue;
            QString itemText = line.mid(2).trimmed();
            for (const QString& tag : removedTags)
                itemText.remove(tag, Qt::CaseInsensitive);
            html += QStringLiteral("<tr><td class=\"bull\">") + line.at(0) + QStringLiteral("</td><td>")
                + itemText.trimmed() + QStringLiteral("</td></tr>");
        }
        html += QStringLiteral("</table><br><br><br>");
    }
    return html;
}

QStringList AppHelper::translatedChangeLogBlocks()
{
    static const QStringList blocks = [] {
        QString path = translatedChangeLogPath();
        if (path.startsWith(QLatin1String("qrc:")))
            path.remove(0, 3);
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
            return QStringList();
        return changeLogBlocks(QString::fromUtf8(file.readAll()), LanguageContext::currentLanguage());
    }();
    return blocks;
}

QString AppHelper::translatedChangeLog()
{
    static const QString html = renderChangeLog(translatedChangeLogBlocks());
    return html;
}
