#include "MarkServer.h"

#include "HttpConnection.h"
#include "HttpRequestParser.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "SampleClock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTcpServer>
#include <QUrlQuery>

#include <functional>

namespace {

// Hands every accepted socket descriptor on; the endpoint makes its own connections of them.
class DescriptorServer : public QTcpServer
{
public:
    explicit DescriptorServer(std::function<void(qintptr)> take)
        : m_take(std::move(take))
    {
        // Room for a burst of clients connecting at once while the program is busy.
        setListenBacklogSize(MarkServer::ListenBacklog);
    }

protected:
    void incomingConnection(qintptr descriptor) override { m_take(descriptor); }

private:
    std::function<void(qintptr)> m_take;
};

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Internal Server Error";
    }
}

bool isSourceName(const QString& name)
{
    if (name.isEmpty() || name.size() > 32)
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('_');
    });
}

} // namespace

struct MarkServer::Answer
{
    int status = 200;
    QJsonObject body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static Answer error(int status, const QString& text)
    {
        return { status, { { QStringLiteral("error"), text } }, {} };
    }

    QByteArray serialized() const
    {
        QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
        QByteArray content;
        if (status != 204) {
            content = QJsonDocument(body).toJson(QJsonDocument::Compact);
            out += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(content.size()) + "\r\n";
        }
        out += "Cache-Control: no-store\r\nConnection: close\r\n";
        for (const auto& [name, value] : headers)
            out += name + ": " + value + "\r\n";
        return out + "\r\n" + content;
    }
};

MarkServer::MarkServer(RecordSession* session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{ }

MarkServer::~MarkServer()
{
    close();
}

bool MarkServer::listen(quint16 port)
{
    close();
    m_error.clear();
    if (port == 0)
        return true;
    const auto take = [this](qintptr descriptor) { accept(descriptor); };
    auto ipv4 = std::make_unique<DescriptorServer>(take);
    // The loopback addresses only: no other computer may put marks into a record.
    if (!ipv4->listen(QHostAddress::LocalHost, port)) {
        m_error = ipv4->errorString();
        return false;
    }
    // Taken as well, or another program could answer for "localhost" on ::1; a computer without IPv6 has none to
    // take.
    auto ipv6 = std::make_unique<DescriptorServer>(take);
    if (!ipv6->listen(QHostAddress::LocalHostIPv6, port)) {
        if (ipv6->serverError() == QAbstractSocket::AddressInUseError) {
            m_error = ipv6->errorString();
            return false;
        }
        ipv6.reset();
    }
    m_access.setPort(port);
    m_ipv4 = std::move(ipv4);
    m_ipv6 = std::move(ipv6);
    return true;
}

void MarkServer::close()
{
    m_ipv4.reset();
    m_ipv6.reset();
    const QList<HttpConnection*> open = m_connections;
    for (HttpConnection* connection : open)
        connection->abort();
    m_connections.clear();
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

void MarkServer::accept(qintptr descriptor)
{
    // Connections that send nothing must not lock the real clients out: the oldest one makes room. A real client
    // sends its request with the connection and is answered long before it is the oldest.
    while (m_connections.size() >= MaxConnections)
        m_connections.takeFirst()->abort();
    auto* connection = new HttpConnection(descriptor, m_timeLimitMs, this);
    m_connections.append(connection);
    connect(connection, &HttpConnection::headReady, this, &MarkServer::respond);
    connect(
        connection, &HttpConnection::closed, this, [this](HttpConnection* closed) { m_connections.removeOne(closed); });
    // Not from within the server's accepting: a mark may wait for a record hook in a nested event loop.
    QMetaObject::invokeMethod(connection, &HttpConnection::start, Qt::QueuedConnection);
}

void MarkServer::respond(HttpConnection* connection)
{
    const HttpRequestParser& request = connection->request();
    Answer answer;
    if (request.state() == HttpRequestParser::State::Failed) {
        switch (request.failure()) {
        case HttpRequestParser::BodyNotAccepted:
            answer = Answer::error(413, QStringLiteral("no request body is accepted"));
            break;
        case HttpRequestParser::TargetTooLong:
            answer = Answer::error(414, QStringLiteral("request line longer than 8 KiB"));
            break;
        case HttpRequestParser::HeadTooLarge:
            answer = Answer::error(431, QStringLiteral("request head longer than 8 KiB"));
            break;
        case HttpRequestParser::VersionNotSupported:
            answer = Answer::error(505, QStringLiteral("HTTP/1.0 or HTTP/1.1 only"));
            break;
        default:
            answer = Answer::error(400, QStringLiteral("malformed request"));
            break;
        }
    } else if (!m_access.hostAllowed(request)) {
        answer = Answer::error(403, QStringLiteral("host not allowed"));
    } else {
        const MarkAccess::Caller caller = m_access.caller(request);
        const QByteArray origin = request.header("Origin");
        if (caller == MarkAccess::Caller::ForeignPage) {
            answer = Answer::error(403, QStringLiteral("origin not allowed"));
        } else {
            // A mark may wait for a record hook, during which this connection can time out and go.
            const QPointer<HttpConnection> alive(connection);
            answer = route(request, connection->arrivedAt());
            if (!alive)
                return;
            if (caller == MarkAccess::Caller::AllowedPage)
                answer.headers << qMakePair(QByteArrayLiteral("Access-Control-Allow-Origin"), origin)
                               << qMakePair(QByteArrayLiteral("Vary"), QByteArrayLiteral("Origin"));
        }
    }
    connection->answer(answer.serialized());
}

MarkServer::Answer MarkServer::route(const HttpRequestParser& request, qint64 arrivedAt)
{
    const QByteArray path = request.path();
    if (path != "/mark" && path != "/status")
        return Answer::error(404, QStringLiteral("not found"));
    if (request.method() == "OPTIONS" && request.hasHeader("Origin")) {
        Answer preflight { 204, {}, {} };
        preflight.headers << qMakePair(QByteArrayLiteral("Access-Control-Allow-Methods"), QByteArrayLiteral("GET"))
                          << qMakePair(
                                 QByteArrayLiteral("Access-Control-Allow-Headers"), QByteArrayLiteral("X-Halvex-Token"))
                          << qMakePair(QByteArrayLiteral("Access-Control-Max-Age"), QByteArrayLiteral("600"));
        // A public page's request to a local address is asked for separately by the browser.
        if (request.header("Access-Control-Request-Private-Network").toLower() == "true")
            preflight.headers << qMakePair(
                QByteArrayLiteral("Access-Control-Allow-Private-Network"), QByteArrayLiteral("true"));
        return preflight;
    }
    if (request.method() != "GET") {
        Answer refused = Answer::error(405, QStringLiteral("only GET"));
        refused.headers << qMakePair(QByteArrayLiteral("Allow"), QByteArrayLiteral("GET"));
        return refused;
    }
    const QString encodedQuery = QString::fromUtf8(request.query());
    const QUrlQuery query(encodedQuery);
    if (m_access.tokenRequired()
        && !m_access.tokenGiven(request, query.queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toUtf8()))
        return Answer::error(401, QStringLiteral("token required"));
    if (path == "/status")
        return status();
    return mark(query, encodedQuery, arrivedAt);
}

MarkServer::Answer MarkServer::mark(const QUrlQuery& query, const QString& encodedQuery, qint64 arrivedAt)
{
    QString source = RecordEvents::SourceHttp;
    if (query.hasQueryItem(QStringLiteral("source"))) {
        const QString name = query.queryItemValue(QStringLiteral("source"), QUrl::FullyDecoded);
        if (!isSourceName(name))
            return Answer::error(400, QStringLiteral("source: 1 to 32 letters, digits, - or _"));
        source += QLatin1Char(':') + name;
    }
    const QString text = RecordEvents::cleanText(textParameter(encodedQuery));
    if (text.trimmed().isEmpty())
        return Answer::error(400, QStringLiteral("text missing"));
    qint64 elapsed = 0;
    // A request that began to arrive before the record started belongs to no record.
    const RecordSession::EventResult result = m_session->isRecording() && arrivedAt < m_session->recordStart()
        ? RecordSession::EventResult::NotRecording
        : m_session->addEventAt(arrivedAt, source, text, &elapsed);
    switch (result) {
    case RecordSession::EventResult::Written:
        return { 200, { { QStringLiteral("recording"), true }, { QStringLiteral("elapsed_ms"), elapsed } }, {} };
    case RecordSession::EventResult::NotRecording:
        return { 409, { { QStringLiteral("recording"), false } }, {} };
    case RecordSession::EventResult::TooMany: {
        Answer answer { 429,
            { { QStringLiteral("recording"), true }, { QStringLiteral("error"), QStringLiteral("too many events") } },
            {} };
        answer.headers << qMakePair(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1"));
        return answer;
    }
    case RecordSession::EventResult::Failed:
        break;
    }
    // The write failed and ended the record: the event is not in the file.
    return { 500,
        { { QStringLiteral("recording"), false }, { QStringLiteral("error"), QStringLiteral("write error") } }, {} };
}

MarkServer::Answer MarkServer::status() const
{
    QJsonObject state { { QStringLiteral("connected"), m_connected }, { QStringLiteral("device"), m_instrument },
        { QStringLiteral("recording"), m_session->isRecording() } };
    if (m_session->isRecording()) {
        state.insert(QStringLiteral("record"), m_session->fileName());
        state.insert(QStringLiteral("elapsed_ms"), SampleClock::nowMs() - m_session->recordStart());
    }
    if (m_lsl) {
        state.insert(QStringLiteral("lsl"),
            QJsonObject { { QStringLiteral("outlets"), QJsonArray() }, { QStringLiteral("inlets"), m_lslInlets } });
    }
    return { 200, state, {} };
}

void MarkServer::setLslInlets(const QJsonArray& inlets)
{
    m_lsl = true;
    m_lslInlets = inlets;
}
