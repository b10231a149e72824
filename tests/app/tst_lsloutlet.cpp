#include "HttpTestClient.h"
#include "LanguageContext.h"
#include "LslClock.h"
#include "LslPeer.h"
#include "LslPublisher.h"
#include "RecordingWindow.h"
#include "RecordsSettings.h"
#include "SampleClock.h"
#include "VirtualFnirDevice.h"

#include <QJsonArray>
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

QString value(const lsl::xml_element& element, const char* name)
{
    return QString::fromStdString(element.child_value(name));
}

} // namespace

class TestLslOutlet : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<RecordingWindow> m_fixture;
    MainWindow* m_window = nullptr;
    QString m_name;

    // The outlets' names in the endpoint's status, which has a list of inlets too.
    QStringList statusOutlets(quint16 port) const
    {
        const QJsonObject lsl = LslPeer::status(port);
        QStringList names;
        for (const QJsonValue& outlet : lsl.value(QStringLiteral("outlets")).toArray())
            names << outlet.toObject().value(QStringLiteral("name")).toString();
        return lsl.value(QStringLiteral("inlets")).isArray() ? names : QStringList();
    }

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

    // The virtual head's samples, every one in order with its values and time, and the stream's description.
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
        m_window->settings()->setAcquisition(HalvexSettings::AcquisitionVariant(variant));
        m_window->analysisSettings()->setRedWavelength(700);
        m_window->analysisSettings()->setInfraredWavelength(880);
        const int group = variant == HalvexSettings::Acquire_VRIR ? 3 : 2;
        auto* head = new VirtualFnirDevice(m_window);
        head->setValuesPerChannel(group);
        head->setSignal(VirtualFnirDevice::Signal::Head);
        head->setRate(50);
        head->setChannelCount(2 * group);
        m_window->setDevice(head);
        QList<QPair<qint64, QList<double>>> sent;
        connect(head, &AbstractFnirDevice::newData, this, [&sent](qint64 ts, const QList<double>& data) {
            sent.append({ ts, data });
        });

        const std::optional<lsl::stream_info> found = LslPeer::resolve(m_name);
        QVERIFY(found);
        const std::unique_ptr<lsl::stream_inlet> inlet = LslPeer::openInlet(*found);
        lsl::stream_info info = inlet->info(5.0);
        QCOMPARE(info.type(), std::string("NIRS"));
        QCOMPARE(info.channel_format(), lsl::cf_float32);
        QCOMPARE(info.nominal_srate(), 50.0);
        QCOMPARE(info.source_id(), LslPublisher::VirtualSourceId.toStdString());
        QCOMPARE(value(info.desc().child("acquisition"), "manufacturer"), QStringLiteral("Halvex"));
        QCOMPARE(info.channel_count(), int(labels.size()));
        lsl::xml_element channel = info.desc().child("channels").child("channel");
        for (int i = 0; i < labels.size(); ++i, channel = channel.next_sibling()) {
            QCOMPARE(value(channel, "label"), labels.at(i));
            QCOMPARE(value(channel, "type"), QString(wavelengths.at(i) ? "Intensity" : "Aux"));
            QCOMPARE(value(channel, "unit"), QStringLiteral("a.u."));
            QCOMPARE(value(channel, "wavelen").toInt(), wavelengths.at(i));
            QCOMPARE(value(channel, "channel").toInt(), i / group + 1);
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
            QVERIFY(sameTime(received[i].timestamp, ts));
            QCOMPARE(received[i].values, std::vector<float>(data.begin(), data.end()));
        }

        // A sample's time is the one it arrived with, however late it is handed on.
        const qint64 earlier = SampleClock::nowMs() - 3000;
        m_window->onNewData(earlier, sent.constFirst().second);
        const auto later = LslPeer::pull<float>(*inlet, 100, 1000);
        QVERIFY(std::any_of(later.begin(), later.end(), [=](const auto& s) { return sameTime(s.timestamp, earlier); }));
    }

    // Marks before and during a record reach a marker inlet with the times of their lines; the tool bar and the
    // endpoint's status name the streams, which follow the settings and the instrument.
    void markersAndStatus()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        m_window->settings()->setMarkPort(port);
        m_window->setDevice(new QuietDevice(m_window));
        m_window->onNewData(SampleClock::nowMs(), { 1, 2, 3, 4 });
        const std::optional<lsl::stream_info> found = LslPeer::resolve(m_name + "-markers");
        QVERIFY(found);
        QCOMPARE(found->type(), std::string("Markers"));
        const std::unique_ptr<lsl::stream_inlet> inlet = LslPeer::openInlet(*found);
        QCOMPARE(statusOutlets(port), QStringList({ m_name, m_name + "-markers" }));
        auto* rate = m_fixture->child<QLabel>("rateLabel");
        QVERIFY(rate->toolTip().contains(m_name + " (NIRS, 4), " + m_name + "-markers (Markers)"));

        // Outside a record: no line, but the marker.
        HttpTestClient client;
        QTest::keyClick(m_window, Qt::Key_F3);
        QCOMPARE(client.request(HttpTestClient::url(port, QStringLiteral("/mark?text=cue%201"))).status, 409);
        const auto outside = LslPeer::pull<std::string>(*inlet, 2);
        QCOMPARE(outside.size(), size_t(2));
        QCOMPARE(outside[0].values.at(0), std::string("key\tF3"));
        QCOMPARE(outside[1].values.at(0), std::string("http\tcue 1"));

        // The text comes later than the click, whose time the mark keeps.
        m_window->recordControl()->setTextAsker([](QWidget*, const RecordControl::TextAnswer& answer) {
            QTimer::singleShot(50, [answer]() { answer(true, QStringLiteral("probe\t2")); });
        });
        m_window->startRecord();
        QVERIFY(m_window->recordSession()->isRecording());
        QTest::keyClick(m_window, Qt::Key_F1);
        QTest::mouseClick(m_fixture->child<QPushButton>("markButton"), Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(
            client.request(HttpTestClient::url(port, QStringLiteral("/mark?text=stim&source=psychopy"))).status, 200);
        m_window->stopRecord();

        const qint64 start = m_window->recordSession()->recordStart();
        const QList<RecordEvents::Event> lines = RecordEvents::read(RecordingWindow::recordFile(".events")).events;
        const auto markers = LslPeer::pull<std::string>(*inlet, size_t(lines.size()));
        QCOMPARE(markers.size(), size_t(lines.size()));
        QStringList marks;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString marker = QString::fromStdString(markers[size_t(i)].values.at(0));
            QCOMPARE(marker, lines.at(i).source + QLatin1Char('\t') + lines.at(i).text);
            QVERIFY2(sameTime(markers[size_t(i)].timestamp, start + lines.at(i).time), qPrintable(marker));
            if (lines.at(i).source != QStringLiteral("halvex"))
                marks << marker;
        }
        QCOMPARE(marks, QStringList({ "key\tF1", "key\tprobe 2", "http:psychopy\tstim" }));

        // A new name makes new streams once it has stayed a moment; without an instrument there are none.
        m_window->settings()->setLslStreamName(m_name + "b");
        QCOMPARE(statusOutlets(port), QStringList({ m_name, m_name + "-markers" }));
        QTRY_COMPARE(statusOutlets(port), QStringList({ m_name + "b-markers" }));
        QVERIFY(LslPeer::resolve(m_name + "b-markers"));
        QVERIFY(lsl::resolve_stream("name", QString(m_name + "-markers").toStdString(), 1, 1.0).empty());
        m_window->setDevice(nullptr);
        QCOMPARE(statusOutlets(port), QStringList());
        QVERIFY(rate->toolTip().contains(QStringLiteral("no stream")));
    }
};

QTEST_MAIN(TestLslOutlet)
#include "tst_lsloutlet.moc"
