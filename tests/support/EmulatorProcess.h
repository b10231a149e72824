#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the instrument emulator with the given arguments and hands out the port it serves.
class EmulatorProcess
{
public:
    ~EmulatorProcess();

    // Starts the emulator and waits for the port path on its first output line; false when either fails.
    bool start(const QStringList& arguments, int timeoutMs = 10000);
    QString portPath() const { return m_portPath; }
    // Ends the emulator at once, as a crash or a pulled cable would.
    void kill();
    // Waits for an emulator that ends by itself (--count, --seconds); false when it still runs after timeoutMs.
    bool waitForFinished(int timeoutMs);

private:
    QProcess m_process;
    QString m_portPath;
};
