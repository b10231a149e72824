#include "DataRow.h"
#include "FullDisk.h"
#include "RecordEvents.h"
#include "RecordWriter.h"
#include "SnirfExporter.h"
#include "SnirfValidation.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <ctime>

namespace {

using Times = QList<qint64>;

// The record writer's files for the given elapsed times; every value is positive and differs per line and column.
bool writeRecord(const QString& csvPath, const RecordLayout& layout, const Times& times)
{
    // The writer never writes over a record, and the rows of a test write theirs under one name.
    for (const char* extension : { ".csv", ".raw", ".ini", ".events" })
        QFile::remove(RecordWriter::companionName(csvPath, QLatin1String(extension)));
    RecordWriter writer;
    if (!writer.open(csvPath, layout))
        return false;
    QList<double> values(layout.channelCount * (layout.variant == RecordLayout::Acquire_VRIR ? 3 : 2));
    for (qsizetype i = 0; i < times.size(); ++i) {
        for (qsizetype c = 0; c < values.size(); ++c)
            values[c] = double(1000 + 50 * c + (i * 37 + c * 11) % 101);
        if (writer.writeRaw(times.at(i), values) != RecordWriter::Result::Written)
            return false;
    }
    writer.close();
    return true;
}

Times regular(int count, int step, int jitter = 0)
{
    Times times;
    for (int i = 0; i < count; ++i)
        times.append(qint64(i) * step + (i % 2) * jitter);
    return times;
}

// Samples every step ms from first on, arriving perRead at a time: each read stamps its lines with the time of the
// last one.
Times reads(qint64 first, int count, int step, int perRead)
{
    Times times;
    for (int i = 0; i < count; ++i)
        times.append(first + qint64(i / perRead * perRead + perRead - 1) * step);
    return times;
}

} // namespace

// Records made by the record writer, exported, and read back by MNE-Python and h5py (snirf_check.py), which check
// the values against the ".raw" file with their own arithmetic.
class tst_SnirfExporter : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    QString recordPath(const QString& name) const
    {
        return QDir(m_home.path()).filePath(QStringLiteral("2026.03.14-09.26.53.589-") + name + QStringLiteral(".csv"));
    }

private slots:
    // Ten hours east of UTC: the record's name gives local time, and its UTC date is the day before.
    void initTestCase()
    {
        qputenv("TZ", "HVX-10");
        tzset();
    }

    // Each row writes a record, exports it and checks the file with snirf_check.py: the subject, title, date and
    // version tags and the measurement date always, of the rest the keys that expected names.
    void exported_data()
    {
        addColumns<int, int, QString, Times, QByteArray, QByteArray, double, QString>(
            { "variant", "channels", "montage", "times", "log", "events", "rate", "expected" });
        const int rir = RecordLayout::Acquire_RIR;
        const auto event = [](qint64 time, const char* text = "event 1", const char* source = "key") {
            return RecordEvents::formatLine(time, source, QString::fromUtf8(text));
        };

        // Intervals of 17 and 23 ms: the median of an even count is the mean of the middle two, 20 ms.
        addRow("VRIR, montage, marks and events", int(RecordLayout::Acquire_VRIR), 3,
            QStringLiteral("1=Fp1;2=Fp2\n3=Cz"), regular(501, 20, 3),
            QByteArray("5000\tSync\r\n6000\tStim A\r\n7500\t// note\r\n9000\tStim A\r\n"), event(2500), 0.0,
            QStringLiteral(R"({"annotations": ["1.000 StimA", "2.500 event 1", "4.000 StimA"], "aux": ["V1 501x1 501",
                "V2 501x1 501", "V3 501x1 501", "elapsed_ms 501x1 501"], "labels": ["S-Fp1", "S-Fp2", "S-Cz", "D-Fp1",
                "D-Fp2", "D-Cz"], "medianRate": 50, "nanCount": 0, "sfreq": 50})"));
        // Texts beyond ASCII (title, subject, marks, events, montage) as escapes; a montage name used twice.
        addRow("Ärger, repeated names", rir, 3, QStringLiteral("1=Fp1;2=Fp1\n3=Цz"), regular(101, 20),
            QByteArray("1000\tSync\r\n1500\tReiz Ä\r\n"), event(800, "событие"), 0.0,
            QStringLiteral(
                R"({"annotations": ["0.500 Reiz\\u00c4", "0.800 \\u0441\\u043e\\u0431\\u044b\\u0442\\u0438\\u0435"],
                "labels": ["S-Fp1", "S-Fp1-2", "S-\\u0426z", "D-Fp1", "D-Fp1-2", "D-\\u0426z"]})"));
        Times hole = regular(200, 16);
        for (qsizetype i = 100; i < hole.size(); ++i)
            hole[i] += 200;
        // 216 ms between lines 99 and 100, less than a second: interpolated.
        addRow("RIR, a hole", rir, 2, QString(), hole, QByteArray(), QByteArray(), 0.0,
            QStringLiteral(R"({"annotations": [], "aux": ["elapsed_ms 200x1 200"], "labels": ["S-1", "S-2", "D-1",
                "D-2"], "medianRate": 62.5, "nanCount": 0, "sfreq": 62.5})"));
        addRow("rate given, late start", int(RecordLayout::Acquire_aRIR), 1, QString(),
            Times { 300, 340, 380, 420, 460, 500, 540 }, QByteArray(), event(400), 100.0,
            QStringLiteral(R"({"annotations": ["0.100 event 1"], "medianRate": 25, "sfreq": 100})"));

        // The serial device stamps lines by their arrival, so the lines of one read share a stamp; every line is a
        // sample all the same. A hole shorter than a gap is interpolated; a gap is empty.
        addRow("two lines a read at 50 Hz", rir, 2, QString(), reads(20, 300, 20, 2), QByteArray(), QByteArray(), 0.0,
            QStringLiteral(R"({"sfreq": 50, "medianRate": 50, "nanCount": 0, "aux": ["elapsed_ms 300x1 300"]})"));
        // Four lines 95 ms after the one before; later 400 ms without a line.
        addRow("a late read and a hiccup under a second", rir, 2, QString(),
            regular(200, 20) + Times(4, 4075) + reads(4095, 100, 20, 1) + reads(6475, 100, 20, 1), QByteArray(),
            QByteArray(), 0.0, QStringLiteral(R"({"sfreq": 50, "nanCount": 0, "stimuli": []})"));
        // More lines than fit the stall at the median interval: spread at less, never back past the stamp before.
        addRow("a burst after a stall", rir, 2, QString(),
            regular(100, 20) + Times(150, 3980) + reads(4000, 100, 20, 1), QByteArray(), QByteArray(), 0.0,
            QStringLiteral(R"({"sfreq": 50, "nanCount": 0, "stimuli": []})"));
        // The three lines that end it were taken 20 ms apart: the gap is 1980 to 3940 ms, 97 grid points, 4 series.
        addRow("unplugged for two seconds", rir, 2, QString(),
            regular(100, 20) + Times(3, 3980) + reads(4000, 100, 20, 1), QByteArray(), QByteArray(), 0.0,
            QStringLiteral(R"({"sfreq": 50, "nanCount": 388, "stimuli": ["1.980 1.960 gap"]})"));
        Times repeated = regular(100, 20);
        repeated.insert(3, 40);
        addRow("one stamp twice, finer grid", rir, 2, QString(), repeated, QByteArray(), QByteArray(), 100.0,
            QStringLiteral(R"({"sfreq": 100, "nanCount": 0})"));

        // Readers take the rate from the "time" dataset; MNE-Python rounds its steps to four decimals. An event 15 s
        // in lands on the sample 15 s in.
        const QByteArray at15 = event(15000, "event");
        addRow("50 Hz, every time point", rir, 1, QString(), regular(1001, 20), QByteArray(), at15, 50.0,
            QStringLiteral(
                R"({"sfreq": 50, "eventSamples": [750], "timeLength": 1001, "annotations": ["15.000 event"]})"));
        addRow("60 Hz", rir, 1, QString(), regular(1001, 20), QByteArray(), at15, 60.0,
            QStringLiteral(R"({"sfreq": 60, "eventSamples": [900], "timeLength": 2})"));
        addRow("160 Hz", rir, 1, QString(), regular(1001, 20), QByteArray(), at15, 160.0,
            QStringLiteral(R"({"sfreq": 160, "eventSamples": [2400], "timeLength": 2})"));

        // Every stimulus in the file reaches the reader (snirf_check.py fails on one that MNE drops), under a name of
        // its own. The samples run from 300 to 4280 ms, with a gap from 1280 to 2600 ms in the second row.
        addRow("log starting at 0, marks before the first sample and after the last", rir, 1, QString(),
            reads(300, 200, 20, 1), QByteArray("0\tSync\r\n2000\tmark\r\n"),
            event(100, "early", "http") + event(1300, "inside", "http") + event(4290, "last", "http")
                + event(9000, "late", "http"),
            0.0, QStringLiteral(R"({"stimuli": ["1.000 0.000 inside", "1.700 0.000 mark", "3.990 0.000 last"]})"));
        addRow("marks without text or called gap", rir, 1, QString(), reads(300, 50, 20, 1) + reads(2600, 85, 20, 1),
            QByteArray("0\tSync\r\n1000\t\r\n"),
            event(1100, "", "http") + event(1200, " ", "http") + event(3000, "gap", "http")
                + event(3500, "gap (mark)", "http"),
            0.0, QStringLiteral(R"j({"stimuli": ["0.700 0.000 Mark", "0.800 0.000 Mark", "0.900 0.000 Mark",
                "0.980 1.320 gap", "2.700 0.000 gap (mark) (mark)", "3.200 0.000 gap (mark)"]})j"));
    }
    void exported()
    {
        QFETCH(int, variant);
        QFETCH(int, channels);
        QFETCH(QString, montage);
        QFETCH(Times, times);
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, events);
        QFETCH(double, rate);
        const QString title = QString::fromUtf8(QTest::currentDataTag()).left(5);
        const QString record = recordPath(title);
        RecordLayout layout;
        layout.variant = variant;
        layout.channelCount = channels;
        layout.useMontage = !montage.isEmpty();
        layout.montageText = montage;
        QVERIFY(writeRecord(record, layout, times));
        QFile::remove(QString(record).replace(".csv", ".log"));
        if (!log.isEmpty())
            QVERIFY(TemporaryHome::writeFile(QString(record).replace(".csv", ".log"), log));
        QVERIFY(TemporaryHome::writeFile(RecordEvents::eventsPath(record), events));

        SnirfExporter exporter;
        SnirfExporter::Options options;
        options.rate = rate;
        options.overwrite = true;
        options.subject = QStringLiteral("P07-") + title;
        QVERIFY2(exporter.exportRecord(record, QString(), options), qPrintable(exporter.errorString()));
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral(SNIRF_CHECK), SnirfExporter::outputPath(record),
                QString(record).replace(".csv", ".raw") });
        QVERIFY(python.waitForFinished(100000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonObject result = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        const QDateTime utc = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53, 589)).addMSecs(times.constFirst()).toUTC();
        QCOMPARE(utc.date(), QDate(2026, 3, 13));
        QCOMPARE(result.value("tags").toString(),
            "P07-" + title + utc.toString(" yyyy-MM-dd hh:mm:ssZ ") + title + ' ' + HALVEX_VERSION);
        QCOMPARE(result.value("measDate").toString(), utc.toString("yyyy-MM-ddThh:mm:ss+00:00"));
        const QJsonValue validator = result.value("validator");
        QVERIFY2(validator.isString() || validator.toArray().isEmpty(),
            QJsonDocument(validator.toArray()).toJson().constData());
        QFETCH(QString, expected);
        const QJsonObject wanted = QJsonDocument::fromJson(expected.toUtf8()).object();
        QVERIFY(!wanted.isEmpty());
        for (auto it = wanted.begin(); it != wanted.end(); ++it)
            QVERIFY2(result.value(it.key()) == it.value(),
                qPrintable(
                    it.key() + ": " + QJsonDocument(QJsonObject { { it.key(), result.value(it.key()) } }).toJson()));
        if (validator.isString())
            QSKIP(qPrintable(validator.toString()));
    }

    void damaged_data()
    {
        // error: none when exported
        addColumns<QByteArray, qint64, qint64, QString>({ "raw", "samples", "skipped", "error" });
        const auto row
            = [](const char* name, const QByteArray& lines, qint64 samples, qint64 skipped, const char* error = "") {
                  QTest::newRow(name) << ";R1;IR1;R2;IR2\r\n" + lines << samples << skipped << QString::fromUtf8(error);
              };
        const QByteArray lines = "0;1;2;3;4\r\n20;1;2;3;4\r\n40;1;nan;3;-4\r\n";
        row("truncated last line", lines + "60;1;2", 3, 1);
        row("garbage and junk lines", "0;1;2;3;4\r\nx;y;z;w;v\r\n" + QByteArray("\0\xff\x01;;\r\n", 7) + lines, 4, 2);
        row("value count changes", lines + "60;1;2;3;4;5;6\r\n", 3, 1);
        row("times out of order", "40;1;2;3;4\r\n0;1;2;3;4\r\n20;1;2;3;4\r\n", 3, 0);
        row("one sample", "0;1;2;3;4\r\nx\r\n", 1, 1, "fewer than 2 samples (1 damaged lines skipped)");
        row("one time", "5;1;2;3;4\r\n5;1;2;3;4\r\n", 2, 0, "every sample has the same time");
        QTest::newRow("no header") << lines << 0LL << 0LL
                                   << "not a raw record (no header line naming R and IR columns)";
        row("time spanning days", lines + "999999999;1;2;3;4\r\n", 4, 0,
            "the times span more than 24 hours (damaged time column?)");
        row("few samples a day apart", "0;1;2;3;4\r\n1;1;2;3;4\r\n2;1;2;3;4\r\n3;1;2;3;4\r\n86000000;1;2;3;4\r\n", 5, 0,
            "5 samples spread over 23.9 hours (damaged time column?)");
    }
    void damaged()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, error);
        const QString record = recordPath(QStringLiteral("damaged"));
        const QString rawPath = QString(record).replace(".csv", ".raw");
        QFile::remove(SnirfExporter::outputPath(record));
        QVERIFY(TemporaryHome::writeFile(rawPath, raw));
        SnirfExporter exporter;
        QCOMPARE(exporter.exportRecord(record, QString(), {}), error.isEmpty());
        QTEST(exporter.summary().samples, "samples");
        QTEST(exporter.summary().skippedLines, "skipped");
        QCOMPARE(exporter.errorString(), error.isEmpty() ? error : rawPath + ": " + error);
        QCOMPARE(QFileInfo::exists(SnirfExporter::outputPath(record)), error.isEmpty());
        if (!error.isEmpty())
            return;
        const SnirfValidation validation = SnirfValidation::run(SNIRF_VALIDATE, { SnirfExporter::outputPath(record) });
        QVERIFY2(validation.outcome != SnirfValidation::Failed, qPrintable(validation.report));
        if (validation.outcome == SnirfValidation::Absent)
            QSKIP(qPrintable(validation.report));
    }

    // The disk fills up while the file is written (its descriptor is pointed at /dev/full): the export fails with
    // the system's reason and leaves no file, and the HDF5 library stays usable, for the next export and for its
    // clean-up at exit (this process ending normally is part of the test).
    void failingDisk_data()
    {
        addColumns<double>({ "failAt" });
        QTest::newRow("while the data are written") << 0.5;
        // After the last block: the chunks still cached go out as the data set is finished.
        QTest::newRow("while the last data are written out") << 0.849;
        QTest::newRow("while the file is closed") << 0.9;
    }
    void failingDisk()
    {
        QFETCH(double, failAt);
        const QString record = recordPath(QStringLiteral("full"));
        RecordLayout layout;
        layout.variant = RecordLayout::Acquire_VRIR;
        layout.channelCount = 4;
        QVERIFY(writeRecord(record, layout, regular(60000, 10)));
        QFile::remove(SnirfExporter::outputPath(record));
        const QDir folder(m_home.path());
        bool redirected = false;
        SnirfExporter exporter;
        SnirfExporter::Options options;
        options.overwrite = true;
        QVERIFY(!exporter.exportRecord(record, QString(), options, [&](double fraction) {
            const QStringList parts = folder.entryList({ "*.part" }, QDir::Files);
            if (!redirected && fraction >= failAt && parts.size() == 1)
                redirected = FullDisk::redirect(folder.filePath(parts.constFirst()));
        }));
        QVERIFY(redirected);
        QCOMPARE(exporter.failure(), SnirfExporter::Failure::Output);
        QCOMPARE(exporter.errorString(), SnirfExporter::outputPath(record) + ": No space left on device");
        QCOMPARE(folder.entryList({ "*full.snirf*" }, QDir::Files), QStringList());

        QVERIFY2(exporter.exportRecord(record, QString(), options), qPrintable(exporter.errorString()));
        const SnirfValidation validation = SnirfValidation::run(SNIRF_VALIDATE, { SnirfExporter::outputPath(record) });
        QVERIFY2(validation.outcome != SnirfValidation::Failed, qPrintable(validation.report));
    }
};

QTEST_GUILESS_MAIN(tst_SnirfExporter)
#include "tst_snirfexporter.moc"
