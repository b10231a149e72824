#pragma once

#include <QtGlobal>

// The clock of samples, events and elapsed times: milliseconds since the Unix epoch as the wall clock read them at
// the first call, advanced from then on by the monotonic clock alone. A step of the wall clock (NTP, a time zone
// set by hand, a suspended laptop's correction) therefore moves no sample and no elapsed time; only the names and
// dates of records, which are taken from the wall clock, show it.
class SampleClock
{
public:
    static qint64 nowMs();
    // nowMs() at the monotonic clock's full resolution, in nanoseconds since the Unix epoch.
    static qint64 nowNs();
    // The monotonic milliseconds behind nowMs(), for intervals (rate budgets, time-outs).
    static qint64 monotonicMs();
};
