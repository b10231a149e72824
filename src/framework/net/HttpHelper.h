#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Blocking HTTP GET for the few places that need a reply before they go on. The wait runs a local event loop, so
// the window stays responsive; every request ends after TimeoutMs at the latest, because a peer that accepts the
// connection but never answers would otherwise hold its caller for ever. Only http and https addresses are
// requested: any other scheme (file:, data:, qrc:) would read what it names and not ask a program at all. A reply
// body past MaximumReplyBytes ends the request, so an endless stream cannot fill the memory.
class HttpHelper : public QObject
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 3000;
    static constexpr qint64 MaximumReplyBytes = 64 * 1024;

    static HttpHelper* Instance();
    static QNetworkAccessManager* manager();

    // How a request ended: the body (also that of an HTTP error status), the HTTP status (0 without an answer),
    // whether the time limit cut it short, and the error text when the request failed (a network error, an
    // address that is not http or https, a body past MaximumReplyBytes).
    struct Reply
    {
        QByteArray body;
        int status = 0;
        bool timedOut = false;
        QString error;
        bool succeeded() const { return !timedOut && error.isEmpty() && status >= 200 && status < 300; }
    };
    // SSL errors, when sslErrors is given, are appended to it one after the other.
    static Reply request(const QString& url, int timeoutMs = TimeoutMs, QString* sslErrors = nullptr);

    // The reply body, also that of an HTTP error status; empty after a network error or the time limit. Only SSL
    // errors are reported through error: callers never got network errors back.
    static QByteArray get(const QString& url, QString* error = nullptr, int timeoutMs = TimeoutMs);
    // get() parsed as JSON: a null document for an empty body or one that is not JSON.
    static QJsonDocument getJson(const QString& url);

signals:
    void progress(const QString& url, qint64 bytesReceived, qint64 bytesTotal);

protected:
    explicit HttpHelper(QObject* parent = nullptr);
    void emitProgress(const QString& url, qint64 bytesReceived, qint64 bytesTotal);
};
