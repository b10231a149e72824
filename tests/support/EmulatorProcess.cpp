#include "EmulatorProcess.h"

#include <QDeadlineTimer>
#include <QTest>

EmulatorProcess::~EmulatorProcess()
{
    kill();
}

bool EmulatorProcess::start(const QStringList& arguments, int timeoutMs)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(HALVEX_EMULATOR_PATH), arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    m_portPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_portPath.isEmpty();
}

void EmulatorProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool EmulatorProcess::waitForFinished(int timeoutMs)
{
    // The caller's event loop keeps running meanwhile: the reader under test is in this process.
    return QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
}
