#include "LslClock.h"

#include "SampleClock.h"

#include <chrono>

#if HALVEX_HAS_LSL
#include <lsl_c.h>
#endif

double LslClock::localClock()
{
#if HALVEX_HAS_LSL
    return lsl_local_clock();
#else
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

double LslClock::offsetSeconds()
{
    // The offset is read between two readings of LSL's clock; the pair closest together of a few tries bounds the
    // error of the offset by half its gap (well under a microsecond).
    static const double offset = [] {
        double best = 0.0;
        double bestGap = 1e9;
        for (int i = 0; i < 8; ++i) {
            const double before = localClock();
            const double sample = double(SampleClock::nowNs()) / 1e9;
            const double after = localClock();
            if (after - before < bestGap) {
                bestGap = after - before;
                best = (before + after) / 2 - sample;
            }
        }
        return best;
    }();
    return offset;
}

double LslClock::fromSampleMs(double sampleMs)
{
    return sampleMs / 1000.0 + offsetSeconds();
}

double LslClock::toSampleMs(double lslSeconds)
{
    return (lslSeconds - offsetSeconds()) * 1000.0;
}
