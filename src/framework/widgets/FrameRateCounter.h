#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>

// The rate of incoming events (samples) per second, averaged over the most recent intervals.
class FrameRateCounter : public QObject
{
    Q_OBJECT
public:
    explicit FrameRateCounter(QObject* parent = nullptr);

    void nextFrame();
    // The same with a known time in milliseconds since the epoch.
    void nextFrame(qint64 timestamp);
    void restart();

    void setAccumulator(int accumulator);
    int accumulator() const { return m_accumulator; }
    void setFrameRate(double frameRate) { m_frameRate = frameRate; }
    double getFrameRate() const { return m_frameRate; }
    int frames() const { return m_frames; }
    QDateTime startTime() const { return m_startTime; }

signals:
    void frameRateChanged(double frameRate);

private:
    double m_frameRate = 0;
    int m_frames = 0;
    QDateTime m_startTime;
    QList<qint64> m_timestamps;
    int m_accumulator = 10;
};
