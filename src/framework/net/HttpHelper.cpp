#include "HttpHelper.h"

#include "LanguageContext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>
#include <QUrl>

HttpHelper::HttpHelper(QObject* parent)
    : QObject(parent)
{ }

HttpHelper* HttpHelper::Instance()
{
    static HttpHelper* instance = new HttpHelper();
    return instance;
}

QNetworkAccessManager* HttpHelper::manager()
{
    static QNetworkAccessManager* shared = new QNetworkAccessManager();
    return shared;
}

void HttpHelper::emitProgress(const QString& url, qint64 bytesReceived, qint64 bytesTotal)
{
    emit progress(url, bytesReceived, bytesTotal);
}

QByteArray HttpHelper::get(const QString& url, QString* error, int timeoutMs)
{
    return request(url, timeoutMs, error).body;
}

HttpHelper::Reply HttpHelper::request(const QString& url, int timeoutMs, QString* sslErrors)
{
    Reply result;
    const QUrl target(url, QUrl::TolerantMode);
    if (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https")) {
        result.error = trGeneric("only http and https addresses are requested");
        return result;
    }
    QEventLoop loop;
    QNetworkAccessManager manager;
    connect(&manager, &QNetworkAccessManager::finished, &loop, &QEventLoop::quit);
    connect(&manager, &QNetworkAccessManager::sslErrors, &loop,
        [sslErrors](QNetworkReply*, const QList<QSslError>& errors) {
            for (const QSslError& sslError : errors) {
                if (sslErrors)
                    *sslErrors += sslError.errorString();
                qDebug() << "SSL error" << sslError.errorString();
            }
        });

    QNetworkReply* reply = manager.get(QNetworkRequest(target));
    // Without a bound the network thread reads an endless reply into memory as fast as it arrives, and its flood of
    // events holds off the time limit's timer: the body is cut off past its limit, and the network thread stops
    // reading when its buffer is full.
    reply->setReadBufferSize(2 * MaximumReplyBytes);
    bool oversized = false;
    connect(reply, &QNetworkReply::readyRead, &loop, [reply, &oversized]() {
        if (reply->bytesAvailable() > MaximumReplyBytes) {
            oversized = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, &loop,
        [url](qint64 received, qint64 total) { Instance()->emitProgress(url, received, total); });

    QTimer limit;
    limit.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5 % early
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, reply, [reply, &result]() {
        result.timedOut = true;
        reply->abort();
    });
    if (!reply->isFinished()) {
        limit.start(timeoutMs);
        loop.exec();
        // A quitting application ends every event loop at once, and a new one does not even start: the request
        // (the end hook of a record closed with the window) is still owed its time.
        while (!reply->isFinished() && limit.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    result.body = reply->isOpen() ? reply->read(MaximumReplyBytes + 1) : QByteArray();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error status is an answer, told by the status; the error text is for requests that got none.
    if (!result.timedOut && result.status == 0 && reply->error() != QNetworkReply::NoError)
        result.error = reply->errorString();
    if (oversized || result.body.size() > MaximumReplyBytes) {
        result.body.clear();
        result.error = trGeneric("the answer is longer than %1 KiB").arg(MaximumReplyBytes / 1024);
    }
    reply->deleteLater();
    return result;
}

QJsonDocument HttpHelper::getJson(const QString& url)
{
    return QJsonDocument::fromJson(get(url));
}
