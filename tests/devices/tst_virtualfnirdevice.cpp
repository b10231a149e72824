#include "../framework/DataRow.h"
#include "VirtualFnirDevice.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

class TestVirtualFnirDevice : public QObject
{
    Q_OBJECT
private:
    static QList<double> nextSample(QSignalSpy& spy)
    {
        const qsizetype before = spy.size();
        if (!spy.wait(2000) && spy.size() == before)
            return {};
        return spy.constLast().at(1).value<QList<double>>();
    }

private slots:
    void initTestCase() { qRegisterMetaType<QList<double>>(); }

    void sampleLength_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        addRow("default", -1, 24);
        addRow("one channel", 2, 2);
        addRow("odd count rounds up to a group", 5, 6);
        addRow("single value", 1, 2);
    }
    void sampleLength()
    {
        QFETCH(int, count);
        QFETCH(int, length);
        VirtualFnirDevice device;
        if (count >= 0)
            device.setChannelCount(count);
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        QSignalSpy connected(&device, &VirtualFnirDevice::connected);
        QVERIFY(device.connectDevice());
        QCOMPARE(nextSample(spy).size(), length);
        QCOMPARE(connected.size(), 0);
    }

    void walkStaysInBounds()
    {
        VirtualFnirDevice device;
        device.setChannelCount(200);
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        QVERIFY(device.connectDevice());
        QList<double> previous = nextSample(spy);
        QCOMPARE(previous.size(), 200);
        // Reseeded first values lie in [0, 999]; one step later they are within [-10, 1008].
        for (int i = 0; i < previous.size(); i += 2)
            QVERIFY2(previous[i] >= -10 && previous[i] <= 1008, qPrintable(QString::number(previous[i])));
        for (int tick = 0; tick < 3; ++tick) {
            const QList<double> current = nextSample(spy);
            QCOMPARE(current.size(), previous.size());
            for (int i = 0; i < current.size(); ++i) {
                QCOMPARE(current[i], std::round(current[i]));
                const double step = current[i] - previous[i - i % 2];
                QVERIFY2(step >= -10 && step <= 9, qPrintable(QStringLiteral("value %1 moved by %2").arg(i).arg(step)));
            }
            previous = current;
        }
    }

    void reseedWhileRunning()
    {
        VirtualFnirDevice device;
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        QVERIFY(device.connectDevice());
        QCOMPARE(nextSample(spy).size(), 24);
        device.setChannelCount(10);
        QCOMPARE(nextSample(spy).size(), 10);
    }

    void stopAndStartContinuesTheWalk()
    {
        VirtualFnirDevice device;
        QSignalSpy spy(&device, &VirtualFnirDevice::newData);
        QVERIFY(device.connectDevice());
        const QList<double> last = nextSample(spy);
        QVERIFY(device.disconnectDevice());
        QTest::qWait(300);
        QCOMPARE(spy.size(), 1);

        QVERIFY(device.connectDevice());
        const QList<double> next = nextSample(spy);
        QCOMPARE(next.size(), last.size());
        for (int i = 0; i < next.size(); i += 2)
            QVERIFY(std::abs(next[i] - last[i]) <= 10);
    }

    void paceOfTicks()
    {
        VirtualFnirDevice device;
        QList<qint64> arrivals;
        QElapsedTimer clock;
        connect(&device, &VirtualFnirDevice::newData, this, [&] { arrivals.append(clock.elapsed()); });
        clock.start();
        QVERIFY(device.connectDevice());
        QTRY_VERIFY_WITH_TIMEOUT(arrivals.size() >= 9, 5000);
        device.disconnectDevice();
        qint64 smallest = arrivals.first();
        qint64 largest = arrivals.first();
        for (int i = 1; i < arrivals.size(); ++i) {
            const qint64 interval = arrivals[i] - arrivals[i - 1];
            smallest = qMin(smallest, interval);
            largest = qMax(largest, interval);
        }
        // The timer may fire a few per cent early; a loaded machine may deliver late.
        QVERIFY2(smallest >= 140, qPrintable(QString::number(smallest)));
        QVERIFY2(largest < 350, qPrintable(QString::number(largest)));
        const double mean = double(arrivals.last() - arrivals.first()) / double(arrivals.size() - 1);
        QVERIFY2(mean >= 150 && mean < 270, qPrintable(QString::number(mean)));
    }
};

QTEST_GUILESS_MAIN(TestVirtualFnirDevice)
#include "tst_virtualfnirdevice.moc"
