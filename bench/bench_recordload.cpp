// Loading an hour-long record the way the records window does (read, 20 Hz resampling, centring, two high-pass
// sections per curve, marks), timed against a pandas/scipy script doing the same work on the same file. Prints
// time and peak memory of both; the files are generated in a temporary folder. Also times the whole halvex-compare
// process, for the comparison and for --version alone (its start-up), against the same reference. The environment
// variable HALVEX_COMPARE names another halvex-compare to time beside this build's, such as an older build.

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

// The median wall time of `runs` whole runs of program with arguments, output to /dev/null; 0 when a run fails.
double medianProcessSeconds(const QString& program, const QStringList& arguments, int runs)
{
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return 0;
        times.append(timer.nsecsElapsed() / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times.at(runs / 2);
}

// The halvex-compare builds to time: this build's, and the one the environment names.
QList<QPair<QString, QString>> comparePrograms()
{
    QList<QPair<QString, QString>> programs { { QStringLiteral("halvex-compare"), QStringLiteral(HALVEX_COMPARE) } };
    const QString other = qEnvironmentVariable("HALVEX_COMPARE");
    if (!other.isEmpty())
        programs.append({ QStringLiteral("HALVEX_COMPARE"), other });
    return programs;
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
        // in-process time; and its start-up alone, which every scripted run of the tool pays.
        for (const auto& [name, program] : comparePrograms()) {
            const double version = medianProcessSeconds(program, { QStringLiteral("--version") }, 11);
            const double whole = medianProcessSeconds(program, { path }, 5);
            if (version > 0) {
                out << "  " << name << " --version, whole process: " << version * 1000 << " ms (median of 11), ratio "
                    << version / referenceTime << "\n";
            } else {
                out << "  " << name << " --version, whole process: did not run\n";
            }
            if (whole > 0) {
                out << "  " << name << ", whole process: " << whole * 1000 << " ms (median of 5), ratio "
                    << whole / referenceTime << " (target at most 1): " << (whole <= referenceTime ? "met" : "MISSED")
                    << "\n";
            } else {
                out << "  " << name << ", whole process: did not run\n";
            }
        }
        out << "  time ratio " << halvex.seconds / referenceTime
            << " (target at most 0.5): " << (halvex.seconds <= 0.5 * referenceTime ? "met" : "MISSED")
            << "; extra memory " << (peak <= fileSize ? "within" : "OVER") << " one file size\n";
        out.flush();
    }
    return 0;
}
