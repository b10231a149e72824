#include "RecordSession.h"

#include "HttpHelper.h"

#include <QDateTime>

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
    emit recordingChanged(true);

    sendHook(m_startHook);
    return m_recording;
}

void RecordSession::stopRecord()
{
    closeRecord();
    sendHook(m_endHook);
}

void RecordSession::closeRecord()
{
    const bool wasRecording = m_recording;
    m_recording = false;
    m_writer.close();
    if (wasRecording)
        emit recordingChanged(false);
}

void RecordSession::writeRaw(qint64 timestamp, const QList<double>& values)
{
    if (m_recording && !m_writer.writeRaw(timestamp - m_recordStart, values))
        writeFailed();
}

void RecordSession::writeProcessed(qint64 timestamp, const QList<double>& values)
{
    if (m_recording && !m_writer.writeProcessed(timestamp - m_recordStart, values))
        writeFailed();
}

void RecordSession::writeFailed()
{
    closeRecord();
    emit failed(m_writer.errorString());
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
    HttpHelper::getJson(url);
    m_hookWaiting = false;
    emit hookWaitingChanged(false);
    if (m_endHookPending) {
        m_endHookPending = false;
        sendHook(m_endHook);
    }
}
