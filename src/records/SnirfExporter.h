#pragma once

#include "ExportStimuli.h"
#include "ProbeLayout.h"
#include "RawRecord.h"
#include "RecordGrid.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Writes a record as a SNIRF file (HDF5), the shared format of near-infrared analysis tools: the ".raw" values on a
// uniform time grid as continuous-wave amplitudes at two wavelengths, V and the original sample times as auxiliary
// series, the probe from the montage, and the ".log" marks, ".events" lines and gaps as stimuli. The file is
// written under a temporary name and renamed into place, so a failed export leaves no partial file behind.
class SnirfExporter
{
public:
    struct Options
    {
        double rate = 0; // Hz; 0 for the record's median sample interval
        double redWavelength = 760; // nm
        double infraredWavelength = 850; // nm
        double distanceMm = 30; // between each channel's source and detector
        QString subject; // empty for "unknown"
        // The title in the record's name as the file's Title; a dataset for publication leaves it out, as it may
        // name the participant.
        bool title = true;
        bool overwrite = false;
    };

    enum class Failure {
        None,
        Input, // the record cannot be read or holds too little
        Options, // rate or wavelengths out of range
        OutputExists, // and overwrite was not asked for
        Output, // the file cannot be written
    };

    struct Summary
    {
        QString output;
        qint64 samples = 0; // ".raw" lines taken
        qint64 skippedLines = 0; // damaged lines of the ".raw"
        qint64 skippedEvents = 0; // damaged lines of the ".events"
        qint64 gridPoints = 0;
        double rate = 0; // Hz
        qsizetype gaps = 0;
        qint64 outsideMarks = 0; // marks and events left out: before the first sample or after the last
        QDateTime start; // of the first grid point
        qsizetype channels = 0; // each with two measurements, red then infrared
        std::vector<ProbeLayout::Optode> optodes; // as in the file's probe: the sources, then the detectors
        std::vector<ExportStimuli::Event> stimuli; // as in the file, names in their own characters
    };

    static constexpr double MaxRate = RecordGrid::MaxRate;
    static constexpr double MinWavelength = 300;
    static constexpr double MaxWavelength = 1000;
    static constexpr double MinDistance = 1; // mm
    static constexpr double MaxDistance = 100;
    // Channel distance on the probe grid in mm, unless the source-detector distance is larger.
    static constexpr double ProbeSpacing = 30;

    // The name of each channel in the probe, in the order of the record's channels: the montage's name, or the
    // channel's number where the montage has none, then "-2", "-3"... after a name used before. The probe labels
    // the channel's source "S-" and its detector "D-" followed by it.
    static QStringList channelLabels(
        const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage);

    // The text as the file holds it: ASCII, other characters as \\uXXXX escapes.
    static QString asciiText(const QString& text);

    // "<record without its .csv or .raw>.snirf".
    static QString outputPath(const QString& recordPath);

    // recordPath names the record's ".csv" or ".raw"; an empty outputPath means outputPath(recordPath). progress
    // receives the fraction done, from 0 to 1.
    bool exportRecord(const QString& recordPath, const QString& outputPath, const Options& options,
        const std::function<void(double)>& progress = {});

    Failure failure() const { return m_failure; }
    // Why the last export failed, in words for the user.
    QString errorString() const { return m_error; }
    const Summary& summary() const { return m_summary; }

private:
    bool fail(Failure failure, const QString& message);

    Failure m_failure = Failure::None;
    QString m_error;
    Summary m_summary;
};
