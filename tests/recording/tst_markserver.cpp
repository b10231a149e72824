#include "DataRow.h"
#include "HttpTestClient.h"
#include "HttpTestServer.h"
#include "LslLibrary.h"
#include "MarkServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "SampleClock.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <tuple>
#include <vector>

namespace {

const QByteArray Token = QByteArrayLiteral("0123456789abcdef0123456789abcdef");

// The events other than the program's own, as "source text".
QStringList writtenEvents(const QString& eventsPath)
{
    QStringList written;
    for (const RecordEvents::Event& event : RecordEvents::read(eventsPath).events) {
        if (event.source != RecordEvents::SourceHalvex)
            written << event.source + QLatin1Char(' ') + event.text;
    }
    return written;
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

    // Who may write marks: the stimulus program on this computer, not a web page in its browser, not a name that
    // an attacker made point at 127.0.0.1; what the endpoint answers outside a record and past the rate limit; and
    // what of a mark's text reaches the record. {P} is the port, {T} the token; "|" breaks lines, an HTTP/1.1 line gets
    // "Host: 127.0.0.1:{P}" unless it has its own Host. The state is "idle" (no record), "token" (the token required)
    // or "flood" (the source's budget spent); the answer is its JSON body or one of its headers. Nothing refused
    // reaches the record.
    void access_data()
    {
        addColumns<QString, QString, QString, int, QString, QString>(
            { "request", "origins", "state", "status", "answer", "written" });
        const QString cut(RecordSession::MaxEventText - 1, QLatin1Char('x'));
        const QString stimulus = QString::fromUtf8("Стимул A: 50%");
        addRow("script", "GET /mark?text=a", "", "", 200, "", "http a");
        addRow("script over IPv6", "GET /mark?text=a|Host: [::1]:{P}", "", "", 200, "", "http a");
        addRow("localhost, named source", "GET /mark?text=a&source=Stim_2-b|Host: LocalHost:{P}", "", "", 200, "",
            "http:Stim_2-b a");
        addRow("rebound name", "GET /mark?text=a|Host: rebind.attacker.example:{P}", "", "", 403, "", "");
        addRow("other port", "GET /mark?text=a|Host: 127.0.0.1:1", "", "", 403, "", "");
        addRow("no host", "GET /mark?text=a HTTP/1.0", "", "", 403, "", "");
        addRow("foreign origin", "GET /mark?text=a|Origin: https://evil.example", "", "", 403, "", "");
        addRow("image of a same-site page", "GET /mark?text=a|Sec-Fetch-Site: same-site", "", "", 403, "", "");
        addRow("address bar", "GET /mark?text=a|Sec-Fetch-Site: none", "", "", 200, "", "http a");
        addRow("allowed origin", "GET /mark?text=a|Origin: http://localhost:8000|Sec-Fetch-Site: same-site",
            "http://localhost:8000", "", 200, "Access-Control-Allow-Origin: http://localhost:8000", "http a");
        addRow("allowed origin, other scheme", "GET /mark?text=a|Origin: https://localhost:8000",
            "http://localhost:8000", "", 403, "", "");
        addRow("preflight",
            "OPTIONS /mark?text=a|Origin: http://localhost:8000|Access-Control-Request-Method: GET"
            "|Access-Control-Request-Headers: x-halvex-token",
            "http://localhost:8000", "token", 204, "Access-Control-Allow-Headers: X-Halvex-Token", "");
        addRow("preflight of a foreign page", "OPTIONS /mark?text=a|Origin: https://evil.example",
            "http://localhost:8000", "", 403, "", "");
        addRow("wrong token", "GET /mark?text=a&token=0123", "", "token", 401, "", "");
        addRow("status without token", "GET /status", "", "token", 401, "", "");
        addRow("token header", "GET /mark?text=a|X-Halvex-Token: {T}", "", "token", 200, "", "http a");
        addRow("token parameter", "GET /mark?token={T}&text=a", "", "token", 200, "", "http a");
        addRow("no text", "GET /mark", "", "", 400, "", "");
        addRow("empty text", "GET /mark?text=&source=x", "", "", 400, "", "");
        addRow("only invisible characters", "GET /mark?text=%E2%80%AE%E2%80%8B", "", "", 400, "", "");
        addRow("controls and format characters",
            "GET /mark?text=a%C2%9Bb%E2%80%AEc%E2%80%8Bd%EF%BB%BFe%F3%A0%80%81f%C2%ADg", "", "", 200, "",
            "http a bcdefg");
        addRow("source with a dot", "GET /mark?text=a&source=a.b", "", "", 400, "", "");
        addRow("source of 33", "GET /mark?text=a&source=" + QString(33, QLatin1Char('s')), "", "", 400, "", "");
        addRow("UTF-8 and a percent sign", "GET /mark?text=" + QString::fromLatin1(QUrl::toPercentEncoding(stimulus)),
            "", "", 200, "", "http " + stimulus);
        addRow("form-encoded", "GET /mark?x=1&text=a%2Bb+%26+c%3Dd", "", "", 200, "", "http a+b & c=d");
        addRow("cut short", "GET /mark?text=" + cut + "%F0%9F%98%80" + QString(500, QLatin1Char('y')), "", "", 200, "",
            "http " + cut);
        addRow("mark outside a record", "GET /mark?text=a", "", "idle", 409, R"({"recording":false})", "");
        addRow("status", "GET /status", "", "idle", 200,
            QStringLiteral(
                R"({"connected":true,"device":"Virtual FNIR","lsl":{"built_in":%1,"inlets":[],"outlets":[]},)"
                R"("recording":false})")
                .arg(LslLibrary::available() ? "true" : "false"),
            "");
        addRow("too many", "GET /mark?text=a", "", "flood", 429, R"({"error":"too many events","recording":true})", "");
        addRow("POST mark", "POST /mark?text=a", "", "", 405, "", "");
    }
    void access()
    {
        QFETCH(QString, request);
        QFETCH(QString, origins);
        QFETCH(QString, state);
        QFETCH(QString, answer);
        m_server->setInstrument(QStringLiteral("Virtual FNIR"), true);
        m_server->setAllowedOrigins(origins.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        m_server->setToken(Token);
        m_server->setTokenRequired(state == QLatin1String("token"));
        QVERIFY(state == QLatin1String("idle") || m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        for (int i = 0; state == QLatin1String("flood") && i < RecordSession::MaxEventsPerSecond; ++i)
            QCOMPARE(m_session->addEvent(RecordEvents::SourceHttp, QStringLiteral("flood")),
                RecordSession::EventResult::Written);
        QStringList lines = request.split(QLatin1Char('|'));
        if (!lines.constFirst().contains(QStringLiteral(" HTTP/"))) {
            lines.first() += QStringLiteral(" HTTP/1.1");
            if (!request.contains(QStringLiteral("Host:")))
                lines.insert(1, QStringLiteral("Host: 127.0.0.1:{P}"));
        }
        request = lines.join(QStringLiteral("\r\n")).replace(QStringLiteral("{P}"), QString::number(m_port));
        const QHostAddress address(
            request.contains(QStringLiteral("[::1]")) ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost);
        const HttpTestClient::Reply reply = HttpTestClient::exchange(
            m_port, request.replace(QStringLiteral("{T}"), Token).toUtf8() + "\r\n\r\n", 5000, address);
        QTEST(reply.status, "status");
        if (answer.startsWith(QLatin1Char('{'))) {
            QCOMPARE(reply.body, answer.toUtf8());
        } else if (!answer.isEmpty()) {
            const QStringList pair = answer.split(QStringLiteral(": "));
            QCOMPARE(reply.header(pair.at(0).toLatin1()), pair.at(1).toLatin1());
            QCOMPARE(reply.header("Vary"), QByteArray("Origin"));
        }
        QVERIFY(!reply.body.contains("r.csv") || reply.status == 200);
        m_session->stopRecord();
        QStringList events = writtenEvents(QStringLiteral("r.events"));
        events.removeAll(QStringLiteral("http flood"));
        QFETCH(QString, written);
        QCOMPARE(events, written.isEmpty() ? QStringList() : QStringList(written));
    }

    // Requests built to exhaust the program are refused from their head, before their bulk is read, and the endpoint
    // answers on.
    void hostileRequestsAreCutShort()
    {
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n";
        // Head, bytes of body sent after it for as long as the server takes them, the refusal.
        const QList<std::tuple<QByteArray, qint64, int>> requests {
            { "GET /mark?text=" + QByteArray(64 * 1024, 'a') + " HTTP/1.1\r\n" + host + "\r\n", 0, 414 },
            { "GET /mark?text=b HTTP/1.1\r\n" + host + "Content-Length: 10485760\r\n\r\n", 10 << 20, 413 },
            { "GET /mark?text=c HTTP/1.1\r\n" + host + "X-Filler: " + QByteArray(9000, 'f') + "\r\n\r\n", 0, 431 },
        };
        for (const auto& [head, body, status] : requests)
            QCOMPARE(HttpTestClient::exchange(m_port, head, 2000, QHostAddress::LocalHost, body).status, status);
        QCOMPARE(m_client.request(HttpTestClient::url(m_port, "/status")).status, 200);
        m_session->stopRecord();
        QCOMPARE(writtenEvents(QStringLiteral("r.events")), QStringList());
    }

    // Connections that never send a request (the open-file limit made tight around them, as a flood makes it) keep
    // neither a record from starting nor a real mark from being written at once.
    void idleConnectionsLeaveRoom()
    {
        const int flood = 1200;
        rlimit old {};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &old) == 0);
        rlimit tight = old;
        tight.rlim_cur = rlim_t(QDir(QStringLiteral("/proc/self/fd")).count() + flood + 100);
        if (tight.rlim_cur > old.rlim_max)
            QSKIP("the hard limit of open files is too low for the flood");
        QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
        std::vector<int> sockets;
        const auto restore = qScopeGuard([&] {
            for (int descriptor : sockets)
                ::close(descriptor);
            setrlimit(RLIMIT_NOFILE, &old);
        });
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < flood; ++i) {
            const int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            QVERIFY(descriptor >= 0);
            sockets.push_back(descriptor);
            ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
            if (i % 50 == 49)
                QCoreApplication::processEvents();
        }
        QTest::qWait(50);
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        QCOMPARE(m_client.request(HttpTestClient::url(m_port, "/mark?text=real"), "GET", 1000).status, 200);
        m_session->stopRecord();
        QCOMPARE(writtenEvents(QStringLiteral("r.events")), QStringList { "http real" });
    }

    // Two programs sending at the full rate each get every mark in; a mark is stamped when its request began to
    // arrive, not when the rest of it came 300 ms later: between the samples around its first bytes, at the time its
    // answer gives.
    void marksOfSeveralSources()
    {
        QVERIFY(m_session->startRecord(QStringLiteral("r.csv"), RecordLayout()));
        QNetworkAccessManager manager;
        QList<QNetworkReply*> replies;
        for (int i = 0; i < RecordSession::MaxEventsPerSecond; ++i) {
            for (const char* source : { "A", "B" }) {
                replies << manager.get(QNetworkRequest(
                    QUrl(HttpTestClient::url(m_port, QStringLiteral("/mark?source=%1&text=%2").arg(source).arg(i)))));
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(replies.cbegin(), replies.cend(), [](QNetworkReply* r) { return r->isFinished(); }), 10000);
        int accepted = 0;
        for (QNetworkReply* reply : std::as_const(replies))
            accepted += reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200 ? 1 : 0;
        qDeleteAll(replies);
        QCOMPARE(accepted, 2 * RecordSession::MaxEventsPerSecond);

        QTcpSocket slow;
        slow.connectToHost(QHostAddress::LocalHost, m_port);
        QVERIFY(slow.waitForConnected(2000));
        m_session->writeProcessed(SampleClock::nowMs(), { 1, 1, 1 });
        QTest::qWait(2);
        slow.write("GET /mark?text=split");
        QVERIFY(slow.flush());
        QTest::qWait(20);
        m_session->writeProcessed(SampleClock::nowMs(), { 1, 1, 1 });
        QTest::qWait(300);
        slow.write(" HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n\r\n");
        QTRY_VERIFY(slow.bytesAvailable() > 0 && HttpTestClient::parse(slow.peek(4096)).status == 200);
        const QJsonObject answer = QJsonDocument::fromJson(HttpTestClient::parse(slow.readAll()).body).object();
        m_session->stopRecord();
        const QList<RecordEvents::Event> events = RecordEvents::read(QStringLiteral("r.events")).events;
        const auto split
            = std::find_if(events.cbegin(), events.cend(), [](const auto& e) { return e.text == "split"; });
        QVERIFY(split != events.cend());
        QCOMPARE(split->time, qint64(answer.value("elapsed_ms").toDouble()));
        const QList<QByteArray> lines = TemporaryHome::readFile(QStringLiteral("r.csv")).split('\n');
        QVERIFY2(lines.at(1).split(';').at(0).toLongLong() < split->time
                && lines.at(2).split(';').at(0).toLongLong() > split->time,
            qPrintable(QString::number(split->time) + QLatin1Char(' ') + lines.at(1) + lines.at(2)));
    }

    // No other address than the loopback one answers, an unfinished request is dropped.
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
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        QVERIFY(socket.waitForConnected(2000));
        socket.write("GET /mark?text=never HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        QVERIFY(closed.wait(2000));
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
