#include "RecordWiring.h"

#include "AbstractFnirDevice.h"
#include "InstrumentConnection.h"
#include "RecordControl.h"
#include "RecordSession.h"
#include "VirtualFnirDevice.h"

RecordWiring::RecordWiring(InstrumentConnection* instrument, RecordControl* control, QObject* parent)
    : QObject(parent)
{
    RecordSession* session = control->session();
    connect(instrument, &InstrumentConnection::connectClicked, control, [control]() { control->stopRecord(); });
    connect(instrument, &InstrumentConnection::deviceClosing, control, [control]() { control->stopIfRecording(); });
    connect(session, &RecordSession::hookWaitingChanged, instrument, &InstrumentConnection::setBlocked);
    connect(session, &RecordSession::failed, instrument, &InstrumentConnection::showMessage);
    connect(control, &RecordControl::started, instrument, &InstrumentConnection::hideMessage);
    // The record notes when the instrument went and came back; a wait that ends without it closes the record.
    connect(instrument, &InstrumentConnection::instrumentLost, control, [control, session]() {
        control->setDeviceWaitedFor(true);
        session->addHalvexEvent(QStringLiteral("instrument lost"));
    });
    connect(
        instrument, &InstrumentConnection::deviceChanged, control, [control]() { control->setDeviceWaitedFor(false); });
    // A port that opens again is still awaited until its first sample.
    connect(instrument, &InstrumentConnection::instrumentBack, control, [control, session]() {
        control->setDeviceWaitedFor(false);
        session->addHalvexEvent(QStringLiteral("instrument back"));
    });
    // Every mark reaches the virtual head, recording or not, and starts a response in it.
    connect(session, &RecordSession::markMade, instrument, [instrument](qint64 timestamp) {
        if (auto* head = qobject_cast<VirtualFnirDevice*>(instrument->device()))
            head->mark(timestamp);
    });
    connect(instrument, &InstrumentConnection::deviceLost, control,
        [control, session](const QString&, const QString& reason, bool waitedFor) {
            session->addHalvexEvent(
                waitedFor ? QStringLiteral("instrument not back") : QStringLiteral("instrument lost"));
            control->stopIfRecording(reason);
        });
}
