// Exporting a one-hour record of 12 channels (24 raw values at 60 lines per second) to SNIRF, timed against an
// h5py + numpy script that does the same export of the same file. Prints time and peak memory of both. Then the
// export's peak memory against the record's values in memory (its times and values as the export holds them), each
// case in a process of its own: the same record at --rate 1000, and an hour at 1000 lines/s at --rate 1000.

#include "PythonReference.h"
#include "SnirfExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

const char* const Reference = R"(
import numpy as np, h5py

def run(raw_path, out_path):
    with open(raw_path, 'rb') as f:
        header = f.readline().decode().strip().split(';')
        body = f.read()
    table = np.fromstring(body.replace(b';', b' '), sep=' ').reshape(-1, len(header))
    table = table[np.argsort(table[:, 0], kind='stable')]
    t = table[:, 0]
    steps = np.diff(t)
    median = np.median(steps[steps > 0])
    keep = np.r_[t[1:] != t[:-1], True]
    tu, rows = t[keep], table[keep]
    grid = t[0] + np.arange(int(np.floor((t[-1] - t[0]) / median + 1e-9)) + 1) * median
    after = np.clip(np.searchsorted(tu, grid, side='right'), 1, len(tu) - 1)
    gap = (grid > tu[after - 1]) & (grid < tu[after]) & ((tu[after] - tu[after - 1]) > 3 * median)
    channels = (len(header) - 1) // 2
    data = np.empty((len(grid), 2 * channels))
    for c in range(2 * channels):
        data[:, c] = np.interp(grid, tu, rows[:, c + 1])
    data[gap] = np.nan
    marks = [line.split(b'\t') for line in open(raw_path[:-4] + '.log', 'rb').read().split(b'\r\n') if line]
    with h5py.File(out_path, 'w') as f:
        f['formatVersion'] = '1.0'
        nirs = f.create_group('nirs')
        tags = nirs.create_group('metaDataTags')
        for key, value in (('SubjectID', 'unknown'), ('MeasurementDate', '2026-01-01'), ('MeasurementTime', '10:00:00'),
                           ('LengthUnit', 'mm'), ('TimeUnit', 's'), ('FrequencyUnit', 'Hz')):
            tags[key] = value
        d = nirs.create_group('data1')
        d['time'] = (grid - t[0]) / 1000
        d['dataTimeSeries'] = data
        for m in range(2 * channels):
            ml = d.create_group('measurementList%d' % (m + 1))
            for key, value in (('sourceIndex', m // 2 + 1), ('detectorIndex', m // 2 + 1),
                               ('wavelengthIndex', m % 2 + 1), ('dataType', 1), ('dataTypeIndex', 1)):
                ml.create_dataset(key, data=value, dtype='int32')
        names = sorted({m[1].replace(b' ', b'') for m in marks[1:]})
        base = int(marks[0][0])
        for s, name in enumerate(names):
            stim = nirs.create_group('stim%d' % (s + 1))
            stim['name'] = name.decode()
            stim['data'] = np.array([[(int(m[0]) - base - t[0]) / 1000, 0, 1] for m in marks if m[1].replace(b' ', b'') == name])
        probe = nirs.create_group('probe')
        probe['wavelengths'] = np.array([760.0, 850.0])
        x = np.arange(channels) * 30.0
        for dims in (2, 3):
            probe['sourcePos%dD' % dims] = np.c_[x - 15, np.zeros((channels, dims - 1))]
            probe['detectorPos%dD' % dims] = np.c_[x + 15, np.zeros((channels, dims - 1))]
        aux = nirs.create_group('aux1')
        aux['name'] = 'elapsed_ms'
        aux['dataTimeSeries'] = t
        aux['time'] = (t - t[0]) / 1000
)";

QString writeRecord(const QString& folder, int channels, int rate)
{
    const QString path = QDir(folder).filePath(QStringLiteral("2026.01.01-10.00.00.000-bench.raw"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray line = "ALT";
    for (int c = 1; c <= channels; ++c)
        line += ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
    file.write(line + "\r\n");
    QRandomGenerator random(1);
    for (qint64 i = 0; i < qint64(rate) * 3600; ++i) {
        // Jitter of up to 2 ms that never puts a line before the one above it, as the instrument's stamps.
        line = QByteArray::number(i * 1000 / rate + random.bounded(qBound(1, 1000 / rate - 1, 3)));
        for (int k = 0; k < 2 * channels; ++k)
            line += ';' + QByteArray::number(int(random.bounded(4000)) + 100);
        file.write(line + "\r\n");
    }
    QFile log(QString(path).replace(QStringLiteral(".raw"), QStringLiteral(".log")));
    if (log.open(QIODevice::WriteOnly)) {
        log.write("1\tSync\r\n");
        for (int s = 0; s < 3600; s += 30)
            log.write(QByteArray::number(1 + s * 1000) + "\tStim " + QByteArray::number(s % 90) + "\r\n");
    }
    return path;
}

// One export in this process: its peak, lines taken, grid points, output size and seconds on one line.
int peakCase(const QString& path, double rate, const QString& output)
{
    SnirfExporter exporter;
    SnirfExporter::Options options;
    options.overwrite = true;
    options.rate = rate;
    const Figures figures = measure(1, [&] { return exporter.exportRecord(path, output, options); });
    QTextStream out(stdout);
    if (!figures.ran) {
        out << "export failed: " << exporter.errorString() << '\n';
        return 1;
    }
    out << figures.peak << ' ' << exporter.summary().samples << ' ' << exporter.summary().gridPoints << ' '
        << QFileInfo(output).size() << ' ' << figures.seconds << '\n';
    return 0;
}

void printPeak(QTextStream& out, const QString& title, const QString& path, double rate, const QString& output)
{
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(), { QStringLiteral("--peak"), path, QString::number(rate), output });
    child.waitForFinished(-1);
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || fields.size() != 5) {
        out << title << ": not measured (" << fields.join(' ') << ")\n";
        return;
    }
    const double peak = fields.at(0).toDouble();
    const double lines = fields.at(1).toDouble();
    const double points = fields.at(2).toDouble();
    // The record as the export holds it: per line its time and 24 values, 8 bytes each.
    const double recordValues = lines * (1 + 24) * 8;
    const double gridValues = points * 24 * 8;
    out << title << ": " << fields.at(4).toDouble() * 1000 << " ms, .snirf " << fields.at(3).toDouble() / 1e6
        << " MB for " << gridValues / 1e6 << " MB of amplitudes; peak +" << peak / 1e6
        << " MB = " << peak / recordValues << " x the record's values in memory (" << recordValues / 1e6 << " MB), "
        << peak / gridValues << " x the exported amplitudes; target at most 1.2 x the record: "
        << (peak <= 1.2 * recordValues ? "met" : "MISSED") << "\n";
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 5 && arguments.at(1) == QStringLiteral("--peak"))
        return peakCase(arguments.at(2), arguments.at(3).toDouble(), arguments.at(4));
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString path = writeRecord(folder.path(), 12, 60);
    const QString output = QDir(folder.path()).filePath(QStringLiteral("halvex.snirf"));

    SnirfExporter exporter;
    SnirfExporter::Options options;
    options.overwrite = true;
    const Figures halvex = measure(3, [&] { return exporter.exportRecord(path, output, options); });
    if (!halvex.ran) {
        out << "export failed: " << exporter.errorString() << '\n';
        return 1;
    }
    const qint64 outputSize = QFileInfo(output).size();
    out << "one hour, 12 channels at 60 lines/s: .raw " << QFileInfo(path).size() / 1e6 << " MB, .snirf "
        << outputSize / 1e6 << " MB, " << exporter.summary().gridPoints << " grid points\n";
    out << "  halvex:    " << halvex.seconds * 1000 << " ms, peak +" << halvex.peak / 1e6 << " MB ("
        << double(halvex.peak) / outputSize << " output sizes)\n";
    out.flush();

    const QString reference = QDir(folder.path()).filePath(QStringLiteral("reference.snirf"));
    const Figures python = runReference(Reference, { path, reference });
    if (!python.ran) {
        out << "  reference: not run (" << python.error << "); install python3-h5py and python3-numpy\n";
    } else {
        out << "  reference: " << python.seconds * 1000 << " ms, peak +" << python.peak / 1e6 << " MB, .snirf "
            << QFileInfo(reference).size() / 1e6 << " MB (uncompressed)\n";
        out << "  time ratio " << halvex.seconds / python.seconds
            << " (target at most 1): " << (halvex.seconds <= python.seconds ? "met" : "MISSED") << "\n";
    }
    out.flush();

    printPeak(out, QStringLiteral("the same at --rate 1000"), path, 1000, output);
    QFile::remove(reference);
    const QString fast = writeRecord(folder.path(), 12, 1000);
    out << "one hour, 12 channels at 1000 lines/s: .raw " << QFileInfo(fast).size() / 1e6 << " MB\n";
    printPeak(out, QStringLiteral("  at --rate 1000"), fast, 1000, output);
    return 0;
}
