// The Butterworth band-pass against scipy 1.10 (butter, filtfilt), the bands scipy refuses, and the runs between
// gaps.
#include "ButterworthBandPass.h"
#include "DataRow.h"
#include "MneReference.h"

#include <QTest>

#include <cmath>

namespace {

// A slow drift, a pulse and noise, as haemoglobin looks before the band-pass.
Series haemoglobin(int count, double rate, unsigned seed)
{
    Series s = light(count, rate, 1, 0.01, 0.002, seed, seed + 1);
    for (int i = 0; i < count; ++i)
        s[size_t(i)] = std::log(s[size_t(i)]) + 0.3 * std::sin(0.002 * i) + 1e-3 * i / rate;
    return s;
}

HaemoCase bandCase(const QByteArray& name, double rate, double low, double high, std::vector<Series> series = {})
{
    HaemoCase c;
    c.name = name;
    c.rate = rate;
    c.band = { low, high };
    c.toFilter = std::move(series);
    return c;
}

// Runs of 300, 22 (the shortest filtfilt takes), 21 (refused), 1 (refused) and 400 samples between gaps.
Series withGaps(double rate)
{
    Series s = haemoglobin(760, rate, 5);
    for (const int gap : { 300, 301, 324, 325, 326, 348, 350, 351, 352, 353, 354, 355, 356, 357, 358, 359 })
        s[size_t(gap)] = Gap;
    return s;
}

} // namespace

class tst_ButterworthBandPass : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;
    MneReference m_scipy;

private slots:
    void initTestCase()
    {
        // 50 samples/s with a 0.01 Hz edge is the ill-conditioned end of the transfer-function form: one unit in the
        // last place of one coefficient moves the output by 1e-3 of its range there.
        m_cases << bandCase("10 Hz, 0.01-0.5 Hz", 10, 0.01, 0.5, { haemoglobin(3000, 10, 1), withGaps(10) })
                << bandCase("7.8125 Hz, 0.02-0.3 Hz", 7.8125, 0.02, 0.3, { haemoglobin(2000, 7.8125, 2) })
                << bandCase("3 Hz, 0.05-1.4 Hz", 3, 0.05, 1.4, { haemoglobin(900, 3, 3) })
                << bandCase("50 Hz, 0.01-0.5 Hz", 50, 0.01, 0.5, { haemoglobin(15000, 50, 4) })
                << bandCase("10 Hz, a constant", 10, 0.01, 0.5, { Series(200, 2.5) })
                << bandCase("high edge at Nyquist", 1, 0.01, 0.5) << bandCase("high edge above Nyquist", 0.8, 0.01, 0.5)
                << bandCase("low edge 0", 10, 0, 0.5) << bandCase("low edge below 0", 10, -0.01, 0.5)
                << bandCase("low edge at high edge", 10, 0.3, 0.3) << bandCase("low above high", 10, 0.5, 0.01);
        const QString error = m_scipy.start(m_cases);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // The coefficients against scipy's; where scipy refuses the band, the reason names the band and the limit.
    void design_data()
    {
        QTest::addColumn<QByteArray>("name");
        for (const HaemoCase& c : std::as_const(m_cases))
            QTest::newRow(c.name.constData()) << c.name;
    }
    void design()
    {
        QFETCH(QByteArray, name);
        const HaemoCase& c = caseNamed(m_cases, name);
        QString reason;
        const std::optional<ButterworthBandPass> filter
            = ButterworthBandPass::design(c.rate, c.band[0], c.band[1], &reason);
        if (!filter) {
            QVERIFY2(reason.contains(QStringLiteral("from %1 to %2 Hz cannot be made at %3 samples/s")
                                         .arg(c.band[0])
                                         .arg(c.band[1])
                                         .arg(c.rate))
                    && reason.contains(QStringLiteral("below %1 Hz").arg(c.rate / 2)),
                qPrintable(reason));
        }
        if (!m_scipy.skip().isEmpty())
            QSKIP(qPrintable(m_scipy.skip()));
        const Series b = m_scipy.values(c.name, "butter_b", 0);
        QCOMPARE(filter.has_value(), !b.empty());
        if (!filter)
            return;
        // The same operations as numpy's give the same numbers to a few units in the last place.
        QVERIFY2(relativeDifference(Series(filter->numerator().begin(), filter->numerator().end()), b) <= 1e-12,
            qPrintable(name));
        QVERIFY2(relativeDifference(Series(filter->denominator().begin(), filter->denominator().end()),
                     m_scipy.values(c.name, "butter_a", 0))
                <= 1e-12,
            qPrintable(name));
    }

    // filtfilt against scipy's within 1e-6 of the series' largest value (of the input for a constant, whose output
    // is 0 and rounding); runs that filtfilt refuses stay gaps and are counted.
    void filtfilt_data()
    {
        addColumns<QByteArray, int, qsizetype, double>({ "name", "series", "lost", "scale" });
        addRow("10 Hz", QByteArray("10 Hz, 0.01-0.5 Hz"), 0, qsizetype(0), 0.0);
        addRow("10 Hz, gaps and short runs", QByteArray("10 Hz, 0.01-0.5 Hz"), 1, qsizetype(21 + 1), 0.0);
        addRow("7.8125 Hz", QByteArray("7.8125 Hz, 0.02-0.3 Hz"), 0, qsizetype(0), 0.0);
        addRow("3 Hz, high edge near Nyquist", QByteArray("3 Hz, 0.05-1.4 Hz"), 0, qsizetype(0), 0.0);
        addRow("50 Hz", QByteArray("50 Hz, 0.01-0.5 Hz"), 0, qsizetype(0), 0.0);
        addRow("a constant", QByteArray("10 Hz, a constant"), 0, qsizetype(0), 2.5);
    }
    void filtfilt()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, series);
        QFETCH(qsizetype, lost);
        QFETCH(double, scale);
        const HaemoCase& c = caseNamed(m_cases, name);
        const std::optional<ButterworthBandPass> filter = ButterworthBandPass::design(c.rate, c.band[0], c.band[1]);
        QVERIFY(filter);
        const Series& in = c.toFilter[size_t(series)];
        std::size_t unfiltered = 99;
        const Series out = filter->applyAroundGaps(in, &unfiltered);
        QCOMPARE(qsizetype(unfiltered), lost);
        QCOMPARE(std::count_if(out.begin(), out.end(), [](double v) { return std::isnan(v); }),
            std::count_if(in.begin(), in.end(), [](double v) { return std::isnan(v); }) + lost);
        if (!m_scipy.skip().isEmpty())
            QSKIP(qPrintable(m_scipy.skip()));
        const double difference = relativeDifference(out, m_scipy.values(c.name, "filtfilt", series), scale);
        QVERIFY2(difference <= 1e-6, qPrintable(QString::number(difference)));
    }
};

QTEST_GUILESS_MAIN(tst_ButterworthBandPass)
#include "tst_butterworthbandpass.moc"
