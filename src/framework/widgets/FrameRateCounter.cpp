#include "FrameRateCounter.h"
#include "SampleClock.h"

#include <algorithm>

FrameRateCounter::FrameRateCounter(QObject* parent)
    : QObject(parent)
    , m_startTime(QDateTime::currentDateTime())
{
    m_timestamps.reserve(m_accumulator + 1);
    emit frameRateChanged(0);
}

void FrameRateCounter::nextFrame()
{
    nextFrame(SampleClock::nowMs());
}

void FrameRateCounter::nextFrame(qint64 timestamp)
{
    ++m_frames;
    // A smaller accumulator set since the last event drops every surplus timestamp, not only one.
    while (m_timestamps.size() > m_accumulator)
        m_timestamps.removeFirst();
    m_timestamps.append(timestamp);
    const qint64 span = m_timestamps.constLast() - m_timestamps.constFirst();
    m_frameRate = double(m_timestamps.size() - 1) * 1000.0 / double(span == 0 ? 1 : span);
    emit frameRateChanged(m_frameRate);
}

void FrameRateCounter::restart()
{
    m_frames = 0;
    m_startTime = QDateTime::currentDateTime();
    m_frameRate = 0;
    emit frameRateChanged(0);
}

void FrameRateCounter::setAccumulator(int accumulator)
{
    m_accumulator = std::max(1, accumulator);
}
