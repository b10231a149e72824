#include "../framework/DataRow.h"
#include "PolylineReducer.h"
#include "StripChartGeometry.h"
#include "TimedValues.h"

#include <QTest>

using Rows = QList<QList<double>>;
Q_DECLARE_METATYPE(Rows)

class TestStripChartGeometry : public QObject
{
    Q_OBJECT
private slots:
    void extremes_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        addRow("no values", QList<double> {}, 0.0, 0.0);
        addRow("mixed", QList<double> { 5, 3, 9, -1 }, -1.0, 9.0);
        addRow("one", QList<double> { -4 }, -4.0, -4.0);
    }
    void extremes()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QList<double>, values);
        TimedValues record(0, values);
        QCOMPARE(record.minimum(), minimum);
        QCOMPARE(record.maximum(), maximum);
    }

    // Records one second apart starting at 0 s; the window starts at 0.5 s, so the first record lies before it.
    void visibleRange_data()
    {
        QTest::addColumn<Rows>("records");
        QTest::addColumn<float>("commonSpan");
        QTest::addColumn<float>("minimum");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<float>("range");
        addRow("positive", Rows { { -900 }, { 3.2, 10 }, { 47.5, 20 } }, -1.f, 0.f, 50.f, 50.f);
        addRow("negative", Rows { { 900 }, { -12, -5 }, { -3 } }, -1.f, -20.f, 0.f, 20.f);
        addRow("new low and high in one", Rows { {}, { -15, 25 }, { 5 } }, -1.f, -20.f, 30.f, 50.f);
        addRow("empty, common span", Rows {}, 100.f, -50.f, 50.f, 0.f);
        addRow("common span", Rows { {}, { 0, 20 } }, 100.f, -40.f, 60.f, 20.f);
    }
    void visibleRange()
    {
        QFETCH(float, commonSpan);
        QFETCH(float, minimum);
        QFETCH(float, maximum);
        QFETCH(float, range);
        QFETCH(Rows, records);
        QList<TimedValues> list;
        for (const QList<double>& values : records)
            list.append(TimedValues(list.size() * 1000, values));
        const auto visible = StripChartGeometry::visibleRecords(list, 500);
        QCOMPARE(visible.firstVisible, 0);
        QCOMPARE(visible.lastIndex, int(records.size()) - 1);
        const auto r = StripChartGeometry::verticalRange(visible, true, 0, 0, commonSpan);
        QCOMPARE(r.minimum, minimum);
        QCOMPARE(r.maximum, maximum);
        QCOMPARE(r.range, range);
    }

    void valueGrid_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("textHeight");
        QTest::addColumn<int>("step");
        QTest::addColumn<double>("first");
        addRow("-200…200 on 300 px", -200.0, 400.0, 300, 16, 50, -200.0);
        addRow("negative off-step", -7.5, 100.0, 300, 20, 10, -10.0);
        addRow("positive off-step", 13.0, 10.0, 300, 20, 1, 13.0);
        addRow("beyond the table", 0.0, 1e9, 300, 16, 100000, 0.0);
    }
    void valueGrid()
    {
        QFETCH(double, span);
        QFETCH(int, height);
        QFETCH(int, textHeight);
        QFETCH(double, minimum);
        QFETCH(double, first);
        QFETCH(int, step);
        QCOMPARE(StripChartGeometry::valueStep(span, height, textHeight), step);
        QCOMPARE(StripChartGeometry::firstGridValue(minimum, step), first);
    }

    void placement()
    {
        StripChartGeometry g;
        g.setArea(1000, 200, 10);
        g.setWindow(10500, 0.25);
        g.setValueRange(-100, 200);
        QCOMPARE(g.gridX(0), -50.0);
        QCOMPARE(g.gridX(10), 950.0);
        QCOMPARE(g.markX(10500), 1000.0);
        QCOMPARE(g.timeX(10500), 1025.0); // the time shift moves curves, not marks
        QCOMPARE(g.valueY(0), 100.0);
        QCOMPARE(g.valueY(100), 0.0);
        g.setValueRange(0, 0);
        QVERIFY(!g.hasSpan());
        g.setArea(1000, 200, 0);
        QCOMPARE(g.pixelsPerSecond(), 1000.f);
    }

    void timeLabelStep_data()
    {
        QTest::addColumn<double>("pixelsPerSecond");
        QTest::addColumn<double>("labelWidth");
        QTest::addColumn<int>("step");
        addRow("room for every second", 100.0, 20.0, 1);
        addRow("120 s on 800 px", 800.0 / 120, 21.0, 5);
        addRow("just enough for 2", 15.0, 20.0, 2);
        addRow("narrower than any step", 0.1, 30.0, 120);
    }
    void timeLabelStep()
    {
        QFETCH(double, pixelsPerSecond);
        QFETCH(double, labelWidth);
        QFETCH(int, step);
        QCOMPARE(StripChartGeometry::timeLabelStep(pixelsPerSecond, labelWidth), step);
    }

    // Texts 50 px wide, a gap of 6 px; rows is the number of text rows the height allows.
    void markLabels_data()
    {
        QTest::addColumn<QList<double>>("xs");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("expectedRows");
        QTest::addColumn<QList<double>>("rooms");
        const double free = qInf();
        addRow("apart: one row", QList<double> { 0, 100, 200 }, 3, QList<int> { 0, 0, 0 },
            QList<double> { free, free, free });
        addRow("close: stacked", QList<double> { 0, 10, 20, 80 }, 3, QList<int> { 0, 1, 2, 0 },
            QList<double> { free, free, free, free });
        addRow("rows run out: cut short", QList<double> { 0, 10, 30 }, 2, QList<int> { 0, 1, 0 },
            QList<double> { 24, free, free });
        addRow("same time", QList<double> { 40, 40 }, 1, QList<int> { 0, 0 }, QList<double> { 0, free });
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
        QTest::addColumn<QList<QPointF>>("input");
        QTest::addColumn<QList<QPointF>>("output");
        const QList<QPointF> sparse { { 10.5, 1 }, { 8.2, 5 }, { 3, 2 } };
        addRow("one per column kept", sparse, sparse);
        addRow("first, low, high, last",
            QList<QPointF> { { 5.9, 3 }, { 5.8, 9 }, { 5.7, 4 }, { 5.6, 0 }, { 5.5, 6 }, { 5.4, 5 }, { 4, 1 } },
            QList<QPointF> { { 5.9, 3 }, { 5.8, 9 }, { 5.6, 0 }, { 5.4, 5 }, { 4, 1 } });
        addRow("extreme at the ends", QList<QPointF> { { 2.9, 0 }, { 2.5, 4 }, { 2.1, 9 } },
            QList<QPointF> { { 2.9, 0 }, { 2.1, 9 } });
    }
    void reducer()
    {
        QFETCH(QList<QPointF>, output);
        QFETCH(QList<QPointF>, input);
        PolylineReducer reducer;
        for (int pass = 0; pass < 2; ++pass) { // the second pass reuses the buffer
            reducer.begin();
            for (const QPointF& p : input)
                reducer.add(p.x(), p.y());
            QCOMPARE(reducer.finish(), output);
        }
    }
};

QTEST_GUILESS_MAIN(TestStripChartGeometry)
#include "tst_stripchartgeometry.moc"
