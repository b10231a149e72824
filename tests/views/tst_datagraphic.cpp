#include "../framework/DataRow.h"
#include "DataGraphic.h"
#include "StyleHelper.h"

#include <QLabel>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace {
const qint64 T0 = 1700000000000; // a whole second
const QColor Background(0x10, 0x20, 0x30);
const QColor Grid(0x40, 0x50, 0x60);
const QColor Text(0xe0, 0xe0, 0xe0);
qint64 s_now = T0;
qint64 simulatedClock()
{
    return s_now;
}

QImage paint(DataGraphic& graph, int width, int height, QWidget::RenderFlags flags = QWidget::DrawChildren)
{
    graph.resize(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    graph.render(&image, QPoint(), QRegion(), flags | QWidget::DrawWindowBackground);
    return image;
}

// Antialiased fills may land one step off the exact colour.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
}

// A static graph of 1000 × h pixels showing 10 s from T0 on: x = (t − T0) / 10 ms.
void makeStatic(DataGraphic& graph)
{
    graph.setClock(&simulatedClock);
    graph.setShowTimeLabels(false);
    graph.setShowValueLabels(false);
    graph.addData(T0, { 0, 0, 0 });
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

class TestDataGraphic : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StyleHelper::Instance()->setCustomValue(QStringLiteral("--n-bg"), Background.name());
        StyleHelper::Instance()->setCustomValue(QStringLiteral("--n-grid-line"), Grid.name());
        StyleHelper::Instance()->setCustomValue(QStringLiteral("--n-text"), Text.name());
    }

    void timeGrid_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addColumn<bool>("withRecord");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QList<int>>("gaps");
        addRow("static", false, true, T0 + 123456, QList<int> { 0, 100, 500, 900 }, QList<int> { 50, 150 });
        addRow("live, half second", true, true, T0 + 500, QList<int> { 50, 950 }, QList<int> { 100, 500 });
        addRow("no records, span 0", true, false, T0, QList<int> { 100, 700 }, QList<int> { 50, 650 });
    }
    void timeGrid()
    {
        QFETCH(bool, live);
        QFETCH(bool, withRecord);
        QFETCH(qint64, now);
        s_now = now;
        DataGraphic graph;
        graph.setClock(&simulatedClock);
        graph.setShowTimeLabels(false);
        graph.setShowValueLabels(false);
        graph.setCommonSpan(-1);
        graph.setLive(live);
        if (withRecord)
            graph.addData(T0, { 0, 0, 0 });
        const QImage image = paint(graph, 1000, 200);
        QFETCH(QList<int>, lines);
        for (int x : lines)
            QCOMPARE(image.pixelColor(x, 100), Grid);
        QFETCH(QList<int>, gaps);
        for (int x : gaps)
            QCOMPARE(image.pixelColor(x, 100), Background);
        QCOMPARE(graph.range(), 0.0);
    }

    void valueGrid()
    {
        QFont font = QApplication::font();
        int size = 6;
        for (; size < 40; ++size) {
            font.setPixelSize(size);
            if (QFontMetrics(font).height() + 1 == 16)
                break;
        }
        if (size == 40)
            QSKIP("no font size gives a text height of 16");
        DataGraphic graph;
        graph.setFont(font);
        makeStatic(graph);
        graph.setFixedRange(200, -200);
        const QImage image = paint(graph, 1000, 300);
        for (int y : { 75, 150, 225 }) // 100, 0, -100
            QCOMPARE(image.pixelColor(150, y), Grid);
        for (int y : { 93, 94, 131, 132, 206, 207 }) // 75, 25, -75: lines of a step of 25
            QCOMPARE(image.pixelColor(150, y), Background);
    }

    void autoscale_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<float>("commonSpan");
        QTest::addColumn<float>("minimum");
        QTest::addColumn<float>("maximum");
        addRow("3.2 … 47.5", QList<double> { 3.2, 47.5, 20 }, -1.f, 0.f, 50.f);
        addRow("-12 … -3", QList<double> { -3, -12, -5 }, -1.f, -20.f, 0.f);
        addRow("empty, common span 100", QList<double> {}, 100.f, -50.f, 50.f);
    }
    void autoscale()
    {
        QFETCH(float, commonSpan);
        QFETCH(float, minimum);
        QFETCH(float, maximum);
        s_now = T0 + 5000;
        DataGraphic graph;
        graph.setClock(&simulatedClock);
        graph.setLive(true);
        graph.setCommonSpan(commonSpan);
        QFETCH(QList<double>, values);
        if (!values.isEmpty())
            graph.addData(T0, values);
        paint(graph, 400, 200);
        QCOMPARE(graph.minimum(), minimum);
        QCOMPARE(graph.maximum(), maximum);
    }

    void marks_data()
    {
        QTest::addColumn<qint64>("time");
        QTest::addColumn<bool>("drawn");
        addRow("left edge", T0, false);
        addRow("right edge", T0 + 10000, false);
        addRow("left of the window", T0 - 100, false);
        addRow("inside", T0 + 5505, true);
    }
    void marks()
    {
        QFETCH(qint64, time);
        QFETCH(bool, drawn);
        DataGraphic graph;
        makeStatic(graph);
        const QImage without = paint(graph, 1000, 200);
        graph.addMark(time, QStringLiteral("stimulus"));
        const QImage with = paint(graph, 1000, 200);
        QCOMPARE(with != without, drawn);
        if (QTest::currentDataTag() == QByteArray("inside"))
            QCOMPARE(with.pixelColor(550, 50), QColor(0x0066aa));

        // Events stay with the curves: a time shift of 1 s draws an event 1 s earlier at the same place.
        DataGraphic events;
        makeStatic(events);
        events.setTimeShift(1.0);
        events.addEvent(time - 1000, QStringLiteral("F1"));
        events.addEvent(time - 1000, QStringLiteral("F2"));
        QCOMPARE(events.eventCount(), 2);
        const QImage withEvents = paint(events, 1000, 200);
        QCOMPARE(withEvents != without, drawn);
        if (QTest::currentDataTag() == QByteArray("inside"))
            QCOMPARE(withEvents.pixelColor(550, 50),
                StyleHelper::ThemeColor(QStringLiteral("--n-event-mark"), QColor(0xffaa00)));
    }

    // Texts of marks close together stand in rows above one another instead of on top of each other.
    void closeMarksStacked()
    {
        DataGraphic graph;
        makeStatic(graph);
        graph.addMark(T0 + 5000, QStringLiteral("stimulus"));
        graph.addMark(T0 + 5050, QStringLiteral("response"));
        const QImage image = paint(graph, 1000, 200);
        const int row = QFontMetrics(graph.font()).height() + 1;
        const auto inkInRow = [&](int r) {
            int ink = 0;
            for (int y = 200 - row * (r + 2); y < 200 - row * (r + 1); ++y) {
                for (int x = 510; x < 600; ++x)
                    ink += image.pixelColor(x, y) != image.pixelColor(999, y) ? 1 : 0;
            }
            return ink;
        };
        QVERIFY2(inkInRow(0) > 20 && inkInRow(1) > 20,
            qPrintable(QStringLiteral("%1 %2").arg(inkInRow(0)).arg(inkInRow(1))));
    }

    // 120 s on 800 px: a label every second would run together; the labels leave most columns of their row free.
    void timeLabelsApart()
    {
        DataGraphic graph;
        graph.setClock(&simulatedClock);
        graph.setShowValueLabels(false);
        graph.setViewSeconds(120);
        graph.addData(T0, { 0, 0, 0 });
        graph.addData(T0 + 120000, { 0, 0, 0 });
        const QImage image = paint(graph, 800, 200);
        const int row = QFontMetrics(graph.font()).height() + 1;
        int inked = 0;
        for (int x = 0; x < 800; ++x) {
            for (int y = 200 - row + 2; y < 200 - 2; ++y) {
                if (image.pixelColor(x, y).lightness() > 150) {
                    ++inked;
                    break;
                }
            }
        }
        QVERIFY2(inked > 50 && inked < 800 / 3, qPrintable(QString::number(inked)));
    }

    void title_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("rich");
        addRow("plain", "#3", false);
        addRow("lone less-than", "a < b", false);
        addRow("line break", "A<br/>B", true);
        addRow("closing tag", "<b>C</b>", true);
    }
    void title()
    {
        QFETCH(QString, title);
        QFETCH(bool, rich);
        DataGraphic graph;
        makeStatic(graph);
        graph.setTitle(title);
        const QImage image = paint(graph, 1000, 200, {}); // without the label child
        int painted = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 1000; ++x) {
                const QColor c = image.pixelColor(x, y);
                painted += c != Background && c != Grid;
            }
        }
        QCOMPARE(painted > 0, !rich);
        const QLabel* label = graph.findChild<QLabel*>();
        QCOMPARE(label && !label->isHidden(), rich);
    }

    void commonSpanRepaint_data()
    {
        QTest::addColumn<float>("span");
        QTest::addColumn<bool>("repaints");
        addRow("same value", 100.f, false);
        addRow("new value", 50.f, true);
    }
    void commonSpanRepaint()
    {
        QFETCH(float, span);
        QFETCH(bool, repaints);
        DataGraphic graph;
        makeStatic(graph);
        graph.resize(300, 100);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        PaintCounter counter;
        graph.installEventFilter(&counter);
        QTest::qWait(50);
        counter.paints = 0;
        graph.setCommonSpan(span);
        if (repaints) {
            QTRY_VERIFY(counter.paints > 0);
        } else {
            QTest::qWait(100);
            QCOMPARE(counter.paints, 0);
        }
    }

    void curvesAndBars_data()
    {
        QTest::addColumn<bool>("bars");
        addRow("bars on", true);
        addRow("bars off", false);
    }
    void curvesAndBars()
    {
        QFETCH(bool, bars);
        DataGraphic graph;
        graph.setShowTimeLabels(false);
        graph.setShowValueLabels(false);
        graph.setPens({ QPen(QColor(Qt::red)), QPen(QColor(Qt::blue)), QPen(QColor(Qt::green)) }, bars);
        graph.setFixedRange(-100, 100);
        for (int k = 0; k <= 100; ++k)
            graph.addData(T0 + k * 100, { -50, -20, 50 });
        const QImage image = paint(graph, 1000, 200);
        QCOMPARE(image.pixelColor(505, 150), QColor(Qt::red)); // value 0 at -50, two pixels wide
        QVERIFY(near(image.pixelColor(510, 85), bars ? QColor(Qt::green) : Background));
        QCOMPARE(image.pixelColor(505, 85), Background);
    }

    void pensFromColour()
    {
        DataGraphic graph;
        graph.setColor(QColor::fromHsl(10, 200, 100));
        const QList<QPen>& pens = graph.pens();
        QCOMPARE(pens.at(0).width(), 2);
        QCOMPARE(pens.at(1).color(), QColor::fromHsl(350, 120, 90));
        QCOMPARE(pens.at(2).color(), QColor::fromHsl(10, 180, 100));
        QCOMPARE(pens.at(1).dashPattern(), QList<qreal>({ 2, 4 }));
        graph.setColor(QColor(128, 128, 128));
        QCOMPARE(graph.pens().at(1).color().hslHue(), 339);
        QCOMPARE(graph.pens().at(1).color().hslSaturation(), 40);
    }

    // A live graph that was moved and extended frame by frame shows what a graph painting the same data once shows.
    void liveFrameMatchesFullPaint_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("mark");
        QTest::addColumn<bool>("late");
        addRow("10 s at 10/s", 10, 100, false, false);
        addRow("120 s at 50/s, late samples", 120, 20, false, true);
        addRow("10 s at 50/s, a mark leaving", 10, 20, true, false);
    }
    void liveFrameMatchesFullPaint()
    {
        QFETCH(int, seconds);
        QFETCH(int, interval);
        QFETCH(bool, mark);
        QFETCH(bool, late);
        s_now = T0 + 250;
        DataGraphic moved;
        DataGraphic once;
        for (DataGraphic* graph : { &moved, &once }) {
            graph->setClock(&simulatedClock);
            graph->setViewSeconds(seconds);
            graph->setCommonSpan(-1);
            graph->setTitle(QStringLiteral("#7"));
            graph->setColor(QColor::fromHsl(200, 200, 150));
            graph->setLive(true);
            if (mark)
                graph->addMark(s_now - 7800, QStringLiteral("F1 artefact"));
        }
        // Late samples reach the graph 300 ms after their time, when their pixels are already shown.
        const int lag = late ? 300 : 0;
        qint64 t = s_now - seconds * 1000 - 500;
        const auto feed = [&](qint64 time) {
            const double a = double(time - T0) / 1000.0;
            for (DataGraphic* graph : { &moved, &once })
                graph->addData(time, { 40 * std::sin(a), 30 * std::sin(a * 3.1), 45 * std::cos(a * 0.7) });
        };
        for (; t <= s_now - lag; t += interval)
            feed(t);
        for (int frame = 0; frame < 150; ++frame) {
            s_now += 17;
            for (; t <= s_now - lag; t += interval)
                feed(t);
            paint(moved, 700, 120);
        }
        const QImage frame = paint(moved, 700, 120);
        QCOMPARE(frame, paint(once, 700, 120));
    }

    // With a 120 s window on 600 pixels the curves move one pixel every 200 ms: only then does the graph repaint,
    // whether or not samples arrive in between.
    void liveRepaintsOnPixelSteps_data()
    {
        QTest::addColumn<bool>("samples");
        addRow("no new data", false);
        addRow("a sample every 40 ms", true);
    }
    void liveRepaintsOnPixelSteps()
    {
        QFETCH(bool, samples);
        s_now = T0 + 10;
        DataGraphic graph;
        graph.setClock(&simulatedClock);
        graph.setViewSeconds(120);
        graph.resize(600, 100);
        graph.setLive(true);
        for (qint64 t = s_now - 121000; t <= s_now; t += 100)
            graph.addData(t, { 1, 2, 3 });
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QTest::qWait(60);
        PaintCounter counter;
        graph.installEventFilter(&counter);
        for (int tick = 0; tick < 30; ++tick) {
            s_now += 40;
            if (samples)
                graph.addData(s_now, { 1, 2, double(tick) });
            QTest::qWait(45);
        }
        QCOMPARE(counter.paints, 6);
    }

    // Live mode keeps a bounded tail whatever the session length; static mode keeps everything.
    void historyBound_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addColumn<int>("minutes");
        addRow("live, three hours", true, 180);
        addRow("static, ten minutes", false, 10);
    }
    void historyBound()
    {
        QFETCH(int, minutes);
        QFETCH(bool, live);
        const int samples = minutes * 60 * 50;
        s_now = T0;
        DataGraphic graph;
        graph.setClock(&simulatedClock);
        graph.setViewSeconds(5);
        graph.setLive(live);
        const QList<double> values { 1, 2, 3 };
        int largest = 0;
        for (int i = 0; i < samples; ++i) {
            s_now = T0 + i * 20;
            graph.addData(s_now, values);
            if (i % 50 == 0)
                graph.addEvent(s_now, QStringLiteral("F1"));
            largest = qMax(largest, graph.recordCount());
        }
        QCOMPARE(graph.eventCount(), live ? 130 : samples / 50);
        if (live) {
            QVERIFY(largest <= 130 * 50 + 2);
            // the widest window (120 s) is still covered, with the record before it
            QVERIFY(graph.recordCount() > 120 * 50);
            QVERIFY(graph.duration() >= 120);
        } else {
            QCOMPARE(graph.recordCount(), samples);
        }
    }
};

QTEST_MAIN(TestDataGraphic)
#include "tst_datagraphic.moc"
