#pragma once

#include <QtGlobal>

#include <signal.h>
#include <sys/resource.h>

// A disk that fills in the middle of a write: while it lives, no file this process writes may grow past `bytes`
// (RLIMIT_FSIZE). A write that crosses the limit is cut short there and the next one fails with EFBIG ("File too
// large"); SIGXFSZ, which would end the process, is ignored meanwhile. The limit and the signal come back at the
// end of the scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }

private:
    struct rlimit m_before
    {
    };
    struct sigaction m_signal
    {
    };
    bool m_active = false;
};
