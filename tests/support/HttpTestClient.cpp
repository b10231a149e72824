#include "HttpTestClient.h"

#include <QNetworkReply>
#include <QSignalSpy>

HttpTestClient::Reply HttpTestClient::request(const QString& url, const QByteArray& verb, int timeoutMs)
{
    QNetworkReply* reply = m_manager.sendCustomRequest(QNetworkRequest(QUrl(url, QUrl::StrictMode)), verb);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(timeoutMs);
    Reply result;
    if (reply->isFinished()) {
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
    }
    reply->abort();
    reply->deleteLater();
    return result;
}

QString HttpTestClient::url(quint16 port, const QString& pathAndQuery)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port) + pathAndQuery;
}
