#include "RecordWriter.h"

#include "RecordEvents.h"
#include "RecordFiles.h"
#include "TextHelper.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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

#ifdef Q_OS_UNIX
// The folder's entry of a new file reaches the disk only with the folder itself.
void syncFolder(const QString& fileName)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(), O_RDONLY);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}
#endif

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

int RecordWriter::rawValuesPerChannel() const
{
    return m_layout.variant == RecordLayout::Acquire_VRIR ? 3 : 2;
}

bool RecordWriter::create(File& target, const QString& name)
{
    target.file = std::make_unique<QFile>(name);
    target.whole = 0;
    // NewOnly: a record never overwrites a file, so a failed start removes only files it made itself.
    // Unbuffered: each write() is one system call, so nothing waits in the process for a stop that may never come.
    if (target.file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return true;
    m_error = failure(name, target.file->errorString());
    target.file.reset();
    return false;
}

bool RecordWriter::open(const QString& csvName, const RecordLayout& layout)
{
    close();
    m_error.clear();
    m_csvName = csvName;
    m_layout = layout;
    m_layout.channelCount = 0;

    // Every file is required: a record without its ".raw" cannot be exported, without its ".events" it loses every
    // mark, without its ".ini" its smoothing.
    File ini;
    const bool made = create(m_csv, csvName) && create(m_raw, companionName(csvName, QStringLiteral(".raw")))
        && create(m_events, companionName(csvName, QStringLiteral(".events")))
        && create(ini, companionName(csvName, QStringLiteral(".ini"))) && writeLine(ini, iniContent(layout));
    if (!made) {
        for (File* target : { &m_csv, &m_raw, &m_events, &ini }) {
            if (target->file)
                target->file->remove();
            target->file.reset();
        }
        return false;
    }
#ifdef Q_OS_UNIX
    ::fdatasync(ini.file->handle());
    syncFolder(csvName);
#endif
    m_sinceSync.start();
    return true;
}

void RecordWriter::close()
{
    if (m_sinceSync.isValid())
        syncAll();
    m_sinceSync.invalidate();
    for (File* target : { &m_csv, &m_raw, &m_events }) {
        if (target->file)
            target->file->close();
        target->file.reset();
    }
}

RecordWriter::Result RecordWriter::takeLayout(int valueCount, int valuesPerChannel)
{
    if (m_layout.channelCount > 0)
        return valueCount == m_layout.channelCount * valuesPerChannel ? Result::Written : Result::OtherLayout;
    if (valueCount == 0 || valueCount % valuesPerChannel != 0)
        return Result::OtherLayout;
    m_layout.channelCount = valueCount / valuesPerChannel;
    if (writeLine(m_raw, rawHeader(m_layout)) && writeLine(m_csv, csvHeader(m_layout)))
        return Result::Written;
    return Result::Failed;
}

RecordWriter::Result RecordWriter::writeRaw(qint64 elapsed, const QList<double>& values)
{
    if (!m_raw.file)
        return Result::Written;
    const Result fits = takeLayout(int(values.size()), rawValuesPerChannel());
    if (fits != Result::Written)
        return fits;
    m_line.resize(0);
    appendSampleLine(m_line, elapsed, values);
    return writeLine(m_raw, m_line) ? Result::Written : Result::Failed;
}

RecordWriter::Result RecordWriter::writeProcessed(qint64 elapsed, const QList<double>& values)
{
    if (!m_csv.file)
        return Result::Written;
    const Result fits = takeLayout(int(values.size()), 3);
    if (fits != Result::Written)
        return fits;
    m_line.resize(0);
    appendSampleLine(m_line, elapsed, values);
    return writeLine(m_csv, m_line) ? Result::Written : Result::Failed;
}

bool RecordWriter::writeEvent(qint64 elapsed, const QString& source, const QString& text)
{
    if (!m_events.file)
        return false;
    return writeLine(m_events, RecordEvents::formatLine(elapsed, source, text));
}

bool RecordWriter::writeLine(File& target, const QByteArray& line)
{
#ifdef Q_OS_UNIX
    // QFile takes a write that the disk cuts short for a success without an error; the system call says why.
    const int fd = target.file->handle();
    const char* data = line.constData();
    qint64 left = line.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, data, size_t(left));
        if (done > 0) {
            data += done;
            left -= done;
            continue;
        }
        if (done < 0 && errno == EINTR)
            continue;
        const int error = done < 0 ? errno : EIO;
        // A part of a line would read as a line of its own: the file ends with its last whole line.
        if (::ftruncate(fd, target.whole) == 0)
            ::lseek(fd, target.whole, SEEK_SET);
        m_error = failure(target.file->fileName(), QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
#else
    if (target.file->write(line) != line.size()) {
        m_error = failure(target.file->fileName(), target.file->errorString());
        if (target.file->resize(target.whole))
            target.file->seek(target.whole);
        return false;
    }
#endif
    target.whole += line.size();
    if (m_syncIntervalMs >= 0 && m_sinceSync.isValid() && m_sinceSync.elapsed() >= m_syncIntervalMs)
        return syncAll();
    return true;
}

bool RecordWriter::syncAll()
{
    m_sinceSync.start();
    for (File* target : { &m_csv, &m_raw, &m_events }) {
        if (!target->file)
            continue;
#ifdef Q_OS_UNIX
        // Only a failed write-back loses lines; a file that cannot be synced at all (not on a disk) is no fault.
        if (::fdatasync(target->file->handle()) != 0 && (errno == EIO || errno == ENOSPC || errno == EDQUOT)) {
            m_error = failure(target->file->fileName(), QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
#else
        target->file->flush();
#endif
    }
    return true;
}
