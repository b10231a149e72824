#include "PseudoTerminal.h"

#include <QDeadlineTimer>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    const char* name
        = m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0 ? ::ptsname(m_master) : nullptr;
    if (!name) {
        closeMaster();
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    // Raw from the start: bytes written before the reader sets its own attributes must arrive unchanged.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    termios attributes {};
    if (slave < 0 || ::tcgetattr(slave, &attributes) != 0) {
        if (slave >= 0)
            ::close(slave);
        closeMaster();
        return;
    }
    ::cfmakeraw(&attributes);
    ::tcsetattr(slave, TCSANOW, &attributes);
    ::close(slave);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
}

bool PseudoTerminal::write(const QByteArray& bytes)
{
    // The reader runs in this thread: when the terminal is full, let the event loop drain it.
    const QDeadlineTimer deadline(10000);
    qsizetype written = 0;
    while (m_master >= 0 && written < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + written, size_t(bytes.size() - written));
        if (n > 0) {
            written += n;
        } else if (errno == EAGAIN) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(5);
        } else if (errno != EINTR) {
            return false;
        }
    }
    return m_master >= 0;
}

void PseudoTerminal::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
