#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>

// A real HTTP client (QNetworkAccessManager) for tests of the program's own HTTP endpoint.
class HttpTestClient
{
public:
    struct Reply
    {
        int status = 0; // 0: no answer
        QByteArray body;
    };

    // Waits for the answer, at most timeoutMs.
    Reply request(const QString& url, const QByteArray& verb = QByteArrayLiteral("GET"), int timeoutMs = 5000);
    // "http://127.0.0.1:<port>" followed by path and query, exactly as given (already percent-encoded).
    static QString url(quint16 port, const QString& pathAndQuery);

private:
    QNetworkAccessManager m_manager;
};
