#include "BidsCommand.h"
#include "CommandLine.h"
#include "RecordsSettings.h"
#include "SnirfExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <limits>

namespace {

// A wrong command line and a record that cannot be read both end with 2, as in halvex-compare. Every failure code
// is larger than the ones before it, so that the exit code of a batch, the largest of its records, names the worst.
enum ExitCode {
    Success = CommandLine::Success,
    UsageError = CommandLine::UsageError,
    InputError = 2,
    OutputExists = 3,
    OutputError = 4
};

ExitCode exitCode(SnirfExporter::Failure failure)
{
    switch (failure) {
    case SnirfExporter::Failure::None:
        return Success;
    case SnirfExporter::Failure::Options:
        return UsageError;
    case SnirfExporter::Failure::Input:
        return InputError;
    case SnirfExporter::Failure::OutputExists:
        return OutputExists;
    case SnirfExporter::Failure::Output:
        break;
    }
    return OutputError;
}

// One line per file written, and what the record had that the file leaves out.
void report(
    QTextStream& out, const CommandLine& commandLine, const QString& record, const SnirfExporter::Summary& summary)
{
    out << summary.output << ": " << summary.gridPoints << " points at " << QString::number(summary.rate, 'g', 6)
        << " Hz from " << summary.samples << " samples";
    if (summary.gaps > 0)
        out << ", " << summary.gaps << " gaps";
    out << '\n';
    out.flush();
    if (summary.skippedLines > 0)
        commandLine.message(QStringLiteral("%1: %2 damaged lines skipped").arg(record).arg(summary.skippedLines));
    if (summary.skippedEvents > 0)
        commandLine.message(
            QStringLiteral("%1: %2 damaged event lines skipped").arg(record).arg(summary.skippedEvents));
    if (summary.outsideMarks > 0)
        commandLine.message(QStringLiteral("%1: %2 marks outside the samples left out (readers would drop them)")
                                .arg(record)
                                .arg(summary.outsideMarks));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    RecordsSettings defaults(QString(), nullptr);
    defaults.readDataFolderFile();
    CommandLine commandLine(QStringLiteral("halvex-export"),
        QStringLiteral(
            "Writes records as SNIRF files (\"<record>.snirf\" beside each record) for MNE-Python, Homer3 and other "
            "fNIRS tools: R and IR of every channel as continuous-wave amplitudes at two wavelengths on a uniform time "
            "grid, V and the original sample times as auxiliary series, the montage as the probe, and the .log marks, "
            ".events lines and gaps in the samples as stimuli.\n\nExit codes: 0 done, 2 a wrong command line or a "
            "record "
            "that cannot be read, 3 an output file exists, 4 an output file cannot be written; with several records, "
            "the largest. With --bids, 3 also for a run that the dataset holds."));
    QCommandLineParser& parser = commandLine.parser();
    parser.addPositionalArgument(QStringLiteral("records"),
        QStringLiteral("Record files (.csv or .raw) or folders; a folder exports every .raw record in it."),
        QStringLiteral("RECORD|FOLDER..."));
    const QCommandLineOption outputOption({ QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("Output file for a single record, or an existing folder for the output files."),
        QStringLiteral("path"));
    const QCommandLineOption rateOption(QStringLiteral("rate"),
        QStringLiteral("Sampling rate of the time grid in Hz, up to %1 (default: the record's median sample interval).")
            .arg(SnirfExporter::MaxRate),
        QStringLiteral("hz"));
    const QCommandLineOption wavelengthsOption(QStringLiteral("wavelengths"),
        QStringLiteral("Red and infrared wavelengths in nm; they must match the instrument (default: the records "
                       "settings' RedWavelength and InfraredWavelength, now %1,%2).")
            .arg(defaults.getRedWavelength())
            .arg(defaults.getInfraredWavelength()),
        QStringLiteral("red,ir"));
    const QCommandLineOption distanceOption(QStringLiteral("distance-mm"),
        QStringLiteral("Distance between each channel's source and detector in mm, from %1 to %2; the probe puts them "
                       "so far apart, and MNE-Python's beer_lambert_law takes it from there (default: the records "
                       "settings' SourceDetectorDistance, now %3).")
            .arg(SnirfExporter::MinDistance)
            .arg(SnirfExporter::MaxDistance)
            .arg(defaults.getSourceDetectorDistance()),
        QStringLiteral("mm"));
    const QCommandLineOption subjectOption(QStringLiteral("subject"),
        QStringLiteral("Subject identifier (default \"unknown\"); with --bids, the subject's label."),
        QStringLiteral("id"));
    const QCommandLineOption forceOption(QStringLiteral("force"), QStringLiteral("Replace existing output files."));
    parser.addOptions({ outputOption, rateOption, wavelengthsOption, distanceOption, subjectOption, forceOption });
    const BidsCommand bids(commandLine);
    if (const std::optional<int> answered
        = commandLine.parse(QCoreApplication::arguments(), std::numeric_limits<qsizetype>::max()))
        return *answered;

    SnirfExporter::Options options;
    options.redWavelength = defaults.getRedWavelength();
    options.infraredWavelength = defaults.getInfraredWavelength();
    options.distanceMm = defaults.getSourceDetectorDistance();
    options.subject = parser.value(subjectOption);
    options.overwrite = parser.isSet(forceOption);
    if (parser.isSet(rateOption)) {
        bool ok = false;
        options.rate = parser.value(rateOption).toDouble(&ok);
        if (!ok || !(options.rate > 0 && options.rate <= SnirfExporter::MaxRate))
            return commandLine.usageError(
                QStringLiteral("--rate takes a number above 0 and up to %1").arg(SnirfExporter::MaxRate));
    }
    if (parser.isSet(distanceOption)) {
        bool ok = false;
        options.distanceMm = parser.value(distanceOption).toDouble(&ok);
        if (!ok
            || !(options.distanceMm >= SnirfExporter::MinDistance && options.distanceMm <= SnirfExporter::MaxDistance))
            return commandLine.usageError(QStringLiteral("--distance-mm takes a number from %1 to %2")
                                              .arg(SnirfExporter::MinDistance)
                                              .arg(SnirfExporter::MaxDistance));
    }
    if (parser.isSet(wavelengthsOption)) {
        const QStringList parts = parser.value(wavelengthsOption).split(QLatin1Char(','));
        bool ok1 = false;
        bool ok2 = parts.size() == 2;
        options.redWavelength = parts.constFirst().toDouble(&ok1);
        options.infraredWavelength = ok2 ? parts.constLast().toDouble(&ok2) : 0;
        if (!ok1 || !ok2 || !(options.redWavelength >= SnirfExporter::MinWavelength)
            || !(options.infraredWavelength <= SnirfExporter::MaxWavelength)
            || !(options.redWavelength < options.infraredWavelength)) {
            return commandLine.usageError(
                QStringLiteral("--wavelengths takes two numbers in nm, red below infrared, from %1 to %2")
                    .arg(SnirfExporter::MinWavelength)
                    .arg(SnirfExporter::MaxWavelength));
        }
    } else if (!(options.redWavelength < options.infraredWavelength)) {
        // Not the command line's fault: no usage.
        commandLine.message(
            QStringLiteral("the records settings (%1) give %2 nm red and %3 nm infrared; red must lie below infrared: "
                           "correct them or give --wavelengths")
                .arg(QDir::toNativeSeparators(defaults.getFilepath()))
                .arg(options.redWavelength)
                .arg(options.infraredWavelength));
        return UsageError;
    }

    QStringList records;
    for (const QString& argument : parser.positionalArguments()) {
        if (!QFileInfo(argument).isDir()) {
            records.append(argument);
            continue;
        }
        const QDir folder(argument);
        for (const QString& name : folder.entryList({ QStringLiteral("*.raw") }, QDir::Files, QDir::Name))
            records.append(folder.filePath(name));
    }
    if (parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("give one or more records or folders"));
    if (records.isEmpty())
        return commandLine.usageError(QStringLiteral("no .raw records in the folders given"));

    const QString output = parser.value(outputOption);
    const bool outputFolder = !output.isEmpty() && QFileInfo(output).isDir();
    if (!output.isEmpty() && !outputFolder && records.size() > 1)
        return commandLine.usageError(QStringLiteral("-o names an existing folder when several records are exported"));

    QTextStream out(stdout);
    if (bids.requested()) {
        const std::optional<BidsExporter::Options> bidsOptions = bids.options(options, defaults);
        if (!bidsOptions)
            return UsageError;
        BidsExporter exporter;
        if (!exporter.exportRecords(records, *bidsOptions)) {
            commandLine.message(exporter.errorString());
            return exitCode(exporter.failure());
        }
        for (qsizetype i = 0; i < records.size(); ++i)
            report(out, commandLine, records.at(i), exporter.summaries().at(i));
        return Success;
    }
    int result = Success;
    SnirfExporter exporter;
    for (const QString& record : records) {
        QString target = output;
        if (outputFolder)
            target = QDir(output).filePath(QFileInfo(SnirfExporter::outputPath(record)).fileName());
        if (!exporter.exportRecord(record, target, options)) {
            const bool exists = exporter.failure() == SnirfExporter::Failure::OutputExists;
            commandLine.message(
                exporter.errorString() + (exists ? QStringLiteral("; --force replaces it") : QString()));
            result = std::max(result, int(exitCode(exporter.failure())));
            continue;
        }
        report(out, commandLine, record, exporter.summary());
    }
    return result;
}
