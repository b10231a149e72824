#include "HttpTestServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

HttpTestServer::HttpTestServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
}

bool HttpTestServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost);
}

QString HttpTestServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

quint16 HttpTestServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void HttpTestServer::setReply(int status, const QByteArray& body)
{
    m_status = status;
    m_body = body;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void HttpTestServer::onReadyRead(QTcpSocket* socket)
{
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QByteArray head = buffer.left(headEnd);
    buffer.remove(0, headEnd + 4);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromUtf8(requestLine.at(1)) : QString();
    m_requests.append(head);
    m_paths.append(path);
    emit requestReceived(path);

    if (m_neverAnswer)
        return;
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(m_delayMs, this, [this, guarded] {
        if (guarded)
            answer(guarded);
    });
}

void HttpTestServer::answer(QTcpSocket* socket)
{
    if (m_streamChunk > 0) {
        stream(socket);
        return;
    }
    const QByteArray reason = m_status == 200 ? "OK" : m_status == 404 ? "Not Found" : "Error";
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason + "\r\n";
    reply += "Content-Type: application/json\r\n";
    reply += "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    reply += m_body;
    socket->write(reply);
    socket->disconnectFromHost();
}

void HttpTestServer::stream(QTcpSocket* socket)
{
    // Without a length the body lasts until the connection closes.
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
    const QByteArray chunk(m_streamChunk, 'x');
    auto* timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [socket, chunk] {
        // What the peer has not taken stays in this process: keep it to a few chunks, so that only the client's
        // memory shows what the stream costs.
        if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size())
            socket->write(chunk);
    });
    timer->start(m_streamIntervalMs);
}
