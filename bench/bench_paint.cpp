// Paint cost of one live DataGraphic (1000 × 200 px, three curves) per frame, against QCustomPlot drawing the same
// points into the same size in the same run.

// QCustomPlot's header still iterates with foreach, which the project's flags switch off.
#undef QT_NO_FOREACH
#include "BenchMain.h"
#include "DataGraphic.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMap>
#include <QTest>

#include <cmath>

#ifdef HALVEX_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

namespace {
const qint64 T0 = 1700000000000;
qint64 s_now = T0;
qint64 simulatedClock()
{
    return s_now;
}

constexpr int Width = 1000;
constexpr int Height = 200;

// Three slowly wandering curves, as a channel's V, R and IR look.
double sample(int curve, int i, int rate)
{
    const double t = double(i) / rate;
    return 40 * std::sin(t * (0.7 + curve * 0.3)) + 15 * std::sin(t * 7.3 + curve) + curve * 20;
}

struct Result
{
    double halvex = 0;
    double qcustomplot = 0;
};
QMap<QString, Result> s_results;
} // namespace

class BenchPaint : public QObject
{
    Q_OBJECT
private slots:
    void frame_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("qcustomplot");
        for (int seconds : { 10, 120 }) {
            for (int rate : { 10, 50, 250 }) {
                const QString tag = QStringLiteral("%1 s at %2/s").arg(seconds).arg(rate);
                QTest::newRow(qPrintable(tag + QStringLiteral(", DataGraphic"))) << seconds << rate << false;
#ifdef HALVEX_HAVE_QCUSTOMPLOT
                QTest::newRow(qPrintable(tag + QStringLiteral(", QCustomPlot"))) << seconds << rate << true;
#endif
            }
        }
    }

    void frame()
    {
        QFETCH(int, seconds);
        QFETCH(int, rate);
        QFETCH(bool, qcustomplot);
        const int count = seconds * rate + 1;
        const QString key = QStringLiteral("%1 s at %2/s").arg(seconds).arg(rate);
        QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
        QElapsedTimer timer;
        qint64 frames = 0;

        if (!qcustomplot) {
            DataGraphic graph;
            graph.setClock(&simulatedClock);
            graph.setColor(QColor::fromHsl(200, 200, 128));
            graph.setShowValueLabels(false);
            graph.setCommonSpan(-1);
            graph.setViewSeconds(seconds);
            graph.setTitle(QStringLiteral("#1"));
            graph.resize(Width, Height);
            for (int i = 0; i < count; ++i)
                graph.addData(
                    T0 + qint64(i) * 1000 / rate, { sample(0, i, rate), sample(1, i, rate), sample(2, i, rate) });
            // A whole picture per frame: a live graph would otherwise show its kept frame again.
            DataGraphic::setFullLiveRepaint(true);
            graph.setLive(true);
            s_now = T0 + qint64(seconds) * 1000;
            timer.start();
            QBENCHMARK
            {
                graph.render(&image);
                ++frames;
            }
            s_results[key].halvex = double(timer.nsecsElapsed()) / 1e6 / double(frames);
            return;
        }
#ifdef HALVEX_HAVE_QCUSTOMPLOT
        QCustomPlot plot;
        plot.resize(Width, Height);
        const QColor colours[3]
            = { QColor::fromHsl(200, 200, 128), QColor::fromHsl(180, 120, 115), QColor::fromHsl(200, 180, 128) };
        for (int c = 0; c < 3; ++c) {
            QCPGraph* g = plot.addGraph();
            QVector<double> keys(count), values(count);
            for (int i = 0; i < count; ++i) {
                keys[i] = double(i) / rate;
                values[i] = sample(c, i, rate);
            }
            g->setData(keys, values, true);
            QPen pen(colours[c]);
            pen.setWidth(c == 0 ? 2 : 1);
            if (c > 0)
                pen.setDashPattern(c == 1 ? QVector<qreal> { 2, 4 } : QVector<qreal> { 5, 8 });
            g->setPen(pen);
        }
        plot.setAntialiasedElements(QCP::aePlottables);
        plot.xAxis->setRange(0, seconds);
        plot.rescaleAxes();
        timer.start();
        QBENCHMARK
        {
            plot.replot(QCustomPlot::rpImmediateRefresh);
            plot.render(&image);
            ++frames;
        }
        s_results[key].qcustomplot = double(timer.nsecsElapsed()) / 1e6 / double(frames);
#endif
    }

    void cleanupTestCase()
    {
        qInfo("%-16s %14s %14s %8s", "window", "DataGraphic ms", "QCustomPlot ms", "ratio");
        for (auto it = s_results.cbegin(); it != s_results.cend(); ++it) {
            const Result& r = it.value();
            qInfo("%-16s %14.3f %14.3f %8.2f", qPrintable(it.key()), r.halvex, r.qcustomplot,
                r.qcustomplot > 0 ? r.halvex / r.qcustomplot : qQNaN());
        }
    }
};

HALVEX_BENCH_MAIN(BenchPaint)

#include "bench_paint.moc"
