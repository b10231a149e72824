#pragma once

#include "BeerLambert.h"
#include "ConnectionHelper.h"
#include "PortIdentity.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class AbstractFnirDevice;
class HalvexSettings;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// The instrument the window reads from: the device list with its refresh and connect buttons, the remembered
// instrument connected at start, and the message shown when the connection is lost or cannot be opened.
//
// A serial instrument that is lost while open (a pulled cable, a slipping connector) is waited for rather than
// dropped: the instrument stays current, so a running record stays open, and its port is tried again once a second
// (or the port that now reports the same serial number, for a renumbered USB adapter) for up to ReconnectSeconds.
// The wait ends with the first sample after the port opened again, when the time, counted from the loss, runs out
// or the user gives up (then the instrument is dropped as without a wait), or when the user disconnects. A port
// that opens and fails again before its first sample (a flapping connector) is the same loss, waited for within
// the same time.
class InstrumentConnection : public QObject
{
    Q_OBJECT
public:
    static inline const QString VirtualDeviceEntry = QStringLiteral("Virtual FNIR");

    // The widgets are children of window, which lays them out.
    InstrumentConnection(HalvexSettings* settings, QWidget* window);
    ~InstrumentConnection() override;

    AbstractFnirDevice* device() const { return m_device; }
    QComboBox* deviceList() const { return m_deviceList; }
    QPushButton* connectButton() const { return m_connectButton; }
    QPushButton* refreshButton() const { return m_refreshButton; }
    // The message with the give-up button beside it, laid out by the window.
    QWidget* messageBar() const { return m_messageBar; }
    QPushButton* giveUpButton() const { return m_giveUpButton; }
    // From the loss until the first sample after the return.
    bool isWaiting() const { return m_waiting; }
    // The serial instrument's port and serial number, taken when it was made current; empty for the virtual one.
    const PortIdentity& identity() const { return m_identity; }
    // The ports to look for a returning instrument in; the system's by default.
    void setPortLister(PortLister lister) { m_portLister = std::move(lister); }
    // What the virtual head turns its haemoglobin into light with: the wavelengths and optics of the records.
    void setOptics(const BeerLambert::Settings& optics);

    void refreshDeviceList();
    void onConnectClicked();
    void setDevice(AbstractFnirDevice* device);
    // Connects the instrument of the last run when the settings ask for it.
    void autoConnect();
    // While a record hook waits in a nested event loop the instrument must not change under it.
    void setBlocked(bool blocked);

    void showMessage(const QString& text);
    void hideMessage();
    // Says, once per instrument, that its lines of valueCount values are dropped because they do not make whole
    // channels of valuesPerChannel.
    void reportMisfitLines(int valueCount, int valuesPerChannel);
    // Ends a wait for a lost instrument at once, as if the time had run out.
    void giveUp();

    // How long a connected instrument may stay silent before the window says so; the silence is checked ten times
    // in that span.
    static constexpr int SilenceMs = 5000;
    void setSilenceMs(int ms);
    // How often the port of a lost instrument is tried again (once a second by default).
    void setRetryIntervalMs(int ms) { m_retryTimer.setInterval(ms); }

signals:
    // A click on Connect or Disconnect, before anything changes: a record ends there.
    void connectClicked();
    // The current instrument went away or did not open; reason is what it says about it, or the generic words.
    // waitedFor: it had been lost before (instrumentLost()) and did not come back in time.
    void deviceLost(const QString& name, const QString& reason, bool waitedFor);
    // The current instrument is about to be closed.
    void deviceClosing();
    void deviceChanged(AbstractFnirDevice* device);
    void newData(qint64 ts, const QList<double>& data);
    // The instrument was lost and is being waited for; it stays current.
    void instrumentLost();
    // Its port is open again: what was built from the samples before the loss must start afresh. The wait goes on
    // until the first sample.
    void instrumentReopened();
    // The first sample after a return, which ends the wait (a port that opens but sends nothing has not come back).
    void instrumentBack(qint64 ts);

private:
    void onDeviceLost();
    void onNewData(qint64 ts, const QList<double>& data);
    void dropLostDevice(bool waitedFor);
    void stopWaiting();
    void retry();
    void showWaiting();
    void checkSilence();
    // Sizes and shapes the virtual instrument by the settings; created: it is new.
    void applyVirtualSettings(AbstractFnirDevice* device, bool created) const;

    HalvexSettings* m_settings = nullptr;
    AbstractFnirDevice* m_device = nullptr;
    ConnectionHelper m_connections { QStringLiteral("InstrumentConnection device") };
    QComboBox* m_deviceList = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLabel* m_message = nullptr;
    QWidget* m_messageBar = nullptr;
    QPushButton* m_giveUpButton = nullptr;

    PortLister m_portLister;
    BeerLambert::Settings m_optics;
    PortIdentity m_identity; // of the serial instrument, taken when it was made current
    bool m_opened = false; // the current instrument has been open: only then can it be lost
    bool m_waiting = false;
    bool m_returning = false; // reopened during the wait, no sample yet
    QTimer m_retryTimer;
    QDeadlineTimer m_waitEnd;
    bool m_blocked = false;
    QTimer* m_silenceCheck = nullptr;
    QElapsedTimer m_sinceData;
    int m_silenceMs = SilenceMs;
    bool m_silenceShown = false;
    QString m_silenceText;
    bool m_misfitReported = false;
};
