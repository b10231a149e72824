#pragma once

#include "RecordLayout.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class HalvexSettings;
class NoticeBar;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class RecordSession;

// The record button with its shortcut, the experiment title, the elapsed time and the marks (the Mark button and the
// keys F1 to F9), over the session that writes the files and sends the record hooks.
class RecordControl : public QObject
{
    Q_OBJECT
public:
    // Gives what the record's headers are made from, at the moment of the start.
    using LayoutSource = std::function<RecordLayout()>;
    // Called with the text of a mark, or given false when the user cancels.
    using TextAnswer = std::function<void(bool given, const QString& text)>;
    // Asks for the optional text of a mark and returns at once: a question with an event loop of its own would hold
    // a record hook that waits under it. Tests substitute one that answers when they say.
    using TextAsker = std::function<void(QWidget* parent, const TextAnswer& answer)>;

    // The widgets are children of window, which lays them out.
    RecordControl(HalvexSettings* settings, QWidget* window);

    QPushButton* recordButton() const { return m_recordButton; }
    QLineEdit* titleField() const { return m_titleField; }
    QLabel* elapsedLabel() const { return m_elapsedLabel; }
    QPushButton* markButton() const { return m_markButton; }
    QLabel* recBadge() const { return m_recBadge; }
    RecordSession* session() const { return m_session; }
    // Where a record went (or why it stopped), and what the stimulus program failed to answer.
    NoticeBar* recordNotice() const { return m_recordNotice; }
    NoticeBar* hookNotice() const { return m_hookNotice; }
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }

    // How long the "Saved" notice stays.
    static constexpr int SavedNoticeMs = 10000;

    void setLayoutSource(LayoutSource source) { m_layoutSource = std::move(source); }
    void setTextAsker(TextAsker asker) { m_textAsker = std::move(asker); }
    // A record starts only with an instrument connected, and not while it is lost and waited for; then the record
    // button only stops.
    void setDeviceAvailable(bool available);
    void setDeviceWaitedFor(bool waitedFor);

    // An empty name asks for the automatic base name (date, time and title). The record button follows the
    // recording state, so a start that fails leaves it unchecked and the session's failed() says why.
    void startRecord(const QString& name = QString());
    // A cause says why a record cannot go on; the notice names it.
    void stopRecord(const QString& cause = QString());
    void stopIfRecording(const QString& cause = QString());

    void writeRaw(qint64 ts, const QList<double>& data);
    void writeProcessed(qint64 ts, const QList<double>& processed);

signals:
    void started();

private:
    void onRecordClicked();
    void onRecordingChanged(bool recording);
    void onRecordClosed(const QString& fileName, qint64 samples, qint64 lastElapsed, const QString& cause);
    void updateRecordButton();
    // The mark is stamped at the click; the text asked for afterwards does not delay it.
    void onMarkClicked();

    HalvexSettings* m_settings = nullptr;
    RecordSession* m_session = nullptr;
    QPushButton* m_recordButton = nullptr;
    QLineEdit* m_titleField = nullptr;
    QLabel* m_elapsedLabel = nullptr;
    QPushButton* m_markButton = nullptr;
    QWidget* m_window = nullptr;
    QLabel* m_recBadge = nullptr;
    NoticeBar* m_recordNotice = nullptr;
    NoticeBar* m_hookNotice = nullptr;
    QString m_dataFolder;
    LayoutSource m_layoutSource;
    TextAsker m_textAsker;
    bool m_deviceAvailable = false;
    bool m_deviceWaitedFor = false;
    // The elapsed-time label changes once a second; the text is made only then.
    qint64 m_shownSeconds = -1;
};
