#pragma once

#include "BidsName.h"
#include "BidsSidecars.h"
#include "RecordAnalysis.h"
#include "SnirfExporter.h"

#include <QString>
#include <QStringList>

#include <functional>

class BidsStaging;
class RecordsSettings;

// Writes records into a BIDS dataset (the near-infrared part of the Brain Imaging Data Structure) or extends one:
// each record as "sub-<L>/[ses-<S>/]nirs/<stem>_nirs.snirf" (the SNIRF export, the subject's label as its subject,
// without the record's title, which may name the participant), with its channels (status from the record's signal
// check), events, recording and probe side files, a row in the session's scans table, the subject's row in the
// participants table, and the dataset's description and README where it has none. Several records of one command
// become consecutive runs and are exported side by side on every core. Nothing is changed unless everything could
// be written (BidsStaging): a refused or failed export leaves the dataset as it was.
class BidsExporter
{
public:
    using Failure = SnirfExporter::Failure;

    struct Options
    {
        QString dataset; // folder, made when missing
        BidsName name; // name.run is the first record's run; 0 for none (one record only)
        QString datasetName; // empty for the folder's name
        bool overwrite = false; // replace runs and probe files that the dataset holds
        SnirfExporter::Options snirf;
        RecordAnalysis::Options quality;
        BidsSidecars::Facts facts;
    };

    static constexpr const char* BidsVersion = "1.8.0";

    // The records settings' wavelengths, distance, coupling, saturation level, power line frequency and
    // manufacturer.
    static Options options(const RecordsSettings& settings);

    // progress gets the fraction done, from 0 to 1, from the export's threads, one call at a time.
    bool exportRecords(
        const QStringList& records, const Options& options, const std::function<void(double)>& progress = {});

    Failure failure() const { return m_failure; }
    QString errorString() const { return m_error; }
    // The SNIRF files written, relative to the dataset, in the order of the records.
    const QStringList& written() const { return m_written; }
    const QList<SnirfExporter::Summary>& summaries() const { return m_summaries; }

private:
    struct Run;

    bool fail(Failure failure, const QString& message);
    bool checkDataset(const QList<BidsName>& names, const Options& options);
    bool exportRun(Run& run, BidsStaging& staging, const Options& options, const std::function<void(double)>& progress);
    bool stageSessionFiles(const QList<Run>& runs, BidsStaging& staging, const Options& options);
    bool stageDatasetFiles(BidsStaging& staging, const Options& options);

    Failure m_failure = Failure::None;
    QString m_error;
    QStringList m_written;
    QList<SnirfExporter::Summary> m_summaries;
};
