#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class HalvexSettings;
class LslMarkerInlet;
class MarkServer;
class QWidget;
class RecordSession;

// Puts the markers of other programs' LSL marker streams (the LslMarkerStreams setting) into the running record, as
// events of the source "lsl:<stream name>" at the time their sender stamped them; a marker stamped before the record
// began belongs to no record. The inlets it holds show in the mark endpoint's /status and in a tool tip.
class LslMarkerFeed : public QObject
{
    Q_OBJECT
public:
    LslMarkerFeed(HalvexSettings* settings, RecordSession* session, MarkServer* server, QObject* parent = nullptr);

    const LslMarkerInlet* inlet() const { return m_inlet; }
    // Lines naming each inlet, its host and whether its stream is seen; empty while none is held.
    QString statusText() const;
    // Keeps the widget's tool tip, as it is now, followed by statusText().
    void showStatusOn(QWidget* widget);

signals:
    // A line of the setting that cannot be used; the text says which and why.
    void problem(const QString& message);

private:
    void addMarker(const QString& stream, const QString& text, double sampleMs);
    void inletsChanged();
    void applyStreams();

    HalvexSettings* m_settings;
    RecordSession* m_session;
    MarkServer* m_server;
    LslMarkerInlet* m_inlet;
    QPointer<QWidget> m_statusWidget;
    QString m_baseToolTip;
};
