#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The ".events" file beside a record: one line per event, "elapsed ms<TAB>source<TAB>text", CR LF line ends, UTF-8.
// The times are on the record's own clock (the clock of the ".csv" lines), so they need no alignment.
class RecordEvents
{
public:
    struct Event
    {
        qint64 time = 0; // elapsed ms
        QString source; // "key", "http", "http:NAME", "lsl:STREAM" or "halvex"
        QString text;
    };

    struct Contents
    {
        QList<Event> events; // in time order; events of equal time keep their order in the file
        int skippedLines = 0; // non-empty lines that were not "number<TAB>source<TAB>text"
    };

    // The sources the program writes.
    static inline const QString SourceKey = QStringLiteral("key");
    static inline const QString SourceHttp = QStringLiteral("http");
    static inline const QString SourceHalvex = QStringLiteral("halvex");
    // Followed by the name of another program's LSL marker stream.
    static inline const QString SourceLslPrefix = QStringLiteral("lsl:");

    // A damaged or hostile file cannot make the reader take more than this; the rest is counted as skipped.
    static constexpr qint64 MaxFileSize = qint64(16) << 20;

    // The record's ".events" file beside its ".csv" or ".raw" file (RecordFiles).
    static QString eventsPath(const QString& recordPath);
    // A missing or unreadable file gives no events.
    static Contents read(const QString& eventsPath);
    static Contents parse(const QByteArray& data);
    // One line as the record writes it, CR LF included, the text cleaned by cleanText().
    static QByteArray formatLine(qint64 time, const QString& source, const QString& text);
    // Control characters (C0, DEL, C1: tabs, line breaks) and line or paragraph separators become spaces, so that
    // every event stays one line of text and its words stay apart; format characters (bidirectional overrides and
    // isolates, zero-width characters, the byte-order mark, soft hyphens, tags) are dropped: they show nothing yet
    // can reorder or hide what a reader of the file sees.
    static QString cleanText(const QString& text);
};
