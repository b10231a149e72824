#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What the list of the data folder shows of one record, read from its files without loading its samples: the start
// and title from the file name, the channels from the ".csv" header, the duration from the last whole line, the
// marks of the ".log" and ".events" files and the signal check the program wrote at the start. A record still being
// written, or a damaged one, gives what can be read; nothing here fails. No widgets: the window reads these on a
// thread of their own.
struct RecordSummary
{
    QString path; // the ".csv" file, absolute
    QDateTime start; // from the name; the file's modification time for a name without one
    QString title; // the name after the start time, as typed at the start (made safe for a file name)
    qint64 durationMs = -1; // the time of the last whole data line; -1 without one
    int channels = 0;
    int marks = 0; // the ".log" marks shown in the graphs and the events of sources other than "halvex"
    QStringList markTexts; // each text once, for the search
    // The signal check at the start: checked channels, those of them below the coupling limit (or saturated or
    // dark), and those still unknown; all 0 when the record holds none.
    bool hasCheck = false;
    int checkChannels = 0;
    int badChannels = 0;
    int unknownChannels = 0;
    QString checkText; // the check's lines as written
    // What the files were when read: a summary stays valid while these stay the same.
    qint64 stamp = 0;

    // Reads the record at path (a ".csv" file).
    static RecordSummary read(const QString& path);
    // The sum of the sizes and modification times of the record's files, which changes when any of them does.
    static qint64 fileStamp(const QString& path);
    // The records of folder, newest first; summaries in previous whose files are unchanged are taken as they are.
    static QList<RecordSummary> scan(const QString& folder, const QList<RecordSummary>& previous = {});
    // Adds the verdict of one "signal check:" line of the program's events.
    void addCheckLine(const QString& text);
    // Whether every word of filter occurs, case-insensitively, in the title, the file name, the start (as the
    // name writes it and as the list shows it) or a mark's text.
    bool matches(const QString& filter) const;

    // The last whole line lies within this many bytes from the end.
    static constexpr qint64 TailBytes = 64 * 1024;
};

Q_DECLARE_METATYPE(RecordSummary)
