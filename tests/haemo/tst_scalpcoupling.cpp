// The band-pass and the scalp coupling index against MNE-Python 1.3 (create_filter, filter_data,
// scalp_coupling_index), and the coefficient of variation against numpy.
#include "DataRow.h"
#include "MneReference.h"
#include "OpticalDensity.h"
#include "SignalQuality.h"
#include "ZeroPhaseBandPass.h"

#include <QTest>

#include <cmath>

namespace {

// One channel a case: coupled (the same pulse at both wavelengths) or not, as loud as noise says.
HaemoCase channelCase(const QByteArray& name, int count, double rate, bool coupled, double noise)
{
    HaemoCase c;
    c.name = name;
    c.rate = rate;
    c.red.push_back(light(count, rate, 2500, 0.01, noise, 7, 70));
    c.infrared.push_back(light(count, rate, 3100, 0.012, noise, coupled ? 7 : 8, 80));
    return c;
}

} // namespace

class tst_ScalpCoupling : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;
    MneReference m_mne;
    QString m_skip;
    double m_worstFilter = 0;
    double m_worstSci = 0;

    void skipWithoutMne()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
    }

private slots:
    void initTestCase()
    {
        for (const double rate : { 3.0, 3.6, 4.0, 7.8125, 10.0, 12.5, 50.0, 250.0 }) {
            HaemoCase c;
            c.name = QByteArray::number(rate) + "-Hz-filter";
            c.rate = rate;
            c.filter = true;
            m_cases << c;
        }
        m_cases << channelCase("coupled", 600, 10, true, 0.002) << channelCase("not coupled", 600, 10, false, 0.002)
                << channelCase("noisy but coupled", 600, 10, true, 0.01)
                << channelCase("coupled at 50 Hz", 3000, 50, true, 0.004)
                << channelCase("coupled at 4 Hz", 300, 4, true, 0.002)
                << channelCase("shorter than the filter", 60, 10, true, 0.002)
                << channelCase("two samples", 2, 10, true, 0.002) << channelCase("one sample", 1, 10, true, 0.002);
        HaemoCase constant = channelCase("a constant wavelength", 600, 10, true, 0.002);
        constant.infrared[0].assign(600, 0.1);
        m_cases << constant;
        HaemoCase gaps = channelCase("gaps", 900, 10, true, 0.004);
        for (Series* s : { &gaps.red[0], &gaps.infrared[0] }) {
            std::fill(s->begin() + 200, s->begin() + 260, Gap);
            std::fill(s->begin() + 700, s->begin() + 850, Gap); // leaves 50 samples, shorter than the filter
            (*s)[0] = Gap;
        }
        m_cases << gaps;

        m_skip = MneReference::missing();
        if (m_skip.isEmpty()) {
            const QString error = m_mne.run(m_cases);
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
    }

    void cleanupTestCase()
    {
        qInfo("largest difference from MNE: band-pass coefficients %.3g (relative), scalp coupling index %.3g",
            m_worstFilter, m_worstSci);
    }

    void filter_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_cases.size(); ++i) {
            if (m_cases[i].filter)
                QTest::newRow(m_cases[i].name.constData()) << i;
        }
    }
    void filter()
    {
        skipWithoutMne();
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        QString reason;
        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(c.rate, {}, &reason);
        QCOMPARE(bandPass.has_value(), !m_mne.has(c.name, "refused"));
        if (!bandPass) {
            QCOMPARE(reason,
                QStringLiteral("A band-pass from 0.7 to 1.5 Hz with 0.3 and 0.3 Hz transition bands needs a sampling "
                               "rate of at least 3.6 samples/s; the data have %1.")
                    .arg(c.rate));
            return;
        }
        const double difference = relativeDifference(bandPass->coefficients(), m_mne.values(c.name, "filter", c.rate));
        m_worstFilter = std::max(m_worstFilter, difference);
        QVERIFY2(difference <= 1e-12, qPrintable(QString::number(difference)));
    }

    void index_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_cases.size(); ++i) {
            if (!m_cases[i].red.empty())
                QTest::newRow(m_cases[i].name.constData()) << i;
        }
    }
    void index()
    {
        skipWithoutMne();
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        const std::vector<Series> od = OpticalDensity::compute({ c.red[0], c.infrared[0] });
        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(c.rate, {});
        QVERIFY(bandPass);
        const double sci = SignalQuality::scalpCouplingIndex(*bandPass, od[0], od[1]);
        const Series expected = m_mne.values(c.name, "sci", 0);
        QCOMPARE(expected.size(), size_t(1));
        m_worstSci = std::max(m_worstSci, std::abs(sci - expected[0]));
        QVERIFY2(
            std::abs(sci - expected[0]) <= 1e-9, qPrintable(QStringLiteral("%1, MNE %2").arg(sci).arg(expected[0])));

        const Series cv = m_mne.values(c.name, "cv", 0);
        QCOMPARE(cv.size(), size_t(2));
        QVERIFY(relativeDifference({ SignalQuality::coefficientOfVariation(c.red[0]),
                                       SignalQuality::coefficientOfVariation(c.infrared[0]) },
                    cv)
            <= 1e-9);
    }

    // What a channel looks like decides the index, whatever the reference says.
    void meaning_data()
    {
        addColumns<QByteArray, double, double, double>({ "name", "constantInfrared", "least", "most" });
        addRow("coupled", QByteArray("coupled"), Gap, 0.9, 1.0);
        addRow("not coupled", QByteArray("not coupled"), Gap, -0.5, 0.5);
        addRow("a constant wavelength", QByteArray("a constant wavelength"), Gap, 0.0, 0.0);
        // What −ln(I / mean) leaves of a constant 0.3 where the mean rounds (numpy's does, over 600 samples).
        addRow("rounding noise of a constant", QByteArray("coupled"), -2.220446049250313e-16, 0.0, 0.0);
        // Against another baseline (the live one) a constant is not 0; much shorter than the filter it comes out
        // uneven (the reflected ends do not reach across the filter).
        addRow("a constant not 0, two samples", QByteArray("two samples"), 0.05, 0.0, 0.0);
        addRow("one sample", QByteArray("one sample"), Gap, 0.0, 0.0);
    }
    void meaning()
    {
        QFETCH(QByteArray, name);
        QFETCH(double, constantInfrared);
        QFETCH(double, least);
        QFETCH(double, most);
        const auto c = std::find_if(m_cases.begin(), m_cases.end(), [&](const HaemoCase& c) { return c.name == name; });
        std::vector<Series> od = OpticalDensity::compute({ c->red[0], c->infrared[0] });
        if (!std::isnan(constantInfrared))
            od[1].assign(od[1].size(), constantInfrared);
        const double sci = SignalQuality::scalpCouplingIndex(*ZeroPhaseBandPass::design(c->rate, {}), od[0], od[1]);
        QVERIFY2(sci >= least && sci <= most, qPrintable(QString::number(sci)));
    }
};

QTEST_GUILESS_MAIN(tst_ScalpCoupling)
#include "tst_scalpcoupling.moc"
