#pragma once

#include <QFile>
#include <QString>

class FileUtilities
{
public:
    // The path with a separator at its end ("/" unless it already ends in "/" or "\").
    static QString FolderSlash(const QString& path);
    // Creates the folder and its parents; true when the folder exists afterwards.
    static bool createIfNotExists(const QString& path);
    // The limit to give QIODevice::read(), readLine() or peek() on an open file: those allocate their limit before
    // reading, so a limit sized for the largest file cost every small file that much memory. At most the file's size
    // and one byte (readLine's terminator, and a read past a file that grew shows that it did).
    static qint64 readLimit(const QFile& file, qint64 limit) { return qMin(limit, file.size() + 1); }
};
