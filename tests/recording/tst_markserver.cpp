#include "HttpTestClient.h"
#include "MarkServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "TemporaryHome.h"

#include <QDateTime>
#include <QDir>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

RecordLayout rirLayout()
{
    RecordLayout layout;
    layout.variant = RecordLayout::Acquire_RIR;
    layout.channelCount = 1;
    return layout;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

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
        m_port = freePort();
        QVERIFY2(m_server->listen(m_port), qPrintable(m_server->errorString()));
    }

    void cleanup()
    {
        m_server.reset();
        m_session.reset();
        QDir::setCurrent(QDir::tempPath());
        m_home.reset();
    }

    void answers_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("json");
        QTest::newRow("mark outside a record")
            << false << QByteArray("GET") << "/mark?text=a" << 409 << R"({"recording":false})";
        QTest::newRow("status idle") << false << QByteArray("GET") << "/status" << 200
                                     << R"({"connected":true,"device":"Virtual FNIR","recording":false})";
        QTest::newRow("unknown path") << true << QByteArray("GET") << "/marks?text=a" << 404 << QString();
        QTest::newRow("path below mark") << true << QByteArray("GET") << "/mark/x" << 404 << QString();
        QTest::newRow("POST mark") << true << QByteArray("POST") << "/mark?text=a" << 405 << QString();
        QTest::newRow("DELETE status") << true << QByteArray("DELETE") << "/status" << 405 << QString();
    }

    void answers()
    {
        QFETCH(bool, recording);
        QFETCH(QByteArray, verb);
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, json);
        m_server->setInstrument(QStringLiteral("Virtual FNIR"), true);
        if (recording)
            QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), rirLayout()));
        const HttpTestClient::Reply reply = m_client.request(HttpTestClient::url(m_port, target), verb);
        QCOMPARE(reply.status, status);
        if (!json.isEmpty())
            QCOMPARE(reply.body, json.toUtf8());
        m_session->stopRecord();
        // Nothing but the program's own stop reached the file.
        if (recording)
            QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), 1);
    }

    // Each mark lands with the time of the moment it arrived, between the samples around it, in order.
    void marksLandInTheRecord()
    {
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), rirLayout()));
        const QStringList sent { QString::fromUtf8("Стимул A: 50%"), QStringLiteral("a+b & c=d"),
            QString(RecordSession::MaxEventText + 500, QLatin1Char('x')) };
        const QStringList targets { "/mark?text=" + percentEncoded(sent.at(0)), "/mark?x=1&text=a%2Bb+%26+c%3Dd",
            "/mark?text=" + sent.at(2) };
        QList<qint64> acknowledged;
        for (const QString& target : targets) {
            m_session->writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 1, 1, 1 });
            QTest::qWait(2);
            const HttpTestClient::Reply reply = m_client.request(HttpTestClient::url(m_port, target));
            QCOMPARE(reply.status, 200);
            QCOMPARE(reply.json().value("recording").toBool(), true);
            acknowledged << qint64(reply.json().value("elapsed_ms").toDouble());
            QTest::qWait(2);
        }
        m_session->writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 1, 1, 1 });
        m_session->stopRecord();

        const QList<RecordEvents::Event> events = RecordEvents::read(QStringLiteral("r.events")).events;
        QCOMPARE(events.size(), 4);
        const QList<QByteArray> lines = TemporaryHome::readFile(QStringLiteral("r.csv")).split('\n');
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(events.at(i).source, QStringLiteral("http"));
            QCOMPARE(events.at(i).time, acknowledged.at(i));
            QVERIFY(lines.at(i + 1).split(';').at(0).toLongLong() < events.at(i).time);
            QVERIFY(lines.at(i + 2).split(';').at(0).toLongLong() > events.at(i).time);
        }
        QCOMPARE(events.at(0).text, sent.at(0));
        QCOMPARE(events.at(1).text, sent.at(1));
        QCOMPARE(events.at(2).text, QString(RecordSession::MaxEventText, QLatin1Char('x')));
    }

    void floodIsRefused()
    {
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), rirLayout()));
        constexpr int Sent = RecordSession::MaxEventsPerSecond + 50;
        QList<QNetworkReply*> replies;
        for (int i = 0; i < Sent; ++i) {
            replies << m_client.manager().get(
                QNetworkRequest(QUrl(HttpTestClient::url(m_port, "/mark?text=" + QString::number(i)))));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(replies.cbegin(), replies.cend(), [](QNetworkReply* r) { return r->isFinished(); }), 20000);
        int ok = 0;
        int refused = 0;
        for (QNetworkReply* reply : replies) {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            ok += status == 200;
            refused += status == 429;
            reply->deleteLater();
        }
        m_session->stopRecord();
        QCOMPARE(ok + refused, Sent);
        QVERIFY2(refused > 0, qPrintable(QString::number(ok)));
        QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), ok + 1);
    }

    void unfinishedRequestIsDropped()
    {
        m_server->setRequestTimeLimit(300);
        QVERIFY(m_server->listen(m_port));
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), rirLayout()));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        QVERIFY(socket.waitForConnected(2000));
        socket.write("GET /mark?text=never HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        QVERIFY(closed.wait(3000));
        m_session->stopRecord();
        QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), 1);
    }

    void portsThatOpenNothing()
    {
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost));
        MarkServer second(m_session.get());
        QVERIFY(!second.listen(other.serverPort()));
        QVERIFY(!second.isListening());
        QVERIFY(!second.errorString().isEmpty());

        QVERIFY(m_server->listen(0));
        QVERIFY(!m_server->isListening());
        QCOMPARE(m_client.request(HttpTestClient::url(m_port, "/status"), "GET", 2000).status, 0);
    }

    void onlyOnTheLoopbackInterface()
    {
        const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
        const auto outside = std::find_if(addresses.cbegin(), addresses.cend(),
            [](const QHostAddress& a) { return !a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol; });
        if (outside == addresses.cend())
            QSKIP("no address beside the loopback interface");
        QTcpSocket socket;
        socket.connectToHost(*outside, m_port);
        QVERIFY(!socket.waitForConnected(2000));
    }

    // An answer 200 means the line reached the operating system: a kill right after loses none of them.
    void acknowledgedMarksSurviveAKill()
    {
        m_server.reset();
        QProcess recorder;
        recorder.start(QStringLiteral(HALVEX_RECORDKILL_HELPER),
            { m_home->path(), QStringLiteral("10"), QString::number(m_port) });
        QVERIFY(recorder.waitForStarted());
        QByteArray output;
        while (!output.contains("written") && recorder.waitForReadyRead(10000))
            output += recorder.readAllStandardOutput();
        QVERIFY(output.contains("written"));
        QStringList acknowledged;
        for (int i = 0; i < 50; ++i) {
            const QString text = QStringLiteral("mark %1").arg(i);
            if (m_client.request(HttpTestClient::url(m_port, "/mark?text=" + percentEncoded(text))).status == 200)
                acknowledged << text;
        }
        recorder.kill();
        QVERIFY(recorder.waitForFinished());
        QCOMPARE(acknowledged.size(), 50);

        const QStringList files = QDir().entryList({ QStringLiteral("*-killed.events") }, QDir::Files);
        QCOMPARE(files.size(), 1);
        QStringList written;
        for (const RecordEvents::Event& event : RecordEvents::read(files.constFirst()).events) {
            if (event.source == QStringLiteral("http"))
                written << event.text;
        }
        QCOMPARE(written, acknowledged);
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
