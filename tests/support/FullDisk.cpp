#include "FullDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

bool FullDisk::redirect(const QString& path)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& entry : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char link[4096];
        const ssize_t size = ::readlink(QFile::encodeName(fds.filePath(entry)).constData(), link, sizeof(link));
        if (size <= 0 || QByteArray(link, size) != target)
            continue;
        const int full = ::open("/dev/full", O_WRONLY);
        const bool done = full >= 0 && ::dup2(full, entry.toInt()) >= 0;
        if (full >= 0)
            ::close(full);
        return done;
    }
    return false;
}
