#pragma once

// A Lab Streaming Layer peer for tests, on liblsl's own C++ API: the other program on the lab's network. Only for
// tests built where liblsl was found; every test runs with LSLAPICFG naming the loopback config, so nothing is
// resolved beyond this computer.

#include <lsl_cpp.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace LslPeer {

// Every program on this computer sees the streams of the others, other tests running at the same time included: a
// test names its streams after its own process.
inline QString uniqueName(const QString& base)
{
    return base + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

// A pulled sample and the time stamp it carried (the sender's clock; on one computer, the same as ours).
template<typename T> struct Sample
{
    std::vector<T> values;
    double timestamp = 0;
};

// The first stream whose property (name, type, source_id) has this value, within timeoutSeconds; the Qt event loop
// runs meanwhile, so that a stream the test's own window opens on a sample can appear.
inline std::optional<lsl::stream_info> resolve(
    const QString& value, double timeoutSeconds = 5, const char* property = "name")
{
    QDeadlineTimer deadline(qint64(timeoutSeconds * 1000));
    do {
        const std::vector<lsl::stream_info> found = lsl::resolve_stream(property, value.toStdString(), 1, 1.0);
        if (!found.empty())
            return found.front();
        QTest::qWait(20);
    } while (!deadline.hasExpired());
    return std::nullopt;
}

// Whether no stream of that name is to be found within the wait (a stream that should be gone).
inline bool absent(const QString& name, double waitSeconds = 1)
{
    return lsl::resolve_stream("name", name.toStdString(), 1, waitSeconds).empty();
}

// An inlet connected to the stream and subscribed to its samples, or null when it could not be opened in time.
inline std::unique_ptr<lsl::stream_inlet> openInlet(const lsl::stream_info& info, double timeoutSeconds = 5)
{
    auto inlet = std::make_unique<lsl::stream_inlet>(info);
    try {
        inlet->open_stream(timeoutSeconds);
    } catch (const std::exception&) {
        return nullptr;
    }
    return inlet;
}

// The full description of the stream as the inlet received it.
inline lsl::stream_info fullInfo(lsl::stream_inlet& inlet, double timeoutSeconds = 5)
{
    return inlet.info(timeoutSeconds);
}

// Pulls samples until count have arrived or timeoutMs has passed, running the Qt event loop in between (the window
// pushes from it).
template<typename T> std::vector<Sample<T>> pull(lsl::stream_inlet& inlet, size_t count, int timeoutMs = 5000)
{
    std::vector<Sample<T>> samples;
    QDeadlineTimer deadline(timeoutMs);
    while (samples.size() < count && !deadline.hasExpired()) {
        Sample<T> sample;
        sample.timestamp = inlet.pull_sample(sample.values, 0.0);
        if (sample.timestamp != 0.0)
            samples.push_back(std::move(sample));
        else
            QTest::qWait(2);
    }
    return samples;
}

// The text of a child of an element of a stream's description ("" when missing).
inline QString child(const lsl::xml_element& element, const char* name)
{
    return QString::fromStdString(element.child_value(name));
}

} // namespace LslPeer
