#pragma once

#include <QString>

class FileUtilities
{
public:
    // The path with a separator at its end ("/" unless it already ends in "/" or "\").
    static QString FolderSlash(const QString& path);
    // Creates the folder and its parents; true when the folder exists afterwards.
    static bool createIfNotExists(const QString& path);
};
