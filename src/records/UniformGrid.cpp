#include "UniformGrid.h"

#include <cmath>

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

    m_gaps = RecordGaps::longerThan(times, gapLimit);

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
