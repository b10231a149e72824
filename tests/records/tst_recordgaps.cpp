#include "../framework/DataRow.h"
#include "RecordGaps.h"

#include <QTest>

using Times = QList<quint32>;
using Gaps = QList<qint64>; // start, end, start, end, …

namespace {
// Lines every step ms from first to last, both included.
Times steady(quint32 first, quint32 last, quint32 step)
{
    Times times;
    for (quint32 t = first; t <= last; t += step)
        times.append(t);
    return times;
}
} // namespace

class TestRecordGaps : public QObject
{
    Q_OBJECT
private slots:
    void find_data()
    {
        QTest::addColumn<Times>("times");
        QTest::addColumn<Gaps>("gaps");
        addRow("none", steady(0, 2000, 50), Gaps {});
        addRow("30 s unplugged", steady(0, 1000, 50) + steady(31000, 32000, 50), Gaps { 1000, 31000 });
        addRow("two slips", steady(0, 1000, 100) + steady(2500, 3000, 100) + steady(5000, 6000, 100),
            Gaps { 1000, 2500, 3000, 5000 });
        addRow("long against the median, under a second", steady(0, 1000, 50) + steady(1950, 3000, 50), Gaps {});
        addRow("a second, but a slow record", steady(0, 10000, 400) + steady(11600, 20000, 400), Gaps {});
        addRow("just over five medians", steady(0, 10000, 400) + steady(12001, 20001, 400), Gaps { 10000, 12001 });
        addRow("exactly one second", steady(0, 1000, 100) + steady(2000, 3000, 100), Gaps { 1000, 2000 });
        addRow("one line", Times { 7 }, Gaps {});
        addRow("two lines", Times { 0, 60000 }, Gaps {});
    }
    void find()
    {
        QFETCH(Times, times);
        Gaps found;
        for (const RecordGaps::Gap& gap : RecordGaps::find(std::vector<quint32>(times.cbegin(), times.cend())))
            found << gap.start << gap.end;
        QTEST(found, "gaps");
    }
};

QTEST_GUILESS_MAIN(TestRecordGaps)
#include "tst_recordgaps.moc"
