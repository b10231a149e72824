#include "RecordLoader.h"

#include "CFIRFilter.h"
#include "FileUtilities.h"
#include "RecordFiles.h"
#include "RecordText.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Row
{
    quint32 time;
    double a;
    double b;
};

// A value that is not a finite number counts as 0: a "nan" written for a failed sample would otherwise poison the
// mean and with it the whole curve.
double parseValue(const char* begin, const char* end)
{
    RecordText::trim(begin, end);
    double value = 0;
    return RecordText::parseNumber(begin, end, value) && std::isfinite(value) ? value : 0;
}

// A time that is not a whole number counts as 0, as the record and log formats define.
quint64 parseTime(const char* begin, const char* end, quint64 max)
{
    return RecordText::parseUnsigned(begin, end, max).value_or(0);
}

struct Scan
{
    qint64 column1 = 1;
    qint64 column2 = 1;
    qint64 lastColumn = 1;
    std::vector<Row> rows;
    qint64 startTime = 0;
    bool sorted = true;
};

// Takes one data line when it has the chosen columns.
void scanLine(Scan& scan, const char* line, const char* lineEnd)
{
    const char* timeBegin = nullptr;
    const char* timeEnd = nullptr;
    const char* aBegin = nullptr;
    const char* aEnd = nullptr;
    const char* bBegin = nullptr;
    const char* bEnd = nullptr;
    const char* field = line;
    for (qint64 column = 0; column <= scan.lastColumn; ++column) {
        const char* fieldEnd = RecordText::findByte(field, lineEnd, ';');
        if (column == 0) {
            timeBegin = field;
            timeEnd = fieldEnd;
        }
        if (column == scan.column1) {
            aBegin = field;
            aEnd = fieldEnd;
        }
        if (column == scan.column2) {
            bBegin = field;
            bEnd = fieldEnd;
        }
        if (fieldEnd == lineEnd) {
            if (column < scan.lastColumn)
                aBegin = bBegin = nullptr; // too short for the chosen columns
            break;
        }
        field = fieldEnd + 1;
    }
    if (!aBegin || !bBegin)
        return;
    const Row row { quint32(parseTime(timeBegin, timeEnd, std::numeric_limits<quint32>::max())),
        parseValue(aBegin, aEnd), parseValue(bBegin, bEnd) };
    if (scan.rows.empty())
        scan.startTime = row.time;
    else if (row.time < scan.rows.back().time)
        scan.sorted = false;
    scan.rows.push_back(row);
}

} // namespace

bool RecordLoader::open(const QString& path)
{
    close();
    // A device or a pipe would be read for ever.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only the header now; compare() streams the data lines, so an hour-long record never sits in memory whole.
    m_data = file.readLine(FileUtilities::readLimit(file, RecordText::MaxHeaderSize));
    m_path = path;
    parseHeader();
    return true;
}

void RecordLoader::setData(QByteArray data)
{
    close();
    m_data = std::move(data);
    parseHeader();
}

void RecordLoader::close()
{
    m_path.clear();
    m_data = QByteArray();
    m_headerEnd = -1;
    m_channelNames.clear();
    m_channelCount = 0;
}

void RecordLoader::parseHeader()
{
    m_headerEnd = m_data.indexOf('\n');
    m_channelNames.clear();
    m_channelCount = 0;
    if (m_headerEnd < 0)
        return;

    // Walked as bytes: a damaged header may be one line of many megabytes, and only the fields that can be channel
    // names are decoded.
    QSet<QString> seen;
    const char* const lineEnd = m_data.constData() + m_headerEnd;
    const char* field = m_data.constData();
    qint64 fields = 0;
    while (true) {
        const char* fieldEnd = RecordText::findByte(field, lineEnd, ';');
        if (fields > 0 && m_channelNames.size() < MaxChannelNames) {
            const char* begin = field;
            const char* end = fieldEnd;
            RecordText::trim(begin, end);
            if (begin < end && (*begin == 'V' || (uchar(*begin) & 0x80))) {
                const QString text = QString::fromUtf8(begin, end - begin).trimmed();
                if (text.startsWith(QLatin1Char('V'))) {
                    QString name = text;
                    name.remove(QLatin1Char('V')).remove(QLatin1String("IR")).remove(QLatin1Char('R'));
                    name = name.trimmed();
                    if (!seen.contains(name)) {
                        seen.insert(name);
                        m_channelNames.append(name);
                    }
                }
            }
        }
        ++fields;
        if (fieldEnd == lineEnd)
            break;
        field = fieldEnd + 1;
    }
    const qint64 n = fields - 1;
    m_channelCount = int(std::min<qint64>(std::ceil(double(n) / 3.0), std::numeric_limits<int>::max()));
}

RecordLoader::Status RecordLoader::compare(int channel1, int channel2, double hpf, Comparison& result) const
{
    result.startTime = 0;
    result.left.clear();
    result.right.clear();
    result.gaps.clear();
    if (!hasLines())
        return Status::TooShort;
    if (channel1 >= m_channelCount || channel2 >= m_channelCount)
        return Status::ChannelOutOfRange;
    const qint64 column1 = 3 * qint64(channel1) + 1;
    const qint64 column2 = 3 * qint64(channel2) + 1;
    if (column1 < 1 || column2 < 1)
        return Status::ChannelOutOfRange;

    Scan scan;
    scan.column1 = column1;
    scan.column2 = column2;
    scan.lastColumn = std::max(column1, column2);
    const auto take = [&scan](const char* begin, const char* end) { scanLine(scan, begin, end); };
    if (m_path.isEmpty()) {
        RecordText::forEachLine(m_data.constData() + m_headerEnd + 1, m_data.constData() + m_data.size(), true, take);
    } else {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly) && file.seek(m_headerEnd + 1))
            RecordText::readLines(file, take);
    }
    result.startTime = scan.startTime;
    std::vector<Row>& rows = scan.rows;
    const bool sorted = scan.sorted;

    // Stable, so that among lines with equal times the one read last comes last and wins.
    if (!sorted)
        std::stable_sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) { return x.time < y.time; });
    std::vector<quint32> times;
    std::vector<double> a;
    std::vector<double> b;
    times.reserve(rows.size());
    a.reserve(rows.size());
    b.reserve(rows.size());
    for (const Row& row : rows) {
        if (!times.empty() && times.back() == row.time) {
            a.back() = row.a;
            b.back() = row.b;
            continue;
        }
        times.push_back(row.time);
        a.push_back(row.a);
        b.push_back(row.b);
    }
    rows = std::vector<Row>();

    result.gaps = RecordGaps::find(times);
    result.left = resample(times, a, SampleRate);
    result.right = resample(times, b, SampleRate);
    centreAndFilter(result.left, hpf);
    centreAndFilter(result.right, hpf);
    return Status::Loaded;
}

std::vector<double> RecordLoader::resample(
    const std::vector<quint32>& times, const std::vector<double>& values, int rate, qsizetype maxPoints)
{
    std::vector<double> result;
    if (times.size() < 2 || values.size() != times.size() || rate <= 0)
        return result;
    const double step = 1000.0 / rate;
    const double firstTime = times.front();
    const double span = double(times.back()) - firstTime;
    const qsizetype count = std::min<qsizetype>(qsizetype(std::floor(span / step)) + 1, maxPoints);
    result.reserve(size_t(std::max<qsizetype>(count, 0)));
    const size_t lastIndex = times.size() - 1;
    size_t next = 1;
    for (qsizetype i = 0; i < count; ++i) {
        const double t = firstTime + double(i) * step;
        while (next < lastIndex && times[next] < t)
            ++next;
        const double k0 = times[next - 1];
        const double k1 = times[next];
        const double y0 = values[next - 1];
        const double y1 = values[next];
        result.push_back(y0 + (y1 - y0) * (t - k0) / (k1 - k0));
    }
    return result;
}

void RecordLoader::centreAndFilter(std::vector<double>& values, double hpf)
{
    if (values.empty())
        return;
    double sum = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / double(values.size());
    if (hpf < MinimumCutoff) {
        for (double& v : values)
            v -= mean;
        return;
    }
    // Fresh filters for every list: state carried over from another channel's curve would start this one with an
    // artefact made of that channel's data.
    CFIRFilter firstSection(1, float(hpf), 2, float(SampleRate), 1);
    CFIRFilter secondSection(1, float(hpf), 2, float(SampleRate), 1);
    for (double& v : values)
        v = secondSection.Process(firstSection.Process(float(v - mean)));
}

QString RecordLoader::logPath(const QString& recordPath)
{
    return RecordFiles::existing(recordPath, QStringLiteral(".log"));
}

QList<RecordLoader::Mark> RecordLoader::readMarks(const QString& logPath)
{
    if (!QFileInfo(logPath).isFile())
        return {};
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseMarks(file.readAll());
}

QList<RecordLoader::Mark> RecordLoader::parseMarks(const QByteArray& log)
{
    QList<Mark> marks;
    bool haveBase = false;
    quint64 base = 0;
    const char* const logEnd = log.constData() + log.size();
    const char* line = log.constData();
    while (line < logEnd) {
        const char* const next = RecordText::findByte(line, logEnd, '\n');
        // Lines end in CR LF; a log written with bare LF reads the same.
        const char* lineEnd = next;
        if (lineEnd > line && lineEnd[-1] == '\r')
            --lineEnd;
        const char* const timeEnd = RecordText::findByte(line, lineEnd, '\t');
        // A line without a time cannot be placed; a time of 0 is a time like any other.
        const std::optional<quint64> parsed
            = RecordText::parseUnsigned(line, timeEnd, std::numeric_limits<quint64>::max());
        if (timeEnd < lineEnd && parsed) {
            const quint64 time = *parsed;
            // The first timed line fixes the zero even when its text is skipped below.
            if (!haveBase) {
                base = time;
                haveBase = true;
            }
            const char* const textBegin = timeEnd + 1;
            const char* const textEnd = RecordText::findByte(textBegin, lineEnd, '\t');
            QString text = QString::fromUtf8(textBegin, textEnd - textBegin);
            text.remove(QLatin1Char(' '));
            if (!text.contains(QLatin1String("Sync")) && !text.contains(QLatin1String("Next"))
                && !text.startsWith(QLatin1Char('/'))) {
                // The unsigned difference, reinterpreted, is right for any two times less than 2^63 apart.
                marks.append({ qint64(time - base), text });
            }
        }
        if (next == logEnd)
            break;
        line = next + 1;
    }
    return marks;
}
