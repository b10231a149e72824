#include "DataRow.h"
#include "FullDisk.h"
#include "HttpTestServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString startPath = QStringLiteral("/startStimPack");
const QString stopPath = QStringLiteral("/stopRecord");

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

    // A start hook that fails is reported and noted in the events file; the record runs on. Of the end hooks only
    // the record's own is reported, not the one a start sends from idle.
    void startHookOutcomes_data()
    {
        addColumns<int, QString, QString>({ "status", "event", "reason" });
        addRow("answered", 200, "start hook answered", "");
        addRow("error status", 404, "start hook failed: HTTP 404", "answered with HTTP status 404");
        addRow("refused", 0, "start hook failed: no answer", "could not be reached: Connection refused");
    }
    void startHookOutcomes()
    {
        QFETCH(int, status);
        QFETCH(QString, reason);
        m_server->setReply(status, "<html><body>Not Found</body></html>");
        const QString hook = status == 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(HttpTestServer::closedPort())
                                         : m_server->url(startPath);
        RecordSession session;
        session.setStartHook(hook);
        session.setEndHook(status == 0 ? hook : m_server->url(stopPath));
        QSignalSpy hookFailed(&session, &RecordSession::hookFailed);
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), RecordLayout()));
        QVERIFY(session.isRecording());
        session.stopRecord();
        QCOMPARE(hookFailed.count(), reason.isEmpty() ? 0 : 2);
        const QString message = hookFailed.isEmpty() ? QString() : hookFailed.at(0).at(0).toString();
        QVERIFY(reason.isEmpty() || (message.contains(hook) && message.endsWith(reason)));
        QStringList texts;
        for (const RecordEvents::Event& event : RecordEvents::read(QStringLiteral("r.events")).events)
            texts << event.source + ' ' + event.text;
        QFETCH(QString, event);
        QCOMPARE(texts, QStringList({ "halvex " + event, QStringLiteral("halvex record stopped") }));
    }

    // While the start hook waits, samples are recorded, a second start is refused and a stop closes the files at
    // once; its end hook follows the start hook.
    void duringTheStartHook()
    {
        RecordSession session;
        session.setStartHook(m_server->url(startPath));
        session.setEndHook(m_server->url(stopPath));
        QSignalSpy waiting(&session, &RecordSession::hookWaitingChanged);
        bool secondStart = true;
        connect(m_server.get(), &HttpTestServer::requestReceived, &session, [&](const QString& path) {
            if (path != startPath)
                return;
            session.writeRaw(session.recordStart() + 1, { 1, 2 });
            session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
            secondStart = session.startRecord(QStringLiteral("second.csv"), RecordLayout());
            session.stopRecord();
            session.writeProcessed(session.recordStart() + 2, { 2, 2, 2 });
        });
        QVERIFY(!session.startRecord(QStringLiteral("r.csv"), RecordLayout()));
        QVERIFY(!secondStart);
        QVERIFY(!QFile::exists(QStringLiteral("second.csv")));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray("ALT;V1;R1;IR1\r\n1;1;1;1\r\n"));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.raw")), QByteArray("ALT;R1;IR1\r\n1;1;2\r\n"));
        QCOMPARE(m_server->paths(), QStringList({ stopPath, startPath, stopPath }));
        QCOMPARE(waiting.size(), 6);
    }

    // At most MaxEventsPerSecond a second from each source, the program's own events never refused; then a full disk
    // on the events file ends the record with its cause and the end hook, and what was written stays.
    void eventsFileLimits()
    {
        RecordSession session;
        session.setEndHook(m_server->url(stopPath));
        QSignalSpy closed(&session, &RecordSession::recordClosed);
        QVERIFY(session.startRecord(QStringLiteral("r.csv"), RecordLayout()));
        session.writeProcessed(session.recordStart() + 1, { 1, 1, 1 });
        for (int i = 0; i <= RecordSession::MaxEventsPerSecond; ++i)
            QCOMPARE(session.addEvent(QStringLiteral("http"), {}) == RecordSession::EventResult::Written,
                i < RecordSession::MaxEventsPerSecond);
        QCOMPARE(session.addEvent(QStringLiteral("key"), QStringLiteral("F1")), RecordSession::EventResult::Written);
        session.addHalvexEvent(QStringLiteral("own"));
        QTest::qWait(1020);
        QCOMPARE(
            session.addEvent(QStringLiteral("http"), QStringLiteral("later")), RecordSession::EventResult::Written);
        QVERIFY(FullDisk::redirect(QStringLiteral("r.events")));
        QCOMPARE(session.addEvent(QStringLiteral("key"), QStringLiteral("F2")), RecordSession::EventResult::Failed);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(closed.at(0).mid(0, 3), (QVariantList { QStringLiteral("r.csv"), qint64(1), qint64(1) }));
        const QString message = closed.at(0).at(3).toString();
        QVERIFY(message.contains("r.events") && message.contains(QStringLiteral("No space left")));
        QVERIFY(!session.isRecording());
        QCOMPARE(m_server->paths(), QStringList(2, stopPath));
        QCOMPARE(TemporaryHome::readFile(QStringLiteral("r.csv")), QByteArray("ALT;V1;R1;IR1\r\n1;1;1;1\r\n"));
        QCOMPARE(RecordEvents::read(QStringLiteral("r.events")).events.size(), RecordSession::MaxEventsPerSecond + 3);
    }

    // Elapsed times follow the monotonic clock while the wall clock steps back in the middle of a record (NTP, a
    // clock set by hand), where a wall-clock time would go negative: a recorder in a process of its own, its wall
    // clock stepped from outside. Its files are synced to the disk at most once a second while it runs, and at the
    // stop.
    void elapsedTimesIgnoreWallClockSteps()
    {
        const int stepMs = -20000;
        QProcess recorder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(HALVEX_PROCESS_SHIM));
        environment.insert(QStringLiteral("HALVEX_SYNC_LOG"), m_home->path() + QStringLiteral("/syncs"));
        environment.insert(QStringLiteral("HALVEX_CLOCK_STEP_AFTER_MS"), QStringLiteral("800"));
        environment.insert(QStringLiteral("HALVEX_CLOCK_STEP_MS"), QString::number(stepMs));
        // A sanitizer build wants its runtime first; the step library comes before it here.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
            environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
        recorder.setProcessEnvironment(environment);
        recorder.start(QStringLiteral(HALVEX_CLOCKSTEP_HELPER), { m_home->path() });
        QVERIFY(recorder.waitForFinished(15000));
        QCOMPARE(recorder.exitCode(), 0);

        QList<qint64> truth;
        qint64 wallShift = 0;
        qint64 stop = 0;
        for (const QByteArray& line : recorder.readAllStandardOutput().split('\n')) {
            if (line.startsWith("sample "))
                truth << line.mid(7).toLongLong();
            else if (line.startsWith("wall "))
                wallShift = line.mid(5).toLongLong();
            else if (line.startsWith("stop "))
                stop = line.mid(5).toLongLong();
        }
        // The step did happen, so the record below ran across it.
        QVERIFY2(qAbs(wallShift - stepMs) < 1000, qPrintable(QString::number(wallShift)));
        QVERIFY(truth.size() >= 5 && truth.constFirst() < 800 && truth.constLast() > 800);

        QList<QByteArray> lines = TemporaryHome::readFile(QStringLiteral("r.csv")).split('\n');
        lines = lines.mid(1, lines.size() - 2);
        QCOMPARE(lines.size(), truth.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const qint64 elapsed = lines.at(i).split(';').constFirst().toLongLong();
            QVERIFY2(qAbs(elapsed - truth.at(i)) <= 50, lines.at(i).constData());
        }
        const QList<RecordEvents::Event> events = RecordEvents::read(QStringLiteral("r.events")).events;
        QVERIFY(events.size() >= 20);
        for (qsizetype i = 0; i < events.size(); ++i) {
            const qint64 previous = i == 0 ? 0 : events.at(i - 1).time;
            QVERIFY(events.at(i).time >= previous && events.at(i).time <= truth.constLast() + 300);
        }

        // The syncs of one moment (the ".ini" at the start, then the three files together) as one time each.
        QList<qint64> syncs;
        qint64 last = 0;
        for (const QByteArray& line : TemporaryHome::readFile(m_home->path() + QStringLiteral("/syncs")).split('\n')) {
            const qint64 at = line.toLongLong();
            if (!line.isEmpty() && (syncs.isEmpty() || at - last > 100))
                syncs << at;
            last = line.isEmpty() ? last : at;
        }
        QVERIFY(syncs.size() >= 2 && syncs.constLast() >= stop);
        syncs.removeLast();
        for (qsizetype i = 1; i < syncs.size(); ++i)
            QVERIFY2(syncs.at(i) - syncs.at(i - 1) >= 990, qPrintable(QString::number(syncs.at(i) - syncs.at(i - 1))));
        QVERIFY2(syncs.size() >= 3, qPrintable(QString::number(syncs.size())));
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HttpTestServer> m_server;
};

QTEST_GUILESS_MAIN(TestRecordSession)
#include "tst_recordsession.moc"
