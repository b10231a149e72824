// The live haemoglobin, fed sample by sample, against the offline computation of the same samples.
#include "BeerLambert.h"
#include "DataRow.h"
#include "LiveHaemoglobin.h"
#include "MneReference.h"
#include "OpticalDensity.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A series whose first `baseline` samples have the mean of the whole: the rest are those samples shuffled, again
// and again. Live (I₀ from the baseline) and offline (I₀ from everything) then share their I₀.
Series repeatedBaseline(const Series& baseline, int repeats, unsigned seed)
{
    Series out = baseline;
    std::mt19937 random(seed);
    for (int r = 0; r < repeats; ++r) {
        Series copy = baseline;
        std::shuffle(copy.begin(), copy.end(), random);
        out.insert(out.end(), copy.begin(), copy.end());
    }
    return out;
}

} // namespace

class tst_LiveHaemoglobin : public QObject
{
    Q_OBJECT
private slots:
    void agreesWithOffline_data()
    {
        addColumns<int, double, double, int, int>({ "channels", "rate", "baselineSeconds", "repeats", "gapAt" });
        addRow("a gap in the baseline", 2, 10.0, 5.0, 3, 7);
        addRow("3 s at 7.8125 Hz", 3, 7.8125, 3.0, 5, -1);
        addRow("baseline of one sample", 2, 10.0, 0.0, 3, -1);
    }
    void agreesWithOffline()
    {
        QFETCH(int, channels);
        QFETCH(double, rate);
        QFETCH(double, baselineSeconds);
        QFETCH(int, repeats);
        QFETCH(int, gapAt);
        const int baselineCount = std::max(1, int(std::ceil(baselineSeconds * rate - 1e-9)));
        const std::optional<BeerLambert> law = BeerLambert::create({});
        std::vector<Series> red, infrared, oxy(static_cast<size_t>(channels)), deoxy(static_cast<size_t>(channels));
        for (int c = 0; c < channels; ++c) {
            Series r = light(baselineCount, rate, 1500 + 100 * c, 0.01, 0.004, c, 10 + c);
            Series ir = light(baselineCount, rate, 2500 - 100 * c, 0.01, 0.004, c, 20 + c);
            if (gapAt >= 0)
                r[size_t(gapAt)] = ir[size_t(gapAt)] = Gap;
            red.push_back(repeatedBaseline(r, repeats, 3));
            infrared.push_back(repeatedBaseline(ir, repeats, 3));
            const std::vector<Series> od = OpticalDensity::compute({ red.back(), infrared.back() });
            law->convert(od[0], od[1], oxy[size_t(c)], deoxy[size_t(c)]);
        }

        // Nothing shows until the baseline is complete, then all of it with the sample that completes it.
        LiveHaemoglobin live(*law, channels, baselineSeconds);
        std::vector<Series> liveOxy(static_cast<size_t>(channels)), liveDeoxy(static_cast<size_t>(channels));
        Series times, r(static_cast<size_t>(channels)), ir(static_cast<size_t>(channels));
        for (size_t i = 0; i < red[0].size(); ++i) {
            for (size_t c = 0; c < size_t(channels); ++c) {
                r[c] = red[c][i];
                ir[c] = infrared[c][i];
            }
            const int ready = live.push(double(i) / rate, r.data(), ir.data());
            QCOMPARE(ready, int(i) < baselineCount ? 0 : int(i) == baselineCount ? baselineCount + 1 : 1);
            for (int k = 0; k < ready; ++k) {
                times.push_back(live.readyTime(k));
                for (int c = 0; c < channels; ++c) {
                    liveOxy[size_t(c)].push_back(live.oxy(k)[c]);
                    liveDeoxy[size_t(c)].push_back(live.deoxy(k)[c]);
                }
            }
        }
        QCOMPARE(times.size(), red[0].size());
        for (size_t i = 0; i < times.size(); ++i)
            QCOMPARE(times[i], double(i) / rate);
        for (size_t c = 0; c < size_t(channels); ++c) {
            QVERIFY2(relativeDifference(liveOxy[c], oxy[c]) <= 1e-9, qPrintable(QString::number(c)));
            QVERIFY2(relativeDifference(liveDeoxy[c], deoxy[c]) <= 1e-9, qPrintable(QString::number(c)));
        }
    }

    // Reset starts a new baseline: what follows is computed against the new samples only.
    void resetStartsANewBaseline()
    {
        const std::optional<BeerLambert> law = BeerLambert::create({});
        LiveHaemoglobin live(*law, 1, 1.0);
        const double first[2] = { 1000, 2000 };
        const double second[2] = { 500, 800 };
        for (int i = 0; i < 20; ++i)
            live.push(i * 0.1, &first[0], &first[1]);
        live.reset();
        for (int i = 0; i < 10; ++i)
            QCOMPARE(live.push(10 + i * 0.1, &second[0], &second[1]), 0);
        QCOMPARE(live.push(11, &second[0], &second[1]), 11);
        QCOMPARE(live.oxy(10)[0], 0.0);
        QCOMPARE(live.deoxy(0)[0], 0.0);
    }

    // Non-positive light: its magnitude, and a zero raised to the baseline's smallest positive value.
    void nonPositiveIntensities_data()
    {
        addColumns<double, double, double>({ "later", "baselineLow", "expectedIntensity" });
        addRow("negative to its magnitude", -900.0, 400.0, 900.0);
        addRow("zero to the smallest of the baseline", 0.0, 400.0, 400.0);
        addRow("zero in the baseline too", 0.0, 0.0, 1000.0);
    }
    void nonPositiveIntensities()
    {
        QFETCH(double, later);
        QFETCH(double, baselineLow);
        QFETCH(double, expectedIntensity);
        const std::optional<BeerLambert> law = BeerLambert::create({});
        LiveHaemoglobin live(*law, 1, 0.25);
        const double infrared = 1000;
        const double baseline[3] = { 1000, baselineLow, 1600 };
        for (int i = 0; i < 3; ++i)
            QCOMPARE(live.push(0.1 * i, &baseline[i], &infrared), 0);
        QCOMPARE(live.push(1, &later, &infrared), 4);
        // The baseline's zero is raised too: to the smallest positive light of the baseline, here the infrared's.
        const double i0 = live.baselineRed()[0];
        QCOMPARE(i0, (1000 + (baselineLow > 0 ? baselineLow : infrared) + 1600) / 3);
        const BeerLambert::Haemoglobin expected = (*law)(-std::log(expectedIntensity / i0), 0.0);
        QCOMPARE(live.oxy(3)[0], expected.oxy);
        QCOMPARE(live.deoxy(3)[0], expected.deoxy);
    }
};

QTEST_GUILESS_MAIN(tst_LiveHaemoglobin)
#include "tst_livehaemoglobin.moc"
