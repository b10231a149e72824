// Optical density and the Beer–Lambert law against MNE-Python 1.3 (optical_density, beer_lambert_law) and scipy.
#include "BeerLambert.h"
#include "DataRow.h"
#include "ExtinctionTable.h"
#include "MneReference.h"
#include "OpticalDensity.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(std::vector<Series>)
Q_DECLARE_METATYPE(BeerLambert::Settings)

namespace {

HaemoCase recordCase(const QByteArray& name, int channels, int count, double red = 760, double infrared = 850)
{
    HaemoCase c;
    c.name = name;
    c.redWavelength = red;
    c.infraredWavelength = infrared;
    for (int k = 0; k < channels; ++k) {
        c.red.push_back(light(count, c.rate, 2000 + 300 * k, 0.01, 0.003, 10 + k, 100 + k));
        c.infrared.push_back(light(count, c.rate, 3000 - 200 * k, 0.012, 0.003, 10 + k, 200 + k));
    }
    return c;
}

} // namespace

class tst_Haemoglobin : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;
    MneReference m_mne;

private slots:
    void initTestCase()
    {
        HaemoCase awkward = recordCase("zeros, negatives and a constant channel", 3, 300);
        awkward.red[0][5] = awkward.red[0][77] = awkward.infrared[1][0] = 0;
        awkward.infrared[1][10] = -40;
        awkward.red[0][299] = -3000;
        awkward.red[2].assign(300, 1234.5);
        awkward.infrared[2].assign(300, 0.1);
        HaemoCase gaps = recordCase("gaps", 3, 500);
        for (std::vector<Series>* series : { &gaps.red, &gaps.infrared }) {
            for (Series& s : *series) {
                std::fill(s.begin() + 100, s.begin() + 131, Gap);
                s[0] = s[400] = s[499] = Gap;
            }
        }
        HaemoCase other = recordCase("690 and 830 nm, 25 mm, ppf 5.5", 2, 300, 690, 830);
        other.distanceMm = 25;
        other.ppf = 5.5;
        // MNE pairs channels by their names sorted as text: both wavelengths need three digits.
        m_cases << awkward << gaps << recordCase("one sample", 2, 1) << other
                << recordCase("wavelengths between rows", 1, 300, 761.3, 849.7)
                << recordCase("near the table's ends", 1, 300, 250, 998);
        HaemoCase table;
        table.name = "extinction";
        table.extinction = { 250, 251.5, 300, 759.999, 760.5, 849.7, 1000, 249.99, 1000.01, 0 };
        m_cases << table;
        const QString error = m_mne.start(m_cases);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void agreesWithMne_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_cases.size() - 1; ++i)
            QTest::newRow(m_cases[i].name.constData()) << i;
    }
    void agreesWithMne()
    {
        if (!m_mne.skip().isEmpty())
            QSKIP(qPrintable(m_mne.skip()));
        QFETCH(int, index);
        const HaemoCase& c = m_cases[index];
        // MNE corrects non-positive intensities over all series at once.
        std::vector<Series> intensities;
        for (size_t k = 0; k < c.red.size(); ++k)
            intensities.insert(intensities.end(), { c.red[k], c.infrared[k] });
        const std::vector<Series> od = OpticalDensity::compute(intensities);
        QString reason;
        const std::optional<BeerLambert> law
            = BeerLambert::create({ c.redWavelength, c.infraredWavelength, c.distanceMm, c.ppf }, &reason);
        QVERIFY2(law, qPrintable(reason));
        for (size_t k = 0; k < c.red.size(); ++k) {
            Series hb[2];
            law->convert(od[2 * k], od[2 * k + 1], hb[0], hb[1]);
            // A constant channel has OD and HbO/HbR 0 here and rounding noise in MNE (1e-16, 1e-14 µM), so its scale
            // is taken as at least 1e-6 OD and 1e-3 µM.
            const Series* ours[4] = { &od[2 * k], &od[2 * k + 1], &hb[0], &hb[1] };
            const char* keys[4] = { "od_red", "od_infrared", "oxy", "deoxy" };
            for (int i = 0; i < 4; ++i) {
                const double difference
                    = relativeDifference(*ours[i], m_mne.values(c.name, keys[i], double(k)), i < 2 ? 1e-6 : 1e-3);
                QVERIFY2(difference <= 1e-9,
                    qPrintable(QStringLiteral("channel %1 %2: %3").arg(k).arg(keys[i]).arg(difference)));
            }
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
        if (!m_mne.skip().isEmpty())
            QSKIP(qPrintable(m_mne.skip()));
        QFETCH(double, wavelength);
        const Series expected = m_mne.values("extinction", "extinction", wavelength);
        QCOMPARE(expected.size(), size_t(2));
        const ExtinctionTable::Row row = ExtinctionTable::at(wavelength);
        QCOMPARE(ExtinctionTable::covers(wavelength), !std::isnan(expected[0]));
        QVERIFY2(relativeDifference({ row.oxy, row.deoxy }, expected) <= 1e-14,
            qPrintable(
                QStringLiteral("%1 %2 against %3 %4").arg(row.oxy).arg(row.deoxy).arg(expected[0]).arg(expected[1])));
    }

    // Where MNE ends in NaN: a zero in every series is raised to the smallest positive light, a series of zeros only
    // has no change (OD 0), and a gap stays a gap without touching the rest.
    void correctIntensities_data()
    {
        addColumns<std::vector<Series>, std::vector<Series>>({ "in", "out" });
        addRow("zero in every series", std::vector<Series> { { 0, 2 }, { 5, 0 } },
            std::vector<Series> { { 2, 2 }, { 5, 2 } });
        addRow("zeros only", std::vector<Series> { { 0, 0, 0 }, { 0, Gap, 0 } },
            std::vector<Series> { { 0, 0, 0 }, { 0, Gap, 0 } });
        addRow("gap stays", std::vector<Series> { { Gap, -1, 2 }, { 1, 1, 1 } },
            std::vector<Series> { { Gap, 1, 2 }, { 1, 1, 1 } });
    }
    void correctIntensities()
    {
        QFETCH(std::vector<Series>, in);
        QFETCH(std::vector<Series>, out);
        const std::vector<Series> od = OpticalDensity::compute(in);
        OpticalDensity::correctIntensities(in);
        for (size_t k = 0; k < out.size(); ++k) {
            QCOMPARE(relativeDifference(in[k], out[k]), 0.0);
            for (size_t i = 0; i < od[k].size(); ++i)
                QVERIFY2(std::isfinite(od[k][i]) || std::isnan(out[k][i]), qPrintable(QString::number(od[k][i])));
        }
    }

    void refuses_data()
    {
        addColumns<BeerLambert::Settings, QString>({ "settings", "reason" });
        addRow("usual settings", BeerLambert::Settings { 760, 850, 30, 6 }, QString());
        addRow("red below the table", BeerLambert::Settings { 249, 850, 30, 6 }, "249 nm lies outside");
        addRow("infrared above the table", BeerLambert::Settings { 760, 1001, 30, 6 }, "(250 to 1000 nm)");
        addRow("equal wavelengths", BeerLambert::Settings { 800, 800, 30, 6 }, "choose two different");
        addRow("no distance", BeerLambert::Settings { 760, 850, 0, 6 }, "above 0 mm, not 0");
        addRow("distance not a number", BeerLambert::Settings { 760, 850, Gap, 6 }, "above 0 mm, not nan");
        addRow("negative factor", BeerLambert::Settings { 760, 850, 30, -6 }, "factor must be above 0, not -6");
    }
    void refuses()
    {
        QFETCH(BeerLambert::Settings, settings);
        QFETCH(QString, reason);
        QString why;
        QCOMPARE(BeerLambert::create(settings, &why).has_value(), reason.isEmpty());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(tst_Haemoglobin)
#include "tst_haemoglobin.moc"
