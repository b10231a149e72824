#include "BidsExporter.h"

#include "BidsStaging.h"
#include "BidsTable.h"
#include "Parallel.h"
#include "RecordsSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <mutex>

namespace {

const QString DescriptionFile = QStringLiteral("dataset_description.json");
const QString ReadmeFile = QStringLiteral("README");
const QString ParticipantsFile = QStringLiteral("participants.tsv");
const QString ParticipantsDescription = QStringLiteral("participants.json");
const QString ParticipantColumn = QStringLiteral("participant_id");
const QString FileColumn = QStringLiteral("filename");
const QString TimeColumn = QStringLiteral("acq_time");

QByteArray datasetDescription(const QString& name)
{
    QJsonObject generatedBy;
    generatedBy.insert(QStringLiteral("Name"), QStringLiteral("Halvex"));
    generatedBy.insert(QStringLiteral("Version"), QStringLiteral(HALVEX_VERSION));
    generatedBy.insert(QStringLiteral("Description"), QStringLiteral("halvex-export --bids"));
    QJsonObject object;
    object.insert(QStringLiteral("Name"), name);
    object.insert(QStringLiteral("BIDSVersion"), QString::fromLatin1(BidsExporter::BidsVersion));
    object.insert(QStringLiteral("DatasetType"), QStringLiteral("raw"));
    object.insert(QStringLiteral("GeneratedBy"), QJsonArray { generatedBy });
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QByteArray readme(const QString& name)
{
    return name.toUtf8()
        + "\n\nFunctional near-infrared spectroscopy (fNIRS) records exported by Halvex (halvex-export --bids). Each "
          "recording is a SNIRF file of continuous-wave light amplitudes at two wavelengths per channel, with its "
          "channels (status from the scalp coupling index), events (the marks of the recording), optodes (the "
          "instrument's montage grid, not positions on the head) and the time it was made (scans tables).\n";
}

QByteArray participantsDescription()
{
    QJsonObject id;
    id.insert(QStringLiteral("Description"),
        QStringLiteral("The participant's label in this dataset; no names are kept in the dataset"));
    QJsonObject object;
    object.insert(ParticipantColumn, id);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// Whether the dataset holds numbered runs of the task of a name without a run number.
bool numberedRuns(const QString& dataset, const BidsName& name)
{
    const QDir folder(QDir(dataset).filePath(name.sessionFolder() + QStringLiteral("/nirs")));
    return !folder.entryList({ name.stem() + QStringLiteral("_run-*_nirs.snirf") }, QDir::Files).isEmpty();
}

} // namespace

struct BidsExporter::Run
{
    QString record;
    BidsName name;
    SnirfExporter::Summary summary;
    Failure failure = Failure::None;
    QString error;
};

BidsExporter::Options BidsExporter::options(const RecordsSettings& settings)
{
    Options options;
    options.snirf.redWavelength = settings.getRedWavelength();
    options.snirf.infraredWavelength = settings.getInfraredWavelength();
    options.snirf.distanceMm = settings.getSourceDetectorDistance();
    options.quality = RecordAnalysis::options(settings);
    options.facts.redWavelength = settings.getRedWavelength();
    options.facts.infraredWavelength = settings.getInfraredWavelength();
    options.facts.powerLineFrequency = settings.getPowerLineFrequency();
    options.facts.manufacturer = settings.getManufacturer();
    return options;
}

bool BidsExporter::fail(Failure failure, const QString& message)
{
    m_failure = failure;
    m_error = message;
    return false;
}

bool BidsExporter::checkDataset(const QList<BidsName>& names, const Options& options)
{
    for (const BidsName& name : names) {
        const QString relative = name.nirsPath(QStringLiteral("nirs.snirf"));
        const QString session = name.session.isEmpty() ? QString() : QStringLiteral(" in session %1").arg(name.session);
        if (QFileInfo::exists(QDir(options.dataset).filePath(relative)) && !options.overwrite) {
            return fail(Failure::OutputExists,
                name.run > 0
                    ? QStringLiteral("%1 exists: run %2 of the task is in the dataset already; --force replaces it")
                          .arg(QDir::toNativeSeparators(relative))
                          .arg(name.run)
                    : QStringLiteral("%1 exists: subject %2 did task %3%4 before; give the new record a run "
                                     "number (--run), or replace the one there (--force)")
                          .arg(QDir::toNativeSeparators(relative), name.subject, name.task, session));
        }
        if (name.run == 0 && numberedRuns(options.dataset, name)) {
            return fail(Failure::OutputExists,
                QStringLiteral("the dataset holds runs of task %1 of subject %2%3: give the new record a run number "
                               "(--run)")
                    .arg(name.task, name.subject, session));
        }
    }
    return true;
}

bool BidsExporter::exportRun(
    Run& run, BidsStaging& staging, const Options& options, const std::function<void(double)>& progress)
{
    const QString relative = run.name.nirsPath(QStringLiteral("nirs.snirf"));
    const QString staged = staging.stagedPath(relative);
    SnirfExporter::Options snirf = options.snirf;
    snirf.subject = run.name.subject;
    snirf.title = false;
    snirf.overwrite = true;
    SnirfExporter exporter;
    if (!exporter.exportRecord(run.record, staged, snirf, [&progress](double f) { progress(0.7 * f); })) {
        run.failure = exporter.failure();
        run.error = exporter.errorString().replace(staged, QDir::toNativeSeparators(relative));
        return false;
    }
    run.summary = exporter.summary();
    run.summary.output = relative;

    RecordAnalysis::Options quality = options.quality;
    quality.rate = snirf.rate;
    quality.haemoglobin = false;
    quality.quality = true;
    RecordAnalysis analysis;
    if (!analysis.analyse(run.record, quality, [&progress](double f) { progress(0.7 + 0.25 * f); })) {
        run.failure = analysis.failure() == RecordAnalysis::Failure::Options ? Failure::Options : Failure::Input;
        run.error = analysis.errorString();
        return false;
    }
    const BidsName& name = run.name;
    return staging.write(
               name.nirsPath(QStringLiteral("nirs.json")), BidsSidecars::nirsJson(name, run.summary, options.facts))
        && staging.write(name.nirsPath(QStringLiteral("channels.tsv")),
            BidsSidecars::channels(
                run.summary, analysis.channels(), analysis.qualityNote(), quality.goodCoupling, options.facts)
                .text())
        && staging.write(name.nirsPath(QStringLiteral("events.tsv")), BidsSidecars::events(run.summary).text())
        && staging.write(name.nirsPath(QStringLiteral("events.json")), BidsSidecars::eventsJson());
}

bool BidsExporter::stageSessionFiles(const QList<Run>& runs, BidsStaging& staging, const Options& options)
{
    QStringList sessions;
    for (const Run& run : runs) {
        if (!sessions.contains(run.name.sessionFolder()))
            sessions.append(run.name.sessionFolder());
    }
    for (const QString& session : std::as_const(sessions)) {
        QList<const Run*> own;
        for (const Run& run : runs) {
            if (run.name.sessionFolder() == session)
                own.append(&run);
        }
        const BidsName& name = own.constFirst()->name;
        const QByteArray optodes = BidsSidecars::optodes(own.constFirst()->summary).text();
        for (const Run* run : std::as_const(own)) {
            if (BidsSidecars::optodes(run->summary).text() != optodes) {
                return fail(Failure::Options,
                    QStringLiteral("the records for %1 have different montages, but the runs of a session share "
                                   "one probe: export them into sessions of their own")
                        .arg(QDir::toNativeSeparators(session)));
            }
        }
        const QString optodesPath = name.sessionFile(QStringLiteral("optodes.tsv"));
        const QByteArray present = staging.current(optodesPath);
        if (!present.isEmpty() && present != optodes && !options.overwrite) {
            return fail(Failure::OutputExists,
                QStringLiteral("%1 holds another montage, but the runs of a session share one probe: export into "
                               "another session, or replace it (--force)")
                    .arg(QDir::toNativeSeparators(optodesPath)));
        }
        if (present != optodes)
            staging.write(optodesPath, optodes);
        const QString coordsystemPath = name.sessionFile(QStringLiteral("coordsystem.json"));
        if (staging.current(coordsystemPath) != BidsSidecars::coordsystemJson())
            staging.write(coordsystemPath, BidsSidecars::coordsystemJson());

        BidsTable scans = BidsTable::parse(staging.current(name.scansPath()), { FileColumn, TimeColumn });
        for (const Run* run : std::as_const(own)) {
            // Whole milliseconds of UTC, marked so.
            const QString time
                = run->summary.start.toUTC().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz")) + QLatin1Char('Z');
            scans.put(FileColumn, { { FileColumn, run->name.scansEntry() }, { TimeColumn, time } });
        }
        staging.write(name.scansPath(), scans.text());
    }
    return true;
}

bool BidsExporter::stageDatasetFiles(BidsStaging& staging, const Options& options)
{
    const QString datasetName = options.datasetName.trimmed().isEmpty() ? QFileInfo(staging.dataset()).fileName()
                                                                        : options.datasetName.trimmed();
    const auto missing = [&staging](const QString& relative) {
        return !QFileInfo::exists(QDir(staging.dataset()).filePath(relative));
    };
    if (missing(DescriptionFile))
        staging.write(DescriptionFile, datasetDescription(datasetName));
    if (missing(ReadmeFile))
        staging.write(ReadmeFile, readme(datasetName));
    if (missing(ParticipantsDescription))
        staging.write(ParticipantsDescription, participantsDescription());
    BidsTable participants = BidsTable::parse(staging.current(ParticipantsFile), { ParticipantColumn });
    const QString participant = QStringLiteral("sub-") + options.name.subject;
    if (participants.find(ParticipantColumn, participant) < 0) {
        participants.append({ { ParticipantColumn, participant } });
        staging.write(ParticipantsFile, participants.text());
    }
    return staging.errorString().isEmpty();
}

bool BidsExporter::exportRecords(
    const QStringList& records, const Options& options, const std::function<void(double)>& progress)
{
    m_failure = Failure::None;
    m_error.clear();
    m_written.clear();
    m_summaries.clear();
    if (records.isEmpty())
        return fail(Failure::Options, QStringLiteral("no records to export"));
    if (const QString error = options.name.error(); !error.isEmpty())
        return fail(Failure::Options, error);
    if (records.size() > 1 && options.name.run == 0) {
        return fail(Failure::Options,
            QStringLiteral("%1 records of one subject, session and task are %1 runs: give the first one's run number "
                           "(--run)")
                .arg(records.size()));
    }
    QList<Run> runs;
    QList<BidsName> names;
    for (qsizetype i = 0; i < records.size(); ++i) {
        Run run;
        run.record = records.at(i);
        run.name = options.name;
        if (run.name.run > 0)
            run.name.run += int(i);
        names.append(run.name);
        runs.append(run);
    }
    if (!checkDataset(names, options))
        return false;

    BidsStaging staging(options.dataset);
    if (!staging.begin())
        return fail(Failure::Output, staging.errorString());
    std::mutex progressMutex;
    std::vector<double> done(size_t(runs.size()), 0.0);
    const auto report = [&](size_t index, double fraction) {
        if (!progress)
            return;
        std::lock_guard<std::mutex> lock(progressMutex);
        done[index] = fraction;
        double sum = 0;
        for (const double d : done)
            sum += d;
        progress(0.95 * sum / double(done.size()));
    };
    Parallel::forEach(size_t(runs.size()), [&](size_t i) {
        if (!exportRun(runs[qsizetype(i)], staging, options, [&report, i](double f) { report(i, f); })
            && runs[qsizetype(i)].error.isEmpty()) {
            runs[qsizetype(i)].failure = Failure::Output;
            runs[qsizetype(i)].error = staging.errorString();
        }
    });
    for (const Run& run : std::as_const(runs)) {
        if (!run.error.isEmpty())
            return fail(run.failure, run.error);
    }
    if (!stageSessionFiles(runs, staging, options))
        return false;
    if (!stageDatasetFiles(staging, options) || !staging.commit())
        return fail(Failure::Output, staging.errorString());
    for (const Run& run : std::as_const(runs)) {
        m_written.append(run.summary.output);
        m_summaries.append(run.summary);
    }
    if (progress)
        progress(1);
    return true;
}
