#pragma once

#include "BeerLambert.h"
#include "UniformGrid.h"

#include <QString>

#include <functional>
#include <limits>
#include <vector>

class RecordsSettings;

// Oxy- and deoxy-haemoglobin and the signal quality of every channel of a record, on the grid of its SNIRF export
// (RecordGrid), so that the numbers are MNE-Python's for the exported file: the optical density of each wavelength
// against the mean of the whole series (OpticalDensity, with MNE's rule for values that are not positive, applied
// over all channels together), the Beer–Lambert law, and the scalp coupling index of the two optical densities
// (SignalQuality, with MNE's default band-pass). Gaps stay NaN and are left out of every mean, so a gap spoils
// nothing outside itself (MNE's plain mean would make the whole record NaN). halvex-analyze and the records window
// both compute through here.
class RecordAnalysis
{
public:
    static constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();
    // Without a SaturationLevel, light that sticks at one top value within 2 % of the largest value of the record,
    // in at least PinnedSamples samples, counts as saturated.
    static constexpr double SaturationShare = 0.98;
    static constexpr qsizetype PinnedSamples = 3;

    struct Options
    {
        double rate = 0; // Hz; 0 for the record's median sample interval
        BeerLambert::Settings law;
        bool haemoglobin = true;
        bool quality = false;
        double goodCoupling = 0.75;
        double saturationLevel = 0; // raw value; 0 for light stuck at its top (SaturationShare, PinnedSamples)
    };

    enum class Failure {
        None,
        Options, // rate, wavelengths, distance or factor unusable
        Input, // the record cannot be read or holds too little
    };

    struct Channel
    {
        int number = 0; // as in the record's header
        QString label; // as the SNIRF export's probe names it
        std::vector<double> oxy; // µM at every grid point
        std::vector<double> deoxy;
        double sci = NoValue; // scalp coupling index
        double cvPercent = NoValue; // of the raw intensity, the larger of the two wavelengths'
        double saturatedPercent = NoValue; // of the samples, where either wavelength counts as saturated
        bool good = false; // sci reaches goodCoupling
    };

    // The records settings' wavelengths, distance, factor, coupling and saturation level; the record's own rate.
    static Options options(const RecordsSettings& settings);

    bool analyse(const QString& recordPath, const Options& options, const std::function<void(double)>& progress = {});
    Failure failure() const { return m_failure; }
    QString errorString() const { return m_error; }
    // Why the quality has no coupling index (a rate too low for its band-pass); empty when it has one.
    QString qualityNote() const { return m_qualityNote; }

    const std::vector<Channel>& channels() const { return m_channels; }
    qsizetype size() const { return m_size; }
    double rate() const { return 1000 / m_step; }
    // Grid point i lies i / rate() seconds after the first, which lies at zero() in the record's elapsed ms.
    double seconds(qsizetype i) const { return double(i) * m_step / 1000; }
    double zero() const { return m_zero; }
    const std::vector<UniformGrid::Gap>& gaps() const { return m_gaps; }
    qint64 samples() const { return m_samples; }
    qint64 skippedLines() const { return m_skippedLines; }

private:
    bool fail(Failure failure, const QString& message);

    Failure m_failure = Failure::None;
    QString m_error;
    QString m_qualityNote;
    std::vector<Channel> m_channels;
    qsizetype m_size = 0;
    double m_step = 1;
    double m_zero = 0;
    std::vector<UniformGrid::Gap> m_gaps;
    qint64 m_samples = 0;
    qint64 m_skippedLines = 0;
};
