#include "LineStamper.h"

#include <algorithm>

void LineStamper::restart()
{
    m_readSinceRestart = false;
}

LineStamper::Spread LineStamper::take(qint64 now, int lines)
{
    Spread spread;
    spread.lines = lines;
    if (lines <= 0)
        return spread;
    const bool stamped = m_lastStamp != std::numeric_limits<qint64>::min();
    now = stamped ? std::max(now, m_lastStamp) : now;
    spread.now = now;

    if (m_readSinceRestart) {
        m_intervals[size_t(m_nextInterval)] = double(now - m_lastStamp) / lines;
        m_nextInterval = (m_nextInterval + 1) % History;
        m_intervalCount = std::min(m_intervalCount + 1, History);
    }
    if (stamped && m_intervalCount > 0) {
        // The lower median: one late read, or a silence, moves it by one place only.
        std::array<double, History> sorted = m_intervals;
        const auto end = sorted.begin() + m_intervalCount;
        const auto median = sorted.begin() + (m_intervalCount - 1) / 2;
        std::nth_element(sorted.begin(), median, end);
        // Never back past the line before: (lines - 1) steps of at most (now - last) / lines stay after it.
        spread.step = std::min(*median, double(now - m_lastStamp) / lines);
    }
    m_lastStamp = now;
    m_readSinceRestart = true;
    return spread;
}
