#include "FullDisk.h"
#include "HttpTestServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "TemporaryHome.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString startPath = QStringLiteral("/startStimPack");
const QString stopPath = QStringLiteral("/stopRecord");

RecordLayout rirLayout()
{
    RecordLayout layout;
    layout.variant = RecordLayout::Acquire_RIR;
    layout.channelCount = 1;
    return layout;
}

} // namespace

class TestRecordSession : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<TemporaryHome>();
        QVERIFY(QDir::setCurrent(m_home->path()));
        m_server = std::make_unique<HttpTestServer>();
        QVERIFY(m_server->listen());
    }

    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());
        m_server.reset();
        m_home.reset();
    }

    void hooks_data()
    {
        QTest::addColumn<bool>("startHook");
        QTest::addColumn<bool>("endHook");
        QTest::addColumn<QStringList>("atStart");
        QTest::addColumn<QStringList>("atStop");
        QTest::newRow("both") << true << true << QStringList { stopPath, startPath } << QStringList { stopPath };
        QTest::newRow("start only") << true << false << QStringList { startPath } << QStringList();
        QTest::newRow("end only") << false << true << QStringList { stopPath } << QStringList { stopPath };
        QTest::newRow("none") << false << false << QStringList() << QStringList();
    }

    void hooks()
    {
        QFETCH(bool, startHook);
        QFETCH(bool, endHook);
        QFETCH(QStringList, atStart);
        QFETCH(QStringList, atStop);

        RecordSession session;
        session.setStartHook(startHook ? m_server->url(startPath) : QString());
        session.setEndHook(endHook ? m_server->url(stopPath) : QString());
        QVERIFY(session.startRecord(QString(), rirLayout()));
        QCOMPARE(m_server->paths(), atStart);
        QVERIFY(session.isRecording());
        session.stopRecord();
        QVERIFY(!session.isRecording());
        QCOMPARE(m_server->paths(), atStart + atStop);
    }

    void failingHooksLetTheRecordRun_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("404 with html") << 0 << "answered with HTTP status 404";
        QTest::newRow("refused connection") << 1 << "could not be reached: Connection refused";
        QTest::newRow("never answers") << 2 << "did not answer in 3 s";
    }

    void failingHooksLetTheRecordRun()
    {
        QFETCH(int, failure);
        m_server->setReply(404, "<html><body>Not Found</body></html>", "text/html");
        m_server->setNeverAnswer(failure == 2);
        const QString base = failure == 1 ? QStringLiteral("http://127.0.0.1:%1").arg(HttpTestServer::closedPort())
                                          : m_server->url(QString());

        RecordSession session;
        session.setStartHook(base + startPath);
        session.setEndHook(base + stopPath);
        QSignalSpy hookFailed(&session, &RecordSession::hookFailed);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        QVERIFY(session.isRecording());
        session.writeProcessed(session.recordStart() + 5, { 1, 2, 3 });
        session.stopRecord();
        QVERIFY(!session.isRecording());
        // Three hooks in all, each ended by the time limit at the latest.
        QVERIFY2(clock.elapsed() < 3 * 3000 + 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray(";V1;R1;IR1\r\n5;1;2;3\r\n"));
        QFETCH(QString, reason);
        QCOMPARE(hookFailed.size(), 3);
        const QString message = hookFailed.at(1).at(0).toString();
        QVERIFY2(message.contains(base + startPath) && message.endsWith(reason), qPrintable(message));
    }

    void samplesDuringTheStartHookAreRecorded()
    {
        m_server->setDelayMs(200);
        RecordSession session;
        session.setStartHook(m_server->url(startPath));
        QSignalSpy waiting(&session, &RecordSession::hookWaitingChanged);
        connect(m_server.get(), &HttpTestServer::requestReceived, &session, [&session] {
            session.writeRaw(session.recordStart() + 1, { 1, 2 });
            session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
        });
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        session.stopRecord();
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray(";V1;R1;IR1\r\n1;1;1;1\r\n"));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.raw")), QByteArray(";R1;IR1\r\n1;1;2\r\n"));
        QCOMPARE(waiting, (QList<QVariantList> { { true }, { false } }));
    }

    // A second start or a stop (a click, a pulled cable) during the start hook must not run inside the first start.
    void noStartOrStopInsideAWaitingHook()
    {
        m_server->setDelayMs(200);
        RecordSession session;
        session.setStartHook(m_server->url(startPath));
        session.setEndHook(m_server->url(stopPath));
        bool secondStart = true;
        bool recordingAfterStop = true;
        connect(m_server.get(), &HttpTestServer::requestReceived, &session, [&](const QString& path) {
            if (path != startPath)
                return;
            secondStart = session.startRecord(QStringLiteral("second.csv"), rirLayout());
            session.stopRecord();
            recordingAfterStop = session.isRecording();
            session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
        });
        QVERIFY(!session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        QVERIFY(!secondStart);
        QVERIFY(!recordingAfterStop);
        QVERIFY(!QFile::exists(QStringLiteral("second.csv")));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray(";V1;R1;IR1\r\n"));
        QCOMPARE(m_server->paths(), QStringList({ stopPath, startPath, stopPath }));
    }

    void diskFullDuringTheRecord()
    {
        RecordSession session;
        session.setEndHook(m_server->url(stopPath));
        QSignalSpy closed(&session, &RecordSession::recordClosed);
        QSignalSpy recording(&session, &RecordSession::recordingChanged);
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
        QVERIFY(FullDisk::redirect(QStringLiteral("r.csv")));
        session.writeRaw(session.recordStart() + 2, { 2, 2 });
        QVERIFY(closed.isEmpty());
        session.writeProcessed(session.recordStart() + 2, { 2, 2, 2 });

        // The file, the samples it holds, the elapsed time of the last one and the cause.
        QCOMPARE(closed.size(), 1);
        QCOMPARE(closed.at(0).mid(0, 3), (QVariantList { QStringLiteral("r.csv"), qint64(1), qint64(1) }));
        const QString message = closed.at(0).at(3).toString();
        QVERIFY2(message.contains(QStringLiteral("r.csv")) && message.contains(QStringLiteral("No space left")),
            qPrintable(message));
        QVERIFY(!session.isRecording());
        QCOMPARE(recording, (QList<QVariantList> { { true }, { false } }));
        QCOMPARE(m_server->paths(), QStringList(2, stopPath));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray(";V1;R1;IR1\r\n1;1;1;1\r\n"));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.raw")), QByteArray(";R1;IR1\r\n2;2;2\r\n"));
        // Later samples find no record and report nothing more.
        session.writeProcessed(session.recordStart() + 3, { 3, 3, 3 });
        QCOMPARE(closed.size(), 1);
    }

    void diskFullAtTheStart()
    {
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), QStringLiteral("full.csv")));
        RecordSession session;
        session.setStartHook(m_server->url(startPath));
        QSignalSpy failed(&session, &RecordSession::failed);
        QVERIFY(!session.startRecord(QStringLiteral("full.csv"), rirLayout()));
        QVERIFY(!session.isRecording());
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.at(0).at(0).toString().contains(QStringLiteral("full.csv")));
        QVERIFY(m_server->paths().isEmpty());
    }

    void halvexEventsAndStartHook_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("hook");
        QTest::addColumn<QString>("startEvent");
        QTest::newRow("answered") << 200 << true << QStringLiteral("start hook answered");
        QTest::newRow("error status") << 404 << true << QStringLiteral("start hook failed: HTTP 404");
        QTest::newRow("refused") << 0 << true << QStringLiteral("start hook failed: no answer");
        QTest::newRow("no hook") << 200 << false << QString();
    }

    void halvexEventsAndStartHook()
    {
        QFETCH(int, status);
        QFETCH(bool, hook);
        QFETCH(QString, startEvent);
        m_server->setReply(status, "{}");
        RecordSession session;
        if (hook) {
            session.setStartHook(status == 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(HttpTestServer::closedPort())
                                             : m_server->url(startPath));
        }
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        session.stopRecord();
        QCOMPARE(
            session.addEvent(QStringLiteral("key"), QStringLiteral("late")), RecordSession::EventResult::NotRecording);
        QStringList texts;
        for (const RecordEvents::Event& event : RecordEvents::read(QStringLiteral("r.events")).events)
            texts << event.source + ' ' + event.text;
        QStringList expected;
        if (!startEvent.isEmpty())
            expected << QStringLiteral("halvex ") + startEvent;
        QCOMPARE(texts, expected << QStringLiteral("halvex record stopped"));
    }

    // The time of an event falls between the lines of the samples stamped before and after it, and the text is cut.
    void eventsOnTheSampleClock()
    {
        RecordSession session;
        QSignalSpy added(&session, &RecordSession::eventAdded);
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        session.writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 1, 1, 1 });
        QTest::qWait(3);
        qint64 elapsed = -1;
        const QString longText = QString(RecordSession::MaxEventText - 1, QLatin1Char('a')) + QString::fromUtf8("😀b");
        QCOMPARE(session.addEvent(QStringLiteral("http"), longText, &elapsed), RecordSession::EventResult::Written);
        QTest::qWait(3);
        session.writeProcessed(QDateTime::currentMSecsSinceEpoch(), { 2, 2, 2 });
        session.stopRecord();

        const QList<QByteArray> lines = TemporaryHome::readFile(QStringLiteral("r.csv")).split('\n');
        const qint64 before = lines.at(1).split(';').at(0).toLongLong();
        const qint64 after = lines.at(2).split(';').at(0).toLongLong();
        QVERIFY2(before < elapsed && elapsed < after,
            qPrintable(QStringLiteral("%1 %2 %3").arg(before).arg(elapsed).arg(after)));
        const QList<RecordEvents::Event> events = RecordEvents::read(QStringLiteral("r.events")).events;
        QCOMPARE(events.size(), 2);
        QCOMPARE(events.at(0).time, elapsed);
        QCOMPARE(events.at(0).text, QString(RecordSession::MaxEventText - 1, QLatin1Char('a')));
        QCOMPARE(added.at(0).at(0).toLongLong(), session.recordStart() + elapsed);
    }

    void tooManyEventsFromOneSource()
    {
        RecordSession session;
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        int written = 0;
        for (int i = 0; i < RecordSession::MaxEventsPerSecond + 20; ++i)
            written
                += session.addEvent(QStringLiteral("http"), QString::number(i)) == RecordSession::EventResult::Written;
        QCOMPARE(written, RecordSession::MaxEventsPerSecond);
        QCOMPARE(session.addEvent(QStringLiteral("http"), QStringLiteral("x")), RecordSession::EventResult::TooMany);
        QCOMPARE(session.addEvent(QStringLiteral("key"), QStringLiteral("F1")), RecordSession::EventResult::Written);
        session.addHalvexEvent(QStringLiteral("own"));
        QTest::qWait(1100);
        QCOMPARE(
            session.addEvent(QStringLiteral("http"), QStringLiteral("later")), RecordSession::EventResult::Written);
        session.stopRecord();
        QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), RecordSession::MaxEventsPerSecond + 4);
    }

    void diskFullOnTheEventsFile()
    {
        RecordSession session;
        session.setEndHook(m_server->url(stopPath));
        QSignalSpy closed(&session, &RecordSession::recordClosed);
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), rirLayout()));
        QCOMPARE(session.addEvent(QStringLiteral("key"), QStringLiteral("F1")), RecordSession::EventResult::Written);
        session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
        QVERIFY(FullDisk::redirect(QStringLiteral("r.events")));
        QCOMPARE(session.addEvent(QStringLiteral("key"), QStringLiteral("F2")), RecordSession::EventResult::Failed);
        QVERIFY(!session.isRecording());
        QCOMPARE(closed.size(), 1);
        QVERIFY2(closed.at(0).at(3).toString().contains(QStringLiteral("r.events")),
            qPrintable(closed.at(0).at(3).toString()));
        QCOMPARE(m_server->paths(), QStringList(2, stopPath));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray(";V1;R1;IR1\r\n1;1;1;1\r\n"));
        QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), 1);
    }

    void titleStaysInTheDataFolder()
    {
        RecordSession session;
        RecordLayout layout = rirLayout();
        layout.title = QStringLiteral("../out/x.csv");
        QVERIFY(session.startRecord(QString(), layout));
        const QString name = session.fileName();
        session.stopRecord();
        QVERIFY2(name.endsWith(QStringLiteral("-___out_x.csv.csv")), qPrintable(name));
        const QStringList files = QDir().entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 4);
        QVERIFY(files.contains(name));
        QVERIFY(files.contains(QString(name).replace(QStringLiteral(".csv"), QStringLiteral(".raw"))));
    }

    void killedRecorderLeavesCompleteFiles()
    {
        QProcess recorder;
        recorder.start(QStringLiteral(HALVEX_RECORDKILL_HELPER), { m_home->path(), QStringLiteral("500") });
        QVERIFY(recorder.waitForStarted());
        QByteArray output;
        while (!output.contains("written") && recorder.waitForReadyRead(10000))
            output += recorder.readAllStandardOutput();
        QVERIFY(output.contains("written"));
        recorder.kill();
        QVERIFY(recorder.waitForFinished());
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);

        const QStringList csv = QDir().entryList({ QStringLiteral("*-killed.csv") }, QDir::Files);
        QCOMPARE(csv.size(), 1);
        QByteArray expectedCsv = ";V1;R1;IR1\r\n";
        QByteArray expectedRaw = ";R1;IR1\r\n";
        for (int i = 0; i < 500; ++i) {
            const QByteArray n = QByteArray::number(i);
            expectedCsv += n + ';' + n + ';' + n + ';' + n + "\r\n";
            expectedRaw += n + ';' + n + ';' + n + "\r\n";
        }
        QCOMPARE(TemporaryHome::readFile(csv.constFirst()), expectedCsv);
        QCOMPARE(
            TemporaryHome::readFile(QString(csv.constFirst()).replace(QStringLiteral(".csv"), QStringLiteral(".raw"))),
            expectedRaw);
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HttpTestServer> m_server;
};

QTEST_GUILESS_MAIN(TestRecordSession)
#include "tst_recordsession.moc"
