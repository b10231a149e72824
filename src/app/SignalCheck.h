#pragma once

#include "LiveQuality.h"
#include "SignalCheckPanel.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class AcquisitionProcessor;
class HalvexSettings;
class InstrumentConnection;
class NoticeBar;
class QMainWindow;
class QPushButton;
class RecordSession;
class RecordsSettings;

// The live signal check of the window: every sample's R and IR go into LiveQuality, whose verdicts the "Signal
// check" dock shows once a second; a record that starts notes them in its events and names the weak channels in a
// notice. The dock, its tool-bar button and the notice are made here; the window places the button and the notice.
class SignalCheck : public QObject
{
    Q_OBJECT
public:
    static inline const QKeySequence PanelKey { Qt::CTRL | Qt::Key_4 };
    // A pause in the samples longer than this, or a clock that steps back as far, starts the window anew: the filter
    // would join what lies apart.
    static constexpr qint64 MaxPauseMs = 2000;

    SignalCheck(HalvexSettings* settings, RecordsSettings* recordsSettings, RecordSession* session,
        const AcquisitionProcessor* processor, InstrumentConnection* instrument, QMainWindow* window);

    SignalCheckPanel* panel() const { return m_panel; }
    QPushButton* button() const { return m_button; }
    NoticeBar* notice() const { return m_notice; }
    void setPanelShown(bool shown);

    // One raw sample that holds whole channels of valuesPerChannel values, R and IR the last two of each.
    void addSample(qint64 ts, const QList<double>& data, int valuesPerChannel);
    // Forgets the samples: another instrument, or one lost.
    void restart();
    // The graphs were laid out anew (channels, montage): the cells follow with the next sample.
    void rearrange() { m_arranged = false; }
    // One per instrument channel; empty before the first sample.
    const std::vector<LiveQuality::Quality>& qualities() const;

    // The record's event lines: "signal check: 1=0.93 2=0.41 bad 3=? 4=0.88 saturated", channels counted from 1,
    // "bad" below goodCoupling; continued on further lines where one would pass maxLength characters.
    static QStringList recordLines(
        const std::vector<LiveQuality::Quality>& qualities, double goodCoupling, int maxLength);

private:
    void onRecordingChanged(bool recording);
    void arrange(int channels);
    void showQualities();
    QString channelTitle(int channel) const;

    HalvexSettings* m_settings = nullptr;
    RecordsSettings* m_recordsSettings = nullptr;
    RecordSession* m_session = nullptr;
    const AcquisitionProcessor* m_processor = nullptr;
    SignalCheckPanel* m_panel = nullptr;
    QPushButton* m_button = nullptr;
    NoticeBar* m_notice = nullptr;

    std::unique_ptr<LiveQuality> m_quality;
    QList<SignalCheckPanel::Place> m_places;
    bool m_arranged = false;
    qint64 m_origin = 0;
    qint64 m_lastTs = 0;
    // Reused from sample to sample.
    std::vector<double> m_red;
    std::vector<double> m_infrared;
};
