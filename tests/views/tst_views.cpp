#include "DataGraphic.h"
#include "DataRow.h"
#include "PolylineReducer.h"
#include "StripChartGeometry.h"
#include "StyleHelper.h"
#include "TableValuesDisplay.h"
#include "TimedValues.h"

#include <QLabel>
#include <QTest>

#include <cmath>

using Xs = QList<double>;
using Ints = QList<int>;
using Rows = QList<QList<double>>;
Q_DECLARE_METATYPE(Rows)

namespace {
const qint64 T0 = 1700000000000; // a whole second
const QColor Background(0x10, 0x20, 0x30);
const QColor Grid(0x40, 0x50, 0x60);
qint64 s_now = T0;
const DataGraphic::Clock simulatedClock = [] { return s_now; };

QImage paint(DataGraphic& graph, int width, int height, QWidget::RenderFlags flags = QWidget::DrawChildren)
{
    graph.resize(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    graph.render(&image, QPoint(), QRegion(), flags | QWidget::DrawWindowBackground);
    return image;
}

// A static graph of 1000 × h pixels showing 10 s from T0 on: x = (t − T0) / 10 ms.
void makeStatic(DataGraphic& graph)
{
    graph.setClock(simulatedClock);
    graph.setShowTimeLabels(false);
    graph.setShowValueLabels(false);
    graph.addData(T0, { 0, 0, 0 });
}

void makeLive(DataGraphic& graph, int seconds)
{
    graph.setClock(simulatedClock);
    graph.setViewSeconds(seconds);
    graph.setLive(true);
}

// Pixels in rows [top, bottom) and columns [left, right) that are neither background nor grid.
int ink(const QImage& image, int left, int right, int top, int bottom)
{
    int inked = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            inked += image.pixelColor(x, y) != Background && image.pixelColor(x, y) != Grid;
    }
    return inked;
}

// The table painted into an image of its own size.
QImage paintTable(TableValuesDisplay& table, int width, int height)
{
    table.resize(width, height);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    table.render(&image, QPoint(), QRegion(), {});
    return image;
}

struct CountedGraph : DataGraphic
{
    int paints = 0;
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        DataGraphic::paintEvent(event);
    }
};
} // namespace

// The live graph, the geometry it draws with, and the table of values.
class TestViews : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StyleHelper::Instance()->setCustomValue(QStringLiteral("--n-bg"), Background.name());
        StyleHelper::Instance()->setCustomValue(QStringLiteral("--n-grid-line"), Grid.name());
    }

    // 1000 × 300 px for 10 s from half a second after the first record: the time lines stand half a second in, and
    // -200 … 200 has a value line every 50 (every 25 would crowd the labels).
    void grid()
    {
        DataGraphic graph;
        makeStatic(graph);
        graph.setTimeOffset(0.5);
        graph.setFixedRange(200, -200);
        const QImage image = paint(graph, 1000, 300);
        for (const QPoint p : { QPoint(50, 10), QPoint(950, 10), QPoint(100, 75), QPoint(100, 150), QPoint(100, 225) })
            QCOMPARE(image.pixelColor(p), Grid);
        for (const QPoint p : { QPoint(100, 10), QPoint(500, 10), QPoint(100, 93), QPoint(100, 94), QPoint(100, 132) })
            QCOMPARE(image.pixelColor(p), Background);
    }

    // The live range comes from the columns of the picture, the newest included.
    void liveAutoscale()
    {
        s_now = T0 + 5000;
        DataGraphic graph;
        makeLive(graph, 10);
        graph.setCommonSpan(-1);
        graph.addData(s_now - 100, { 812, 845, 830 });
        paint(graph, 400, 200);
        QCOMPARE(graph.minimum(), 810.f);
        QCOMPARE(graph.maximum(), 850.f);
    }

    // A mark draws a line with its text in rows from the bottom; an event, on the curves' clock, in rows from below
    // the title. Texts close together stand in rows above one another.
    void marks_data()
    {
        addColumns<bool, qint64>({ "event", "time" });
        addRow("marks, left of the window", false, T0 - 100);
        addRow("marks, inside", false, T0 + 5505);
        addRow("events, inside", true, T0 + 5505);
    }
    void marks()
    {
        QFETCH(bool, event);
        QFETCH(qint64, time);
        DataGraphic graph;
        makeStatic(graph);
        graph.setTimeShift(1.0); // moves an event 1 s earlier to where the mark is
        const QImage without = paint(graph, 1000, 200);
        if (event) {
            graph.addEvent(time - 1000, QStringLiteral("stimulus"));
            graph.addEvent(time - 1000, QStringLiteral("response"));
        } else {
            graph.addMark(time, QStringLiteral("stimulus"));
            graph.addMark(time + 50, QStringLiteral("response"));
        }
        const QImage with = paint(graph, 1000, 200);
        const bool inside = time > T0;
        QCOMPARE(with != without, inside);
        if (!inside)
            return;
        QCOMPARE(with.pixelColor(550, 50),
            event ? StyleHelper::ThemeColor(QStringLiteral("--n-event-mark"), QColor(0xffaa00)) : QColor(0x0066aa));
        const int row = QFontMetrics(graph.font()).height() + 1;
        const int top = event ? row : 200 - 3 * row;
        QVERIFY(ink(with, 560, 620, top, top + row) > 20);
        QVERIFY(ink(with, 560, 620, top + row, top + 2 * row) > 20);
    }

    // 120 s on 800 px: a label every second would run together; the labels leave most columns of their row free.
    void timeLabelsApart()
    {
        DataGraphic graph;
        makeStatic(graph);
        graph.setShowTimeLabels(true);
        graph.setViewSeconds(120);
        const QImage image = paint(graph, 800, 200);
        const int row = QFontMetrics(graph.font()).height() + 1;
        int inked = 0;
        for (int x = 0; x < 800; ++x)
            inked += ink(image, x, x + 1, 200 - row + 2, 198) > 0;
        QVERIFY2(inked > 50 && inked < 800 / 3, qPrintable(QString::number(inked)));
    }

    void title_data()
    {
        addColumns<QString, bool>({ "title", "rich" });
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
        QCOMPARE(ink(paint(graph, 1000, 200, {}), 0, 1000, 0, 20) > 0, !rich); // without the label child
        const QLabel* label = graph.findChild<QLabel*>();
        QCOMPARE(label && !label->isHidden(), rich);
    }

    void curvesAndBars()
    {
        for (const bool bars : { true, false }) {
            DataGraphic graph;
            makeStatic(graph);
            graph.setPens({ QPen(QColor(Qt::red)), QPen(QColor(Qt::blue)), QPen(QColor(Qt::green)) }, bars);
            graph.setFixedRange(-100, 100);
            for (int k = 1; k <= 100; ++k)
                graph.addData(T0 + k * 100, { -50, -20, 50 });
            const QImage image = paint(graph, 1000, 200);
            QCOMPARE(image.pixelColor(505, 150), QColor(Qt::red)); // value -50, the first pen two pixels wide
            const QColor bar = image.pixelColor(510, 85); // antialiased: maybe a step off the pen's colour
            QCOMPARE(bar.green() > 250 && bar.red() < 3, bars);
            QCOMPARE(image.pixelColor(505, 85), Background);
        }
    }

    // A live graph moved and extended frame by frame shows what a graph painting the same data once shows. The
    // history is longer than a live graph keeps, so old records and events go while frames are drawn; midway a peak
    // rescales, and the value labels are switched off while a time label hides under the minimum's label.
    void liveFrameMatchesFullPaint_data()
    {
        // labelsOff: the frame at which the value labels are switched off
        addColumns<int, int, bool, bool, int>({ "seconds", "interval", "mark", "late", "labelsOff" });
        addRow("10 s at 10/s", 10, 100, false, false, 86);
        addRow("120 s at 50/s, late samples", 120, 20, false, true, 20);
        addRow("10 s at 50/s, a mark leaving", 10, 20, true, false, 20);
    }
    void liveFrameMatchesFullPaint()
    {
        QFETCH(int, seconds);
        QFETCH(int, interval);
        QFETCH(bool, mark);
        QFETCH(bool, late);
        QFETCH(int, labelsOff);
        s_now = T0 + 250;
        DataGraphic moved;
        DataGraphic once;
        for (DataGraphic* graph : { &moved, &once }) {
            makeLive(*graph, seconds);
            graph->setCommonSpan(-1);
            graph->setTitle(QStringLiteral("#7"));
            graph->setColor(QColor::fromHsl(200, 200, 150));
            if (mark)
                graph->addMark(s_now - 7800, QStringLiteral("F1 artefact"));
        }
        const int lag = late ? 300 : 0; // late samples come when their pixels are already shown
        qint64 t = s_now - 131000;
        for (int frame = 0; frame <= 150; ++frame, s_now += 17) {
            for (; t <= s_now - lag; t += interval) {
                const double a = double(t - T0) / 1000.0;
                const double first = t == T0 + 1250 ? 95 : 40 * std::sin(a);
                for (DataGraphic* graph : { &moved, &once }) {
                    graph->addData(t, { first, 30 * std::sin(a * 3.1), 45 * std::cos(a * 0.7) });
                    if (t % 1000 == 250)
                        graph->addEvent(t, QStringLiteral("F1"));
                }
            }
            if (frame == labelsOff) {
                moved.setShowValueLabels(false);
                once.setShowValueLabels(false);
            }
            paint(moved, 700, 120);
        }
        QCOMPARE(paint(moved, 700, 120), paint(once, 700, 120));
        QCOMPARE(moved.eventCount(), 130); // the widest window (120 s) and a margin stay
        QVERIFY(moved.recordCount() <= 130 * 1000 / interval + 2);
        QVERIFY(moved.duration() >= 120);
    }

    // A shown live graph with a 120 s window on 600 pixels repaints only when the curves move a pixel (every
    // 200 ms), though a sample arrives every 40 ms.
    void liveRepaintsOnPixelSteps()
    {
        s_now = T0 + 10;
        CountedGraph graph;
        makeLive(graph, 120);
        for (qint64 t = s_now - 121000; t <= s_now; t += 100)
            graph.addData(t, { 1, 2, 3 });
        graph.resize(600, 100);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QTest::qWait(60);
        graph.paints = 0;
        for (int tick = 0; tick < 15; ++tick) {
            s_now += 40;
            graph.addData(s_now, { 1, 2, double(tick) });
            QTest::qWait(45);
        }
        QCOMPARE(graph.paints, 3);
    }

    // Records one second apart starting at 0 s; the window starts at 0.5 s, so the first record lies before it.
    void visibleRange_data()
    {
        addColumns<Rows, float, float, float, float>({ "records", "commonSpan", "minimum", "maximum", "range" });
        addRow("positive", Rows { { -900 }, { 3.2, 10 }, { 47.5, 20 } }, -1.f, 0.f, 50.f, 50.f);
        addRow("negative", Rows { { 900 }, { -12, -5 }, { -3 } }, -1.f, -20.f, 0.f, 20.f);
        addRow("new low and high in one", Rows { {}, { -15, 25 }, { 5 } }, -1.f, -20.f, 30.f, 50.f);
        addRow("common span", Rows { {}, { 0, 20 } }, 100.f, -40.f, 60.f, 20.f);
    }
    void visibleRange()
    {
        QFETCH(Rows, records);
        QFETCH(float, commonSpan);
        QList<TimedValues> list;
        for (const QList<double>& values : records)
            list.append(TimedValues(list.size() * 1000, values));
        const auto visible = StripChartGeometry::visibleRecords(list, 500);
        QCOMPARE(visible.firstVisible, 0);
        const auto r = StripChartGeometry::verticalRange(visible, true, 0, 0, commonSpan);
        QTEST(r.minimum, "minimum");
        QTEST(r.maximum, "maximum");
        QTEST(r.range, "range");
    }

    // Texts 50 px wide, a gap of 6 px; rows is the number of text rows the height allows.
    void markLabels_data()
    {
        addColumns<QList<double>, int, QList<int>, QList<double>>({ "xs", "rows", "expectedRows", "rooms" });
        const double free = qInf();
        addRow("close: stacked", Xs { 0, 10, 20, 80 }, 3, Ints { 0, 1, 2, 0 }, Xs { free, free, free, free });
        addRow("rows run out: cut short", Xs { 0, 10, 30 }, 2, Ints { 0, 1, 0 }, Xs { 24, free, free });
        addRow("same time", Xs { 40, 40 }, 1, Ints { 0, 0 }, Xs { 0, free });
    }
    void markLabels()
    {
        QFETCH(QList<double>, xs);
        QFETCH(int, rows);
        QFETCH(QList<int>, expectedRows);
        QFETCH(QList<double>, rooms);
        QList<StripChartGeometry::MarkLabel> labels;
        StripChartGeometry::layoutMarkLabels(xs, QList<double>(xs.size(), 50), rows, 6, labels);
        QCOMPARE(labels.size(), xs.size());
        for (qsizetype i = 0; i < labels.size(); ++i) {
            QCOMPARE(labels.at(i).row, expectedRows.at(i));
            QCOMPARE(labels.at(i).room, rooms.at(i));
        }
    }

    void reducer_data()
    {
        addColumns<QList<QPointF>, QList<QPointF>>({ "input", "output" });
        addRow("first, low, high, last",
            QList<QPointF> { { 5.9, 3 }, { 5.8, 9 }, { 5.7, 4 }, { 5.6, 0 }, { 5.5, 6 }, { 5.4, 5 }, { 4, 1 } },
            QList<QPointF> { { 5.9, 3 }, { 5.8, 9 }, { 5.6, 0 }, { 5.4, 5 }, { 4, 1 } });
        addRow("extreme at the ends", QList<QPointF> { { 2.9, 0 }, { 2.5, 4 }, { 2.1, 9 } },
            QList<QPointF> { { 2.9, 0 }, { 2.1, 9 } });
    }
    void reducer()
    {
        QFETCH(QList<QPointF>, input);
        PolylineReducer reducer;
        for (int pass = 0; pass < 2; ++pass) { // the second pass reuses the buffer
            reducer.begin();
            for (const QPointF& p : input)
                reducer.add(p.x(), p.y());
            QTEST(reducer.finish(), "output");
        }
    }

    // The newest 99 records stay, a record with more values than before adds columns, and the font takes the largest
    // size at which the columns fit, down to its smallest.
    void keepsNewestAndWidens()
    {
        TableValuesDisplay table;
        table.addData(T0, { 1, 2 });
        paintTable(table, 400, 200);
        for (int i = 1; i < 100; ++i)
            table.addData(T0 + i, { 1, 2, 3 });
        QCOMPARE(table.recordCount(), 99);
        paintTable(table, 400, 200);
        QCOMPARE(table.headers(), QStringList({ "#1", "#2", "#3" }));
        QCOMPARE(table.fontPixelSize(), 15.f);
        paintTable(table, 60, 200);
        QCOMPARE(table.fontPixelSize(), 5.f);
    }

    // A table showing the given value must look exactly like one showing the expected integer.
    void truncation_data()
    {
        addColumns<double, double, bool>({ "value", "shown", "same" });
        addRow("12.9", 12.9, 12.0, true);
        addRow("-7.8", -7.8, -7.0, true);
        // Past any integer (two readings run together): not wrapped to the most negative one.
        addRow("beyond the integer range", 1e30, -9223372036854775808.0, false);
    }
    void truncation()
    {
        QFETCH(double, value);
        QFETCH(double, shown);
        TableValuesDisplay a;
        TableValuesDisplay b;
        a.addData(T0, { value, 1 });
        b.addData(T0, { shown, 1 });
        QTEST(paintTable(a, 300, 100) == paintTable(b, 300, 100), "same");
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
