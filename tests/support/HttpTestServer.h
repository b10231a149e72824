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
    // Answers 200 with a body that never ends: chunkBytes every intervalMs (0: as fast as the peer takes them), until
    // the peer closes. chunkBytes 0 answers with the reply set again.
    void setStream(int chunkBytes, int intervalMs)
    {
        m_streamChunk = chunkBytes;
        m_streamIntervalMs = intervalMs;
    }

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
    void stream(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QStringList m_paths;
    QList<QByteArray> m_requests;
    int m_status = 200;
    QByteArray m_body = "{}";
    int m_delayMs = 0;
    bool m_neverAnswer = false;
    int m_streamChunk = 0;
    int m_streamIntervalMs = 0;
};
