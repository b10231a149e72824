#include "DataRow.h"
#include "HttpHelper.h"
#include "HttpTestServer.h"
#include "TemporaryHome.h"
#include "VersionChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestNetwork : public QObject
{
    Q_OBJECT
private:
    const QString m_builtBase = VersionChecker::baseUrl;
    HttpTestServer m_server;
    std::unique_ptr<VersionChecker> m_checker;

    static QByteArray offer(const QByteArray& valid, const QByteArray& link)
    {
        return "{\"valid\": " + valid + ", \"version\": \"1.0.4\", \"date\": \"2026-01-02\", \"link\": \"" + link
            + "\"}";
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }
    void init()
    {
        VersionChecker::baseUrl = m_server.url(QStringLiteral("/repo/version.php"));
        m_checker = std::make_unique<VersionChecker>();
        m_checker->setTimeoutMs(300);
    }
    void cleanup()
    {
        m_server.setNeverAnswer(false);
        m_server.setStream(0, 0);
    }

    // Only http and https are asked: other addresses fail with the reason and return nothing that is read.
    void httpRequests_data()
    {
        // address: empty for the test server, {C} a closed port, {F} a file of the user; status -1: never answers
        addColumns<QString, int, QByteArray, QString>({ "address", "status", "body", "error" });
        addRow("json", "", 200, QByteArray(R"({"started":true})"), "");
        addRow("404 with html", "", 404, QByteArray("<html><body>Not here</body></html>"), "");
        addRow("500, empty body", "", 500, QByteArray(), "");
        addRow("refused connection", "http://127.0.0.1:{C}/x", 0, QByteArray(), "refused");
        addRow("never answers", "", -1, QByteArray(), "");
        addRow("file", "file://{F}", 0, QByteArray(), "http and https");
        addRow("data", "data:text/plain,started", 0, QByteArray(), "http and https");
        addRow("no scheme", "127.0.0.1:2336/startStimPack", 0, QByteArray(), "http and https");
    }
    void httpRequests()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        m_server.setReply(status, body);
        m_server.setNeverAnswer(status < 0);
        QTemporaryDir folder;
        QVERIFY(TemporaryHome::writeFile(folder.filePath(QStringLiteral("hostname")), "lab-pc\n"));
        const QString url = address.isEmpty()
            ? m_server.url(QStringLiteral("/startStimPack"))
            : QString(address)
                  .replace(QStringLiteral("{C}"), QString::number(HttpTestServer::closedPort()))
                  .replace(QStringLiteral("{F}"), folder.filePath(QStringLiteral("hostname")));
        QSignalSpy progress(HttpHelper::Instance(), &HttpHelper::progress);
        QElapsedTimer clock;
        clock.start();
        const HttpHelper::Reply reply = HttpHelper::request(url, 200);
        QVERIFY(clock.elapsed() >= (status < 0 ? 190 : 0) && clock.elapsed() < 1200);
        QCOMPARE(reply.body, body);
        QCOMPARE(reply.status, qMax(status, 0));
        QCOMPARE(reply.succeeded(), status == 200);
        QCOMPARE(reply.timedOut, status < 0);
        QCOMPARE(reply.error.isEmpty(), status != 0);
        QVERIFY2(reply.error.contains(error, Qt::CaseInsensitive), qPrintable(reply.error));
        if (status > 0) {
            QCOMPARE(HttpHelper::getJson(url).isNull(), status != 200);
            QCOMPARE(progress.constLast().at(0).toString(), url);
            QVERIFY(m_server.requests().constLast().startsWith("GET /startStimPack HTTP/1.1\r\n"));
        }
    }

    // A reply that never ends is cut off at its size limit, however fast it comes, well within the time a hook may
    // take, and what it sent is not kept.
    void endlessReply()
    {
        m_server.setStream(64 * 1024, 0);
        QElapsedTimer clock;
        clock.start();
        const HttpHelper::Reply reply = HttpHelper::request(m_server.url(QStringLiteral("/stream")));
        QVERIFY2(clock.elapsed() < 3200, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!reply.succeeded() && !reply.timedOut && reply.body.isEmpty());
        QVERIFY2(reply.error.contains(QLatin1String("64 KiB")), qPrintable(reply.error));
    }

    void replies_data()
    {
        addColumns<int, QByteArray, QString, bool>({ "status", "body", "peer", "valid" });
        const QByteArray link = "https://example.org/get?v=1.0.4";
        addRow("offered", 200, offer("true", link), "answers", true);
        addRow("declined", 200, offer("false", link), "answers", false);
        addRow("not json", 200, QByteArray("<html>busy</html>"), "answers", false);
        addRow("error status", 503, offer("true", link), "answers", false);
        addRow("file link", 200, offer("true", "file:///etc/passwd"), "answers", false);
        addRow("oversized", 200, offer("true", link) + QByteArray(70 * 1024, ' '), "answers", false);
        addRow("refused", 200, offer("true", link), "refuses", false);
        addRow("never answers", 200, offer("true", link), "never answers", false);
    }
    void replies()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, peer);
        m_server.setReply(status, body);
        m_server.setNeverAnswer(peer == QLatin1String("never answers"));
        if (peer == QLatin1String("refuses"))
            VersionChecker::baseUrl = QStringLiteral("http://127.0.0.1:%1/v").arg(HttpTestServer::closedPort());
        QSignalSpy found(m_checker.get(), &VersionChecker::versionFound);
        m_checker->StartChecking(true, 600);
        QVERIFY(found.wait(3000));
        const VersionInfo info = found.first().first().value<VersionInfo>();
        QTEST(info.valid, "valid");
        QVERIFY(m_checker->isReady());
    }

    // None without an endpoint (as built), one at a time, none within 5 seconds of the last; the address is encoded.
    void requests()
    {
        m_server.setReply(200, offer("true", "https://example.org/"));
        QCoreApplication::setApplicationName(QStringLiteral("Halvex Lab"));
        const qsizetype before = m_server.paths().size();
        QCOMPARE(m_builtBase, QString());
        VersionChecker::baseUrl.clear();
        m_checker->StartChecking(true, 600);
        QTest::qWait(100);
        QCOMPARE(m_server.paths().size(), before);
        VersionChecker::baseUrl = m_server.url(QStringLiteral("/repo/version.php"));
        QSignalSpy found(m_checker.get(), &VersionChecker::versionFound);
        m_checker->StartChecking(true, 600);
        m_checker->StartChecking(true, 600);
        QVERIFY(found.wait(3000));
        m_checker->StartChecking(true, 600);
        QTest::qWait(200);
        QCOMPARE(m_server.paths().size() - before, 1);
        QCOMPARE(found.size(), 1);
        const QString path = m_server.paths().last();
        QVERIFY2(path.startsWith(QStringLiteral("/repo/version.php?app=Halvex%20Lab&version=")), qPrintable(path));
        QVERIFY2(!path.contains(QLatin1Char(' ')) && path.contains(QStringLiteral("&os=")), qPrintable(path));
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
