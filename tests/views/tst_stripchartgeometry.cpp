#include "DataRow.h"
#include "PolylineReducer.h"
#include "StripChartGeometry.h"
#include "TimedValues.h"

#include <QTest>

using Xs = QList<double>;
using Ints = QList<int>;
using Rows = QList<QList<double>>;
Q_DECLARE_METATYPE(Rows)

class TestStripChartGeometry : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(TestStripChartGeometry)
#include "tst_stripchartgeometry.moc"
