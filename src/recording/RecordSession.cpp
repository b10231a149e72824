#include "RecordSession.h"

#include "HttpHelper.h"

#include <QCoreApplication>
#include <QDateTime>

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
    m_recordStart = QDateTime::currentMSecsSinceEpoch();
    m_samples = 0;
    m_lastElapsed = 0;
    emit recordingChanged(true);

    sendHook(m_startHook);
    return m_recording;
}

void RecordSession::stopRecord(const QString& cause)
{
    closeRecord(cause);
    sendHook(m_endHook);
}

void RecordSession::closeRecord(const QString& cause)
{
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
    if (m_recording && !m_writer.writeRaw(timestamp - m_recordStart, values))
        writeFailed();
}

void RecordSession::writeProcessed(qint64 timestamp, const QList<double>& values)
{
    if (!m_recording)
        return;
    if (!m_writer.writeProcessed(timestamp - m_recordStart, values)) {
        writeFailed();
        return;
    }
    ++m_samples;
    m_lastElapsed = timestamp - m_recordStart;
}

void RecordSession::writeFailed()
{
    closeRecord(m_writer.errorString());
    sendHook(m_endHook);
}

void RecordSession::sendHook(const QString& url)
{
    if (url.isEmpty())
        return;
    if (m_hookWaiting) {
        // A stop during the wait: its files are closed already, its end hook follows the one that waits.
        m_endHookPending = true;
        return;
    }
    m_hookWaiting = true;
    emit hookWaitingChanged(true);
    const HttpHelper::Reply reply = HttpHelper::request(url);
    m_hookWaiting = false;
    emit hookWaitingChanged(false);
    if (!reply.succeeded())
        emit hookFailed(hookFailure(url, reply));
    if (m_endHookPending) {
        m_endHookPending = false;
        sendHook(m_endHook);
    }
}
