#include "DataRow.h"
#include "HttpTestClient.h"
#include "HttpTestServer.h"
#include "MarkServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "TemporaryHome.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {

QString percentEncoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

class TestMarkServer : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<TemporaryHome>();
        QVERIFY(QDir::setCurrent(m_home->path()));
        m_session = std::make_unique<RecordSession>();
        m_server = std::make_unique<MarkServer>(m_session.get());
        m_port = HttpTestServer::closedPort();
        QVERIFY(m_server->listen(m_port));
    }

    void cleanup()
    {
        m_server.reset();
        m_session.reset();
        QDir::setCurrent(QDir::tempPath());
        m_home.reset();
    }

    // Requests that write nothing: only the program's own stop reaches the events file.
    void answers_data()
    {
        addColumns<bool, QString, int, QString>({ "recording", "request", "status", "json" });
        addRow("mark outside a record", false, "GET /mark?text=a", 409, R"({"recording":false})");
        addRow("status", false, "GET /status", 200, R"({"connected":true,"device":"Virtual FNIR","recording":false})");
        addRow("too many", true, "GET /mark?text=a", 429, R"({"error":"too many events","recording":true})");
        addRow("unknown path", true, "GET /marks?text=a", 404, "");
        addRow("path below mark", true, "GET /mark/x", 404, "");
        addRow("POST mark", true, "POST /mark?text=a", 405, "");
        addRow("DELETE status", true, "DELETE /status", 405, "");
    }
    void answers()
    {
        QFETCH(bool, recording);
        QFETCH(QString, request);
        QFETCH(QString, json);
        m_server->setInstrument(QStringLiteral("Virtual FNIR"), true);
        if (recording)
            QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        const int flood = json.contains(QStringLiteral("too many")) ? RecordSession::MaxEventsPerSecond : 0;
        for (int i = 0; i < flood; ++i)
            QCOMPARE(m_session->addEvent(RecordEvents::SourceHttp, {}), RecordSession::EventResult::Written);
        const QStringList parts = request.split(QLatin1Char(' '));
        const auto reply = m_client.request(HttpTestClient::url(m_port, parts.at(1)), parts.at(0).toLatin1());
        QTEST(reply.status, "status");
        if (!json.isEmpty())
            QCOMPARE(reply.body, json.toUtf8());
        m_session->stopRecord();
        if (recording)
            QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), flood + 1);
    }

    // Each mark lands with the time of the moment it arrived, between the samples around it, in order, cut short.
    void marksLandInTheRecord()
    {
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        const QString cut(RecordSession::MaxEventText - 1, QLatin1Char('x'));
        const QStringList expected { QString::fromUtf8("Стимул A: 50%"), QStringLiteral("a+b & c=d"), cut };
        const QStringList targets { "/mark?text=" + percentEncoded(expected.at(0)), "/mark?x=1&text=a%2Bb+%26+c%3Dd",
            "/mark?text=" + percentEncoded(cut + QString::fromUtf8("😀") + QString(500, QLatin1Char('y'))) };
        QList<qint64> acknowledged;
        for (const QString& target : targets) {
            m_session->writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 1, 1, 1 });
            QTest::qWait(2);
            const HttpTestClient::Reply reply = m_client.request(HttpTestClient::url(m_port, target));
            QCOMPARE(reply.status, 200);
            acknowledged << qint64(QJsonDocument::fromJson(reply.body).object().value("elapsed_ms").toDouble());
            QTest::qWait(2);
        }
        m_session->writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 1, 1, 1 });
        m_session->stopRecord();

        const QList<RecordEvents::Event> events = RecordEvents::read(QStringLiteral("r.events")).events;
        QCOMPARE(events.size(), 4);
        const QList<QByteArray> lines = TemporaryHome::readFile(QStringLiteral("r.csv")).split('\n');
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(events.at(i).source, QStringLiteral("http"));
            QCOMPARE(events.at(i).text, expected.at(i));
            QCOMPARE(events.at(i).time, acknowledged.at(i));
            QVERIFY(lines.at(i + 1).split(';').at(0).toLongLong() < events.at(i).time);
            QVERIFY(lines.at(i + 2).split(';').at(0).toLongLong() > events.at(i).time);
        }
    }

    // No other address than the loopback one answers, an unfinished request is dropped, port 0 closes the endpoint.
    void connectionsThatGetNothing()
    {
        const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
        for (const QHostAddress& address : addresses) {
            QTcpSocket socket;
            socket.connectToHost(address, m_port);
            QVERIFY(address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol
                || !socket.waitForConnected(1000));
        }
        m_server->setRequestTimeLimit(100);
        QVERIFY(m_server->listen(m_port));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        QVERIFY(socket.waitForConnected(2000));
        socket.write("GET /mark?text=never HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        QVERIFY(closed.wait(2000));
        QVERIFY(m_server->listen(0));
        QCOMPARE(m_client.request(HttpTestClient::url(m_port, "/status"), "GET", 1000).status, 0);
    }

    // An answer 200 means the line reached the operating system: a kill right after loses none of the marks.
    void acknowledgedMarksSurviveAKill()
    {
        m_server.reset();
        QProcess recorder;
        recorder.start(QStringLiteral(HALVEX_RECORDKILL_HELPER), { m_home->path(), QString::number(m_port) });
        QVERIFY(recorder.waitForStarted());
        QByteArray output;
        while (!output.contains("recording") && recorder.waitForReadyRead(10000))
            output += recorder.readAllStandardOutput();
        QStringList sent;
        for (int i = 0; i < 20; ++i) {
            sent << QStringLiteral("mark%1").arg(i);
            QCOMPARE(m_client.request(HttpTestClient::url(m_port, "/mark?text=" + sent.constLast())).status, 200);
        }
        recorder.kill();
        QVERIFY(recorder.waitForFinished());
        const QStringList files = QDir().entryList({ QStringLiteral("*-killed.events") }, QDir::Files);
        QCOMPARE(files.size(), 1);
        for (const RecordEvents::Event& event : RecordEvents::read(files.constFirst()).events)
            QCOMPARE(event.text, sent.takeFirst());
        QVERIFY(sent.isEmpty());
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<RecordSession> m_session;
    std::unique_ptr<MarkServer> m_server;
    quint16 m_port = 0;
    HttpTestClient m_client;
};

QTEST_GUILESS_MAIN(TestMarkServer)
#include "tst_markserver.moc"
