#pragma once

#include <QList>
#include <QString>

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

    // Opens the folder in the desktop's file browser.
    static void openExplorer(const QString& path);
    // Quits and starts this executable again with the arguments.
    static void restart(const QList<QString>& arguments);

    // "qrc:" URL of the first embedded file whose path ends with the name (case-sensitive first), or empty.
    static QString findInResources(const QString& name);
    // "Title (*.a *.b);" for a file dialog.
    static QString getFileFilterString(const QString& title, const QList<QString>& extensions);
    static QString translatedChangeLogPath();

    // The version text before trimming; only tests set it.
    static QString versionFrom(const QString& applicationVersion, bool full);
};
