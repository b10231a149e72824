#pragma once

#include <QtGlobal>

#include <vector>

// Where a record has no data: an interval between two successive lines that is longer than five times the
// record's median interval and at least a second, as when the instrument was unplugged for a while. Found from the
// elapsed times alone; the curves are resampled across a gap as across any other interval.
class RecordGaps
{
public:
    struct Gap
    {
        qint64 start = 0; // the last line before, elapsed ms
        qint64 end = 0; // the first line after
        bool operator==(const Gap& other) const { return start == other.start && end == other.end; }
    };

    static constexpr qint64 MedianFactor = 5;
    static constexpr qint64 MinimumMilliseconds = 1000;

    // times ascending and unique.
    static std::vector<Gap> find(const std::vector<quint32>& times);
};
