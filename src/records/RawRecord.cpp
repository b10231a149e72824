#include "RawRecord.h"

#include "RecordFiles.h"
#include "RecordText.h"
#include "TextHelper.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <numeric>

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
    const QByteArray header = file.readLine(RecordText::MaxHeaderSize);
    if (!header.endsWith('\n') || !parseHeader(header)) {
        m_error = QStringLiteral("not a raw record (no header line naming R and IR columns)");
        return false;
    }
    // Reserve for the whole file, so that the columns are never copied while they grow (a copy holds them twice):
    // at the mean length of the first lines less an eighth, for longer times later (only what is filled takes
    // memory), and at least four characters per field, so that a file of junk reserves no more than twice its size.
    const qsizetype fields = m_columns.size() + 1;
    const QByteArray sample = file.peek(qint64(1) << 18);
    const qint64 sampleLines = sample.count('\n');
    const qint64 sampledLength = sampleLines > 0 ? (sample.lastIndexOf('\n') + 1) * 7 / (8 * sampleLines) : 0;
    const qint64 estimatedLines = (size - header.size()) / qMax<qint64>(sampledLength, 4 * fields) + 16;
    m_times.reserve(size_t(estimatedLines));
    m_values.reserve(size_t(estimatedLines * m_columns.size()));
    m_row.resize(size_t(m_columns.size()));

    RecordText::readLines(
        file, [this](const char* begin, const char* end) { parseLine(begin, end); },
        [&progress, size, &header](qint64 done) {
            if (progress && size > 0)
                progress(double(header.size() + done) / double(size));
        });
    if (file.error() != QFileDevice::NoError) {
        m_error = QStringLiteral("read error: %1").arg(file.errorString());
        return false;
    }
    m_row = {};
    return true;
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

void RawRecord::parseLine(const char* begin, const char* end)
{
    if (end > begin && end[-1] == '\r')
        --end;
    if (begin == end)
        return;
    const char* field = begin;
    const char* fieldEnd = RecordText::findByte(field, end, ';');
    const std::optional<quint64> time = RecordText::parseUnsigned(field, fieldEnd, std::numeric_limits<qint64>::max());
    bool ok = time.has_value();
    const size_t count = m_row.size();
    size_t taken = 0;
    while (ok && fieldEnd < end) {
        field = fieldEnd + 1;
        fieldEnd = RecordText::findByte(field, end, ';');
        ok = taken < count && RecordText::parseNumber(field, fieldEnd, m_row[taken]);
        ++taken;
    }
    if (!ok || taken != count) {
        ++m_skipped;
        return;
    }
    m_times.push_back(qint64(*time));
    m_values.insert(m_values.end(), m_row.begin(), m_row.end());
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
    return parseMontage(QString::fromUtf8(file.read(qint64(1) << 20)));
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
