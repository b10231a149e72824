// Averages around the marks of records the record writer made from the model head (its responses start at the
// marks): halvex-analyze --average run as a user runs it, against MNE-Python 1.3 and scipy reading the SNIRF files
// that halvex-export wrote for the same records (average_reference.py); the injected response found again on the
// stimulated half of the head and its map; several records on all cores, with progress and cancelling; what it
// refuses.
#include "DataRow.h"
#include "HeadModel.h"
#include "MneReference.h"
#include "RecordAverage.h"
#include "RecordWriter.h"
#include "TemporaryHome.h"
#include "ToolRun.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

struct Mark
{
    double seconds = 0;
    QString text;
};

// A record of the model head: its samples (whole counts at a steady rate, the times with the jitter of a serial
// line), each mark in ".events" where it starts a response, marks of a stimulus program in ".log", and the lines of
// an unplugged stretch left out.
struct Recording
{
    int channels = 8;
    double rate = 10;
    double seconds = 300;
    int jitterMs = 0;
    quint64 seed = 1;
    double gapFrom = -1;
    double gapSeconds = 0;
    QList<Mark> marks;
    QList<Mark> logMarks; // they start no response
};

QList<Mark> everyFewSeconds(double first, double step, double end, const QStringList& texts)
{
    QList<Mark> marks;
    for (int i = 0; first + i * step < end; ++i)
        marks.append({ first + i * step, texts[i % texts.size()] });
    return marks;
}

// The first sample comes this long after the record's start, as an instrument's first line does: the export's times
// count from it.
constexpr qint64 FirstSample = 1234;

bool writeRecord(const QString& csvPath, const Recording& r)
{
    HeadModel::Settings settings;
    settings.channels = r.channels;
    settings.rate = r.rate;
    settings.badChannelEvery = 0;
    settings.seed = r.seed;
    HeadModel head(settings);
    RecordLayout layout;
    layout.variant = RecordLayout::Acquire_RIR;
    layout.channelCount = r.channels;
    RecordWriter writer;
    if (!writer.open(csvPath, layout))
        return false;
    std::vector<double> values(2 * size_t(r.channels));
    qsizetype next = 0;
    const qint64 lines = qint64(r.seconds * r.rate);
    for (qint64 i = 0; i < lines; ++i) {
        const double t = head.time();
        for (; next < r.marks.size() && r.marks[next].seconds <= t; ++next) {
            head.stimulate(r.marks[next].seconds);
            if (!writer.writeEvent(FirstSample + std::llround(r.marks[next].seconds * 1000), "key", r.marks[next].text))
                return false;
        }
        head.next(values.data(), 2);
        if (t >= r.gapFrom && t < r.gapFrom + r.gapSeconds)
            continue;
        const qint64 ms = FirstSample + std::llround(t * 1000) + (i % 3) * r.jitterMs;
        if (writer.writeRaw(ms, QList<double>(values.begin(), values.end())) != RecordWriter::Result::Written)
            return false;
    }
    writer.close();
    // The log's own clock starts at its first timed line, the record's at its start.
    QByteArray log = "7000\tSync\r\n";
    for (const Mark& mark : r.logMarks)
        log += QByteArray::number(7000 + FirstSample + std::llround(mark.seconds * 1000)) + '\t' + mark.text.toUtf8()
            + "\r\n";
    return r.logMarks.isEmpty() || TemporaryHome::writeFile(QString(csvPath).replace(".csv", ".log"), log);
}

ToolRun run(const QStringList& arguments, const QString& folder)
{
    return runTool(HALVEX_ANALYZE, arguments, folder, 120000);
}

// A request to the reference and the command line that asks halvex-analyze the same.
struct Request
{
    QByteArray name;
    QStringList records; // names of the recordings
    QStringList conditions;
    Series window;
    Series baseline;
    Series band; // empty: none
};

QString pairText(const Series& values)
{
    return QString::number(values[0], 'g', 17) + ',' + QString::number(values[1], 'g', 17);
}

Series numbers(const QJsonValue& value)
{
    Series values;
    for (const QJsonValue& v : value.toArray())
        values.push_back(v.isNull() ? std::nan("") : v.toDouble());
    return values;
}

} // namespace

class tst_RecordAverage : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;
    QHash<QString, Recording> m_recordings;
    QList<Request> m_requests;
    QHash<QByteArray, ToolRun> m_runs; // by request
    QJsonArray m_reference; // in the order of m_requests
    QString m_skip;

    QString csv(const QString& name) const
    {
        return QDir(m_home.path()).filePath("2026.03.14-09.26.53.589-" + name + ".csv");
    }

    QStringList paths(const QStringList& names) const
    {
        QStringList list;
        for (const QString& name : names)
            list.append(csv(name));
        return list;
    }

private slots:
    void initTestCase()
    {
        // Marks 35 s apart, so that one response has faded before the next; the first and the last too near an
        // end for the window, and one of the stimulus program's.
        Recording ten;
        ten.channels = 8;
        ten.seconds = 700;
        ten.marks = QList<Mark> { { 3.03, "F1" } } + everyFewSeconds(20.03, 35.01, 680, { "F1", "F2" })
            + QList<Mark> { { 696.04, "F1" } };
        ten.logMarks = { { 50.37, "Stim A" }, { 260.71, "Stim A" }, { 470.13, "Stim A" } };
        m_recordings["ten"] = ten;
        Recording second = ten;
        second.seed = 2;
        second.marks = everyFewSeconds(11.07, 35.03, 680, { "F2", "F1" });
        second.logMarks.clear();
        m_recordings["second"] = second;
        // Unplugged from 100 to 108 s: the marks whose windows reach into that stretch are left out.
        Recording gap;
        gap.channels = 4;
        gap.rate = 25;
        gap.jitterMs = 2;
        gap.seconds = 300;
        gap.gapFrom = 100;
        gap.gapSeconds = 8;
        gap.marks = everyFewSeconds(10.07, 19.97, 290, { "F1" });
        m_recordings["gap"] = gap;
        // Forty responses, for a clean average.
        Recording head;
        head.channels = 12;
        head.seconds = 1240;
        head.marks = everyFewSeconds(10.03, 30.01, 1225, { "F1" });
        m_recordings["head"] = head;

        for (auto it = m_recordings.cbegin(); it != m_recordings.cend(); ++it) {
            QVERIFY2(writeRecord(csv(it.key()), it.value()), qPrintable(it.key()));
            QProcess exporter;
            exporter.start(HALVEX_EXPORT, { "--force", csv(it.key()) });
            QVERIFY(exporter.waitForFinished(60000));
            QVERIFY2(exporter.exitCode() == 0, exporter.readAllStandardError().constData());
        }

        m_requests = {
            { "no band", { "ten" }, { "F1", "F2", "StimA" }, { -5, 20 }, { -5, 0 }, {} },
            { "band", { "ten" }, { "F1" }, { -5, 20 }, { -5, 0 }, { 0.01, 0.5 } },
            { "a gap, 25 Hz, jitter", { "gap" }, { "F1" }, { -5, 15 }, { -2, 0 }, { 0.02, 0.8 } },
            { "two records", { "ten", "second" }, { "F1", "F2" }, { -3, 20 }, { -3, -1 }, { 0.01, 0.5 } },
        };
        QJsonArray requests;
        for (const Request& request : std::as_const(m_requests)) {
            QStringList arguments { "--average", request.conditions.join(','), "--window", pairText(request.window),
                "--baseline", pairText(request.baseline) };
            arguments += request.band.empty() ? QStringList { "--no-band" }
                                              : QStringList { "--band", pairText(request.band) };
            m_runs[request.name] = run(arguments + paths(request.records), m_home.path());
            QJsonArray files;
            for (const QString& path : paths(request.records))
                files.append(QString(path).replace(".csv", ".snirf"));
            QJsonObject object { { "files", files }, { "conditions", QJsonArray::fromStringList(request.conditions) },
                { "window", QJsonArray { request.window[0], request.window[1] } },
                { "baseline", QJsonArray { request.baseline[0], request.baseline[1] } }, { "ppf", 6 } };
            object["band"] = request.band.empty() ? QJsonValue() : QJsonArray { request.band[0], request.band[1] };
            requests.append(object);
        }

        m_skip = mneMissing();
        if (!m_skip.isEmpty())
            return;
        QProcess python;
        const QString requestPath = QDir(m_home.path()).filePath("requests.json");
        QVERIFY(TemporaryHome::writeFile(requestPath, QJsonDocument(requests).toJson()));
        python.start("/usr/bin/python3", { AVERAGE_REFERENCE, requestPath });
        QVERIFY(python.waitForFinished(300000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        m_reference = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(m_reference.size(), m_requests.size());
    }

    // The curves, their standard errors, n and the marks left out, against MNE's epochs of the exported files.
    void againstMne_data()
    {
        addColumns<int>({ "request" });
        for (int i = 0; i < m_requests.size(); ++i)
            QTest::newRow(m_requests[i].name.constData()) << i;
    }
    void againstMne()
    {
        QFETCH(int, request);
        const Request& r = m_requests[request];
        const ToolRun& result = m_runs[r.name];
        QVERIFY2(result.exitCode == 0, result.error.constData());
        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        const int channels = m_recordings[r.records.constFirst()].channels;
        const QList<QByteArray> lines = result.output.split('\n');
        QByteArray header = "condition;time_s;n";
        for (int c = 1; c <= channels; ++c)
            header += QStringLiteral(";HbO%1;HbO%1_se;HbR%1;HbR%1_se").arg(c).toUtf8();
        QCOMPARE(lines.constFirst(), header);
        const QJsonObject answers = m_reference[request].toObject();
        qsizetype line = 1;
        for (const QString& condition : r.conditions) {
            const QJsonObject answer = answers[condition].toObject();
            const Series times = numbers(answer["times"]);
            QVERIFY2(!times.empty(), qPrintable(condition));
            std::vector<Series> columns(1 + 4 * size_t(channels));
            for (size_t k = 0; k < times.size(); ++k, ++line) {
                const QList<QByteArray> fields = lines.value(line).split(';');
                QCOMPARE(fields.size(), qsizetype(columns.size()) + 2);
                QCOMPARE(QString::fromUtf8(fields[0]), condition);
                const int n = r.records.size() > 1 ? answer["records"].toInt() : answer["n"].toInt();
                QCOMPARE(fields[2].toInt(), n);
                columns[0].push_back(fields[1].toDouble());
                for (size_t s = 1; s < columns.size(); ++s)
                    columns[s].push_back(fields[qsizetype(s) + 2].toDouble());
            }
            QVERIFY2(relativeDifference(columns[0], times) <= 1e-9, "the epoch's times");
            const QJsonArray mean = answer["mean"].toArray();
            const QJsonArray se = answer["se"].toArray();
            // With the band-pass, to within 1e-6 of the filtered series' largest value: the filter's coefficients
            // may be scipy's to a few units in the last place only (numpy's tan), which the epochs' standard error
            // shows on its smaller scale.
            const Series scale = r.band.empty() ? Series(2 * size_t(channels), 0.0) : numbers(answers["scale"]);
            for (int s = 0; s < 2 * channels; ++s) {
                const double meanDifference
                    = relativeDifference(columns[size_t(1 + 2 * s)], numbers(mean[s]), scale[size_t(s)]);
                const double seDifference
                    = relativeDifference(columns[size_t(2 + 2 * s)], numbers(se[s]), scale[size_t(s)]);
                QVERIFY2(meanDifference <= 1e-6 && seDifference <= 1e-6,
                    qPrintable(QStringLiteral("%1, series %2: mean %3, standard error %4")
                                   .arg(condition)
                                   .arg(s)
                                   .arg(meanDifference)
                                   .arg(seDifference)));
            }
            const int dropped = answer["dropped"].toInt();
            const QByteArray leftOut = QStringLiteral("halvex-analyze: %1: %2 of %3 marks left out")
                                           .arg(condition)
                                           .arg(dropped)
                                           .arg(dropped + answer["n"].toInt())
                                           .toUtf8();
            QCOMPARE(result.error.contains(leftOut), dropped > 0);
        }
        QCOMPARE(lines.size(), line + 1); // and the final line feed
    }

    // The stimulated half of the model head shows the response it was given, the other half none, and so does the
    // map of the response window.
    void modelHead()
    {
        RecordAverage average;
        RecordAverage::Options options;
        QVERIFY(average.average({ csv("head") }, { "F1" }, options));
        QCOMPARE(average.recordFailures().size(), size_t(0));
        QCOMPARE(average.channels().size(), size_t(12));
        QCOMPARE(average.markCounts(), (QMap<QString, int> { { "F1", 41 } }));
        const EpochAverage::Response* response = average.response("F1");
        QVERIFY(response);
        QCOMPARE(response->marks, 41);
        QCOMPARE(response->dropped, 0);
        const std::vector<RecordAverage::Activation> map
            = RecordAverage::activation(*response, options.responseFrom, options.responseTo);
        QCOMPARE(map.size(), size_t(12));
        for (int c = 0; c < 12; ++c) {
            const std::vector<double>& oxy = response->mean[size_t(2 * c)];
            const std::vector<double>& deoxy = response->mean[size_t(2 * c + 1)];
            const auto peak = std::max_element(
                oxy.begin(), oxy.end(), [](double a, double b) { return std::abs(a) < std::abs(b); });
            const double peakTime = response->time(size_t(peak - oxy.begin()));
            const double least = *std::min_element(deoxy.begin(), deoxy.end());
            const QString what = QStringLiteral("channel %1: HbO %2 µM at %3 s, HbR down to %4 µM, map %5")
                                     .arg(c + 1)
                                     .arg(*peak)
                                     .arg(peakTime)
                                     .arg(least)
                                     .arg(map[size_t(c)].oxy);
            if (c < 6) {
                QVERIFY2(std::abs(*peak - HeadModel::ResponseOxy) <= 0.1 * HeadModel::ResponseOxy, qPrintable(what));
                QVERIFY2(std::abs(peakTime - HeadModel::ResponsePeakSeconds) <= 1, qPrintable(what));
                QVERIFY2(
                    std::abs(least - HeadModel::ResponseDeoxy) <= 0.2 * -HeadModel::ResponseDeoxy, qPrintable(what));
                QVERIFY2(map[size_t(c)].oxy > 0.3 * HeadModel::ResponseOxy, qPrintable(what));
            } else {
                QVERIFY2(std::abs(*peak) < 0.1 * HeadModel::ResponseOxy, qPrintable(what));
                QVERIFY2(std::abs(map[size_t(c)].oxy) < 0.05 * HeadModel::ResponseOxy, qPrintable(what));
            }
        }
    }

    // Several records at once: the grand average is the mean of each record's own average; progress reaches 1 one
    // call at a time; an unreadable record is named and the others are averaged; cancelling stops it.
    void severalRecords()
    {
        RecordAverage::Options options;
        RecordAverage alone[2];
        QVERIFY(alone[0].average({ csv("ten") }, { "F2", "F1" }, options));
        QVERIFY(alone[1].average({ csv("second") }, { "F2", "F1" }, options));
        RecordAverage both;
        std::vector<double> progress;
        const QString missing = QDir(m_home.path()).filePath("missing.csv");
        QVERIFY(both.average({ csv("ten"), missing, csv("second") }, { "F2", "F1" }, options,
            [&progress](double share) { progress.push_back(share); }));
        QCOMPARE(both.recordsAveraged(), 2);
        QCOMPARE(both.recordFailures().size(), size_t(1));
        QCOMPARE(both.recordFailures()[0].record, missing);
        QVERIFY2(
            both.recordFailures()[0].message.contains("missing.raw"), qPrintable(both.recordFailures()[0].message));
        QVERIFY(!progress.empty());
        QCOMPARE(progress.back(), 1.0);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(both.markCounts(), (QMap<QString, int> { { "F1", 12 + 10 }, { "F2", 9 + 10 }, { "StimA", 3 } }));
        QCOMPARE(both.responses().size(), size_t(2));
        for (int k = 0; k < 2; ++k) {
            const EpochAverage::Response& grand = both.responses()[size_t(k)];
            QCOMPARE(grand.condition, alone[0].responses()[size_t(k)].condition);
            QCOMPARE(grand.records, 2);
            QCOMPARE(grand.marks, alone[0].responses()[size_t(k)].marks + alone[1].responses()[size_t(k)].marks);
            for (size_t s = 0; s < grand.mean.size(); ++s) {
                Series expected;
                for (size_t i = 0; i < grand.mean[s].size(); ++i)
                    expected.push_back(
                        (alone[0].responses()[size_t(k)].mean[s][i] + alone[1].responses()[size_t(k)].mean[s][i]) / 2);
                QVERIFY(relativeDifference(grand.mean[s], expected) <= 1e-12);
            }
        }

        std::atomic<bool> cancel { false };
        RecordAverage cancelled;
        QVERIFY(!cancelled.average(
            { csv("ten"), csv("second"), csv("head") }, { "F1" }, options, [&cancel](double) { cancel = true; },
            &cancel));
        QCOMPARE(cancelled.failure(), RecordAverage::Failure::Cancelled);
    }

    // What gives no average: the reason on the standard error, exit code 2 and nothing written; what leaves only a
    // part out: the reason, and the rest written.
    void refused_data()
    {
        addColumns<QStringList, int, QByteArray>({ "arguments", "exitCode", "error" });
        const QStringList ten { "2026.03.14-09.26.53.589-ten.csv" };
        addRow("no mark of the condition", QStringList { "--average", "F9" } + ten, 2,
            QByteArray("There is no mark “F9”.\n"));
        addRow("a window longer than the record", QStringList { "--average", "F1", "--window", "-5,800" } + ten, 2,
            QByteArray("2026.03.14-09.26.53.589-ten.csv: The window from -5 to 800 s is longer than the record (700 "
                       "s).\n"));
        addRow("the window's start not before its end", QStringList { "--average", "F1", "--window", "5,5" } + ten, 2,
            QByteArray("The window from 5 to 5 s is empty: its start must come first.\n"));
        addRow("a baseline outside the window",
            QStringList { "--average", "F1", "--window", "-2,20", "--baseline", "-5,0" } + ten, 2,
            QByteArray("The baseline from -5 to 0 s must lie inside the window from -2 to 20 s"));
        addRow("a band at the Nyquist frequency", QStringList { "--average", "F1", "--band", "0.01,5" } + ten, 2,
            QByteArray("2026.03.14-09.26.53.589-ten.csv: The band-pass from 0.01 to 5 Hz cannot be made at 10 "
                       "samples/s"));
        addRow("a gap through a window", QStringList { "--average", "F1", "2026.03.14-09.26.53.589-gap.csv" }, 0,
            QByteArray("F1: 3 of 15 marks left out"));
        addRow("one record of two unreadable", QStringList { "--average", "F1", "none.csv" } + ten, 0,
            QByteArray("none.raw: no such file\n"));
        addRow("no unreadable record", QStringList { "--average", "F1", "none.csv" }, 2,
            QByteArray("none.raw: no such file\n"));
        addRow("band and no band", QStringList { "--average", "F1", "--band", "0.01,1", "--no-band" } + ten, 2,
            QByteArray("give --band or --no-band, not both\n"));
        addRow("a window of one number", QStringList { "--average", "F1", "--window", "5" } + ten, 2,
            QByteArray("--window takes two numbers, as 0.5,1.5\n"));
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, error);
        const ToolRun result = run(arguments, m_home.path());
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.output.isEmpty(), exitCode != 0);
        QVERIFY2(result.error.startsWith(QByteArray(QByteArray("halvex-analyze: ") + error)), result.error.constData());
    }
};

QTEST_GUILESS_MAIN(tst_RecordAverage)
#include "tst_recordaverage.moc"
