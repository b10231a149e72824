#include "BidsCommand.h"

#include "CommandLine.h"
#include "RecordsSettings.h"

BidsCommand::BidsCommand(CommandLine& commandLine)
    : m_commandLine(commandLine)
    , m_bids(QStringLiteral("bids"),
          QStringLiteral("Write the records into this BIDS dataset (made when missing) instead of beside them."),
          QStringLiteral("dataset"))
    , m_task(QStringLiteral("task"), QStringLiteral("With --bids: the task's label."), QStringLiteral("label"))
    , m_session(QStringLiteral("session"), QStringLiteral("With --bids: the session's label (default: none)."),
          QStringLiteral("label"))
    , m_run(QStringLiteral("run"),
          QStringLiteral("With --bids: the run number of the first record; the others follow (default: none, for one "
                         "record of the task)."),
          QStringLiteral("n"))
    , m_datasetName(QStringLiteral("dataset-name"),
          QStringLiteral("With --bids: the dataset's name in a new dataset_description.json (default: the folder's "
                         "name)."),
          QStringLiteral("name"))
{
    QCommandLineParser& parser = commandLine.parser();
    parser.addOptions({ m_bids, m_task, m_session, m_run, m_datasetName });
    parser.setApplicationDescription(parser.applicationDescription()
        + QStringLiteral(
            "\n\n"
            "--bids DATASET --subject LABEL --task LABEL [--session LABEL] [--run N] RECORD... writes or extends a "
            "BIDS dataset (Brain Imaging Data Structure, near-infrared part): per record "
            "sub-<subject>/[ses-<session>/]nirs/sub-<subject>[_ses-<session>]_task-<task>[_run-<n>]_nirs.snirf with "
            "its _nirs.json, _channels.tsv (bad where the scalp coupling index lies below the records settings' "
            "GoodCoupling, as halvex-analyze --quality), _events.tsv and _events.json; per session the _optodes.tsv, "
            "_coordsystem.json and _scans.tsv; the subject's row in participants.tsv; dataset_description.json and "
            "README where missing. Labels are letters and digits. The record's title goes into no file. A run the "
            "dataset holds is refused (exit code 3) unless --force; nothing is changed by an export that fails."));
}

bool BidsCommand::requested() const
{
    return m_commandLine.parser().isSet(m_bids);
}

std::optional<BidsExporter::Options> BidsCommand::options(
    const SnirfExporter::Options& snirf, const RecordsSettings& defaults) const
{
    const QCommandLineParser& parser = m_commandLine.parser();
    BidsExporter::Options options = BidsExporter::options(defaults);
    options.snirf = snirf;
    options.facts.redWavelength = snirf.redWavelength;
    options.facts.infraredWavelength = snirf.infraredWavelength;
    options.quality.law.redWavelength = snirf.redWavelength;
    options.quality.law.infraredWavelength = snirf.infraredWavelength;
    options.quality.law.distanceMm = snirf.distanceMm;
    options.overwrite = snirf.overwrite;
    options.dataset = parser.value(m_bids);
    options.datasetName = parser.value(m_datasetName);
    options.name.subject = snirf.subject;
    options.name.task = parser.value(m_task);
    options.name.session = parser.value(m_session);
    const auto refuse = [this](const QString& message) -> std::optional<BidsExporter::Options> {
        m_commandLine.usageError(message);
        return std::nullopt;
    };
    QList<std::pair<QString, QString>> labels
        = { { QStringLiteral("--subject"), options.name.subject }, { QStringLiteral("--task"), options.name.task } };
    if (parser.isSet(m_session))
        labels.append({ QStringLiteral("--session"), options.name.session });
    for (const auto& [option, label] : std::as_const(labels)) {
        if (const QString rule = BidsName::labelError(option, label); !rule.isEmpty())
            return refuse(rule);
    }
    if (parser.isSet(m_run)) {
        bool ok = false;
        options.name.run = parser.value(m_run).toInt(&ok);
        if (!ok || options.name.run < 1)
            return refuse(QStringLiteral("--run takes a whole number from 1"));
    }
    if (parser.isSet(QStringLiteral("output")))
        return refuse(QStringLiteral("--bids goes without -o"));
    return options;
}
