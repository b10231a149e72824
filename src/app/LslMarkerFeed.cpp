#include "LslMarkerFeed.h"

#include "HalvexSettings.h"
#include "LanguageContext.h"
#include "LslLibrary.h"
#include "LslMarkerInlet.h"
#include "MarkServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QWidget>

#include <cmath>

LslMarkerFeed::LslMarkerFeed(HalvexSettings* settings, RecordSession* session, MarkServer* server, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_session(session)
    , m_server(server)
    , m_inlet(new LslMarkerInlet(this))
{
    connect(m_inlet, &LslMarkerInlet::markerReceived, this, &LslMarkerFeed::addMarker);
    connect(m_inlet, &LslMarkerInlet::inletsChanged, this, &LslMarkerFeed::inletsChanged);
    // Queued: the lines of the settings are refused while this is made, before the window listens.
    connect(
        m_inlet, &LslMarkerInlet::refused, this,
        [this](const QString& line, const QString& reason) {
            emit problem(trGeneric("The LSL marker stream %1 is left out: %2.").arg(line, reason));
        },
        Qt::QueuedConnection);
    connect(m_settings, &HalvexSettings::changedLslMarkerStreams, this, &LslMarkerFeed::applyStreams);
    connect(m_settings, &HalvexSettings::changedLslStreamName, this, &LslMarkerFeed::applyStreams);
    applyStreams();
    inletsChanged();
}

void LslMarkerFeed::applyStreams()
{
    // The program's own marker outlet is "<LslStreamName>-markers": a predicate such as type='Markers' would
    // otherwise bring every mark back as a second one.
    m_inlet->setOwnMarkerStream(m_settings->getLslStreamName() + QStringLiteral("-markers"));
    m_inlet->setStreams(m_settings->getLslMarkerStreams());
}

void LslMarkerFeed::addMarker(const QString& stream, const QString& text, double sampleMs)
{
    // Only a running record takes markers, and only those stamped after its start; outside a record they are not
    // marks of this program, so they are not published again on its own marker stream either.
    const qint64 timestamp = std::llround(sampleMs);
    if (!m_session->isRecording() || timestamp < m_session->recordStart())
        return;
    // A stream's name may hold anything, a tab too: the source must stay one field of its line.
    m_session->addEventAt(timestamp, RecordEvents::SourceLslPrefix + RecordEvents::cleanText(stream).trimmed(), text);
}

void LslMarkerFeed::inletsChanged()
{
    // Without liblsl /status says nothing of LSL.
    if (!LslLibrary::available())
        return;
    QJsonArray inlets;
    for (const LslMarkerInlet::Inlet& inlet : m_inlet->inlets()) {
        inlets.append(QJsonObject { { QStringLiteral("name"), inlet.stream }, { QStringLiteral("host"), inlet.host },
            { QStringLiteral("connected"), inlet.connected } });
    }
    m_server->setLslInlets(inlets);
    if (m_statusWidget) {
        const QString status = statusText();
        m_statusWidget->setToolTip(status.isEmpty() ? m_baseToolTip : m_baseToolTip + QStringLiteral("\n\n") + status);
    }
}

QString LslMarkerFeed::statusText() const
{
    QString text;
    for (const LslMarkerInlet::Inlet& inlet : m_inlet->inlets()) {
        text += QLatin1Char('\n')
            + (inlet.connected ? trGeneric("%1 on %2: connected") : trGeneric("%1 on %2: lost, waited for"))
                  .arg(inlet.stream, inlet.host);
    }
    return text.isEmpty() ? text : trGeneric("LSL marker streams received:") + text;
}

void LslMarkerFeed::showStatusOn(QWidget* widget)
{
    m_statusWidget = widget;
    m_baseToolTip = widget->toolTip();
    inletsChanged();
}
