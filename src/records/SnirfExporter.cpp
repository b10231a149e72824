#include "SnirfExporter.h"

#include "ExportStimuli.h"
#include "Hdf5File.h"
#include "ProbeLayout.h"
#include "RawRecord.h"
#include "RecordGrid.h"
#include "UniformGrid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>
#include <cstdio>

namespace {

// The record's start from its name ("yyyy.MM.dd-hh.mm.ss.zzz", then "-" and the title); for a record renamed by
// hand, the time its ".raw" was last written less its length.
QDateTime recordStart(const QString& baseName, const QString& rawPath, qint64 lastElapsed, QString& title)
{
    static const QString format = QStringLiteral("yyyy.MM.dd-hh.mm.ss.zzz");
    QDateTime start = QDateTime::fromString(baseName.left(format.size()), format);
    if (start.isValid()) {
        title = baseName.mid(format.size());
        if (title.startsWith(QLatin1Char('-')))
            title.remove(0, 1);
        return start;
    }
    title = baseName;
    return QFileInfo(rawPath).lastModified().addMSecs(-lastElapsed);
}

// The labels are unique among sources and detectors together: each source is "S-" and each detector "D-" followed
// by its channel's label.
void writeProbe(
    Hdf5File& file, Hdf5File::Id nirs, const std::vector<ProbeLayout::Optode>& optodes, const double wavelengths[2])
{
    const Hdf5File::Id probe = file.group(nirs, QStringLiteral("probe"));
    file.writeDoubles(probe, QStringLiteral("wavelengths"), { wavelengths[0], wavelengths[1] });
    const size_t sourceCount = optodes.size() / 2;
    for (const int dimensions : { 2, 3 }) {
        std::vector<double> places[2];
        QStringList labels[2];
        for (size_t i = 0; i < optodes.size(); ++i) {
            const ProbeLayout::Optode& o = optodes[i];
            std::vector<double>& place = places[i < sourceCount ? 0 : 1];
            place.insert(place.end(), { o.x, o.y });
            if (dimensions == 3)
                place.push_back(o.z);
            labels[i < sourceCount ? 0 : 1].append(o.label);
        }
        const QString suffix = QStringLiteral("Pos%1D").arg(dimensions);
        file.writeDoubles(probe, QStringLiteral("source") + suffix, places[0], dimensions);
        file.writeDoubles(probe, QStringLiteral("detector") + suffix, places[1], dimensions);
        if (dimensions == 3) {
            // Source labels are one column per source (a column per wavelength would be the other form); detector
            // labels are a list.
            file.writeStrings(probe, QStringLiteral("sourceLabels"), labels[0], true);
            file.writeStrings(probe, QStringLiteral("detectorLabels"), labels[1]);
        }
    }
}

void writeMetadata(Hdf5File& file, Hdf5File::Id nirs, const SnirfExporter::Options& options, const QDateTime& start,
    const QString& title)
{
    const Hdf5File::Id tags = file.group(nirs, QStringLiteral("metaDataTags"));
    file.writeString(tags, QStringLiteral("SubjectID"),
        options.subject.isEmpty() ? QStringLiteral("unknown") : SnirfExporter::asciiText(options.subject));
    // In UTC, marked so, as readers take a time without a zone for UTC; whole seconds, as they parse "hh:mm:ss"
    // without fractions.
    const QDateTime utc = start.toUTC();
    file.writeString(tags, QStringLiteral("MeasurementDate"), utc.toString(QStringLiteral("yyyy-MM-dd")));
    file.writeString(tags, QStringLiteral("MeasurementTime"), utc.toString(QStringLiteral("hh:mm:ss")) + 'Z');
    file.writeString(tags, QStringLiteral("LengthUnit"), QStringLiteral("mm"));
    file.writeString(tags, QStringLiteral("TimeUnit"), QStringLiteral("s"));
    file.writeString(tags, QStringLiteral("FrequencyUnit"), QStringLiteral("Hz"));
    if (options.title)
        file.writeString(tags, QStringLiteral("Title"), SnirfExporter::asciiText(title));
    file.writeString(tags, QStringLiteral("SoftwareName"), QStringLiteral("Halvex"));
    file.writeString(tags, QStringLiteral("SoftwareVersion"), QStringLiteral(HALVEX_VERSION));
}

// Fills a matrix of the file chunk by chunk: fill(first, rows, out) writes rows × max(columns, 1) values.
template<typename Fill>
void writeInChunks(Hdf5File& file, Hdf5File::Id matrix, qsizetype rowCount, qsizetype columns, const Fill& fill)
{
    const qsizetype width = qMax<qsizetype>(1, columns);
    const qsizetype blockRows = Hdf5File::chunkRows(columns);
    std::vector<double> block(size_t(qMin(blockRows, rowCount) * width));
    for (qsizetype first = 0; first < rowCount && file.ok(); first += blockRows) {
        const qsizetype rows = qMin(blockRows, rowCount - first);
        fill(first, rows, block.data());
        file.writeRows(matrix, first, rows, columns, block.data());
    }
    file.finishMatrix(matrix);
}

} // namespace

// SNIRF strings are ASCII (or UTF-16, which few readers take), and the format's validator reads every string of the
// file as ASCII, failing on any other byte. Other characters are therefore written as \uXXXX (\UXXXXXXXX beyond the
// basic plane) and the backslash as \\: the escapes of Python's "unicode_escape", which gives the text back.
QString SnirfExporter::asciiText(const QString& text)
{
    QString ascii;
    ascii.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\\')
            ascii += QStringLiteral("\\\\");
        else if (c < 0x80)
            ascii += QChar(c);
        else if (c <= 0xffff)
            ascii += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else
            ascii += QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
    }
    return ascii;
}

QStringList SnirfExporter::channelLabels(
    const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage)
{
    return ProbeLayout::labels(channels, montage);
}

QString SnirfExporter::outputPath(const QString& recordPath)
{
    const QString raw = RawRecord::rawPath(recordPath);
    return raw.left(raw.size() - 3) + QStringLiteral("snirf");
}

bool SnirfExporter::fail(Failure failure, const QString& message)
{
    m_failure = failure;
    m_error = message;
    return false;
}

bool SnirfExporter::exportRecord(const QString& recordPath, const QString& outputPath, const Options& options,
    const std::function<void(double)>& progress)
{
    m_failure = Failure::None;
    m_error.clear();
    m_summary = {};
    const auto report = [&progress](double fraction) {
        if (progress)
            progress(fraction);
    };

    if (!(options.rate >= 0 && options.rate <= MaxRate))
        return fail(Failure::Options, QStringLiteral("the rate must lie between 0 and %1 Hz").arg(MaxRate));
    const double wavelengths[2] = { options.redWavelength, options.infraredWavelength };
    if (!(wavelengths[0] >= MinWavelength && wavelengths[1] <= MaxWavelength && wavelengths[0] < wavelengths[1])) {
        return fail(Failure::Options,
            QStringLiteral("the wavelengths must lie between %1 and %2 nm, red below infrared")
                .arg(MinWavelength)
                .arg(MaxWavelength));
    }
    if (!(options.distanceMm >= MinDistance && options.distanceMm <= MaxDistance)) {
        return fail(Failure::Options,
            QStringLiteral("the source-detector distance must lie between %1 and %2 mm")
                .arg(MinDistance)
                .arg(MaxDistance));
    }

    const QString output = outputPath.isEmpty() ? SnirfExporter::outputPath(recordPath) : outputPath;
    m_summary.output = output;
    if (!options.overwrite && QFileInfo::exists(output))
        return fail(Failure::OutputExists, QStringLiteral("%1 exists").arg(output));

    const QString rawPath = RawRecord::rawPath(recordPath);
    RecordGrid recordGrid;
    const bool loaded
        = recordGrid.load(recordPath, options.rate, [&report](double fraction) { report(fraction * 0.4); });
    const RawRecord& record = recordGrid.record();
    m_summary.skippedLines = record.skippedLines();
    m_summary.samples = record.lineCount();
    if (!loaded)
        return fail(Failure::Input, recordGrid.errorString());
    const std::vector<double>& times = recordGrid.sampleTimes();
    const UniformGrid& grid = recordGrid.grid();
    const double step = grid.step();
    m_summary.gridPoints = grid.size();
    m_summary.rate = 1000 / step;
    m_summary.gaps = qsizetype(grid.gaps().size());
    const double zero = times.front();

    // Up to the end of the last grid point's interval, as far as readers take the samples to reach.
    ExportStimuli stimuli(double(grid.size()) * step / 1000);
    m_summary.skippedEvents = stimuli.addRecordMarks(rawPath, zero);
    for (const UniformGrid::Gap& gap : grid.gaps())
        stimuli.addGap((gap.start - zero) / 1000, (gap.end - gap.start) / 1000);
    m_summary.outsideMarks = stimuli.outside();

    QString title;
    const QDateTime start = recordStart(QFileInfo(rawPath).completeBaseName(), rawPath, record.times().back(), title)
                                .addMSecs(qint64(std::floor(zero)));
    const std::vector<RawRecord::Channel>& channels = record.channels();
    const qsizetype measurements = qsizetype(channels.size()) * 2;

    // The file is written straight into a temporary file beside the output, so that the rename stays on one file
    // system; a failed export removes it.
    QTemporaryFile temporary(output + QStringLiteral(".XXXXXX.part"));
    if (!temporary.open())
        return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, temporary.errorString()));
    temporary.setPermissions(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // The library opens the file itself; one descriptor of it is enough.
    temporary.close();
    Hdf5File file;
    file.create(temporary.fileName());
    file.writeString(0, QStringLiteral("formatVersion"), QStringLiteral("1.0"));
    const Hdf5File::Id nirs = file.group(0, QStringLiteral("nirs"));
    writeMetadata(file, nirs, options, start, title);

    const Hdf5File::Id data = file.group(nirs, QStringLiteral("data1"));
    file.writeDoubles(data, QStringLiteral("time"), grid.snirfTime(1000));
    const Hdf5File::Id series = file.createMatrix(data, QStringLiteral("dataTimeSeries"), grid.size(), measurements);
    writeInChunks(file, series, grid.size(), measurements, [&](qsizetype first, qsizetype rows, double* out) {
        for (qsizetype i = first; i < first + rows; ++i) {
            for (const RawRecord::Channel& channel : channels) {
                *out++ = recordGrid.at(i, channel.r);
                *out++ = recordGrid.at(i, channel.ir);
            }
        }
        report(0.4 + 0.45 * double(first + rows) / double(grid.size()));
    });
    for (size_t c = 0; c < channels.size(); ++c) {
        for (int w = 0; w < 2; ++w) {
            const Hdf5File::Id entry = file.group(data, QStringLiteral("measurementList%1").arg(2 * c + w + 1));
            file.writeInt(entry, QStringLiteral("sourceIndex"), int(c + 1));
            file.writeInt(entry, QStringLiteral("detectorIndex"), int(c + 1));
            file.writeInt(entry, QStringLiteral("wavelengthIndex"), w + 1);
            file.writeInt(entry, QStringLiteral("dataType"), 1); // continuous-wave amplitude
            file.writeInt(entry, QStringLiteral("dataTypeIndex"), 1);
        }
    }

    const std::vector<ExportStimuli::Stimulus> stimulusList = stimuli.list();
    for (size_t s = 0; s < stimulusList.size(); ++s) {
        const Hdf5File::Id stim = file.group(nirs, QStringLiteral("stim%1").arg(s + 1));
        file.writeString(stim, QStringLiteral("name"), asciiText(stimulusList[s].name));
        file.writeDoubles(stim, QStringLiteral("data"), stimulusList[s].rows, 3);
    }

    std::vector<ProbeLayout::Optode> optodes
        = ProbeLayout::optodes(ProbeLayout::positions(channels, RawRecord::readMontage(RawRecord::iniPath(rawPath)),
                                   qMax(ProbeSpacing, options.distanceMm)),
            options.distanceMm);
    for (ProbeLayout::Optode& optode : optodes)
        optode.label = asciiText(optode.label);
    writeProbe(file, nirs, optodes, wavelengths);

    // Auxiliary series are time × 1 matrices, written a chunk at a time like the data.
    int aux = 0;
    {
        const Hdf5File::Id group = file.group(nirs, QStringLiteral("aux%1").arg(++aux));
        file.writeString(group, QStringLiteral("name"), QStringLiteral("elapsed_ms"));
        // The stamps as they were written, each at the time its sample was placed at.
        const std::vector<qint64>& stamps = record.times();
        const qsizetype lines = qsizetype(stamps.size());
        const Hdf5File::Id values = file.createMatrix(group, QStringLiteral("dataTimeSeries"), lines, 1);
        writeInChunks(file, values, lines, 1, [&stamps](qsizetype first, qsizetype rows, double* out) {
            std::copy_n(stamps.begin() + first, rows, out);
        });
        const Hdf5File::Id seconds = file.createMatrix(group, QStringLiteral("time"), lines, 0);
        writeInChunks(file, seconds, lines, 0, [&times, zero](qsizetype first, qsizetype rows, double* out) {
            for (qsizetype i = first; i < first + rows; ++i)
                *out++ = (times[size_t(i)] - zero) / 1000;
        });
    }
    for (const RawRecord::Channel& channel : channels) {
        if (channel.v < 0)
            continue;
        const Hdf5File::Id group = file.group(nirs, QStringLiteral("aux%1").arg(++aux));
        file.writeString(group, QStringLiteral("name"), asciiText(record.columns().at(channel.v)));
        const Hdf5File::Id values = file.createMatrix(group, QStringLiteral("dataTimeSeries"), grid.size(), 1);
        writeInChunks(file, values, grid.size(), 1, [&](qsizetype first, qsizetype rows, double* out) {
            for (qsizetype i = first; i < first + rows; ++i)
                *out++ = recordGrid.at(i, channel.v);
        });
        file.link(group, QStringLiteral("time"), QStringLiteral("/nirs/data1/time"));
    }
    report(0.9);
    m_summary.start = start;
    m_summary.channels = qsizetype(channels.size());
    m_summary.optodes = std::move(optodes);
    m_summary.stimuli = stimuli.events();

    // Closing flushes the library's caches: the record's values are no longer needed by then.
    recordGrid.clear();
    if (!file.close())
        return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, file.errorString()));
    const QString temporaryPath = temporary.fileName();
    // Without overwrite, QFile::rename refuses a file that appeared meanwhile; with it, rename replaces atomically.
    const bool renamed = options.overwrite
        ? std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(output).constData()) == 0
        : QFile::rename(temporaryPath, output);
    if (!renamed) {
        return fail(QFileInfo::exists(output) && !options.overwrite ? Failure::OutputExists : Failure::Output,
            QStringLiteral("%1: cannot put the file in place").arg(output));
    }
    temporary.setAutoRemove(false);
    report(1);
    return true;
}
