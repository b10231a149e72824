#pragma once

#include "EpochAverage.h"
#include "RecordAnalysis.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

class RecordsSettings;

// The average haemoglobin response around the marks of one or several records, per condition (a mark's text), as
// MNE-Python computes it from the records' SNIRF exports. For each record: its HbO and HbR on the export's grid
// (RecordAnalysis); its marks from ".events" and ".log" with the names and onsets the export's stimuli give them
// (ExportStimuli: seconds from the first grid point, marks outside the samples left out, a mark without text named
// "Mark"), which are the onsets MNE's annotations hold; when asked, a zero-phase band-pass of every series, each
// piece between gaps alone (ButterworthBandPass); then the epochs of each condition (EpochAverage). Several records
// give the grand average of the records' averages.
//
// Records are read and processed on all cores at once; one that cannot be read (or whose rate the band-pass does
// not allow) is named in recordFailures() and the others go on. Nothing here touches widgets, so a window runs it on
// a thread of its own.
class RecordAverage
{
public:
    struct Options
    {
        RecordAnalysis::Options analysis; // haemoglobin only; rate 0 for each record's own
        EpochAverage::Settings epochs;
        bool band = true; // the band-pass before the epochs
        double bandLow = 0.01; // Hz
        double bandHigh = 0.5; // Hz
        double responseFrom = 5; // s: the window of activation() for the map
        double responseTo = 15;
    };

    enum class Failure {
        None,
        Options, // window, baseline, band or haemoglobin settings unusable (errorString says why)
        Input, // no record could be averaged (recordFailures() says why for each)
        Cancelled,
    };

    struct Channel
    {
        int number = 0; // as in the record's header
        QString label; // as the SNIRF export's probe names it
    };

    struct RecordFailure
    {
        QString record; // the path given
        QString message; // why, readable, led by the file
    };

    // HbO and HbR of one channel, averaged over a response window.
    struct Activation
    {
        double oxy = RecordAnalysis::NoValue; // µM
        double deoxy = RecordAnalysis::NoValue;
    };

    // The records settings' haemoglobin settings (RecordAnalysis::options), AverageFrom/To, BaselineFrom/To,
    // AverageBand, AverageBandLow/High and ResponseFrom/To.
    static Options options(const RecordsSettings& settings);

    // The mark texts of the records with how many marks each has, under the names their SNIRF exports give them,
    // read from ".events" and ".log" only (quick enough for a picker; marks that lie outside the samples, which the
    // average leaves out, are counted here).
    static QMap<QString, int> countMarks(const QStringList& records);

    // Averages the given conditions (mark texts; empty for every text found, in the order first seen) over the
    // records. False with failure() and errorString() when nothing could be averaged at all; a condition without
    // marks is no failure: its response is empty and says why (Response::problem). progress gets the share done
    // (0..1) from the worker threads, one call at a time; cancel, when given and set, stops the work soon.
    bool average(const QStringList& records, const QStringList& conditions, const Options& options,
        const std::function<void(double)>& progress = {}, const std::atomic<bool>* cancel = nullptr);

    Failure failure() const { return m_failure; }
    QString errorString() const { return m_error; }

    // The channels of the records (of the first that was read; the others must have as many).
    const std::vector<Channel>& channels() const { return m_channels; }
    // One response per condition averaged, in order. Its series are HbO of the first channel, HbR of the first
    // channel, HbO of the second, HbR of the second, and so on; over several records, the grand average.
    const std::vector<EpochAverage::Response>& responses() const { return m_responses; }
    // The response of a condition, or null.
    const EpochAverage::Response* response(const QString& condition) const;
    // Every mark text found in the records averaged, with the number of its marks there (within the samples).
    const QMap<QString, int>& markCounts() const { return m_markCounts; }
    // The records that could not be averaged, and why.
    const std::vector<RecordFailure>& recordFailures() const { return m_recordFailures; }
    // The records that were averaged.
    int recordsAveraged() const { return m_recordsAveraged; }
    // The grid's rate of the records, samples/s.
    double rate() const { return m_rate; }

    // Per channel, the mean HbO and HbR of a response from..to seconds after the mark (EpochAverage::windowMean):
    // the activation map.
    static std::vector<Activation> activation(const EpochAverage::Response& response, double from, double to);

private:
    bool fail(Failure failure, const QString& message);

    Failure m_failure = Failure::None;
    QString m_error;
    std::vector<Channel> m_channels;
    std::vector<EpochAverage::Response> m_responses;
    QMap<QString, int> m_markCounts;
    std::vector<RecordFailure> m_recordFailures;
    int m_recordsAveraged = 0;
    double m_rate = 0;
};
