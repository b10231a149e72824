#pragma once

#include "RawRecord.h"
#include "UniformGrid.h"

#include <QString>

#include <functional>
#include <vector>

// A record's ".raw" samples on the uniform time grid that the SNIRF export writes and halvex-analyze computes on:
// the lines in time order, each at the time it was sampled (SampleTimes), the grid at the given rate or at the
// median sample interval, and no value inside gaps (RecordGaps). Everything that reads a record on that grid goes
// through here, so that a number of the analysis belongs to the same grid point as the value of the export.
class RecordGrid
{
public:
    static constexpr double MaxRate = 1000;
    // The grid of a damaged time column could be unbounded; no record spans more than a day.
    static constexpr double MaxSpanSeconds = 24 * 3600;
    // Lines lost in transmission leave room on the grid: up to this many grid points per sample at the record's own
    // interval, plus one pause of up to an hour (the longest reconnection), are taken.
    static constexpr double MaxPointsPerSample = 4;
    static constexpr double MaxPauseSeconds = 3600;

    // recordPath names the record's ".csv" or ".raw"; rate in Hz from above 0 up to MaxRate, or 0 for the median
    // sample interval. False with errorString() (led by the ".raw" path) when the record cannot be read or holds
    // fewer than two samples at different times. progress gets the fraction of the file read.
    bool load(const QString& recordPath, double rate, const std::function<void(double)>& progress = {});
    QString errorString() const { return m_error; }

    const RawRecord& record() const { return m_record; }
    const UniformGrid& grid() const { return m_grid; }
    // When each line was sampled, in the record's elapsed ms, ascending.
    const std::vector<double>& sampleTimes() const { return m_times; }
    // The time of the first sample and grid point, in the record's elapsed ms.
    double zero() const { return m_times.empty() ? 0 : m_times.front(); }
    double rate() const { return m_grid.step() > 0 ? 1000 / m_grid.step() : 0; }

    // The value of a column of the ".raw" (RawRecord::Channel) at grid point i; NaN inside a gap.
    double at(qsizetype i, int column) const
    {
        return m_grid.at(i, [this, column](size_t k) { return m_record.value(qsizetype(k), column); });
    }
    // The values of the given columns at every grid point, a series per column, in one pass over the lines (which
    // hold the columns side by side) shared among the cores.
    std::vector<std::vector<double>> series(const std::vector<int>& columns) const;

    // Frees the record's values.
    void clear();

private:
    QString m_error;
    RawRecord m_record;
    std::vector<double> m_times;
    UniformGrid m_grid;
};
