// The live signal check, fed sample by sample, against what the light looks like and against the offline index
// (SignalQuality, itself checked against MNE-Python in tst_scalpcoupling) over the same window.
#include "DataRow.h"
#include "LiveQuality.h"
#include "MneReference.h"
#include "OpticalDensity.h"
#include "SignalQuality.h"

#include <QTest>

#include <cmath>

namespace {

constexpr double Window = 10; // s

// Feeds the channels' samples at times i / rate from start on, and returns how many updates they made.
int feed(LiveQuality& live, const std::vector<Series>& red, const std::vector<Series>& infrared, double rate,
    double start = 0)
{
    int updates = 0;
    Series r(red.size()), ir(red.size());
    for (size_t i = 0; i < red[0].size(); ++i) {
        for (size_t c = 0; c < red.size(); ++c) {
            r[c] = red[c][i];
            ir[c] = infrared[c][i];
        }
        updates += live.push(start + double(i) / rate, r.data(), ir.data()) ? 1 : 0;
    }
    return updates;
}

Series tail(const Series& s, size_t count)
{
    return Series(s.end() - std::ptrdiff_t(count), s.end());
}

enum Kind { Pulse, NoiseOnly, Constant, ConstantInfrared, GapInWindow, GapOverWindow, Zeros, Clipped };

// One kind of light at 10 samples/s; the infrared is 1.2 times as bright as the red.
void makeLight(Kind kind, double level, int count, Series& red, Series& infrared)
{
    const bool coupled = kind != NoiseOnly;
    red = light(count, 10, level, coupled ? 0.01 : 0, coupled ? 0.002 : 0.01, 7, 70);
    infrared = light(count, 10, level * 1.2, coupled ? 0.012 : 0, coupled ? 0.002 : 0.01, coupled ? 7 : 8, 80);
    if (kind == Constant)
        red.assign(red.size(), level);
    if (kind == Constant || kind == ConstantInfrared)
        infrared.assign(infrared.size(), level * 1.2);
    const auto blank = [&](int from, int to, double value) {
        for (Series* s : { &red, &infrared })
            std::fill(s->begin() + from, s->begin() + to, value);
    };
    if (kind == GapInWindow)
        blank(count - 60, count - 30, Gap); // 3 s of the window's last 10
    if (kind == GapOverWindow)
        blank(count - 120, count, Gap);
    if (kind == Zeros)
        blank(count - 40, count - 20, 0.0);
    if (kind == Clipped) {
        // Half of the samples at the ceiling of the converter: each wavelength's own level.
        for (double& v : red)
            v = std::min(v, level);
        for (double& v : infrared)
            v = std::min(v, level * 1.2);
    }
}

} // namespace

class tst_LiveQuality : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;

private slots:
    // Light at 10 and 50 samples/s, coupled or not.
    void initTestCase()
    {
        for (const double rate : { 10.0, 50.0 }) {
            for (const bool coupled : { true, false }) {
                const int count = int(35 * rate) + 1; // the last sample brings an update
                HaemoCase c;
                c.name = QByteArray::number(rate) + (coupled ? " pulse" : " noise");
                c.rate = rate;
                c.red.push_back(light(count, rate, 2500, coupled ? 0.01 : 0, coupled ? 0.003 : 0.01, 7, 70));
                c.infrared.push_back(
                    light(count, rate, 3100, coupled ? 0.012 : 0, coupled ? 0.003 : 0.01, coupled ? 7 : 8, 80));
                m_cases << c;
            }
        }
    }

    // What the numbers say of one channel's light (channel 0; channel 1 is a steady light at otherLevel, the
    // largest value seen when the rows ask for it).
    void quality_data()
    {
        addColumns<int, int, double, double, double, bool, double, double, bool, bool>({ "kind", "seconds", "level",
            "otherLevel", "saturationLevel", "known", "sciLeast", "sciMost", "saturated", "dark" });
        addRow("pulse shared by both wavelengths", int(Pulse), 35, 2500.0, 1000.0, 1e6, true, 0.9, 1.0, false, false);
        addRow("noise only", int(NoiseOnly), 35, 2500.0, 1000.0, 1e6, true, -0.5, 0.5, false, false);
        addRow("constant", int(Constant), 35, 2500.0, 1000.0, 1e6, true, 0.0, 0.0, false, false);
        addRow("one wavelength constant", int(ConstantInfrared), 35, 2500.0, 1000.0, 1e6, true, 0.0, 0.0, false, false);
        addRow("a gap of 3 s in the window", int(GapInWindow), 35, 2500.0, 1000.0, 1e6, true, 0.9, 1.0, false, false);
        addRow("intensities of 0 in the window", int(Zeros), 35, 2500.0, 1000.0, 1e6, true, 0.9, 1.0, false, false);
        addRow(
            "a gap over the whole window", int(GapOverWindow), 35, 2500.0, 1000.0, 1e6, false, 0.0, 0.0, false, false);
        addRow("window not yet full", int(Pulse), 20, 2500.0, 1000.0, 1e6, false, 0.0, 0.0, false, false);
        addRow("saturated: at the level set", int(Pulse), 35, 2500.0, 1000.0, 2900.0, true, 0.9, 1.0, true, false);
        addRow(
            "not saturated: below the level set", int(Pulse), 35, 2500.0, 1000.0, 3200.0, true, 0.9, 1.0, false, false);
        // Clipped at 3000 (infrared); no level set.
        addRow(
            "clipped at the largest value seen", int(Clipped), 35, 2500.0, 1000.0, 0.0, true, -1.0, 1.0, true, false);
        addRow("clipped 1 % below the largest value seen", int(Clipped), 35, 2500.0, 3000 / 0.99, 0.0, true, -1.0, 1.0,
            true, false);
        addRow("clipped 3 % below the largest value seen", int(Clipped), 35, 2500.0, 3000 / 0.97, 0.0, true, -1.0, 1.0,
            false, false);
        // The brightest light of an instrument that never clips is near the largest value seen, but moves.
        addRow("brightest, never clipped", int(Pulse), 35, 2500.0, 1000.0, 0.0, true, 0.9, 1.0, false, false);
        addRow("dark", int(Pulse), 35, 0.8, 1000.0, 1e6, true, 0.9, 1.0, false, true);
        addRow("just bright enough", int(Pulse), 35, 1.1, 1000.0, 1e6, true, 0.9, 1.0, false, false);
    }
    void quality()
    {
        QFETCH(int, kind);
        QFETCH(int, seconds);
        QFETCH(double, level);
        QFETCH(double, otherLevel);
        QFETCH(double, saturationLevel);
        QFETCH(bool, known);
        QFETCH(double, sciLeast);
        QFETCH(double, sciMost);
        QFETCH(bool, saturated);
        QFETCH(bool, dark);
        const int count = seconds * 10 + 1;
        std::vector<Series> red(2), infrared(2);
        makeLight(Kind(kind), level, count, red[0], infrared[0]);
        red[1].assign(size_t(count), otherLevel);
        infrared[1].assign(size_t(count), otherLevel);

        LiveQuality live(2, Window);
        live.setSaturationLevel(saturationLevel);
        live.setDarkLevel(1.0);
        QCOMPARE(feed(live, red, infrared, 10), seconds); // once a second of sample time
        QCOMPARE(live.rate(), 10.0);
        const LiveQuality::Quality q = live.qualities()[0];
        QCOMPARE(q.known, known);
        if (!known)
            return;
        QVERIFY2(q.sci >= sciLeast && q.sci <= sciMost, qPrintable(QString::number(q.sci)));
        QCOMPARE(q.saturated, saturated);
        QCOMPARE(q.dark, dark);
        // The larger of the two wavelengths' coefficients over the window's samples.
        const size_t m = size_t(Window * 10);
        const double cv = std::max(SignalQuality::coefficientOfVariation(tail(red[0], m)),
            SignalQuality::coefficientOfVariation(tail(infrared[0], m)));
        QCOMPARE(q.cvPercent, cv);
        QVERIFY(live.qualities()[1].known && live.qualities()[1].sci == 0);
    }

    // Live against offline on the window's last 10 s: the same filter, so within 0.1 of the offline index (whose
    // window ends are reflected where the live filter has the samples before them).
    void againstOffline_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_cases.size(); ++i)
            QTest::newRow(m_cases[i].name.constData()) << i;
    }
    void againstOffline()
    {
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        LiveQuality live(1, Window);
        live.setSaturationLevel(1e6);
        feed(live, c.red, c.infrared, c.rate, 1000.0);
        const LiveQuality::Quality q = live.qualities()[0];
        QVERIFY(q.known);

        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(c.rate, {});
        const size_t m = size_t(std::lround(Window * c.rate));
        const std::vector<Series> od = OpticalDensity::compute({ tail(c.red[0], m), tail(c.infrared[0], m) });
        const double offline = SignalQuality::scalpCouplingIndex(*bandPass, od[0], od[1]);
        const bool coupled = c.name.endsWith("pulse");
        QVERIFY2(coupled ? std::abs(q.sci - offline) <= 0.1 : std::abs(q.sci) < 0.5,
            qPrintable(QStringLiteral("live %1, offline %2").arg(q.sci).arg(offline)));
    }

    // The band-pass follows the measured sampling rate; one too low for the band says so and nothing is known.
    void rates_data()
    {
        addColumns<double, double, bool, QString>({ "firstRate", "laterRate", "known", "problem" });
        addRow("steady 25 samples/s", 25.0, 25.0, true, "");
        addRow("10, then 50 samples/s", 10.0, 50.0, true, "");
        addRow("2 samples/s", 2.0, 2.0, false, "at least 3.6 samples/s; the data have 2.");
    }
    void rates()
    {
        QFETCH(double, firstRate);
        QFETCH(double, laterRate);
        QFETCH(bool, known);
        QFETCH(QString, problem);
        LiveQuality live(1, Window);
        double end = 0;
        for (const double rate : { firstRate, laterRate }) {
            const int count = int(30 * rate);
            const std::vector<Series> red { light(count, rate, 2500, 0.01, 0.002, 7, 70) };
            const std::vector<Series> infrared { light(count, rate, 3100, 0.012, 0.002, 7, 80) };
            feed(live, red, infrared, rate, end);
            end += 30;
        }
        QVERIFY2(std::abs(live.rate() / laterRate - 1) <= LiveQuality::RateTolerance + 0.01,
            qPrintable(QString::number(live.rate())));
        QCOMPARE(live.qualities()[0].known, known);
        if (known)
            QVERIFY2(live.qualities()[0].sci > 0.9, qPrintable(QString::number(live.qualities()[0].sci)));
        QVERIFY2(problem.isEmpty() ? live.problem().isEmpty() : live.problem().endsWith(problem),
            qPrintable(live.problem()));
    }
};

QTEST_GUILESS_MAIN(tst_LiveQuality)
#include "tst_livequality.moc"
