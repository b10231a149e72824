#include "HttpConnection.h"

#include "SampleClock.h"

#include <QTcpSocket>
#include <QTimer>

HttpConnection::HttpConnection(qintptr descriptor, int timeLimitMs, QObject* parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
    , m_limit(new QTimer(this))
{
    // Qt reads no more into its own buffer than one head: the rest stays with the operating system.
    m_socket->setReadBufferSize(HttpRequestParser::MaxHeadSize);
    m_open = m_socket->setSocketDescriptor(descriptor);
    m_limit->setSingleShot(true);
    m_limit->start(timeLimitMs);
    connect(m_limit, &QTimer::timeout, this, &HttpConnection::abort);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::read);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            finish();
    });
}

void HttpConnection::start()
{
    if (!m_open) {
        finish();
        return;
    }
    // A client that sent its request with the connection is served at once, before later connections can push
    // it out.
    if (m_socket->bytesAvailable() > 0 || m_socket->waitForReadyRead(0))
        read();
}

void HttpConnection::read()
{
    if (m_draining) {
        m_drained += m_socket->skip(m_socket->bytesAvailable());
        if (m_drained > MaxDrain)
            abort();
        return;
    }
    while (m_open && !hasHead() && m_socket->bytesAvailable() > 0) {
        const QByteArray bytes = m_socket->read(HttpRequestParser::MaxHeadSize);
        if (m_arrivedAt == 0 && !bytes.isEmpty())
            m_arrivedAt = SampleClock::nowMs();
        if (m_parser.feed(bytes) != HttpRequestParser::State::Incomplete)
            emit headReady(this);
    }
}

void HttpConnection::answer(const QByteArray& response)
{
    if (!m_open || m_answered)
        return;
    m_answered = true;
    m_socket->write(response);
    if (m_parser.state() == HttpRequestParser::State::Failed) {
        // The client may still be sending what was refused; closing with it unread would reset the connection and
        // could take the answer with it. It is read and dropped, a bounded while, until the client closes.
        m_draining = true;
        m_limit->start(DrainMs);
        read();
        return;
    }
    m_socket->disconnectFromHost();
}

void HttpConnection::abort()
{
    if (m_open)
        m_socket->abort();
    finish();
}

void HttpConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_open = false;
    m_limit->stop();
    emit closed(this);
    deleteLater();
}
