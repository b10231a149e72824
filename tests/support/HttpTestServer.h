#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A real HTTP/1.1 server on 127.0.0.1 for the tests of the HTTP client and the record hooks. It records every
// request and answers each with the reply set beforehand: at once, after a delay, or never.
class HttpTestServer : public QObject
{
    Q_OBJECT
public:
    explicit HttpTestServer(QObject* parent = nullptr);

    bool listen();
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString& path) const;
    // A loopback port that nothing listens on, for a refused connection.
    static quint16 closedPort();

    void setReply(int status, const QByteArray& body);
    void setDelayMs(int delayMs) { m_delayMs = delayMs; }
    void setNeverAnswer(bool never) { m_neverAnswer = never; }

    // The request targets in arrival order, exactly as sent in the request line.
    QStringList paths() const { return m_paths; }
    // The complete request heads (request line and header lines).
    QList<QByteArray> requests() const { return m_requests; }

signals:
    void requestReceived(const QString& path);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QStringList m_paths;
    QList<QByteArray> m_requests;
    int m_status = 200;
    QByteArray m_body = "{}";
    int m_delayMs = 0;
    bool m_neverAnswer = false;
};
