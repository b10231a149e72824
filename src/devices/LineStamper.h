#pragma once

#include <QtGlobal>

#include <array>
#include <limits>

// Time stamps for the lines of a serial stream. A read hands over whatever has arrived, so one read can complete
// several lines that the instrument sent one line interval apart; stamped by arrival they would share one time,
// and paired arrivals would look like half the rate. The lines completed by one read are spread evenly back
// towards the stamp of the line before them, the last keeping the time of the read. The step is never more than
// the line interval measured over the recent reads, so that the first lines after a silence are not moved back
// into the silence. Stamps never decrease.
class LineStamper
{
public:
    // The stamps of the lines that one read completed: line i of lines gets at(i).
    struct Spread
    {
        qint64 now = 0;
        double step = 0.0;
        int lines = 0;
        qint64 at(int index) const { return now - qint64(double(lines - 1 - index) * step + 0.5); }
    };

    // The port was opened again: the time since the last read before says nothing of the lines of the first read
    // after it. The measured interval stays (it is the same instrument), and so does the last stamp.
    void restart();
    Spread take(qint64 now, int lines);

private:
    // Reads whose interval per line is remembered; their median is the measured interval.
    static constexpr int History = 15;
    std::array<double, History> m_intervals {};
    int m_intervalCount = 0;
    int m_nextInterval = 0;
    qint64 m_lastStamp = std::numeric_limits<qint64>::min();
    bool m_readSinceRestart = false;
};
