#include "LslInletWorker.h"

#include "LanguageContext.h"
#include "LslClock.h"

#include <QSet>
#include <QSysInfo>

#if HALVEX_HAS_LSL
#include <lsl_cpp.h>
#endif

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>

#if HALVEX_HAS_LSL
namespace {

constexpr auto ResolveEvery = std::chrono::milliseconds(500);
// Between rounds that found no marker; the markers' times come from their stamps, not from when they are pulled.
constexpr int IdleMs = 10;
// The first time correction of an inlet needs a few exchanges with its outlet.
constexpr double CorrectionWaitSeconds = 0.5;
constexpr int MaxResults = 256;
// liblsl 1.16's outlet, when it closes, may send its inlets one more sample of whatever its memory held: a text it
// sent before (or an empty one), stamped with the moment of closing. So the last marker of an inlet waits this long
// for a successor; without one, a marker that repeats an earlier text of its outlet (or is empty) is told only if
// the outlet still answers a query for its uid within VerifySeconds.
constexpr auto HoldLast = std::chrono::milliseconds(250);
constexpr double VerifySeconds = 0.5;

// One stream and the inlet of its current outlet. The inlet is bound to that one outlet (liblsl's own recovery off):
// a stream that comes back is a new outlet, taken up by a new inlet, so that every sample is known to come from
// the outlet it names, which the closing sample above needs.
struct Held
{
    std::unique_ptr<lsl::stream_inlet> inlet; // null while the stream is lost
    std::string uid; // of the outlet the inlet reads
    LslMarkerInlet::Inlet state;
    double correction = 0.0;
    std::vector<std::string> sample;
    std::optional<std::pair<double, QString>> last; // stamp (corrected) and text, held back
    std::chrono::steady_clock::time_point lastArrived;
    QSet<QString> texts; // told from this outlet

    // Whether the marker held back may be the sample an outlet sends as it closes.
    bool lastMayBeClosing() const { return last->second.isEmpty() || texts.contains(last->second); }
};

constexpr int MaxTexts = 4096;

// Whether the outlet with this uid answers a query.
bool answers(const std::string& uid)
{
    lsl_streaminfo result = nullptr;
    const int32_t count = lsl_resolve_bypred(&result, 1, ("uid='" + uid + "'").c_str(), 1, VerifySeconds);
    if (count > 0)
        lsl_destroy_streaminfo(result);
    return count > 0;
}

struct ResolverDeleter
{
    void operator()(lsl_continuous_resolver resolver) const { lsl_destroy_continuous_resolver(resolver); }
};

// A stream with a source_id that comes back (a new outlet, with a new uid) is the same stream; one without is a new
// stream each time it appears.
std::string keyOf(const lsl::stream_info& info)
{
    if (info.source_id().empty())
        return "uid\n" + info.uid();
    return info.name() + '\n' + info.source_id() + '\n' + info.hostname();
}

QString joined(const std::vector<std::string>& sample)
{
    QString text;
    for (const std::string& channel : sample) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QString::fromStdString(channel);
    }
    return text;
}

} // namespace
#endif

LslInletWorker::LslInletWorker(const QStringList& predicates, const OwnStream& own, Sinks sinks)
    : m_predicates(predicates)
    , m_own(own)
    , m_sinks(std::move(sinks))
    , m_thread([this] { run(); })
{ }

LslInletWorker::~LslInletWorker()
{
    stop();
    m_thread.join();
}

void LslInletWorker::stop()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
}

void LslInletWorker::pause(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop; });
}

void LslInletWorker::run()
{
#if HALVEX_HAS_LSL
    const auto stopped = [this] {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_stop;
    };
    std::vector<std::unique_ptr<lsl_continuous_resolver_, ResolverDeleter>> resolvers;
    for (const QString& predicate : m_predicates) {
        if (lsl_continuous_resolver resolver = lsl_create_continuous_resolver_bypred(
                predicate.toStdString().c_str(), LslMarkerInlet::ForgetAfterSeconds))
            resolvers.emplace_back(resolver);
        else
            m_sinks.refused(predicate, trGeneric("not a valid LSL predicate"));
    }
    const std::string ownName = m_own.name.toStdString();
    const std::string ownSourceId = m_own.sourceId.toStdString();
    const std::string thisHost = QSysInfo::machineHostName().toStdString();
    const auto isOwn = [&](const lsl::stream_info& info) {
        return info.name() == ownName
            && (ownSourceId.empty() ? info.hostname() == thisHost : info.source_id() == ownSourceId);
    };

    const auto tell = [this](Held& stream) {
        if (!stream.last)
            return;
        m_sinks.marker(stream.state.stream, stream.last->second, LslClock::toSampleMs(stream.last->first));
        if (stream.texts.size() < MaxTexts)
            stream.texts.insert(stream.last->second);
        stream.last.reset();
    };
    // Its outlet is gone. The uid is remembered while the resolvers still list it, so as not to open it again.
    std::set<std::string> gone;
    const auto lose = [&](Held& stream) {
        if (stream.last && !stream.lastMayBeClosing())
            tell(stream);
        stream.last.reset();
        stream.inlet.reset();
        gone.insert(stream.uid);
    };
    // Tells the markers the inlet holds but the last; whether there was one. Throws lsl::lost_error when the outlet
    // is gone.
    const auto drain = [&](Held& stream) {
        bool pulled = false;
        double stamp = 0.0;
        while ((stamp = stream.inlet->pull_sample(stream.sample, 0.0)) != 0.0) {
            pulled = true;
            try {
                stream.correction = stream.inlet->time_correction(CorrectionWaitSeconds);
            } catch (const std::exception&) {
                // A time-out, or the outlet gone with this marker already received: the last correction stands
                // (none yet: the sender's clock taken as ours).
            }
            tell(stream);
            stream.last.emplace(stamp + stream.correction, joined(stream.sample));
            stream.lastArrived = std::chrono::steady_clock::now();
        }
        if (stream.last && std::chrono::steady_clock::now() - stream.lastArrived >= HoldLast) {
            if (!stream.lastMayBeClosing() || answers(stream.uid))
                tell(stream);
            else
                stream.last.reset();
        }
        return pulled;
    };

    std::map<std::string, Held> held;
    QList<LslMarkerInlet::Inlet> told;
    auto nextResolve = std::chrono::steady_clock::now();
    while (!stopped()) {
        if (std::chrono::steady_clock::now() >= nextResolve) {
            nextResolve = std::chrono::steady_clock::now() + ResolveEvery;
            std::vector<lsl::stream_info> found;
            std::set<std::string> seen;
            std::set<std::string> seenUids;
            for (const auto& resolver : resolvers) {
                lsl_streaminfo results[MaxResults];
                const int32_t count = lsl_resolver_results(resolver.get(), results, MaxResults);
                for (int32_t i = 0; i < count; ++i) {
                    found.emplace_back(results[i]);
                    seen.insert(keyOf(found.back()));
                    seenUids.insert(found.back().uid());
                }
            }
            for (const lsl::stream_info& info : found) {
                if (info.channel_count() < 1 || isOwn(info))
                    continue;
                Held& stream = held[keyOf(info)];
                // A stream whose outlet went away and came back (a new uid) while the old outlet is still listed
                // or not yet seen lost (liblsl may take half a minute to notice a closed outlet): the old one is
                // gone once it is no longer listed.
                if (stream.inlet && (stream.uid == info.uid() || seenUids.count(stream.uid) > 0))
                    continue;
                if (gone.count(info.uid()) > 0)
                    continue;
                if (stream.inlet) {
                    try {
                        drain(stream);
                    } catch (const lsl::lost_error&) { }
                    lose(stream);
                }
                stream.texts.clear();
                stream.inlet = std::make_unique<lsl::stream_inlet>(info, 360, 0, false);
                if (!stream.inlet->handle()) {
                    stream.inlet.reset();
                    continue;
                }
                stream.uid = info.uid();
                stream.state.stream = QString::fromStdString(info.name());
                stream.state.host = QString::fromStdString(info.hostname());
                // Starts the measurement of the clock offset, so that the first marker hardly waits for it.
                try {
                    stream.correction = stream.inlet->time_correction(0.0);
                } catch (const std::exception&) { }
            }
            for (auto it = gone.begin(); it != gone.end();)
                it = seenUids.count(*it) > 0 ? std::next(it) : gone.erase(it);
            QList<LslMarkerInlet::Inlet> inlets;
            for (auto it = held.begin(); it != held.end();) {
                // A lost stream without a source_id never comes back as itself.
                if (!it->second.inlet && it->first.rfind("uid\n", 0) == 0) {
                    it = held.erase(it);
                    continue;
                }
                it->second.state.connected = it->second.inlet && seen.count(it->first) > 0;
                inlets.append(it->second.state);
                ++it;
            }
            if (inlets != told) {
                told = inlets;
                m_sinks.inlets(inlets);
            }
        }
        bool pulled = false;
        for (auto& [key, stream] : held) {
            if (stopped())
                break;
            if (!stream.inlet)
                continue;
            try {
                pulled = drain(stream) || pulled;
            } catch (const lsl::lost_error&) {
                lose(stream);
                nextResolve = std::chrono::steady_clock::now();
            }
        }
        if (!pulled)
            pause(IdleMs);
    }
#endif
    m_finished = true;
}
