#include "AbstractFnirDevice.h"
#include "DataGraphic.h"
#include "FullDisk.h"
#include "HttpTestClient.h"
#include "HttpTestServer.h"
#include "LanguageContext.h"
#include "MainWindow.h"
#include "MarkServer.h"
#include "NoticeBar.h"
#include "RecordControl.h"
#include "RecordEvents.h"
#include "TemporaryHome.h"
#include "VirtualFnirDevice.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// An instrument that sends nothing by itself: the test hands the window its samples.
class QuietDevice : public AbstractFnirDevice
{
public:
    using AbstractFnirDevice::AbstractFnirDevice;
    QString deviceName() const override { return QStringLiteral("quiet"); }
    void lose(const QString& reason)
    {
        setErrorString(reason);
        emit disconnected();
    }
    bool connectDevice() override { return true; }
    bool disconnectDevice() override { return true; }
};

// The csv and raw header of two channels in the V-R-IR variant.
const QByteArray header = ";V1;R1;IR1;V2;R2;IR2\r\n";

} // namespace

class TestMainWindowRecording : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<MainWindow> m_window;
    QPushButton* m_recordButton = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLineEdit* m_title = nullptr;
    QLabel* m_elapsed = nullptr;
    QLabel* m_message = nullptr;
    NoticeBar* m_notice = nullptr;

    // One record file of the data folder by its extension.
    QString recordFile(const QString& extension) const
    {
        const QStringList files = QDir().entryList({ QStringLiteral("*") + extension }, QDir::Files);
        return files.size() == 1 ? files.constFirst() : QString();
    }
    qint64 at(qint64 elapsed) const { return m_window->recordSession()->recordStart() + elapsed; }
    // "source text" of every event of the record, in time order.
    QStringList eventTexts() const
    {
        QStringList texts;
        for (const RecordEvents::Event& event : RecordEvents::read(recordFile(QStringLiteral(".events"))).events)
            texts << event.source + QLatin1Char(' ') + event.text;
        return texts;
    }
    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }
    HttpTestClient m_client;

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
        settings->setAcquisition(HalvexSettings::Acquire_VRIR);
        settings->setSendOnStartRecord(m_server->url(QStringLiteral("/startStimPack")));
        settings->setSendOnEndRecord(m_server->url(QStringLiteral("/stopRecord")));
        m_recordButton = m_window->findChild<QPushButton*>(QStringLiteral("recordButton"));
        m_connectButton = m_window->findChild<QPushButton*>(QStringLiteral("connectButton"));
        m_title = m_window->findChild<QLineEdit*>(QStringLiteral("titleField"));
        m_elapsed = m_window->findChild<QLabel*>(QStringLiteral("elapsedLabel"));
        m_message = m_window->findChild<QLabel*>(QStringLiteral("connectionMessage"));
        m_notice = m_window->findChild<NoticeBar*>(QStringLiteral("recordNotice"));
        QVERIFY(m_recordButton && m_connectButton && m_title && m_elapsed && m_message && m_notice);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->setDevice(new QuietDevice(m_window.get()));
        QVERIFY(m_recordButton->isEnabled());
        m_window->onNewData(0, { 1, 2, 3, 4, 5, 6 });
    }

    void cleanup()
    {
        m_window.reset();
        QDir::setCurrent(QDir::tempPath());
        m_server.reset();
        m_home.reset();
    }

    void recordButtonAndShortcut()
    {
        m_title->setText(QStringLiteral("rat 5"));
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QVERIFY(m_recordButton->isChecked());
        QVERIFY(!m_title->isEnabled());
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("recBadge"))->isVisible());
        QCOMPARE(m_server->paths(), QStringList({ QStringLiteral("/stopRecord"), QStringLiteral("/startStimPack") }));

        m_window->onNewData(at(1500), { 1, 2, 3, 4.4, 5.6, -0.6 });
        m_window->onNewData(at(1600), { 1, 2, 3 });
        m_window->onNewData(at(-20), { 7, 8, 9, 10, 11, 12 });
        QCOMPARE(m_elapsed->text(), QStringLiteral("00:00"));
        m_window->onNewData(at(62000), { 1, 1, 1, 2, 2, 2 });
        QCOMPARE(m_elapsed->text(), QStringLiteral("01:02"));

        QTest::keyClick(m_window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!m_recordButton->isChecked());
        QVERIFY(m_title->isEnabled());
        QCOMPARE(m_elapsed->text(), QStringLiteral("00:00"));
        QCOMPARE(m_server->paths().size(), 3);
        QVERIFY(!m_window->findChild<QLabel*>(QStringLiteral("recBadge"))->isVisible());

        const QString csv = recordFile(QStringLiteral(".csv"));
        QVERIFY2(csv.endsWith(QStringLiteral("-rat 5.csv")), qPrintable(csv));
        QVERIFY(m_notice->isVisible() && m_notice->kind() == NoticeBar::Info);
        QCOMPARE(m_notice->text(), QStringLiteral("Saved %1 (3 samples)").arg(csv));
        QCOMPARE(m_notice->actionButton()->text(), QStringLiteral("Open folder"));
        const QByteArray lines = "1500;1;2;3;4;6;-1\r\n-20;7;8;9;10;11;12\r\n62000;1;1;1;2;2;2\r\n";
        QCOMPARE(TemporaryHome::readFile(csv), header + lines);
        QCOMPARE(TemporaryHome::readFile(recordFile(QStringLiteral(".raw"))), header + lines);
        QCOMPARE(
            TemporaryHome::readFile(recordFile(QStringLiteral(".ini"))), QByteArray("<Smoothing>20</Smoothing>\r\n"));
    }

    void failedStartLeavesTheButtonUnchecked()
    {
        m_title->setText(QString(300, QLatin1Char('t')));
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QVERIFY(!m_recordButton->isChecked());
        QVERIFY(m_title->isEnabled());
        QVERIFY(m_message->isVisible());
        QVERIFY2(m_message->text().contains(QStringLiteral("too long")), qPrintable(m_message->text()));
        QCOMPARE(m_server->paths(), QStringList { QStringLiteral("/stopRecord") });
    }

    void fullDiskStopsTheRecord()
    {
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        m_window->onNewData(at(10), { 1, 2, 3, 4, 5, 6 });
        QVERIFY(FullDisk::redirect(recordFile(QStringLiteral(".raw"))));
        m_window->onNewData(at(20), { 1, 2, 3, 4, 5, 6 });

        QVERIFY(!m_recordButton->isChecked());
        QVERIFY(m_title->isEnabled());
        QVERIFY(m_notice->isVisible() && m_notice->kind() == NoticeBar::Warning);
        const QString expected = QStringLiteral("The record stopped at 00:00: 1 samples are saved in %1. Cause: ")
                                     .arg(recordFile(QStringLiteral(".csv")));
        QVERIFY2(m_notice->text().startsWith(expected) && m_notice->text().contains(recordFile(QStringLiteral(".raw")))
                && m_notice->text().contains(QStringLiteral("No space left")),
            qPrintable(m_notice->text()));
        QCOMPARE(TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))), header + "10;1;2;3;4;5;6\r\n");
        QCOMPARE(m_server->paths().size(), 3);
    }

    void controlsWaitForTheHook()
    {
        m_server->setDelayMs(200);
        QList<bool> enabled;
        connect(m_server.get(), &HttpTestServer::requestReceived, m_window.get(), [this, &enabled] {
            enabled << m_recordButton->isEnabled() << m_connectButton->isEnabled();
            m_window->onNewData(at(5), { 1, 2, 3, 4, 5, 6 });
        });
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QCOMPARE(enabled, QList<bool>(4, false));
        QVERIFY(m_recordButton->isEnabled());
        QVERIFY(m_connectButton->isEnabled());
        QVERIFY(m_recordButton->isChecked());
        // The sample of the end hook at the start came before the files; that of the start hook is recorded.
        QCOMPARE(TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))), header + "5;1;2;3;4;5;6\r\n");
    }

    void lostInstrumentClosesTheRecord()
    {
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        m_window->onNewData(at(2010), { 1, 2, 3, 4, 5, 6 });
        static_cast<QuietDevice*>(m_window->device())->lose(QStringLiteral("Input/output error"));
        QTRY_VERIFY(m_window->device() == nullptr);
        QCOMPARE(m_notice->text(),
            QStringLiteral("The record stopped at 00:02: 1 samples are saved in %1. Cause: the connection to quiet was "
                           "lost: Input/output error")
                .arg(recordFile(QStringLiteral(".csv"))));
        QVERIFY(!m_window->recordSession()->isRecording());
        QVERIFY(!m_recordButton->isChecked());
        QVERIFY(!m_recordButton->isEnabled());
        QCOMPARE(m_server->paths().constLast(), QStringLiteral("/stopRecord"));
        QCOMPARE(TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))), header + "2010;1;2;3;4;5;6\r\n");
        QCOMPARE(eventTexts(),
            QStringList({ "halvex start hook answered", "halvex instrument lost", "halvex record stopped" }));
    }

    // F-keys, the Mark button and the HTTP endpoint during a record of the virtual instrument: every mark lands in
    // the events file between the samples around it and shows as a line in every live graph.
    void marksFromKeysButtonAndHttp()
    {
        const quint16 port = freePort();
        m_window->settings()->setMarkPort(port);
        QVERIFY(m_window->markServer()->isListening());
        m_window->setDevice(new VirtualFnirDevice(m_window.get()));
        QTRY_VERIFY(!m_window->graphs().isEmpty() && m_window->graphs().constFirst()->recordCount() > 0);
        m_window->recordControl()->setTextAsker([](QWidget*, QString* text) {
            *text = QString::fromUtf8("артефакт\t1");
            return true;
        });
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QTRY_VERIFY(TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))).count('\n') >= 3);
        QTest::keyClick(m_window.get(), Qt::Key_F1);
        QTest::keyClick(m_window.get(), Qt::Key_F9);
        QTest::qWait(300);
        QTest::mouseClick(m_window->findChild<QPushButton*>(QStringLiteral("markButton")), Qt::LeftButton);
        QCOMPARE(m_client.request(HttpTestClient::url(port, QStringLiteral("/mark?text=stim%201"))).status, 200);
        QTest::qWait(600);
        QTest::keyClick(m_window.get(), Qt::Key_R, Qt::ControlModifier);

        const QStringList expected { "key F1", "key F9", QString::fromUtf8("key артефакт 1"), "http stim 1" };
        QCOMPARE(eventTexts().mid(1, 4), expected);
        QList<qint64> sampleTimes;
        for (const QByteArray& line : TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))).split('\n').mid(1))
            sampleTimes << line.split(';').at(0).toLongLong();
        const QList<RecordEvents::Event> events = RecordEvents::read(recordFile(QStringLiteral(".events"))).events;
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(events.at(i).time > sampleTimes.constFirst());
            QVERIFY(events.at(i).time < sampleTimes.at(sampleTimes.size() - 2));
        }
        for (DataGraphic* graph : m_window->graphs())
            QCOMPARE(graph->eventCount(), 6);
        const QImage image = m_window->graphs().constFirst()->grab().toImage();
        bool drawn = false;
        for (int x = 0; x < image.width() && !drawn; ++x) {
            // Antialiased between two pixels: the orange hue of events shows.
            const QColor pixel = image.pixelColor(x, image.height() / 2);
            drawn = pixel.hsvSaturation() > 200 && pixel.hsvHue() >= 20 && pixel.hsvHue() <= 50;
        }
        QVERIFY(drawn);
    }

    void markPortTakenOrOff()
    {
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost));
        m_window->settings()->setMarkPort(other.serverPort());
        QVERIFY(!m_window->markServer()->isListening());
        QVERIFY(m_message->isVisible());
        QVERIFY2(m_message->text().contains(QString::number(other.serverPort())), qPrintable(m_message->text()));
        m_window->settings()->setMarkPort(0);
        QVERIFY(!m_window->markServer()->isListening());
    }

    // A stimulus program that refuses or never answers is named with the reason; the record goes on.
    void silentStimulusProgram_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused") << true << "could not be reached: Connection refused";
        QTest::newRow("never answers") << false << "did not answer in 3 s";
    }
    void silentStimulusProgram()
    {
        QFETCH(bool, refused);
        QFETCH(QString, reason);
        m_server->setNeverAnswer(!refused);
        const QString url = refused
            ? QStringLiteral("http://127.0.0.1:%1/startStimPack").arg(HttpTestServer::closedPort())
            : m_server->url(QStringLiteral("/startStimPack"));
        m_window->settings()->setSendOnStartRecord(url);
        m_window->settings()->setSendOnEndRecord(QString());
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QVERIFY(m_window->recordSession()->isRecording());
        auto* warning = m_window->findChild<NoticeBar*>(QStringLiteral("hookNotice"));
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->text(), QStringLiteral("The stimulus program at %1 ").arg(url) + reason);
    }

    void instrumentLostWhileAStartWaits()
    {
        m_server->setDelayMs(200);
        connect(m_server.get(), &HttpTestServer::requestReceived, m_window.get(), [this] {
            if (m_window->device())
                emit m_window->device()->disconnected();
        });
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QVERIFY(!m_window->device());
        QVERIFY(!m_window->recordSession()->isRecording());
        QVERIFY(!m_recordButton->isChecked() && !m_recordButton->isEnabled());
        QVERIFY(m_title->isEnabled());
        QVERIFY2(m_message->isVisible() && m_message->text().contains(QStringLiteral("no instrument")),
            qPrintable(m_message->text()));
        QCOMPARE(m_server->paths(), QStringList { QStringLiteral("/stopRecord") });
        QVERIFY(QDir().entryList(QDir::Files).filter(QStringLiteral(".csv")).isEmpty());
    }

    void headerOfANewInstrumentBeforeItsFirstSample()
    {
        m_window->setDevice(new QuietDevice(m_window.get()));
        QTest::mouseClick(m_recordButton, Qt::LeftButton);
        QCOMPARE(TemporaryHome::readFile(recordFile(QStringLiteral(".csv"))), QByteArray("\r\n"));
    }

    void enterInTheDeviceListWaitsForTheHook()
    {
        auto* deviceList = m_window->findChild<QComboBox*>(QStringLiteral("deviceList"));
        m_window->setDevice(nullptr);
        deviceList->setEditText(MainWindow::VirtualDeviceEntry);
        m_server->setDelayMs(200);
        connect(m_server.get(), &HttpTestServer::requestReceived, m_window.get(),
            [deviceList] { QTest::keyClick(deviceList->lineEdit(), Qt::Key_Return); });
        QTest::mouseClick(m_connectButton, Qt::LeftButton);
        QVERIFY(qobject_cast<VirtualFnirDevice*>(m_window->device()));
        QCOMPARE(m_window->settings()->getLastDevice(), MainWindow::VirtualDeviceEntry);
        QCOMPARE(m_server->paths(), QStringList { QStringLiteral("/stopRecord") });
    }

    // Last: the application runs its event loop here and is told to quit.
    void closingWhileAHookWaitsStillSendsTheEndHook()
    {
        m_server->setDelayMs(200);
        connect(m_server.get(), &HttpTestServer::requestReceived, m_window.get(), [this](const QString& path) {
            if (path != QLatin1String("/startStimPack"))
                return;
            m_window->close();
            QCoreApplication::quit();
        });
        QTimer::singleShot(0, m_recordButton, [this] { QTest::mouseClick(m_recordButton, Qt::LeftButton); });
        QTimer guard;
        connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
        guard.start(10000);
        QCoreApplication::exec();
        QCOMPARE(m_server->paths(),
            (QStringList {
                QStringLiteral("/stopRecord"), QStringLiteral("/startStimPack"), QStringLiteral("/stopRecord") }));
    }
};

QTEST_MAIN(TestMainWindowRecording)
#include "tst_mainwindowrecording.moc"
