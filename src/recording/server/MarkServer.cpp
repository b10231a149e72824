#include "MarkServer.h"

#include "RecordEvents.h"
#include "RecordSession.h"
#include "SampleClock.h"

#include <QDateTime>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {

using Status = QHttpServerResponse::StatusCode;

// Gives every connection a time limit for its request; each answer sent starts the limit anew for the next
// request on the same connection, so an idle kept-alive connection is closed after the limit as well.
class TimedTcpServer : public QTcpServer
{
public:
    TimedTcpServer(int limitMs, QObject* parent)
        : QTcpServer(parent)
        , m_limitMs(limitMs)
    { }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        auto* limit = new QTimer(socket);
        limit->setSingleShot(true);
        connect(limit, &QTimer::timeout, socket, &QAbstractSocket::abort);
        const int limitMs = m_limitMs;
        connect(socket, &QTcpSocket::bytesWritten, limit, [limit, limitMs] { limit->start(limitMs); });
        limit->start(limitMs);
        addPendingConnection(socket);
    }

private:
    int m_limitMs;
};

QHttpServerResponse json(const QJsonObject& object, Status status)
{
    return QHttpServerResponse(
        QByteArrayLiteral("application/json"), QJsonDocument(object).toJson(QJsonDocument::Compact), status);
}

QHttpServerResponse methodNotAllowed()
{
    QHttpServerResponse response
        = json({ { QStringLiteral("error"), QStringLiteral("only GET") } }, Status::MethodNotAllowed);
    response.setHeader(QByteArrayLiteral("Allow"), QByteArrayLiteral("GET"));
    return response;
}

} // namespace

MarkServer::MarkServer(RecordSession* session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{ }

MarkServer::~MarkServer() = default;

bool MarkServer::listen(quint16 port)
{
    close();
    m_error.clear();
    if (port == 0)
        return true;

    auto* tcp = new TimedTcpServer(m_timeLimitMs, nullptr);
    // The loopback address only: no other computer may put marks into a record.
    if (!tcp->listen(QHostAddress::LocalHost, port)) {
        m_error = tcp->errorString();
        delete tcp;
        return false;
    }
    m_http = std::make_unique<QHttpServer>();
    m_http->route(QStringLiteral("/mark"), [this](const QHttpServerRequest& request) { return mark(request); });
    m_http->route(QStringLiteral("/status"), [this](const QHttpServerRequest& request) { return status(request); });
    m_http->bind(tcp);
    return true;
}

void MarkServer::close()
{
    m_http.reset();
}

void MarkServer::setInstrument(const QString& name, bool connected)
{
    m_instrument = name;
    m_connected = connected;
}

QString MarkServer::textParameter(const QString& encodedQuery)
{
    QString query = encodedQuery;
    // Every encoder writes a "+" of the text as %2B, so a bare "+" is always a form-encoded space.
    query.replace(QLatin1Char('+'), QStringLiteral("%20"));
    return QUrlQuery(query).queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded);
}

QHttpServerResponse MarkServer::mark(const QHttpServerRequest& request)
{
    if (request.method() != QHttpServerRequest::Method::Get)
        return methodNotAllowed();
    const QString text = textParameter(request.url().query(QUrl::FullyEncoded));
    qint64 elapsed = 0;
    switch (m_session->addEvent(RecordEvents::SourceHttp, text, &elapsed)) {
    case RecordSession::EventResult::Written:
        return json({ { QStringLiteral("recording"), true }, { QStringLiteral("elapsed_ms"), elapsed } }, Status::Ok);
    case RecordSession::EventResult::NotRecording:
        return json({ { QStringLiteral("recording"), false } }, Status::Conflict);
    case RecordSession::EventResult::TooMany: {
        QHttpServerResponse response = json(
            { { QStringLiteral("recording"), true }, { QStringLiteral("error"), QStringLiteral("too many events") } },
            Status::TooManyRequests);
        response.setHeader(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1"));
        return response;
    }
    case RecordSession::EventResult::Failed:
        break;
    }
    // The write failed and ended the record: the event is not in the file.
    return json({ { QStringLiteral("recording"), false }, { QStringLiteral("error"), QStringLiteral("write error") } },
        Status::InternalServerError);
}

QHttpServerResponse MarkServer::status(const QHttpServerRequest& request) const
{
    if (request.method() != QHttpServerRequest::Method::Get)
        return methodNotAllowed();
    QJsonObject state { { QStringLiteral("connected"), m_connected }, { QStringLiteral("device"), m_instrument },
        { QStringLiteral("recording"), m_session->isRecording() } };
    if (m_session->isRecording()) {
        state.insert(QStringLiteral("record"), m_session->fileName());
        state.insert(QStringLiteral("elapsed_ms"), SampleClock::nowMs() - m_session->recordStart());
    }
    return json(state, Status::Ok);
}
