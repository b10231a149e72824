#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair in the test process: code under test opens slavePath() as its serial port, the test
// writes what the instrument would send to the master side. Closing the master is the cable being pulled.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    // Writes all bytes, running the event loop while the terminal is full; false when the master is closed, the
    // write fails or the reader takes nothing for ten seconds.
    bool write(const QByteArray& bytes);
    void closeMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};
