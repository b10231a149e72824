#pragma once

#include "ZeroPhaseBandPass.h"

#include <QString>

#include <optional>
#include <vector>

// The live signal check: for every channel, over the last windowSeconds of samples and once a second of sample time,
// the scalp coupling index, the coefficient of variation of the raw light, and whether the light is saturated or
// dark (SignalQuality has the offline numbers).
//
// The band-pass is ZeroPhaseBandPass's (MNE's default FIR, 0.7–1.5 Hz) applied causally: y[n] = Σ h[k]·x[n−k] over
// the samples as they come. The filter has a linear phase, so its causal output is the zero-phase output delayed by
// (N−1)/2 samples, the same at both wavelengths: their correlation is that of the offline filter over the window
// moved back by that delay (5.5 s at the default transition bands), and the live verdict and the record's offline
// one weigh the same frequencies. An IIR filter would answer sooner but weigh the noise near the band edges
// otherwise, so a channel near the threshold could pass live and fail in the analysis of its record. The filter
// runs on −ln|I| rather than on the optical density against the window's mean: its gain at 0 Hz is 0, so the mean
// drops out, and each sample is filtered once as it comes instead of the whole window every second.
//
// The sampling rate is measured from the sample times (the mean interval of the samples kept); the filter is
// designed once 2 s of samples have come and again when the rate moves by more than 5 %. A window is full, and
// its channels known, once it holds windowSeconds of samples whose filter spans are complete (windowSeconds plus
// the filter's length, 3.3 / 0.3 Hz = 11 s, after the first sample). Gaps (NaN) and intensities of 0 are left out:
// the filtered samples whose span reaches them count for nothing; a sample time that steps back starts the seconds
// anew.
class LiveQuality
{
public:
    struct Quality
    {
        bool known = false; // the window is full and holds values of both wavelengths
        double sci = 0; // the scalp coupling index, −1 to 1; 0 for a wavelength whose light never changes
        double cvPercent = 0; // the larger of the two wavelengths' coefficients of variation
        bool saturated = false;
        bool dark = false;
    };

    // How far below the largest value seen a raw value counts as saturated when no level is set.
    static constexpr double SaturationMargin = 0.02;
    // The measured rate that makes the filter designed anew, as a fraction of the rate it was designed for.
    static constexpr double RateTolerance = 0.05;

    LiveQuality(int channels, double windowSeconds);

    // From this raw value up the light counts as saturated; 0 takes light that sticks at one value within
    // SaturationMargin of the largest value seen.
    void setSaturationLevel(double level) { m_saturationLevel = level; }
    // A wavelength whose mean light stays below this is dark.
    void setDarkLevel(double level) { m_darkLevel = level; }

    int channels() const { return m_channels; }
    double windowSeconds() const { return m_windowSeconds; }
    // One sample: its time in seconds, the red and infrared intensities of every channel. True when it completed a
    // second and qualities() were computed anew.
    bool push(double time, const double* red, const double* infrared);
    const std::vector<Quality>& qualities() const { return m_qualities; }

    // The rate the band-pass is designed for; 0 before it is.
    double rate() const { return m_rate; }
    // Why nothing is known although samples come (a sampling rate too low for the band); empty otherwise.
    const QString& problem() const { return m_problem; }
    double largestSeen() const { return m_largest; }

private:
    size_t frames() const { return m_times.size(); }
    void update();
    void designFilter();
    void filterPending();
    Quality assess(int channel, size_t windowFrames) const;
    static bool pinned(const double* raw, size_t count, double nearTop);
    void dropOldFrames(size_t keep);

    int m_channels = 0;
    double m_windowSeconds = 0;
    double m_saturationLevel = 0;
    double m_darkLevel = 1;

    // The samples kept, oldest first: their times and, per series (red of channel c at 2c, infrared at 2c + 1),
    // the raw values, −ln|I| (NaN for a gap or 0) and the band-passed values of the first m_filteredFrames.
    std::vector<double> m_times;
    std::vector<std::vector<double>> m_raw;
    std::vector<std::vector<double>> m_log;
    std::vector<std::vector<double>> m_filtered;
    size_t m_filteredFrames = 0;

    double m_nextUpdate = 0;
    double m_largest = 0;
    double m_rate = 0;
    std::optional<ZeroPhaseBandPass> m_bandPass;
    std::vector<double> m_reversed; // the coefficients in the order the samples of a span are stored
    QString m_problem;
    std::vector<Quality> m_qualities;
    mutable std::vector<double> m_scratch;
};
