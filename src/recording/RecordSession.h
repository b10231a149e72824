#pragma once

#include "EventRateLimit.h"
#include "RecordLayout.h"
#include "RecordWriter.h"

#include <QObject>
#include <QString>

#include <functional>

// The life of one recording: the order of a start and a stop with their record hooks, and the per-sample writes.
// The hooks wait in a nested event loop; while one waits, another start is refused and a stop closes the files at
// once but sends its end hook after the waiting one returns, so nothing starts or stops inside another start.
class RecordSession : public QObject
{
    Q_OBJECT
public:
    explicit RecordSession(QObject* parent = nullptr);
    ~RecordSession() override;

    // Addresses requested after a start and at every stop; an empty one sends nothing.
    void setStartHook(const QString& url) { m_startHook = url; }
    void setEndHook(const QString& url) { m_endHook = url; }

    // Asked once the end hook of a start has returned, for what the record's headers are made from; false, with
    // the reason in error, when the start cannot go on (the instrument went away during the wait).
    using LayoutSource = std::function<bool(RecordLayout& layout, QString& error)>;

    // Stops first (end hook included), then opens the files under name, or under the automatic base name for an
    // empty name, then sends the start hook. False when the start cannot go on or the files could not be created;
    // failed() then says why.
    bool startRecord(const QString& name, const LayoutSource& source);
    bool startRecord(const QString& name, const RecordLayout& layout);
    // Closes the files if a record runs, then sends the end hook in any case. A cause says why a record had to
    // stop (a lost instrument); recordClosed() passes it on.
    void stopRecord(const QString& cause = QString());

    bool isRecording() const { return m_recording; }
    bool isHookWaiting() const { return m_hookWaiting; }
    qint64 recordStart() const { return m_recordStart; }
    QString fileName() const { return m_writer.csvName(); }
    // Data lines in the ".csv" file of the running or last record, and the elapsed time of the last one.
    qint64 samples() const { return m_samples; }
    qint64 lastElapsed() const { return m_lastElapsed; }
    // What the running or last record was started with; its channel count is that of its headers.
    const RecordLayout& layout() const { return m_writer.layout(); }

    // A failed write stops the record and reports the failure; what was written stays. So does a sample whose value
    // count differs from the record's headers (an instrument that returned with other channels): nothing of it is
    // written, and the record ends with the cause stated in recordClosed() and a line of the program in its events.
    void writeRaw(qint64 timestamp, const QList<double>& values);
    void writeProcessed(qint64 timestamp, const QList<double>& values);

    enum class EventResult { Written, NotRecording, TooMany, Failed };
    // Longer texts are cut to this many characters.
    static constexpr int MaxEventText = 1000;
    // More events than this within one second from one source are refused, the program's own excepted and those of
    // LSL marker streams ("lsl:…"): those are streams the user named in the settings, whose marks are the experiment's
    // time line and are never to be lost (the budget is for the HTTP endpoint, which any local program can reach).
    static constexpr int MaxEventsPerSecond = EventRateLimit::MaxPerSecond;
    // Writes an event stamped now, on the clock of the samples (marks, from any source but "halvex", are told by
    // markMade() first, also while no record runs); Written means the line has reached the operating
    // system (or waits behind a held event, see holdEvent()), and elapsed (when given) receives its time. A failed
    // write ends the record like a failed sample.
    EventResult addEvent(const QString& source, const QString& text, qint64* elapsed = nullptr);
    // The same with the time stamp (ms since the epoch) taken when the event happened.
    EventResult addEventAt(qint64 timestamp, const QString& source, const QString& text, qint64* elapsed = nullptr);
    // An event of the program itself (source "halvex"); nothing happens while no record runs.
    void addHalvexEvent(const QString& text);

    // Keeps the place of an event stamped at timestamp whose text is still to come (a mark whose text is being
    // asked for). Until it is released, the events stamped after it wait in memory, so that the events file stays in
    // time order. Returns a ticket for releaseEvent(), or -1 while no record runs. The mark is told by markMade()
    // at once, and not again when its text comes.
    int holdEvent(qint64 timestamp);
    // Writes the held event with source and text, or drops it for an empty source, then the events that waited
    // behind it. A ticket of a record that has ended since is NotRecording: its event went with that record.
    EventResult releaseEvent(int ticket, const QString& source, const QString& text);

signals:
    void recordingChanged(bool recording);
    // After an event line was written; timestamp in ms since the epoch.
    void eventAdded(qint64 timestamp, const QString& source, const QString& text);
    // A mark of the user or of another program, stamped at timestamp (ms since the epoch), whether a record takes
    // it or not: the virtual head answers it.
    void markMade(qint64 timestamp);
    // A mark of the user or of another program while no record runs, with what its line would have said.
    void markUnrecorded(qint64 timestamp, const QString& source, const QString& text);
    void hookWaitingChanged(bool waiting);
    // A start that could not create its files.
    void failed(const QString& message);
    // A running record ended; cause is empty when it was simply stopped, else why it had to stop (a write
    // failure, a lost instrument).
    void recordClosed(const QString& fileName, qint64 samples, qint64 lastElapsed, const QString& cause);
    // A record hook got no good answer; the record goes on.
    void hookFailed(const QString& message);

private:
    // Whether the hook was answered; false when it was not sent.
    bool sendHook(const QString& url, QString* failure = nullptr, bool report = true);
    void closeRecord(const QString& cause);
    void writeFailed();
    // Ends the record for a sample that does not fit its headers.
    void otherLayout(int valueCount, int expected);
    void afterWrite(RecordWriter::Result result, int valueCount, int expected);
    EventResult recordEvent(qint64 timestamp, const QString& source, const QString& text, qint64* elapsed);
    // Writes the line, or puts it in line behind a held event, and tells of it; false when the write failed.
    bool writeEvent(qint64 timestamp, const QString& source, const QString& text);
    // Writes the events that no longer wait for a held one; with dropHolds, drops the held ones first.
    bool writePending(bool dropHolds);

    struct PendingEvent
    {
        qint64 timestamp = 0;
        QString source;
        QString text;
        int ticket = -1; // a held event while its text is to come, -1 for a complete one
    };

    RecordWriter m_writer;
    QList<PendingEvent> m_pending; // in time order, the first of them a held event
    int m_nextTicket = 0;
    QString m_startHook;
    QString m_endHook;
    bool m_recording = false;
    bool m_hookWaiting = false;
    bool m_endHookPending = false;
    qint64 m_recordStart = 0;
    EventRateLimit m_rates;
    qint64 m_samples = 0;
    qint64 m_lastElapsed = 0;
};
