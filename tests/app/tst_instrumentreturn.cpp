#include "EmulatorProcess.h"
#include "HttpTestServer.h"
#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "MainWindow.h"
#include "TemporaryHome.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A serial instrument that goes away in the middle of a record and comes back, with the emulator behind a link.
class TestInstrumentReturn : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<MainWindow> m_window;
    InstrumentConnection* m_connection = nullptr;
    QPushButton* m_recordButton = nullptr;
    QLabel* m_message = nullptr;

    QString link(const char* name) const { return QDir(m_home->path()).filePath(QLatin1String(name)); }

    QString recordFile(const QString& extension) const
    {
        const QStringList files = QDir().entryList({ QStringLiteral("*") + extension }, QDir::Files);
        return files.size() == 1 ? files.constFirst() : QString();
    }

    // The elapsed times of the record's data lines, each line checked for its number of fields.
    QList<qint64> recordTimes(const QString& extension, int fields) const
    {
        const QList<QByteArray> lines = TemporaryHome::readFile(recordFile(extension)).split('\n');
        QList<qint64> times;
        for (qsizetype i = 1; i < lines.size() - 1; ++i) {
            const QList<QByteArray> values = lines.at(i).trimmed().split(';');
            if (values.size() != fields)
                return { -1 };
            times.append(values.constFirst().toLongLong());
        }
        return times;
    }

    // The hook requests from the start of the record on (every stop, also those before it, sends the end hook).
    QStringList hooksOfTheRecord() const
    {
        const QStringList paths = m_server->paths();
        return paths.mid(paths.indexOf(QStringLiteral("/startStimPack")));
    }

    bool recordAfterSamples(const QString& port)
    {
        m_window->findChild<QComboBox*>(QStringLiteral("deviceList"))->setEditText(port);
        m_window->onConnectClicked();
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        return m_window->recordSession()->isRecording()
            && QTest::qWaitFor([this] { return recordTimes(QStringLiteral(".csv"), 7).size() >= 10; }, 5000);
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }

    void init()
    {
        m_home = std::make_unique<TemporaryHome>();
        m_server = std::make_unique<HttpTestServer>();
        QVERIFY(m_server->listen());
        QVERIFY(QDir().mkpath(m_home->dataFolder()));
        QVERIFY(QDir::setCurrent(m_home->dataFolder()));
        m_window = std::make_unique<MainWindow>(m_home->dataFolder());
        HalvexSettings* settings = m_window->settings();
        settings->setAcquisition(HalvexSettings::Acquire_RIR);
        settings->setSendOnStartRecord(m_server->url(QStringLiteral("/startStimPack")));
        settings->setSendOnEndRecord(m_server->url(QStringLiteral("/stopRecord")));
        m_connection = m_window->findChild<InstrumentConnection*>();
        m_recordButton = m_window->findChild<QPushButton*>(QStringLiteral("recordButton"));
        m_message = m_window->findChild<QLabel*>(QStringLiteral("connectionMessage"));
        QVERIFY(m_connection && m_recordButton && m_message);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QDir::setCurrent(QDir::tempPath());
        m_server.reset();
        m_home.reset();
    }

    // Unplugged for two seconds, then back: at the same path, or as a USB adapter under a new name with the same
    // serial number (the old name lingering in the listing), or at its path while a port that cannot be opened
    // reports the same serial number.
    void returns_data()
    {
        QTest::addColumn<QString>("returnsAs");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("same path") << "ttyUSB0" << QStringList { "ttyUSB0" };
        QTest::newRow("renamed adapter") << "ttyUSB1" << QStringList { "ttyUSB0", "ttyUSB1" };
        QTest::newRow("a stale twin listed") << "ttyUSB0" << QStringList { "ttyUSB0", "ttyUSB7" };
    }
    void returns()
    {
        QFETCH(QString, returnsAs);
        QFETCH(QStringList, listed);
        const QString first = link("ttyUSB0");
        const QString second = link(qPrintable(returnsAs));
        QList<PortListing> listing;
        for (const QString& name : listed)
            listing.append({ link(qPrintable(name)), link(qPrintable(name)), "emulator", "S1", 0x0403, 0x6001 });
        m_connection->setPortLister([listing] { return listing; });
        m_window->settings()->setReconnectSeconds(30);
        QSignalSpy lost(m_connection, &InstrumentConnection::instrumentLost);
        QSignalSpy back(m_connection, &InstrumentConnection::instrumentBack);
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--channels", "2", "--link", first }));
        QVERIFY(recordAfterSamples(first));

        emulator.kill();
        // The node of an unplugged adapter is gone; a link left to the killed emulator's terminal could lead to
        // the next pseudo-terminal made on the machine, which may get the same number.
        QVERIFY(QFile::remove(first));
        QTRY_VERIFY(m_connection->isWaiting());
        QVERIFY(m_message->isVisible());
        QVERIFY2(m_message->text().startsWith(QStringLiteral("Instrument lost — waiting for it to return (0:")),
            qPrintable(m_message->text()));
        QVERIFY(m_connection->giveUpButton()->isVisible());
        QTest::qWait(2000);
        QVERIFY(m_window->recordSession()->isRecording());
        const int before = int(recordTimes(QStringLiteral(".csv"), 7).size());

        EmulatorProcess returned;
        QVERIFY(returned.start({ "--rate", "50", "--channels", "2", "--link", second }));
        QTRY_VERIFY_WITH_TIMEOUT(!m_connection->isWaiting(), 5000);
        QVERIFY(!m_message->isVisible());
        QTRY_VERIFY(recordTimes(QStringLiteral(".csv"), 7).size() >= before + 10);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(back.size(), 1);
        QVERIFY(!m_connection->isWaiting());
        QCOMPARE(m_window->settings()->getLastDevice(), second);
        QTest::mouseClick(m_recordButton, Qt::LeftButton);

        // One record, continuous: every sample in both files, the elapsed time jumping once over the gap.
        const QList<qint64> times = recordTimes(QStringLiteral(".csv"), 7);
        QCOMPARE(recordTimes(QStringLiteral(".raw"), 5), times);
        int jumps = 0;
        for (qsizetype i = 1; i < times.size(); ++i) {
            const qint64 step = times.at(i) - times.at(i - 1);
            QVERIFY2(step >= 0, "times in order");
            if (step > 500) {
                ++jumps;
                QVERIFY2(step >= 2000 && step < 4000, qPrintable(QString::number(step)));
            }
        }
        QCOMPARE(jumps, 1);
        QCOMPARE(hooksOfTheRecord(), QStringList({ QStringLiteral("/startStimPack"), QStringLiteral("/stopRecord") }));
    }

    // What ends a wait without the instrument: the time running out, the give-up button, the window closing.
    void waitEnds_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("action");
        QTest::newRow("time runs out") << 2 << QString();
        QTest::newRow("give up") << 300 << QStringLiteral("giveUp");
        QTest::newRow("window closed") << 300 << QStringLiteral("close");
    }
    void waitEnds()
    {
        QFETCH(int, seconds);
        QFETCH(QString, action);
        m_window->settings()->setReconnectSeconds(seconds);
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--channels", "2", "--link", link("gone") }));
        QVERIFY(recordAfterSamples(emulator.portPath()));
        emulator.kill();
        QVERIFY(QFile::remove(link("gone")));
        QTRY_VERIFY(m_connection->isWaiting());
        QElapsedTimer waited;
        waited.start();
        if (action == QLatin1String("giveUp"))
            QTest::mouseClick(m_connection->giveUpButton(), Qt::LeftButton);
        else if (action == QLatin1String("close"))
            m_window->close();

        QTRY_VERIFY_WITH_TIMEOUT(!m_window->recordSession()->isRecording(), 5000);
        if (action.isEmpty())
            QVERIFY2(waited.elapsed() >= 1500, qPrintable(QString::number(waited.elapsed())));
        else
            QVERIFY(waited.elapsed() < 1000);
        QCOMPARE(hooksOfTheRecord(), QStringList({ QStringLiteral("/startStimPack"), QStringLiteral("/stopRecord") }));
        if (action != QLatin1String("close")) {
            QVERIFY(!m_connection->isWaiting());
            QVERIFY(!m_window->device());
            QVERIFY2(m_message->text().contains(QStringLiteral("was lost")), qPrintable(m_message->text()));
            QVERIFY(!m_connection->giveUpButton()->isVisible());
        }
    }

    // A slipping connector: the port drops for 300 ms every half second of data, several times in one record.
    void slips()
    {
        const QString port = link("slipping");
        QSignalSpy lost(m_connection, &InstrumentConnection::instrumentLost);
        QSignalSpy back(m_connection, &InstrumentConnection::instrumentBack);
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--channels", "2", "--link", port, "-f", "slip", "--slip-after", "25",
            "--slip-ms", "300" }));
        QVERIFY(recordAfterSamples(port));
        QTRY_VERIFY_WITH_TIMEOUT(back.size() >= 3, 15000);
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QVERIFY(lost.size() >= 3);
        QVERIFY(m_window->device());
        const QList<qint64> times = recordTimes(QStringLiteral(".csv"), 7);
        int jumps = 0;
        for (qsizetype i = 1; i < times.size(); ++i)
            jumps += times.at(i) - times.at(i - 1) >= 300 ? 1 : 0;
        QVERIFY2(jumps >= 3, qPrintable(QString::number(jumps)));
        QCOMPARE(hooksOfTheRecord(), QStringList({ QStringLiteral("/startStimPack"), QStringLiteral("/stopRecord") }));
    }
};

QTEST_MAIN(TestInstrumentReturn)
#include "tst_instrumentreturn.moc"
