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
HaemoCase channelCase(const QByteArray& name, int count, double rate = 10, bool coupled = true, double noise = 0.002)
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

private slots:
    void initTestCase()
    {
        for (const double rate : { 3.0, 3.6, 7.8125, 50.0 }) {
            HaemoCase c;
            c.name = QByteArray::number(rate) + "-Hz-filter";
            c.rate = rate;
            c.filter = true;
            m_cases << c;
        }
        HaemoCase constant = channelCase("a constant wavelength", 600);
        constant.infrared[0].assign(600, 0.1);
        HaemoCase gaps = channelCase("gaps", 900, 10, true, 0.004);
        for (Series* s : { &gaps.red[0], &gaps.infrared[0] }) {
            std::fill(s->begin() + 200, s->begin() + 260, Gap);
            std::fill(s->begin() + 700, s->begin() + 850, Gap); // leaves 50 samples, shorter than the filter
            (*s)[0] = Gap;
        }
        m_cases << channelCase("coupled", 600) << channelCase("not coupled", 600, 10, false)
                << channelCase("coupled at 4 Hz", 300, 4) << channelCase("shorter than the filter", 60)
                << channelCase("two samples", 2) << channelCase("one sample", 1) << constant << gaps;
        const QString error = m_mne.start(m_cases);
        QVERIFY2(error.isEmpty(), qPrintable(error));
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
        if (!m_mne.skip().isEmpty())
            QSKIP(qPrintable(m_mne.skip()));
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        QString reason;
        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(c.rate, {}, &reason);
        const Series expected = m_mne.values(c.name, "filter", c.rate);
        QCOMPARE(bandPass.has_value(), !expected.empty());
        if (!bandPass)
            QVERIFY2(reason.contains(QStringLiteral("at least 3.6 samples/s; the data have %1.").arg(c.rate)),
                qPrintable(reason));
        else
            QVERIFY2(relativeDifference(bandPass->coefficients(), expected) <= 1e-12, qPrintable(c.name));
    }
    // The index and the coefficient of variation against MNE's and numpy's; then, whatever the reference says, the
    // index must lie in [least, most] for what the channel looks like (a constant infrared OD replaces the channel's
    // when given).
    void index_data()
    {
        addColumns<QByteArray, double, double, double>({ "name", "constantInfrared", "least", "most" });
        addRow("coupled", QByteArray("coupled"), Gap, 0.9, 1.0);
        addRow("not coupled", QByteArray("not coupled"), Gap, -0.5, 0.5);
        addRow("coupled at 4 Hz", QByteArray("coupled at 4 Hz"), Gap, -1.0, 1.0);
        addRow("shorter than the filter", QByteArray("shorter than the filter"), Gap, -1.0, 1.0);
        addRow("two samples", QByteArray("two samples"), Gap, -1.0, 1.0);
        addRow("one sample", QByteArray("one sample"), Gap, 0.0, 0.0);
        addRow("a constant wavelength", QByteArray("a constant wavelength"), Gap, 0.0, 0.0);
        addRow("gaps", QByteArray("gaps"), Gap, -1.0, 1.0);
        // What −ln(I / mean) leaves of a constant 0.3 where the mean rounds (numpy's does, over 600 samples).
        addRow("rounding noise of a constant", QByteArray("coupled"), -2.220446049250313e-16, 0.0, 0.0);
        // Against another baseline (the live one) a constant is not 0; much shorter than the filter it comes out
        // uneven (the reflected ends do not reach across the filter).
        addRow("a constant not 0, two samples", QByteArray("two samples"), 0.05, 0.0, 0.0);
    }
    void index()
    {
        QFETCH(QByteArray, name);
        QFETCH(double, constantInfrared);
        QFETCH(double, least);
        QFETCH(double, most);
        const HaemoCase& c = caseNamed(m_cases, name);
        std::vector<Series> od = OpticalDensity::compute({ c.red[0], c.infrared[0] });
        if (!std::isnan(constantInfrared))
            od[1].assign(od[1].size(), constantInfrared);
        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(c.rate, {});
        QVERIFY(bandPass);
        const double sci = SignalQuality::scalpCouplingIndex(*bandPass, od[0], od[1]);
        QVERIFY2(sci >= least && sci <= most, qPrintable(QString::number(sci)));
        if (!std::isnan(constantInfrared))
            return;
        if (!m_mne.skip().isEmpty())
            QSKIP(qPrintable(m_mne.skip()));
        const Series expected = m_mne.values(c.name, "sci", 0);
        QCOMPARE(expected.size(), size_t(1));
        QVERIFY2(
            std::abs(sci - expected[0]) <= 1e-9, qPrintable(QStringLiteral("%1, MNE %2").arg(sci).arg(expected[0])));
        const Series cv = m_mne.values(c.name, "cv", 0);
        QVERIFY(relativeDifference({ SignalQuality::coefficientOfVariation(c.red[0]),
                                       SignalQuality::coefficientOfVariation(c.infrared[0]) },
                    cv)
            <= 1e-9);
    }

    // Long series are convolved by transforms, short ones summed (the sums are MNE's above): both give the same
    // numbers to rounding, for a series shorter than the filter, one that fills a block exactly, one that leaves a
    // block of the last pair empty, and long ones.
    void transform_data()
    {
        addColumns<double, int>({ "rate", "count" });
        addRow("50 Hz, shorter than the filter", 50.0, 300);
        addRow("50 Hz, one block", 50.0, 3546 - 2 * 550);
        addRow("50 Hz, an odd number of blocks", 50.0, 5000);
        addRow("50 Hz, ten minutes", 50.0, 30000);
        addRow("10 Hz, an hour", 10.0, 36000);
        addRow("250 Hz, a minute", 250.0, 15000);
    }
    void transform()
    {
        QFETCH(double, rate);
        QFETCH(int, count);
        const std::optional<ZeroPhaseBandPass> bandPass = ZeroPhaseBandPass::design(rate, {});
        QVERIFY(bandPass);
        const Series series = light(count, rate, 2500, 0.01, 0.003, 7, 70);
        Series summed(series.size());
        Series transformed(series.size());
        bandPass->apply(series.data(), series.size(), summed.data(), ZeroPhaseBandPass::Method::Direct);
        bandPass->apply(series.data(), series.size(), transformed.data(), ZeroPhaseBandPass::Method::Transform);
        QVERIFY2(relativeDifference(transformed, summed) <= 1e-12,
            qPrintable(QString::number(relativeDifference(transformed, summed))));
    }
};

QTEST_GUILESS_MAIN(tst_ScalpCoupling)
#include "tst_scalpcoupling.moc"
