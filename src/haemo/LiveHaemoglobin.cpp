#include "LiveHaemoglobin.h"

#include "OpticalDensity.h"

#include <cmath>
#include <limits>

LiveHaemoglobin::LiveHaemoglobin(const BeerLambert& law, int channels, double baselineSeconds)
    : m_law(law)
    , m_channels(channels)
    , m_baselineSeconds(baselineSeconds)
    , m_baselineRed(size_t(channels))
    , m_baselineInfrared(size_t(channels))
{ }

void LiveHaemoglobin::reset()
{
    m_baselineDone = false;
    m_pendingTimes.clear();
    m_pendingRed.clear();
    m_pendingInfrared.clear();
}

double LiveHaemoglobin::corrected(double intensity) const
{
    if (intensity > 0 || intensity != intensity)
        return intensity;
    const double magnitude = std::abs(intensity);
    return magnitude > 0 ? magnitude : m_floor;
}

int LiveHaemoglobin::push(double time, const double* red, const double* infrared)
{
    m_readyTimes.clear();
    m_readyOxy.clear();
    m_readyDeoxy.clear();
    if (m_baselineDone) {
        release(time, red, infrared);
        return 1;
    }
    // The first sample always belongs to the baseline, so that a baseline of 0 s still has one.
    if (m_pendingTimes.empty() || time - m_firstTime < m_baselineSeconds) {
        if (m_pendingTimes.empty())
            m_firstTime = time;
        m_pendingTimes.push_back(time);
        m_pendingRed.insert(m_pendingRed.end(), red, red + m_channels);
        m_pendingInfrared.insert(m_pendingInfrared.end(), infrared, infrared + m_channels);
        return 0;
    }
    closeBaseline();
    const size_t n = m_pendingTimes.size();
    for (size_t k = 0; k < n; ++k) {
        release(m_pendingTimes[k], m_pendingRed.data() + k * size_t(m_channels),
            m_pendingInfrared.data() + k * size_t(m_channels));
    }
    release(time, red, infrared);
    m_pendingTimes.clear();
    m_pendingRed.clear();
    m_pendingInfrared.clear();
    return int(n + 1);
}

void LiveHaemoglobin::closeBaseline()
{
    double smallest = std::numeric_limits<double>::infinity();
    for (const std::vector<double>* values : { &m_pendingRed, &m_pendingInfrared }) {
        for (const double v : *values) {
            if (v != 0 && std::abs(v) < smallest)
                smallest = std::abs(v);
        }
    }
    m_floor = std::isinf(smallest) ? std::numeric_limits<double>::quiet_NaN() : smallest;

    const size_t n = m_pendingTimes.size();
    std::vector<double> column(n);
    for (int c = 0; c < m_channels; ++c) {
        for (int w = 0; w < 2; ++w) {
            const std::vector<double>& values = w == 0 ? m_pendingRed : m_pendingInfrared;
            for (size_t k = 0; k < n; ++k)
                column[k] = corrected(values[k * size_t(m_channels) + size_t(c)]);
            (w == 0 ? m_baselineRed : m_baselineInfrared)[size_t(c)] = OpticalDensity::baseline(column.data(), n);
        }
    }
    m_baselineDone = true;
}

void LiveHaemoglobin::release(double time, const double* red, const double* infrared)
{
    m_readyTimes.push_back(time);
    for (int c = 0; c < m_channels; ++c) {
        const BeerLambert::Haemoglobin value = m_law(OpticalDensity::of(corrected(red[c]), m_baselineRed[size_t(c)]),
            OpticalDensity::of(corrected(infrared[c]), m_baselineInfrared[size_t(c)]));
        m_readyOxy.push_back(value.oxy);
        m_readyDeoxy.push_back(value.deoxy);
    }
}
