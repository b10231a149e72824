#include "InstrumentConnection.h"

#include "AbstractFnirDevice.h"
#include "ComFnirDevice.h"
#include "HalvexSettings.h"
#include "PortList.h"
#include "StyleHelper.h"
#include "VirtualFnirDevice.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString trGeneric(const char* text)
{
    return QCoreApplication::translate("Generic", text);
}

int virtualValueCount(int channels)
{
    return qBound(1, channels, 100) * 2;
}
} // namespace

InstrumentConnection::InstrumentConnection(HalvexSettings* settings, QWidget* window)
    : QObject(window)
    , m_settings(settings)
{
    m_deviceList = new QComboBox(window);
    m_deviceList->setObjectName(QStringLiteral("deviceList"));
    // A port the enumeration does not list (a Bluetooth rfcomm device, a pseudo-terminal) can be typed in.
    m_deviceList->setEditable(true);
    m_deviceList->setInsertPolicy(QComboBox::NoInsert);
    m_deviceList->setMinimumContentsLength(18);
    m_deviceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(m_deviceList->lineEdit(), &QLineEdit::returnPressed, this, [this]() {
        if (!m_device)
            onConnectClicked();
    });

    m_refreshButton = new QPushButton(window);
    m_refreshButton->setObjectName(QStringLiteral("refreshButton"));
    m_refreshButton->setFixedSize(28, 28);
    m_refreshButton->setIconSize(QSize(24, 24));
    m_refreshButton->setContentsMargins(0, 0, 0, 0);
    m_refreshButton->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(m_refreshButton, QStringLiteral(":/icons/refresh.svg"), QColor(QStringLiteral("#FFF")));
    m_refreshButton->setFlat(true);
    m_refreshButton->setToolTip(trGeneric("Refresh device list"));
    connect(m_refreshButton, &QPushButton::clicked, this, &InstrumentConnection::refreshDeviceList);

    m_connectButton = new QPushButton(trGeneric("Connect"), window);
    m_connectButton->setObjectName(QStringLiteral("connectButton"));
    m_connectButton->setCheckable(true);
    m_connectButton->setCursor(Qt::PointingHandCursor);
    const QKeySequence connectKey(Qt::CTRL | Qt::Key_K);
    m_connectButton->setShortcut(connectKey);
    m_connectButton->setToolTip(trGeneric("Connect") + QLatin1Char('/') + trGeneric("Disconnect") + QStringLiteral(" (")
        + connectKey.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(m_connectButton, &QPushButton::clicked, this, &InstrumentConnection::onConnectClicked);
    connect(m_connectButton, &QPushButton::toggled, this,
        [this](bool checked) { m_connectButton->setText(trGeneric(checked ? "Disconnect" : "Connect")); });

    m_message = new QLabel(window);
    m_message->setObjectName(QStringLiteral("connectionMessage"));
    m_message->setContentsMargins(8, 4, 8, 4);
    m_message->setWordWrap(true);
    m_message->hide();
    // The same warning colours in both themes: the message must stand out from the tool bar either way.
    m_message->setStyleSheet(QStringLiteral("QLabel { background: #FFCC00; color: #303030; }"));

    connect(m_settings, &HalvexSettings::changedUseVirtualDevice, this, &InstrumentConnection::refreshDeviceList);
    connect(
        m_settings, &HalvexSettings::changedVirtualDeviceChannels, this, [this]() { applyVirtualChannels(m_device); });
}

InstrumentConnection::~InstrumentConnection()
{
    m_connections.clear();
    if (m_device) {
        m_device->disconnectDevice();
        delete m_device;
        m_device = nullptr;
    }
}

void InstrumentConnection::autoConnect()
{
    const QString last = m_settings->getLastDevice();
    if (!m_settings->getRememberLastDevice() || last.isEmpty())
        return;
    for (int i = 0; i < m_deviceList->count(); ++i) {
        if (m_deviceList->itemText(i).contains(last)) {
            m_deviceList->setCurrentIndex(i);
            onConnectClicked();
            return;
        }
    }
    // A port path typed in earlier (an rfcomm device) is not listed; it is tried again when it exists.
    if (last.startsWith(QLatin1Char('/')) && QFileInfo::exists(last)) {
        m_deviceList->setEditText(last);
        onConnectClicked();
    }
}

void InstrumentConnection::applyVirtualChannels(AbstractFnirDevice* device) const
{
    if (auto* virtualDevice = qobject_cast<VirtualFnirDevice*>(device))
        virtualDevice->setChannelCount(virtualValueCount(m_settings->getVirtualDeviceChannels()));
}

void InstrumentConnection::refreshDeviceList()
{
    if (m_device)
        return;
    m_deviceList->clear();
    m_deviceList->addItems(availablePortEntries());
    if (m_settings->getUseVirtualDevice())
        m_deviceList->addItem(VirtualDeviceEntry);
}

void InstrumentConnection::onConnectClicked()
{
    emit connectClicked();
    if (m_device) {
        setDevice(nullptr);
        return;
    }
    const QString text = m_deviceList->currentText().trimmed();
    AbstractFnirDevice* device = nullptr;
    if (text == VirtualDeviceEntry) {
        device = new VirtualFnirDevice(parent());
        applyVirtualChannels(device);
    } else if (!text.isEmpty()) {
        device = new ComFnirDevice(text, parent());
    }
    setDevice(device);
}

void InstrumentConnection::setDevice(AbstractFnirDevice* device)
{
    if (device == m_device) {
        // The connect button toggles itself on a click; it must keep showing the real state.
        m_connectButton->setChecked(m_device != nullptr);
        return;
    }
    if (m_device) {
        emit deviceClosing();
        m_connections.clear();
        m_device->disconnectDevice();
        m_device->deleteLater();
        m_device = nullptr;
    }
    if (device) {
        m_device = device;
        m_message->hide();
        m_connections << connect(
            device, &AbstractFnirDevice::newData, this, &InstrumentConnection::newData, Qt::QueuedConnection);
        // Queued: a port that fails to open reports it from inside connectDevice() below.
        m_connections << connect(
            device, &AbstractFnirDevice::disconnected, this, &InstrumentConnection::onDeviceLost, Qt::QueuedConnection);
        m_settings->setLastDevice(device->deviceName());
        emit deviceChanged(device);
        device->connectDevice();
        m_deviceList->setEnabled(false);
        m_connectButton->setChecked(true);
        m_refreshButton->hide();
    } else {
        m_connectButton->setChecked(false);
        emit deviceChanged(nullptr);
        m_settings->setLastDevice(QString());
        m_deviceList->setEnabled(true);
        m_refreshButton->show();
        refreshDeviceList();
    }
}

void InstrumentConnection::setBlocked(bool blocked)
{
    m_connectButton->setEnabled(!blocked);
}

void InstrumentConnection::onDeviceLost()
{
    if (!m_device)
        return;
    const QString name = m_device->deviceName();
    setDevice(nullptr);
    // The instrument went away without the user's doing: it stays the one to reconnect at the next start.
    m_settings->setLastDevice(name);
    const int index = m_deviceList->findText(name, Qt::MatchStartsWith);
    if (index >= 0)
        m_deviceList->setCurrentIndex(index);
    else
        m_deviceList->setEditText(name);
    showMessage(trGeneric("The connection to %1 was lost or could not be opened.").arg(name));
}

void InstrumentConnection::showMessage(const QString& text)
{
    m_message->setText(text);
    m_message->show();
}

void InstrumentConnection::hideMessage()
{
    m_message->hide();
}
