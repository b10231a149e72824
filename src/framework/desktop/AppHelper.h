#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class AppHelper
{
public:
    // "1.0.3" (full) or "1.0"; a fourth number is never shown.
    static QString appVersion(bool full);
    // Operating-system family: "windows", "android", "macos", "ios", "tvos", "watchos", "linux" or "unix".
    static QString OS();
    static QString OSFromProductType(const QString& productType);
    static QString OSName();
    static QString OSVersion();
    // The running system as people name it ("Debian GNU/Linux 12", "Windows 10 Version 22H2") and its word size.
    static QString OSPrettyName();
    static int OSBits();

    // Opens the folder in the desktop's file browser.
    static void openExplorer(const QString& path);
    // Quits and starts this executable again with the arguments.
    static void restart(const QList<QString>& arguments);

    // "qrc:" URL of the first embedded file whose path ends with the name (case-sensitive first), or empty.
    static QString findInResources(const QString& name);
    // "Title (*.a *.b);" for a file dialog.
    static QString getFileFilterString(const QString& title, const QList<QString>& extensions);

    // The change log: the embedded one, else a "*ChangeLog*.txt" beside the executable.
    static QString translatedChangeLogPath();
    // The change log's entries (a version line and its items) in the interface language, read once per process.
    static QStringList translatedChangeLogBlocks();
    // Those entries as rich text, rendered once per process.
    static QString translatedChangeLog();
    // The entries of a change-log text in a language ("ru-RU", "en_US", ...), and their rich-text form.
    static QStringList changeLogBlocks(const QString& text, const QString& language);
    static QString renderChangeLog(const QStringList& entries);

    // The version text before trimming; only tests set it.
    static QString versionFrom(const QString& applicationVersion, bool full);
};
