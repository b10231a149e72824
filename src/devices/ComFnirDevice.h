#pragma once

#include "AbstractFnirDevice.h"
#include "ConnectionHelper.h"
#include "LineStamper.h"

#include <QSerialPort>
#include <QStringDecoder>

// An instrument on a serial port that streams one sample per text line: numbers separated by single spaces, ended
// by LF (an optional CR before it is ignored), 115200 baud 8N1. The port is opened read-only; nothing is ever sent.
class ComFnirDevice : public AbstractFnirDevice
{
    Q_OBJECT
public:
    // A partial line longer than this means the instrument sends no line feeds (wrong baud rate, a stuck device).
    static constexpr qsizetype MaxLineBuffer = 64 * 1024;
    // The most values a line can carry: 100 channels of three. A longer line is noise (two lines run together, a
    // wrong baud rate), and every value would become a column of the table and a graph of its own.
    static constexpr int MaxValues = 300;

    // descriptor: a device-list entry such as "ttyUSB0 [description]" or a bare port name or path.
    explicit ComFnirDevice(const QString& descriptor, QObject* parent = nullptr);
    ~ComFnirDevice() override;

    QString deviceName() const override;
    // For an instrument that came back under another name (a renumbered USB adapter); the next connectDevice()
    // opens it there.
    void setPortName(const QString& portName) { m_portName = portName; }
    bool connectDevice() override;
    bool disconnectDevice() override;

private:
    void readLines();
    void onPortError(QSerialPort::SerialPortError error);
    void parseLine(QStringView line, qint64 ts);

    QString m_portName;
    QSerialPort* m_port = nullptr;
    ConnectionHelper m_connections { QStringLiteral("ComFnirDevice") };
    QString m_lineBuffer;
    QByteArray m_readBuffer;
    // Keeps a multi-byte character that is split between two reads.
    QStringDecoder m_decoder { QStringDecoder::Utf8 };
    // The text up to the next line feed is not a sample: the rest of a line that overflowed the buffer, or the
    // tail of the line the instrument was sending when the port opened (it sends whether a port listens or not).
    bool m_skipToLineFeed = false;
    // Said once per run of text without line feeds.
    bool m_overflowing = false;
    LineStamper m_stamper;
    // Said once per run of overlong lines.
    bool m_droppingLongLines = false;
};
