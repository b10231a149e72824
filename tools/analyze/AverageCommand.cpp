#include "AverageCommand.h"

#include "CommandLine.h"
#include "RecordAverage.h"
#include "RecordText.h"
#include "RecordsSettings.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace {

// As the tool's other modes: 2 for a wrong command line and for records that give nothing, 4 when the output cannot
// be written.
enum ExitCode { Success = CommandLine::Success, UsageError = CommandLine::UsageError, InputError = 2, OutputError = 4 };

void append(std::string& text, double value)
{
    // printf writes "-nan" for a NaN whose sign bit is set: one word for every missing value.
    if (value != value) {
        text += "nan";
        return;
    }
    char digits[RecordText::MaxSignificantSize];
    text.append(digits, RecordText::formatSignificant(value, digits));
}

// A field that holds the separator or a quote is quoted, as CSV readers expect.
void appendField(std::string& text, const QString& field)
{
    const std::string bytes = field.toStdString();
    if (bytes.find_first_of(";\"") == std::string::npos) {
        text += bytes;
        return;
    }
    text += '"';
    for (const char c : bytes) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
}

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

// The epochs' n: the marks of one record, or the records of a grand average, over which the standard error runs.
int count(const EpochAverage::Response& response)
{
    return response.records > 1 ? response.records : response.marks;
}

std::string curves(const RecordAverage& average)
{
    std::string text = "condition;time_s;n";
    for (const RecordAverage::Channel& channel : average.channels()) {
        const std::string number = std::to_string(channel.number);
        text += ";HbO" + number + ";HbO" + number + "_se;HbR" + number + ";HbR" + number + "_se";
    }
    text += '\n';
    for (const EpochAverage::Response& response : average.responses()) {
        if (response.empty())
            continue;
        const std::string n = std::to_string(count(response));
        for (size_t k = 0; k < response.mean.front().size(); ++k) {
            appendField(text, response.condition);
            text += ';';
            append(text, response.time(k));
            text += ';' + n;
            for (size_t s = 0; s < response.mean.size(); ++s) {
                text += ';';
                append(text, response.mean[s][k]);
                text += ';';
                append(text, response.standardError[s][k]);
            }
            text += '\n';
        }
    }
    return text;
}

std::string map(const RecordAverage& average, double from, double to)
{
    std::string text = "condition;channel;label;mean_HbO;mean_HbR;n\n";
    for (const EpochAverage::Response& response : average.responses()) {
        if (response.empty())
            continue;
        const std::vector<RecordAverage::Activation> activation = RecordAverage::activation(response, from, to);
        for (size_t c = 0; c < activation.size() && c < average.channels().size(); ++c) {
            appendField(text, response.condition);
            text += ';' + std::to_string(average.channels()[c].number) + ';';
            appendField(text, average.channels()[c].label);
            text += ';';
            append(text, activation[c].oxy);
            text += ';';
            append(text, activation[c].deoxy);
            text += ';' + std::to_string(count(response)) + '\n';
        }
    }
    return text;
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

    const std::string text = parser.isSet(m_map) ? map(average, mapFrom, mapTo) : curves(average);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        m_commandLine.message(QStringLiteral("the output cannot be written"));
        return OutputError;
    }
    return Success;
}
