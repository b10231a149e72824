#pragma once

#include "RecordGaps.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// Reads one ".csv" record and compares two of its channels: the V column of each, resampled to 20 Hz, centred on
// its mean and optionally high-pass filtered, together with the event marks of the ".log" file beside it. Knows
// nothing of widgets, so the records window and the command-line comparison share it.
class RecordLoader
{
public:
    enum class Status { Loaded, TooShort, ChannelOutOfRange };

    struct Mark
    {
        qint64 time = 0;
        QString text;
    };

    struct Comparison
    {
        qint64 startTime = 0; // the time of the first data line taken, in ms
        std::vector<double> left; // Channel1
        std::vector<double> right; // Channel2; always as long as left
        std::vector<RecordGaps::Gap> gaps; // in the times of the data lines, ascending
        qsizetype size() const { return qsizetype(left.size()); }
        qint64 time(qsizetype i) const { return startTime + i * StepMilliseconds; }
        double diff(qsizetype i) const { return left[size_t(i)] - right[size_t(i)]; }
    };

    static constexpr int SampleRate = 20;
    static constexpr qint64 StepMilliseconds = 1000 / SampleRate;
    // Below this cut-off the curves are only centred.
    static constexpr double MinimumCutoff = 0.005;
    // A damaged header can name millions of channels; nobody picks beyond the first few hundred.
    static constexpr int MaxChannelNames = 1024;
    // A damaged time column can span 49 days; a day at 20 Hz is more than any recording and still fits in memory.
    static constexpr qsizetype MaxResampledPoints = qsizetype(24) * 3600 * SampleRate;

    // Reads and parses the record's header; false when the file cannot be opened.
    bool open(const QString& path);
    // The same from bytes already in memory.
    void setData(QByteArray data);
    void close();

    // At least a header and one more line (which may be empty).
    bool hasLines() const { return m_headerEnd >= 0; }
    // The channel names of the header: every field that begins with "V", without its "V", "IR" and "R".
    const QStringList& channelNames() const { return m_channelNames; }
    // ceil(header fields after the first / 3).
    int channelCount() const { return m_channelCount; }

    Status compare(int channel1, int channel2, double hpf, Comparison& result) const;

    // The record's ".log" file beside its ".csv" or ".raw" file (RecordFiles).
    static QString logPath(const QString& recordPath);
    // An unreadable or missing log gives no marks.
    static QList<Mark> readMarks(const QString& logPath);
    static QList<Mark> parseMarks(const QByteArray& log);

    // Linear interpolation at rate Hz from the first to the last time; times ascending and unique. Fewer than two
    // entries give nothing.
    static std::vector<double> resample(const std::vector<quint32>& times, const std::vector<double>& values, int rate,
        qsizetype maxPoints = MaxResampledPoints);
    // Subtracts the mean, then, from hpf = MinimumCutoff on, passes every value through two identical order-2
    // high-pass sections in single precision, both starting from rest.
    static void centreAndFilter(std::vector<double>& values, double hpf);

private:
    void parseHeader();

    QString m_path; // empty when the data was given by setData
    QByteArray m_data; // the header line, or all the data given by setData
    qsizetype m_headerEnd = -1;
    QStringList m_channelNames;
    int m_channelCount = 0;
};
