#include "SampleTimes.h"

#include "RecordGaps.h"

#include <algorithm>

std::vector<double> SampleTimes::spread(const std::vector<qint64>& stamps)
{
    std::vector<double> times(stamps.size());
    // First over the stamp before each run; the median of those intervals then places the runs that have none.
    size_t first = 0;
    while (first < stamps.size()) {
        size_t end = first + 1;
        while (end < stamps.size() && stamps[end] == stamps[first])
            ++end;
        const double stamp = double(stamps[first]);
        const double share = first > 0 ? (stamp - double(stamps[first - 1])) / double(end - first) : 0;
        for (size_t i = first; i < end; ++i)
            times[i] = stamp - double(end - 1 - i) * share;
        first = end;
    }
    const double median = RecordGaps::medianInterval(times, RecordGaps::Middle::Upper);

    first = 0;
    while (first < stamps.size()) {
        size_t end = first + 1;
        while (end < stamps.size() && stamps[end] == stamps[first])
            ++end;
        const double stamp = double(stamps[first]);
        const double interval = first > 0 ? stamp - double(stamps[first - 1]) : 0;
        if (first == 0 || RecordGaps::isGap(interval, median)) {
            const double share = first == 0 ? median : std::min(median, interval / double(end - first));
            for (size_t i = first; i < end; ++i)
                times[i] = stamp - double(end - 1 - i) * share;
        }
        first = end;
    }
    return times;
}
