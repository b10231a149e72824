#include "DataRow.h"
#include "RecordEvents.h"
#include "RecordWriter.h"
#include "SnirfExporter.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

using Times = QList<qint64>;

// The record writer's files for the given elapsed times; every value is positive and differs per line and column.
bool writeRecord(const QString& csvPath, const RecordLayout& layout, const Times& times)
{
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
    void readBack_data()
    {
        // expected: what snirf_check.py prints, less the tags
        addColumns<int, int, QString, Times, QByteArray, QByteArray, double, QByteArray>(
            { "variant", "channels", "montage", "times", "log", "events", "rate", "expected" });
        const auto event = [](qint64 time) { return RecordEvents::formatLine(time, "key", "event 1"); };

        // Intervals of 17 and 23 ms: the median of an even count is the mean of the middle two, 20 ms.
        QTest::newRow("VRIR, montage, marks and events")
            << int(RecordLayout::Acquire_VRIR) << 3 << QStringLiteral("1=Fp1;2=Fp2\n3=Cz") << regular(501, 20, 3)
            << QByteArray("5000\tSync\r\n6000\tStim A\r\n7500\t// note\r\n9000\tStim A\r\n") << event(2500) << 0.0
            << QByteArray(R"({"annotations": ["1.000 StimA", "2.500 event 1", "4.000 StimA"], "aux": ["V1 501 501",
                "V2 501 501", "V3 501 501", "elapsed_ms 501 501"], "labels": ["Fp1", "Fp2", "Cz"], "medianRate": 50,
                "nanCount": 0, "sfreq": 50})");
        Times gap = regular(200, 16);
        for (qsizetype i = 100; i < gap.size(); ++i)
            gap[i] += 200;
        // 216 ms between lines 99 and 100: grid points 1584 + 16 ... 1584 + 208 ms have no value, 13 per series.
        QTest::newRow("RIR, a gap") << int(RecordLayout::Acquire_RIR) << 2 << QString() << gap << QByteArray()
                                    << QByteArray() << 0.0
                                    << QByteArray(R"({"annotations": ["1.584 gap"], "aux": ["elapsed_ms 200 200"],
                "labels": ["1", "2"], "medianRate": 62.5, "nanCount": 52, "sfreq": 62.5})");
        QTest::newRow("rate given, late start")
            << int(RecordLayout::Acquire_aRIR) << 1 << QString() << Times { 300, 340, 380, 420, 460, 500, 540 }
            << QByteArray() << event(400) << 100.0
            << QByteArray(R"({"annotations": ["0.100 event 1"], "aux": ["elapsed_ms 7 7"], "labels": ["1"],
                "medianRate": 25, "nanCount": 0, "sfreq": 100})");
    }
    void readBack()
    {
        QFETCH(int, variant);
        QFETCH(int, channels);
        QFETCH(QString, montage);
        QFETCH(Times, times);
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, events);
        QFETCH(double, rate);
        const QString title = QString::fromLatin1(QTest::currentDataTag()).left(5);
        const QString record = recordPath(title);
        RecordLayout layout;
        layout.variant = variant;
        layout.channelCount = channels;
        layout.useMontage = !montage.isEmpty();
        layout.montageText = montage;
        QVERIFY(writeRecord(record, layout, times));
        if (!log.isEmpty())
            QVERIFY(TemporaryHome::writeFile(QString(record).replace(".csv", ".log"), log));
        QVERIFY(TemporaryHome::writeFile(RecordEvents::eventsPath(record), events));

        SnirfExporter exporter;
        SnirfExporter::Options options;
        options.rate = rate;
        options.subject = QStringLiteral("P07");
        QVERIFY2(exporter.exportRecord(record, QString(), options), qPrintable(exporter.errorString()));

        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral(SNIRF_CHECK), SnirfExporter::outputPath(record),
                QString(record).replace(".csv", ".raw") });
        QVERIFY(python.waitForFinished(100000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        QJsonObject result = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        const QTime start = QTime(9, 26, 53, 589).addMSecs(int(times.constFirst()));
        QCOMPARE(result.take("tags").toString(),
            QString("P07 2026-03-14 " + start.toString("hh:mm:ss") + ' ' + title + ' ' + HALVEX_VERSION));
        QFETCH(QByteArray, expected);
        QCOMPARE(QJsonDocument(result).toJson(QJsonDocument::Compact),
            QJsonDocument::fromJson(expected).toJson(QJsonDocument::Compact));
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
    }
};

QTEST_GUILESS_MAIN(tst_SnirfExporter)
#include "tst_snirfexporter.moc"
