#include "HttpTestClient.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

HttpTestClient::Reply HttpTestClient::request(const QString& url, const QByteArray& verb, int timeoutMs)
{
    QNetworkReply* reply = m_manager.sendCustomRequest(QNetworkRequest(QUrl(url, QUrl::StrictMode)), verb);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(timeoutMs);
    Reply result;
    if (reply->isFinished()) {
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
    }
    reply->abort();
    reply->deleteLater();
    return result;
}

QString HttpTestClient::url(quint16 port, const QString& pathAndQuery)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port) + pathAndQuery;
}

HttpTestClient::Reply HttpTestClient::exchange(
    quint16 port, const QByteArray& bytes, int timeoutMs, const QHostAddress& address, qint64 fillerBytes)
{
    // Driven by the event loop, so that a server in the same thread answers.
    QTcpSocket socket;
    QByteArray answer;
    const QByteArray piece(64 * 1024, 'x');
    const auto more = [&] {
        if (socket.bytesToWrite() == 0 && fillerBytes > 0 && answer.isEmpty()) {
            fillerBytes -= piece.size();
            socket.write(piece);
        }
    };
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] {
        socket.write(bytes);
        more();
    });
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, more);
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&socket, &answer] { answer += socket.readAll(); });
    socket.connectToHost(address, port);
    // A server that keeps the connection open has answered once its body is complete; one that refuses a request
    // may close before reading all of it, and what it sent before stays readable.
    (void)QTest::qWaitFor(
        [&] {
            const Reply reply = parse(answer);
            const QByteArray length = reply.header("Content-Length");
            return socket.state() == QAbstractSocket::UnconnectedState || answer.size() > (1 << 20)
                || (reply.status != 0 && !length.isNull() && reply.body.size() >= length.toLongLong());
        },
        timeoutMs);
    answer += socket.readAll();
    return parse(answer);
}

HttpTestClient::Reply HttpTestClient::parse(const QByteArray& answer)
{
    Reply reply;
    const qsizetype end = answer.indexOf("\r\n\r\n");
    if (!answer.startsWith("HTTP/1.") || end < 0)
        return reply;
    reply.head = answer.left(end);
    reply.body = answer.mid(end + 4);
    reply.status = answer.mid(9, 3).toInt();
    return reply;
}

QByteArray HttpTestClient::Reply::header(const QByteArray& name) const
{
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0 && lines.at(i).left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return lines.at(i).mid(colon + 1).trimmed();
    }
    return {};
}
