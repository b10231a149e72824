#include "SampleClock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace {

struct Origin
{
    Origin()
    {
        monotonic.start();
        wallAtStart = QDateTime::currentMSecsSinceEpoch();
    }
    QElapsedTimer monotonic;
    qint64 wallAtStart = 0;
};

const Origin& origin()
{
    static const Origin instance;
    return instance;
}

} // namespace

qint64 SampleClock::nowMs()
{
    const Origin& o = origin();
    return o.wallAtStart + o.monotonic.elapsed();
}

qint64 SampleClock::nowNs()
{
    const Origin& o = origin();
    return o.wallAtStart * 1000000 + o.monotonic.nsecsElapsed();
}

qint64 SampleClock::monotonicMs()
{
    return origin().monotonic.elapsed();
}
