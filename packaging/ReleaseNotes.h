#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The program's change log read for the package: one release per version line ("1.0.3 (2025-12-17)"), with the
// items of its English and Russian blocks that concern Linux, written out as the AppStream release list and as
// the Debian change log.
class ReleaseNotes
{
public:
    struct Release
    {
        QString version;
        QDate date;
        QStringList english;
        QStringList russian;
    };

    static QList<Release> parse(const QString& text);

    // <release> elements, newest first, indented for the <releases> element of a metainfo file.
    static QString appStream(const QList<Release>& releases);
    // The Debian change log of a native package, newest first.
    static QString debianChangeLog(const QList<Release>& releases, const QString& package, const QString& maintainer);
};
