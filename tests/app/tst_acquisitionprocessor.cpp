#include "AcquisitionProcessor.h"

#include <QTest>

using Processor = AcquisitionProcessor;

class TestAcquisitionProcessor : public QObject
{
    Q_OBJECT
private slots:
    void vrirUsesTriplesAsTheyCome()
    {
        Processor p;
        p.setVariant(Processor::Acquire_VRIR);
        p.resetHistories(p.displayedCount(12));
        QCOMPARE(p.historyCount(), 4);
        Processor::Output out;
        const QList<double> data { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12.6 };
        p.process(data, out);
        QCOMPARE(out.processed, data);
        QCOMPARE(out.graphs.size(), 4);
        QCOMPARE(out.graphs.at(3).graph, 3);
        QCOMPARE(out.graphs.at(3).triple[2], 12.6);
    }

    void rirBaselineOnFirstSample()
    {
        Processor p;
        p.setVariant(Processor::Acquire_RIR);
        p.resetHistories(1);
        Processor::Output out;
        p.process({ 10, 14 }, out);
        QCOMPARE(out.processed, (QList<double> { 10, 10, 10 }));
    }

    void smoothingOfOneRebasesOntoFirstValue()
    {
        Processor p;
        p.setVariant(Processor::Acquire_RIR);
        p.setSmoothing(1);
        p.resetHistories(1);
        Processor::Output out;
        for (const auto& sample : { QList<double> { 100, 250.75 }, QList<double> { -40, 13.25 } }) {
            p.process(sample, out);
            QCOMPARE(out.processed.at(0), sample.at(0));
            QCOMPARE(out.processed.at(1), sample.at(0) + (sample.at(1) - std::trunc(sample.at(1))));
            QCOMPARE(out.processed.at(2), sample.at(0));
        }
        QCOMPARE(p.historySecond.at(0).size(), 1);
    }

    void historiesAreBoundedBySmoothing()
    {
        Processor p;
        p.setVariant(Processor::Acquire_aRIR);
        p.setSmoothing(5);
        p.resetHistories(2);
        Processor::Output out;
        for (int n = 0; n < 50; ++n)
            p.process({ double(n), double(2 * n), 1.0, 3.0 }, out);
        for (const auto* history : { &p.historyMagnitude, &p.historySecond, &p.historyThird }) {
            for (const auto& list : *history)
                QCOMPARE(list.size(), 5);
        }
        // The magnitude average is over the last five |b - a| = 45 … 49.
        QCOMPARE(p.historyMagnitude.at(0), (QList<int> { 45, 46, 47, 48, 49 }));
    }

    void withoutHistoriesTheThirdIsThePlainMagnitude()
    {
        Processor p;
        p.setVariant(Processor::Acquire_aRIR);
        p.loadMontage(true, QStringLiteral("1"));
        p.resetHistories(p.displayedCount(4));
        Processor::Output out;
        p.process({ 10, 17, 5, 1 }, out);
        QCOMPARE(out.processed, (QList<double> { 10, 17, 7, 5, 1, 4 }));
        QCOMPARE(out.graphs.size(), 1);
        QCOMPARE(out.graphs.at(0).graph, 0);
    }

    void graphPositions_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("values");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("alternating 12 channels reorders")
            << int(Processor::Acquire_aRIR) << 24 << QList<int> { 0, 6, 1, 7, 2, 8, 3, 9, 4, 10, 5, 11 };
        QTest::newRow("alternating 10 channels keeps order")
            << int(Processor::Acquire_aRIR) << 20 << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
        QTest::newRow("R-IR 12 channels keeps order")
            << int(Processor::Acquire_RIR) << 24 << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 };
    }
    void graphPositions()
    {
        QFETCH(int, variant);
        QFETCH(int, values);
        QFETCH(QList<int>, positions);
        Processor p;
        p.setVariant(variant);
        p.resetHistories(p.displayedCount(values));
        Processor::Output out;
        p.process(QList<double>(values, 1.0), out);
        QList<int> seen;
        for (const auto& g : out.graphs)
            seen.append(g.graph);
        QCOMPARE(seen, positions);
    }

    void montage()
    {
        Processor p;
        p.loadMontage(true, QStringLiteral(" 1=Fp1;2=Fp2 \n\n3=C3;5;x;0\n"));
        QVERIFY(p.montageActive);
        QCOMPARE(p.montageCount, 4);
        QCOMPARE(p.montageMaxRow, 2);
        QCOMPARE(p.montageRows.size(), 2);
        QCOMPARE(p.montageRows.at(1).at(1).number, 4);
        QCOMPARE(p.montageRows.at(1).at(1).name, QStringLiteral("4"));
        QCOMPARE(p.montageNames.value(0), QStringLiteral("Fp1"));
        QVERIFY(!p.montageNames.contains(4));

        p.setVariant(Processor::Acquire_RIR);
        p.resetHistories(p.displayedCount(12));
        Processor::Output out;
        p.process(QList<double>(12, 2.0), out);
        QCOMPARE(out.processed.size(), 18); // channels outside the montage are still processed
        QList<int> seen;
        for (const auto& g : out.graphs)
            seen.append(g.graph);
        QCOMPARE(seen, (QList<int> { 0, 1, 2, 3 })); // instrument channel 4 (zero-based) on position 3

        p.loadMontage(true, QStringLiteral(" \n "));
        QVERIFY(!p.montageActive);
        p.loadMontage(false, QStringLiteral("1"));
        QVERIFY(!p.montageActive);
    }

    void montageNamingAChannelTwiceUsesTheFirst()
    {
        Processor p;
        p.setVariant(Processor::Acquire_RIR);
        p.loadMontage(true, QStringLiteral("2;2"));
        p.resetHistories(p.displayedCount(4));
        Processor::Output out;
        p.process({ 1, 2, 3, 4 }, out);
        QCOMPARE(out.graphs.size(), 1);
        QCOMPARE(out.graphs.at(0).graph, 0);
    }

    void integerAverage()
    {
        QCOMPARE(Processor::integerAverage({}), 0);
        QCOMPARE(Processor::integerAverage({ -7 }), -7);
        QCOMPARE(Processor::integerAverage({ -7, -2 }), -4);
        QCOMPARE(Processor::integerAverage({ 7, 2 }), 4);
    }

    void formatSampleLine()
    {
        QCOMPARE(Processor::formatSampleLine(0, {}), QByteArray("0\r\n"));
        QCOMPARE(Processor::formatSampleLine(-15, { 1.5, -2.5, 3.49, -0.2, 1e9 }),
            QByteArray("-15;2;-3;3;-0;1000000000\r\n"));
        QCOMPARE(Processor::formatSampleLine(7, { qQNaN(), qInf() }), QByteArray("7;nan;inf\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionProcessor)
#include "tst_acquisitionprocessor.moc"
