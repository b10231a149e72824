#pragma once

#include "RecordAnalysis.h"

#include <QCommandLineOption>

#include <limits>

class CommandLine;
class RecordsSettings;

// halvex-analyze --average: the average HbO and HbR around the marks of one or several records, per condition
// (RecordAverage), as text; with --map, each channel's mean over a response window instead.
class AverageCommand
{
public:
    // The records one command may average.
    static constexpr qsizetype MaxRecords = std::numeric_limits<int>::max();

    // Adds the mode's options and its paragraph to the tool's command line; the records settings give the defaults.
    AverageCommand(CommandLine& commandLine, const RecordsSettings& defaults);

    // Whether the command line asks for this mode; known before it is parsed, so that it may take several records.
    bool requested() const { return m_requested; }
    qsizetype maxRecords() const { return m_requested ? MaxRecords : 1; }

    // After the command line was parsed, with the haemoglobin options the tool took from it: writes the averages and
    // returns the exit code.
    int run(const RecordAnalysis::Options& haemoglobin) const;

private:
    CommandLine& m_commandLine;
    const RecordsSettings& m_defaults;
    bool m_requested = false;
    QCommandLineOption m_average;
    QCommandLineOption m_window;
    QCommandLineOption m_baseline;
    QCommandLineOption m_band;
    QCommandLineOption m_noBand;
    QCommandLineOption m_map;
};
