#pragma once

#include "ConnectionHelper.h"

#include <QList>
#include <QObject>
#include <QString>

class AbstractFnirDevice;
class HalvexSettings;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// The instrument the window reads from: the device list with its refresh and connect buttons, the remembered
// instrument connected at start, and the message shown when the connection is lost or cannot be opened.
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
    QLabel* messageLabel() const { return m_message; }

    void refreshDeviceList();
    void onConnectClicked();
    void setDevice(AbstractFnirDevice* device);
    // Connects the instrument of the last run when the settings ask for it.
    void autoConnect();
    // While a record hook waits in a nested event loop the instrument must not change under it.
    void setBlocked(bool blocked);

    void showMessage(const QString& text);
    void hideMessage();

signals:
    // A click on Connect or Disconnect, before anything changes: a record ends there.
    void connectClicked();
    // The current instrument is about to be closed.
    void deviceClosing();
    void deviceChanged(AbstractFnirDevice* device);
    void newData(qint64 ts, const QList<double>& data);

private:
    void onDeviceLost();
    void applyVirtualChannels(AbstractFnirDevice* device) const;

    HalvexSettings* m_settings = nullptr;
    AbstractFnirDevice* m_device = nullptr;
    ConnectionHelper m_connections { QStringLiteral("InstrumentConnection device") };
    QComboBox* m_deviceList = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLabel* m_message = nullptr;
};
