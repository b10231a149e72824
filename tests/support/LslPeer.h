#pragma once

// A Lab Streaming Layer peer for tests, on liblsl's own C++ API: the other program on the lab's network. Only for
// tests built where liblsl was found; they run with LSLAPICFG naming the loopback config.

#include "HttpTestClient.h"

#include <lsl_cpp.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>
#include <optional>

namespace LslPeer {

// Every program on this computer sees the others' streams, tests running at the same time included: a test names
// its streams after its own process.
inline QString uniqueName(const QString& base)
{
    return base + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
}

// The stream of that name within timeoutSeconds, the Qt event loop running meanwhile (a window opens its streams
// from it).
inline std::optional<lsl::stream_info> resolve(const QString& name, double timeoutSeconds = 5)
{
    const QDeadlineTimer deadline(qint64(timeoutSeconds * 1000));
    do {
        const std::vector<lsl::stream_info> found = lsl::resolve_stream("name", name.toStdString(), 1, 1.0);
        if (!found.empty())
            return found.front();
        QTest::qWait(20);
    } while (!deadline.hasExpired());
    return std::nullopt;
}

// An inlet subscribed to the stream (liblsl throws, and the test fails, when it cannot connect in time).
inline std::unique_ptr<lsl::stream_inlet> openInlet(const lsl::stream_info& info, double timeoutSeconds = 5)
{
    auto inlet = std::make_unique<lsl::stream_inlet>(info);
    inlet->open_stream(timeoutSeconds);
    return inlet;
}

template<typename T> struct Sample
{
    std::vector<T> values;
    double timestamp = 0; // the sender's clock: on one computer, ours
};

// Pulls until count samples have arrived or timeoutMs has passed, the Qt event loop running in between.
template<typename T> std::vector<Sample<T>> pull(lsl::stream_inlet& inlet, size_t count, int timeoutMs = 5000)
{
    std::vector<Sample<T>> samples;
    const QDeadlineTimer deadline(timeoutMs);
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

// The "lsl" member of the mark endpoint's GET /status on that port.
inline QJsonObject status(quint16 port)
{
    const QByteArray body = HttpTestClient().request(HttpTestClient::url(port, QStringLiteral("/status"))).body;
    return QJsonDocument::fromJson(body).object().value(QStringLiteral("lsl")).toObject();
}

} // namespace LslPeer
