#include "DataGraphic.h"
#include "DataRow.h"
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

    // A start that fails leaves no file of its own, sends no start hook and says why: a title too long for a file
    // name, the instrument lost while the end hook that begins every start waits, a companion file that cannot be
    // made or is there already (which stays as it was).
    void failedStart_data()
    {
        addColumns<bool, QString, QString>({ "lost", "inTheWay", "says" });
        addRow("title too long", false, "", "too long");
        addRow("instrument lost meanwhile", true, "", "no instrument");
        addRow("raw file cannot be made", false, "r.raw/", "r.raw");
        addRow("an earlier events file", false, "r.events", "r.events");
    }
    void failedStart()
    {
        QFETCH(bool, lost);
        QFETCH(QString, inTheWay);
        QFETCH(QString, says);
        const QByteArray earlier = "100\tkey\tF1\r\n";
        const bool file = !inTheWay.isEmpty() && !inTheWay.endsWith(QLatin1Char('/'));
        if (lost) {
            duringHooks([this] {
                if (m_window->device())
                    emit m_window->device()->disconnected();
            });
        } else if (inTheWay.isEmpty()) {
            m_title->setText(QString(300, QLatin1Char('t')));
        } else {
            QVERIFY(file ? TemporaryHome::writeFile(inTheWay, earlier) : QDir().mkdir(inTheWay));
        }
        if (inTheWay.isEmpty())
            record();
        else
            m_window->startRecord(QStringLiteral("r.csv"));
        QVERIFY(!m_window->recordSession()->isRecording() && !m_recordButton->isChecked() && m_title->isEnabled());
        QVERIFY(m_message->isVisible() && m_message->text().contains(says));
        QCOMPARE(m_server->paths(), QStringList { "/stopRecord" });
        const QStringList recordFiles { "*.csv", "*.raw", "*.ini", "*.events" };
        QCOMPARE(QDir().entryList(recordFiles, QDir::Files), file ? QStringList { inTheWay } : QStringList());
        if (file)
            QCOMPARE(TemporaryHome::readFile(inTheWay), earlier);
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
        m_window->recordControl()->setTextAsker(
            [](QWidget*, const RecordControl::TextAnswer& answer) { answer(true, QString::fromUtf8("артефакт\t1")); });
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
        for (int i = 2; i <= 5; ++i) // after the signal check and the start hook
            QVERIFY(events.at(i).time > first && events.at(i).time < last);
        for (DataGraphic* graph : m_window->graphs() + m_window->haemoglobinGraphs())
            QCOMPARE(graph->eventCount(), 7);
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

    // The headers name the channels of the samples: a record started before an instrument's first sample takes
    // them from that sample, one stopped before any sample leaves ".csv" and ".raw" empty, and a sample of another
    // layout (an instrument back with other channels) ends the record, saying why, before any of it is written.
    void headerFollowsTheSamples_data()
    {
        addColumns<bool, QList<int>, QByteArray, QString>({ "newInstrument", "channels", "lines", "cause" });
        addRow("a new instrument before its first sample", true, QList<int> { 4 },
            QByteArray(";V1;R1;IR1;V2;R2;IR2;V3;R3;IR3;V4;R4;IR4\r\n10;1;1;1;1;1;1;1;1;1;1;1;1\r\n"), QString());
        addRow("stopped before any sample", true, QList<int>(), QByteArray(), QString());
        addRow("back with other channels", false, QList<int> { 2, 4, 2 }, header + "10;1;1;1;1;1;1\r\n",
            "the instrument now sends 12 values per sample instead of 6; start a new record for the new layout");
    }
    void headerFollowsTheSamples()
    {
        QFETCH(bool, newInstrument);
        QFETCH(QList<int>, channels);
        QFETCH(QByteArray, lines);
        QFETCH(QString, cause);
        if (newInstrument)
            m_window->setDevice(new QuietDevice(m_window));
        record();
        for (int i = 0; i < channels.size(); ++i)
            m_window->onNewData(at(10 * (i + 1)), QList<double>(channels.at(i) * 3, i + 1));
        if (cause.isEmpty())
            record();
        QVERIFY(!m_window->recordSession()->isRecording());
        QCOMPARE(csv(), lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".raw")), lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".ini")), QByteArray("<Smoothing>20</Smoothing>\r\n"));
        QCOMPARE(m_server->paths().size(), 3);
        const QString name = RecordingWindow::recordFile(QStringLiteral(".csv"));
        const QString samples = QString::number(lines.count('\n') - (lines.isEmpty() ? 0 : 1));
        QStringList events = RecordingWindow::eventTexts().mid(1);
        if (cause.isEmpty()) {
            QCOMPARE(m_notice->text(), QStringLiteral("Saved %1 (%2 samples)").arg(name, samples));
            QCOMPARE(events, QStringList { "halvex record stopped" });
        } else {
            QVERIFY(
                m_notice->kind() == NoticeBar::Warning && m_notice->text().endsWith(QStringLiteral("Cause: ") + cause));
            QCOMPARE(events, QStringList({ "halvex layout changed: 12 values instead of 6", "halvex record stopped" }));
        }
    }

    // While a record hook waits, neither Enter in the device list nor the virtual instrument button connects
    // under it: the connect button's click that sent the hook goes on with the instrument typed in.
    void connectingWaitsForTheHook_data()
    {
        addColumns<bool>({ "virtualButton" });
        addRow("enter in the device list", false);
        addRow("the virtual instrument button", true);
    }
    void connectingWaitsForTheHook()
    {
        QFETCH(bool, virtualButton);
        auto* deviceList = m_fixture->child<QComboBox>("deviceList");
        auto* useVirtual = m_fixture->child<QPushButton>("useVirtualButton");
        m_window->setDevice(nullptr);
        deviceList->setEditText(MainWindow::VirtualDeviceEntry);
        duringHooks([deviceList, useVirtual, virtualButton] {
            if (virtualButton)
                QTest::mouseClick(useVirtual, Qt::LeftButton);
            else
                QTest::keyClick(deviceList->lineEdit(), Qt::Key_Return);
        });
        QTest::mouseClick(m_fixture->child<QPushButton>("connectButton"), Qt::LeftButton);
        QVERIFY(qobject_cast<VirtualFnirDevice*>(m_window->device()));
        QCOMPARE(m_window->settings()->getLastDevice(), MainWindow::VirtualDeviceEntry);
        QCOMPARE(m_server->paths(), QStringList { "/stopRecord" });
    }

    // The settings that shape a record wait for its end, and the settings say so meanwhile: its lines keep
    // matching its header and its ".ini", and its graphs keep their names.
    void settingsThatShapeTheRecordWait()
    {
        const auto graphNames = [this] {
            QStringList names;
            for (const DataGraphic* graph : m_window->graphs())
                names << graph->name();
            return names;
        };
        auto* note = m_fixture->child<QLabel>("settingsRecordNote");
        HalvexSettings* settings = m_window->settings();
        settings->setMontage(QStringLiteral("1=Fp1;2=Fp2"));
        settings->setUseMontage(true);
        QTRY_VERIFY(m_window->graphs().isEmpty());
        m_window->onNewData(0, sample);
        QCOMPARE(graphNames(), QStringList({ "Fp1", "Fp2" }));
        QVERIFY(note && note->isHidden());
        record();
        QVERIFY(!note->isHidden());
        m_window->onNewData(at(10), sample);
        settings->setAcquisition(HalvexSettings::Acquire_RIR);
        settings->setRIRsmoothing(3);
        settings->setMontage(QStringLiteral("1=A;2=B"));
        QTest::qWait(MainWindow::MontageEditPauseMs + 100);
        m_window->onNewData(at(20), sample);
        QVERIFY(m_window->recordSession()->isRecording());
        QCOMPARE(graphNames(), QStringList({ "Fp1", "Fp2" }));
        record();
        const QByteArray lines = "10;1;2;3;4;5;6\r\n20;1;2;3;4;5;6\r\n";
        QCOMPARE(csv(), ";V1(Fp1);R1;IR1;V2(Fp2);R2;IR2\r\n" + lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".raw")), header + lines);
        QCOMPARE(RecordingWindow::recordBytes(QStringLiteral(".ini")),
            QByteArray("<Smoothing>20</Smoothing>\r\n<Montage>\r\n1=Fp1;2=Fp2\r\n</Montage>\r\n"));
        QVERIFY(note->isHidden());
        // Then the new settings hold: six values are three R-IR channels, under the new names.
        m_window->onNewData(at(30), sample);
        QCOMPARE(m_window->processedSample().size(), 9);
        QCOMPARE(graphNames(), QStringList({ "A", "B" }));
    }

    // The question for a mark's text, asked during a record hook's wait, does not hold the hook, and the mark's
    // line keeps the time of the click: the lines that come while the question is open follow it.
    void markQuestionDuringAHook()
    {
        RecordControl::TextAnswer answer;
        m_window->recordControl()->setTextAsker(
            [&answer](QWidget*, const RecordControl::TextAnswer& reply) { answer = reply; });
        auto* mark = m_fixture->child<QPushButton>("markButton");
        duringHooks([mark](const QString& path) {
            if (path == QLatin1String("/startStimPack"))
                QTest::mouseClick(mark, Qt::LeftButton);
        });
        record();
        QVERIFY(answer && m_recordButton->isEnabled() && m_window->recordSession()->isRecording());
        QTest::qWait(20);
        QTest::keyClick(m_window, Qt::Key_F2);
        answer(true, QStringLiteral(" cue "));
        record();
        // In the order of the file, which a reader that does not sort takes as it is.
        QStringList texts;
        QList<qint64> times;
        for (const QByteArray& line : RecordingWindow::recordBytes(QStringLiteral(".events")).trimmed().split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split('\t');
            times << fields.at(0).toLongLong();
            texts << QString::fromUtf8(fields.at(1) + ' ' + fields.at(2));
        }
        QCOMPARE(texts,
            QStringList({ "halvex signal check: 1=? 2=?", "key cue", "halvex start hook answered", "key F2",
                "halvex record stopped" }));
        QVERIFY(std::is_sorted(times.cbegin(), times.cend()) && times.at(1) < times.at(3) - 10);
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
