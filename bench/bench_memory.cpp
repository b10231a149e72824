// Memory of a live graph after 8 simulated hours at 50 samples per second: the live history is bounded, so the
// heap holds only the last LiveHistoryMilliseconds of records.
#include "BenchMain.h"
#include "DataGraphic.h"

#include <QApplication>
#include <QTest>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
const qint64 T0 = 1700000000000;
qint64 s_now = T0;
qint64 simulatedClock()
{
    return s_now;
}

size_t heapInUse()
{
#ifdef __GLIBC__
    // Large blocks (the record list itself) are mapped separately and only counted in hblkhd.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}
} // namespace

class BenchMemory : public QObject
{
    Q_OBJECT
private slots:
    void eightHours()
    {
        constexpr int Rate = 50;
        constexpr qint64 Samples = qint64(8) * 3600 * Rate;
        const size_t before = heapInUse();
        {
            DataGraphic graph;
            graph.setClock(&simulatedClock);
            graph.setLive(true);
            size_t peak = 0;
            for (qint64 i = 0; i < Samples; ++i) {
                s_now = T0 + i * 1000 / Rate;
                graph.addData(s_now, { double(i % 100), double(i % 37), double(i % 11) });
                if (i % 10000 == 0)
                    peak = qMax(peak, heapInUse());
            }
            const size_t held = heapInUse() - before;
            qInfo("samples fed: %lld (8 h at %d/s)", Samples, Rate);
            qInfo("records held: %d (%.1f s)", graph.recordCount(), graph.duration());
            qInfo("heap in use: %.2f MB now, %.2f MB peak", held / 1e6, (peak - before) / 1e6);
            qInfo("bytes per held record: %.1f (sizeof(TimedValues) %zu)", double(held) / graph.recordCount(),
                sizeof(TimedValues));
            qInfo("without the bound the records alone would take about %.0f MB",
                double(held) / graph.recordCount() * double(Samples) / 1e6);
            QVERIFY(graph.recordCount() <= int(DataGraphic::LiveHistoryMilliseconds / 1000 * Rate) + 2);
        }
    }
};

HALVEX_BENCH_MAIN(BenchMemory)

#include "bench_memory.moc"
