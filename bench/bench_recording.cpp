// The record path against the sample handler: the cost per sample of formatting and writing both record lines
// (".raw" and ".csv", each line a system call of its own), for 24 and 200 values, as a ratio to one
// MainWindow::onNewData without a record. Also the lines alone, written by the record session; and what the syncs
// of the files to the disk cost, which happen at most once a second while a record runs.
#include "BenchMain.h"
#include "MainWindow.h"
#include "QuietDevice.h"
#include "RecordSession.h"
#include "RecordWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {
constexpr int Samples = 20000;

QList<double> sample(int values)
{
    QList<double> data;
    for (int i = 0; i < values; ++i)
        data.append(QRandomGenerator::global()->bounded(100000, 999999) + 0.37);
    return data;
}

double handlerNs(MainWindow& window, QList<double>& data, qint64& ts)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Samples; ++i) {
        data[i % data.size()] += 1;
        window.onNewData(ts += 10, data);
    }
    return double(timer.nsecsElapsed()) / Samples;
}
} // namespace

class BenchRecording : public QObject
{
    Q_OBJECT
private slots:
    void recordPath_data()
    {
        QTest::addColumn<int>("values");
        QTest::newRow("24 values") << 24;
        QTest::newRow("200 values") << 200;
    }

    void recordPath()
    {
        QFETCH(int, values);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir::setCurrent(folder.path()));
        MainWindow window(folder.path());
        HalvexSettings* settings = window.settings();
        settings->setSendOnStartRecord(QString());
        settings->setSendOnEndRecord(QString());
        window.setDevice(new QuietDevice(&window));

        QList<double> data = sample(values);
        qint64 ts = QDateTime::currentMSecsSinceEpoch();
        window.onNewData(ts, data); // builds the graphs
        const double idleNs = handlerNs(window, data, ts);
        window.startRecord();
        QVERIFY(window.recordSession()->isRecording());
        const double recordingNs = handlerNs(window, data, ts);
        window.stopRecord();

        RecordSession session;
        RecordLayout layout;
        layout.channelCount = values / 2;
        QVERIFY(session.startRecord(QStringLiteral("lines.csv"), layout));
        const QList<double> processed = sample(values / 2 * 3);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Samples; ++i) {
            session.writeRaw(ts + i, data);
            session.writeProcessed(ts + i, processed);
        }
        const double linesNs = double(timer.nsecsElapsed()) / Samples;
        session.stopRecord();
        QDir::setCurrent(QDir::tempPath());

        std::printf("%-11s onNewData %7.2f us  recording %7.2f us  record path %6.2f us  ratio %5.2f  "
                    "(both lines alone %6.2f us, ratio %5.2f)\n",
            QTest::currentDataTag(), idleNs / 1000, recordingNs / 1000, (recordingNs - idleNs) / 1000,
            (recordingNs - idleNs) / idleNs, linesNs / 1000, linesNs / idleNs);
    }

    // Both lines of a sample written without a sync, and with a sync of the three files after each: the difference
    // is the cost of one sync, which a running record pays at most once a second.
    void syncCost_data()
    {
        QTest::addColumn<int>("values");
        QTest::newRow("24 values") << 24;
        QTest::newRow("200 values") << 200;
    }
    void syncCost()
    {
        QFETCH(int, values);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QList<double> raw = sample(values);
        const QList<double> processed = sample(values / 2 * 3);
        double lineNs[2] = {};
        const int rounds[2] = { Samples, 200 };
        for (int synced = 0; synced < 2; ++synced) {
            RecordWriter writer;
            writer.setSyncIntervalMs(synced ? 0 : -1);
            QVERIFY(writer.open(folder.filePath(QStringLiteral("sync%1.csv").arg(synced)), RecordLayout()));
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < rounds[synced]; ++i) {
                QVERIFY(writer.writeRaw(i, raw) == RecordWriter::Result::Written);
                QVERIFY(writer.writeProcessed(i, processed) == RecordWriter::Result::Written);
            }
            lineNs[synced] = double(timer.nsecsElapsed()) / rounds[synced];
        }
        // A sync follows each of the two lines when every write is due for one.
        const double syncNs = (lineNs[1] - lineNs[0]) / 2;
        std::printf("%-11s both lines %6.2f us unsynced, %8.2f us synced each; one sync %8.2f us, at most once a "
                    "second: %.3f %% of a core\n",
            QTest::currentDataTag(), lineNs[0] / 1000, lineNs[1] / 1000, syncNs / 1000, syncNs / 1e9 * 100);
    }
};

HALVEX_BENCH_MAIN(BenchRecording)
#include "bench_recording.moc"
