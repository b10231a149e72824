#include "UniformGrid.h"

#include <algorithm>
#include <cmath>

double UniformGrid::medianInterval(const std::vector<qint64>& times)
{
    std::vector<qint64> intervals;
    intervals.reserve(times.size());
    for (size_t i = 1; i < times.size(); ++i) {
        // Samples that arrive in one read share a time stamp; they are no interval.
        if (times[i] > times[i - 1])
            intervals.push_back(times[i] - times[i - 1]);
    }
    if (intervals.empty())
        return 0;
    const size_t middle = intervals.size() / 2;
    std::nth_element(intervals.begin(), intervals.begin() + qsizetype(middle), intervals.end());
    const double upper = double(intervals[middle]);
    if (intervals.size() % 2)
        return upper;
    const double lower = double(*std::max_element(intervals.begin(), intervals.begin() + qsizetype(middle)));
    return (lower + upper) / 2;
}

bool UniformGrid::build(const std::vector<qint64>& times, double step, double gapLimit, qsizetype maxPoints)
{
    m_before.clear();
    m_weight.clear();
    m_gaps.clear();
    m_step = step;
    if (times.size() < 2 || !(step > 0) || times.size() > std::numeric_limits<quint32>::max())
        return false;
    m_start = times.front();
    const double span = double(times.back() - m_start);
    // The small allowance keeps a last sample that falls on the grid from being lost to rounding.
    const double points = std::floor(span / step + 1e-9) + 1;
    if (points > double(maxPoints))
        return false;
    m_before.resize(size_t(points));
    m_weight.resize(size_t(points));

    for (size_t k = 1; k < times.size(); ++k) {
        const qint64 length = times[k] - times[k - 1];
        if (double(length) > gapLimit)
            m_gaps.push_back({ times[k - 1], length });
    }

    size_t k = 0;
    const size_t last = times.size() - 1;
    for (size_t i = 0; i < m_before.size(); ++i) {
        const double t = time(qsizetype(i));
        // The sample at or before t; of samples sharing a time stamp, the last one.
        while (k < last && double(times[k + 1]) <= t)
            ++k;
        m_before[i] = quint32(k);
        const double offset = t - double(times[k]);
        if (offset <= 0 || k == last) {
            m_weight[i] = 0;
            continue;
        }
        const double length = double(times[k + 1] - times[k]);
        m_weight[i] = length > gapLimit ? NoValue : offset / length;
    }
    return true;
}
