// The sample handler against the line reader: the cost of one MainWindow::onNewData for 24, 48 and 200 values in
// each acquisition variant, with and without a montage, as a ratio to splitting and converting the same text line,
// and the share of one core it takes at the most lines per second a 115200 baud 8N1 line can carry. A second table
// gives the live haemoglobin's part of onNewData (HbO/HbR of every channel, into the Haemoglobin view's graphs) for
// 100 channels at 50 samples/s: the same steps as the window takes them, alone, against the rest of the handler.
// Then the live signal check of 100 channels at 50 samples/s: its share of the handler and of a core. Last, the
// handler for 100 channels at 250 samples/s with the Lab Streaming Layer outlet off and on (with no consumer, and with
// an inlet in this process pulling every sample, whose own cost is then counted too); run with LSLAPICFG set.
#include "AcquisitionProcessor.h"
#include "BenchMain.h"
#include "DataGraphic.h"
#include "HaemoglobinFeed.h"
#include "HaemoglobinView.h"
#include "LiveQuality.h"
#include "MainWindow.h"
#include "QuietDevice.h"
#include "RecordsSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringTokenizer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <ctime>

#if HALVEX_HAS_LSL
#include "LslPublisher.h"

#include <lsl_cpp.h>

#include <QProcess>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
// Started with HALVEX_BENCH_LSL_CONSUMER=<stream name>, the benchmark is the consumer of that stream instead: it
// pulls every sample until the stream has been quiet for a second, prints how many it got, and ends.
[[maybe_unused]] const bool consumerRun = [] {
    const QByteArray name = qgetenv("HALVEX_BENCH_LSL_CONSUMER");
    if (name.isEmpty())
        return false;
    const std::vector<lsl::stream_info> found = lsl::resolve_stream("name", name.toStdString(), 1, 10.0);
    if (found.empty())
        std::exit(1);
    lsl::stream_inlet inlet(found.front());
    inlet.open_stream(10.0);
    std::printf("connected\n");
    std::fflush(stdout);
    std::vector<float> sample;
    long count = 0;
    try {
        while (inlet.pull_sample(sample, count ? 1.0 : 30.0) != 0.0)
            ++count;
    } catch (const lsl::lost_error&) {
        // The stream closed: everything sent before has arrived.
    }
    std::printf("%ld\n", count);
    std::exit(0);
}();
} // namespace
#endif

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

    void lslOutlet_data()
    {
        QTest::addColumn<bool>("consumer");
        QTest::addRow("LSL outlet, no consumer") << false;
        QTest::addRow("LSL outlet, one inlet") << true;
    }
    // Two windows fed the same samples in alternating blocks, one with the outlet off and one with it on, so that
    // the machine's other load falls on both alike; processor time of the whole process, liblsl's threads and (with
    // a consumer) the inlet's included.
    void lslOutlet()
    {
#if HALVEX_HAS_LSL
        QFETCH(bool, consumer);
        constexpr int Channels = 100;
        constexpr int Rate = 250;
        constexpr int Blocks = 20;
        QTemporaryDir folderOff, folderOn;
        QVERIFY(folderOff.isValid() && folderOn.isValid());
        MainWindow off(folderOff.path()), on(folderOn.path());
        // Other programs on this computer may publish under the default name.
        const QString name = QStringLiteral("Halvex-bench-%1").arg(QCoreApplication::applicationPid());
        for (MainWindow* window : { &off, &on }) {
            window->settings()->setAcquisition(HalvexSettings::Acquire_RIR);
            window->settings()->setLslStreamName(name);
            window->settings()->setLslOutlet(window == &on);
            window->setDevice(new QuietDevice(window));
        }
        QList<QList<double>> lines;
        for (int i = 0; i < Rate; ++i) {
            QList<double> data;
            parse(sampleLine(2 * Channels), data);
            lines << data;
        }
        qint64 ts = 1'000'000;
        // Graphs built and the stream open; both windows' histories grow alike from there.
        const int warm = 10 * Rate;
        for (int i = 0; i < warm; ++i, ts += 1000 / Rate) {
            off.onNewData(ts, lines.at(i % Rate));
            on.onNewData(ts, lines.at(i % Rate));
        }
        QVERIFY(on.lslPublisher()->sampleOutlet().isOpen() && !off.lslPublisher()->sampleOutlet().isOpen());

        // The consumer is a process of its own, as LabRecorder is: its work is not counted, only what the outlet's
        // side does for it.
        const auto startConsumer = [](QProcess& process, const QString& stream) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HALVEX_BENCH_LSL_CONSUMER"), stream);
            process.setProcessEnvironment(environment);
            process.start(QCoreApplication::applicationFilePath(), {});
            return process.waitForReadyRead(15000) && process.readLine() == "connected\n";
        };
        QProcess consumerOfOn;
        if (consumer)
            QVERIFY(startConsumer(consumerOfOn, name));
        std::clock_t spent[2] = { 0, 0 };
        for (int block = 0; block < 2 * Blocks; ++block) {
            MainWindow& window = block % 2 ? on : off;
            const qint64 first = ts + (block / 2) * 1000;
            const std::clock_t begin = std::clock();
            for (int i = 0; i < Rate; ++i)
                window.onNewData(first + i * 1000 / Rate, lines.at(i));
            spent[block % 2] += std::clock() - begin;
        }
        QTest::qWait(100); // the last held samples go out

        // The outlet alone, pushing the same samples: the figure that the handler's noise above cannot hide.
        LslSampleOutlet::Description description = on.lslPublisher()->sampleOutlet().description();
        description.name += QStringLiteral("-alone");
        LslSampleOutlet alone;
        QVERIFY(alone.open(description));
        QProcess consumerOfAlone;
        if (consumer)
            QVERIFY(startConsumer(consumerOfAlone, description.name));
        const std::clock_t beginAlone = std::clock();
        for (int i = 0; i < Blocks * Rate; ++i)
            alone.push(ts + i * 1000 / Rate, lines.at(i % Rate));
        // The library's threads send what was pushed: the time they take counts, the sleep's does not.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const double aloneUs = double(std::clock() - beginAlone) * 1e6 / CLOCKS_PER_SEC / (Blocks * Rate);
        QByteArray received;
        if (consumer) {
            // Each consumer ends once its stream has been quiet for a second and prints what it received.
            alone.close();
            for (QProcess* process : { &consumerOfOn, &consumerOfAlone }) {
                QVERIFY(process->waitForFinished(40000));
                received += process->readAllStandardOutput().trimmed() + " ";
            }
        }
        const double without = double(spent[0]) * 1e6 / CLOCKS_PER_SEC / (Blocks * Rate);
        const double with = double(spent[1]) * 1e6 / CLOCKS_PER_SEC / (Blocks * Rate);
        std::printf("%-38s %d channels at %d/s, processor time: onNewData %8.2f us without, %8.2f us with -> "
                    "%5.2f%% of a core; the push alone %6.2f us -> %5.2f%% of a core %s\n",
            QTest::currentDataTag(), Channels, Rate, without, with, (with - without) * Rate / 1e4, aloneUs,
            aloneUs * Rate / 1e4,
            received.isEmpty()
                ? ""
                : qPrintable(QStringLiteral("(consumers got %1of %2)").arg(received).arg(Blocks * Rate)));
#else
        QSKIP("built without liblsl");
#endif
    }
};

HALVEX_BENCH_MAIN(BenchOnData)
#include "bench_ondata.moc"
