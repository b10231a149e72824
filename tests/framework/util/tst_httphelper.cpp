#include "../DataRow.h"
#include "HttpHelper.h"
#include "HttpTestServer.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

class TestHttpHelper : public QObject
{
    Q_OBJECT
private slots:
    void replies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("json");

        addRow("json", 200, QByteArray(R"({"started":true})"), QByteArray(R"({"started":true})"), true);
        addRow("404 with html", 404, QByteArray("<html><body>Not here</body></html>"),
            QByteArray("<html><body>Not here</body></html>"), false);
        addRow("empty body", 200, QByteArray(), QByteArray(), false);
        addRow("not json", 200, QByteArray("started"), QByteArray("started"), false);
    }

    void replies()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, expected);
        QFETCH(bool, json);

        HttpTestServer server;
        QVERIFY(server.listen());
        server.setReply(status, body, "text/html");
        const QString url = server.url(QStringLiteral("/startStimPack"));

        QString error;
        QCOMPARE(HttpHelper::get(url, &error), expected);
        QVERIFY(error.isEmpty());
        const QJsonDocument document = HttpHelper::getJson(url);
        QCOMPARE(document.isNull(), !json);
        if (json)
            QCOMPARE(document.object().value(QStringLiteral("started")).toBool(), true);
        // The address is requested verbatim: no query, no body.
        QCOMPARE(server.paths(), QStringList(2, QStringLiteral("/startStimPack")));
        QVERIFY(server.requests().constFirst().startsWith("GET /startStimPack HTTP/1.1\r\n"));
    }

    void progressNamesTheUrl()
    {
        HttpTestServer server;
        QVERIFY(server.listen());
        server.setReply(200, QByteArray(500, 'x'));
        QSignalSpy spy(HttpHelper::Instance(), &HttpHelper::progress);
        const QString url = server.url(QStringLiteral("/stopRecord"));
        QCOMPARE(HttpHelper::get(url).size(), 500);
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.constLast().at(0).toString(), url);
        QCOMPARE(spy.constLast().at(1).toLongLong(), 500);
    }

    void failuresEndWithinTheLimit_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("limitMs");
        addRow("refused connection", true, HttpHelper::TimeoutMs);
        addRow("never answers, short limit", false, 300);
        addRow("never answers, default limit", false, HttpHelper::TimeoutMs);
    }

    void failuresEndWithinTheLimit()
    {
        QFETCH(bool, refused);
        QFETCH(int, limitMs);

        HttpTestServer server;
        QVERIFY(server.listen());
        server.setNeverAnswer(true);
        const QString url = refused ? QStringLiteral("http://127.0.0.1:%1/x").arg(HttpTestServer::closedPort())
                                    : server.url(QStringLiteral("/x"));
        QElapsedTimer clock;
        clock.start();
        const QByteArray body
            = limitMs == HttpHelper::TimeoutMs ? HttpHelper::get(url) : HttpHelper::get(url, nullptr, limitMs);
        QVERIFY(body.isEmpty());
        if (refused) {
            QVERIFY(clock.elapsed() < 1000);
        } else {
            QCOMPARE(server.paths().size(), 1);
            // A coarse QTimer may fire up to 5 % early.
            QVERIFY2(clock.elapsed() >= limitMs * 95 / 100 - 10, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(clock.elapsed() < limitMs + 1500);
        }
    }
};

QTEST_GUILESS_MAIN(TestHttpHelper)
#include "tst_httphelper.moc"
