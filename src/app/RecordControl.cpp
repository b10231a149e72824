#include "RecordControl.h"

#include "AppHelper.h"
#include "HalvexSettings.h"
#include "LanguageContext.h"
#include "NoticeBar.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "SampleClock.h"
#include "StyleHelper.h"
#include "TextHelper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

RecordControl::RecordControl(HalvexSettings* settings, QWidget* window)
    : QObject(window)
    , m_settings(settings)
    , m_window(window)
    , m_textAsker([](QWidget* parent, const TextAnswer& answer) {
        auto* dialog = new QInputDialog(parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowTitle(trGeneric("Mark"));
        dialog->setLabelText(trGeneric("Text of the mark (may stay empty):"));
        QObject::connect(dialog, &QDialog::finished, dialog,
            [dialog, answer](int result) { answer(result == QDialog::Accepted, dialog->textValue()); });
        dialog->open();
    })
{
    m_recordButton = new QPushButton(window);
    m_recordButton->setObjectName(QStringLiteral("recordButton"));
    m_recordButton->setCheckable(true);
    m_recordButton->setFixedSize(32, 32);
    m_recordButton->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(m_recordButton, QStringLiteral(":/icons/record.svg"), QColor(QStringLiteral("#FFF")));
    m_recordButton->setEnabled(false);
    const QKeySequence recordKey(Qt::CTRL | Qt::Key_R);
    m_recordButton->setToolTip(trGeneric("Start or stop recording") + QStringLiteral(" (")
        + recordKey.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(m_recordButton, &QPushButton::clicked, this, &RecordControl::onRecordClicked);
    connect(new QShortcut(recordKey, window), &QShortcut::activated, this, [this]() {
        if (m_recordButton->isEnabled())
            onRecordClicked();
    });

    m_session = new RecordSession(this);
    connect(m_session, &RecordSession::recordingChanged, this, &RecordControl::onRecordingChanged);
    // The hook waits in a nested event loop: a click there would start or stop inside the running start or stop.
    connect(m_session, &RecordSession::hookWaitingChanged, this, &RecordControl::updateRecordButton);
    connect(m_session, &RecordSession::recordClosed, this, &RecordControl::onRecordClosed);

    m_recordNotice = new NoticeBar(window);
    m_recordNotice->setObjectName(QStringLiteral("recordNotice"));
    m_hookNotice = new NoticeBar(window);
    m_hookNotice->setObjectName(QStringLiteral("hookNotice"));
    // The record goes on: the warning stays until it is closed or the next one replaces it.
    connect(m_session, &RecordSession::hookFailed, m_hookNotice,
        [this](const QString& message) { m_hookNotice->showNotice(NoticeBar::Warning, message); });

    m_recBadge = new QLabel(trGeneric("REC"), window);
    m_recBadge->setObjectName(QStringLiteral("recBadge"));
    m_recBadge->setToolTip(trGeneric("A record is running"));
    m_recBadge->setStyleSheet(QStringLiteral("QLabel { background: #D32F2F; color: #FFFFFF; font-weight: bold; "
                                             "border-radius: 3px; padding: 2px 6px; margin: 0 4px; }"));
    m_recBadge->hide();

    m_elapsedLabel = new QLabel(QStringLiteral("00:00"), window);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    m_elapsedLabel->setStyleSheet(QStringLiteral("font-size: 16px"));
    m_titleField = new QLineEdit(window);
    m_titleField->setObjectName(QStringLiteral("titleField"));
    m_titleField->setPlaceholderText(trGeneric("Название"));
    m_titleField->setMinimumWidth(120);

    m_markButton = new QPushButton(trGeneric("Mark"), window);
    m_markButton->setObjectName(QStringLiteral("markButton"));
    m_markButton->setCursor(Qt::PointingHandCursor);
    m_markButton->setEnabled(false);
    m_markButton->setToolTip(trGeneric("Put a mark into the record, with an optional text; F1 to F9 put the marks "
                                       "F1 to F9"));
    connect(m_markButton, &QPushButton::clicked, this, &RecordControl::onMarkClicked);
    for (int n = 1; n <= 9; ++n) {
        connect(new QShortcut(QKeySequence(Qt::Key_F1 + (n - 1)), window), &QShortcut::activated, this,
            [this, n]() { m_session->addEvent(RecordEvents::SourceKey, QStringLiteral("F") + QString::number(n)); });
    }
}

void RecordControl::onMarkClicked()
{
    // The events after the click wait for the mark's line, which keeps the click's time.
    const int ticket = m_session->holdEvent(SampleClock::nowMs());
    if (ticket < 0)
        return;
    const QPointer<RecordSession> session(m_session);
    m_textAsker(m_window, [session, ticket](bool given, const QString& text) {
        // A record that ended while the question was open took its place with it.
        if (!session)
            return;
        const QString trimmed = text.trimmed();
        session->releaseEvent(
            ticket, given ? RecordEvents::SourceKey : QString(), trimmed.isEmpty() ? QStringLiteral("Mark") : trimmed);
    });
}

void RecordControl::setDeviceAvailable(bool available)
{
    m_deviceAvailable = available;
    updateRecordButton();
}

void RecordControl::setDeviceWaitedFor(bool waitedFor)
{
    m_deviceWaitedFor = waitedFor;
    updateRecordButton();
}

void RecordControl::updateRecordButton()
{
    const bool canStart = m_deviceAvailable && !m_deviceWaitedFor;
    m_recordButton->setEnabled(!m_session->isHookWaiting() && (canStart || m_session->isRecording()));
}

void RecordControl::startRecord(const QString& name)
{
    m_session->setStartHook(m_settings->getSendOnStartRecord());
    m_session->setEndHook(m_settings->getSendOnEndRecord());
    const QString title = m_titleField->text();
    // The end hook waits in an event loop first, and the instrument may go away meanwhile.
    const bool ok = m_session->startRecord(name, [this, &title](RecordLayout& layout, QString& error) {
        if (!m_deviceAvailable || m_deviceWaitedFor) {
            error = trGeneric("The record did not start: no instrument is connected.");
            return false;
        }
        layout = m_layoutSource ? m_layoutSource() : RecordLayout();
        layout.title = title;
        return true;
    });
    if (ok)
        emit started();
    m_recordButton->setChecked(m_session->isRecording());
}

void RecordControl::stopRecord(const QString& cause)
{
    m_session->setEndHook(m_settings->getSendOnEndRecord());
    m_session->stopRecord(cause);
    m_recordButton->setChecked(m_session->isRecording());
}

void RecordControl::stopIfRecording(const QString& cause)
{
    if (m_session->isRecording())
        stopRecord(cause);
}

void RecordControl::onRecordClosed(const QString& fileName, qint64 samples, qint64 lastElapsed, const QString& cause)
{
    const QString count = QLocale().toString(samples);
    const auto openFolder = [this]() { AppHelper::openExplorer(m_dataFolder); };
    if (cause.isEmpty()) {
        m_recordNotice->showNotice(NoticeBar::Info, trGeneric("Saved %1 (%2 samples)").arg(fileName, count),
            trGeneric("Open folder"), openFolder, SavedNoticeMs);
        return;
    }
    m_recordNotice->showNotice(NoticeBar::Warning,
        trGeneric("The record stopped at %1: %2 samples are saved in %3. Cause: %4")
            .arg(TextHelper::TimeToText(double(lastElapsed) / 1000.0, false), count, fileName, cause),
        trGeneric("Open folder"), openFolder);
}

void RecordControl::onRecordClicked()
{
    if (m_session->isRecording())
        stopRecord();
    else
        startRecord();
}

void RecordControl::onRecordingChanged(bool recording)
{
    // Red in either theme, with the badge and a larger elapsed time: a running record is not to be missed.
    m_recordButton->setStyleSheet(
        recording ? QStringLiteral("QPushButton { background: #D32F2F; border: 1px solid #8E0000; }") : QString());
    m_recBadge->setVisible(recording);
    m_elapsedLabel->setStyleSheet(
        recording ? QStringLiteral("font-size: 18px; font-weight: bold") : QStringLiteral("font-size: 16px"));
    if (recording)
        m_recordNotice->hide();
    m_recordButton->setChecked(recording);
    m_titleField->setEnabled(!recording);
    m_markButton->setEnabled(recording);
    updateRecordButton();
    m_shownSeconds = -1;
    if (!recording)
        m_elapsedLabel->setText(QStringLiteral("00:00"));
}

void RecordControl::writeRaw(qint64 ts, const QList<double>& data)
{
    m_session->writeRaw(ts, data);
}

void RecordControl::writeProcessed(qint64 ts, const QList<double>& processed)
{
    if (!m_session->isRecording())
        return;
    m_session->writeProcessed(ts, processed);
    const qint64 elapsed = ts - m_session->recordStart();
    if (m_session->isRecording() && elapsed / 1000 != m_shownSeconds) {
        m_shownSeconds = elapsed / 1000;
        m_elapsedLabel->setText(TextHelper::TimeToText(double(elapsed) / 1000.0, false));
    }
}
