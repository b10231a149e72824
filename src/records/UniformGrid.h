#pragma once

#include <QtGlobal>

#include <limits>
#include <vector>

// Puts samples taken at jittering times on a uniform time grid by linear interpolation between the neighbouring
// samples. Where two neighbours lie a gap apart (RecordGaps), the grid points between them have no value; shorter
// holes are interpolated like any other interval.
class UniformGrid
{
public:
    static constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

    struct Gap
    {
        double start = 0; // the last sample before
        double end = 0; // the first sample after
    };

    // times strictly ascending, in ms; step in ms; gapMedian the record's upper median interval for the gap rule.
    // False when the grid would exceed maxPoints.
    bool build(const std::vector<double>& times, double step, double gapMedian, qsizetype maxPoints);

    qsizetype size() const { return qsizetype(m_before.size()); }
    double step() const { return m_step; }
    // Grid point i lies at times[0] + i * step.
    double time(qsizetype i) const { return m_start + double(i) * m_step; }
    const std::vector<Gap>& gaps() const { return m_gaps; }

    // The grid's times from its first point, divided by unit, as the "time" dataset of a SNIRF file holds them:
    // every point while each step is exact to four decimals (MNE-Python takes the rate from the steps rounded so),
    // otherwise the two-element form [0, step] that the format allows for a uniform grid.
    std::vector<double> snirfTime(double unit) const;

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
    double m_start = 0;
    double m_step = 0;
    std::vector<quint32> m_before; // the sample at or before the grid point
    std::vector<double> m_weight; // the share of the way to the next sample; NaN inside a gap
    std::vector<Gap> m_gaps;
};
