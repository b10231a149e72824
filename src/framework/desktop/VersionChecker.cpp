#include "VersionChecker.h"

#include "AppHelper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#ifndef HALVEX_UPDATE_URL
#define HALVEX_UPDATE_URL ""
#endif

QString VersionChecker::baseUrl = QStringLiteral(HALVEX_UPDATE_URL);

VersionChecker* VersionChecker::Instance()
{
    static VersionChecker* instance = new VersionChecker();
    return instance;
}

VersionChecker::VersionChecker(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<VersionInfo>();
}

void VersionChecker::StartChecking(bool enable, int periodSeconds)
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        // A coarse timer may fire up to 5 % early, which the gap between requests would then swallow whole.
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, &VersionChecker::check, Qt::QueuedConnection);
    }
    if (!enable || baseUrl.isEmpty()) {
        m_timer->stop();
        return;
    }
    m_timer->start(qMax(periodSeconds, MinimumGapSeconds) * 1000);
    check();
}

QString VersionChecker::fetchUrl(const QString& app, const QString& version, const QString& locale)
{
    return baseUrl + QStringLiteral("?app=") + app + QStringLiteral("&version=") + version + QStringLiteral("&locale=")
        + locale + QStringLiteral("&platform=") + AppHelper::OS() + QStringLiteral("&os=") + AppHelper::OSName()
        + QStringLiteral("&osversion=") + AppHelper::OSVersion();
}

VersionInfo VersionChecker::parseVersionInfo(const QByteArray& bytes)
{
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    VersionInfo info;
    info.version = object.value(QLatin1String("version")).toString();
    info.link = object.value(QLatin1String("link")).toString();
    info.changelog = object.value(QLatin1String("changelog")).toString();
    info.critical = object.value(QLatin1String("critical")).toBool(false);
    info.info = object.value(QLatin1String("info")).toString();
    info.date = object.value(QLatin1String("date")).toString();
    info.valid = object.value(QLatin1String("valid")).toBool(false);

    const QUrl link(info.link, QUrl::StrictMode);
    const bool web = link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https");
    if (!web || link.host().isEmpty())
        info.valid = false;
    return info;
}

void VersionChecker::check()
{
    if (baseUrl.isEmpty() || !m_ready)
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (m_lastRequest != 0 && now - m_lastRequest < MinimumGapSeconds)
        return;
    m_lastRequest = now;
    m_ready = false;

    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        connect(m_manager, &QNetworkAccessManager::finished, this, &VersionChecker::onFinished, Qt::QueuedConnection);
    }
    const QString address
        = fetchUrl(QCoreApplication::applicationName(), AppHelper::appVersion(true), QLocale::system().name());
    QNetworkReply* reply = m_manager->get(QNetworkRequest(QUrl(address, QUrl::TolerantMode)));
    // Without a deadline a peer that never answers would stop every later check for the life of the process.
    QTimer::singleShot(m_timeoutMs, Qt::PreciseTimer, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > MaximumReplyBytes)
            reply->abort();
    });
}

void VersionChecker::onFinished(QNetworkReply* reply)
{
    // An aborted request (deadline, oversized body) and an HTTP error status count as no answer.
    QByteArray body;
    if (reply->error() == QNetworkReply::NoError) {
        body = reply->read(MaximumReplyBytes + 1);
        if (body.size() > MaximumReplyBytes)
            body.clear();
    }
    m_lastVersion = parseVersionInfo(body);
    emit versionFound(m_lastVersion);
    reply->deleteLater();
    m_ready = true;
}
