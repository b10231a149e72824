#pragma once

#include <QtGlobal>

#include <vector>

// Where a record has no data: an interval between two successive lines that is longer than five times the
// record's median interval and at least a second, as when the instrument was unplugged for a while. Found from the
// elapsed times alone; the curves are resampled across a gap as across any other interval. The SNIRF export uses
// the same rule and leaves its grid empty inside a gap.
class RecordGaps
{
public:
    struct Gap
    {
        qint64 start = 0; // the last line before, elapsed ms
        qint64 end = 0; // the first line after
        bool operator==(const Gap& other) const { return start == other.start && end == other.end; }
    };

    // Of an even count of intervals, the longer middle one, or the mean of the two middle ones.
    enum class Middle { Upper, Mean };

    static constexpr qint64 MedianFactor = 5;
    static constexpr qint64 MinimumMilliseconds = 1000;

    // times ascending and unique.
    static std::vector<Gap> find(const std::vector<quint32>& times);
    // Whether an interval between two successive lines (ms) is a gap in a record of the given upper median
    // interval.
    static bool isGap(double interval, double median);

    // The median of the positive differences between successive times (ascending); 0 when there are none. Lines
    // that share a time stamp (samples that arrive in one read) are no interval.
    template<typename Time> static double medianInterval(const std::vector<Time>& times, Middle middle);
};
