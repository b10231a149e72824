#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <vector>

// The average response around the marks of one condition (event-related averaging), as MNE-Python 1.3's
// Epochs(raw, events, tmin=from, tmax=to, baseline=(baselineFrom, baselineTo), detrend=None,
// reject_by_annotation=False, preload=True).average() computes it on series sampled at a uniform rate:
// - a mark at time T falls on the grid sample nearest to it, i = round((T − start) · rate);
// - its epoch holds the samples i + round(from · rate) … i + round(to · rate) (rounding halves to even, as Python's
//   round does), at the times k / rate, k = round(from · rate) … round(to · rate);
// - from every epoch of every series the mean over its samples whose times k / rate lie in [baselineFrom,
//   baselineTo] is taken away (the baseline must lie inside [from, to]; MNE allows a sample's step beyond);
// - the result is the mean over the epochs and its standard error, the sample standard deviation (ddof = 1) / √n.
// An epoch that runs past either end of the series, or holds a gap (NaN) in any series, is left out and counted as
// dropped (MNE drops an epoch whole too; gaps are the same in every series of a record). Two marks of a condition
// on the same sample count twice.
//
// Several records give a grand average: the mean over records of each record's mean, its standard error over the
// records, the marks of all records counted together.
class EpochAverage
{
public:
    struct Settings
    {
        double from = -5; // s, relative to the mark
        double to = 20; // s
        double baselineFrom = -5; // s
        double baselineTo = 0; // s
    };

    struct Mark
    {
        double time = 0; // s, on the series' time axis
        QString condition;
    };

    // The average of one condition, over the marks of one record or over records.
    struct Response
    {
        QString condition;
        double rate = 0; // samples/s
        int firstOffset = 0; // round(from · rate): the sample of times().front() relative to the mark
        int marks = 0; // epochs averaged, over all records
        int dropped = 0; // epochs left out: past an end of the series or into a gap
        int records = 0; // records averaged: 1 for one record with marks, 0 without
        std::vector<std::size_t> droppedMarks; // one record: the marks left out, as indices into the marks given
        // Per series given, one value per sample of the epoch (µM for haemoglobin); empty when nothing was averaged.
        std::vector<std::vector<double>> mean;
        std::vector<std::vector<double>> standardError; // NaN with fewer than two epochs (records)
        // Why nothing was averaged (no mark of the condition, all left out); empty when something was.
        QString problem;

        bool empty() const { return marks == 0; }
        double time(std::size_t sample) const { return double(firstOffset + int(sample)) / rate; }
    };

    // Nothing, with the reason in *reason, for settings that give no average: from not before to, a baseline that
    // is not inside the window or holds no sample at this rate, a rate not above 0.
    static std::optional<EpochAverage> create(const Settings& settings, double rate, QString* reason = nullptr);

    const Settings& settings() const { return m_settings; }
    double rate() const { return m_rate; }
    int firstOffset() const { return m_first; }
    int lastOffset() const { return m_last; }
    std::size_t length() const { return std::size_t(m_last - m_first + 1); }

    // One record: series of equal length whose sample 0 lies at start seconds, marks on the same time axis. One
    // response per condition, in the order given.
    std::vector<Response> average(const std::vector<std::vector<double>>& series, double start,
        const std::vector<Mark>& marks, const QStringList& conditions) const;
    Response average(const std::vector<std::vector<double>>& series, double start, const std::vector<Mark>& marks,
        const QString& condition) const;

    // The grand average of one condition's responses from several records (records without epochs are counted in
    // dropped and left out). Nothing, with the reason, when the records differ in rate, window or number of series.
    static std::optional<Response> grandAverage(const std::vector<Response>& records, QString* reason = nullptr);

    // Per series of a response, the mean of its averaged curve over the samples whose times lie in [from, to] (the
    // activation in a response window); NaN for a series without such a sample or a response without epochs.
    static std::vector<double> windowMean(const Response& response, double from, double to);

private:
    EpochAverage() = default;

    Settings m_settings;
    double m_rate = 0;
    int m_first = 0;
    int m_last = 0;
    // The baseline's samples, as offsets from the first sample of an epoch.
    std::size_t m_baselineBegin = 0;
    std::size_t m_baselineEnd = 0;
};
