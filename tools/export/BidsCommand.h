#pragma once

#include "BidsExporter.h"

#include <QCommandLineOption>

class CommandLine;
class RecordsSettings;

// halvex-export --bids: the records into a BIDS dataset instead of SNIRF files beside them; the tool's SNIRF options
// (rate, wavelengths, distance) and --force apply as well, and --subject gives the subject's label.
class BidsCommand
{
public:
    // Adds the mode's options and its paragraph to the tool's command line.
    explicit BidsCommand(CommandLine& commandLine);

    // After parsing: whether the command line asks for this mode.
    bool requested() const;

    // The export's options from the command line, or nothing after a usage error was printed. snirf holds the
    // tool's SNIRF options and --force; the records settings give the rest.
    std::optional<BidsExporter::Options> options(
        const SnirfExporter::Options& snirf, const RecordsSettings& defaults) const;

private:
    CommandLine& m_commandLine;
    QCommandLineOption m_bids;
    QCommandLineOption m_task;
    QCommandLineOption m_session;
    QCommandLineOption m_run;
    QCommandLineOption m_datasetName;
};
