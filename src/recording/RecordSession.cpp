#include "RecordSession.h"

#include "HttpHelper.h"
#include "RecordEvents.h"
#include "SampleClock.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>

namespace {

QString hookFailure(const QString& url, const HttpHelper::Reply& reply)
{
    const auto generic = [](const char* text) { return QCoreApplication::translate("Generic", text); };
    if (reply.timedOut)
        return generic("The stimulus program at %1 did not answer in %2 s").arg(url).arg(HttpHelper::TimeoutMs / 1000);
    if (!reply.error.isEmpty())
        return generic("The stimulus program at %1 could not be reached: %2").arg(url, reply.error);
    return generic("The stimulus program at %1 answered with HTTP status %2").arg(url).arg(reply.status);
}

} // namespace

RecordSession::RecordSession(QObject* parent)
    : QObject(parent)
{ }

RecordSession::~RecordSession()
{
    m_writer.close();
}

bool RecordSession::startRecord(const QString& name, const RecordLayout& layout)
{
    return startRecord(name, [&layout](RecordLayout& taken, QString&) {
        taken = layout;
        return true;
    });
}

bool RecordSession::startRecord(const QString& name, const LayoutSource& source)
{
    if (m_hookWaiting)
        return false;
    stopRecord();
    RecordLayout layout;
    QString error;
    if (!source(layout, error)) {
        emit failed(error);
        return false;
    }

    const QString fileName = name.isEmpty() ? RecordWriter::baseName(QDateTime::currentDateTime(), layout.title) : name;
    if (!m_writer.open(fileName, layout)) {
        emit failed(m_writer.errorString());
        return false;
    }
    m_recording = true;
    m_recordStart = SampleClock::nowMs();
    m_rates.clear();
    m_samples = 0;
    m_lastElapsed = 0;
    emit recordingChanged(true);

    QString failure;
    const bool answered = sendHook(m_startHook, &failure);
    if (!m_startHook.isEmpty())
        addHalvexEvent(
            answered ? QStringLiteral("start hook answered") : QStringLiteral("start hook failed: ") + failure);
    return m_recording;
}

void RecordSession::stopRecord(const QString& cause)
{
    // The end hook goes out on every stop, but one sent while no record ran concerns no record: its failure is
    // not worth a warning (a researcher without a stimulus program would see one at every connect).
    const bool wasRecording = m_recording;
    closeRecord(cause);
    sendHook(m_endHook, nullptr, wasRecording);
}

void RecordSession::closeRecord(const QString& cause)
{
    if (m_recording && writePending(true))
        writeEvent(SampleClock::nowMs(), RecordEvents::SourceHalvex, QStringLiteral("record stopped"));
    m_pending.clear();
    const bool wasRecording = m_recording;
    m_recording = false;
    m_writer.close();
    if (!wasRecording)
        return;
    emit recordingChanged(false);
    emit recordClosed(m_writer.csvName(), m_samples, m_lastElapsed, cause);
}

void RecordSession::writeRaw(qint64 timestamp, const QList<double>& values)
{
    if (m_recording) {
        afterWrite(m_writer.writeRaw(timestamp - m_recordStart, values), int(values.size()),
            m_writer.layout().channelCount * m_writer.rawValuesPerChannel());
    }
}

void RecordSession::writeProcessed(qint64 timestamp, const QList<double>& values)
{
    if (!m_recording)
        return;
    const RecordWriter::Result result = m_writer.writeProcessed(timestamp - m_recordStart, values);
    if (result != RecordWriter::Result::Written) {
        afterWrite(result, int(values.size()), m_writer.layout().channelCount * 3);
        return;
    }
    ++m_samples;
    m_lastElapsed = timestamp - m_recordStart;
}

void RecordSession::afterWrite(RecordWriter::Result result, int valueCount, int expected)
{
    if (result == RecordWriter::Result::Failed)
        writeFailed();
    else if (result == RecordWriter::Result::OtherLayout)
        otherLayout(valueCount, expected);
}

void RecordSession::otherLayout(int valueCount, int expected)
{
    writePending(true);
    writeEvent(SampleClock::nowMs(), RecordEvents::SourceHalvex,
        QStringLiteral("layout changed: %1 values instead of %2").arg(valueCount).arg(expected));
    closeRecord(QCoreApplication::translate(
        "Generic", "the instrument now sends %1 values per sample instead of %2; start a new record for the new layout")
                    .arg(valueCount)
                    .arg(expected));
    sendHook(m_endHook);
}

RecordSession::EventResult RecordSession::addEvent(const QString& source, const QString& text, qint64* elapsed)
{
    return addEventAt(SampleClock::nowMs(), source, text, elapsed);
}

RecordSession::EventResult RecordSession::addEventAt(
    qint64 timestamp, const QString& source, const QString& text, qint64* elapsed)
{
    if (source != RecordEvents::SourceHalvex)
        emit markMade(timestamp);
    return recordEvent(timestamp, source, text, elapsed);
}

RecordSession::EventResult RecordSession::recordEvent(
    qint64 timestamp, const QString& source, const QString& text, qint64* elapsed)
{
    QString cut = text;
    if (cut.size() > MaxEventText) {
        cut.truncate(MaxEventText);
        if (cut.back().isHighSurrogate())
            cut.chop(1);
    }
    if (!m_recording) {
        if (source != RecordEvents::SourceHalvex)
            emit markUnrecorded(timestamp, source, cut);
        return EventResult::NotRecording;
    }
    // The budget is for callers that could flood the record (the HTTP endpoint); the marker streams the user named
    // in the settings are not budgeted, so that no marker of theirs is lost.
    const bool budgeted = source != RecordEvents::SourceHalvex && !source.startsWith(RecordEvents::SourceLslPrefix);
    if (budgeted && !m_rates.take(source, SampleClock::monotonicMs()))
        return EventResult::TooMany;
    if (!writeEvent(timestamp, source, cut)) {
        writeFailed();
        return EventResult::Failed;
    }
    if (elapsed)
        *elapsed = timestamp - m_recordStart;
    return EventResult::Written;
}

bool RecordSession::writeEvent(qint64 timestamp, const QString& source, const QString& text)
{
    if (!m_pending.isEmpty() && timestamp >= m_pending.constFirst().timestamp) {
        const auto later = std::upper_bound(m_pending.begin(), m_pending.end(), timestamp,
            [](qint64 stamp, const PendingEvent& event) { return stamp < event.timestamp; });
        m_pending.insert(later, { timestamp, source, text, -1 });
    } else if (!m_writer.writeEvent(timestamp - m_recordStart, source, text)) {
        return false;
    }
    emit eventAdded(timestamp, source, text);
    return true;
}

bool RecordSession::writePending(bool dropHolds)
{
    while (!m_pending.isEmpty()) {
        const PendingEvent& first = m_pending.constFirst();
        if (first.ticket >= 0 && !dropHolds)
            return true;
        if (first.ticket < 0 && !m_writer.writeEvent(first.timestamp - m_recordStart, first.source, first.text)) {
            m_pending.clear();
            return false;
        }
        m_pending.removeFirst();
    }
    return true;
}

int RecordSession::holdEvent(qint64 timestamp)
{
    emit markMade(timestamp);
    if (!m_recording)
        return -1;
    const int ticket = m_nextTicket++;
    const auto later = std::upper_bound(m_pending.begin(), m_pending.end(), timestamp,
        [](qint64 stamp, const PendingEvent& event) { return stamp < event.timestamp; });
    m_pending.insert(later, { timestamp, QString(), QString(), ticket });
    return ticket;
}

RecordSession::EventResult RecordSession::releaseEvent(int ticket, const QString& source, const QString& text)
{
    const auto held = std::find_if(
        m_pending.begin(), m_pending.end(), [ticket](const PendingEvent& event) { return event.ticket == ticket; });
    if (!m_recording || ticket < 0 || held == m_pending.end())
        return EventResult::NotRecording;
    const qint64 timestamp = held->timestamp;
    m_pending.erase(held);
    // Stamped before the events that waited for it, it is written ahead of them (or waits behind an earlier hold).
    const EventResult result = source.isEmpty() ? EventResult::Written : recordEvent(timestamp, source, text, nullptr);
    if (m_recording && !writePending(false)) {
        writeFailed();
        return EventResult::Failed;
    }
    return result;
}

void RecordSession::addHalvexEvent(const QString& text)
{
    addEvent(RecordEvents::SourceHalvex, text);
}

void RecordSession::writeFailed()
{
    const QString message = m_writer.errorString();
    // The events file may be the one that failed; then this line is lost too, and nothing more is tried.
    writePending(true);
    m_writer.writeEvent(
        SampleClock::nowMs() - m_recordStart, RecordEvents::SourceHalvex, QStringLiteral("write error: ") + message);
    closeRecord(message);
    sendHook(m_endHook);
}

bool RecordSession::sendHook(const QString& url, QString* failure, bool report)
{
    if (url.isEmpty())
        return false;
    if (m_hookWaiting) {
        // A stop during the wait: its files are closed already, its end hook follows the one that waits.
        m_endHookPending = true;
        return false;
    }
    m_hookWaiting = true;
    emit hookWaitingChanged(true);
    const HttpHelper::Reply reply = HttpHelper::request(url);
    m_hookWaiting = false;
    emit hookWaitingChanged(false);
    const bool answered = reply.succeeded();
    if (!answered) {
        if (report)
            emit hookFailed(hookFailure(url, reply));
        if (failure)
            *failure = reply.status == 0 ? QStringLiteral("no answer")
                                         : QStringLiteral("HTTP ") + QString::number(reply.status);
    }
    if (m_endHookPending) {
        m_endHookPending = false;
        sendHook(m_endHook);
    }
    return answered;
}
