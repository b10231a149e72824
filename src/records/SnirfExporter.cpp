#include "SnirfExporter.h"

#include "ExportStimuli.h"
#include "Hdf5File.h"
#include "RawRecord.h"
#include "RecordEvents.h"
#include "RecordLoader.h"
#include "SampleTimes.h"
#include "UniformGrid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>
#include <cstdio>

namespace {

struct Position
{
    double x = 0;
    double y = 0;
    QString label;
};

// Each channel at its montage cell, 30 mm apart; channels the montage leaves out, and every channel without a
// montage, in one row below the montage rows.
std::vector<Position> probeLayout(
    const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage)
{
    int extraRow = 0;
    for (const RawRecord::MontageCell& cell : montage)
        extraRow = qMax(extraRow, cell.row + 1);
    int extraColumn = 0;
    std::vector<Position> positions;
    for (const RawRecord::Channel& channel : channels) {
        const auto cell = montage.constFind(channel.number);
        const int row = cell != montage.cend() ? cell->row : extraRow;
        const int column = cell != montage.cend() ? cell->column : extraColumn++;
        const QString label = cell != montage.cend() ? cell->name : QString::number(channel.number);
        positions.push_back({ column * SnirfExporter::ProbeSpacing, -row * SnirfExporter::ProbeSpacing, label });
    }
    return positions;
}

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

void writeProbe(Hdf5File& file, Hdf5File::Id nirs, const std::vector<Position>& positions, const double wavelengths[2])
{
    const Hdf5File::Id probe = file.group(nirs, QStringLiteral("probe"));
    file.writeDoubles(probe, QStringLiteral("wavelengths"), { wavelengths[0], wavelengths[1] });
    const double half = SnirfExporter::ProbeSpacing / 2;
    for (const int dimensions : { 2, 3 }) {
        std::vector<double> sources;
        std::vector<double> detectors;
        for (const Position& p : positions) {
            sources.insert(sources.end(), { p.x - half, p.y });
            detectors.insert(detectors.end(), { p.x + half, p.y });
            if (dimensions == 3) {
                sources.push_back(0);
                detectors.push_back(0);
            }
        }
        const QString suffix = QStringLiteral("Pos%1D").arg(dimensions);
        file.writeDoubles(probe, QStringLiteral("source") + suffix, sources, dimensions);
        file.writeDoubles(probe, QStringLiteral("detector") + suffix, detectors, dimensions);
    }
    QStringList labels;
    for (const Position& p : positions)
        labels.append(p.label);
    file.writeStrings(probe, QStringLiteral("sourceLabels"), labels);
    file.writeStrings(probe, QStringLiteral("detectorLabels"), labels);
}

} // namespace

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

    const QString output = outputPath.isEmpty() ? SnirfExporter::outputPath(recordPath) : outputPath;
    m_summary.output = output;
    if (!options.overwrite && QFileInfo::exists(output))
        return fail(Failure::OutputExists, QStringLiteral("%1 exists").arg(output));

    const QString rawPath = RawRecord::rawPath(recordPath);
    RawRecord record;
    if (!record.read(rawPath, [&report](double fraction) { report(fraction * 0.4); }))
        return fail(Failure::Input, QStringLiteral("%1: %2").arg(rawPath, record.errorString()));
    m_summary.skippedLines = record.skippedLines();
    m_summary.samples = record.lineCount();
    if (record.lineCount() < 2) {
        return fail(Failure::Input,
            QStringLiteral("%1: fewer than 2 samples (%2 damaged lines skipped)")
                .arg(rawPath)
                .arg(record.skippedLines()));
    }
    record.sortByTime();
    const std::vector<double> times = SampleTimes::spread(record.times());
    const double median = RecordGaps::medianInterval(times, RecordGaps::Middle::Mean);
    if (median <= 0)
        return fail(Failure::Input, QStringLiteral("%1: every sample has the same time").arg(rawPath));
    const double step = options.rate > 0 ? 1000 / options.rate : median;
    UniformGrid grid;
    if (!grid.build(times, step, RecordGaps::medianInterval(times, RecordGaps::Middle::Upper),
            qsizetype(MaxSpanSeconds * 1000 / step) + 1)) {
        return fail(Failure::Input,
            QStringLiteral("%1: the times span more than %2 hours (damaged time column?)")
                .arg(rawPath)
                .arg(MaxSpanSeconds / 3600));
    }
    m_summary.gridPoints = grid.size();
    m_summary.rate = 1000 / step;
    m_summary.gaps = qsizetype(grid.gaps().size());
    const double zero = times.front();

    // Up to the end of the last grid point's interval, as far as readers take the samples to reach.
    ExportStimuli stimuli(double(grid.size()) * step / 1000);
    for (const RecordLoader::Mark& mark : RecordLoader::readMarks(RecordLoader::logPath(rawPath)))
        stimuli.addMark(mark.text, (double(mark.time) - zero) / 1000);
    const RecordEvents::Contents events = RecordEvents::read(RecordEvents::eventsPath(rawPath));
    m_summary.skippedEvents = events.skippedLines;
    for (const RecordEvents::Event& event : events.events)
        stimuli.addMark(event.text, (double(event.time) - zero) / 1000);
    for (const UniformGrid::Gap& gap : grid.gaps())
        stimuli.addGap((gap.start - zero) / 1000, (gap.end - gap.start) / 1000);
    m_summary.outsideMarks = stimuli.outside();

    QString title;
    const QDateTime start = recordStart(QFileInfo(rawPath).completeBaseName(), rawPath, record.times().back(), title)
                                .addMSecs(qint64(std::floor(zero)));
    const std::vector<RawRecord::Channel>& channels = record.channels();
    const qsizetype measurements = qsizetype(channels.size()) * 2;

    const qint64 sizeHint = grid.size() * (measurements + 1) * 8 + qint64(times.size()) * 16
        + qint64(channels.size()) * grid.size() * 8 + (qint64(1) << 20);
    Hdf5File file;
    file.create(sizeHint);
    file.writeString(0, QStringLiteral("formatVersion"), QStringLiteral("1.0"));
    const Hdf5File::Id nirs = file.group(0, QStringLiteral("nirs"));
    const Hdf5File::Id tags = file.group(nirs, QStringLiteral("metaDataTags"));
    file.writeString(
        tags, QStringLiteral("SubjectID"), options.subject.isEmpty() ? QStringLiteral("unknown") : options.subject);
    // Whole seconds: readers parse "hh:mm:ss" without fractions.
    file.writeString(tags, QStringLiteral("MeasurementDate"), start.toString(QStringLiteral("yyyy-MM-dd")));
    file.writeString(tags, QStringLiteral("MeasurementTime"), start.toString(QStringLiteral("hh:mm:ss")));
    file.writeString(tags, QStringLiteral("LengthUnit"), QStringLiteral("mm"));
    file.writeString(tags, QStringLiteral("TimeUnit"), QStringLiteral("s"));
    file.writeString(tags, QStringLiteral("FrequencyUnit"), QStringLiteral("Hz"));
    file.writeString(tags, QStringLiteral("Title"), title);
    file.writeString(tags, QStringLiteral("SoftwareName"), QStringLiteral("Halvex"));
    file.writeString(tags, QStringLiteral("SoftwareVersion"), QStringLiteral(HALVEX_VERSION));

    const Hdf5File::Id data = file.group(nirs, QStringLiteral("data1"));
    std::vector<double> block;
    file.writeDoubles(data, QStringLiteral("time"), grid.snirfTime(1000));
    const Hdf5File::Id series = file.createMatrix(data, QStringLiteral("dataTimeSeries"), grid.size(), measurements);
    const qsizetype blockRows = qMax<qsizetype>(1, (qsizetype(1) << 17) / measurements);
    block.resize(size_t(blockRows * measurements));
    for (qsizetype first = 0; first < grid.size() && file.ok(); first += blockRows) {
        const qsizetype rows = qMin(blockRows, grid.size() - first);
        double* out = block.data();
        for (qsizetype i = first; i < first + rows; ++i) {
            for (const RawRecord::Channel& channel : channels) {
                *out++ = grid.at(i, [&record, &channel](size_t k) { return record.value(qsizetype(k), channel.r); });
                *out++ = grid.at(i, [&record, &channel](size_t k) { return record.value(qsizetype(k), channel.ir); });
            }
        }
        file.writeRows(series, first, rows, measurements, block.data());
        report(0.4 + 0.45 * double(first + rows) / double(grid.size()));
    }
    block = {};
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
        file.writeString(stim, QStringLiteral("name"), stimulusList[s].name);
        file.writeDoubles(stim, QStringLiteral("data"), stimulusList[s].rows, 3);
    }

    writeProbe(file, nirs, probeLayout(channels, RawRecord::readMontage(RawRecord::iniPath(rawPath))), wavelengths);

    int aux = 0;
    {
        const Hdf5File::Id group = file.group(nirs, QStringLiteral("aux%1").arg(++aux));
        file.writeString(group, QStringLiteral("name"), QStringLiteral("elapsed_ms"));
        std::vector<double> values(record.times().begin(), record.times().end());
        file.writeDoubles(group, QStringLiteral("dataTimeSeries"), values);
        // Each stamp at the time its sample was placed at.
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = (times[i] - zero) / 1000;
        file.writeDoubles(group, QStringLiteral("time"), values);
    }
    std::vector<double> values(size_t(grid.size()));
    for (const RawRecord::Channel& channel : channels) {
        if (channel.v < 0)
            continue;
        const Hdf5File::Id group = file.group(nirs, QStringLiteral("aux%1").arg(++aux));
        file.writeString(group, QStringLiteral("name"), record.columns().at(channel.v));
        for (qsizetype i = 0; i < grid.size(); ++i)
            values[size_t(i)]
                = grid.at(i, [&record, &channel](size_t k) { return record.value(qsizetype(k), channel.v); });
        file.writeDoubles(group, QStringLiteral("dataTimeSeries"), values);
        file.link(group, QStringLiteral("time"), QStringLiteral("/nirs/data1/time"));
    }

    QByteArray image;
    if (!file.finish(image))
        return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, file.errorString()));
    record = {};

    // The temporary file lies beside the output, so the rename stays on one file system.
    QTemporaryFile temporary(output + QStringLiteral(".XXXXXX.part"));
    if (!temporary.open())
        return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, temporary.errorString()));
    report(0.9);
    // A write that stops part way is repeated for the rest, so that the failure that follows names its reason.
    for (qint64 done = 0, written = 0; done < image.size(); done += written) {
        written = temporary.write(image.constData() + done, image.size() - done);
        if (written <= 0)
            return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, temporary.errorString()));
    }
    if (!temporary.flush())
        return fail(Failure::Output, QStringLiteral("%1: %2").arg(output, temporary.errorString()));
    image = {};
    temporary.close();
    const QString temporaryPath = temporary.fileName();
    temporary.setPermissions(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
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
