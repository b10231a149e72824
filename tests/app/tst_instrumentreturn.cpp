#include "DataRow.h"
#include "EmulatorProcess.h"
#include "HttpTestClient.h"
#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "NoticeBar.h"
#include "PseudoTerminal.h"
#include "RecordingWindow.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

// A serial instrument that goes away in the middle of a record and comes back, with the emulator behind a link.
class TestInstrumentReturn : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingWindow> m_fixture;
    InstrumentConnection* m_connection = nullptr;
    QLabel* m_message = nullptr;
    const QStringList m_oneRecord { "/startStimPack", "/stopRecord" };

    QString link(const QString& name) const { return QDir(m_fixture->home.path()).filePath(name); }

    // The elapsed times of the record's data lines, or { -1 } when a line has not the given number of fields.
    static QList<qint64> recordTimes(const QString& extension, int fields)
    {
        QList<qint64> times;
        for (const QByteArray& line : RecordingWindow::recordBytes(extension).trimmed().split('\n').mid(1)) {
            const QList<QByteArray> values = line.split(';');
            if (values.size() != fields)
                return { -1 };
            times.append(values.constFirst().toLongLong());
        }
        return times;
    }
    static qsizetype samples() { return recordTimes(QStringLiteral(".csv"), 7).size(); }
    // How many steps between the elapsed times are at least minStep.
    static int jumps(const QList<qint64>& times, qint64 minStep)
    {
        int count = 0;
        for (qsizetype i = 1; i < times.size(); ++i)
            count += times.at(i) - times.at(i - 1) >= minStep ? 1 : 0;
        return count;
    }
    void toggleRecord() { QTest::mouseClick(m_fixture->child<QPushButton>("recordButton"), Qt::LeftButton); }

    bool recordAfterSamples(EmulatorProcess& emulator, const QString& port, const QStringList& options = {})
    {
        if (!emulator.start(QStringList { "--rate", "100", "--channels", "2", "--link", port } + options))
            return false;
        // Typed in, as the enumeration does not list it.
        auto* deviceList = m_fixture->child<QComboBox>("deviceList");
        deviceList->setEditText(port);
        QTest::keyClick(deviceList->lineEdit(), Qt::Key_Return);
        toggleRecord();
        return m_fixture->window->recordSession()->isRecording()
            && QTest::qWaitFor([] { return samples() >= 10; }, 5000);
    }
    // Then the cable is pulled. The node of an unplugged adapter is gone; a link left to the killed emulator's
    // terminal could lead to the next pseudo-terminal made on the machine, which may get the same number.
    bool recordAndLose(EmulatorProcess& emulator, const QString& port)
    {
        if (!recordAfterSamples(emulator, port))
            return false;
        emulator.kill();
        return QFile::remove(port)
            && QTest::qWaitFor([this] { return m_connection->isWaiting() || !m_fixture->window->device(); });
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }
    void init()
    {
        m_fixture = std::make_unique<RecordingWindow>();
        QVERIFY(m_fixture->open(HalvexSettings::Acquire_RIR));
        m_connection = m_fixture->window->findChild<InstrumentConnection*>();
        m_connection->setRetryIntervalMs(100);
        m_message = m_fixture->child<QLabel>("connectionMessage");
    }
    void cleanup() { m_fixture.reset(); }

    // Unplugged for a while, then back: as a USB adapter under a new name with the same serial number (the old
    // name lingering in the listing), or at its path while a port that cannot be opened reports the same serial
    // number.
    void returns_data()
    {
        addColumns<QString, QStringList>({ "returnsAs", "listed" });
        QTest::newRow("renamed adapter") << "ttyUSB1" << QStringList { "ttyUSB0", "ttyUSB1" };
        QTest::newRow("a stale twin listed") << "ttyUSB0" << QStringList { "ttyUSB0", "ttyUSB7" };
    }
    void returns()
    {
        QFETCH(QString, returnsAs);
        QFETCH(QStringList, listed);
        QList<PortListing> listing;
        for (const QString& name : listed)
            listing.append({ link(name), link(name), "emulator", "S1", 0x0403, 0x6001 });
        m_connection->setPortLister([listing] { return listing; });
        m_fixture->window->settings()->setReconnectSeconds(30);
        EmulatorProcess emulator, returned;
        QVERIFY(recordAndLose(emulator, link("ttyUSB0")));
        QVERIFY(m_message->isVisible() && m_connection->giveUpButton()->isVisible());
        QVERIFY(m_message->text().startsWith(QStringLiteral("Instrument lost — waiting for it to return (0:")));
        const int awayMs = 600;
        QTest::qWait(awayMs);
        const qsizetype before = samples();

        QVERIFY(returned.start({ "--rate", "100", "--channels", "2", "--link", link(returnsAs) }));
        QTRY_VERIFY_WITH_TIMEOUT(!m_connection->isWaiting(), 5000);
        QVERIFY(!m_message->isVisible());
        QTRY_VERIFY(samples() >= before + 10);
        QCOMPARE(m_fixture->window->settings()->getLastDevice(), link(returnsAs));
        toggleRecord();

        // One record, continuous: every sample in both files, the elapsed time jumping once over the gap.
        const QList<qint64> times = recordTimes(QStringLiteral(".csv"), 7);
        QCOMPARE(recordTimes(QStringLiteral(".raw"), 5), times);
        QVERIFY(std::is_sorted(times.cbegin(), times.cend()));
        QCOMPARE(QList<int>({ jumps(times, 500), jumps(times, awayMs), jumps(times, 4000) }), QList<int>({ 1, 1, 0 }));
        QCOMPARE(m_fixture->hooksOfTheRecord(), m_oneRecord);
        QCOMPARE(RecordingWindow::eventTexts().mid(1),
            QStringList({ "halvex instrument lost", "halvex instrument back", "halvex record stopped" }));
    }

    // What ends a wait without the instrument: the time running out, counted from the loss to the first sample
    // (also while the connector flaps, the port opening and failing at once over and over, which is one loss, and
    // while a port that opened again sends nothing), the give-up button, the window closing; or the settings ask
    // for no wait at all. The record key ends the record but not the wait, and starts nothing while the instrument
    // is away.
    void waitEnds_data()
    {
        addColumns<int, QString, QString>({ "seconds", "action", "returns" });
        QTest::newRow("no wait") << 0 << QString() << QString();
        QTest::newRow("time runs out") << 1 << QString() << QString();
        QTest::newRow("time runs out while the connector flaps") << 1 << QString() << QStringLiteral("flapping");
        QTest::newRow("time runs out while the port is back but silent") << 1 << QString() << QStringLiteral("silent");
        QTest::newRow("give up") << 300 << QStringLiteral("giveUp") << QString();
        QTest::newRow("window closed") << 300 << QStringLiteral("close") << QString();
        QTest::newRow("record key twice") << 300 << QStringLiteral("recordKey") << QString();
    }
    void waitEnds()
    {
        QFETCH(int, seconds);
        QFETCH(QString, action);
        QFETCH(QString, returns);
        m_fixture->window->settings()->setReconnectSeconds(seconds);
        QSignalSpy reopened(m_connection, &InstrumentConnection::instrumentReopened);
        EmulatorProcess emulator;
        PseudoTerminal silent;
        if (returns == QLatin1String("flapping")) {
            QVERIFY(
                recordAfterSamples(emulator, link("gone"), { "-f", "flap", "--slip-after", "100", "--slip-ms", "50" }));
            QTRY_VERIFY(m_connection->isWaiting());
        } else {
            QVERIFY(recordAndLose(emulator, link("gone")));
            if (returns == QLatin1String("silent"))
                QVERIFY(silent.isValid() && QFile::link(silent.slavePath(), link("gone")));
        }
        QElapsedTimer waited;
        waited.start();
        if (action == QLatin1String("giveUp"))
            QTest::mouseClick(m_connection->giveUpButton(), Qt::LeftButton);
        else if (action == QLatin1String("close"))
            m_fixture->window->close();
        for (int press = 0; action == QLatin1String("recordKey") && press < 2; ++press)
            QTest::keyClick(m_fixture->window.get(), Qt::Key_R, Qt::ControlModifier);

        QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window->recordSession()->isRecording(), 5000);
        QVERIFY(seconds == 1 ? waited.elapsed() >= 500 : waited.elapsed() < 500);
        QCOMPARE(reopened.size() >= (returns == QLatin1String("flapping") ? 2 : 1), !returns.isEmpty());
        QCOMPARE(m_fixture->hooksOfTheRecord(), m_oneRecord);
        if (action == QLatin1String("close"))
            return;
        if (action == QLatin1String("recordKey")) {
            QVERIFY(m_connection->isWaiting() && !m_fixture->child<QPushButton>("recordButton")->isEnabled());
            QCOMPARE(RecordingWindow::eventTexts().mid(1),
                QStringList({ "halvex instrument lost", "halvex record stopped" }));
            return;
        }
        QVERIFY(!m_connection->isWaiting() && !m_fixture->window->device());
        QVERIFY(!m_connection->giveUpButton()->isVisible());
        // Lost without the user's doing, the instrument is named, also as the record's cause, and stays the one to
        // connect at the next start.
        QVERIFY(m_message->text().contains(link("gone") + QStringLiteral(" was lost")));
        QVERIFY(m_fixture->child<NoticeBar>("recordNotice")
                    ->text()
                    .contains(QStringLiteral("Cause: the connection to %1 was lost").arg(link("gone"))));
        QCOMPARE(m_fixture->window->settings()->getLastDevice(), link("gone"));
        QStringList events { "halvex instrument lost", "halvex instrument not back", "halvex record stopped" };
        if (seconds == 0)
            events.removeAt(1);
        QCOMPARE(RecordingWindow::eventTexts().mid(1), events);
    }

    // While the instrument is awaited nothing says it is there: not the mark endpoint's /status, not the rate
    // label; and a port that opens again is awaited until its first line, not taken for a silent instrument.
    void whileAwaited()
    {
        const quint16 port = HttpTestServer::closedPort();
        m_fixture->window->settings()->setMarkPort(port);
        m_fixture->window->settings()->setReconnectSeconds(30);
        m_connection->setSilenceMs(500);
        const auto connected = [port]() {
            HttpTestClient client;
            const HttpTestClient::Reply reply = client.request(HttpTestClient::url(port, QStringLiteral("/status")));
            return QJsonDocument::fromJson(reply.body).object().value(QLatin1String("connected"));
        };
        // The wait's message, sampled more often than anything could replace it.
        const auto waitingThroughout = [this](int ms) {
            QElapsedTimer shown;
            shown.start();
            do {
                if (!m_message->isVisible()
                    || !m_message->text().startsWith(QStringLiteral("Instrument lost — waiting")))
                    return false;
                QTest::qWait(10);
            } while (shown.elapsed() < ms);
            return true;
        };
        auto* rate = m_fixture->child<QLabel>("rateLabel");
        QSignalSpy reopened(m_connection, &InstrumentConnection::instrumentReopened);
        EmulatorProcess emulator;
        QVERIFY(recordAfterSamples(emulator, link("ttyUSB0")));
        QTRY_VERIFY(rate->text().startsWith(QStringLiteral("2ch@")));
        QCOMPARE(connected(), QJsonValue(true));
        emulator.kill();
        QVERIFY(QFile::remove(link("ttyUSB0")));
        QTRY_VERIFY(m_connection->isWaiting());
        QCOMPARE(connected(), QJsonValue(false));
        QCOMPARE(rate->text(), QString());

        QVERIFY2(waitingThroughout(700), qPrintable(m_message->text()));
        PseudoTerminal terminal;
        QVERIFY(terminal.isValid() && QFile::link(terminal.slavePath(), link("ttyUSB0")));
        QTRY_COMPARE(reopened.size(), 1);
        QVERIFY2(waitingThroughout(200), qPrintable(m_message->text()));
        QVERIFY(m_connection->isWaiting());
        QCOMPARE(connected(), QJsonValue(false));

        const qsizetype before = samples();
        QVERIFY(terminal.write("00 2600 2000 2600\n2000 2600 2000 2600\n2001 2601 2001 2601\n"));
        QTRY_VERIFY(!m_connection->isWaiting());
        QVERIFY(!m_message->isVisible());
        QCOMPARE(connected(), QJsonValue(true));
        QTRY_VERIFY(rate->text().startsWith(QStringLiteral("2ch@")));
        QTRY_COMPARE(samples(), before + 2);
        toggleRecord();
        QCOMPARE(RecordingWindow::eventTexts().mid(1),
            QStringList({ "halvex instrument lost", "halvex instrument back", "halvex record stopped" }));
    }

    // A slipping connector: the port drops for 200 ms after every 20 lines, again and again in one record.
    void slips()
    {
        QSignalSpy back(m_connection, &InstrumentConnection::instrumentBack);
        EmulatorProcess emulator;
        QVERIFY(
            recordAfterSamples(emulator, link("slipping"), { "-f", "slip", "--slip-after", "20", "--slip-ms", "200" }));
        QTRY_VERIFY_WITH_TIMEOUT(back.size() >= 2, 10000);
        toggleRecord();
        QVERIFY(m_fixture->window->device());
        QVERIFY(jumps(recordTimes(QStringLiteral(".csv"), 7), 200) >= 2);
        QCOMPARE(m_fixture->hooksOfTheRecord(), m_oneRecord);
    }
};

QTEST_MAIN(TestInstrumentReturn)
#include "tst_instrumentreturn.moc"
