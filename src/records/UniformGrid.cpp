#include "UniformGrid.h"

#include "RecordGaps.h"

#include <cmath>

bool UniformGrid::build(const std::vector<double>& times, double step, double gapMedian, qsizetype maxPoints)
{
    m_before.clear();
    m_weight.clear();
    m_gaps.clear();
    m_step = step;
    if (times.size() < 2 || !(step > 0) || times.size() > std::numeric_limits<quint32>::max())
        return false;
    m_start = times.front();
    const double span = times.back() - m_start;
    // The small allowance keeps a last sample that falls on the grid from being lost to rounding.
    const double points = std::floor(span / step + 1e-9) + 1;
    if (!(points <= double(maxPoints)))
        return false;
    m_before.resize(size_t(points));
    m_weight.resize(size_t(points));

    for (size_t i = 1; i < times.size(); ++i) {
        if (RecordGaps::isGap(times[i] - times[i - 1], gapMedian))
            m_gaps.push_back({ times[i - 1], times[i] });
    }

    size_t k = 0;
    const size_t last = times.size() - 1;
    for (size_t i = 0; i < m_before.size(); ++i) {
        const double t = time(qsizetype(i));
        while (k < last && times[k + 1] <= t)
            ++k;
        m_before[i] = quint32(k);
        const double offset = t - times[k];
        if (offset <= 0 || k == last) {
            m_weight[i] = 0;
            continue;
        }
        const double length = times[k + 1] - times[k];
        m_weight[i] = RecordGaps::isGap(length, gapMedian) ? NoValue : offset / length;
    }
    return true;
}

std::vector<double> UniformGrid::snirfTime(double unit) const
{
    const double step = m_step / unit;
    const double tenThousandths = step * 1e4;
    if (std::abs(tenThousandths - std::round(tenThousandths)) > 1e-6 * tenThousandths)
        return { 0, step };
    std::vector<double> times(m_before.size());
    for (size_t i = 0; i < times.size(); ++i)
        times[i] = double(i) * m_step / unit;
    return times;
}
