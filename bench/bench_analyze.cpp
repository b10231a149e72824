// halvex-analyze --hb --quality on an hour of 12 channels at 50 lines/s as a whole process (start-up, reading the
// record, haemoglobin and quality, text output to /dev/null), against MNE-Python doing the same arithmetic in its
// own process on the SNIRF export of the same record (optical_density, beer_lambert_law, scalp_coupling_index; the
// file is read before the clock starts). Prints both, the ratio, the process's CPU time and the analysis alone in
// this process.

#include "PythonReference.h"
#include "RecordAnalysis.h"
#include "SnirfExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <random>

#include <sys/resource.h>

namespace {

const char* const Reference = R"(
import sys
import mne
from mne.preprocessing.nirs import beer_lambert_law, optical_density, scalp_coupling_index

mne.set_log_level('error')
raw = mne.io.read_raw_snirf(sys.argv[1], preload=True)

def run(path):
    od = optical_density(raw)
    beer_lambert_law(od, ppf=6.0)
    scalp_coupling_index(od)
)";

// Light as an instrument sends it: a level, a pulse near 1.1 Hz at both wavelengths, a slow drift and noise, as
// whole numbers, with the jitter of a real line in the times; every third channel sees no pulse.
QString writeRecord(const QString& folder, int channels, int rate, int seconds)
{
    const QString path = QDir(folder).filePath(QStringLiteral("2026.03.14-09.26.53.589-hour.raw"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray line;
    for (int c = 1; c <= channels; ++c)
        line += ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
    file.write(line + "\r\n");
    std::mt19937 random(1);
    std::normal_distribution<double> noise;
    const qint64 lines = qint64(rate) * seconds;
    for (qint64 i = 0; i < lines; ++i) {
        const double t = double(i) / rate;
        line = QByteArray::number(i * 1000 / rate + qint64(random() % 3));
        for (int c = 0; c < channels; ++c) {
            const double pulse = c % 3 == 2 ? 0 : std::sin(6.9 * t + c);
            for (const double level : { 2500.0, 3100.0 }) {
                const double od = 0.01 * pulse + 0.03 * std::sin(0.1 * t + c) + 0.003 * noise(random);
                line += ';' + QByteArray::number(std::lround(level * std::exp(-od)));
            }
        }
        file.write(line + "\r\n");
    }
    return file.error() == QFileDevice::NoError ? path : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString record = writeRecord(folder.path(), 12, 50, 3600);
    if (record.isEmpty()) {
        out << "cannot write the record\n";
        return 1;
    }
    out << "hour-12-channels-50Hz: " << QFileInfo(record).size() / 1e6 << " MB\n";

    const Figures inProcess = measure(3, [&] {
        RecordAnalysis analysis;
        RecordAnalysis::Options options;
        options.quality = true;
        return analysis.analyse(record, options);
    });
    out << "  analysis in this process: " << inProcess.seconds * 1000 << " ms, peak +" << inProcess.peak / 1e6
        << " MB\n";

    SnirfExporter exporter;
    if (!exporter.exportRecord(record, QString(), {})) {
        out << "  reference: not run (the export failed: " << exporter.errorString() << ")\n";
        return 1;
    }
    // Three rounds of two whole processes and one reference run (best of three in its process), so that a change
    // in the machine's load falls on both sides alike.
    QList<double> runs;
    double cpu = 1e9;
    Figures mne;
    mne.seconds = 1e9;
    for (int round = 0; round < 3; ++round) {
        for (int run = 0; run < 2; ++run) {
            rusage before {};
            getrusage(RUSAGE_CHILDREN, &before);
            QProcess analyze;
            analyze.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            analyze.start(
                QStringLiteral(HALVEX_ANALYZE), { QStringLiteral("--hb"), QStringLiteral("--quality"), record });
            if (!analyze.waitForFinished(600000) || analyze.exitCode() != 0) {
                out << "  halvex-analyze failed: " << analyze.readAllStandardError() << '\n';
                return 1;
            }
            runs.append(timer.nsecsElapsed() / 1e9);
            rusage after {};
            getrusage(RUSAGE_CHILDREN, &after);
            const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
            cpu = std::min(cpu,
                seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime)
                    - seconds(before.ru_stime));
        }
        const Figures reference = runReference(Reference, { exporter.summary().output });
        if (!reference.ran) {
            out << "  reference: not run (" << reference.error << "); install python3-mne\n";
            return 0;
        }
        if (reference.seconds < mne.seconds)
            mne = reference;
    }
    std::sort(runs.begin(), runs.end());
    const double best = runs.constFirst();
    const double median = (runs.at(2) + runs.at(3)) / 2;
    out << "  halvex-analyze --hb --quality, whole process: best " << best * 1000 << " ms, median " << median * 1000
        << " ms of 6 (CPU " << cpu * 1000 << " ms at best)\n";
    out << "  MNE in process (optical_density, beer_lambert_law, scalp_coupling_index): " << mne.seconds * 1000
        << " ms (best of 9), peak +" << mne.peak / 1e6 << " MB\n";
    out << "  ratio whole process / MNE in process: " << best / mne.seconds << " best, " << median / mne.seconds
        << " median (target at most 1): " << (best <= mne.seconds ? "met" : "MISSED") << '\n';
    return 0;
}
