#include "HttpTestClient.h"
#include "LanguageContext.h"
#include "LslClock.h"
#include "LslPeer.h"
#include "LslPublisher.h"
#include "RecordingWindow.h"
#include "RecordsSettings.h"
#include "SampleClock.h"
#include "VirtualFnirDevice.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

namespace {

// Within 1 ms of the sample clock's time, translated.
bool sameTime(double lslSeconds, qint64 sampleMs)
{
    return std::abs(lslSeconds - LslClock::fromSampleMs(double(sampleMs))) <= 0.001;
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

QStringList outletNames(const QByteArray& status)
{
    QStringList names;
    const QJsonObject lsl = QJsonDocument::fromJson(status).object().value(QStringLiteral("lsl")).toObject();
    for (const QJsonValue& outlet : lsl.value(QStringLiteral("outlets")).toArray())
        names << outlet.toObject().value(QStringLiteral("name")).toString();
    if (!lsl.value(QStringLiteral("inlets")).isArray())
        names << QStringLiteral("(no inlets list)");
    return names;
}

} // namespace

class TestLslOutlet : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingWindow> m_fixture;
    MainWindow* m_window = nullptr;
    QString m_name;

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }
    void init()
    {
        m_fixture = std::make_unique<RecordingWindow>();
        QVERIFY(m_fixture->open(HalvexSettings::Acquire_RIR));
        m_window = m_fixture->window.get();
        m_name = LslPeer::uniqueName(QStringLiteral("Halvex"));
        m_window->settings()->setLslStreamName(m_name);
    }
    void cleanup() { m_fixture.reset(); }

    // The virtual head's samples, every one in order with its values and its time, and the stream's description.
    void samples_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<int>>("wavelengths");
        QTest::addRow("R-IR") << int(HalvexSettings::Acquire_RIR) << QStringList { "R1", "IR1", "R2", "IR2" }
                              << QList<int> { 700, 880, 700, 880 };
        QTest::addRow("V-R-IR") << int(HalvexSettings::Acquire_VRIR)
                                << QStringList { "V1", "R1", "IR1", "V2", "R2", "IR2" }
                                << QList<int> { 0, 700, 880, 0, 700, 880 };
    }
    void samples()
    {
        QFETCH(int, variant);
        QFETCH(QStringList, labels);
        QFETCH(QList<int>, wavelengths);
        HalvexSettings* settings = m_window->settings();
        settings->setAcquisition(HalvexSettings::AcquisitionVariant(variant));
        settings->setVirtualSignal(HalvexSettings::Head);
        settings->setVirtualRate(50);
        settings->setVirtualDeviceChannels(2);
        m_window->analysisSettings()->setRedWavelength(700);
        m_window->analysisSettings()->setInfraredWavelength(880);
        settings->setUseVirtualDevice(true);
        m_window->refreshDeviceList();
        auto* list = m_fixture->child<QComboBox>("deviceList");
        list->setCurrentIndex(list->findText(MainWindow::VirtualDeviceEntry));
        m_window->onConnectClicked();
        QVERIFY(qobject_cast<VirtualFnirDevice*>(m_window->device()));
        QList<QPair<qint64, QList<double>>> sent;
        connect(m_window->device(), &AbstractFnirDevice::newData, this, [&sent](qint64 ts, const QList<double>& data) {
            sent.append({ ts, data });
        });

        const std::optional<lsl::stream_info> found = LslPeer::resolve(m_name);
        QVERIFY(found);
        std::unique_ptr<lsl::stream_inlet> inlet = LslPeer::openInlet(*found);
        QVERIFY(inlet);
        lsl::stream_info info = LslPeer::fullInfo(*inlet);
        QCOMPARE(info.type(), std::string("NIRS"));
        QCOMPARE(info.channel_format(), lsl::cf_float32);
        QCOMPARE(info.nominal_srate(), 50.0);
        QCOMPARE(info.source_id(), LslPublisher::VirtualSourceId.toStdString());
        QCOMPARE(LslPeer::child(info.desc().child("acquisition"), "manufacturer"), QStringLiteral("Halvex"));
        QCOMPARE(info.channel_count(), int(labels.size()));
        lsl::xml_element channel = info.desc().child("channels").child("channel");
        for (int i = 0; i < labels.size(); ++i, channel = channel.next_sibling()) {
            QCOMPARE(LslPeer::child(channel, "label"), labels.at(i));
            QCOMPARE(LslPeer::child(channel, "type"), QString(wavelengths.at(i) ? "Intensity" : "Aux"));
            QCOMPARE(LslPeer::child(channel, "unit"), QStringLiteral("a.u."));
            QCOMPARE(LslPeer::child(channel, "wavelen").toInt(), wavelengths.at(i));
            QCOMPARE(
                LslPeer::child(channel, "channel").toInt(), i / (variant == HalvexSettings::Acquire_VRIR ? 3 : 2) + 1);
        }

        const auto received = LslPeer::pull<float>(*inlet, 40);
        QCOMPARE(received.size(), size_t(40));
        // The first sample the inlet saw is one the instrument sent; from there on, every one in turn.
        qsizetype first = 0;
        while (first < sent.size() && !sameTime(received.front().timestamp, sent.at(first).first))
            ++first;
        QVERIFY(first + qsizetype(received.size()) <= sent.size());
        for (size_t i = 0; i < received.size(); ++i) {
            const auto& [ts, data] = sent.at(first + qsizetype(i));
            QVERIFY2(sameTime(received[i].timestamp, ts), qPrintable(QString::number(i)));
            for (qsizetype v = 0; v < data.size(); ++v)
                QCOMPARE(received[i].values.at(size_t(v)), float(data.at(v)));
        }

        // A sample's time is the one it arrived with, however late it is handed on.
        const qint64 earlier = SampleClock::nowMs() - 3000;
        m_window->onNewData(earlier, sent.constFirst().second);
        bool seen = false;
        for (int i = 0; i < 20 && !seen; ++i) {
            for (const auto& sample : LslPeer::pull<float>(*inlet, 1, 500))
                seen = seen || sameTime(sample.timestamp, earlier);
        }
        QVERIFY(seen);
    }

    // Marks before and during a record reach a marker inlet with the times of their lines; the tool bar and the
    // endpoint's status name the streams, which follow the settings and the instrument.
    void markersAndStatus()
    {
        const quint16 port = freePort();
        QVERIFY(port);
        m_window->settings()->setMarkPort(port);
        m_window->setDevice(new QuietDevice(m_window));
        m_window->onNewData(SampleClock::nowMs(), { 1, 2, 3, 4 });
        const std::optional<lsl::stream_info> found = LslPeer::resolve(m_name + "-markers");
        QVERIFY(found);
        QCOMPARE(found->type(), std::string("Markers"));
        std::unique_ptr<lsl::stream_inlet> inlet = LslPeer::openInlet(*found);
        QVERIFY(inlet);

        HttpTestClient client;
        const auto request = [&](const QString& path) { return client.request(HttpTestClient::url(port, path)); };
        QCOMPARE(outletNames(request(QStringLiteral("/status")).body), QStringList({ m_name, m_name + "-markers" }));
        auto* rate = m_fixture->child<QLabel>("rateLabel");
        QVERIFY(rate->toolTip().contains(m_name + " (NIRS, 4)"));
        QVERIFY(rate->toolTip().contains(m_name + "-markers (Markers)"));

        // Outside a record: no line, but the marker.
        const qint64 before = SampleClock::nowMs();
        QTest::keyClick(m_window, Qt::Key_F3);
        QCOMPARE(request(QStringLiteral("/mark?text=cue%201")).status, 409);
        const auto outside = LslPeer::pull<std::string>(*inlet, 2);
        QCOMPARE(outside.size(), size_t(2));
        QCOMPARE(outside[0].values.at(0), std::string("key\tF3"));
        QCOMPARE(outside[1].values.at(0), std::string("http\tcue 1"));
        QVERIFY(outside[0].timestamp >= LslClock::fromSampleMs(double(before)) - 0.001);
        QVERIFY(outside[1].timestamp <= LslClock::localClock());

        // The text comes later than the click, whose time the mark keeps.
        m_window->recordControl()->setTextAsker([](QWidget*, const RecordControl::TextAnswer& answer) {
            QTimer::singleShot(50, [answer]() { answer(true, QStringLiteral("probe\t2")); });
        });
        m_window->startRecord();
        QVERIFY(m_window->recordSession()->isRecording());
        QTest::keyClick(m_window, Qt::Key_F1);
        QTest::mouseClick(m_fixture->child<QPushButton>("markButton"), Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(request(QStringLiteral("/mark?text=stim&source=psychopy")).status, 200);
        m_window->stopRecord();

        const qint64 start = m_window->recordSession()->recordStart();
        const QList<RecordEvents::Event> lines = RecordEvents::read(RecordingWindow::recordFile(".events")).events;
        QVERIFY(lines.size() >= 4);
        const auto markers = LslPeer::pull<std::string>(*inlet, size_t(lines.size()));
        QCOMPARE(markers.size(), size_t(lines.size()));
        QStringList marks;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const std::string& marker = markers[size_t(i)].values.at(0);
            QCOMPARE(QString::fromStdString(marker), lines.at(i).source + QLatin1Char('\t') + lines.at(i).text);
            QVERIFY2(sameTime(markers[size_t(i)].timestamp, start + lines.at(i).time), marker.c_str());
            if (lines.at(i).source != QStringLiteral("halvex"))
                marks << QString::fromStdString(marker);
        }
        QCOMPARE(marks, QStringList({ "key\tF1", "key\tprobe 2", "http:psychopy\tstim" }));

        // A new name makes new streams; without an instrument there are none.
        m_window->settings()->setLslStreamName(m_name + "b");
        QCOMPARE(outletNames(request(QStringLiteral("/status")).body), QStringList({ m_name + "b-markers" }));
        QVERIFY(LslPeer::resolve(m_name + "b-markers"));
        QVERIFY(LslPeer::absent(m_name + "-markers"));
        m_window->setDevice(nullptr);
        QCOMPARE(outletNames(request(QStringLiteral("/status")).body), QStringList());
        QVERIFY(rate->toolTip().contains(QStringLiteral("no stream")));
    }
};

QTEST_MAIN(TestLslOutlet)
#include "tst_lsloutlet.moc"
