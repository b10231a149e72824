#include "RecordGaps.h"

#include <algorithm>

std::vector<RecordGaps::Gap> RecordGaps::find(const std::vector<quint32>& times)
{
    std::vector<Gap> gaps;
    if (times.size() < 2)
        return gaps;
    std::vector<quint32> intervals;
    intervals.reserve(times.size() - 1);
    for (size_t i = 1; i < times.size(); ++i)
        intervals.push_back(times[i] - times[i - 1]);
    // The upper median: with an even count the longer of the two middle intervals, so that a record of two
    // lines and one gap does not call its only interval a gap.
    const auto middle = intervals.begin() + qsizetype(intervals.size() / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    const qint64 longerThan = MedianFactor * qint64(*middle);
    for (size_t i = 1; i < times.size(); ++i) {
        const qint64 interval = qint64(times[i]) - qint64(times[i - 1]);
        if (interval > longerThan && interval >= MinimumMilliseconds)
            gaps.push_back({ qint64(times[i - 1]), qint64(times[i]) });
    }
    return gaps;
}
