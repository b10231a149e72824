#include "../DataRow.h"
#include "HttpTestServer.h"
#include "VersionChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestVersionChecker : public QObject
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
        m_checker->setTimeoutMs(500);
    }
    void cleanup()
    {
        m_checker.reset();
        m_server.setNeverAnswer(false);
    }

    void replies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("peer");
        QTest::addColumn<bool>("valid");
        const QByteArray link = "https://example.org/get?v=1.0.4";
        addRow("offered", 200, offer("true", link), "answers", true);
        addRow("declined", 200, offer("false", link), "answers", false);
        addRow("not json", 200, QByteArray("<html>busy</html>"), "answers", false);
        addRow("valid as text", 200, offer("\"true\"", link), "answers", false);
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
        QFETCH(bool, valid);
        m_server.setReply(status, body);
        m_server.setNeverAnswer(peer == QLatin1String("never answers"));
        if (peer == QLatin1String("refuses"))
            VersionChecker::baseUrl = QStringLiteral("http://127.0.0.1:%1/v").arg(HttpTestServer::closedPort());

        QSignalSpy found(m_checker.get(), &VersionChecker::versionFound);
        m_checker->StartChecking(true, 600);
        QVERIFY(!m_checker->isReady());
        QVERIFY(found.wait(5000));
        const VersionInfo info = found.first().first().value<VersionInfo>();
        QCOMPARE(info.valid, valid);
        QCOMPARE(m_checker->LastVersion().valid, valid);
        if (valid) {
            QCOMPARE(info.version, QStringLiteral("1.0.4"));
            QCOMPARE(info.date, QStringLiteral("2026-01-02"));
            QCOMPARE(info.link, QStringLiteral("https://example.org/get?v=1.0.4"));
        }
        // Whatever the peer did, the checker takes the next request again.
        QVERIFY(m_checker->isReady());
    }

    void requestAddressIsEncodedByTheUrl()
    {
        const QString address = VersionChecker::fetchUrl("Halvex Lab", "1.0 beta", "ru_RU");
        QVERIFY2(
            address.startsWith(VersionChecker::baseUrl + "?app=Halvex Lab&version=1.0 beta&locale=ru_RU&platform="),
            qPrintable(address));

        QCoreApplication::setApplicationName(QStringLiteral("Halvex Lab"));
        QSignalSpy found(m_checker.get(), &VersionChecker::versionFound);
        m_checker->StartChecking(true, 600);
        QVERIFY(found.wait(5000));
        QVERIFY(!m_server.paths().isEmpty());
        const QString path = m_server.paths().last();
        QVERIFY2(path.startsWith(QStringLiteral("/repo/version.php?app=Halvex%20Lab&version=")), qPrintable(path));
        QVERIFY2(!path.contains(QLatin1Char(' ')) && path.contains(QStringLiteral("&os=")), qPrintable(path));
    }

    void oneRequestAtATime()
    {
        m_server.setReply(200, offer("true", "https://example.org/"));
        const qsizetype before = m_server.paths().size();
        QSignalSpy found(m_checker.get(), &VersionChecker::versionFound);
        m_checker->StartChecking(true, 600);
        m_checker->StartChecking(true, 600); // outstanding
        QVERIFY(found.wait(5000));
        m_checker->StartChecking(true, 600); // within 5 seconds
        QTest::qWait(500);
        QCOMPARE(m_server.paths().size() - before, 1);
        QCOMPARE(found.size(), 1);
    }

    void shortPeriodRepeatsEveryFiveSeconds()
    {
        QSignalSpy requests(&m_server, &HttpTestServer::requestReceived);
        QElapsedTimer clock;
        m_checker->StartChecking(true, 2);
        QVERIFY(requests.wait(2000));
        clock.start();
        QVERIFY(requests.wait(7000));
        QVERIFY2(clock.elapsed() > 4500, qPrintable(QString::number(clock.elapsed())));
    }

    void noEndpointSendsNothing()
    {
        // A build without an endpoint never contacts anyone.
        QCOMPARE(m_builtBase, QString());
        VersionChecker::baseUrl.clear();
        const qsizetype before = m_server.paths().size();
        m_checker->StartChecking(true, 2);
        QTest::qWait(300);
        QCOMPARE(m_checker->lastRequest(), 0);
        QVERIFY(m_checker->isReady());
        QCOMPARE(m_server.paths().size(), before);
    }
};

QTEST_GUILESS_MAIN(TestVersionChecker)
#include "tst_versionchecker.moc"
