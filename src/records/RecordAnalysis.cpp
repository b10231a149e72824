#include "RecordAnalysis.h"

#include "OpticalDensity.h"
#include "Parallel.h"
#include "ProbeLayout.h"
#include "RecordGrid.h"
#include "RecordsSettings.h"
#include "SignalQuality.h"
#include "ZeroPhaseBandPass.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// For every channel, the share of lines in % where its red or infrared value counts as saturated: from level up
// where a level is set. Without one (0), the brightest channel of an instrument that never saturates would always
// be near the largest value of the record; clipped light sticks at one top value, so a wavelength's samples count
// where they equal its largest value, if that lies within SaturationShare of the record's largest and at least
// PinnedSamples hold it, as the live signal check counts them. The lines hold the columns side by side: two passes
// over them, not a pass per column.
std::vector<double> saturatedPercents(const RawRecord& record, double level)
{
    const std::vector<RawRecord::Channel>& channels = record.channels();
    const qsizetype lines = record.lineCount();
    std::vector<int> columns;
    for (const RawRecord::Channel& channel : channels)
        columns.insert(columns.end(), { channel.r, channel.ir });
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> from(columns.size(), level);
    std::vector<bool> reaches(columns.size(), true); // a value of the column may reach from
    if (!(level > 0)) {
        std::vector<double> top(columns.size(), -infinity);
        std::vector<qsizetype> atTop(columns.size(), 0);
        for (qsizetype line = 0; line < lines; ++line) {
            for (size_t k = 0; k < columns.size(); ++k) {
                const double v = record.value(line, columns[k]);
                atTop[k] = v > top[k] ? 1 : atTop[k] + (v == top[k] ? 1 : 0);
                top[k] = std::max(top[k], v);
            }
        }
        const double largest = top.empty() ? -infinity : *std::max_element(top.begin(), top.end());
        for (size_t k = 0; k < columns.size(); ++k) {
            from[k] = top[k] >= RecordAnalysis::SaturationShare * largest && atTop[k] >= RecordAnalysis::PinnedSamples
                ? top[k]
                : infinity;
            reaches[k] = from[k] != infinity || top[k] == infinity;
        }
    }
    // Without a level, light that never sticks at its top reaches no finite level, and only an infinite value
    // reaches an infinite one: the many channels of which neither wavelength does need no second pass.
    std::vector<size_t> counted;
    for (size_t c = 0; c < channels.size(); ++c) {
        if (reaches[2 * c] || reaches[2 * c + 1])
            counted.push_back(c);
    }
    std::vector<qsizetype> saturated(channels.size(), 0);
    for (qsizetype line = 0; line < lines && !counted.empty(); ++line) {
        for (const size_t c : counted) {
            if (record.value(line, columns[2 * c]) >= from[2 * c]
                || record.value(line, columns[2 * c + 1]) >= from[2 * c + 1])
                ++saturated[c];
        }
    }
    std::vector<double> percents;
    for (const qsizetype count : saturated)
        percents.push_back(lines > 0 ? 100.0 * double(count) / double(lines) : RecordAnalysis::NoValue);
    return percents;
}

} // namespace

RecordAnalysis::Options RecordAnalysis::options(const RecordsSettings& settings)
{
    Options options;
    options.law.redWavelength = settings.getRedWavelength();
    options.law.infraredWavelength = settings.getInfraredWavelength();
    options.law.distanceMm = settings.getSourceDetectorDistance();
    options.law.partialPathlengthFactor = settings.getPartialPathlengthFactor();
    options.goodCoupling = settings.getGoodCoupling();
    options.saturationLevel = settings.getSaturationLevel();
    return options;
}

bool RecordAnalysis::fail(Failure failure, const QString& message)
{
    m_failure = failure;
    m_error = message;
    return false;
}

bool RecordAnalysis::analyse(
    const QString& recordPath, const Options& options, const std::function<void(double)>& progress)
{
    m_failure = Failure::None;
    m_error.clear();
    m_qualityNote.clear();
    m_channels.clear();
    m_gaps.clear();
    m_size = 0;
    m_samples = 0;
    m_skippedLines = 0;
    const auto report = [&progress](double fraction) {
        if (progress)
            progress(fraction);
    };

    if (!(options.rate >= 0 && options.rate <= RecordGrid::MaxRate))
        return fail(Failure::Options, QStringLiteral("the rate must lie between 0 and %1 Hz").arg(RecordGrid::MaxRate));
    QString reason;
    const std::optional<BeerLambert> law = BeerLambert::create(options.law, &reason);
    if (!law)
        return fail(Failure::Options, reason);

    RecordGrid recordGrid;
    const bool loaded = recordGrid.load(recordPath, options.rate, [&report](double f) { report(f * 0.6); });
    const RawRecord& record = recordGrid.record();
    m_samples = record.lineCount();
    m_skippedLines = record.skippedLines();
    if (!loaded)
        return fail(Failure::Input, recordGrid.errorString());
    const UniformGrid& grid = recordGrid.grid();
    m_size = grid.size();
    m_step = grid.step();
    m_zero = recordGrid.zero();
    m_gaps = grid.gaps();

    const std::vector<RawRecord::Channel>& channels = record.channels();
    const QStringList labels = ProbeLayout::labels(channels, RawRecord::readMontage(RawRecord::iniPath(recordPath)));
    m_channels.resize(channels.size());
    std::optional<ZeroPhaseBandPass> bandPass;
    std::vector<double> saturated;
    if (options.quality) {
        saturated = saturatedPercents(record, options.saturationLevel);
        bandPass = ZeroPhaseBandPass::design(recordGrid.rate(), {}, &reason);
        if (!bandPass)
            m_qualityNote = reason;
    }

    // The light of each channel on the grid, kept in the vectors that will hold its haemoglobin: an hour of a dozen
    // channels is some 35 MB, and fresh memory costs more to touch than the arithmetic done in it.
    std::vector<int> columns;
    for (const RawRecord::Channel& channel : channels)
        columns.insert(columns.end(), { channel.r, channel.ir });
    std::vector<std::vector<double>> intensities = recordGrid.series(columns);
    Parallel::forEach(channels.size(), [&](size_t c) {
        Channel& channel = m_channels[c];
        channel.number = channels[c].number;
        channel.label = labels.value(qsizetype(c));
        if (options.quality) {
            channel.saturatedPercent = saturated[c];
            channel.cvPercent = std::max(SignalQuality::coefficientOfVariation(intensities[2 * c]),
                SignalQuality::coefficientOfVariation(intensities[2 * c + 1]));
        }
    });
    recordGrid.clear();
    report(0.7);

    // MNE's rule for light that is not positive takes every series together.
    OpticalDensity::correctIntensities(intensities);
    for (size_t c = 0; c < m_channels.size(); ++c) {
        m_channels[c].oxy = std::move(intensities[2 * c]);
        m_channels[c].deoxy = std::move(intensities[2 * c + 1]);
    }

    Parallel::forEach(m_channels.size(), [&](size_t c) {
        Channel& channel = m_channels[c];
        for (std::vector<double>* series : { &channel.oxy, &channel.deoxy }) {
            const double baseline = OpticalDensity::baseline(series->data(), series->size());
            OpticalDensity::convert(series->data(), series->size(), baseline, series->data());
        }
        if (bandPass) {
            channel.sci = SignalQuality::scalpCouplingIndex(*bandPass, channel.oxy, channel.deoxy);
            channel.good = channel.sci >= options.goodCoupling;
        }
        if (!options.haemoglobin) {
            channel.oxy = {};
            channel.deoxy = {};
            return;
        }
        for (size_t i = 0; i < channel.oxy.size(); ++i) {
            const BeerLambert::Haemoglobin value = (*law)(channel.oxy[i], channel.deoxy[i]);
            channel.oxy[i] = value.oxy;
            channel.deoxy[i] = value.deoxy;
        }
    });
    return true;
}
