#include "../DataRow.h"
#include "FrameRateCounter.h"

#include <QSignalSpy>
#include <QTest>

class tst_FrameRateCounter : public QObject
{
    Q_OBJECT
private slots:
    void rate_data()
    {
        QTest::addColumn<int>("accumulator");
        QTest::addColumn<QList<qint64>>("timestamps");
        QTest::addColumn<double>("expected");

        addRow("one event", 10, QList<qint64> { 1000 }, 0.0);
        addRow("same time divides by one", 10, QList<qint64> { 1000, 1000 }, 1000.0);
        addRow("steady 100 Hz", 10, QList<qint64> { 0, 10, 20, 30, 40 }, 100.0);
        // Eleven timestamps (ten intervals) are kept: the slow start has dropped out of the window.
        addRow("window of ten intervals", 10,
            QList<qint64> { 0, 1000, 1010, 1020, 1030, 1040, 1050, 1060, 1070, 1080, 1090, 1100 }, 100.0);
        addRow("accumulator of two", 2, QList<qint64> { 0, 500, 600, 700 }, 10.0);
        addRow("accumulator below one is one", 0, QList<qint64> { 0, 100, 150 }, 20.0);
    }

    void rate()
    {
        QFETCH(int, accumulator);
        QFETCH(QList<qint64>, timestamps);
        QFETCH(double, expected);

        FrameRateCounter counter;
        counter.setAccumulator(accumulator);
        QSignalSpy changed(&counter, &FrameRateCounter::frameRateChanged);
        for (qint64 timestamp : timestamps)
            counter.nextFrame(timestamp);
        QCOMPARE(counter.getFrameRate(), expected);
        QCOMPARE(counter.frames(), int(timestamps.size()));
        QCOMPARE(changed.count(), int(timestamps.size()));
        QCOMPARE(changed.last().at(0).toDouble(), expected);
    }

    void smallerAccumulatorDropsEverySurplusTimestamp()
    {
        FrameRateCounter counter;
        for (qint64 timestamp : { 0, 10, 20, 1020 })
            counter.nextFrame(timestamp);
        counter.setAccumulator(1);
        counter.nextFrame(1030);
        QCOMPARE(counter.getFrameRate(), 100.0);
    }

    void restartKeepsTimestamps()
    {
        FrameRateCounter counter;
        counter.nextFrame(0);
        counter.nextFrame(100);
        QSignalSpy changed(&counter, &FrameRateCounter::frameRateChanged);
        counter.restart();
        QCOMPARE(counter.getFrameRate(), 0.0);
        QCOMPARE(counter.frames(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toDouble(), 0.0);
        counter.nextFrame(200);
        QCOMPARE(counter.getFrameRate(), 10.0);
    }
};

QTEST_GUILESS_MAIN(tst_FrameRateCounter)
#include "tst_frameratecounter.moc"
