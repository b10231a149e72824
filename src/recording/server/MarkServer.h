#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class RecordSession;

// Lets other programs on this computer put events into the running record: an HTTP server on 127.0.0.1 only.
//   GET /mark?text=...  writes an event with the source "http", stamped when the request arrives, and answers
//                       200 {"recording":true,"elapsed_ms":N} once the line has reached the operating system;
//                       409 {"recording":false} while no record runs; 429 when the source sends too many.
//   GET /status         the instrument and record state.
// Any other path answers 404, any other method 405. A connection whose request does not complete within the time
// limit is dropped.
class MarkServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultRequestTimeLimitMs = 10000;

    explicit MarkServer(RecordSession* session, QObject* parent = nullptr);
    ~MarkServer() override;

    // Listens on 127.0.0.1:port, closing what listened before; port 0 only closes. False when the port cannot be
    // opened (errorString() says why); the program then goes on without the endpoint.
    bool listen(quint16 port);
    void close();
    bool isListening() const { return m_http != nullptr; }
    QString errorString() const { return m_error; }

    // For the requests of connections opened from now on.
    void setRequestTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    // What /status reports of the instrument.
    void setInstrument(const QString& name, bool connected);

    // The text parameter of a query: percent-encoded UTF-8, "+" standing for a space as in HTML forms.
    static QString textParameter(const QString& encodedQuery);

private:
    QHttpServerResponse mark(const QHttpServerRequest& request);
    QHttpServerResponse status(const QHttpServerRequest& request) const;

    RecordSession* m_session;
    std::unique_ptr<QHttpServer> m_http;
    QString m_error;
    int m_timeLimitMs = DefaultRequestTimeLimitMs;
    QString m_instrument;
    bool m_connected = false;
};
