#include "AbstractFnirDevice.h"
#include "DataGraphic.h"
#include "FullDisk.h"
#include "HttpTestClient.h"
#include "LanguageContext.h"
#include "MarkServer.h"
#include "NoticeBar.h"
#include "RecordingWindow.h"
#include "VirtualFnirDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

namespace {

// An instrument that sends nothing by itself: the test hands the window its samples.
class QuietDevice : public AbstractFnirDevice
{
public:
    using AbstractFnirDevice::AbstractFnirDevice;
    QString deviceName() const override { return QStringLiteral("quiet"); }
    bool connectDevice() override { return true; }
    bool disconnectDevice() override { return true; }
};

// The csv and raw header of two channels in the V-R-IR variant.
const QByteArray header = ";V1;R1;IR1;V2;R2;IR2\r\n";
const QList<double> sample { 1, 2, 3, 4, 5, 6 };

} // namespace

class TestMainWindowRecording : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingWindow> m_fixture;
    MainWindow* m_window = nullptr;
    HttpTestServer* m_server = nullptr;
    QPushButton* m_recordButton = nullptr;
    QLineEdit* m_title = nullptr;
    QLabel* m_message = nullptr;
    NoticeBar* m_notice = nullptr;

    qint64 at(qint64 elapsed) const { return m_window->recordSession()->recordStart() + elapsed; }
    static QByteArray csv() { return RecordingWindow::recordBytes(QStringLiteral(".csv")); }
    void record() { QTest::mouseClick(m_recordButton, Qt::LeftButton); }
    // Runs action when a hook request arrives, while the hook waits 50 ms for its answer.
    template<typename F> void duringHooks(F action)
    {
        m_server->setDelayMs(50);
        connect(m_server, &HttpTestServer::requestReceived, m_window, action);
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }

    void init()
    {
        m_fixture = std::make_unique<RecordingWindow>();
        QVERIFY(m_fixture->open(HalvexSettings::Acquire_VRIR));
        m_window = m_fixture->window.get();
        m_server = &m_fixture->server;
        m_recordButton = m_fixture->child<QPushButton>("recordButton");
        m_title = m_fixture->child<QLineEdit>("titleField");
        m_message = m_fixture->child<QLabel>("connectionMessage");
        m_notice = m_fixture->child<NoticeBar>("recordNotice");
        m_window->setDevice(new QuietDevice(m_window));
        m_window->onNewData(0, sample);
    }
    void cleanup() { m_fixture.reset(); }

    void recordButtonAndShortcut()
    {
        m_title->setText(QStringLiteral("rat 5"));
        // The record button and the connect button wait for the hooks, and come back after them.
        QList<bool> enabled;
        auto* connectButton = m_fixture->child<QPushButton>("connectButton");
        duringHooks([&] { enabled << m_recordButton->isEnabled() << connectButton->isEnabled(); });
        record();
        QCOMPARE(enabled, QList<bool>(4, false));
        QVERIFY(m_recordButton->isEnabled() && connectButton->isEnabled());
        QVERIFY(m_recordButton->isChecked() && !m_title->isEnabled());
        QVERIFY(m_fixture->child<QLabel>("recBadge")->isVisible());
        QCOMPARE(m_server->paths(), QStringList({ "/stopRecord", "/startStimPack" }));

        m_window->onNewData(at(1500), { 1, 2, 3, 4.4, 5.6, -0.6 });
        m_window->onNewData(at(1600), { 1, 2, 3, 4 });
        m_window->onNewData(at(-20), { 7, 8, 9, 10, 11, 12 });
        m_window->onNewData(at(62000), { 1, 1, 1, 2, 2, 2 });
        auto* elapsed = m_fixture->child<QLabel>("elapsedLabel");
        QCOMPARE(elapsed->text(), QStringLiteral("01:02"));

        QTest::keyClick(m_window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!m_recordButton->isChecked() && m_title->isEnabled());
        QCOMPARE(elapsed->text(), QStringLiteral("00:00"));
        QCOMPARE(m_server->paths().size(), 3);
        const QString name = RecordingWindow::recordFile(QStringLiteral(".csv"));
        QVERIFY(name.endsWith(QStringLiteral("-rat 5.csv")));
        QVERIFY(m_notice->isVisible() && m_notice->kind() == NoticeBar::Info);
        QCOMPARE(m_notice->text(), QStringLiteral("Saved %1 (3 samples)").arg(name));
        const QByteArray lines = "1500;1;2;3;4;6;-1\r\n-20;7;8;9;10;11;12\r\n62000;1;1;1;2;2;2\r\n";
        QCOMPARE(csv(), header + lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".raw")), header + lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".ini")), QByteArray("<Smoothing>20</Smoothing>\r\n"));
    }

    // A start that fails leaves no files, sends no start hook and says why: a title too long for a file name,
    // or the instrument lost while the end hook that begins every start waits.
    void failedStart_data()
    {
        QTest::addColumn<bool>("lost");
        QTest::addColumn<QString>("says");
        QTest::newRow("title too long") << false << "too long";
        QTest::newRow("instrument lost meanwhile") << true << "no instrument";
    }
    void failedStart()
    {
        QFETCH(bool, lost);
        QFETCH(QString, says);
        if (lost) {
            duringHooks([this] {
                if (m_window->device())
                    emit m_window->device()->disconnected();
            });
        } else {
            m_title->setText(QString(300, QLatin1Char('t')));
        }
        record();
        QVERIFY(!m_window->recordSession()->isRecording() && !m_recordButton->isChecked() && m_title->isEnabled());
        QVERIFY(m_message->isVisible() && m_message->text().contains(says));
        QCOMPARE(m_server->paths(), QStringList { "/stopRecord" });
        QVERIFY(RecordingWindow::recordFile(QStringLiteral(".csv")).isEmpty());
    }

    // A record that cannot go on closes with a notice of when, how much was saved, where and why.
    void fullDiskStopsTheRecord()
    {
        record();
        m_window->onNewData(at(2010), sample);
        QVERIFY(FullDisk::redirect(RecordingWindow::recordFile(QStringLiteral(".raw"))));
        m_window->onNewData(at(2020), sample);
        QVERIFY(!m_recordButton->isChecked() && m_title->isEnabled());
        QVERIFY(m_notice->isVisible() && m_notice->kind() == NoticeBar::Warning);
        const QString text = m_notice->text(), name = RecordingWindow::recordFile(QStringLiteral(".csv"));
        QVERIFY(text.startsWith(
            QStringLiteral("The record stopped at 00:02: 1 samples are saved in %1. Cause: ").arg(name)));
        QVERIFY(text.contains(QStringLiteral("No space left")));
        QCOMPARE(csv(), header + "2010;1;2;3;4;5;6\r\n");
        QCOMPARE(m_server->paths().size(), 3);
        const QStringList events = RecordingWindow::eventTexts();
        QVERIFY(events.size() == 3 && events.at(1).startsWith(QStringLiteral("halvex write error: ")));
    }

    // F-keys, the Mark button and the HTTP endpoint during a record of the virtual instrument: every mark lands in
    // the events file between the samples around it and shows in every live graph.
    void marksFromKeysButtonAndHttp()
    {
        // A port that is taken is named in the window.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        m_window->settings()->setMarkPort(port);
        QVERIFY(m_message->isVisible() && m_message->text().contains(QString::number(port)));
        probe.close();
        m_window->settings()->setMarkPort(0);
        m_window->settings()->setMarkPort(port);
        m_window->setDevice(new VirtualFnirDevice(m_window));
        QTRY_VERIFY(!m_window->graphs().isEmpty() && m_window->graphs().constFirst()->recordCount() > 0);
        m_window->recordControl()->setTextAsker([](QWidget*, QString* text) {
            *text = QString::fromUtf8("артефакт\t1");
            return true;
        });
        record();
        QTRY_VERIFY(csv().count('\n') >= 3);
        QTest::keyClick(m_window, Qt::Key_F1);
        QTest::keyClick(m_window, Qt::Key_F9);
        QTest::mouseClick(m_fixture->child<QPushButton>("markButton"), Qt::LeftButton);
        HttpTestClient client;
        QCOMPARE(client.request(HttpTestClient::url(port, QStringLiteral("/mark?text=stim%201"))).status, 200);
        const qsizetype lines = csv().count('\n');
        QTRY_VERIFY(csv().count('\n') > lines + 1);
        QTest::keyClick(m_window, Qt::Key_R, Qt::ControlModifier);

        const QStringList expected { "key F1", "key F9", QString::fromUtf8("key артефакт 1"), "http stim 1" };
        QCOMPARE(RecordingWindow::eventTexts().mid(1, 4), expected);
        const QList<QByteArray> samples = csv().split('\n');
        const qint64 first = samples.at(1).split(';').at(0).toLongLong();
        const qint64 last = samples.at(samples.size() - 2).split(';').at(0).toLongLong();
        const QList<RecordEvents::Event> events = RecordEvents::read(RecordingWindow::recordFile(".events")).events;
        for (int i = 1; i <= 4; ++i)
            QVERIFY(events.at(i).time > first && events.at(i).time < last);
        for (DataGraphic* graph : m_window->graphs())
            QCOMPARE(graph->eventCount(), 6);
    }

    // A stimulus program that cannot be reached is named with the reason; the record goes on.
    void unreachableStimulusProgram()
    {
        const QString url = QStringLiteral("http://127.0.0.1:%1/startStimPack").arg(HttpTestServer::closedPort());
        m_window->settings()->setSendOnStartRecord(url);
        record();
        auto* warning = m_fixture->child<NoticeBar>("hookNotice");
        QVERIFY(m_window->recordSession()->isRecording() && warning->isVisible());
        QCOMPARE(warning->text(),
            QStringLiteral("The stimulus program at %1 could not be reached: Connection refused").arg(url));
    }

    void headerOfANewInstrumentBeforeItsFirstSample()
    {
        m_window->setDevice(new QuietDevice(m_window));
        record();
        QCOMPARE(csv(), QByteArray("\r\n"));
    }

    void enterInTheDeviceListWaitsForTheHook()
    {
        auto* deviceList = m_fixture->child<QComboBox>("deviceList");
        m_window->setDevice(nullptr);
        deviceList->setEditText(MainWindow::VirtualDeviceEntry);
        duringHooks([deviceList] { QTest::keyClick(deviceList->lineEdit(), Qt::Key_Return); });
        QTest::mouseClick(m_fixture->child<QPushButton>("connectButton"), Qt::LeftButton);
        QVERIFY(qobject_cast<VirtualFnirDevice*>(m_window->device()));
        QCOMPARE(m_window->settings()->getLastDevice(), MainWindow::VirtualDeviceEntry);
        QCOMPARE(m_server->paths(), QStringList { "/stopRecord" });
    }

    // Last: the application runs its event loop here and is told to quit.
    void closingWhileAHookWaitsStillSendsTheEndHook()
    {
        duringHooks([this](const QString& path) {
            if (path != QLatin1String("/startStimPack"))
                return;
            m_window->close();
            QCoreApplication::quit();
        });
        QTimer::singleShot(0, m_recordButton, [this] { record(); });
        QTimer::singleShot(10000, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        QCOMPARE(m_server->paths(), QStringList({ "/stopRecord", "/startStimPack", "/stopRecord" }));
    }
};

QTEST_MAIN(TestMainWindowRecording)
#include "tst_mainwindowrecording.moc"
