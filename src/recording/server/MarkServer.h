#pragma once

#include "MarkAccess.h"

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class HttpConnection;
class HttpRequestParser;
class QTcpServer;
class QUrlQuery;
class RecordSession;

// Lets other programs on this computer put events into the running record: an HTTP endpoint on the loopback
// addresses only (127.0.0.1 and ::1).
//   GET /mark?text=...[&source=NAME]  writes an event with the source "http" (or "http:NAME"), stamped when the
//                       request began to arrive, and answers 200 {"recording":true,"elapsed_ms":N} once the line has
//                       reached the operating system; 409 {"recording":false} while no record runs; 429 when the
//                       source sends more than its budget; 400 without a text or with a malformed source.
//   GET /status         the instrument and record state, and the LSL streams ("lsl": {"built_in", "outlets": […],
//                       "inlets": [{"name", "host", "connected"}…]}).
// Who may ask is MarkAccess's decision (403 for a foreign Host or web page, 401 without a required token). Any other
// path answers 404, any other method 405; allowed web pages get their CORS preflight answered.
//
// The endpoint reads requests with its own GET-only parser rather than a general HTTP server, so that nothing is
// buffered beyond one head: heads over 8 KiB are refused (414, 431), a request announcing a body is refused from
// its head (413), a head must be complete within the time limit, at most MaxConnections are open (a new one closes
// the oldest still waiting), and every answer closes its connection.
class MarkServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultRequestTimeLimitMs = 3000;
    static constexpr int MaxConnections = 32;
    static constexpr int ListenBacklog = 128;

    explicit MarkServer(RecordSession* session, QObject* parent = nullptr);
    ~MarkServer() override;

    // Listens on 127.0.0.1:port and [::1]:port, closing what listened before; port 0 only closes. False when the
    // port cannot be opened (errorString() says why); the program then goes on without the endpoint. Where the
    // computer has no IPv6 loopback, 127.0.0.1 alone serves.
    bool listen(quint16 port);
    void close();
    bool isListening() const { return m_ipv4 != nullptr; }
    QString errorString() const { return m_error; }

    // For the requests of connections opened from now on.
    void setRequestTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    // What /status reports of the instrument.
    void setInstrument(const QString& name, bool connected);
    // What /status lists under "lsl": the Lab Streaming Layer streams the program publishes and receives.
    void setLslOutlets(const QJsonArray& outlets) { m_lslOutlets = outlets; }
    void setLslInlets(const QJsonArray& inlets) { m_lslInlets = inlets; }
    // Web pages allowed to use the endpoint and read its answers ("http://localhost:8000").
    void setAllowedOrigins(const QStringList& origins) { m_access.setAllowedOrigins(origins); }
    void setToken(const QByteArray& token) { m_access.setToken(token); }
    void setTokenRequired(bool required) { m_access.setTokenRequired(required); }

    // The text parameter of a query: percent-encoded UTF-8, "+" standing for a space as in HTML forms.
    static QString textParameter(const QString& encodedQuery);

private:
    struct Answer;

    void accept(qintptr descriptor);
    void respond(HttpConnection* connection);
    Answer route(const HttpRequestParser& request, qint64 arrivedAt);
    Answer mark(const QUrlQuery& query, const QString& encodedQuery, qint64 arrivedAt);
    Answer status() const;

    RecordSession* m_session;
    MarkAccess m_access;
    std::unique_ptr<QTcpServer> m_ipv4;
    std::unique_ptr<QTcpServer> m_ipv6;
    QList<HttpConnection*> m_connections; // oldest first
    QString m_error;
    int m_timeLimitMs = DefaultRequestTimeLimitMs;
    QString m_instrument;
    bool m_connected = false;
    QJsonArray m_lslOutlets;
    QJsonArray m_lslInlets;
};
