#include "CommandLine.h"
#include "RecordEvents.h"
#include "RecordLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <cstdio>
#include <string>

namespace {

// A wrong command line and a record that cannot be read both end with 2 (a script tells them apart by the
// message); a channel beyond the record ends with 3.
enum ExitCode { Success = CommandLine::Success, UsageError = CommandLine::UsageError, FileError = 2, ChannelError = 3 };

// The output is written through one buffer with std::to_chars: a record of an hour is some 200,000 numbers, and
// formatting each through QString and QTextStream cost more than loading the record.
class Output
{
public:
    ~Output() { flush(); }
    Output& operator<<(const char* text)
    {
        m_buffer += text;
        return *this;
    }
    Output& operator<<(char c)
    {
        m_buffer += c;
        return *this;
    }
    Output& operator<<(const QString& text)
    {
        m_buffer += text.toStdString();
        return *this;
    }
    Output& operator<<(qint64 value)
    {
        char digits[24];
        m_buffer.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    // The shortest decimal form that reads back as the same double (as QString::number with 'g' and
    // QLocale::FloatingPointShortest writes it, which also writes -0 as 0).
    Output& operator<<(double value)
    {
        char digits[32];
        m_buffer.append(digits, std::to_chars(digits, digits + sizeof digits, value == 0 ? 0.0 : value).ptr);
        if (m_buffer.size() >= Chunk)
            flush();
        return *this;
    }
    void flush()
    {
        if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) != m_buffer.size())
            m_failed = true;
        m_buffer.clear();
    }
    bool finish()
    {
        flush();
        return std::fflush(stdout) == 0 && !m_failed;
    }

private:
    static constexpr size_t Chunk = 1 << 20;
    std::string m_buffer;
    bool m_failed = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    CommandLine commandLine(QStringLiteral("halvex-compare"),
        QStringLiteral(
            "Compares two channels of a record as the records window does: the V column of each, resampled to 20 Hz, "
            "centred on its mean and high-pass filtered. Writes \"Time;Left;Right;Diff\" lines (time in ms), then an "
            "empty line and \"Mark;Source;Text\" lines: the marks of the record's .log file (source \"log\", times "
            "from its first timed line), then the events of its .events file (source key, http or halvex, times on "
            "the record's clock), then a \"Gap;start;end\" line (times in ms) for every stretch of the record "
            "without data."));
    QCommandLineParser& parser = commandLine.parser();
    parser.addPositionalArgument(QStringLiteral("record"), QStringLiteral("The record's .csv file."));
    const QCommandLineOption channel1(QStringLiteral("channel1"),
        QStringLiteral("Position of the Left channel in the channel list, counted from 0 (default 0)."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption channel2(QStringLiteral("channel2"),
        QStringLiteral("Position of the Right channel in the channel list, counted from 0 (default 9)."),
        QStringLiteral("n"), QStringLiteral("9"));
    const QCommandLineOption hpf(QStringLiteral("hpf"),
        QStringLiteral("High-pass cut-off in Hz, 0 to 10; below 0.005 the curves are only centred (default 0.02)."),
        QStringLiteral("hz"), QStringLiteral("0.02"));
    parser.addOptions({ channel1, channel2, hpf });
    if (const std::optional<int> answered = commandLine.parse(QCoreApplication::arguments(), 1))
        return *answered;

    const auto fail = [&commandLine](ExitCode code, const QString& message) {
        commandLine.message(message);
        return int(code);
    };
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return commandLine.usageError(QStringLiteral("give one record file"));

    bool ok1 = false;
    bool ok2 = false;
    bool ok3 = false;
    const int first = parser.value(channel1).toInt(&ok1);
    const int second = parser.value(channel2).toInt(&ok2);
    const double cutoff = parser.value(hpf).toDouble(&ok3);
    if (!ok1 || !ok2 || first < 0 || second < 0)
        return fail(UsageError, QStringLiteral("--channel1 and --channel2 take whole numbers from 0"));
    if (!ok3 || !(cutoff >= 0 && cutoff <= 10))
        return fail(UsageError, QStringLiteral("--hpf takes a number from 0 to 10"));

    const QString path = arguments.constFirst();
    if (!QFileInfo::exists(path))
        return fail(FileError, QStringLiteral("%1: no such file").arg(path));
    RecordLoader loader;
    if (!loader.open(path))
        return fail(FileError, QStringLiteral("%1: cannot read the file").arg(path));

    RecordLoader::Comparison comparison;
    switch (loader.compare(first, second, cutoff, comparison)) {
    case RecordLoader::Status::Loaded:
        break;
    case RecordLoader::Status::TooShort:
        return fail(FileError, QStringLiteral("%1: not a record (no header line followed by data)").arg(path));
    case RecordLoader::Status::ChannelOutOfRange:
        return fail(ChannelError,
            QStringLiteral("%1: channel %2 is beyond the record, which has %3 channels (positions 0 to %4)")
                .arg(path)
                .arg(first >= loader.channelCount() ? first : second)
                .arg(loader.channelCount())
                .arg(loader.channelCount() - 1));
    }
    const QStringList names = loader.channelNames();
    loader.close();

    const QString name1 = first < names.size() ? names.at(first) : QStringLiteral("CH1");
    const QString name2 = second < names.size() ? names.at(second) : QStringLiteral("CH2");

    Output out;
    out << "Time;Left [" << name1 << "];Right [" << name2 << "];Diff [" << name1 << "] - [" << name2 << "]\n";
    for (qsizetype i = 0; i < comparison.size(); ++i) {
        out << comparison.time(i) << ';' << comparison.left[size_t(i)] << ';' << comparison.right[size_t(i)] << ';'
            << comparison.diff(i) << '\n';
    }
    out << "\nMark;Source;Text\n";
    for (const RecordLoader::Mark& mark : RecordLoader::readMarks(RecordLoader::logPath(path)))
        out << mark.time << ";log;" << mark.text << '\n';
    const QString eventsPath = RecordEvents::eventsPath(path);
    const RecordEvents::Contents events = RecordEvents::read(eventsPath);
    for (const RecordEvents::Event& event : events.events)
        out << event.time << ';' << event.source << ';' << event.text << '\n';
    if (events.skippedLines > 0)
        commandLine.message(QStringLiteral("%1: %2 damaged lines skipped").arg(eventsPath).arg(events.skippedLines));
    for (const RecordGaps::Gap& gap : comparison.gaps)
        out << "Gap;" << gap.start << ';' << gap.end << '\n';
    return out.finish() ? int(Success) : fail(FileError, QStringLiteral("write error"));
}
