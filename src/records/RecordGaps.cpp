#include "RecordGaps.h"

#include <algorithm>

template<typename Time> double RecordGaps::medianInterval(const std::vector<Time>& times, Middle middle)
{
    std::vector<qint64> intervals;
    intervals.reserve(times.size());
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i] > times[i - 1])
            intervals.push_back(qint64(times[i]) - qint64(times[i - 1]));
    }
    if (intervals.empty())
        return 0;
    const auto half = intervals.begin() + qsizetype(intervals.size() / 2);
    std::nth_element(intervals.begin(), half, intervals.end());
    const double upper = double(*half);
    if (intervals.size() % 2 || middle == Middle::Upper)
        return upper;
    return (double(*std::max_element(intervals.begin(), half)) + upper) / 2;
}

template<typename Time>
std::vector<RecordGaps::Gap> RecordGaps::longerThan(const std::vector<Time>& times, double limit, qint64 minimum)
{
    std::vector<Gap> gaps;
    for (size_t i = 1; i < times.size(); ++i) {
        const qint64 interval = qint64(times[i]) - qint64(times[i - 1]);
        if (double(interval) > limit && interval >= minimum)
            gaps.push_back({ qint64(times[i - 1]), qint64(times[i]) });
    }
    return gaps;
}

template double RecordGaps::medianInterval(const std::vector<qint64>&, Middle);
template std::vector<RecordGaps::Gap> RecordGaps::longerThan(const std::vector<qint64>&, double, qint64);

std::vector<RecordGaps::Gap> RecordGaps::find(const std::vector<quint32>& times)
{
    // The upper median: of two intervals, the longer one is never called a gap.
    return longerThan(times, double(MedianFactor) * medianInterval(times, Middle::Upper), MinimumMilliseconds);
}
