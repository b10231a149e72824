#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QString>

// A real HTTP client (QNetworkAccessManager) for tests of the program's own HTTP endpoint, and a raw one for the
// requests no well-behaved client sends (foreign Host headers, oversized heads, bodies on GET).
class HttpTestClient
{
public:
    struct Reply
    {
        int status = 0; // 0: no answer
        QByteArray body;
        QByteArray head; // status line and header lines of a raw exchange

        // The value of the named header of a raw exchange (name in any case), or a null array.
        QByteArray header(const QByteArray& name) const;
    };

    // Waits for the answer, at most timeoutMs.
    Reply request(const QString& url, const QByteArray& verb = QByteArrayLiteral("GET"), int timeoutMs = 5000);
    // "http://127.0.0.1:<port>" followed by path and query, exactly as given (already percent-encoded).
    static QString url(quint16 port, const QString& pathAndQuery);

    // Sends bytes exactly as given over a new connection, then fillerBytes of body in pieces for as long as the server
    // takes them and has not answered, and reads until the answer is whole or the server closes, at most timeoutMs;
    // a head without its end gives status 0.
    static Reply exchange(quint16 port, const QByteArray& bytes, int timeoutMs = 5000,
        const QHostAddress& address = QHostAddress(QHostAddress::LocalHost), qint64 fillerBytes = 0);
    // Splits what a server sent into status, head and body.
    static Reply parse(const QByteArray& answer);

private:
    QNetworkAccessManager m_manager;
};
