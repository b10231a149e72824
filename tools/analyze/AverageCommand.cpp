#include "AverageCommand.h"

#include "AverageTable.h"
#include "CommandLine.h"
#include "RecordAverage.h"
#include "RecordsSettings.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace {

// As the tool's other modes: 2 for a wrong command line and for records that give nothing, 4 when the output cannot
// be written.
enum ExitCode { Success = CommandLine::Success, UsageError = CommandLine::UsageError, InputError = 2, OutputError = 4 };

// "A,B" as two numbers.
std::optional<std::pair<double, double>> pair(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    bool first = false;
    bool second = false;
    const std::pair<double, double> values { parts[0].trimmed().toDouble(&first),
        parts[1].trimmed().toDouble(&second) };
    if (!first || !second || !std::isfinite(values.first) || !std::isfinite(values.second))
        return std::nullopt;
    return values;
}

} // namespace

AverageCommand::AverageCommand(CommandLine& commandLine, const RecordsSettings& defaults)
    : m_commandLine(commandLine)
    , m_defaults(defaults)
    , m_average(QStringLiteral("average"),
          QStringLiteral("Average HbO and HbR around the marks with these texts (conditions), each on its own; "
                         "several records give the grand average."),
          QStringLiteral("text[,text...]"))
    , m_window(QStringLiteral("window"),
          QStringLiteral("With --average: the epoch from T0 to T1 seconds around each mark (default: the records "
                         "settings' AverageFrom and AverageTo, now %1,%2).")
              .arg(defaults.getAverageFrom())
              .arg(defaults.getAverageTo()),
          QStringLiteral("t0,t1"))
    , m_baseline(QStringLiteral("baseline"),
          QStringLiteral("With --average: the mean from B0 to B1 seconds, inside the window, is taken from each epoch "
                         "(default: BaselineFrom and BaselineTo, now %1,%2).")
              .arg(defaults.getBaselineFrom())
              .arg(defaults.getBaselineTo()),
          QStringLiteral("b0,b1"))
    , m_band(QStringLiteral("band"),
          QStringLiteral("With --average: a zero-phase Butterworth band-pass of order 3 from L to H Hz before the "
                         "epochs, as scipy's filtfilt(butter(3, [L, H], 'bandpass')) (default: AverageBandLow and "
                         "AverageBandHigh, now %1,%2, when AverageBand is on, now %3).")
              .arg(defaults.getAverageBandLow())
              .arg(defaults.getAverageBandHigh())
              .arg(defaults.getAverageBand() ? QStringLiteral("yes") : QStringLiteral("no")),
          QStringLiteral("l,h"))
    , m_noBand(QStringLiteral("no-band"), QStringLiteral("With --average: no band-pass."))
    , m_map(QStringLiteral("map"),
          QStringLiteral("With --average: instead of the curves, each channel's mean HbO and HbR from T0 to T1 seconds "
                         "after the mark (the records settings' response window is %1,%2).")
              .arg(defaults.getResponseFrom())
              .arg(defaults.getResponseTo()),
          QStringLiteral("t0,t1"))
{
    QCommandLineParser& parser = commandLine.parser();
    parser.addOptions({ m_average, m_window, m_baseline, m_band, m_noBand, m_map });
    parser.setApplicationDescription(parser.applicationDescription()
        + QStringLiteral(
            "\n\n"
            "--average TEXT[,TEXT...] RECORD... writes the average response around the marks with these texts "
            "(from the .events and .log files, named as halvex-export names the SNIRF stimuli), as MNE-Python's "
            "Epochs(...).average() gives it for the SNIRF files: the line "
            "\"condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;...\", then per condition one line per sample of the "
            "window: the text, the seconds from the mark, n (the marks averaged; with several records, the records, "
            "whose averages are averaged), then per channel the mean change in µM and its standard error. An epoch "
            "that runs past an end of its record or into a gap is left out and counted on the standard error. With "
            "--map, the line \"condition;channel;label;mean_HbO;mean_HbR;n\", then one line per condition and "
            "channel. A record that cannot be read is named on the standard error and the others are averaged."));
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--average") || argument.startsWith(QLatin1String("--average=")))
            m_requested = true;
    }
}

int AverageCommand::run(const RecordAnalysis::Options& haemoglobin) const
{
    const QCommandLineParser& parser = m_commandLine.parser();
    if (parser.isSet(QStringLiteral("hb")) || parser.isSet(QStringLiteral("quality")))
        return m_commandLine.usageError(QStringLiteral("--average goes without --hb and --quality"));
    const QStringList records = parser.positionalArguments();
    QStringList conditions = parser.value(m_average).split(QLatin1Char(','));
    for (QString& condition : conditions)
        condition = condition.trimmed();
    conditions.removeAll(QString());
    conditions.removeDuplicates();
    if (conditions.isEmpty())
        return m_commandLine.usageError(QStringLiteral("--average takes the texts of the marks to average"));

    RecordAverage::Options options = RecordAverage::options(m_defaults);
    options.analysis = haemoglobin;
    const auto take = [&](const QCommandLineOption& option, const char* name, double& first, double& second) {
        if (!parser.isSet(option))
            return true;
        const std::optional<std::pair<double, double>> values = pair(parser.value(option));
        if (!values) {
            m_commandLine.usageError(QStringLiteral("--%1 takes two numbers, as 0.5,1.5").arg(QLatin1String(name)));
            return false;
        }
        first = values->first;
        second = values->second;
        return true;
    };
    double mapFrom = options.responseFrom;
    double mapTo = options.responseTo;
    if (!take(m_window, "window", options.epochs.from, options.epochs.to)
        || !take(m_baseline, "baseline", options.epochs.baselineFrom, options.epochs.baselineTo)
        || !take(m_band, "band", options.bandLow, options.bandHigh) || !take(m_map, "map", mapFrom, mapTo)) {
        return UsageError;
    }
    if (parser.isSet(m_band) && parser.isSet(m_noBand))
        return m_commandLine.usageError(QStringLiteral("give --band or --no-band, not both"));
    if (parser.isSet(m_band))
        options.band = true;
    if (parser.isSet(m_noBand))
        options.band = false;
    if (!(mapFrom <= mapTo))
        return m_commandLine.usageError(QStringLiteral("--map: the start must not come after the end"));

    RecordAverage average;
    const bool averaged = average.average(records, conditions, options);
    for (const RecordAverage::RecordFailure& failure : average.recordFailures())
        m_commandLine.message(failure.message);
    if (!averaged) {
        if (average.recordFailures().empty())
            m_commandLine.message(average.errorString());
        return UsageError;
    }
    bool any = false;
    for (const EpochAverage::Response& response : average.responses()) {
        any = any || !response.empty();
        if (response.empty()) {
            m_commandLine.message(response.problem);
        } else if (response.dropped > 0) {
            m_commandLine.message(
                QStringLiteral("%1: %2 of %3 marks left out: their windows run past an end of the record or into a "
                               "gap")
                    .arg(response.condition)
                    .arg(response.dropped)
                    .arg(response.dropped + response.marks));
        }
    }
    if (!any)
        return InputError;

    std::vector<int> numbers;
    for (const RecordAverage::Channel& channel : average.channels())
        numbers.push_back(channel.number);
    const QByteArray text = parser.isSet(m_map)
        ? AverageTable::map(average.responses(), average.channels(), mapFrom, mapTo)
        : AverageTable::curves(average.responses(), numbers);
    if (std::fwrite(text.constData(), 1, size_t(text.size()), stdout) != size_t(text.size())
        || std::fflush(stdout) != 0) {
        m_commandLine.message(QStringLiteral("the output cannot be written"));
        return OutputError;
    }
    return Success;
}
