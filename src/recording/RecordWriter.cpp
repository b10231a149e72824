#include "RecordWriter.h"

#include "RecordEvents.h"
#include "RecordFiles.h"
#include "TextHelper.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// The decimal digits of magnitude, after a minus sign when negative.
void appendDigits(QByteArray& line, unsigned long long magnitude, bool negative)
{
    char digits[24];
    char* const end = digits + sizeof(digits);
    char* first = end;
    do {
        *--first = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--first = '-';
    line.append(first, end - first);
}

// Finite values below 2^53 are whole numbers after rounding, printed here without the allocation of
// QByteArray::number; its output is the contract (half away from zero, "-0" for small negatives but "0" for -0.0).
void appendRounded(QByteArray& line, double value)
{
    constexpr double exactLimit = 9007199254740992.0;
    if (!std::isfinite(value) || std::fabs(value) >= exactLimit) {
        line += QByteArray::number(value, 'f', 0);
        return;
    }
    appendDigits(line, static_cast<unsigned long long>(std::fabs(std::round(value))), value < 0);
}

void appendInteger(QByteArray& line, qint64 value)
{
    const auto magnitude = static_cast<unsigned long long>(value);
    appendDigits(line, value < 0 ? 0ULL - magnitude : magnitude, value < 0);
}

QByteArray firstField(const RecordLayout& layout)
{
    return layout.variant == RecordLayout::Acquire_aRIR ? QByteArrayLiteral("ALT") : QByteArray();
}

bool isForbidden(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("<>:\"/\\|?*").contains(c);
}

QString failure(const QString& fileName, const QString& reason)
{
    return QCoreApplication::translate("Generic", "Cannot write the record file %1: %2").arg(fileName, reason);
}

} // namespace

RecordWriter::~RecordWriter()
{
    close();
}

QString RecordWriter::safeTitle(const QString& title)
{
    QString safe = title;
    for (qsizetype i = 0; i < safe.size(); ++i) {
        const bool dotRun = safe.at(i) == QLatin1Char('.')
            && ((i + 1 < safe.size() && safe.at(i + 1) == QLatin1Char('.'))
                || (i > 0 && title.at(i - 1) == QLatin1Char('.')));
        if (dotRun || isForbidden(safe.at(i)))
            safe[i] = QLatin1Char('_');
    }
    return safe;
}

QString RecordWriter::baseName(const QDateTime& start, const QString& title)
{
    QString name = TextHelper::DateTimeFileString(start, true);
    if (!title.isEmpty())
        name += QLatin1Char('-') + safeTitle(title);
    return name + QStringLiteral(".csv");
}

QString RecordWriter::companionName(const QString& csvName, const QString& extension)
{
    // A name without ".csv" would otherwise name the ".csv" file itself, and opening a companion would truncate it.
    if (!csvName.endsWith(QStringLiteral(".csv")))
        return csvName + extension;
    return RecordFiles::companion(csvName, extension);
}

QByteArray RecordWriter::csvHeader(const RecordLayout& layout)
{
    QByteArray header = firstField(layout);
    for (int n = 1; n <= layout.channelCount; ++n) {
        const QByteArray number = QByteArray::number(n);
        header += ";V" + number;
        const QString label = layout.montageActive ? layout.montageNames.value(n - 1) : QString();
        if (!label.isEmpty())
            header += '(' + label.toUtf8() + ')';
        header += ";R" + number + ";IR" + number;
    }
    return header + "\r\n";
}

QByteArray RecordWriter::rawHeader(const RecordLayout& layout)
{
    QByteArray header = firstField(layout);
    for (int n = 1; n <= layout.channelCount; ++n) {
        const QByteArray number = QByteArray::number(n);
        if (layout.variant == RecordLayout::Acquire_VRIR)
            header += ";V" + number;
        header += ";R" + number + ";IR" + number;
    }
    return header + "\r\n";
}

QByteArray RecordWriter::iniContent(const RecordLayout& layout)
{
    QByteArray ini = "<Smoothing>" + QByteArray::number(layout.smoothing) + "</Smoothing>\r\n";
    if (layout.useMontage)
        ini += "<Montage>\r\n" + layout.montageText.toUtf8() + "\r\n</Montage>\r\n";
    return ini;
}

QByteArray RecordWriter::formatSampleLine(qint64 elapsed, const QList<double>& values)
{
    QByteArray line;
    appendSampleLine(line, elapsed, values);
    return line;
}

void RecordWriter::appendSampleLine(QByteArray& line, qint64 elapsed, const QList<double>& values)
{
    appendInteger(line, elapsed);
    for (double value : values) {
        line += ';';
        appendRounded(line, value);
    }
    line += "\r\n";
}

bool RecordWriter::open(const QString& csvName, const RecordLayout& layout)
{
    close();
    m_error.clear();
    m_csvName = csvName;

    // Unbuffered: each write() is one system call, so nothing waits in the process for a stop that may never come.
    m_csv = std::make_unique<QFile>(csvName);
    if (!m_csv->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = failure(csvName, m_csv->errorString());
        m_csv.reset();
        return false;
    }

    // Without its events file a record would lose every mark without a word: that fails the start like the ".csv".
    m_events = std::make_unique<QFile>(companionName(csvName, QStringLiteral(".events")));
    if (!m_events->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = failure(m_events->fileName(), m_events->errorString());
        m_events.reset();
        m_csv->remove();
        m_csv.reset();
        return false;
    }

    QFile ini(companionName(csvName, QStringLiteral(".ini")));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ini.write(iniContent(layout));

    m_raw = std::make_unique<QFile>(companionName(csvName, QStringLiteral(".raw")));
    if (!m_raw->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        m_raw.reset();

    if ((m_raw && !writeLine(*m_raw, rawHeader(layout))) || !writeLine(*m_csv, csvHeader(layout))) {
        const QString error = m_error;
        close();
        m_error = error;
        return false;
    }
    return true;
}

void RecordWriter::close()
{
    if (m_csv)
        m_csv->close();
    if (m_raw)
        m_raw->close();
    if (m_events)
        m_events->close();
    m_csv.reset();
    m_raw.reset();
    m_events.reset();
}

bool RecordWriter::writeRaw(qint64 elapsed, const QList<double>& values)
{
    if (!m_raw)
        return true;
    m_line.resize(0);
    appendSampleLine(m_line, elapsed, values);
    return writeLine(*m_raw, m_line);
}

bool RecordWriter::writeProcessed(qint64 elapsed, const QList<double>& values)
{
    if (!m_csv)
        return true;
    m_line.resize(0);
    appendSampleLine(m_line, elapsed, values);
    return writeLine(*m_csv, m_line);
}

bool RecordWriter::writeEvent(qint64 elapsed, const QString& source, const QString& text)
{
    if (!m_events)
        return false;
    return writeLine(*m_events, RecordEvents::formatLine(elapsed, source, text));
}

bool RecordWriter::writeLine(QFile& file, const QByteArray& line)
{
    if (file.write(line) == line.size())
        return true;
    m_error = failure(file.fileName(), file.errorString());
    return false;
}
