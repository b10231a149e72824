#include "RawRecord.h"

#include "FileUtilities.h"
#include "Parallel.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "TextHelper.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <thread>

namespace {

// Whole numbers of up to 15 digits are exact as doubles; a time of 18 digits cannot overflow.
constexpr std::ptrdiff_t MaxExactDigits = 15;
constexpr std::ptrdiff_t MaxTimeDigits = 18;

// Where a field of 1 to maxDigits decimal digits and nothing else ends (at the separator or the end of the line),
// with its value; nullptr for any other field.
const char* wholeNumberEnd(const char* begin, const char* end, std::ptrdiff_t maxDigits, quint64& value)
{
    const char* p = begin;
    quint64 whole = 0;
    while (p < end && unsigned(*p) - unsigned('0') <= 9) {
        whole = whole * 10 + (unsigned(*p) - unsigned('0')); // wraps harmlessly for a field too long to take
        ++p;
    }
    if (p == begin || p - begin > maxDigits || (p < end && *p != ';'))
        return nullptr;
    value = whole;
    return p;
}

} // namespace

QString RawRecord::rawPath(const QString& recordPath)
{
    return recordPath.endsWith(QLatin1String(".raw")) ? recordPath
                                                      : RecordFiles::existing(recordPath, QStringLiteral(".raw"));
}

QString RawRecord::iniPath(const QString& recordPath)
{
    return RecordFiles::existing(recordPath, QStringLiteral(".ini"));
}

bool RawRecord::read(const QString& path, const std::function<void(double)>& progress)
{
    m_error.clear();
    m_columns.clear();
    m_channels.clear();
    m_times.clear();
    m_values.clear();
    m_skipped = 0;

    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_error = QFileInfo::exists(path) ? QStringLiteral("cannot read the file") : QStringLiteral("no such file");
        return false;
    }
    const qint64 size = file.size();
    if (size > MaxFileSize) {
        m_error = QStringLiteral("the file is larger than %1 GB").arg(MaxFileSize >> 30);
        return false;
    }
    const QByteArray header = file.readLine(FileUtilities::readLimit(file, RecordText::MaxHeaderSize));
    if (!header.endsWith('\n') || !parseHeader(header)) {
        m_error = QStringLiteral("not a raw record (no header line naming R and IR columns)");
        return false;
    }
    // Reserve for the whole file, so that the columns are never copied while they grow (a copy holds them twice):
    // at the mean length of the first lines less an eighth, for longer times later (only what is filled takes
    // memory), and at least four characters per field, so that a file of junk reserves no more than twice its size.
    const qsizetype fields = m_columns.size() + 1;
    const QByteArray sample = file.peek(FileUtilities::readLimit(file, qint64(1) << 18));
    const qint64 sampleLines = sample.count('\n');
    const qint64 sampledLength = sampleLines > 0 ? (sample.lastIndexOf('\n') + 1) * 7 / (8 * sampleLines) : 0;
    const qint64 estimatedLines = (size - header.size()) / qMax<qint64>(sampledLength, 4 * fields) + 16;
    m_times.reserve(size_t(estimatedLines));
    m_values.reserve(size_t(estimatedLines * m_columns.size()));

    readLines(file, [&progress, size, &header](qint64 done) {
        if (progress && size > 0)
            progress(double(header.size() + done) / double(size));
    });
    if (file.error() != QFileDevice::NoError) {
        m_error = QStringLiteral("read error: %1").arg(file.errorString());
        return false;
    }
    return true;
}

void RawRecord::readLines(QIODevice& device, const std::function<void(qint64)>& read)
{
    // Parsing takes several times as long as reading: what is read is cut at line starts into a part per core, and
    // the parts' lines appended in order. The first part goes straight into the record.
    const size_t parts = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 16);
    std::vector<Lines> later(parts - 1);
    std::vector<double> row(size_t(m_columns.size()));
    for (Lines& lines : later)
        lines.row.resize(row.size());
    // A small record needs no full read's worth of zeroed memory: the rest of a file and one byte, so that the
    // read after it tells the end.
    const qint64 rest = device.isSequential() ? ReadSize : device.size() - device.pos() + 1;
    std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(rest, 4096, ReadSize)));
    std::vector<const char*> bounds(parts + 1);
    size_t kept = 0; // the start of a line whose end has not been read yet
    qint64 done = 0;
    for (bool final = false; !final;) {
        // A line longer than the buffer (junk) makes it grow.
        if (kept == buffer.size())
            buffer.resize(2 * buffer.size());
        const qint64 got = device.read(buffer.data() + kept, qint64(buffer.size() - kept));
        final = got <= 0;
        const size_t filled = kept + size_t(std::max<qint64>(got, 0));
        done += std::max<qint64>(got, 0);
        const char* const data = buffer.data();
        const char* complete = data + filled;
        if (!final) {
            const void* lastLineFeed = memrchr(data, '\n', filled);
            complete = lastLineFeed ? static_cast<const char*>(lastLineFeed) + 1 : data;
        }
        if (complete > data) {
            bounds.front() = data;
            bounds.back() = complete;
            for (size_t k = 1; k < parts; ++k) {
                const char* const at = std::max(bounds[k - 1], data + (complete - data) * qint64(k) / qint64(parts));
                const char* const lineFeed = RecordText::findByte(at, complete, '\n');
                bounds[k] = lineFeed == complete ? complete : lineFeed + 1;
            }
            Parallel::forEach(parts, [&](size_t k) {
                if (k == 0)
                    parseLines(bounds[0], bounds[1], m_times, m_values, row, m_skipped);
                else
                    parseLines(bounds[k], bounds[k + 1], later[k - 1].times, later[k - 1].values, later[k - 1].row,
                        later[k - 1].skipped);
            });
            for (Lines& lines : later) {
                m_times.insert(m_times.end(), lines.times.begin(), lines.times.end());
                m_values.insert(m_values.end(), lines.values.begin(), lines.values.end());
                m_skipped += lines.skipped;
                lines.times.clear();
                lines.values.clear();
                lines.skipped = 0;
            }
        }
        if (read)
            read(done);
        kept = filled - size_t(complete - data);
        std::memmove(buffer.data(), complete, kept);
    }
}

bool RawRecord::parseHeader(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(';');
    QMap<int, Channel> byNumber;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QByteArray field = fields.at(i).trimmed();
        m_columns.append(QString::fromUtf8(field));
        const int column = int(i - 1);
        const qsizetype letters = field.startsWith("IR") ? 2 : 1;
        bool ok = false;
        const int number = field.mid(letters).toInt(&ok);
        if (!ok || number < 1)
            continue;
        Channel& channel = byNumber[number];
        channel.number = number;
        if (letters == 2)
            channel.ir = column;
        else if (field.startsWith('R'))
            channel.r = column;
        else if (field.startsWith('V'))
            channel.v = column;
    }
    for (const Channel& channel : std::as_const(byNumber)) {
        if (channel.r >= 0 && channel.ir >= 0)
            m_channels.push_back(channel);
    }
    return !m_channels.empty();
}

void RawRecord::parseLines(const char* begin, const char* end, std::vector<qint64>& times, std::vector<double>& values,
    std::vector<double>& row, qint64& skipped)
{
    RecordText::forEachLine(begin, end, true, [&](const char* line, const char* lineEnd) {
        if (!parseLine(line, lineEnd, times, values, row))
            ++skipped;
    });
}

bool RawRecord::parseLine(const char* begin, const char* end, std::vector<qint64>& times, std::vector<double>& values,
    std::vector<double>& row)
{
    if (end > begin && end[-1] == '\r')
        --end;
    if (begin == end)
        return true; // an empty line is no damaged line
    // The fields as the record writer writes them, whole numbers alone, are taken in one pass; any other field
    // goes to the general parsers, which decide whether it is a number.
    quint64 time = 0;
    const char* fieldEnd = wholeNumberEnd(begin, end, MaxTimeDigits, time);
    if (!fieldEnd) {
        fieldEnd = RecordText::findByte(begin, end, ';');
        const std::optional<quint64> parsed
            = RecordText::parseUnsigned(begin, fieldEnd, std::numeric_limits<qint64>::max());
        if (!parsed)
            return false;
        time = *parsed;
    }
    const size_t count = row.size();
    size_t taken = 0;
    while (fieldEnd < end) {
        if (taken == count)
            return false;
        const char* const field = fieldEnd + 1;
        const bool negative = field < end && *field == '-';
        quint64 whole = 0;
        fieldEnd = wholeNumberEnd(field + (negative ? 1 : 0), end, MaxExactDigits, whole);
        if (fieldEnd) {
            row[taken] = negative ? -double(whole) : double(whole);
        } else {
            fieldEnd = RecordText::findByte(field, end, ';');
            if (!RecordText::parseNumber(field, fieldEnd, row[taken]))
                return false;
        }
        ++taken;
    }
    if (taken != count)
        return false;
    times.push_back(qint64(time));
    values.insert(values.end(), row.begin(), row.end());
    return true;
}

bool RawRecord::isSorted() const
{
    return std::is_sorted(m_times.begin(), m_times.end());
}

void RawRecord::sortByTime()
{
    if (isSorted())
        return;
    std::vector<quint32> order(m_times.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](quint32 a, quint32 b) { return m_times[a] < m_times[b]; });
    const size_t columns = size_t(m_columns.size());
    std::vector<qint64> times(m_times.size());
    std::vector<double> values(m_values.size());
    for (size_t i = 0; i < order.size(); ++i) {
        times[i] = m_times[order[i]];
        std::copy_n(m_values.begin() + qsizetype(order[i] * columns), columns, values.begin() + qsizetype(i * columns));
    }
    m_times.swap(times);
    m_values.swap(values);
}

QMap<int, RawRecord::MontageCell> RawRecord::readMontage(const QString& iniPath)
{
    QFile file(iniPath);
    if (!QFileInfo(iniPath).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return parseMontage(QString::fromUtf8(file.read(FileUtilities::readLimit(file, qint64(1) << 20))));
}

QMap<int, RawRecord::MontageCell> RawRecord::parseMontage(const QString& ini)
{
    const QString open = QStringLiteral("<Montage>");
    const qsizetype start = ini.indexOf(open);
    const qsizetype end = ini.indexOf(QLatin1String("</Montage>"), start);
    if (start < 0 || end < 0)
        return {};
    const QString text = ini.mid(start + open.size(), end - start - open.size());
    QMap<int, MontageCell> cells;
    const QStringList lines = TextHelper::splitAndTrim(text, QStringLiteral("\n"));
    for (int row = 0; row < lines.size(); ++row) {
        int column = 0;
        for (const QString& cell : TextHelper::splitAndTrim(lines.at(row), QStringLiteral(";"))) {
            const QStringList parts = cell.split(QLatin1Char('='));
            const int number = parts.constFirst().toInt();
            if (number < 1)
                continue;
            const QString name = parts.size() > 1 ? parts.at(1) : QString::number(number);
            if (!cells.contains(number))
                cells.insert(number, { row, column, name });
            ++column;
        }
    }
    return cells;
}
