#include "AverageCommand.h"
#include "CommandLine.h"
#include "Parallel.h"
#include "RawRecord.h"
#include "RecordAnalysis.h"
#include "RecordText.h"
#include "RecordsSettings.h"
#include "SnirfExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace {

// As halvex-export's: 2 for a wrong command line and for a record that cannot be read, 4 when the output cannot be
// written.
enum ExitCode { Success = CommandLine::Success, UsageError = CommandLine::UsageError, InputError = 2, OutputError = 4 };

// An hour at 50 Hz of 12 channels is four million numbers: printf or QTextStream would take longer over them than
// the whole analysis, so they are formatted by hand (RecordText), straight into buffers, on every core.
char* number(char* out, double value)
{
    // printf writes "-nan" for a NaN whose sign bit is set, as arithmetic on a gap's NaN may leave it: one word
    // for every missing value.
    if (value != value)
        return std::copy_n("nan", 3, out);
    return RecordText::formatSignificant(value, out);
}

void append(std::string& text, double value)
{
    char digits[RecordText::MaxSignificantSize];
    text.append(digits, number(digits, value));
}

bool write(const char* text, size_t size)
{
    // An empty part's buffer may be no buffer at all, which fwrite must not be given.
    return size == 0 || std::fwrite(text, 1, size, stdout) == size;
}

bool write(const std::string& text)
{
    return write(text.data(), text.size());
}

// The haemoglobin lines, a block of them at a time: each core formats a part of the block, and the parts go out in
// order.
bool writeHaemoglobin(const RecordAnalysis& analysis)
{
    const std::vector<RecordAnalysis::Channel>& channels = analysis.channels();
    std::string header = "time_s";
    for (const RecordAnalysis::Channel& channel : channels)
        header += ";HbO" + std::to_string(channel.number) + ";HbR" + std::to_string(channel.number);
    header += '\n';
    bool written = write(header);
    constexpr qsizetype PartRows = 1024;
    const size_t lineSize = (1 + 2 * channels.size()) * (RecordText::MaxSignificantSize + 1);
    struct Part
    {
        std::vector<char> text;
        size_t size = 0;
    };
    std::vector<Part> parts(8);
    for (qsizetype first = 0; first < analysis.size() && written; first += PartRows * qsizetype(parts.size())) {
        Parallel::forEach(parts.size(), [&](size_t index) {
            Part& part = parts[index];
            const qsizetype begin = first + qsizetype(index) * PartRows;
            const qsizetype end = std::min(analysis.size(), begin + PartRows);
            part.text.resize(size_t(std::max<qsizetype>(end - begin, 0)) * lineSize);
            char* p = part.text.data();
            for (qsizetype i = begin; i < end; ++i) {
                p = number(p, analysis.seconds(i));
                for (const RecordAnalysis::Channel& channel : channels) {
                    *p++ = ';';
                    p = number(p, channel.oxy[size_t(i)]);
                    *p++ = ';';
                    p = number(p, channel.deoxy[size_t(i)]);
                }
                *p++ = '\n';
            }
            part.size = size_t(p - part.text.data());
        });
        for (const Part& part : parts)
            written = written && write(part.text.data(), part.size);
    }
    return written;
}

bool writeQuality(const RecordAnalysis& analysis)
{
    std::string text = "channel;label;sci;cv_percent;saturated_percent;status\n";
    for (const RecordAnalysis::Channel& channel : analysis.channels()) {
        text += std::to_string(channel.number) + ';' + channel.label.toStdString() + ';';
        append(text, channel.sci);
        text += ';';
        append(text, channel.cvPercent);
        text += ';';
        append(text, channel.saturatedPercent);
        text += channel.good ? ";good\n" : ";bad\n";
    }
    return write(text);
}

// An hour of a dozen channels takes some 100 MB, each byte touched soon after it is taken, in blocks of megabytes
// (a series, a filter's work space) taken and freed one after the other. Two things cost more than the analysis:
// memory handed back to the system when freed and taken again fresh, which the system must clear first; and, where
// the system gives transparent huge pages only to memory that asks for them ("madvise", as here), memory taken 4 KB
// at a time. So the heap is made once as large as the analysis needs (from the size of the record; only what is
// touched takes memory), asks for huge pages, and keeps what is freed for the next block: every block, of every
// thread, comes from it. Should more be needed, the heap grows as usual.
void prepareHeap(const QString& record, int records)
{
#ifdef __GLIBC__
    // Records read side by side keep an arena each, so that their threads do not wait for one another.
    if (records == 1)
        mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    const qint64 bytes = 6 * records * QFileInfo(RawRecord::rawPath(record)).size() + (qint64(32) << 20);
    void* const block = std::malloc(size_t(bytes));
    if (!block)
        return; // no room for it all at once: taken as it comes
    constexpr quintptr HugePage = quintptr(2) << 20;
    const quintptr begin = (quintptr(block) + HugePage - 1) & ~(HugePage - 1);
    const quintptr end = (quintptr(block) + quintptr(bytes)) & ~(HugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    std::free(block);
#else
    Q_UNUSED(record);
    Q_UNUSED(records);
#endif
}

// A number from min to max, or nothing.
std::optional<double> number(const QString& text, double min, double max)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value >= min && value <= max ? std::optional<double>(value) : std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    RecordsSettings defaults(QString(), nullptr);
    defaults.readDataFolderFile();
    CommandLine commandLine(QStringLiteral("halvex-analyze"),
        QStringLiteral(
            "Computes oxy- and deoxy-haemoglobin (HbO, HbR) and the signal quality of every channel of a record, on "
            "the time grid that halvex-export gives the record's SNIRF file and with the numbers MNE-Python computes "
            "from that file (optical_density, beer_lambert_law, scalp_coupling_index); gaps in the record stay "
            "empty (nan) and leave the rest alone.\n\n"
            "--hb writes the line \"time_s;HbO1;HbR1;HbO2;HbR2;...\" (channel numbers as in the record), then one "
            "line per grid point: seconds from the first point, then the changes in µM. --quality writes the line "
            "\"channel;label;sci;cv_percent;saturated_percent;status\", then one line per channel: its number, its "
            "name in the SNIRF probe (montage name or number), the scalp coupling index, the coefficient of "
            "variation of the raw light in % (the larger of the two wavelengths'), the share of samples in % where "
            "either wavelength counts as saturated (from the records settings' SaturationLevel up, or with 0 where it "
            "sticks at its top within 2 % of the record's largest value), and good or bad by their GoodCoupling "
            "(now %1). With both, the haemoglobin comes first, then an empty line, then the quality. Numbers as "
            "printf's %.9g, fields separated by \";\".\n\n"
            "Exit codes: 0 done, 2 a wrong command line or a record that cannot be read, 4 the output cannot be "
            "written.")
            .arg(defaults.getGoodCoupling()));
    QCommandLineParser& parser = commandLine.parser();
    parser.addPositionalArgument(
        QStringLiteral("record"), QStringLiteral("The record's .csv (or .raw) file."), QStringLiteral("RECORD"));
    const QCommandLineOption hbOption(QStringLiteral("hb"), QStringLiteral("Write HbO and HbR at every grid point."));
    const QCommandLineOption qualityOption(
        QStringLiteral("quality"), QStringLiteral("Write the signal quality of every channel."));
    const QCommandLineOption ppfOption(QStringLiteral("ppf"),
        QStringLiteral("Partial pathlength factor, from 0.1 to 50 (default: the records settings' "
                       "PartialPathlengthFactor, now %1).")
            .arg(defaults.getPartialPathlengthFactor()),
        QStringLiteral("factor"));
    const QCommandLineOption distanceOption(QStringLiteral("distance-mm"),
        QStringLiteral("Distance between each channel's source and detector in mm, from %1 to %2 (default: the "
                       "records settings' SourceDetectorDistance, now %3).")
            .arg(SnirfExporter::MinDistance)
            .arg(SnirfExporter::MaxDistance)
            .arg(defaults.getSourceDetectorDistance()),
        QStringLiteral("mm"));
    const QCommandLineOption wavelengthsOption(QStringLiteral("wavelengths"),
        QStringLiteral("Red and infrared wavelengths in nm, from %1 to %2, red below infrared; they must match the "
                       "instrument (default: the records settings' RedWavelength and InfraredWavelength, now %3,%4).")
            .arg(SnirfExporter::MinWavelength)
            .arg(SnirfExporter::MaxWavelength)
            .arg(defaults.getRedWavelength())
            .arg(defaults.getInfraredWavelength()),
        QStringLiteral("red,ir"));
    const QCommandLineOption rateOption(QStringLiteral("rate"),
        QStringLiteral("Sampling rate of the time grid in Hz, up to %1, as halvex-export's --rate (default: the "
                       "record's median sample interval).")
            .arg(SnirfExporter::MaxRate),
        QStringLiteral("hz"));
    parser.addOptions({ hbOption, qualityOption, ppfOption, distanceOption, wavelengthsOption, rateOption });
    const AverageCommand average(commandLine, defaults);
    if (const std::optional<int> answered = commandLine.parse(QCoreApplication::arguments(), average.maxRecords()))
        return *answered;

    const bool haemoglobin = parser.isSet(hbOption);
    const bool quality = parser.isSet(qualityOption);
    if (!haemoglobin && !quality && !average.requested())
        return commandLine.usageError(QStringLiteral("give --hb, --quality or both"));
    if (parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("give one record file"));

    RecordAnalysis::Options options = RecordAnalysis::options(defaults);
    options.haemoglobin = haemoglobin;
    options.quality = quality;
    if (parser.isSet(ppfOption)) {
        const std::optional<double> ppf = number(parser.value(ppfOption), 0.1, 50);
        if (!ppf)
            return commandLine.usageError(QStringLiteral("--ppf takes a number from 0.1 to 50"));
        options.law.partialPathlengthFactor = *ppf;
    }
    if (parser.isSet(distanceOption)) {
        const std::optional<double> distance
            = number(parser.value(distanceOption), SnirfExporter::MinDistance, SnirfExporter::MaxDistance);
        if (!distance) {
            return commandLine.usageError(QStringLiteral("--distance-mm takes a number from %1 to %2")
                                              .arg(SnirfExporter::MinDistance)
                                              .arg(SnirfExporter::MaxDistance));
        }
        options.law.distanceMm = *distance;
    }
    if (parser.isSet(rateOption)) {
        const std::optional<double> rate = number(parser.value(rateOption), 0, SnirfExporter::MaxRate);
        if (!rate || *rate == 0)
            return commandLine.usageError(
                QStringLiteral("--rate takes a number above 0 and up to %1").arg(SnirfExporter::MaxRate));
        options.rate = *rate;
    }
    if (parser.isSet(wavelengthsOption)) {
        const QStringList parts = parser.value(wavelengthsOption).split(QLatin1Char(','));
        const std::optional<double> red = number(parts.constFirst(), -1e300, 1e300);
        const std::optional<double> infrared
            = parts.size() == 2 ? number(parts.constLast(), -1e300, 1e300) : std::nullopt;
        if (!red || !infrared || !(*red < *infrared))
            return commandLine.usageError(QStringLiteral("--wavelengths takes two numbers in nm, red below infrared"));
        for (const double wavelength : { *red, *infrared }) {
            if (!(wavelength >= SnirfExporter::MinWavelength && wavelength <= SnirfExporter::MaxWavelength)) {
                return commandLine.usageError(
                    QStringLiteral("--wavelengths: %1 nm lies outside the %2 to %3 nm for which the haemoglobin "
                                   "extinction coefficients are tabulated here")
                        .arg(wavelength)
                        .arg(SnirfExporter::MinWavelength)
                        .arg(SnirfExporter::MaxWavelength));
            }
        }
        options.law.redWavelength = *red;
        options.law.infraredWavelength = *infrared;
    } else if (!(options.law.redWavelength < options.law.infraredWavelength)) {
        commandLine.message(
            QStringLiteral("the records settings (%1) give %2 nm red and %3 nm infrared; red must lie below infrared: "
                           "correct them or give --wavelengths")
                .arg(QDir::toNativeSeparators(defaults.getFilepath()))
                .arg(options.law.redWavelength)
                .arg(options.law.infraredWavelength));
        return UsageError;
    }

    // Records averaged together are read two at a time, each as large as the first, in practice.
    const QString record = parser.positionalArguments().constFirst();
    prepareHeap(record, average.requested() && parser.positionalArguments().size() > 1 ? 2 : 1);
    if (average.requested())
        return average.run(options);
    RecordAnalysis analysis;
    if (!analysis.analyse(record, options)) {
        commandLine.message(analysis.errorString());
        return analysis.failure() == RecordAnalysis::Failure::Options ? int(UsageError) : int(InputError);
    }
    if (analysis.skippedLines() > 0)
        commandLine.message(QStringLiteral("%1: %2 damaged lines skipped").arg(record).arg(analysis.skippedLines()));
    if (!analysis.qualityNote().isEmpty())
        commandLine.message(QStringLiteral("%1: no scalp coupling index: %2").arg(record, analysis.qualityNote()));

    const bool written = (!haemoglobin || writeHaemoglobin(analysis)) && (!haemoglobin || !quality || write("\n"))
        && (!quality || writeQuality(analysis)) && std::fflush(stdout) == 0;
    if (!written) {
        commandLine.message(QStringLiteral("the output cannot be written"));
        return OutputError;
    }
    return Success;
}
