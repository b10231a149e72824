#pragma once

#include "LslMarkerInlet.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The thread behind LslMarkerInlet: one continuous resolver per predicate, an inlet per stream they find, and a loop
// that pulls every inlet's markers without waiting on any. A stream is known by its name, source_id and host: when
// it comes back (a new outlet) a new inlet takes it up. Without liblsl it is never made.
class LslInletWorker
{
public:
    struct OwnStream
    {
        QString name;
        QString sourceId; // empty: any stream of that name on this computer
    };
    struct Sinks
    {
        std::function<void(const QString& stream, const QString& text, double sampleMs)> marker;
        std::function<void(const QList<LslMarkerInlet::Inlet>& inlets)> inlets;
        std::function<void(const QString& predicate, const QString& reason)> refused;
    };

    // The sinks are called on the worker's thread.
    LslInletWorker(const QStringList& predicates, const OwnStream& own, Sinks sinks);
    // Stops and waits for the thread: the longest wait is one time correction's time-out.
    ~LslInletWorker();

    // Asks the thread to end; returns at once.
    void stop();
    bool finished() const { return m_finished; }

private:
    void run();
    // Waits for ms, or less when stopped.
    void pause(int ms);

    QStringList m_predicates;
    OwnStream m_own;
    Sinks m_sinks;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_finished { false };
    std::thread m_thread;
};
