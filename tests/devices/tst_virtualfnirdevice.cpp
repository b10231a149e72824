#include "VirtualFnirDevice.h"

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
};

QTEST_GUILESS_MAIN(TestVirtualFnirDevice)
#include "tst_virtualfnirdevice.moc"
