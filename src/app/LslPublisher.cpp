#include "LslPublisher.h"

#include "AbstractFnirDevice.h"
#include "ComFnirDevice.h"
#include "HalvexSettings.h"
#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "LslLibrary.h"
#include "MarkServer.h"
#include "RecordEvents.h"
#include "RecordSession.h"
#include "RecordsSettings.h"

#include <QJsonObject>
#include <QLabel>

LslPublisher::LslPublisher(HalvexSettings* settings, RecordsSettings* optics, InstrumentConnection* instrument,
    RecordSession* session, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_optics(optics)
    , m_instrument(instrument)
{
    m_flush.setSingleShot(true);
    m_flush.setInterval(int(LslSampleOutlet::HoldMs));
    connect(&m_flush, &QTimer::timeout, this, [this]() { m_samples.flush(); });
    // A name typed in the settings changes with every key: the streams follow once the typing pauses, so that
    // consumers do not see a stream come and go for every prefix of the name.
    m_rename.setSingleShot(true);
    m_rename.setInterval(RenameDelayMs);
    connect(&m_rename, &QTimer::timeout, this, &LslPublisher::reopen);
    if (!LslLibrary::available())
        return;
    connect(instrument, &InstrumentConnection::deviceChanged, this, &LslPublisher::reopen);
    // After the instrument connection applied them to the virtual instrument: its rate is the stream's.
    connect(settings, &HalvexSettings::changedLslOutlet, this, &LslPublisher::reopen);
    connect(settings, &HalvexSettings::changedLslStreamName, &m_rename, qOverload<>(&QTimer::start));
    connect(settings, &HalvexSettings::changedVirtualRate, this, &LslPublisher::reopen);
    connect(settings, &HalvexSettings::changedVirtualSignal, this, &LslPublisher::reopen);
    connect(optics, &RecordsSettings::changedRedWavelength, this, &LslPublisher::reopen);
    connect(optics, &RecordsSettings::changedInfraredWavelength, this, &LslPublisher::reopen);
    connect(optics, &RecordsSettings::reloaded, this, &LslPublisher::reopen);
    connect(session, &RecordSession::eventAdded, this, &LslPublisher::pushMarker);
    connect(session, &RecordSession::markUnrecorded, this, &LslPublisher::pushMarker);
}

QString LslPublisher::marker(const QString& source, const QString& text)
{
    return source + QLatin1Char('\t') + RecordEvents::cleanText(text);
}

void LslPublisher::reopen()
{
    m_rename.stop(); // what a pending rename would do is done here
    m_samples.close();
    m_markers.close();
    AbstractFnirDevice* device = m_instrument->device();
    m_active = device && m_settings->getLslOutlet() && !m_settings->getLslStreamName().trimmed().isEmpty();
    if (m_active) {
        m_base.name = m_settings->getLslStreamName().trimmed();
        m_base.sourceId = sourceId(device);
        m_base.nominalRate = device->nominalRate();
        m_base.redNm = m_optics->getRedWavelength();
        m_base.infraredNm = m_optics->getInfraredWavelength();
        m_markers.open(LslMarkerOutlet::streamName(m_base.name), m_base.sourceId + QStringLiteral("-markers"));
        // The samples' stream waits for the first sample, which tells its layout.
    }
    emit streamsChanged();
}

void LslPublisher::reshape(int valueCount, int valuesPerChannel)
{
    LslSampleOutlet::Description description = m_base;
    description.valueCount = valueCount;
    description.valuesPerChannel = valuesPerChannel;
    // Tried once per layout: a library that refuses the stream is not asked again for every sample.
    m_samples.open(description);
    emit streamsChanged();
}

void LslPublisher::pushMarker(qint64 timestamp, const QString& source, const QString& text)
{
    m_markers.push(timestamp, marker(source, text));
}

QString LslPublisher::sourceId(AbstractFnirDevice* device) const
{
    if (!qobject_cast<ComFnirDevice*>(device))
        return VirtualSourceId;
    const PortIdentity& identity = m_instrument->identity();
    // The serial number follows the instrument from port to port; without one, the port is all there is.
    return identity.canFollow() ? QStringLiteral("halvex-serial-") + identity.serialNumber()
                                : QStringLiteral("halvex-port-") + device->deviceName();
}

QJsonArray LslPublisher::outlets() const
{
    QJsonArray list;
    const auto add
        = [&list](const QString& name, const QString& type, const QString& sourceId, int channels, double rate) {
              list.append(QJsonObject { { QStringLiteral("name"), name }, { QStringLiteral("type"), type },
                  { QStringLiteral("source_id"), sourceId }, { QStringLiteral("channels"), channels },
                  { QStringLiteral("rate"), rate } });
          };
    if (m_samples.isOpen()) {
        const LslSampleOutlet::Description& d = m_samples.description();
        add(d.name, LslSampleOutlet::StreamType, d.sourceId, d.valueCount, d.nominalRate);
    }
    if (m_markers.isOpen())
        add(m_markers.name(), LslMarkerOutlet::StreamType, m_markers.sourceId(), 1, 0);
    return list;
}

QString LslPublisher::statusText() const
{
    if (!LslLibrary::available())
        return trGeneric("Lab Streaming Layer: not built into this program");
    QStringList streams;
    if (m_samples.isOpen())
        streams << QStringLiteral("%1 (%2, %3)")
                       .arg(m_samples.description().name, LslSampleOutlet::StreamType)
                       .arg(m_samples.description().valueCount);
    if (m_markers.isOpen())
        streams << QStringLiteral("%1 (%2)").arg(m_markers.name(), LslMarkerOutlet::StreamType);
    if (streams.isEmpty())
        return trGeneric("Lab Streaming Layer: no stream published");
    return trGeneric("Lab Streaming Layer: publishes %1").arg(streams.join(QStringLiteral(", ")));
}

void LslPublisher::showIn(QLabel* label, MarkServer* server)
{
    const auto show = [this, label, server]() {
        label->setToolTip(statusText());
        server->setLslOutlets(outlets());
    };
    show();
    connect(this, &LslPublisher::streamsChanged, label, show);
}
