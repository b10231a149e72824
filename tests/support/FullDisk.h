#pragma once

#include <QString>

// A disk that fills up during a write: points this process's open descriptor of a file at /dev/full, so that every
// later write to it fails with "No space left on device" while what was written before stays in the file.
class FullDisk
{
public:
    static bool redirect(const QString& path);
};
