// Live load: graphs in one 1600 × 1000 window, each holding a full window of history before the measurement starts
// and fed live at the given rate, as the main window feeds them. For every case the graphs run once with the frame
// image and once repainting everything on every tick (the drawing before the frame image), and the bench prints the
// CPU time per wall second and the frames each graph painted per second of both. A third run gives the floor of
// any drawing in which the whole picture moves: plain widgets of the same size that, as often as the graphs painted,
// only copy a ready picture into the window, as the frame image's last step does. A fourth run draws the graphs as
// the Haemoglobin view does (HbO and HbR in nM, its pens and grid labels, with the frame image), and the bench prints
// its CPU time against the raw graphs' frame image.
//
// Without arguments it runs every case on the offscreen platform and under Xvfb (xcb, so that the flush to a window
// server counts; an X display is started when none is set) and prints one table. -seconds N sets the measured time
// per case (default 10); -platform-run NAME runs the cases in this process only (used for the two runs);
// -functions lists the cases; -case N runs only the Nth of them (from 0) and -frame-only only the frame image;
// -steps N moves a simulated clock by N repaint ticks instead, so that a profiler (valgrind --tool=callgrind) sees
// frames that do the same work as at full speed.
#include "BenchMain.h"
#include "DataGraphic.h"
#include "HaemoglobinView.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QPainter>
#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <iterator>

namespace {
struct Case
{
    int graphs;
    int seconds;
    int rate;
};
const Case Cases[] = { { 24, 10, 10 }, { 24, 10, 50 }, { 24, 120, 10 }, { 24, 120, 50 }, { 100, 10, 10 },
    { 100, 10, 50 }, { 100, 120, 10 }, { 100, 120, 50 } };

class PaintCounter : public QObject
{
public:
    qint64 paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

QList<double> sample(qint64 n, int graph)
{
    const double t = double(n) / 10;
    return { 40 * std::sin(t + graph), 30 * std::sin(t * 1.3 + graph), 20 * std::cos(t * 0.7 + graph) };
}

// HbO and HbR in nM, as the Haemoglobin view feeds its graphs: a few hundred nM, HbR smaller and opposite.
QList<double> haemoglobinSample(qint64 n, int graph)
{
    const double t = double(n) / 10;
    return { 400 * std::sin(t / 3 + graph), -150 * std::sin(t / 3 + graph + 0.5) };
}

enum class Look { Raw, Haemoglobin };

struct Options
{
    int seconds = 10;
    int only = -1; // the index of the one case to run, or -1 for all
    bool frameOnly = false;
    int steps = 0; // frames on a simulated clock instead of seconds of real time
};

qint64 s_simulatedNow = 0;
qint64 simulatedClock()
{
    return s_simulatedNow;
}

struct Result
{
    double cpuPerSecond = qQNaN(); // CPU seconds per wall second, or per frame on the simulated clock
    double framesPerSecond = qQNaN(); // frames per graph per wall second, or per simulated step
};

// CPU seconds and wall seconds of running the event loop for the given seconds.
struct Span
{
    double cpu;
    double wall;
};
Span runFor(int seconds)
{
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    QTest::qWait(seconds * 1000);
    return { cpuSeconds() - cpu0, double(wall.nsecsElapsed()) / 1e9 };
}

// The window of a case, and the grid its graphs go into: two columns, or four for 100 graphs.
QGridLayout* caseGrid(QWidget& window)
{
    window.resize(1600, 1000);
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(2);
    return grid;
}

int gridRows(const Case& c)
{
    const int columns = c.graphs > 24 ? 4 : 2;
    return (c.graphs + columns - 1) / columns;
}

// One case. On the real clock the graphs run for options.seconds; on the simulated clock the time moves by one
// repaint tick (20 ms) after another and every tick has the time to paint, whatever a profiler costs, so that each
// frame does the work it does at full speed.
Result measure(const Case& c, bool frameImage, const Options& options, Look look = Look::Raw)
{
    const auto values = [look](qint64 n, int graph) {
        return look == Look::Haemoglobin ? haemoglobinSample(n, graph) : sample(n, graph);
    };
    DataGraphic::setFullLiveRepaint(!frameImage);
    const bool simulated = options.steps > 0;
    QWidget window;
    QGridLayout* grid = caseGrid(window);
    const int rows = gridRows(c);
    PaintCounter counter;
    QList<DataGraphic*> graphs;
    const qint64 interval = 1000 / c.rate;
    s_simulatedNow = QDateTime::currentMSecsSinceEpoch();
    const auto now = [simulated] { return simulated ? s_simulatedNow : QDateTime::currentMSecsSinceEpoch(); };
    qint64 n = 0;
    for (int i = 0; i < c.graphs; ++i) {
        auto* graph = new DataGraphic(&window);
        if (simulated)
            graph->setClock(&simulatedClock);
        if (look == Look::Haemoglobin)
            HaemoglobinView::styleGraph(graph);
        else
            graph->setColor(QColor::fromHsl((i * 37) % 360, 200, 150));
        graph->setShowValueLabels(false);
        graph->setCommonSpan(-1);
        graph->setViewSeconds(c.seconds);
        graph->setShowTimeLabels(i % rows == rows - 1);
        graph->setTitle(QLatin1Char('#') + QString::number(i + 1));
        graph->setLive(true);
        // A full window of history, as after a few minutes of a session.
        n = 0;
        for (qint64 t = now() - (c.seconds + 1) * 1000; t <= now(); t += interval, ++n)
            graph->addData(t, values(n, i), true, 0);
        graph->installEventFilter(&counter);
        grid->addWidget(graph, i % rows, i / rows);
        graphs.append(graph);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {};

    const auto feed = [&] {
        const qint64 t = now();
        for (int i = 0; i < graphs.size(); ++i)
            graphs[i]->addData(t, values(n, i), true, 0);
        ++n;
    };
    if (simulated) {
        constexpr qint64 Tick = 20;
        qint64 nextFeed = s_simulatedNow + interval;
        const auto run = [&](int steps) {
            for (int step = 0; step < steps; ++step) {
                s_simulatedNow += Tick;
                for (; nextFeed <= s_simulatedNow; nextFeed += interval)
                    feed();
                // Longer than the repaint timer's interval, so that it fires at least once in every step, and the
                // repaints it asked for done before the clock moves on, however slowly they run.
                QTest::qWait(int(Tick) + 5);
                QCoreApplication::sendPostedEvents();
            }
        };
        run(20); // settle: layouts, first full frames
        counter.paints = 0;
        const double cpu0 = cpuSeconds();
        run(options.steps);
        const double cpu = cpuSeconds() - cpu0;
        return { cpu / double(qMax<qint64>(counter.paints, 1)), double(counter.paints) / c.graphs / options.steps };
    }
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, &window, feed);
    feeder.start(int(interval));
    QTest::qWait(1000); // settle: layouts, first full frames
    counter.paints = 0;
    const Span span = runFor(options.seconds);
    return { span.cpu / span.wall, double(counter.paints) / c.graphs / span.wall };
}

// A widget that on every repaint copies a ready picture of its size into the window, and draws nothing else.
class PictureCopy : public QWidget
{
public:
    explicit PictureCopy(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_picture.size() != size() * devicePixelRatio()) {
            m_picture = QImage(size() * devicePixelRatio(), QImage::Format_RGB32);
            m_picture.setDevicePixelRatio(devicePixelRatio());
            m_picture.fill(QColor(0x333333));
        }
        QPainter(this).drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

// CPU seconds per wall second of the picture copies alone, on the real clock, at the frame rate the graphs reached.
double measureCopyFloor(const Case& c, const Options& options, double framesPerSecond)
{
    if (!(framesPerSecond > 0))
        return qQNaN();
    QWidget window;
    QGridLayout* grid = caseGrid(window);
    const int rows = gridRows(c);
    QList<QWidget*> pictures;
    for (int i = 0; i < c.graphs; ++i) {
        pictures.append(new PictureCopy(&window));
        grid->addWidget(pictures.constLast(), i % rows, i / rows);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return qQNaN();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &window, [&pictures] {
        for (QWidget* picture : std::as_const(pictures))
            picture->update();
    });
    tick.start(qRound(1000 / framesPerSecond));
    QTest::qWait(1000); // settle: layouts, first frames
    const Span span = runFor(options.seconds);
    return span.cpu / span.wall;
}

QStringList childArguments(const QString& platform, const Options& options)
{
    QStringList arguments { QStringLiteral("-platform-run"), platform, QStringLiteral("-seconds"),
        QString::number(options.seconds) };
    if (options.only >= 0)
        arguments << QStringLiteral("-case") << QString::number(options.only);
    if (options.frameOnly)
        arguments << QStringLiteral("-frame-only");
    if (options.steps > 0)
        arguments << QStringLiteral("-steps") << QString::number(options.steps);
    return arguments;
}

// Runs the cases on this process's platform; prints one line per case for the table.
int runHere(const Options& options)
{
    for (int i = 0; i < int(std::size(Cases)); ++i) {
        if (options.only >= 0 && i != options.only)
            continue;
        const Case& c = Cases[i];
        // Alternate the drawings case by case so that a change of load on the machine hits them alike.
        const Result before = options.frameOnly ? Result() : measure(c, false, options);
        const Result after = measure(c, true, options);
        const Result haemoglobin = measure(c, true, options, Look::Haemoglobin);
        const double copyOnly
            = options.frameOnly || options.steps > 0 ? qQNaN() : measureCopyFloor(c, options, after.framesPerSecond);
        // On the simulated clock: microseconds of CPU per frame and frames per graph per step.
        const double scale = options.steps > 0 ? 1e6 : 1;
        std::printf(options.steps > 0 ? "ROW %s %d %d %d %.1f %.4f %.1f %.4f %.3f %.1f %.4f %.2f\n"
                                      : "ROW %s %d %d %d %.3f %.1f %.3f %.1f %.3f %.3f %.1f %.2f\n",
            qPrintable(QGuiApplication::platformName()), c.graphs, c.seconds, c.rate, before.cpuPerSecond * scale,
            before.framesPerSecond, after.cpuPerSecond * scale, after.framesPerSecond, copyOnly,
            haemoglobin.cpuPerSecond * scale, haemoglobin.framesPerSecond,
            haemoglobin.cpuPerSecond / after.cpuPerSecond);
        std::fflush(stdout);
    }
    return 0;
}

bool runChild(const QString& program, const QString& platform, const Options& options, const QProcessEnvironment& env,
    QList<QByteArray>& rows)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, childArguments(platform, options));
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("ROW "))
            rows.append(line.mid(4));
    }
    return true;
}

int runAll(const QString& program, const Options& options)
{
    QList<QByteArray> rows;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!runChild(program, QStringLiteral("offscreen"), options, env, rows))
        std::fprintf(stderr, "the offscreen run failed\n");

    QProcess xvfb;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // Xvfb picks a free display and writes its number to the given descriptor (1: its standard output).
        xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1920x1200x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        if (!xvfb.waitForStarted() || !xvfb.waitForReadyRead(10000)) {
            std::fprintf(stderr, "Xvfb did not start: no xcb rows\n");
        } else {
            env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed()));
        }
    } else {
        env.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    }
    if (env.contains(QStringLiteral("DISPLAY"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        if (!runChild(program, QStringLiteral("xcb"), options, env, rows))
            std::fprintf(stderr, "the xcb run failed\n");
    }
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

    if (options.steps > 0) {
        std::printf("Live graphs in a 1600 x 1000 window, each pre-filled with a full window; %d ticks of 20 ms of a\n"
                    "simulated clock per case. CPU: microseconds of CPU per frame of one graph; fps: frames per graph\n"
                    "per tick.\n",
            options.steps);
    } else {
        std::printf("Live graphs in a 1600 x 1000 window, each pre-filled with a full window; %d s per case.\n"
                    "CPU: CPU seconds per wall second of the whole process; fps: frames per graph per second.\n",
            options.seconds);
    }
    std::printf("'repaint every tick' is the drawing without the frame image, measured in the same run; 'copy only'\n"
                "is the CPU of widgets of the graphs' size that only copy a ready picture, as often as the graphs "
                "painted;\n'haemoglobin view' draws HbO and HbR as that view does, with the frame image, and 'ratio' "
                "is its CPU\nover the frame image's.\n\n");
    std::printf("| platform | graphs | window | samples/s | repaint every tick: CPU | fps | frame image: CPU | fps | "
                "copy only: CPU | haemoglobin view: CPU | fps | ratio |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const QByteArray& row : rows) {
        const QList<QByteArray> f = row.split(' ');
        if (f.size() == 12) {
            std::printf("| %s | %s | %s s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", f[0].constData(),
                f[1].constData(), f[2].constData(), f[3].constData(), f[4].constData(), f[5].constData(),
                f[6].constData(), f[7].constData(), f[8].constData(), f[9].constData(), f[10].constData(),
                f[11].constData());
        }
    }
    return rows.isEmpty() ? 1 : 0;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    QString platform;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-functions") == 0) {
            for (int c = 0; c < int(std::size(Cases)); ++c) {
                std::printf(
                    "%d: %d graphs, %d s window, %d samples/s\n", c, Cases[c].graphs, Cases[c].seconds, Cases[c].rate);
            }
            return 0;
        }
        if (qstrcmp(argv[i], "-seconds") == 0 && i + 1 < argc)
            options.seconds = qMax(1, atoi(argv[++i]));
        else if (qstrcmp(argv[i], "-case") == 0 && i + 1 < argc)
            options.only = qBound(0, atoi(argv[++i]), int(std::size(Cases)) - 1);
        else if (qstrcmp(argv[i], "-frame-only") == 0)
            options.frameOnly = true;
        else if (qstrcmp(argv[i], "-steps") == 0 && i + 1 < argc)
            options.steps = qMax(0, atoi(argv[++i]));
        else if (qstrcmp(argv[i], "-platform-run") == 0 && i + 1 < argc)
            platform = QString::fromLocal8Bit(argv[++i]);
    }
    if (platform.isEmpty()) {
        QCoreApplication app(argc, argv);
        return runAll(QCoreApplication::applicationFilePath(), options);
    }
    useOffscreenUnlessChosen();
    int count = 1;
    QApplication app(count, argv);
    return runHere(options);
}
