// Averages around the marks against MNE-Python 1.3 (Epochs(...).average(), the standard error from get_data()),
// the settings and inputs that give no average, and the grand average over records.
#include "DataRow.h"
#include "EpochAverage.h"
#include "MneReference.h"

#include <QTest>

#include <cmath>

using Response = EpochAverage::Response;
using Table = std::vector<Series>;
using Responses = std::vector<Response>;
Q_DECLARE_METATYPE(Table)
Q_DECLARE_METATYPE(Responses)

namespace {

// HbO and HbR of each channel in turn: noise and a drift, and in the first channel a response of 0.4 µM HbO
// (−0.15 µM HbR) peaking 6 s after each mark of the first condition.
HaemoCase epochCase(const QByteArray& name, double rate, int count, double start, const Series& window,
    const std::vector<std::pair<double, QByteArray>>& marks, int channels = 2)
{
    HaemoCase c;
    c.name = name;
    c.rate = rate;
    c.window = window;
    c.window.push_back(start);
    std::mt19937 random(count);
    std::normal_distribution<double> noise(0, 0.05);
    for (int s = 0; s < 2 * channels; ++s) {
        Series values(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            values[size_t(i)] = 0.3 * std::sin(0.01 * i + s) + noise(random);
        c.hb.push_back(values);
    }
    for (const auto& [sample, condition] : marks) {
        c.markTimes.push_back(start + sample / rate);
        c.markConditions.push_back(condition);
        if (condition != marks.front().second)
            continue;
        for (int i = std::max(0, int(sample)); i < count; ++i) {
            const double t = (i - sample) / rate;
            const double response = t / 6 * std::exp(1 - t / 6);
            c.hb[0][size_t(i)] += 0.4 * response;
            c.hb[1][size_t(i)] -= 0.15 * response;
        }
    }
    return c;
}

std::vector<EpochAverage::Mark> marksOf(const HaemoCase& c)
{
    std::vector<EpochAverage::Mark> marks;
    for (size_t i = 0; i < c.markTimes.size(); ++i)
        marks.push_back({ c.markTimes[i], QString::fromUtf8(c.markConditions[qsizetype(i)]) });
    return marks;
}

EpochAverage::Settings settingsOf(const Series& window)
{
    return { window[0], window[1], window[2], window[3] };
}

Response record(double rate, int firstOffset, int marks, int dropped, std::vector<Series> mean)
{
    Response r;
    r.condition = QStringLiteral("F1");
    r.rate = rate;
    r.firstOffset = firstOffset;
    r.marks = marks;
    r.dropped = dropped;
    r.records = marks > 0 ? 1 : 0;
    if (marks > 0) {
        r.mean = mean;
        r.standardError = mean;
    }
    return r;
}

} // namespace

class tst_EpochAverage : public QObject
{
    Q_OBJECT
    QList<HaemoCase> m_cases;
    MneReference m_mne;

private slots:
    void initTestCase()
    {
        // Marks by sample (fractions fall between samples): at 10 samples/s the window −5…20 s takes samples −50…200,
        // so marks up to sample 49 and from 2800 on (of 3000) run past the ends, 1500 meets the gap 1600…1610, and
        // 1222.5 lies halfway between two samples (the even one is nearest, as numpy rounds).
        HaemoCase tenHz = epochCase("10 Hz, -5 to 20 s", 10, 3000, 12.5, { -5, 20, -5, 0 },
            { { 49, "F1" }, { 50, "F1" }, { 400, "F1" }, { 1222.5, "F1" }, { 1500, "F1" }, { 2000, "F1" },
                { 2799, "F1" }, { 2800, "F1" }, { 300, "F2" }, { 900.4, "F2" }, { 1300, "F2" }, { 2500, "F2" },
                { 2950, "F2" }, { 1800, "F3" } });
        for (Series& s : tenHz.hb)
            std::fill(s.begin() + 1600, s.begin() + 1611, Gap);
        m_cases << tenHz
                << epochCase("7.8125 Hz, windows between samples", 7.8125, 1500, 0, { -2, 10, -1.3, 0.2 },
                       { { 20, "A" }, { 15.4, "A" }, { 300, "A" }, { 610.7, "A" }, { 900, "A" }, { 1480, "A" },
                           { 1421, "A" }, { 100, "B" }, { 700, "B" }, { 1200, "B" } })
                // Both ends of the window lie halfway between samples: −2.5 and 38.5 samples round to −2 and 38.
                << epochCase("10 Hz, -0.25 to 3.85 s", 10, 600, 3, { -0.25, 3.85, -0.25, -0.05 },
                       { { 1, "X" }, { 2, "X" }, { 150, "X" }, { 300, "X" }, { 561, "X" }, { 562, "X" } }, 3);
        const QString error = m_mne.start(m_cases);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // n, the marks left out, the mean and its standard error against MNE's, within 1e-6 of each series' largest
    // value; the marks left out are also named here, so that the table checks them without MNE.
    void agreesWithMne_data()
    {
        addColumns<QByteArray, QString, QList<int>>({ "name", "condition", "dropped" });
        addRow("10 Hz F1: both ends and a gap", QByteArray("10 Hz, -5 to 20 s"), "F1", QList<int> { 0, 4, 7 });
        addRow("10 Hz F2: the end", QByteArray("10 Hz, -5 to 20 s"), "F2", QList<int> { 12 });
        addRow("10 Hz F3: one mark", QByteArray("10 Hz, -5 to 20 s"), "F3", QList<int> {});
        addRow("7.8125 Hz A", QByteArray("7.8125 Hz, windows between samples"), "A", QList<int> { 1, 5 });
        addRow("7.8125 Hz B", QByteArray("7.8125 Hz, windows between samples"), "B", QList<int> {});
        addRow("10 Hz, halfway window", QByteArray("10 Hz, -0.25 to 3.85 s"), "X", QList<int> { 0, 5 });
    }
    void agreesWithMne()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, condition);
        QFETCH(QList<int>, dropped);
        const HaemoCase& c = caseNamed(m_cases, name);
        QString reason;
        const std::optional<EpochAverage> average = EpochAverage::create(settingsOf(c.window), c.rate, &reason);
        QVERIFY2(average, qPrintable(reason));
        const std::vector<EpochAverage::Mark> marks = marksOf(c);
        const Response r = average->average(c.hb, c.window[4], marks, condition);
        QCOMPARE(r.droppedMarks, std::vector<std::size_t>(dropped.begin(), dropped.end()));
        const int count
            = int(std::count_if(marks.begin(), marks.end(), [&](const auto& m) { return m.condition == condition; }));
        QCOMPARE(r.marks, count - int(dropped.size()));
        QCOMPARE(r.dropped, int(dropped.size()));
        QVERIFY(r.problem.isEmpty());
        QCOMPARE(r.mean.size(), c.hb.size());
        QCOMPARE(r.mean[0].size(), average->length());

        if (!m_mne.skip().isEmpty())
            QSKIP(qPrintable(m_mne.skip()));
        const QByteArray key = condition.toUtf8();
        QCOMPARE(m_mne.values(name, "n_" + key, 0), Series({ double(r.marks), double(r.dropped) }));
        Series kept;
        for (size_t m = 0; m < marks.size(); ++m) {
            if (marks[m].condition == condition && !dropped.contains(int(m)))
                kept.push_back(double(m));
        }
        QCOMPARE(m_mne.values(name, "kept_" + key, 0), kept);
        for (size_t s = 0; s < c.hb.size(); ++s) {
            const double mean = relativeDifference(r.mean[s], m_mne.values(name, "mean_" + key, double(s)));
            const double error = relativeDifference(r.standardError[s], m_mne.values(name, "se_" + key, double(s)));
            QVERIFY2(mean <= 1e-6 && error <= 1e-6,
                qPrintable(QStringLiteral("series %1: %2, %3").arg(s).arg(mean).arg(error)));
        }
    }

    // Settings refused with their reason, and inputs that leave nothing to average with the problem named.
    void badInput_data()
    {
        addColumns<Series, double, int, Series, int, int, QString>(
            { "window", "rate", "samples", "marks", "averaged", "dropped", "message" });
        const Series f1 = { 30, 60 };
        addRow("from equals to", Series { 5, 5, 5, 5 }, 10.0, 1000, f1, 0, 0,
            "The window from 5 to 5 s is empty: its start must come first.");
        addRow("from after to", Series { 5, -5, -5, 0 }, 10.0, 1000, f1, 0, 0, "The window from 5 to -5 s is empty");
        addRow("baseline starting before the window", Series { -5, 20, -6, 0 }, 10.0, 1000, f1, 0, 0,
            "The baseline from -6 to 0 s must lie inside the window from -5 to 20 s");
        addRow("baseline ending after the window", Series { -5, 20, 0, 21 }, 10.0, 1000, f1, 0, 0,
            "The baseline from 0 to 21 s must lie inside");
        addRow("baseline reversed", Series { -5, 20, 0, -1 }, 10.0, 1000, f1, 0, 0,
            "The baseline from 0 to -1 s must lie inside");
        addRow("baseline between two samples", Series { -5, 20, 0.01, 0.04 }, 10.0, 1000, f1, 0, 0,
            "The baseline from 0.01 to 0.04 s holds no sample at 10 samples/s.");
        addRow("rate 0", Series { -5, 20, -5, 0 }, 0.0, 1000, f1, 0, 0, "The sampling rate must be above 0");
        addRow("no mark of the condition", Series { -5, 20, -5, 0 }, 10.0, 1000, Series {}, 0, 0,
            "There is no mark “F1”.");
        addRow("window longer than the series", Series { -5, 20, -5, 0 }, 10.0, 200, Series { 10 }, 0, 1,
            "The window from -5 to 20 s is longer than the data (20 s): the marks “F1” were all left out (1).");
        addRow("a gap through every window", Series { -5, 20, -5, 0 }, 10.0, 1000, Series { 30, 40 }, 0, 2,
            "The marks “F1” were all left out (2): the window from -5 to 20 s runs past");
        addRow("a mark before the series", Series { -5, 20, -5, 0 }, 10.0, 1000, Series { -30, 60 }, 1, 1, "");
        addRow("a gap through one window", Series { -5, 20, -5, 0 }, 10.0, 1000, f1, 1, 1, "");
    }
    void badInput()
    {
        QFETCH(Series, window);
        QFETCH(double, rate);
        QFETCH(int, samples);
        QFETCH(Series, marks);
        QFETCH(int, averaged);
        QFETCH(int, dropped);
        QFETCH(QString, message);
        QString reason;
        const std::optional<EpochAverage> average = EpochAverage::create(settingsOf(window), rate, &reason);
        QCOMPARE(average.has_value(), reason.isEmpty());
        if (!average) {
            QVERIFY2(reason.startsWith(message), qPrintable(reason));
            return;
        }
        // One series with a gap from 45 to 46 s, the other marks elsewhere; marks of another condition at each.
        std::vector<Series> series(2, Series(size_t(samples), 1.0));
        for (Series& s : series)
            std::fill(s.begin() + std::min(450, samples), s.begin() + std::min(461, samples), Gap);
        std::vector<EpochAverage::Mark> given;
        for (const double time : marks)
            given.push_back({ time, QStringLiteral("F1") });
        for (const double time : marks)
            given.push_back({ time, QStringLiteral("F2") });
        const Response r = average->average(series, 0, given, QStringLiteral("F1"));
        QCOMPARE(r.marks, averaged);
        QCOMPARE(r.dropped, dropped);
        QCOMPARE(r.empty(), averaged == 0);
        QCOMPARE(r.mean.empty(), averaged == 0);
        QVERIFY2(message.isEmpty() ? r.problem.isEmpty() : r.problem.startsWith(message), qPrintable(r.problem));
    }

    // The mean over the records' means and its standard error over records; records without epochs count only
    // their dropped marks; records on other grids are refused.
    void grandAverage_data()
    {
        addColumns<Responses, int, int, int, Table, Table, QString>(
            { "records", "averaged", "marks", "dropped", "mean", "error", "message" });
        const double nan = Gap;
        const Response a = record(10, -50, 3, 1, { { 1, 2 }, { -1, 0 } });
        const Response b = record(10, -50, 5, 0, { { 3, 6 }, { -1, 4 } });
        const Response none = record(10, -50, 0, 2, {});
        addRow("two records", Responses { a, b }, 2, 8, 1, Table { { 2, 4 }, { -1, 2 } }, Table { { 1, 2 }, { 0, 2 } },
            "");
        addRow("a record without epochs", Responses { none, a, b }, 2, 8, 3, Table { { 2, 4 }, { -1, 2 } },
            Table { { 1, 2 }, { 0, 2 } }, "");
        addRow("one record", Responses { a }, 1, 3, 1, a.mean, Table { { nan, nan }, { nan, nan } }, "");
        addRow("no epochs anywhere", Responses { none, none }, 0, 0, 4, Table {}, Table {},
            "The marks “F1” were left out in every record (4 in all)");
        addRow("no records", Responses {}, 0, 0, 0, Table {}, Table {}, "There is no mark “”.");
        addRow("another rate", Responses { a, record(7.8125, -39, 2, 0, { { 0, 0 }, { 0, 0 } }) }, 0, 0, 0, Table {},
            Table {},
            "Records with 2 series at 10 samples/s and 2 series at 7.8125 samples/s cannot be averaged together");
        addRow("a rate slightly off", Responses { a, record(10.05, -50, 2, 0, { { 0, 0 }, { 0, 0 } }) }, 0, 0, 0,
            Table {}, Table {}, "Records with 2 series at 10 samples/s");
        addRow("other channels", Responses { a, record(10, -50, 2, 0, { { 0, 0 } }) }, 0, 0, 0, Table {}, Table {},
            "Records with 2 series at 10 samples/s and 1 series");
    }
    void grandAverage()
    {
        QFETCH(Responses, records);
        QFETCH(Table, mean);
        QFETCH(Table, error);
        QFETCH(QString, message);
        QString reason;
        const std::optional<Response> grand = EpochAverage::grandAverage(records, &reason);
        if (!grand) {
            QVERIFY2(!message.isEmpty() && reason.startsWith(message), qPrintable(reason));
            return;
        }
        QTEST(grand->records, "averaged");
        QTEST(grand->marks, "marks");
        QTEST(grand->dropped, "dropped");
        QVERIFY2(message.isEmpty() ? grand->problem.isEmpty() : grand->problem.startsWith(message),
            qPrintable(grand->problem));
        QCOMPARE(grand->mean.size(), mean.size());
        for (size_t s = 0; s < mean.size(); ++s) {
            QVERIFY(relativeDifference(grand->mean[s], mean[s]) <= 1e-15);
            QVERIFY(relativeDifference(grand->standardError[s], error[s]) <= 1e-15);
        }
    }
};

QTEST_GUILESS_MAIN(tst_EpochAverage)
#include "tst_epochaverage.moc"
