// The sample handler against the line reader: the cost of one MainWindow::onNewData for 24, 48 and 200 values in
// each acquisition variant, with and without a montage, as a ratio to splitting and converting the same text line,
// and the share of one core it takes at the most lines per second a 115200 baud 8N1 line can carry. A second table
// gives the live haemoglobin's part of onNewData (HbO/HbR of every channel, into the Haemoglobin view's graphs) for
// 100 channels at 50 samples/s: the same steps as the window takes them, alone, against the rest of the handler.
// Then the live signal check of 100 channels at 50 samples/s: its share of the handler and of a core.
#include "AcquisitionProcessor.h"
#include "DataGraphic.h"
#include "BenchMain.h"
#include "HaemoglobinFeed.h"
#include "HaemoglobinView.h"
#include "LiveQuality.h"
#include "MainWindow.h"
#include "RecordsSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringTokenizer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <ctime>

namespace {
constexpr int Samples = 3000;
constexpr double BytesPerSecond = 115200.0 / 10.0; // 8 data bits, start and stop bit

QString sampleLine(int values)
{
    QStringList fields;
    for (int i = 0; i < values; ++i)
        fields << QString::number(QRandomGenerator::global()->bounded(100000, 999999));
    return fields.join(QLatin1Char(' '));
}

// What the serial instrument does with every line: split at single spaces and convert each field.
void parse(QStringView line, QList<double>& values)
{
    values.resize(0);
    for (const QStringView field : QStringTokenizer(line, QLatin1Char(' ')))
        values.append(field.toDouble());
}

QString montageFor(int channels)
{
    QStringList rows;
    for (int first = 1; first <= channels; first += 4) {
        QStringList cells;
        for (int c = first; c < first + 4 && c <= channels; ++c)
            cells << QStringLiteral("%1=Ch%1").arg(c);
        rows << cells.join(QLatin1Char(';'));
    }
    return rows.join(QLatin1Char('\n'));
}
} // namespace

class BenchOnData : public QObject
{
    Q_OBJECT
private slots:
    void onNewData_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("values");
        QTest::addColumn<bool>("montage");
        const char* const names[] = { "V-R-IR", "R-IR", "R-IR alternating" };
        for (int variant = 0; variant < 3; ++variant) {
            for (int values : { 24, 48, 200 }) {
                for (bool montage : { false, true })
                    QTest::addRow("%s, %d values%s", names[variant], values, montage ? ", montage" : "")
                        << variant << values << montage;
            }
        }
    }
    void onNewData()
    {
        QFETCH(int, variant);
        QFETCH(int, values);
        QFETCH(bool, montage);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        MainWindow window(folder.path());
        HalvexSettings* settings = window.settings();
        settings->setAcquisition(HalvexSettings::AcquisitionVariant(variant));
        settings->setMontage(montageFor(values / (variant == 0 ? 3 : 2)));
        settings->setUseMontage(montage);
        window.loadMontage();

        const QString line = sampleLine(values);
        QList<double> data;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Samples; ++i)
            parse(line, data);
        const double parseNs = double(timer.nsecsElapsed()) / Samples;

        qint64 ts = 1'000'000;
        window.onNewData(ts, data); // builds the graphs
        timer.restart();
        for (int i = 0; i < Samples; ++i) {
            data[i % values] += 1;
            window.onNewData(ts += 10, data);
        }
        const double handlerNs = double(timer.nsecsElapsed()) / Samples;
        QVERIFY(!window.graphs().isEmpty());

        const double linesPerSecond = BytesPerSecond / double(line.size() + 1);
        std::printf("%-38s parse %8.2f us  onNewData %8.2f us  ratio %6.1f  wire max %6.1f lines/s -> %5.2f%% "
                    "of a core\n",
            QTest::currentDataTag(), parseNs / 1000, handlerNs / 1000, handlerNs / parseNs, linesPerSecond,
            (parseNs + handlerNs) * linesPerSecond / 1e7);
    }

    // LiveQuality alone, fed as the handler feeds it, against the whole handler (which includes it) for the same
    // minute of samples, after half a minute that fills the window and the band-pass's span.
    void signalCheck()
    {
        constexpr int Channels = 100;
        constexpr int Rate = 50;
        constexpr int Warm = 30;
        constexpr int Seconds = 60;
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        MainWindow window(folder.path());
        window.settings()->setAcquisition(HalvexSettings::Acquire_RIR);
        QList<QList<double>> lines;
        for (int i = 0; i < Rate; ++i) {
            QList<double> data;
            parse(sampleLine(2 * Channels), data);
            lines << data;
        }

        const qint64 start = 1'000'000;
        // Processor time rather than the clock's: a loaded machine stretches the clock's by its other jobs.
        std::clock_t begin = 0;
        for (int i = 0; i < (Warm + Seconds) * Rate; ++i) {
            if (i == Warm * Rate)
                begin = std::clock();
            window.onNewData(start + qint64(i) * 1000 / Rate, lines.at(i % Rate));
        }
        const double handlerNs = double(std::clock() - begin) * 1e9 / CLOCKS_PER_SEC / (Seconds * Rate);

        LiveQuality quality(Channels, 10);
        std::vector<double> red(Channels), infrared(Channels);
        int updates = 0;
        for (int i = 0; i < (Warm + Seconds) * Rate; ++i) {
            if (i == Warm * Rate)
                begin = std::clock();
            const QList<double>& data = lines.at(i % Rate);
            for (int c = 0; c < Channels; ++c) {
                red[size_t(c)] = data.at(2 * c);
                infrared[size_t(c)] = data.at(2 * c + 1);
            }
            updates += quality.push(double(i) / Rate, red.data(), infrared.data()) ? 1 : 0;
        }
        const double checkNs = double(std::clock() - begin) * 1e9 / CLOCKS_PER_SEC / (Seconds * Rate);
        QCOMPARE(updates, Warm + Seconds - 1);
        QVERIFY(quality.qualities().front().known);

        std::printf("signal check, %d channels at %d/s, processor time: onNewData %8.2f us  check %8.2f us  "
                    "ratio %5.2f  -> check %5.2f%% of a core\n",
            Channels, Rate, handlerNs / 1000, checkNs / 1000, checkNs / handlerNs, checkNs * Rate / 1e7);
    }

    void haemoglobin_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addRow("100 channels at 50 samples/s") << 100 << 50;
        QTest::addRow("24 channels at 50 samples/s") << 24 << 50;
    }
    void haemoglobin()
    {
        QFETCH(int, channels);
        QFETCH(int, rate);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        MainWindow window(folder.path());
        window.settings()->setAcquisition(HalvexSettings::Acquire_RIR);
        window.settings()->setBaselineSeconds(1);
        const qint64 interval = 1000 / rate;
        QList<double> data;
        for (int i = 0; i < channels * 2; ++i)
            data << double(QRandomGenerator::global()->bounded(100000, 999999));
        const auto vary = [&data](int i) { data[i % data.size()] += (i % 2) ? 3 : -3; };

        // What onNewData does for the haemoglobin, on parts of its own fed the same samples.
        HaemoglobinFeed feed(window.settings(), window.analysisSettings());
        HaemoglobinView view(window.settings(), window.analysisSettings(), &feed);
        AcquisitionProcessor processor;
        processor.setVariant(AcquisitionProcessor::Acquire_RIR);
        AcquisitionProcessor::Output output;
        processor.process(data, output);
        view.rebuild(channels, processor);
        // Past the baseline, and a full history in every graph, as after a few minutes: while the graphs' history
        // still grows, its storage is moved again and again, which says nothing about a session.
        const int warmUp = 2 * int(DataGraphic::LiveHistoryMilliseconds / interval);
        qint64 ts = 1'000'000;
        for (int i = 0; i < warmUp; ++i)
            view.addKnown(feed.push(ts += interval, data, 2), output.graphs);
        QVERIFY(feed.known());

        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Samples; ++i) {
            vary(i);
            view.addKnown(feed.push(ts += interval, data, 2), output.graphs);
            view.refreshStatus();
        }
        const double haemoglobinNs = double(timer.nsecsElapsed()) / Samples;

        for (int i = 0; i < warmUp; ++i)
            window.onNewData(ts += interval, data);
        QVERIFY(window.haemoglobin()->known());
        timer.restart();
        for (int i = 0; i < Samples; ++i) {
            vary(i);
            window.onNewData(ts += interval, data);
        }
        const double handlerNs = double(timer.nsecsElapsed()) / Samples;

        std::printf("%-38s onNewData %8.2f us, of it haemoglobin %7.2f us  ratio to the rest %5.3f  -> %6.3f%% of a "
                    "core at %d samples/s\n",
            QTest::currentDataTag(), handlerNs / 1000, haemoglobinNs / 1000,
            haemoglobinNs / (handlerNs - haemoglobinNs), haemoglobinNs * rate / 1e7, rate);
    }
};

HALVEX_BENCH_MAIN(BenchOnData)
#include "bench_ondata.moc"
