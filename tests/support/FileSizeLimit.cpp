#include "FileSizeLimit.h"

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    struct sigaction ignore
    {
    };
    ignore.sa_handler = SIG_IGN;
    if (::getrlimit(RLIMIT_FSIZE, &m_before) != 0 || ::sigaction(SIGXFSZ, &ignore, &m_signal) != 0)
        return;
    struct rlimit limit = m_before;
    limit.rlim_cur = rlim_t(bytes);
    m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!m_active)
        ::sigaction(SIGXFSZ, &m_signal, nullptr);
}

FileSizeLimit::~FileSizeLimit()
{
    if (!m_active)
        return;
    ::setrlimit(RLIMIT_FSIZE, &m_before);
    ::sigaction(SIGXFSZ, &m_signal, nullptr);
}
