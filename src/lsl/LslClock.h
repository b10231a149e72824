#pragma once

#include <QtGlobal>

// Translates between the sample clock (SampleClock: milliseconds, the time of the ".csv" and ".events" lines) and
// LSL's local clock (lsl_local_clock(): seconds of the monotonic clock). Both advance with the same monotonic clock,
// so one offset, read once at nanosecond resolution, translates every time of the process.
class LslClock
{
public:
    // Seconds on LSL's local clock of a sample-clock time.
    static double fromSampleMs(double sampleMs);
    // Sample-clock milliseconds of a time on LSL's local clock.
    static double toSampleMs(double lslSeconds);
    // LSL's local clock now; without liblsl, the same monotonic clock it would read.
    static double localClock();

private:
    static double offsetSeconds();
};
