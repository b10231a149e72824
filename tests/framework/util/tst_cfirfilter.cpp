#include "../DataRow.h"
#include "CFIRFilter.h"

#include <QTest>

#include <cmath>
#include <vector>

namespace {
constexpr double Pi = 3.14159265358979323846;
const double HalfPower = 1.0 / std::sqrt(2.0);

// Amplitude of the filter's steady-state answer to a unit sine, measured over whole periods after settling.
double gainAt(CFIRFilter& filter, double frequency, double sampleRate)
{
    const int settle = int(sampleRate / frequency * 40);
    const int measure = int(sampleRate / frequency * 20);
    double peak = 0.0;
    for (int n = 0; n < settle + measure; ++n) {
        const float y = filter.Process(float(std::sin(2 * Pi * frequency * n / sampleRate)));
        if (n >= settle)
            peak = std::max(peak, double(std::fabs(y)));
    }
    return peak;
}

std::vector<float> run(CFIRFilter& filter, const std::vector<float>& input)
{
    std::vector<float> output(input.size());
    filter.Process(input.data(), output.data(), int(input.size()));
    return output;
}
} // namespace

class TestCFIRFilter : public QObject
{
    Q_OBJECT
private slots:
    void passThroughOutsideValidCutoff_data()
    {
        QTest::addColumn<float>("cutoff");
        QTest::addColumn<float>("sampleRate");
        addRow("below 0.01 Hz", 0.005f, 20.0f);
        addRow("at half the rate", 10.0f, 20.0f);
        addRow("above half the rate", 15.0f, 20.0f);
        addRow("negative", -1.0f, 20.0f);
    }
    void passThroughOutsideValidCutoff()
    {
        QFETCH(float, cutoff);
        QFETCH(float, sampleRate);
        for (int kind : { 0, 1 }) {
            CFIRFilter filter(kind, cutoff, 4, sampleRate, 1);
            QCOMPARE(filter.sectionCount(), 0);
            for (float x : { 1.5f, -300.25f, 0.0f, 7e6f })
                QCOMPARE(filter.Process(x), x);
            filter.Reset();
        }
    }

    void sectionsPerOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("sections");
        addRow("1", 1, 0);
        addRow("2", 2, 1);
        addRow("3", 3, 1);
        addRow("4", 4, 2);
        addRow("8", 8, 4);
    }
    void sectionsPerOrder()
    {
        QFETCH(int, order);
        QFETCH(int, sections);
        CFIRFilter filter(0, 1.0f, order, 20.0f, 1);
        QCOMPARE(filter.sectionCount(), sections);
        QCOMPARE(filter.name(), QStringLiteral("CFIR"));
    }

    void lowPassKeepsConstant()
    {
        for (int order : { 2, 4, 6 }) {
            CFIRFilter filter(0, 0.5f, order, 20.0f, 1);
            float y = 0;
            for (int n = 0; n < 2000; ++n)
                y = filter.Process(42.0f);
            QVERIFY2(std::fabs(y - 42.0f) < 1e-3f, qPrintable(QString::number(y)));
        }
    }

    void highPassRemovesConstant()
    {
        CFIRFilter filter(1, 0.5f, 2, 20.0f, 1);
        float first = filter.Process(100.0f);
        float y = first;
        for (int n = 0; n < 2000; ++n)
            y = filter.Process(100.0f);
        QVERIFY(std::fabs(first) > 10.0f);
        QVERIFY2(std::fabs(y) < 1e-3f, qPrintable(QString::number(y)));
    }

    void highPassDesignsMirrorLowPass()
    {
        CFIRFilter filter(1, 1.0f, 2, 20.0f, 1);
        QCOMPARE(filter.cutoff(), 9.0f);
        CFIRFilter lowPass(0, 1.0f, 2, 20.0f, 1);
        QCOMPARE(lowPass.cutoff(), 1.0f);
    }

    void gainAtCutoffIsHalfPower_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("cutoff");
        QTest::addColumn<double>("sampleRate");
        addRow("low-pass 1 Hz at 20 Hz", 0, 1.0, 20.0);
        addRow("low-pass 3 Hz at 50 Hz", 0, 3.0, 50.0);
        addRow("high-pass 1 Hz at 20 Hz", 1, 1.0, 20.0);
        addRow("high-pass 0.5 Hz at 20 Hz", 1, 0.5, 20.0);
    }
    void gainAtCutoffIsHalfPower()
    {
        QFETCH(int, kind);
        QFETCH(double, cutoff);
        QFETCH(double, sampleRate);
        for (int order : { 2, 4 }) {
            CFIRFilter filter(kind, float(cutoff), order, float(sampleRate), 1);
            const double gain = gainAt(filter, cutoff, sampleRate);
            QVERIFY2(std::fabs(gain - HalfPower) < 0.01 * HalfPower,
                qPrintable(QStringLiteral("order %1 gain %2").arg(order).arg(gain)));
        }
    }

    void stopBandAttenuates()
    {
        CFIRFilter lowPass(0, 1.0f, 4, 20.0f, 1);
        QVERIFY(gainAt(lowPass, 5.0, 20.0) < 0.05);
        CFIRFilter highPass(1, 2.0f, 4, 20.0f, 1);
        QVERIFY(gainAt(highPass, 0.2, 20.0) < 0.05);
    }

    void resetReproducesOutput()
    {
        std::vector<float> input;
        for (int n = 0; n < 300; ++n)
            input.push_back(float(std::sin(n * 0.3) * 50 + (n % 7)));
        CFIRFilter filter(1, 0.7f, 4, 20.0f, 1);
        const auto first = run(filter, input);
        const auto carried = run(filter, input);
        filter.Reset();
        const auto second = run(filter, input);
        QVERIFY(first == second);
        QVERIFY(first != carried);
    }
};

QTEST_GUILESS_MAIN(TestCFIRFilter)
#include "tst_cfirfilter.moc"
