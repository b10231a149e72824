#include "ComFnirDevice.h"

#include "PortList.h"
#include "SampleClock.h"

#include <QDateTime>
#include <QDebug>
#include <QStringTokenizer>

#include <cmath>

ComFnirDevice::ComFnirDevice(const QString& descriptor, QObject* parent)
    : AbstractFnirDevice(parent)
    , m_portName(portNameFromEntry(descriptor))
{ }

ComFnirDevice::~ComFnirDevice()
{
    disconnectDevice();
}

QString ComFnirDevice::deviceName() const
{
    return m_portName;
}

bool ComFnirDevice::connectDevice()
{
    disconnectDevice();
    qDebug().noquote() << "Connect to" << m_portName;

    m_port = new QSerialPort(m_portName);
    m_port->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_connections << connect(m_port, &QSerialPort::readyRead, this, &ComFnirDevice::readLines);

    if (m_port->open(QIODevice::ReadOnly)) {
        // Watched only once open, so that a failed open reports disconnected() once, below.
        m_connections << connect(m_port, &QSerialPort::errorOccurred, this, &ComFnirDevice::onPortError);
        qDebug() << "PORT OPEN";
        m_skipToLineFeed = true;
        m_stamper.restart();
        emit connected();
        return true;
    }
    qDebug() << "PORT NOT OPEN";
    setErrorString(m_port->errorString());
    disconnectDevice();
    emit disconnected();
    return false;
}

bool ComFnirDevice::disconnectDevice()
{
    m_connections.clear();
    if (m_port) {
        m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    m_lineBuffer.clear();
    m_decoder.resetState();
    m_skipToLineFeed = false;
    m_overflowing = false;
    return true;
}

void ComFnirDevice::onPortError(QSerialPort::SerialPortError error)
{
    // An unplugged adapter reports ResourceError; a pseudo-terminal whose other side is gone reports ReadError on
    // every notification, so the port must be closed or the event loop spins on it.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    qDebug().noquote() << "PORT LOST" << m_portName << error << (m_port ? m_port->errorString() : QString());
    if (m_port)
        setErrorString(m_port->errorString());
    disconnectDevice();
    emit disconnected();
}

void ComFnirDevice::readLines()
{
    if (!m_port)
        return;
    // Read and decode into the buffers kept from the previous call: this runs for every few bytes that arrive.
    m_readBuffer.resize(m_port->bytesAvailable());
    const qint64 count = m_port->read(m_readBuffer.data(), m_readBuffer.size());
    if (count <= 0)
        return;
    const qsizetype kept = m_lineBuffer.size();
    m_lineBuffer.resize(kept + m_decoder.requiredSpace(count));
    const QChar* end
        = m_decoder.appendToBuffer(m_lineBuffer.data() + kept, QByteArrayView(m_readBuffer.constData(), count));
    m_lineBuffer.truncate(end - m_lineBuffer.constData());

    // What was kept from the previous read holds no line feed: every one here ends a line of this read.
    const qsizetype lines = m_lineBuffer.count(QLatin1Char('\n'));
    const LineStamper::Spread stamps = m_stamper.take(SampleClock::nowMs(), int(lines));
    qsizetype start = 0;
    int index = 0;
    for (qsizetype end = m_lineBuffer.indexOf(QLatin1Char('\n')); end >= 0 && m_port;
         end = m_lineBuffer.indexOf(QLatin1Char('\n'), start)) {
        const QStringView line = QStringView(m_lineBuffer).sliced(start, end - start);
        start = end + 1;
        const qint64 ts = stamps.at(index++);
        m_overflowing = false;
        if (m_skipToLineFeed) {
            m_skipToLineFeed = false;
            continue;
        }
        parseLine(line, ts);
    }
    // A receiver of newData may have closed the instrument, which emptied the buffer.
    if (!m_port)
        return;
    m_lineBuffer.remove(0, start);

    if (m_lineBuffer.size() > MaxLineBuffer) {
        if (!m_overflowing)
            qDebug().noquote() << "LINE BUFFER FULL" << m_portName << "dropped" << m_lineBuffer.size()
                               << "characters without a line feed";
        m_lineBuffer.clear();
        m_skipToLineFeed = true;
        m_overflowing = true;
    }
}

void ComFnirDevice::parseLine(QStringView line, qint64 ts)
{
    line = line.trimmed();

    QList<double> values;
    values.reserve(qMax(channelCount(), 1));
    for (const QStringView field : QStringTokenizer(line, QLatin1Char(' '))) {
        if (values.size() == MaxValues) {
            if (!m_droppingLongLines)
                qDebug().noquote() << "LINE TOO LONG" << m_portName << "dropped a line of more than" << MaxValues
                                   << "values";
            m_droppingLongLines = true;
            return;
        }
        bool ok = false;
        const double value = field.toDouble(&ok);
        // "nan" and "inf" convert, but no later stage can round or draw them.
        values.append(ok && std::isfinite(value) ? value : 0.0);
    }
    m_droppingLongLines = false;
    if (values.size() != channelCount())
        setChannelCount(int(values.size()));
    emit newData(ts, values);
}
