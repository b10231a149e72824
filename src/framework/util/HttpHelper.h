#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

// Blocking HTTP GET for the few places that need a reply before they go on. The wait runs a local event loop, so
// the window stays responsive; every request ends after TimeoutMs at the latest, because a peer that accepts the
// connection but never answers would otherwise hold its caller for ever.
class HttpHelper : public QObject
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 3000;

    static HttpHelper* Instance();
    static QNetworkAccessManager* manager();

    // The reply body, also that of an HTTP error status; empty after a network error or the time limit. Only SSL
    // errors are reported through error: callers never got network errors back. status, when given, receives the
    // HTTP status of the answer, or 0 when none came.
    static QByteArray get(
        const QString& url, QString* error = nullptr, int timeoutMs = TimeoutMs, int* status = nullptr);
    // get() parsed as JSON: a null document for an empty body or one that is not JSON.
    static QJsonDocument getJson(const QString& url);

signals:
    void progress(const QString& url, qint64 bytesReceived, qint64 bytesTotal);

protected:
    explicit HttpHelper(QObject* parent = nullptr);
    void emitProgress(const QString& url, qint64 bytesReceived, qint64 bytesTotal);
};
