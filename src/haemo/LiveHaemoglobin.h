#pragma once

#include "BeerLambert.h"

#include <cstddef>
#include <vector>

// Oxy- and deoxy-haemoglobin sample by sample, for the live view: the optical density of each wavelength against
// I₀ = the mean of the first baselineSeconds of samples (from the first sample after construction or reset()), then
// the Beer–Lambert law. Until the baseline is complete nothing is known; the sample that completes it releases all
// the baseline's samples at once, and every later sample is released as it comes. The arithmetic per sample is
// OpticalDensity's and BeerLambert's, so a series whose baseline mean equals its whole mean gives the offline
// values.
// Non-positive intensities follow the offline rule as far as a live series can: |I|, and a zero is raised to the
// smallest positive |I| of the baseline over all channels (NaN when the baseline had none). Gaps (NaN) stay NaN and
// are left out of the baseline.
class LiveHaemoglobin
{
public:
    LiveHaemoglobin(const BeerLambert& law, int channels, double baselineSeconds);

    // Starts a new baseline with the next sample.
    void reset();
    int channels() const { return m_channels; }

    // One sample: time in seconds, the red and infrared intensities of every channel. Returns how many samples
    // became known; readyTime(), oxy() and deoxy() give them, oldest first, until the next push.
    int push(double time, const double* red, const double* infrared);
    double readyTime(int k) const { return m_readyTimes[size_t(k)]; }
    // µM, one value per channel.
    const double* oxy(int k) const { return m_readyOxy.data() + size_t(k) * size_t(m_channels); }
    const double* deoxy(int k) const { return m_readyDeoxy.data() + size_t(k) * size_t(m_channels); }

    const std::vector<double>& baselineRed() const { return m_baselineRed; }

private:
    double corrected(double intensity) const;
    void closeBaseline();
    void release(double time, const double* red, const double* infrared);

    BeerLambert m_law;
    int m_channels = 0;
    double m_baselineSeconds = 0;

    bool m_baselineDone = false;
    double m_firstTime = 0;
    double m_floor = 0;
    // The samples of the baseline while it is gathered: times, then channels × red and channels × infrared.
    std::vector<double> m_pendingTimes;
    std::vector<double> m_pendingRed;
    std::vector<double> m_pendingInfrared;
    std::vector<double> m_baselineRed; // I₀ per channel
    std::vector<double> m_baselineInfrared;

    std::vector<double> m_readyTimes;
    std::vector<double> m_readyOxy;
    std::vector<double> m_readyDeoxy;
};
