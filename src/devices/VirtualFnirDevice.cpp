#include "VirtualFnirDevice.h"
#include "SampleClock.h"

#include <QDateTime>
#include <QRandomGenerator64>
#include <QTimer>

namespace {
double bounded(int low, int high)
{
    return QRandomGenerator64::global()->bounded(low, high);
}
} // namespace

VirtualFnirDevice::VirtualFnirDevice(QObject* parent)
    : AbstractFnirDevice(parent)
{
    setChannelCount(24);
}

VirtualFnirDevice::~VirtualFnirDevice()
{
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
    }
}

void VirtualFnirDevice::setChannelCount(int count)
{
    AbstractFnirDevice::setChannelCount(count);
    m_values.clear();
    while (m_values.size() < count) {
        const double base = bounded(0, 1000);
        m_values.append(base);
        for (int j = 1; j < m_groupSize; ++j)
            m_values.append(base + bounded(-10, 10));
    }
}

QString VirtualFnirDevice::deviceName() const
{
    return QStringLiteral("Virtual FNIR");
}

bool VirtualFnirDevice::connectDevice()
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, &VirtualFnirDevice::tick);
    }
    restartTimer();
    return true;
}

bool VirtualFnirDevice::disconnectDevice()
{
    if (m_timer)
        m_timer->stop();
    return true;
}

void VirtualFnirDevice::tick()
{
    m_timer->stop();
    const qsizetype size = m_values.size();
    for (qsizetype i = 0; i < size; i += m_groupSize) {
        const double old = m_values[i];
        m_values[i] += bounded(-10, 10);
        for (qsizetype j = i + 1; j < i + m_groupSize && j < size; ++j)
            m_values[j] = old + bounded(-10, 10);
    }
    emit newData(SampleClock::nowMs(), m_values);
    restartTimer();
}

void VirtualFnirDevice::restartTimer()
{
    m_timer->setInterval(int(bounded(m_minimumInterval, m_maximumInterval)));
    m_timer->start();
}
