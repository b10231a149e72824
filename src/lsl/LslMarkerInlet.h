#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class LslInletWorker;

// Receives the markers of other programs' LSL marker streams (a stimulus program's, for example). The streams are
// resolved continuously on a thread of its own, which opens an inlet per stream and takes a stream that goes away
// and comes back with the same source_id up again; the GUI thread never waits for the network. Each marker is told
// with its time on the sample clock: the sender's time stamp corrected by the inlet's time_correction(). Without
// liblsl it receives nothing.
class LslMarkerInlet : public QObject
{
    Q_OBJECT
public:
    struct Inlet
    {
        QString stream;
        QString host;
        bool connected = false; // false while the stream is not seen on the network (the inlet waits for it)
        bool operator==(const Inlet& other) const
        {
            return stream == other.stream && host == other.host && connected == other.connected;
        }
    };

    // A stream that goes quiet on the network is shown lost after this many seconds.
    static constexpr double ForgetAfterSeconds = 2.0;

    explicit LslMarkerInlet(QObject* parent = nullptr);
    ~LslMarkerInlet() override;

    // Resolves the streams of these lines from now on (LslMarkerQuery), dropping the inlets held before; lines it
    // refuses are told by refused(). Empty: receives nothing.
    void setStreams(const QString& lines);
    // The program's own marker outlet, never taken as an inlet even where a predicate matches it (its marks would
    // come back as marks of another program): its name, and its source_id or, when empty, this computer.
    void setOwnMarkerStream(const QString& name, const QString& sourceId = QString());
    const QList<Inlet>& inlets() const { return m_inlets; }

signals:
    // sampleMs: the marker's time on the sample clock (SampleClock), in ms since the epoch.
    void markerReceived(const QString& stream, const QString& text, double sampleMs);
    void inletsChanged();
    void refused(const QString& line, const QString& reason);

private:
    void restart();

    QString m_lines;
    QString m_ownName;
    QString m_ownSourceId;
    QList<Inlet> m_inlets;
    // What the worker tells after a restart belongs to an earlier generation and is dropped.
    quint64 m_generation = 0;
    std::unique_ptr<LslInletWorker> m_worker;
    // Workers asked to stop that may still be ending (joined when they have, or at the latest in the destructor).
    std::vector<std::unique_ptr<LslInletWorker>> m_ending;
};
