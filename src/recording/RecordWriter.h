#pragma once

#include "RecordLayout.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

// The files of one record: ".csv", ".raw", ".ini" and ".events".
//
// What survives what: every line goes to the operating system in the write that makes it, so a crash or a kill of the
// program leaves each file complete up to its last line. A power loss or a crash of the system keeps only what has
// reached the disk: the four files themselves (their folder is synced once they are created), the ".ini", and the
// lines up to the last sync. The files are synced (fdatasync) when the record closes and, while it runs, by the first
// write at least one second after the previous sync; so a power loss costs the lines of the last second or so, and
// all lines written since the last sync when nothing was written after them (a silent instrument). A line is never
// half on disk after a refused write: a write that the disk cuts short (full, or over a size limit) is truncated
// back to the last whole line, and the failure names the file and the system's reason.
class RecordWriter
{
public:
    enum class Result {
        Written,
        Failed, // errorString() says why
        OtherLayout, // the sample's value count differs from the record's header; nothing was written
    };

    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // The title with every character that a file name on Windows or Linux may not hold, every path separator and
    // every ".." replaced by "_", so that a title can neither fail the start nor leave the data folder.
    static QString safeTitle(const QString& title);
    // "yyyy.MM.dd-hh.mm.ss.zzz", "-" and the safe title when there is one, ".csv".
    static QString baseName(const QDateTime& start, const QString& title);
    // The ".csv" name with its ".csv" suffix replaced by the extension given (".ini", ".raw", ".events"); a name
    // without that suffix gets the extension appended.
    static QString companionName(const QString& csvName, const QString& extension);

    static QByteArray csvHeader(const RecordLayout& layout);
    static QByteArray rawHeader(const RecordLayout& layout);
    static QByteArray iniContent(const RecordLayout& layout);

    // Elapsed milliseconds, then every value in Qt's fixed format with no decimals, ";"-separated, CR LF.
    static QByteArray formatSampleLine(qint64 elapsed, const QList<double>& values);
    // The same line appended to line, which keeps its capacity from one sample to the next.
    static void appendSampleLine(QByteArray& line, qint64 elapsed, const QList<double>& values);

    // Creates the ".csv", ".raw", ".events" and ".ini" files, every one required and none of them existing before,
    // and writes the ".ini". The headers of ".csv" and ".raw" wait for the first sample: only a sample tells how many
    // channels the instrument sends, so a record closed before its first sample leaves both files empty. On failure
    // the files this call created are removed (never one that was there before), nothing stays open and
    // errorString() says why.
    bool open(const QString& csvName, const RecordLayout& layout);
    // Syncs the files to the disk and closes them.
    void close();
    // The least time between two syncs while the record runs (one second); a negative one syncs only at the close.
    void setSyncIntervalMs(qint64 ms) { m_syncIntervalMs = ms; }

    bool isOpen() const { return m_csv.file != nullptr; }
    QString csvName() const { return m_csvName; }
    // The file name and the reason of the last failure.
    QString errorString() const { return m_error; }
    // What the record was opened with; channelCount is that of the headers, 0 before the first sample.
    const RecordLayout& layout() const { return m_layout; }
    // Raw values per channel in this record's variant: 3 for V-R-IR, 2 otherwise.
    int rawValuesPerChannel() const;

    // The first sample writes both headers; a sample of another value count than theirs is refused (OtherLayout).
    Result writeRaw(qint64 elapsed, const QList<double>& values);
    Result writeProcessed(qint64 elapsed, const QList<double>& values);
    bool writeEvent(qint64 elapsed, const QString& source, const QString& text);

private:
    struct File
    {
        std::unique_ptr<QFile> file;
        qint64 whole = 0; // bytes of whole lines: the size a failed write is truncated back to
    };

    bool create(File& target, const QString& name);
    // Written when the value count fits the headers, which the first sample writes.
    Result takeLayout(int valueCount, int valuesPerChannel);
    bool writeLine(File& target, const QByteArray& line);
    bool syncAll();

    File m_csv;
    File m_raw;
    File m_events;
    RecordLayout m_layout;
    QString m_csvName;
    QString m_error;
    QByteArray m_line;
    QElapsedTimer m_sinceSync;
    qint64 m_syncIntervalMs = 1000;
};
