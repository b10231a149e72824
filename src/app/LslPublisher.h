#pragma once

#include "LslMarkerOutlet.h"
#include "LslSampleOutlet.h"

#include <QJsonArray>
#include <QObject>
#include <QTimer>

class AbstractFnirDevice;
class HalvexSettings;
class InstrumentConnection;
class QLabel;
class MarkServer;
class RecordSession;
class RecordsSettings;

// What the program publishes on the Lab Streaming Layer while an instrument is connected and LslOutlet is on: the
// samples (LslSampleOutlet, made with the first sample and again when the layout of the samples changes) and every
// event of the record's ".events" file, and every mark made while no record runs, as markers "source<TAB>text"
// (LslMarkerOutlet). A change of the instrument or of the settings the streams are described with makes them anew.
// The tool bar's rate label and the mark endpoint's status name the streams.
class LslPublisher : public QObject
{
    Q_OBJECT
public:
    static inline const QString VirtualSourceId = QStringLiteral("halvex-virtual-instrument");
    // How long the stream name must stay unchanged before the streams take it.
    static constexpr int RenameDelayMs = 1000;

    LslPublisher(HalvexSettings* settings, RecordsSettings* optics, InstrumentConnection* instrument,
        RecordSession* session, QObject* parent = nullptr);

    // Every sample the window takes, cut into channels of valuesPerChannel values.
    void pushSample(qint64 timestamp, const QList<double>& data, int valuesPerChannel)
    {
        if (m_active
            && (data.size() != m_samples.description().valueCount
                || valuesPerChannel != m_samples.description().valuesPerChannel))
            reshape(int(data.size()), valuesPerChannel);
        m_samples.push(timestamp, data);
        // What is held goes out by itself when no sample follows it soon.
        if (m_samples.pending() && !m_flush.isActive())
            m_flush.start();
    }
    // The marker of an event as the marker stream carries it.
    static QString marker(const QString& source, const QString& text);

    const LslSampleOutlet& sampleOutlet() const { return m_samples; }
    const LslMarkerOutlet& markerOutlet() const { return m_markers; }
    // The open streams as the mark endpoint's status lists them.
    QJsonArray outlets() const;
    // One line for a tooltip: the streams published, none, or that the program has no LSL.
    QString statusText() const;
    // Keeps the label's tooltip and the endpoint's status up to date.
    void showIn(QLabel* label, MarkServer* server);

signals:
    void streamsChanged();

private:
    void reopen();
    void reshape(int valueCount, int valuesPerChannel);
    void pushMarker(qint64 timestamp, const QString& source, const QString& text);
    QString sourceId(AbstractFnirDevice* device) const;

    HalvexSettings* m_settings;
    RecordsSettings* m_optics;
    InstrumentConnection* m_instrument;
    LslSampleOutlet m_samples;
    LslMarkerOutlet m_markers;
    QTimer m_flush;
    QTimer m_rename;
    LslSampleOutlet::Description m_base; // without the layout of the samples
    bool m_active = false; // an instrument is connected and the setting is on
};
