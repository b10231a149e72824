#include "RecordGaps.h"

#include <algorithm>

template<typename Time> double RecordGaps::medianInterval(const std::vector<Time>& times, Middle middle)
{
    std::vector<double> intervals;
    intervals.reserve(times.size());
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i] > times[i - 1])
            intervals.push_back(double(times[i]) - double(times[i - 1]));
    }
    if (intervals.empty())
        return 0;
    const auto half = intervals.begin() + qsizetype(intervals.size() / 2);
    std::nth_element(intervals.begin(), half, intervals.end());
    const double upper = *half;
    if (intervals.size() % 2 || middle == Middle::Upper)
        return upper;
    return (*std::max_element(intervals.begin(), half) + upper) / 2;
}

template double RecordGaps::medianInterval(const std::vector<qint64>&, Middle);
template double RecordGaps::medianInterval(const std::vector<double>&, Middle);

bool RecordGaps::isGap(double interval, double median)
{
    return interval > double(MedianFactor) * median && interval >= double(MinimumMilliseconds);
}

std::vector<RecordGaps::Gap> RecordGaps::find(const std::vector<quint32>& times)
{
    // The upper median: of two intervals, the longer one is never called a gap.
    const double median = medianInterval(times, Middle::Upper);
    std::vector<Gap> gaps;
    for (size_t i = 1; i < times.size(); ++i) {
        if (isGap(double(times[i]) - double(times[i - 1]), median))
            gaps.push_back({ qint64(times[i - 1]), qint64(times[i]) });
    }
    return gaps;
}
