#include "FileUtilities.h"

#include <QDir>

QString FileUtilities::FolderSlash(const QString& path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path;
    return path + QLatin1Char('/');
}

bool FileUtilities::createIfNotExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    QDir dir(path);
    return dir.exists() || dir.mkpath(QStringLiteral("."));
}
