#pragma once

#include <QHash>
#include <QString>

#include <array>

// The budget of events per source: at most MaxPerSecond within any second from one source. The caller passes the
// time, from a clock that only runs forward (the monotonic clock); a time earlier than one seen before (a clock
// stepped back) counts as that earlier moment, so that a step never locks a source out.
class EventRateLimit
{
public:
    static constexpr int MaxPerSecond = 100;
    // Sources that spend their budget at the same time; a further one waits until one of them has been quiet for a
    // second (its budget is then whole again, so forgetting it loses nothing). The key marks are always tracked.
    static constexpr int MaxSources = 64;

    // Whether the source may write one more event at nowMs; takes the slot when it may.
    bool take(const QString& source, qint64 nowMs);
    void clear() { m_windows.clear(); }

private:
    // Times of the last MaxPerSecond events of a source, as a ring.
    struct Window
    {
        Window();
        std::array<qint64, MaxPerSecond> times;
        qint64 newest;
        int next = 0;
    };

    // Forgets the sources quiet for a second; false when none was.
    bool forgetQuiet(qint64 nowMs);

    QHash<QString, Window> m_windows;
};
