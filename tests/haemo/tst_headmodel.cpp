// The model head judged by the offline numbers: its badly coupled channels by the scalp coupling index, its
// responses by turning the light back into haemoglobin and averaging the epochs around the marks.
#include "BeerLambert.h"
#include "DataRow.h"
#include "HeadModel.h"
#include "OpticalDensity.h"
#include "SignalQuality.h"
#include "ZeroPhaseBandPass.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using Series = std::vector<double>;

// Per channel, the series of each of the values the model sends.
struct Light
{
    std::vector<Series> ambient;
    std::vector<Series> red;
    std::vector<Series> infrared;
};

// samples of the model, with a response started at each of marks (seconds) when the model's time reaches it.
Light run(HeadModel& model, int samples, int valuesPerChannel, const Series& marks = {})
{
    const int channels = model.channels();
    Light light;
    light.ambient.resize(size_t(channels));
    light.red.resize(size_t(channels));
    light.infrared.resize(size_t(channels));
    std::vector<double> sample(size_t(channels * valuesPerChannel));
    auto mark = marks.begin();
    for (int i = 0; i < samples; ++i) {
        for (; mark != marks.end() && *mark <= model.time() + 1e-9; ++mark)
            model.stimulate(*mark);
        model.next(sample.data(), valuesPerChannel);
        for (int c = 0; c < channels; ++c) {
            const double* values = sample.data() + c * valuesPerChannel;
            if (valuesPerChannel == 3)
                light.ambient[size_t(c)].push_back(*values++);
            light.red[size_t(c)].push_back(values[0]);
            light.infrared[size_t(c)].push_back(values[1]);
        }
    }
    return light;
}

HeadModel::Settings settings(int channels, double rate, int badEvery, quint64 seed, BeerLambert::Settings optics = {})
{
    HeadModel::Settings s;
    s.channels = channels;
    s.rate = rate;
    s.badChannelEvery = badEvery;
    s.seed = seed;
    s.optics = optics;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(HeadModel::Settings)

class tst_HeadModel : public QObject
{
    Q_OBJECT
private slots:
    // Over 30 s the scalp coupling index tells the badly coupled channels (every n-th) from the others; every value
    // is a positive whole count.
    void coupling_data()
    {
        addColumns<HeadModel::Settings, int>({ "settings", "valuesPerChannel" });
        addRow("12 channels at 10/s, every 6th bad", settings(12, 10, 6, 1), 2);
        addRow("V-R-IR, 8 channels at 25/s, every 3rd bad", settings(8, 25, 3, 7), 3);
        addRow("16 channels at 5/s, every 4th bad", settings(16, 5, 4, 11), 2);
        addRow("5 channels, none bad", settings(5, 10, 0, 3), 2);
    }
    void coupling()
    {
        QFETCH(HeadModel::Settings, settings);
        QFETCH(int, valuesPerChannel);
        const int channels = settings.channels;
        const double rate = settings.rate;
        const int badEvery = settings.badChannelEvery;
        HeadModel model(settings);
        const Light light = run(model, int(30 * rate), valuesPerChannel);
        const std::optional<ZeroPhaseBandPass> filter = ZeroPhaseBandPass::design(rate, {});
        QVERIFY(filter);
        for (int c = 0; c < channels; ++c) {
            for (const std::vector<Series>* kind : { &light.ambient, &light.red, &light.infrared }) {
                for (const double value : (*kind)[size_t(c)])
                    QVERIFY2(value >= 1 && value == std::round(value), qPrintable(QString::number(value)));
            }
            QCOMPARE(light.ambient[size_t(c)].size(), valuesPerChannel == 3 ? light.red[size_t(c)].size() : 0);
            const std::vector<Series> od = OpticalDensity::compute({ light.red[size_t(c)], light.infrared[size_t(c)] });
            const double sci = SignalQuality::scalpCouplingIndex(*filter, od[0], od[1]);
            const bool bad = badEvery > 0 && (c + 1) % badEvery == 0;
            QCOMPARE(model.isBadlyCoupled(c), bad);
            QVERIFY2(bad ? sci < 0.5 : sci > 0.75,
                qPrintable(QStringLiteral("channel %1 (%2): SCI %3").arg(c + 1).arg(bad ? "bad" : "good").arg(sci)));
        }
    }

    // 20 marks 30 s apart: the light, turned back into haemoglobin by optical density and the Beer–Lambert law of
    // the same optics, averaged over the epochs around the marks (each against its 2 s before the mark), shows the
    // injected response on the first half of the channels and none on the other half.
    void response_data()
    {
        addColumns<HeadModel::Settings>({ "settings" });
        addRow("12 channels at 10/s, 760/850 nm", settings(12, 10, 6, 5, { 760, 850, 30, 6 }));
        addRow("9 channels at 20/s, 690/830 nm, ppf 7, 35 mm", settings(9, 20, 6, 21, { 690, 830, 35, 7 }));
    }
    void response()
    {
        QFETCH(HeadModel::Settings, settings);
        const int channels = settings.channels;
        const double rate = settings.rate;
        HeadModel model(settings);
        constexpr int Marks = 20;
        constexpr double Spacing = 30;
        constexpr double First = 15;
        Series marks;
        for (int k = 0; k < Marks; ++k)
            marks.push_back(First + k * Spacing);
        const Light light = run(model, int((First + Marks * Spacing) * rate), 2, marks);
        const std::optional<BeerLambert> law = BeerLambert::create(settings.optics);
        QVERIFY(law);

        const int before = int(2 * rate);
        const int width = int(rate);
        // The mean over the epochs, each against its 2 s before the mark, in 1 s means that take the pulse out;
        // entry i is centred 0.5 s after sample i of the epoch.
        const auto averaged = [&](const Series& x) {
            Series mean(size_t(15 * rate), 0.0);
            for (const double mark : marks) {
                const auto at = x.begin() + std::lround(mark * rate);
                const double base = std::accumulate(at - before, at, 0.0) / before;
                for (size_t i = 0; i < mean.size(); ++i)
                    mean[i] += (at[qsizetype(i)] - base) / Marks;
            }
            Series smooth;
            for (auto i = mean.begin(); i + width <= mean.end(); ++i)
                smooth.push_back(std::accumulate(i, i + width, 0.0) / width);
            return smooth;
        };
        for (int c = 0; c < channels; ++c) {
            if (model.isBadlyCoupled(c))
                continue; // its noise hides any response
            const std::vector<Series> od = OpticalDensity::compute({ light.red[size_t(c)], light.infrared[size_t(c)] });
            Series oxy;
            Series deoxy;
            law->convert(od[0], od[1], oxy, deoxy);
            const Series meanOxy = averaged(oxy);
            const Series meanDeoxy = averaged(deoxy);
            const auto highest = std::max_element(meanOxy.begin(), meanOxy.end());
            const double peak = *highest;
            const double peakTime = (double(highest - meanOxy.begin()) + width / 2.0) / rate;
            const double trough = *std::min_element(meanDeoxy.begin(), meanDeoxy.end());
            const auto magnitude = [](double a, double b) { return std::abs(a) < std::abs(b); };
            const double largest = std::max(std::abs(*std::max_element(meanOxy.begin(), meanOxy.end(), magnitude)),
                std::abs(*std::max_element(meanDeoxy.begin(), meanDeoxy.end(), magnitude)));
            const QString what = QStringLiteral("channel %1: HbO peak %2 µM at %3 s, HbR trough %4 µM")
                                     .arg(c + 1)
                                     .arg(peak)
                                     .arg(peakTime)
                                     .arg(trough);
            // The first half of the head, channel 5 of 9 included.
            const bool stimulated = c < (channels + 1) / 2;
            QCOMPARE(model.isStimulated(c), stimulated);
            if (stimulated) {
                QVERIFY2(std::abs(peak - HeadModel::ResponseOxy) <= 0.1 * HeadModel::ResponseOxy, qPrintable(what));
                QVERIFY2(std::abs(peakTime - HeadModel::ResponsePeakSeconds) <= 1.5, qPrintable(what));
                QVERIFY2(
                    std::abs(trough - HeadModel::ResponseDeoxy) <= 0.2 * -HeadModel::ResponseDeoxy, qPrintable(what));
            } else {
                QVERIFY2(largest < 0.1, qPrintable(what));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_HeadModel)
#include "tst_headmodel.moc"
