// Optical density and the Beer–Lambert law against MNE-Python 1.3 (optical_density, beer_lambert_law) and scipy.
#include "BeerLambert.h"
#include "DataRow.h"
#include "ExtinctionTable.h"
#include "MneReference.h"
#include "OpticalDensity.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(std::vector<Series>)

namespace {

HaemoCase recordCase(const QByteArray& name, int channels, int count, double rate)
{
    HaemoCase c;
    c.name = name;
    c.rate = rate;
    for (int k = 0; k < channels; ++k) {
        c.red.push_back(light(count, rate, 2000 + 300 * k, 0.01, 0.003, 10 + k, 100 + k));
        c.infrared.push_back(light(count, rate, 3000 - 200 * k, 0.012, 0.003, 10 + k, 200 + k));
    }
    return c;
}

} // namespace

class tst_Haemoglobin : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;
    MneReference m_mne;
    QString m_skip;
    double m_worstOd = 0;
    double m_worstHb = 0;

private slots:
    void initTestCase()
    {
        m_cases << recordCase("two channels, 10 Hz", 2, 600, 10);
        HaemoCase zeros = recordCase("zero intensities", 2, 300, 10);
        zeros.red[0][5] = zeros.red[0][77] = 0;
        zeros.infrared[1][0] = 0;
        m_cases << zeros;
        HaemoCase negatives = recordCase("negative intensities", 2, 300, 10);
        negatives.infrared[1][10] = -40;
        negatives.red[0][299] = -3000;
        m_cases << negatives;
        HaemoCase constant = recordCase("a constant channel", 2, 300, 10);
        constant.red[1].assign(300, 1234.5);
        constant.infrared[1].assign(300, 0.1);
        m_cases << constant;
        HaemoCase gaps = recordCase("gaps", 3, 500, 10);
        for (std::vector<Series>* series : { &gaps.red, &gaps.infrared }) {
            for (Series& s : *series) {
                std::fill(s.begin() + 100, s.begin() + 131, Gap);
                s[0] = s[400] = s[499] = Gap;
            }
        }
        m_cases << gaps;
        m_cases << recordCase("one sample", 2, 1, 10);
        HaemoCase other = recordCase("690 and 830 nm, 25 mm, ppf 5.5", 2, 300, 10);
        other.redWavelength = 690;
        other.infraredWavelength = 830;
        other.distanceMm = 25;
        other.ppf = 5.5;
        m_cases << other;
        HaemoCase between = recordCase("wavelengths between rows", 1, 300, 10);
        between.redWavelength = 761.3;
        between.infraredWavelength = 849.7;
        m_cases << between;
        HaemoCase ends = recordCase("near the table's ends", 1, 300, 10);
        // MNE pairs channels by their names sorted as text: both wavelengths need three digits.
        ends.redWavelength = 250;
        ends.infraredWavelength = 998;
        m_cases << ends;
        m_cases << recordCase("six channels, 50 Hz, 6 minutes", 6, 18000, 50);
        HaemoCase table;
        table.name = "extinction";
        table.extinction = { 250, 251, 251.5, 300, 690, 759.999, 760, 760.5, 761.3, 849.7, 850, 999, 1000, 249.99,
            1000.01, 1100, 0 };
        m_cases << table;

        m_skip = MneReference::missing();
        if (m_skip.isEmpty()) {
            const QString error = m_mne.run(m_cases);
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
    }

    void cleanupTestCase()
    {
        qInfo("largest difference from MNE relative to the channel's largest |value|: OD %.3g, HbO/HbR %.3g", m_worstOd,
            m_worstHb);
    }

    void agreesWithMne_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_cases.size(); ++i) {
            if (!m_cases[i].red.empty())
                QTest::newRow(m_cases[i].name.constData()) << i;
        }
    }
    void agreesWithMne()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        // MNE corrects non-positive intensities over all series at once.
        std::vector<Series> intensities;
        for (size_t k = 0; k < c.red.size(); ++k) {
            intensities.push_back(c.red[k]);
            intensities.push_back(c.infrared[k]);
        }
        const std::vector<Series> od = OpticalDensity::compute(intensities);
        QString reason;
        const std::optional<BeerLambert> law
            = BeerLambert::create({ c.redWavelength, c.infraredWavelength, c.distanceMm, c.ppf }, &reason);
        QVERIFY2(law, qPrintable(reason));
        for (size_t k = 0; k < c.red.size(); ++k) {
            Series oxy;
            Series deoxy;
            law->convert(od[2 * k], od[2 * k + 1], oxy, deoxy);
            const double channel = double(k);
            // A constant channel has OD and HbO/HbR 0 here and rounding noise in MNE (1e-16, 1e-14 µM), so its scale
            // is taken as at least 1e-6 OD and 1e-3 µM.
            const double odDifference
                = std::max(relativeDifference(od[2 * k], m_mne.values(c.name, "od_red", channel), 1e-6),
                    relativeDifference(od[2 * k + 1], m_mne.values(c.name, "od_infrared", channel), 1e-6));
            const double hbDifference = std::max(relativeDifference(oxy, m_mne.values(c.name, "oxy", channel), 1e-3),
                relativeDifference(deoxy, m_mne.values(c.name, "deoxy", channel), 1e-3));
            m_worstOd = std::max(m_worstOd, odDifference);
            m_worstHb = std::max(m_worstHb, hbDifference);
            QVERIFY2(odDifference <= 1e-9, qPrintable(QStringLiteral("channel %1: OD %2").arg(k).arg(odDifference)));
            QVERIFY2(hbDifference <= 1e-9, qPrintable(QStringLiteral("channel %1: Hb %2").arg(k).arg(hbDifference)));
        }
    }

    // scipy's interp1d over MNE's table: the same numbers between rows, nothing outside.
    void extinction_data()
    {
        QTest::addColumn<double>("wavelength");
        for (const double wavelength : m_cases.last().extinction)
            QTest::newRow(qPrintable(QStringLiteral("%1 nm").arg(wavelength))) << wavelength;
    }
    void extinction()
    {
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        QFETCH(double, wavelength);
        const Series expected = m_mne.values("extinction", "extinction", wavelength);
        QCOMPARE(expected.size(), size_t(2));
        const ExtinctionTable::Row row = ExtinctionTable::at(wavelength);
        QCOMPARE(ExtinctionTable::covers(wavelength), !std::isnan(expected[0]));
        QVERIFY2(relativeDifference({ row.oxy, row.deoxy }, expected) <= 1e-14,
            qPrintable(
                QStringLiteral("%1 %2 against %3 %4").arg(row.oxy).arg(row.deoxy).arg(expected[0]).arg(expected[1])));
    }

    // MNE's rule for non-positive light, with its floor taken from the series without a zero.
    void correctIntensities_data()
    {
        addColumns<std::vector<Series>, std::vector<Series>, bool>({ "in", "out", "changed" });
        addRow("positive untouched", std::vector<Series> { { 1, 2 }, { 3, 0.5 } },
            std::vector<Series> { { 1, 2 }, { 3, 0.5 } }, false);
        addRow("negative to magnitude", std::vector<Series> { { -2, 4 }, { 3, 5 } },
            std::vector<Series> { { 2, 4 }, { 3, 5 } }, true);
        addRow("zero to the other series' smallest", std::vector<Series> { { 0, 1, 10 }, { 3, 4 } },
            std::vector<Series> { { 3, 3, 10 }, { 3, 4 } }, true);
        addRow("zero in every series: smallest positive", std::vector<Series> { { 0, 2 }, { 5, 0 } },
            std::vector<Series> { { 2, 2 }, { 5, 2 } }, true);
        addRow("zeros only", std::vector<Series> { { 0, 0 } }, std::vector<Series> { { 0, 0 } }, true);
        addRow("gap stays", std::vector<Series> { { Gap, -1, 2 }, { 1, 1, 1 } },
            std::vector<Series> { { Gap, 1, 2 }, { 1, 1, 1 } }, true);
    }
    void correctIntensities()
    {
        QFETCH(std::vector<Series>, in);
        QFETCH(std::vector<Series>, out);
        QTEST(OpticalDensity::correctIntensities(in), "changed");
        for (size_t k = 0; k < out.size(); ++k)
            QCOMPARE(relativeDifference(in[k], out[k]), 0.0);
    }

    void seriesOfZerosHasNoChange()
    {
        const std::vector<Series> od = OpticalDensity::compute({ { 0, 0, 0 }, { 0, Gap, 0 } });
        QCOMPARE(relativeDifference(od[0], { 0, 0, 0 }), 0.0);
        QCOMPARE(relativeDifference(od[1], { 0, Gap, 0 }), 0.0);
    }

    void refuses_data()
    {
        addColumns<double, double, double, double, QString>({ "red", "infrared", "distance", "ppf", "reason" });
        addRow("usual settings", 760.0, 850.0, 30.0, 6.0, QString());
        addRow("red below the table", 249.0, 850.0, 30.0, 6.0, QStringLiteral("249 nm lies outside"));
        addRow("infrared above the table", 760.0, 1001.0, 30.0, 6.0, QStringLiteral("(250 to 1000 nm)"));
        addRow("top of the settings' range", 760.0, 1100.0, 30.0, 6.0, QStringLiteral("1100 nm lies outside"));
        addRow("equal wavelengths", 800.0, 800.0, 30.0, 6.0, QStringLiteral("choose two different"));
        addRow("no distance", 760.0, 850.0, 0.0, 6.0, QStringLiteral("above 0 mm, not 0"));
        addRow("distance not a number", 760.0, 850.0, Gap, 6.0, QStringLiteral("above 0 mm, not nan"));
        addRow("negative factor", 760.0, 850.0, 30.0, -6.0, QStringLiteral("factor must be above 0, not -6"));
    }
    void refuses()
    {
        QFETCH(double, red);
        QFETCH(double, infrared);
        QFETCH(double, distance);
        QFETCH(double, ppf);
        QFETCH(QString, reason);
        QString why;
        const std::optional<BeerLambert> law = BeerLambert::create({ red, infrared, distance, ppf }, &why);
        QCOMPARE(law.has_value(), reason.isEmpty());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(tst_Haemoglobin)
#include "tst_haemoglobin.moc"
