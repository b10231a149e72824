// Live load: N live graphs in one window, each receiving 10 samples per second, for 20 s of wall time (or the
// number of seconds given with -seconds). Prints the CPU time per wall second and the frames each graph painted.
#include "BenchMain.h"
#include "DataGraphic.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <ctime>

namespace {
int s_seconds = 20;

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
} // namespace

class BenchLiveLoad : public QObject
{
    Q_OBJECT
private slots:
    void load_data()
    {
        QTest::addColumn<int>("graphs");
        QTest::addColumn<int>("columns");
        QTest::newRow("24 graphs") << 24 << 2;
        QTest::newRow("100 graphs") << 100 << 4;
    }
    void load()
    {
        QFETCH(int, graphs);
        QFETCH(int, columns);
        QWidget window;
        window.resize(1600, 1000);
        auto* grid = new QGridLayout(&window);
        grid->setSpacing(2);
        PaintCounter counter;
        QList<DataGraphic*> list;
        const int rows = (graphs + columns - 1) / columns;
        for (int i = 0; i < graphs; ++i) {
            auto* graph = new DataGraphic(&window);
            graph->setColor(QColor::fromHsl((i * 37) % 360, 200, 128));
            graph->setShowValueLabels(false);
            graph->setCommonSpan(-1);
            graph->setShowTimeLabels(i % rows == rows - 1);
            graph->setTitle(QLatin1Char('#') + QString::number(i + 1));
            graph->setLive(true);
            graph->installEventFilter(&counter);
            grid->addWidget(graph, i % rows, i / rows);
            list.append(graph);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        qint64 n = 0;
        QTimer feed;
        connect(&feed, &QTimer::timeout, &window, [&] {
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            for (int i = 0; i < list.size(); ++i) {
                const double t = double(n) / 10;
                list[i]->addData(now, { 40 * std::sin(t + i), 30 * std::sin(t * 1.3 + i), 20 * std::cos(t * 0.7 + i) });
            }
            ++n;
        });
        feed.start(100);
        counter.paints = 0;
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        QTest::qWait(s_seconds * 1000);
        const double elapsed = double(wall.nsecsElapsed()) / 1e9;
        const double cpu = cpuSeconds() - cpu0;
        qInfo("%d graphs: %.3f CPU s per wall s, %.1f frames per graph per s (%lld samples each)", graphs,
            cpu / elapsed, double(counter.paints) / graphs / elapsed, n);
    }
};

int main(int argc, char** argv)
{
    useOffscreenUnlessChosen();
    QList<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (qstrcmp(argv[i], "-seconds") == 0 && i + 1 < argc)
            s_seconds = qMax(1, atoi(argv[++i]));
        else
            args.append(argv[i]);
    }
    int count = int(args.size());
    QApplication app(count, args.data());
    BenchLiveLoad bench;
    return QTest::qExec(&bench, count, args.data());
}

#include "bench_liveload.moc"
