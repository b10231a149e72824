#include "InstrumentConnection.h"

#include "AbstractFnirDevice.h"
#include "ComFnirDevice.h"
#include "HalvexSettings.h"
#include "LanguageContext.h"
#include "PortList.h"
#include "StyleHelper.h"
#include "VirtualFnirDevice.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

InstrumentConnection::InstrumentConnection(HalvexSettings* settings, QWidget* window)
    : QObject(window)
    , m_settings(settings)
    , m_portLister(systemPorts)
{
    m_deviceList = new QComboBox(window);
    m_deviceList->setObjectName(QStringLiteral("deviceList"));
    // A port the enumeration does not list (a Bluetooth rfcomm device, a pseudo-terminal) can be typed in.
    m_deviceList->setEditable(true);
    m_deviceList->setInsertPolicy(QComboBox::NoInsert);
    m_deviceList->setMinimumContentsLength(18);
    m_deviceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Enter is the connect button's click, with its guard.
    connect(m_deviceList->lineEdit(), &QLineEdit::returnPressed, this, [this]() {
        if (!m_device && !m_blocked)
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
    m_connectButton->setMinimumWidth(qMax(m_connectButton->fontMetrics().horizontalAdvance(trGeneric("Connect")),
                                         m_connectButton->fontMetrics().horizontalAdvance(trGeneric("Disconnect")))
        + 20);
    m_connectButton->setCursor(Qt::PointingHandCursor);
    // A shortcut of the window, not of the button: setText() replaces a button's shortcut with the text's mnemonic.
    const QKeySequence connectKey(Qt::CTRL | Qt::Key_K);
    connect(new QShortcut(connectKey, window), &QShortcut::activated, this, [this]() {
        if (m_connectButton->isEnabled())
            m_connectButton->click();
    });
    m_connectButton->setToolTip(trGeneric("Connect") + QLatin1Char('/') + trGeneric("Disconnect") + QStringLiteral(" (")
        + connectKey.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(m_connectButton, &QPushButton::clicked, this, &InstrumentConnection::onConnectClicked);
    connect(m_connectButton, &QPushButton::toggled, this,
        [this](bool checked) { m_connectButton->setText(trGeneric(checked ? "Disconnect" : "Connect")); });

    m_messageBar = new QWidget(window);
    m_messageBar->setObjectName(QStringLiteral("connectionMessageBar"));
    m_messageBar->setAttribute(Qt::WA_StyledBackground);
    m_messageBar->hide();
    // The same warning colours in both themes: the message must stand out from the tool bar either way.
    m_messageBar->setStyleSheet(QStringLiteral(
        "#connectionMessageBar { background: #FFCC00; } QLabel { background: #FFCC00; color: #303030; }"));
    m_message = new QLabel(m_messageBar);
    m_message->setObjectName(QStringLiteral("connectionMessage"));
    m_message->setContentsMargins(8, 4, 8, 4);
    m_message->setWordWrap(true);
    m_giveUpButton = new QPushButton(trGeneric("Give up"), m_messageBar);
    m_giveUpButton->setObjectName(QStringLiteral("giveUpButton"));
    m_giveUpButton->setCursor(Qt::PointingHandCursor);
    m_giveUpButton->hide();
    connect(m_giveUpButton, &QPushButton::clicked, this, &InstrumentConnection::giveUp);
    auto* bar = new QHBoxLayout(m_messageBar);
    bar->setContentsMargins(0, 0, 4, 0);
    bar->addWidget(m_message, 100);
    bar->addWidget(m_giveUpButton);

    m_retryTimer.setInterval(1000);
    connect(&m_retryTimer, &QTimer::timeout, this, &InstrumentConnection::retry);

    m_silenceCheck = new QTimer(this);
    setSilenceMs(SilenceMs);
    connect(m_silenceCheck, &QTimer::timeout, this, &InstrumentConnection::checkSilence);

    connect(m_settings, &HalvexSettings::changedUseVirtualDevice, this, &InstrumentConnection::refreshDeviceList);
    const auto applyVirtual = [this]() { applyVirtualSettings(m_device, false); };
    connect(m_settings, &HalvexSettings::changedVirtualDeviceChannels, this, applyVirtual);
    connect(m_settings, &HalvexSettings::changedVirtualSignal, this, applyVirtual);
    connect(m_settings, &HalvexSettings::changedVirtualRate, this, applyVirtual);
    connect(m_settings, &HalvexSettings::changedVirtualBadChannelEvery, this, applyVirtual);
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

void InstrumentConnection::setOptics(const BeerLambert::Settings& optics)
{
    m_optics = optics;
    applyVirtualSettings(m_device, false);
}

void InstrumentConnection::applyVirtualSettings(AbstractFnirDevice* device, bool created) const
{
    auto* virtualDevice = qobject_cast<VirtualFnirDevice*>(device);
    if (!virtualDevice)
        return;
    // The head sends whole channels of the acquisition variant, so that its V, R and IR land where they belong.
    // The variant of the connection holds until the next: a record keeps its variant until it ends, and its lines
    // must keep their length.
    if (created)
        virtualDevice->setValuesPerChannel(m_settings->getAcquisition() == HalvexSettings::Acquire_VRIR ? 3 : 2);
    const bool head = m_settings->getVirtualSignal() == HalvexSettings::Head;
    virtualDevice->setRate(m_settings->getVirtualRate());
    virtualDevice->setBadChannelEvery(m_settings->getVirtualBadChannelEvery());
    virtualDevice->setOptics(m_optics);
    virtualDevice->setSignal(head ? VirtualFnirDevice::Signal::Head : VirtualFnirDevice::Signal::RandomWalk);
    // The random walk sends pairs whatever the variant.
    const int count
        = qBound(1, m_settings->getVirtualDeviceChannels(), 100) * (head ? virtualDevice->valuesPerChannel() : 2);
    if (created || count != virtualDevice->channelCount())
        virtualDevice->setChannelCount(count);
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
        applyVirtualSettings(device, true);
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
    stopWaiting();
    m_opened = false;
    m_misfitReported = false;
    if (m_device) {
        emit deviceClosing();
        m_connections.clear();
        m_device->disconnectDevice();
        m_device->deleteLater();
        m_device = nullptr;
    }
    if (device) {
        m_device = device;
        hideMessage();
        m_identity = qobject_cast<ComFnirDevice*>(device) ? PortIdentity::find(device->deviceName(), m_portLister())
                                                          : PortIdentity();
        m_connections << connect(
            device, &AbstractFnirDevice::newData, this, &InstrumentConnection::onNewData, Qt::QueuedConnection);
        m_connections << connect(device, &AbstractFnirDevice::connected, this, [this]() { m_opened = true; });
        m_connections << connect(device, &AbstractFnirDevice::newData, this, [this]() {
            m_sinceData.restart();
            if (m_silenceShown) {
                // Only the silence notice goes: a message shown since then stays.
                m_silenceShown = false;
                if (m_message->text() == m_silenceText)
                    hideMessage();
            }
        });
        m_sinceData.start();
        m_silenceShown = false;
        m_silenceCheck->start();
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
        m_silenceCheck->stop();
        m_silenceShown = false;
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
    m_blocked = blocked;
    m_connectButton->setEnabled(!blocked);
}

void InstrumentConnection::onNewData(qint64 ts, const QList<double>& data)
{
    if (m_returning) {
        stopWaiting();
        hideMessage();
        emit instrumentBack(ts);
    }
    emit newData(ts, data);
}

void InstrumentConnection::onDeviceLost()
{
    if (!m_device)
        return;
    if (m_waiting) {
        // Open again but failed before its first sample: still the same loss, with the same time left.
        if (m_returning) {
            m_returning = false;
            showWaiting();
        }
        return;
    }
    const int seconds = m_settings->getReconnectSeconds();
    // A port that never opened is not lost; the virtual instrument never is.
    if (seconds <= 0 || !m_opened || !qobject_cast<ComFnirDevice*>(m_device)) {
        dropLostDevice(false);
        return;
    }
    m_waiting = true;
    m_returning = false;
    m_waitEnd.setRemainingTime(qint64(seconds) * 1000);
    m_retryTimer.start();
    showWaiting();
    emit instrumentLost();
}

void InstrumentConnection::retry()
{
    auto* serial = qobject_cast<ComFnirDevice*>(m_device);
    if (!m_waiting || !serial)
        return;
    if (m_waitEnd.hasExpired()) {
        giveUp();
        return;
    }
    if (m_returning) {
        showWaiting();
        return;
    }
    // Only an instrument with a serial number can be recognised under another name; the listing costs a walk
    // of the system's devices, so it is skipped for the others.
    const QStringList names = m_identity.candidates(m_identity.canFollow() ? m_portLister() : QList<PortListing>());
    for (const QString& name : names) {
        serial->setPortName(name);
        bool open = false;
        {
            // A failed attempt reports disconnected(), which must not read as another loss.
            const QSignalBlocker quiet(serial);
            open = serial->connectDevice();
        }
        if (open) {
            m_returning = true;
            m_settings->setLastDevice(name);
            emit instrumentReopened();
            return;
        }
    }
    showWaiting();
}

void InstrumentConnection::showWaiting()
{
    const qint64 seconds = (m_waitEnd.remainingTime() + 999) / 1000;
    const QString left = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    m_giveUpButton->show();
    showMessage(trGeneric("Instrument lost — waiting for it to return (%1)").arg(left));
}

void InstrumentConnection::stopWaiting()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_returning = false;
    m_retryTimer.stop();
    m_giveUpButton->hide();
}

void InstrumentConnection::giveUp()
{
    if (!m_waiting)
        return;
    stopWaiting();
    dropLostDevice(true);
}

void InstrumentConnection::dropLostDevice(bool waitedFor)
{
    if (!m_device)
        return;
    const QString name = m_device->deviceName();
    const QString reason = m_device->errorString();
    emit deviceLost(name,
        reason.isEmpty() ? trGeneric("the connection to %1 was lost").arg(name)
                         : trGeneric("the connection to %1 was lost: %2").arg(name, reason),
        waitedFor);
    setDevice(nullptr);
    // The instrument went away without the user's doing: it stays the one to reconnect at the next start.
    m_settings->setLastDevice(name);
    const int index = m_deviceList->findText(name, Qt::MatchStartsWith);
    if (index >= 0)
        m_deviceList->setCurrentIndex(index);
    else
        m_deviceList->setEditText(name);
    QString text = trGeneric("The connection to %1 was lost or could not be opened.").arg(name);
    if (!reason.isEmpty())
        text += QLatin1Char(' ') + reason;
    showMessage(text);
}

void InstrumentConnection::checkSilence()
{
    if (!m_device || m_waiting || m_silenceShown || m_sinceData.elapsed() < m_silenceMs)
        return;
    m_silenceShown = true;
    m_silenceText = trGeneric("No data from %1 for %2 s: is the instrument switched on and at 115200 baud?")
                        .arg(m_device->deviceName())
                        .arg(m_silenceMs / 1000);
    showMessage(m_silenceText);
}

void InstrumentConnection::setSilenceMs(int ms)
{
    m_silenceMs = ms;
    m_silenceCheck->setInterval(ms / 10);
}

void InstrumentConnection::showMessage(const QString& text)
{
    m_message->setText(text);
    m_messageBar->show();
}

void InstrumentConnection::reportMisfitLines(int valueCount, int valuesPerChannel)
{
    if (m_misfitReported)
        return;
    m_misfitReported = true;
    showMessage(trGeneric("Lines of %1 values are dropped: the chosen acquisition variant takes %2 values per "
                          "channel. Is it the right one for this instrument?")
                    .arg(valueCount)
                    .arg(valuesPerChannel));
}

void InstrumentConnection::hideMessage()
{
    // The wait stays in sight until it ends.
    if (!m_waiting)
        m_messageBar->hide();
}
