#include "LineStamper.h"

void LineStamper::restart()
{
    m_readSinceRestart = false;
}

LineStamper::Spread LineStamper::take(qint64 now, int lines)
{
    Spread spread;
    spread.now = now;
    spread.lines = lines;
    m_lastStamp = now;
    m_readSinceRestart = true;
    return spread;
}
