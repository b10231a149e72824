#include "DataGraphic.h"
#include "LslClock.h"
#include "LslMarkerFeed.h"
#include "LslMarkerInlet.h"
#include "LslMarkerQuery.h"
#include "LslPeer.h"
#include "RecordingWindow.h"
#include "VirtualFnirDevice.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTcpServer>

#include <lsl_cpp.h>

#include <cmath>
#include <memory>

namespace {

// A stimulus program's marker stream: liblsl's own outlet, the peer the program meets in a lab.
std::unique_ptr<lsl::stream_outlet> markerOutlet(const QString& name, const QString& sourceId)
{
    return std::make_unique<lsl::stream_outlet>(lsl::stream_info(
        name.toStdString(), "Markers", 1, lsl::IRREGULAR_RATE, lsl::cf_string, sourceId.toStdString()));
}

void push(lsl::stream_outlet& outlet, const QString& text, double stamp)
{
    outlet.push_sample(std::vector<std::string> { text.toStdString() }, stamp);
}

} // namespace

class TestLslMarkers : public QObject
{
    Q_OBJECT
private:
    // The inlet of the window that holds stream, or null.
    static const LslMarkerInlet::Inlet* inletOf(MainWindow* window, const QString& stream)
    {
        for (const LslMarkerInlet::Inlet& inlet : window->lslMarkers()->inlet()->inlets()) {
            if (inlet.stream == stream)
                return &inlet;
        }
        return nullptr;
    }

private slots:
    void settingLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("predicate"); // empty: refused
        QTest::newRow("name") << "PsychoPy markers"
                              << "(name='PsychoPy markers')";
        QTest::newRow("name with an apostrophe") << "Bob's cues"
                                                 << "(name=\"Bob's cues\")";
        QTest::newRow("name with both quotes") << "Bob's \"cues\"" << QString();
        QTest::newRow("predicate") << "type='Markers' or name='x'"
                                   << "(type='Markers' or name='x')";
        QTest::newRow("parenthesis inside a quote") << "name='a)'"
                                                    << "(name='a)')";
        QTest::newRow("predicate reaching past its line") << "name='a') or (true()" << QString();
        QTest::newRow("quote left open") << "name='a" << QString();
        QTest::newRow("parenthesis left open") << "starts-with(name,'a'" << QString();
    }
    void settingLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, predicate);
        const QList<LslMarkerQuery::Line> lines = LslMarkerQuery::parse(QStringLiteral("\n  ") + line + "  \n\n");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.constFirst().text, line);
        QCOMPARE(lines.constFirst().predicate, predicate);
        QCOMPARE(lines.constFirst().refusal.isEmpty(), !predicate.isEmpty());
    }

    // A stimulus program's markers during a record of the virtual instrument, sent at random times and in bursts
    // faster than the HTTP budget: every one lands once in the events at its sender's time, between the samples
    // around it; the stream goes away and comes back, and its markers after the return are recorded too. The
    // program's own marker stream, matched by the same predicate, is left out.
    void markersIntoTheRecord()
    {
        RecordingWindow fixture;
        QVERIFY(fixture.open(HalvexSettings::Acquire_VRIR));
        MainWindow* window = fixture.window.get();
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        window->settings()->setMarkPort(port);
        // Other programs on this computer may publish marker streams too: this test's carry its process id.
        const QString id = QString::number(QCoreApplication::applicationPid());
        window->settings()->setLslStreamName("Halvex-" + id);
        window->settings()->setLslMarkerStreams("type='Markers' and starts-with(source_id,'" + id + "-')");
        window->setDevice(new VirtualFnirDevice(window));

        std::unique_ptr<lsl::stream_outlet> stimuli = markerOutlet("Stimuli", id + "-stimulus-pc");
        const std::unique_ptr<lsl::stream_outlet> own = markerOutlet("Halvex-" + id + "-markers", id + "-own");
        QTRY_VERIFY_WITH_TIMEOUT(inletOf(window, "Stimuli") && stimuli->have_consumers(), 10000);
        QTest::qWait(2 * 500); // two rounds of the resolver, which would take up the own stream if it did
        QCOMPARE(window->lslMarkers()->inlet()->inlets().size(), 1);
        const QJsonObject status = LslPeer::status(port);
        QCOMPARE(status.value("inlets"),
            QJsonArray({ QJsonObject {
                { "name", "Stimuli" }, { "host", inletOf(window, "Stimuli")->host }, { "connected", true } } }));
        QVERIFY(fixture.child<QWidget>("aboutButton")->toolTip().contains("Stimuli"));

        push(*stimuli, "before the record", lsl::local_clock());
        QTest::qWait(100);
        window->startRecord();
        QTRY_VERIFY(RecordingWindow::recordBytes(".csv").count('\n') >= 3);
        const qint64 start = window->recordSession()->recordStart();
        // Stamped before the start, received after it: no part of the record.
        push(*stimuli, "stamped before the record", LslClock::fromSampleMs(start - 50));
        push(*own, "own", lsl::local_clock());
        QRandomGenerator random(32);
        QMap<QString, double> sent; // text: its sender's stamp on the sample clock
        for (int i = 0; i < 200; ++i) {
            const double stamp = lsl::local_clock() - random.bounded(0.03);
            push(*stimuli, QStringLiteral("m%1").arg(i), stamp);
            sent.insert(QStringLiteral("m%1").arg(i), LslClock::toSampleMs(stamp));
            QTest::qWait(random.bounded(8));
        }

        const auto received = [] {
            QStringList texts;
            for (const RecordEvents::Event& event : RecordEvents::read(RecordingWindow::recordFile(".events")).events) {
                if (event.source.startsWith("lsl:"))
                    texts << event.text;
            }
            return texts;
        };
        // liblsl drops what an inlet holds but has not pulled once it sees the outlet closed, so the outlet stays
        // until its markers are in the record, as the README asks of a stimulus program.
        QTRY_VERIFY_WITH_TIMEOUT(received().size() >= sent.size(), 10000);
        stimuli.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!inletOf(window, "Stimuli")->connected, 10000);
        QCOMPARE(LslPeer::status(port).value("inlets").toArray().at(0).toObject().value("connected"), false);
        stimuli = markerOutlet("Stimuli", id + "-stimulus-pc");
        QTRY_VERIFY_WITH_TIMEOUT(stimuli->have_consumers(), 15000);
        for (int i = 0; i < 20; ++i)
            push(*stimuli, QStringLiteral("r%1").arg(i), lsl::local_clock());
        QStringList expected = sent.keys();
        for (int i = 0; i < 20; ++i)
            expected << QStringLiteral("r%1").arg(i);
        if (!QTest::qWaitFor([&] { return received().size() >= expected.size(); }, 10000))
            qWarning("Not every marker arrived in time");
        const qsizetype lines = RecordingWindow::recordBytes(".csv").count('\n');
        QTRY_VERIFY(RecordingWindow::recordBytes(".csv").count('\n') > lines + 1);
        window->stopRecord();

        QStringList texts = received();
        texts.sort();
        expected.sort();
        QStringList missing = expected;
        missing.removeIf([&texts](const QString& text) { return texts.contains(text); });
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
        QCOMPARE(texts, expected);
        QList<qint64> samples;
        for (const QByteArray& line : RecordingWindow::recordBytes(".csv").split('\n').mid(1)) {
            if (!line.trimmed().isEmpty())
                samples << line.split(';').at(0).toLongLong();
        }
        const QList<RecordEvents::Event> events = RecordEvents::read(RecordingWindow::recordFile(".events")).events;
        for (const RecordEvents::Event& event : events) {
            if (!sent.contains(event.text))
                continue;
            QCOMPARE(event.source, "lsl:Stimuli");
            // The same computer: the time correction is a few microseconds.
            QVERIFY2(
                std::abs(double(event.time) - (sent.value(event.text) - double(start))) <= 1.0, qPrintable(event.text));
            QVERIFY(samples.constFirst() <= event.time && event.time <= samples.constLast());
        }
        for (DataGraphic* graph : window->graphs())
            QCOMPARE(graph->eventCount(), events.size());
    }
};

QTEST_MAIN(TestLslMarkers)
#include "tst_lslmarkers.moc"
