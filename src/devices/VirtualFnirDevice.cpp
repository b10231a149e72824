#include "VirtualFnirDevice.h"

#include "HeadModel.h"
#include "SampleClock.h"

#include <QRandomGenerator64>
#include <QTimer>

#include <cmath>

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
    if (m_signal == Signal::Head)
        makeHead();
}

void VirtualFnirDevice::setSignal(Signal signal)
{
    if (signal == m_signal)
        return;
    m_signal = signal;
    if (m_signal == Signal::Head) {
        makeHead();
    } else {
        m_head.reset();
        setChannelCount(channelCount());
    }
    restartIfRunning();
}

void VirtualFnirDevice::setRate(double samplesPerSecond)
{
    if (!(samplesPerSecond > 0) || samplesPerSecond == m_rate)
        return;
    m_rate = qMin(samplesPerSecond, 1000.0);
    if (m_head) {
        m_head->setRate(m_rate);
        restartIfRunning();
    }
}

void VirtualFnirDevice::setBadChannelEvery(int every)
{
    if (every == m_badChannelEvery)
        return;
    m_badChannelEvery = every;
    if (m_head)
        makeHead();
}

void VirtualFnirDevice::setOptics(const BeerLambert::Settings& optics)
{
    if (optics.redWavelength == m_optics.redWavelength && optics.infraredWavelength == m_optics.infraredWavelength
        && optics.distanceMm == m_optics.distanceMm
        && optics.partialPathlengthFactor == m_optics.partialPathlengthFactor)
        return;
    m_optics = optics;
    if (m_head)
        makeHead();
}

void VirtualFnirDevice::setValuesPerChannel(int values)
{
    values = qBound(2, values, 3);
    if (values == m_valuesPerChannel)
        return;
    m_valuesPerChannel = values;
    if (m_head)
        makeHead();
}

void VirtualFnirDevice::makeHead()
{
    HeadModel::Settings settings;
    settings.channels = qMax(1, (channelCount() + m_valuesPerChannel - 1) / m_valuesPerChannel);
    settings.rate = m_rate;
    settings.badChannelEvery = m_badChannelEvery;
    settings.optics = m_optics;
    settings.seed = QRandomGenerator64::global()->generate64();
    m_head = std::make_unique<HeadModel>(settings);
    m_values.fill(0.0, qsizetype(m_head->channels()) * m_valuesPerChannel);
    if (m_running)
        anchorHead();
}

void VirtualFnirDevice::anchorHead()
{
    m_anchorMs = SampleClock::nowMs();
    m_anchorTime = m_head->time();
    m_sentSinceAnchor = 0;
}

void VirtualFnirDevice::mark(qint64 timestamp)
{
    if (!m_head)
        return;
    m_head->stimulate(m_running ? m_anchorTime + double(timestamp - m_anchorMs) / 1000.0 : m_head->time());
}

QString VirtualFnirDevice::deviceName() const
{
    return QStringLiteral("Virtual FNIR");
}

bool VirtualFnirDevice::connectDevice()
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, [this]() { m_head ? tickHead() : tick(); });
    }
    m_running = true;
    restartIfRunning();
    return true;
}

bool VirtualFnirDevice::disconnectDevice()
{
    m_running = false;
    if (m_timer)
        m_timer->stop();
    return true;
}

void VirtualFnirDevice::restartIfRunning()
{
    if (!m_running)
        return;
    m_timer->stop();
    if (m_head) {
        anchorHead();
        // Twice a sample interval at least, so that no sample waits long after it fell due.
        m_timer->setSingleShot(false);
        m_timer->setInterval(qBound(5, int(500.0 / m_rate), 50));
        m_timer->start();
    } else {
        m_timer->setSingleShot(true);
        restartTimer();
    }
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

void VirtualFnirDevice::tickHead()
{
    const qint64 now = SampleClock::nowMs();
    // Samples 0 … k fall due by now for k = ⌊(now − anchor) · rate / 1000⌋.
    qint64 due = qint64(std::floor(double(now - m_anchorMs) * m_rate / 1000.0)) + 1;
    if (due - m_sentSinceAnchor > qint64(std::ceil(m_rate))) {
        anchorHead();
        due = 1;
    }
    for (; m_sentSinceAnchor < due; ++m_sentSinceAnchor) {
        const qint64 stamp = m_anchorMs + std::llround(double(m_sentSinceAnchor) * 1000.0 / m_rate);
        m_head->next(m_values.data(), m_valuesPerChannel);
        emit newData(stamp, m_values);
    }
}
