#include "FullDisk.h"
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

#include <functional>

namespace {

using Times = QList<qint64>;

// The record writer's files for the given elapsed times; every value is positive and differs per line and column.
bool writeRecord(const QString& csvPath, const RecordLayout& layout, const Times& times)
{
    RecordWriter writer;
    if (!writer.open(csvPath, layout))
        return false;
    const int perChannel = layout.variant == RecordLayout::Acquire_VRIR ? 3 : 2;
    QList<double> values(layout.channelCount * perChannel);
    for (qsizetype i = 0; i < times.size(); ++i) {
        for (qsizetype c = 0; c < values.size(); ++c)
            values[c] = double(1000 + 50 * c + (i * 37 + c * 11) % 101);
        if (!writer.writeRaw(times.at(i), values))
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

QStringList strings(const QJsonValue& value)
{
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list.append(item.toString());
    return list;
}

} // namespace

// Records made by the record writer, exported, and read back by MNE-Python and h5py, which check the values
// against the ".raw" file with their own arithmetic.
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
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("montage");
        QTest::addColumn<Times>("times");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<Times>("eventTimes");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("sfreq");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("annotations");
        QTest::addColumn<int>("nanCount");
        QTest::addColumn<QStringList>("aux");

        // Intervals of 17 and 23 ms: the median of an even count is the mean of the middle two, 20 ms.
        QTest::newRow("V-R-IR, montage, marks and events")
            << int(RecordLayout::Acquire_VRIR) << 3 << QStringLiteral("1=Fp1;2=Fp2\n3=Cz") << regular(501, 20, 3)
            << QByteArray("5000\tSync\r\n6000\tStim A\r\n7500\t// note\r\n9000\tStim A\r\n") << Times { 2500 } << 0.0
            << 50.0 << QStringList { "Fp1", "Fp2", "Cz" }
            << QStringList { "1.000 StimA", "2.500 event 1", "4.000 StimA" } << 0
            << QStringList { "V1 501 501", "V2 501 501", "V3 501 501", "elapsed_ms 501 501" };
        Times gap = regular(200, 16);
        for (qsizetype i = 100; i < gap.size(); ++i)
            gap[i] += 200;
        // 216 ms between lines 99 and 100: grid points 1584 + 16 ... 1584 + 208 ms have no value, 13 per series.
        QTest::newRow("R-IR without montage, a gap")
            << int(RecordLayout::Acquire_RIR) << 2 << QString() << gap << QByteArray() << Times {} << 0.0 << 62.5
            << QStringList { "1", "2" } << QStringList { "1.584 gap" } << 13 * 4
            << QStringList { "elapsed_ms 200 200" };
        QTest::newRow("rate given, record starting late")
            << int(RecordLayout::Acquire_aRIR) << 1 << QString() << Times { 300, 340, 380, 420, 460, 500, 540 }
            << QByteArray() << Times { 400 } << 100.0 << 100.0 << QStringList { "1" } << QStringList { "0.100 event 1" }
            << 0 << QStringList { "elapsed_ms 7 7" };
    }

    void readBack()
    {
        QFETCH(int, variant);
        QFETCH(int, channels);
        QFETCH(QString, montage);
        QFETCH(Times, times);
        QFETCH(QByteArray, log);
        QFETCH(Times, eventTimes);
        QFETCH(double, rate);

        const QString record = recordPath(QString::fromLatin1(QTest::currentDataTag()).left(5));
        RecordLayout layout;
        layout.variant = variant;
        layout.channelCount = channels;
        layout.useMontage = !montage.isEmpty();
        layout.montageText = montage;
        QVERIFY(writeRecord(record, layout, times));
        if (!log.isEmpty())
            QVERIFY(TemporaryHome::writeFile(QString(record).replace(".csv", ".log"), log));
        QByteArray events;
        for (qint64 time : eventTimes)
            events += RecordEvents::formatLine(time, QStringLiteral("key"), QStringLiteral("event 1"));
        QVERIFY(TemporaryHome::writeFile(RecordEvents::eventsPath(record), events));

        SnirfExporter exporter;
        SnirfExporter::Options options;
        options.rate = rate;
        options.subject = QStringLiteral("P07");
        QVERIFY2(exporter.exportRecord(record, QString(), options), qPrintable(exporter.errorString()));
        const QString snirf = SnirfExporter::outputPath(record);
        QCOMPARE(exporter.summary().output, snirf);

        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral(SNIRF_CHECK), snirf, QString(record).replace(".csv", ".raw") });
        QVERIFY(python.waitForFinished(100000));
        const QByteArray output = python.readAllStandardOutput();
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonObject result = QJsonDocument::fromJson(output).object();

        QStringList expectedChannels;
        for (int c = 1; c <= channels; ++c)
            expectedChannels << QStringLiteral("S%1_D%1 760").arg(c) << QStringLiteral("S%1_D%1 850").arg(c);
        QCOMPARE(strings(result["channels"]), expectedChannels);
        QTEST(result["sfreq"].toDouble(), "sfreq");
        if (rate == 0)
            QCOMPARE(result["sfreq"].toDouble(), result["medianRate"].toDouble());
        QVERIFY2(result["maxError"].toDouble() < 1e-9, output.constData());
        QCOMPARE(result["nanMismatch"].toInt(), 0);
        QTEST(result["nanCount"].toInt(), "nanCount");
        QTEST(strings(result["annotations"]), "annotations");
        QTEST(strings(result["labels"]), "labels");
        QTEST(strings(result["aux"]), "aux");
        QVERIFY(result["elapsedExact"].toBool());
        QCOMPARE(strings(result["hb"]).size(), channels * 2);
        QCOMPARE(strings(result["hb"]).constFirst(), QStringLiteral("S1_D1 hbo"));
        // Optical density of a series with a gap is NaN throughout: MNE takes the plain mean.
        QCOMPARE(result["hbFinite"].toBool(), result["nanCount"].toInt() == 0);
        QCOMPARE(result["distances"].toArray(), QJsonArray { 0.03 });

        const QJsonObject tags = result["tags"].toObject();
        QCOMPARE(tags["SubjectID"].toString(), QStringLiteral("P07"));
        QCOMPARE(tags["MeasurementDate"].toString(), QStringLiteral("2026-03-14"));
        QCOMPARE(tags["MeasurementTime"].toString(),
            QTime(9, 26, 53, 589).addMSecs(int(times.constFirst())).toString(QStringLiteral("hh:mm:ss")));
        QCOMPARE(tags["LengthUnit"].toString(), QStringLiteral("mm"));
        QCOMPARE(tags["Title"].toString(), QString::fromLatin1(QTest::currentDataTag()).left(5));
        QCOMPARE(tags["SoftwareVersion"].toString(), QStringLiteral(HALVEX_VERSION));
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("exported");
        QTest::addColumn<qint64>("samples");
        QTest::addColumn<qint64>("skipped");
        QTest::addColumn<QString>("error");

        const QByteArray header = ";R1;IR1;R2;IR2\r\n";
        const QByteArray lines = "0;1;2;3;4\r\n20;1;2;3;4\r\n40;1;nan;3;-4\r\n";
        QTest::newRow("truncated last line") << header + lines + "60;1;2" << true << 3LL << 1LL << QString();
        QTest::newRow("garbage and junk lines")
            << header + "0;1;2;3;4\r\nx;y;z;w;v\r\n" + QByteArray("\0\xff\x01;;\r\n", 7) + lines << true << 4LL << 2LL
            << QString();
        QTest::newRow("value count changes") << header + lines + "60;1;2;3;4;5;6\r\n"
                                             << true << 3LL << 1LL << QString();
        QTest::newRow("times out of order") << header + "40;1;2;3;4\r\n0;1;2;3;4\r\n20;1;2;3;4\r\n"
                                            << true << 3LL << 0LL << QString();
        QTest::newRow("one sample") << header + "0;1;2;3;4\r\n" + "x\r\n"
                                    << false << 1LL << 1LL
                                    << QStringLiteral("fewer than 2 samples (1 damaged lines skipped)");
        QTest::newRow("one time") << header + "5;1;2;3;4\r\n5;1;2;3;4\r\n"
                                  << false << 2LL << 0LL << QStringLiteral("every sample has the same time");
        QTest::newRow("no header") << lines << false << 0LL << 0LL
                                   << QStringLiteral("not a raw record (no header line naming R and IR columns)");
        QTest::newRow("damaged time spanning days")
            << header + lines + "999999999;1;2;3;4\r\n"
            << false << 4LL << 0LL << QStringLiteral("the times span more than 24 hours (damaged time column?)");
        QTest::newRow("missing") << QByteArray() << false << 0LL << 0LL << QStringLiteral("no such file");
    }

    void damaged()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, exported);
        const QString record = recordPath(QStringLiteral("damaged"));
        const QString rawPath = QString(record).replace(".csv", ".raw");
        QFile::remove(rawPath);
        QFile::remove(SnirfExporter::outputPath(record));
        if (!raw.isEmpty())
            QVERIFY(TemporaryHome::writeFile(rawPath, raw));

        SnirfExporter exporter;
        QCOMPARE(exporter.exportRecord(record, QString(), {}), exported);
        QTEST(exporter.summary().samples, "samples");
        QTEST(exporter.summary().skippedLines, "skipped");
        QFETCH(QString, error);
        QCOMPARE(exporter.errorString(), error.isEmpty() ? error : rawPath + ": " + error);
        QCOMPARE(QFileInfo::exists(SnirfExporter::outputPath(record)), exported);
    }

    // The disk fills up while the file is written: the export fails with the system's reason and leaves nothing.
    void fullDisk()
    {
        const QString record = recordPath(QStringLiteral("full"));
        RecordLayout layout;
        layout.variant = RecordLayout::Acquire_RIR;
        layout.channelCount = 12;
        QVERIFY(writeRecord(record, layout, regular(20000, 16)));
        const QString snirf = SnirfExporter::outputPath(record);
        bool redirected = false;
        const auto fillDisk = [&](double fraction) {
            if (redirected || fraction < 0.9)
                return;
            redirected = FullDisk::redirectIn(m_home.path());
        };
        SnirfExporter exporter;
        QVERIFY(!exporter.exportRecord(record, QString(), {}, fillDisk));
        QVERIFY(redirected);
        QCOMPARE(exporter.failure(), SnirfExporter::Failure::Output);
        QVERIFY2(exporter.errorString().endsWith(QStringLiteral(": No space left on device")),
            qPrintable(exporter.errorString()));
        QVERIFY(!QFileInfo::exists(snirf));
        QCOMPARE(QDir(m_home.path()).entryList({ QStringLiteral("*.part") }, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_SnirfExporter)
#include "tst_snirfexporter.moc"
