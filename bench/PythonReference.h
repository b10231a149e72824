#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// Timing of our own work against a Python script that does the same work, for the benchmarks that have such a
// reference. Both sides are measured alike: the best of three runs, and the peak as the resident set's high-water
// mark above the resident set before the runs.
struct Figures
{
    bool ran = false;
    double seconds = 0; // the best run
    qint64 peak = 0; // bytes
    QByteArray error; // why it did not run
};

inline qint64 procStatus(const char* key)
{
    // /proc files report no size, so they are read to the end rather than tested with atEnd().
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').constFirst().toLongLong() * 1024;
    }
    return 0;
}

// The best of `runs` runs of work (which returns false when it fails) and the memory they added at their peak.
template<typename Work> Figures measure(int runs, Work work)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    Figures figures;
    const qint64 base = procStatus("VmRSS:");
    figures.seconds = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return figures;
        figures.seconds = qMin(figures.seconds, timer.nsecsElapsed() / 1e9);
    }
    figures.peak = procStatus("VmHWM:") - base;
    figures.ran = true;
    return figures;
}

// Debian's /usr/bin/python3 running script, which defines run(*arguments), measured as measure() does.
inline Figures runReference(const char* script, const QStringList& arguments)
{
    static const char* const harness = R"(
import sys, time

def _status(key):
    for line in open('/proc/self/status'):
        if line.startswith(key):
            return int(line.split()[1]) * 1024

with open('/proc/self/clear_refs', 'w') as f:
    f.write('5')
_base = _status('VmRSS')
_best = None
for _ in range(3):
    _start = time.perf_counter()
    run(*sys.argv[1:])
    _elapsed = time.perf_counter() - _start
    _best = _elapsed if _best is None else min(_best, _elapsed)
print(_best, _status('VmHWM') - _base)
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
        QStringList { QStringLiteral("-c"), QString::fromUtf8(script) + QString::fromUtf8(harness) } + arguments);
    Figures figures;
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        figures.error = python.readAllStandardError().trimmed();
        return figures;
    }
    const QList<QByteArray> numbers = python.readAllStandardOutput().trimmed().split(' ');
    figures.ran = true;
    figures.seconds = numbers.value(0).toDouble();
    figures.peak = qint64(numbers.value(1).toDouble());
    return figures;
}
