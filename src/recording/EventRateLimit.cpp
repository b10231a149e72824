#include "EventRateLimit.h"

#include "RecordEvents.h"

#include <algorithm>
#include <limits>

namespace {

// A slot never used: long before any time a clock gives, whatever its zero.
constexpr qint64 Unused = std::numeric_limits<qint64>::min() / 2;

} // namespace

EventRateLimit::Window::Window()
    : newest(Unused)
{
    times.fill(Unused);
}

bool EventRateLimit::take(const QString& source, qint64 nowMs)
{
    auto found = m_windows.find(source);
    if (found == m_windows.end()) {
        const qsizetype tracked = m_windows.size() - (m_windows.contains(RecordEvents::SourceKey) ? 1 : 0);
        if (source != RecordEvents::SourceKey && tracked >= MaxSources && !forgetQuiet(nowMs))
            return false;
        found = m_windows.insert(source, Window());
    }
    Window& window = found.value();
    // A clock stepped back: what happened "later" happened now.
    if (nowMs < window.newest) {
        for (qint64& time : window.times)
            time = qMin(time, nowMs);
    }
    // The next slot holds the oldest of the last MaxPerSecond events.
    qint64& oldest = window.times[size_t(window.next)];
    if (nowMs - oldest < 1000)
        return false;
    oldest = nowMs;
    window.newest = nowMs;
    window.next = (window.next + 1) % MaxPerSecond;
    return true;
}

bool EventRateLimit::forgetQuiet(qint64 nowMs)
{
    const auto before = m_windows.size();
    m_windows.removeIf([nowMs](const QHash<QString, Window>::iterator& it) {
        return it.key() != RecordEvents::SourceKey && nowMs - it.value().newest >= 1000;
    });
    return m_windows.size() < before;
}
