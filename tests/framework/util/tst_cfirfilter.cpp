#include "../DataRow.h"
#include "CFIRFilter.h"

#include <QTest>

#include <cmath>
#include <vector>

namespace {
constexpr double Pi = 3.14159265358979323846;

// Amplitude of the filter's steady-state answer to a unit sine (a constant for frequency 0), after settling.
double gainAt(CFIRFilter& filter, double frequency, double sampleRate)
{
    const int periods = frequency > 0 ? int(sampleRate / frequency) : 100;
    double peak = 0.0;
    for (int n = 0; n < periods * 60; ++n) {
        const double x = frequency > 0 ? std::sin(2 * Pi * frequency * n / sampleRate) : 1.0;
        const float y = filter.Process(float(x));
        if (n >= periods * 40)
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
        addRow("below 0.01 Hz", 0.005f);
        addRow("at half the rate", 10.0f);
        addRow("negative", -1.0f);
    }
    void passThroughOutsideValidCutoff()
    {
        QFETCH(float, cutoff);
        for (int kind : { 0, 1 }) {
            CFIRFilter filter(kind, cutoff, 4, 20.0f, 1);
            for (float x : { 1.5f, -300.25f, 7e6f })
                QCOMPARE(filter.Process(x), x);
        }
    }

    // Gain at DC, at the cut-off (half power, within 1 %) and in the stop band, for orders 2 and 4 (one and two
    // sections; order 3 has one section like order 2).
    void gain_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("cutoff");
        QTest::addColumn<double>("sampleRate");
        QTest::addColumn<double>("frequency");
        QTest::addColumn<double>("gain");
        QTest::addColumn<double>("tolerance");
        const double half = 1.0 / std::sqrt(2.0);
        addRow("low-pass keeps a constant", 0, 0.5, 20.0, 0.0, 1.0, 1e-4);
        addRow("high-pass removes a constant", 1, 0.5, 20.0, 0.0, 0.0, 1e-4);
        addRow("low-pass 1 Hz at 20 Hz, cut-off", 0, 1.0, 20.0, 1.0, half, 0.01 * half);
        addRow("low-pass 3 Hz at 50 Hz, cut-off", 0, 3.0, 50.0, 3.0, half, 0.01 * half);
        addRow("high-pass 1 Hz at 20 Hz, cut-off", 1, 1.0, 20.0, 1.0, half, 0.01 * half);
        addRow("high-pass 0.5 Hz at 20 Hz, cut-off", 1, 0.5, 20.0, 0.5, half, 0.01 * half);
        addRow("low-pass stop band", 0, 1.0, 20.0, 5.0, 0.0, 0.05);
        addRow("high-pass stop band", 1, 2.0, 20.0, 0.2, 0.0, 0.05);
    }
    void gain()
    {
        QFETCH(int, kind);
        QFETCH(double, cutoff);
        QFETCH(double, sampleRate);
        QFETCH(double, frequency);
        QFETCH(double, gain);
        QFETCH(double, tolerance);
        for (int order : { 2, 3, 4 }) {
            CFIRFilter filter(kind, float(cutoff), order, float(sampleRate), 1);
            QCOMPARE(filter.sectionCount(), order / 2);
            const double measured = gainAt(filter, frequency, sampleRate);
            QVERIFY2(std::fabs(measured - gain) <= tolerance,
                qPrintable(QStringLiteral("order %1 gain %2").arg(order).arg(measured)));
        }
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
        QVERIFY(run(filter, input) == first);
        QVERIFY(first != carried);
    }
};

QTEST_GUILESS_MAIN(TestCFIRFilter)
#include "tst_cfirfilter.moc"
