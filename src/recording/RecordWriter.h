#pragma once

#include "RecordLayout.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

// The files of one record: ".csv", ".raw", ".ini" and ".events". Every line goes to the operating system in the write
// that makes it, so a record cut short by a crash, a kill or a power loss is complete up to its last sample; every
// write is checked, so a full disk is noticed at the first line it refuses.
class RecordWriter
{
public:
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

    // Creates the ".csv" and the ".events" file (truncating files of those names), writes the ".ini" file and opens
    // the ".raw" file when they can be created, and writes both headers. On failure nothing stays open and
    // errorString() says why.
    bool open(const QString& csvName, const RecordLayout& layout);
    void close();

    bool isOpen() const { return m_csv != nullptr; }
    bool hasRaw() const { return m_raw != nullptr; }
    QString csvName() const { return m_csvName; }
    // The file name and the reason of the last failure.
    QString errorString() const { return m_error; }

    bool writeRaw(qint64 elapsed, const QList<double>& values);
    bool writeProcessed(qint64 elapsed, const QList<double>& values);
    bool writeEvent(qint64 elapsed, const QString& source, const QString& text);

private:
    bool writeLine(QFile& file, const QByteArray& line);

    std::unique_ptr<QFile> m_csv;
    std::unique_ptr<QFile> m_raw;
    std::unique_ptr<QFile> m_events;
    QString m_csvName;
    QString m_error;
    QByteArray m_line;
};
