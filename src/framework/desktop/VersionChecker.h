#pragma once

#include "VersionInfo.h"

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Asks the version endpoint whether a newer release exists: at once and then periodically, at most one request
// every MinimumGapSeconds and never while one is outstanding. The endpoint decides what is newer; the program
// only shows a valid answer. Without an endpoint (an empty baseUrl) nothing is ever sent.
class VersionChecker : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinimumGapSeconds = 5;
    static constexpr int DefaultTimeoutMs = 30000;
    // The JSON answer is a few hundred bytes; anything far larger is not one.
    static constexpr qint64 MaximumReplyBytes = 64 * 1024;

    // The address the requests go to, without query; empty means no update check at all.
    static QString baseUrl;

    // The process's checker, created on first use and never destroyed. Tests make their own.
    static VersionChecker* Instance();
    explicit VersionChecker(QObject* parent = nullptr);

    VersionInfo LastVersion() const { return m_lastVersion; }
    void StartChecking(bool enable, int periodSeconds);

    // baseUrl and the query, left unencoded: the URL object encodes what it must.
    static QString fetchUrl(const QString& app, const QString& version, const QString& locale);
    // A reply whose link is not http or https is not valid: the desktop would open whatever the peer names.
    static VersionInfo parseVersionInfo(const QByteArray& bytes);

    bool isReady() const { return m_ready; }
    qint64 lastRequest() const { return m_lastRequest; }
    void setTimeoutMs(int timeoutMs) { m_timeoutMs = timeoutMs; }

signals:
    void versionFound(const VersionInfo& info);

private:
    void check();
    void onFinished(QNetworkReply* reply);

    QTimer* m_timer = nullptr;
    VersionInfo m_lastVersion;
    qint64 m_lastRequest = 0;
    QNetworkAccessManager* m_manager = nullptr;
    bool m_ready = true;
    int m_timeoutMs = DefaultTimeoutMs;
};
