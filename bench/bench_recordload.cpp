// Loading an hour-long record the way the records window does (read, 20 Hz resampling, centring, two high-pass
// sections per curve, marks), timed against a pandas/scipy script doing the same work on the same file. Prints
// time and peak memory of both; the files are generated in a temporary folder.

#include "PythonReference.h"
#include "RecordLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

const char* const Reference = R"(
import numpy as np, pandas as pd
from scipy import signal

def load(path, c1, c2, hpf):
    frame = pd.read_csv(path, sep=';', usecols=[0, 3 * c1 + 1, 3 * c2 + 1], encoding='utf-8')
    frame = frame.drop_duplicates(subset=frame.columns[0], keep='last').sort_values(frame.columns[0])
    t = frame.iloc[:, 0].to_numpy(dtype=float)
    grid = np.arange(t[0], t[-1] + 1, 50.0)
    sos = signal.butter(2, hpf, 'highpass', fs=20, output='sos')
    curves = []
    for column in (1, 2):
        y = np.interp(grid, t, frame.iloc[:, column].to_numpy(dtype=float))
        y -= y.mean()
        curves.append(signal.sosfilt(sos, signal.sosfilt(sos, y)))
    marks = pd.read_csv(path.replace('.csv', '.log'), sep='\t', header=None, usecols=[0, 1])
    return curves, marks

def run(path):
    load(path, 0, 9, 0.02)
)";

// 12 channels of V, R and IR at `rate` lines per second for an hour, times with the jitter of a real line.
QString writeRecord(const QString& folder, const QString& name, int rate)
{
    const QString path = QDir(folder).filePath(name + ".csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray line = "";
    for (int c = 1; c <= 12; ++c)
        line += ";V" + QByteArray::number(c) + ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
    file.write(line + "\r\n");
    QRandomGenerator random(1);
    const qint64 lines = qint64(rate) * 3600;
    for (qint64 i = 0; i < lines; ++i) {
        line = QByteArray::number(i * 1000 / rate + random.bounded(3));
        for (int k = 0; k < 36; ++k)
            line += ';' + QByteArray::number(int(random.bounded(4000)) - 2000);
        file.write(line + "\r\n");
    }
    QFile log(QDir(folder).filePath(name + ".log"));
    if (log.open(QIODevice::WriteOnly)) {
        for (int s = 0; s < 3600; s += 30)
            log.write(QByteArray::number(100000 + s * 1000) + "\tStim " + QByteArray::number(s) + "\r\n");
    }
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    // 50 lines/s; and the line rate that saturates the 115200-baud link with 12 channels of two 3-digit values
    // (96 bytes a raw line, 11520 bytes/s): 120 lines/s.
    const struct
    {
        const char* name;
        int rate;
    } cases[] = { { "hour-50Hz", 50 }, { "hour-link-saturated", 120 } };
    for (const auto& c : cases) {
        const QString path = writeRecord(folder.path(), QString::fromLatin1(c.name), c.rate);
        const qint64 fileSize = QFileInfo(path).size();

        qsizetype points = 0;
        const Figures halvex = measure(3, [&] {
            RecordLoader loader;
            RecordLoader::Comparison comparison;
            loader.open(path);
            loader.compare(0, 9, 0.02, comparison);
            loader.close();
            const auto marks = RecordLoader::readMarks(RecordLoader::logPath(path));
            points = comparison.size() + marks.size();
            return true;
        });
        const qint64 peak = halvex.peak;

        out << c.name << ": " << fileSize / 1e6 << " MB, " << points << " points and marks\n";
        out << "  halvex:    " << halvex.seconds * 1000 << " ms, peak +" << peak / 1e6 << " MB ("
            << double(peak) / fileSize << " file sizes)\n";
        out.flush();

        const Figures python = runReference(Reference, { path });
        if (!python.ran) {
            out << "  reference: not run (" << python.error << "); install python3-pandas and python3-scipy\n";
            continue;
        }
        const double referenceTime = python.seconds;
        out << "  reference: " << referenceTime * 1000 << " ms, peak +" << python.peak / 1e6 << " MB\n";
        // The whole halvex-compare process (start-up, load, text output to /dev/null) against the reference's
        // in-process time: median of five runs.
        QList<double> runs;
        for (int run = 0; run < 5; ++run) {
            QProcess compare;
            compare.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            compare.start(QStringLiteral(HALVEX_COMPARE), { path });
            if (!compare.waitForFinished(600000) || compare.exitCode() != 0)
                break;
            runs.append(timer.nsecsElapsed() / 1e9);
        }
        if (runs.size() == 5) {
            std::sort(runs.begin(), runs.end());
            out << "  halvex-compare, whole process: " << runs.at(2) * 1000 << " ms (median of 5; at most the "
                << "reference's " << referenceTime * 1000 << " ms: " << (runs.at(2) <= referenceTime ? "met" : "MISSED")
                << ")\n";
        } else {
            out << "  halvex-compare, whole process: did not run\n";
        }
        out << "  time ratio " << halvex.seconds / referenceTime
            << " (target at most 0.5): " << (halvex.seconds <= 0.5 * referenceTime ? "met" : "MISSED")
            << "; extra memory " << (peak <= fileSize ? "within" : "OVER") << " one file size\n";
        out.flush();
    }
    return 0;
}
