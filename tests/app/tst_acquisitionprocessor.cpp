#include "AcquisitionProcessor.h"
#include "DataRow.h"

#include <QTest>

using Processor = AcquisitionProcessor;
using Samples = QList<QList<double>>;
using Doubles = QList<double>;
using Ints = QList<int>;

class TestAcquisitionProcessor : public QObject
{
    Q_OBJECT
private slots:
    void process_data()
    {
        // smoothing: before each sample, the last one for the rest; processed: of the last sample
        addColumns<int, Ints, QString, Samples, Doubles, Ints>(
            { "variant", "smoothing", "montage", "samples", "processed", "positions" });

        const int VRIR = Processor::Acquire_VRIR, RIR = Processor::Acquire_RIR, aRIR = Processor::Acquire_aRIR;
        const Doubles twelve { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12.6 };
        QTest::newRow("V-R-IR uses triples as they come")
            << VRIR << Ints { 20 } << QString() << Samples { twelve } << twelve << Ints { 0, 1, 2, 3 };
        QTest::newRow("R-IR baseline on the first sample")
            << RIR << Ints { 20 } << QString() << Samples { { 10, 14 } } << Doubles { 10, 10, 10 } << Ints { 0 };
        QTest::newRow("smoothing 1 rebases onto the first value")
            << RIR << Ints { 1 } << QString() << Samples { { 100, 250.75 }, { -40, 13.25 } }
            << Doubles { -40, -39.75, -40 } << Ints { 0 };
        // Lowered to 1, the history keeps the newest value only, as if it had always been 1.
        QTest::newRow("smoothing lowered to 1")
            << RIR << Ints { 20, 20, 1 } << QString() << Samples { { 7, 3 }, { 100, 250.75 }, { -40, 13.25 } }
            << Doubles { -40, -39.75, -40 } << Ints { 0 };
        QTest::newRow("a montage of fewer graphs smooths every channel")
            << aRIR << Ints { 20 } << "1" << Samples { { 10, 17, 5, 1 } } << Doubles { 10, 10, 10, 5, 5, 5 }
            << Ints { 0 };
        // Beyond the int range (two readings run together): the histories hold the nearest int.
        QTest::newRow("values beyond the int range") << RIR << Ints { 1 } << QString() << Samples { { 0, 1e12 } }
                                                     << Doubles { 0, 1e12 - 2147483647.0, 0 } << Ints { 0 };
        QTest::newRow("alternating 12 channels reorders")
            << aRIR << Ints { 20 } << QString() << Samples { Doubles(24, 1.0) } << Doubles(36, 1.0)
            << Ints { 0, 6, 1, 7, 2, 8, 3, 9, 4, 10, 5, 11 };
        QTest::newRow("alternating 10 channels keeps order")
            << aRIR << Ints { 20 } << QString() << Samples { Doubles(20, 1.0) } << Doubles(30, 1.0)
            << Ints { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
        QTest::newRow("R-IR 12 channels keeps order")
            << RIR << Ints { 20 } << QString() << Samples { Doubles(24, 1.0) } << Doubles(36, 1.0)
            << Ints { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 };
        // Channels outside the montage are still processed; instrument channel 4 (zero-based) is on position 3.
        QTest::newRow("montage places") << RIR << Ints { 20 } << " 1=Fp1;2=Fp2 \n\n3=C3;5;x;0\n"
                                        << Samples { Doubles(12, 2.0) } << Doubles(18, 2.0) << Ints { 0, 1, 2, 3 };
        QTest::newRow("montage naming a channel twice uses the first")
            << RIR << Ints { 20 } << "2;2" << Samples { { 1, 2, 3, 4 } } << Doubles { 1, 1, 1, 3, 3, 3 } << Ints { 0 };
    }

    void process()
    {
        QFETCH(int, variant);
        QFETCH(Ints, smoothing);
        QFETCH(QString, montage);
        QFETCH(Samples, samples);
        QFETCH(QList<double>, processed);
        Processor p;
        p.setVariant(variant);
        p.loadMontage(!montage.isEmpty(), montage);
        Processor::Output out;
        for (qsizetype i = 0; i < samples.size(); ++i) {
            p.setSmoothing(smoothing.at(qMin(i, smoothing.size() - 1)));
            p.process(samples.at(i), out);
        }
        QCOMPARE(out.processed, processed);
        QList<int> positions;
        for (const auto& g : out.graphs) {
            positions << g.graph;
            if (montage.isEmpty())
                QCOMPARE(Doubles(g.triple.cbegin(), g.triple.cend()), processed.mid(3 * (positions.size() - 1), 3));
        }
        QTEST(positions, "positions");
    }

    void montageTextAndAverage()
    {
        Processor p;
        p.loadMontage(true, QStringLiteral(" 1=Fp1;2=Fp2 \n\n3=C3;5;x;0\n"));
        QVERIFY(p.montageActive && p.montageCount == 4 && p.montageMaxRow == 2);
        QCOMPARE(p.montageNames, (QMap<int, QString> { { 0, "Fp1" }, { 1, "Fp2" }, { 2, "C3" } }));
        p.loadMontage(true, QStringLiteral(" \n "));
        QVERIFY(!p.montageActive);
        p.loadMontage(false, QStringLiteral("1"));
        QVERIFY(!p.montageActive);
        QCOMPARE(QList<int>({ Processor::integerAverage({}), Processor::integerAverage({ -7, -2 }),
                     Processor::integerAverage({ 7, 2 }) }),
            QList<int>({ 0, -4, 4 }));
    }
};

QTEST_GUILESS_MAIN(TestAcquisitionProcessor)
#include "tst_acquisitionprocessor.moc"
