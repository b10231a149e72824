#include "RecordAverage.h"

#include "ButterworthBandPass.h"
#include "ExportStimuli.h"
#include "LanguageContext.h"
#include "Parallel.h"
#include "RawRecord.h"
#include "RecordsSettings.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>
#include <mutex>

namespace {

// What one record gives: its channels, its responses to the conditions, or why it gives none.
struct RecordResult
{
    bool read = false;
    bool optionsProblem = false; // the failure lies in the settings for this record (its rate), not in the record
    QString message;
    std::vector<RecordAverage::Channel> channels;
    double rate = 0;
    QMap<QString, int> counts;
    std::vector<EpochAverage::Response> responses;
};

// The marks of a record as its SNIRF export names and places them: the texts the export's stimuli carry, the onsets
// in seconds from the first grid point, marks outside the samples left out. The export's own "gap" stimuli are no
// marks.
std::vector<EpochAverage::Mark> exportedMarks(const QString& recordPath, double zero, double end)
{
    ExportStimuli stimuli(end);
    stimuli.addRecordMarks(recordPath, zero);
    std::vector<EpochAverage::Mark> marks;
    for (const ExportStimuli::Stimulus& stimulus : stimuli.list()) {
        if (stimulus.name == ExportStimuli::GapName)
            continue;
        for (size_t row = 0; row + 2 < stimulus.rows.size(); row += 3)
            marks.push_back({ stimulus.rows[row], stimulus.name });
    }
    return marks;
}

// The mark texts of records in the order first seen, with their counts.
QStringList markTexts(const QStringList& records, QMap<QString, int>* counts)
{
    QStringList texts;
    for (const QString& record : records) {
        // Every onset counts here: the samples' span is not read.
        const std::vector<EpochAverage::Mark> marks = exportedMarks(record, 0, std::numeric_limits<double>::infinity());
        for (const EpochAverage::Mark& mark : marks) {
            if (!texts.contains(mark.condition))
                texts.append(mark.condition);
            if (counts)
                ++(*counts)[mark.condition];
        }
    }
    return texts;
}

// A record's message, led by its file as the reading errors are.
QString ledBy(const QString& path, const QString& message)
{
    return path + QStringLiteral(": ") + message;
}

RecordResult averageRecord(const QString& path, const QStringList& conditions, const RecordAverage::Options& options,
    const std::function<void(double)>& progress, const std::atomic<bool>* cancel)
{
    RecordResult result;
    RecordAnalysis::Options analysisOptions = options.analysis;
    analysisOptions.haemoglobin = true;
    analysisOptions.quality = false;
    RecordAnalysis analysis;
    if (!analysis.analyse(path, analysisOptions, [&progress](double f) { progress(f * 0.8); })) {
        result.optionsProblem = analysis.failure() == RecordAnalysis::Failure::Options;
        result.message = analysis.errorString();
        return result;
    }
    if (cancel && cancel->load())
        return result;
    result.rate = analysis.rate();
    const double duration = analysis.seconds(analysis.size());
    if (options.epochs.to - options.epochs.from > duration) {
        result.message = ledBy(path,
            trGeneric("The window from %1 to %2 s is longer than the record (%3 s).")
                .arg(options.epochs.from)
                .arg(options.epochs.to)
                .arg(duration));
        return result;
    }
    QString reason;
    const std::optional<EpochAverage> epochs = EpochAverage::create(options.epochs, analysis.rate(), &reason);
    if (!epochs) {
        result.optionsProblem = true;
        result.message = ledBy(path, reason);
        return result;
    }
    std::optional<ButterworthBandPass> bandPass;
    if (options.band) {
        bandPass = ButterworthBandPass::design(analysis.rate(), options.bandLow, options.bandHigh, &reason);
        if (!bandPass) {
            result.optionsProblem = true;
            result.message = ledBy(path, reason);
            return result;
        }
    }

    // HbO and HbR of each channel in turn, the order the responses' series keep.
    const std::vector<RecordAnalysis::Channel>& channels = analysis.channels();
    std::vector<std::vector<double>> series(2 * channels.size());
    Parallel::forEach(series.size(), [&](size_t s) {
        const RecordAnalysis::Channel& channel = channels[s / 2];
        const std::vector<double>& values = s % 2 == 0 ? channel.oxy : channel.deoxy;
        series[s] = bandPass ? bandPass->applyAroundGaps(values) : values;
    });
    for (const RecordAnalysis::Channel& channel : channels)
        result.channels.push_back({ channel.number, channel.label });
    progress(0.9);

    const std::vector<EpochAverage::Mark> marks = exportedMarks(path, analysis.zero(), duration);
    for (const EpochAverage::Mark& mark : marks)
        ++result.counts[mark.condition];
    result.responses = epochs->average(series, 0, marks, conditions);
    result.read = true;
    return result;
}

} // namespace

RecordAverage::Options RecordAverage::options(const RecordsSettings& settings)
{
    Options options;
    options.analysis = RecordAnalysis::options(settings);
    options.epochs.from = settings.getAverageFrom();
    options.epochs.to = settings.getAverageTo();
    options.epochs.baselineFrom = settings.getBaselineFrom();
    options.epochs.baselineTo = settings.getBaselineTo();
    options.band = settings.getAverageBand();
    options.bandLow = settings.getAverageBandLow();
    options.bandHigh = settings.getAverageBandHigh();
    options.responseFrom = settings.getResponseFrom();
    options.responseTo = settings.getResponseTo();
    return options;
}

QMap<QString, int> RecordAverage::countMarks(const QStringList& records)
{
    QMap<QString, int> counts;
    markTexts(records, &counts);
    return counts;
}

bool RecordAverage::fail(Failure failure, const QString& message)
{
    m_failure = failure;
    m_error = message;
    return false;
}

const EpochAverage::Response* RecordAverage::response(const QString& condition) const
{
    for (const EpochAverage::Response& response : m_responses) {
        if (response.condition == condition)
            return &response;
    }
    return nullptr;
}

std::vector<RecordAverage::Activation> RecordAverage::activation(
    const EpochAverage::Response& response, double from, double to)
{
    const std::vector<double> means = EpochAverage::windowMean(response, from, to);
    std::vector<Activation> channels(means.size() / 2);
    for (size_t c = 0; c < channels.size(); ++c)
        channels[c] = { means[2 * c], means[2 * c + 1] };
    return channels;
}

bool RecordAverage::average(const QStringList& records, const QStringList& conditions, const Options& options,
    const std::function<void(double)>& progress, const std::atomic<bool>* cancel)
{
    m_failure = Failure::None;
    m_error.clear();
    m_channels.clear();
    m_responses.clear();
    m_markCounts.clear();
    m_recordFailures.clear();
    m_recordsAveraged = 0;
    m_rate = 0;

    if (records.isEmpty())
        return fail(Failure::Input, trGeneric("There is no record to average."));
    // What holds at any rate is refused before a record is read; what depends on a record's rate, with the record.
    QString reason;
    const double someRate = options.analysis.rate > 0 ? options.analysis.rate : 1e6;
    if (!EpochAverage::create(options.epochs, someRate, &reason))
        return fail(Failure::Options, reason);
    if (options.band && !ButterworthBandPass::design(someRate, options.bandLow, options.bandHigh, &reason))
        return fail(Failure::Options, reason);
    if (!BeerLambert::create(options.analysis.law, &reason))
        return fail(Failure::Options, reason);

    const QStringList wanted = conditions.isEmpty() ? markTexts(records, nullptr) : conditions;
    std::vector<RecordResult> results(size_t(records.size()));
    std::vector<double> shares(results.size(), 0.0);
    std::mutex progressMutex;
    const auto report = [&](size_t record, double share) {
        if (!progress)
            return;
        const std::lock_guard<std::mutex> lock(progressMutex);
        shares[record] = share;
        double sum = 0;
        for (const double s : shares)
            sum += s;
        progress(sum / double(shares.size()));
    };
    Parallel::forEach(results.size(), [&](size_t r) {
        if (cancel && cancel->load())
            return;
        results[r] = averageRecord(
            records[qsizetype(r)], wanted, options, [&report, r](double share) { report(r, share); }, cancel);
        report(r, 1);
    });
    if (cancel && cancel->load())
        return fail(Failure::Cancelled, trGeneric("The average was cancelled."));

    // The first record read sets the channels and the rate; a record that differs cannot join its average.
    std::vector<const RecordResult*> averaged;
    bool onlyOptions = true;
    for (size_t r = 0; r < results.size(); ++r) {
        const RecordResult& result = results[r];
        QString problem = result.message;
        if (result.read && !averaged.empty()) {
            const RecordResult& first = *averaged.front();
            if (result.channels.size() != first.channels.size()) {
                problem = ledBy(records[qsizetype(r)],
                    trGeneric("It has %1 channels, the records before it %2.")
                        .arg(result.channels.size())
                        .arg(first.channels.size()));
            } else if (std::abs(result.rate - first.rate) > 1e-9 * first.rate) {
                problem = ledBy(records[qsizetype(r)],
                    trGeneric("Its grid has %1 samples/s, the records before it %2: give them one rate.")
                        .arg(result.rate, 0, 'g', 9)
                        .arg(first.rate, 0, 'g', 9));
            }
        }
        if (!result.read || problem != result.message) {
            onlyOptions = onlyOptions && result.optionsProblem;
            m_recordFailures.push_back({ records[qsizetype(r)], problem });
            continue;
        }
        averaged.push_back(&result);
        for (auto it = result.counts.cbegin(); it != result.counts.cend(); ++it)
            m_markCounts[it.key()] += it.value();
    }
    if (averaged.empty()) {
        QStringList messages;
        for (const RecordFailure& failure : m_recordFailures)
            messages.append(failure.message);
        return fail(onlyOptions ? Failure::Options : Failure::Input, messages.join(QLatin1Char('\n')));
    }

    m_channels = averaged.front()->channels;
    m_rate = averaged.front()->rate;
    m_recordsAveraged = int(averaged.size());
    for (qsizetype c = 0; c < wanted.size(); ++c) {
        if (averaged.size() == 1) {
            m_responses.push_back(averaged.front()->responses[size_t(c)]);
            continue;
        }
        std::vector<EpochAverage::Response> perRecord;
        for (const RecordResult* result : averaged)
            perRecord.push_back(result->responses[size_t(c)]);
        std::optional<EpochAverage::Response> grand = EpochAverage::grandAverage(perRecord, &reason);
        if (!grand)
            return fail(Failure::Input, reason);
        m_responses.push_back(std::move(*grand));
    }
    return true;
}
