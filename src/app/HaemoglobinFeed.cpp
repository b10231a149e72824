#include "HaemoglobinFeed.h"

#include "HalvexSettings.h"
#include "RecordsSettings.h"

#include <cmath>

HaemoglobinFeed::HaemoglobinFeed(HalvexSettings* settings, RecordsSettings* optics, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_optics(optics)
{
    connect(m_settings, &HalvexSettings::changedBaselineSeconds, this, &HaemoglobinFeed::restart);
    connect(m_optics, &RecordsSettings::changedRedWavelength, this, &HaemoglobinFeed::restart);
    connect(m_optics, &RecordsSettings::changedInfraredWavelength, this, &HaemoglobinFeed::restart);
    connect(m_optics, &RecordsSettings::changedPartialPathlengthFactor, this, &HaemoglobinFeed::restart);
    connect(m_optics, &RecordsSettings::changedSourceDetectorDistance, this, &HaemoglobinFeed::restart);
    connect(m_optics, &RecordsSettings::reloaded, this, &HaemoglobinFeed::restart);
    restart();
}

void HaemoglobinFeed::restart()
{
    m_lawSettings.redWavelength = m_optics->getRedWavelength();
    m_lawSettings.infraredWavelength = m_optics->getInfraredWavelength();
    m_lawSettings.partialPathlengthFactor = m_optics->getPartialPathlengthFactor();
    m_lawSettings.distanceMm = m_optics->getSourceDetectorDistance();
    m_problem.clear();
    m_law = BeerLambert::create(m_lawSettings, &m_problem);
    m_live.reset();
    m_known = false;
    m_baselineStart = -1;
    emit baselineRestarted();
}

void HaemoglobinFeed::resetBaseline()
{
    if (m_live)
        m_live->reset();
    m_known = false;
    m_baselineStart = -1;
    emit baselineRestarted();
}

int HaemoglobinFeed::push(qint64 timestamp, const QList<double>& data, int valuesPerChannel)
{
    if (!m_law || valuesPerChannel < 2)
        return 0;
    const int channels = int(data.size()) / valuesPerChannel;
    m_red.resize(size_t(channels));
    m_infrared.resize(size_t(channels));
    for (int c = 0; c < channels; ++c) {
        m_red[size_t(c)] = data.at((c + 1) * valuesPerChannel - 2);
        m_infrared[size_t(c)] = data.at((c + 1) * valuesPerChannel - 1);
    }
    // Another channel count is another instrument setup: its light has nothing in common with the baseline's.
    if (!m_live || m_live->channels() != channels) {
        m_live.emplace(*m_law, channels, double(m_settings->getBaselineSeconds()));
        m_known = false;
        m_baselineStart = -1;
    }
    if (m_baselineStart < 0)
        m_baselineStart = timestamp;
    m_lastTimestamp = timestamp;
    const int ready = m_live->push(double(timestamp) / 1000.0, m_red.data(), m_infrared.data());
    m_known = m_known || ready > 0;
    return ready;
}

qint64 HaemoglobinFeed::readyTimestamp(int k) const
{
    return std::llround(m_live->readyTime(k) * 1000.0);
}

double HaemoglobinFeed::baselineSecondsLeft() const
{
    const double seconds = m_settings->getBaselineSeconds();
    if (m_known)
        return 0;
    if (m_baselineStart < 0)
        return seconds;
    return qMax(0.0, seconds - double(m_lastTimestamp - m_baselineStart) / 1000.0);
}
