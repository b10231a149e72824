#pragma once

#include "RecordGaps.h"

#include <QtGlobal>

#include <limits>
#include <vector>

// Puts samples taken at jittering times on a uniform time grid by linear interpolation between the neighbouring
// samples. Where two neighbours lie further apart than the gap limit, the grid points between them have no value.
class UniformGrid
{
public:
    static constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

    // times ascending, step and gapLimit in the unit of the times. False when the grid would exceed maxPoints.
    bool build(const std::vector<qint64>& times, double step, double gapLimit, qsizetype maxPoints);

    qsizetype size() const { return qsizetype(m_before.size()); }
    double step() const { return m_step; }
    // Grid point i lies at times[0] + i * step.
    double time(qsizetype i) const { return double(m_start) + double(i) * m_step; }
    const std::vector<RecordGaps::Gap>& gaps() const { return m_gaps; }

    // The value at grid point i of the series y that was sampled at the times given to build().
    template<typename Series> double at(qsizetype i, const Series& y) const
    {
        const size_t k = m_before[size_t(i)];
        const double w = m_weight[size_t(i)];
        if (w != w)
            return NoValue;
        return w == 0 ? y(k) : y(k) + (y(k + 1) - y(k)) * w;
    }

private:
    qint64 m_start = 0;
    double m_step = 0;
    std::vector<quint32> m_before; // the sample at or before the grid point
    std::vector<double> m_weight; // the share of the way to the next sample; NaN inside a gap
    std::vector<RecordGaps::Gap> m_gaps;
};
