#pragma once

#include <QIODevice>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A record's ".raw" file as numbers: the header's columns grouped into channels, and every data line that has
// exactly the header's field count and numbers in every field. Also reads the montage of the ".ini" beside it.
class RawRecord
{
public:
    struct Channel
    {
        int number = 0; // one-based, as in the header
        int r = -1; // value columns (the header fields after the first, counted from 0); -1 when absent
        int ir = -1;
        int v = -1;
    };

    struct MontageCell
    {
        int row = 0;
        int column = 0;
        QString name;
    };

    // A file past this size is refused rather than read: twelve hours of 24 values at 120 lines per second.
    static constexpr qint64 MaxFileSize = qint64(4) << 30;

    // The ".raw" of a record given by its ".csv" or ".raw" path.
    static QString rawPath(const QString& recordPath);
    static QString iniPath(const QString& recordPath);

    // False with errorString() when the file cannot be read or has no header naming R and IR columns. progress
    // gets the fraction of the file read so far.
    bool read(const QString& path, const std::function<void(double)>& progress = {});
    QString errorString() const { return m_error; }

    const QStringList& columns() const { return m_columns; }
    // Channels that have both an R and an IR column, in header order.
    const std::vector<Channel>& channels() const { return m_channels; }
    qsizetype lineCount() const { return qsizetype(m_times.size()); }
    const std::vector<qint64>& times() const { return m_times; }
    // Line i, column c at i * columns().size() + c.
    const std::vector<double>& values() const { return m_values; }
    double value(qsizetype line, int column) const { return m_values[size_t(line * m_columns.size() + column)]; }
    bool isSorted() const;
    // Puts the lines in time order; lines of equal time keep their order.
    void sortByTime();
    // Non-empty data lines that were not taken.
    qint64 skippedLines() const { return m_skipped; }

    // The montage of the ".ini" file: one-based channel number to its cell; empty without an active montage.
    static QMap<int, MontageCell> readMontage(const QString& iniPath);
    static QMap<int, MontageCell> parseMontage(const QString& ini);

    // The text read at a time, then parsed in a part per core: a few MB, so that the parts in flight take little
    // memory. A line may span two reads.
    static constexpr qint64 ReadSize = qint64(8) << 20;

private:
    // Data lines parsed apart from the record's own, to be appended in order.
    struct Lines
    {
        std::vector<qint64> times;
        std::vector<double> values;
        std::vector<double> row;
        qint64 skipped = 0;
    };

    bool parseHeader(const QByteArray& line);
    // Reads the data lines from where the device stands to its end; read gets the bytes read so far.
    void readLines(QIODevice& device, const std::function<void(qint64)>& read);
    static void parseLines(const char* begin, const char* end, std::vector<qint64>& times, std::vector<double>& values,
        std::vector<double>& row, qint64& skipped);
    static bool parseLine(const char* begin, const char* end, std::vector<qint64>& times, std::vector<double>& values,
        std::vector<double>& row);

    QString m_error;
    QStringList m_columns;
    std::vector<Channel> m_channels;
    std::vector<qint64> m_times;
    std::vector<double> m_values;
    qint64 m_skipped = 0;
};
