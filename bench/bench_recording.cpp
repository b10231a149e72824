// The record path against the sample handler: the cost per sample of formatting and writing both record lines
// (".raw" and ".csv", each line a system call of its own), for 24 and 200 values, as a ratio to one
// MainWindow::onNewData without a record. Also the lines alone, written by the record session.
#include "BenchMain.h"
#include "MainWindow.h"
#include "QuietDevice.h"
#include "RecordSession.h"

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
};

HALVEX_BENCH_MAIN(BenchRecording)
#include "bench_recording.moc"
