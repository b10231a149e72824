#include "VirtualFnirDevice.h"

#include "DataRow.h"
#include "HeadModel.h"
#include "SampleClock.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

class TestVirtualFnirDevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QList<double>>(); }

    // Sizes in whole groups; the first value of a group walks by less than 10 a tick, the others stay within 10 of
    // it, also across a pause; about five samples a second.
    void walk()
    {
        VirtualFnirDevice device;
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        const auto next
            = [&spy] { return spy.wait(2000) ? spy.constLast().at(1).value<QList<double>>() : QList<double>(); };
        QVERIFY(device.connectDevice());
        QCOMPARE(next().size(), 24);
        device.setChannelCount(5);
        QCOMPARE(next().size(), 6);
        device.setChannelCount(200);
        QList<double> previous = next();
        QCOMPARE(previous.size(), 200);
        // Reseeded first values lie in [0, 999]; one step later they are within [-10, 1008].
        for (int i = 0; i < previous.size(); i += 2)
            QVERIFY(previous[i] >= -10 && previous[i] <= 1008);
        for (int tick = 0; tick < 6; ++tick) {
            if (tick == 5) {
                QVERIFY(device.disconnectDevice());
                QTest::qWait(300);
                QCOMPARE(spy.size(), 8);
                QVERIFY(device.connectDevice());
            }
            const QList<double> current = next();
            QCOMPARE(current.size(), previous.size());
            for (int i = 0; i < current.size(); ++i) {
                QCOMPARE(current[i], std::round(current[i]));
                const double step = current[i] - previous[i - i % 2];
                QVERIFY(step >= -10 && step <= 9);
            }
            previous = current;
        }

        // The timer may fire a few per cent early; a loaded machine may deliver late.
        for (int i = 1; i < 8; ++i) {
            const qint64 interval = spy.at(i).at(0).toLongLong() - spy.at(i - 1).at(0).toLongLong();
            QVERIFY(interval >= 140 && interval < 350);
        }
    }

    // The head sends whole channels at its steady rate, stamped as steady; a mark starts a response at the time it
    // was made; a pause and a new rate go on with the same head; the random walk comes back as it was.
    void head_data()
    {
        addColumns<double, int, int, int>({ "rate", "valuesPerChannel", "count", "channels" });
        addRow("R, IR at 10/s", 10.0, 2, 16, 8);
        addRow("V, R, IR at 25/s, 13 values", 25.0, 3, 13, 5);
    }
    void head()
    {
        QFETCH(double, rate);
        QFETCH(int, valuesPerChannel);
        QFETCH(int, count);
        QFETCH(int, channels);
        VirtualFnirDevice device;
        device.setValuesPerChannel(valuesPerChannel);
        device.setRate(rate);
        device.setChannelCount(count);
        QVERIFY(!device.head());
        device.setSignal(VirtualFnirDevice::Signal::Head);
        const HeadModel* head = device.head();
        QVERIFY(head);
        QCOMPARE(head->channels(), channels);
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        const auto stamp = [&spy](int i) { return spy.at(i).at(0).toLongLong(); };
        // Every stamp one sample interval after the one before, to the millisecond.
        const auto steady = [&](int from, double samplesPerSecond) {
            for (int i = from + 1; i < spy.size(); ++i) {
                if (std::abs(double(stamp(i) - stamp(i - 1)) - 1000.0 / samplesPerSecond) > 1.0)
                    return false;
            }
            return true;
        };

        QElapsedTimer clock;
        clock.start();
        QVERIFY(device.connectDevice());
        QTest::qWait(1000);
        const double seconds = clock.elapsed() / 1000.0;
        QVERIFY2(std::abs(spy.size() - seconds * rate) <= 2 + rate * 0.05, qPrintable(QString::number(spy.size())));
        QVERIFY(steady(0, rate));
        for (const QList<QVariant>& sample : std::as_const(spy)) {
            const QList<double> values = sample.at(1).value<QList<double>>();
            QCOMPARE(values.size(), channels * valuesPerChannel);
            for (const double value : values)
                QVERIFY(value >= 1 && value == std::round(value));
        }

        device.mark(SampleClock::nowMs());
        QCOMPARE(head->responses().size(), size_t(1));
        QVERIFY(std::abs(head->responses().front() - head->time()) < 1.0 / rate + 0.05);

        QVERIFY(device.disconnectDevice());
        const double pausedAt = head->time();
        QTest::qWait(300);
        const int beforeRestart = int(spy.size());
        QVERIFY(device.connectDevice());
        QTRY_VERIFY(spy.size() >= beforeRestart + 5);
        QVERIFY(head->time() > pausedAt && stamp(beforeRestart) >= stamp(beforeRestart - 1) + 300);
        const int changed = int(spy.size());
        device.setRate(2 * rate);
        QTRY_VERIFY(spy.size() >= changed + 10);
        QCOMPARE(device.head(), head);
        QCOMPARE(head->responses().size(), size_t(1));
        QVERIFY(stamp(changed) >= stamp(changed - 1) && steady(changed, 2 * rate));

        device.setSignal(VirtualFnirDevice::Signal::RandomWalk);
        QVERIFY(!device.head());
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy.constLast().at(1).value<QList<double>>().size(), count + count % 2);
    }
};

QTEST_GUILESS_MAIN(TestVirtualFnirDevice)
#include "tst_virtualfnirdevice.moc"
