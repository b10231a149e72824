#include "MainWindow.h"

#include "AbstractFnirDevice.h"
#include "AppHelper.h"
#include "ComFnirDevice.h"
#include "ConfirmDialog.h"
#include "DataGraphic.h"
#include "FrameRateCounter.h"
#include "LanguageContext.h"
#include "MenuButton.h"
#include "PortList.h"
#include "PropertyListControl.h"
#include "RecordsWindow.h"
#include "StyleHelper.h"
#include "TableValuesDisplay.h"
#include "TextHelper.h"
#include "VirtualFnirDevice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>

#include <cmath>

namespace {
QString trGeneric(const char* text)
{
    return QCoreApplication::translate("Generic", text);
}

QString withShortcut(const QString& text, const QKeySequence& shortcut)
{
    return text + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

int virtualValueCount(int channels)
{
    return qBound(1, channels, 100) * 2;
}
} // namespace

MainWindow::MainWindow(const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_dataFolder(dataFolder)
    , m_dialogRunner([](ConfirmDialog& dialog) { return dialog.exec(); })
{
    qRegisterMetaType<QList<double>>("QList<double>");

    const QString settingsPath
        = (m_dataFolder.isEmpty() ? QString() : m_dataFolder + QLatin1Char('/')) + QStringLiteral("Settings.xml");
    const bool firstStart = !QFileInfo::exists(settingsPath);
    m_settings = new HalvexSettings(settingsPath, this);
    m_settings->reload();
    // Start-up chose the language from the system locale when there was no file; the settings must agree with
    // it, or the editor shows a language that is not running and the first saved change switches the next start.
    const QString running = LanguageContext::currentLanguage();
    if (firstStart && !running.isEmpty())
        m_settings->setLanguage(
            running.contains(QLatin1String("en"), Qt::CaseInsensitive) ? HalvexSettings::en_US : HalvexSettings::ru_RU);
    StyleHelper::InterlinkTheme(m_settings, QStringLiteral("ColorTheme"));
    connect(m_settings, &HalvexSettings::changedLanguage, this, &MainWindow::onLanguageChanged);

    m_deviceList = new QComboBox(this);
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

    m_valueTable = new TableValuesDisplay(this);
    m_valueTable->setObjectName(QStringLiteral("valueTable"));
    m_rateLabel = new QLabel(this);
    m_rateLabel->setObjectName(QStringLiteral("rateLabel"));
    m_rateLabel->setMinimumWidth(60);
    m_frameRateCounter = new FrameRateCounter(this);

    m_refreshButton = createIconButton(QStringLiteral("refreshButton"), QStringLiteral(":/icons/refresh.svg"), 28, 24);
    m_refreshButton->setFlat(true);
    m_refreshButton->setToolTip(trGeneric("Refresh device list"));
    connect(m_refreshButton, &QPushButton::clicked, this, &MainWindow::refreshDeviceList);

    m_connectButton = new QPushButton(trGeneric("Connect"), this);
    m_connectButton->setObjectName(QStringLiteral("connectButton"));
    m_connectButton->setCheckable(true);
    m_connectButton->setCursor(Qt::PointingHandCursor);
    const QKeySequence connectKey(Qt::CTRL | Qt::Key_K);
    m_connectButton->setShortcut(connectKey);
    m_connectButton->setToolTip(
        withShortcut(trGeneric("Connect") + QLatin1Char('/') + trGeneric("Disconnect"), connectKey));
    connect(m_connectButton, &QPushButton::clicked, this, &MainWindow::onConnectClicked);
    connect(m_connectButton, &QPushButton::toggled, this,
        [this](bool checked) { m_connectButton->setText(trGeneric(checked ? "Disconnect" : "Connect")); });

    m_graphsPanel = new QWidget(this);
    m_graphsPanel->setObjectName(QStringLiteral("graphsPanel"));
    StyleHelper::Instance()->setStyledBackground(m_graphsPanel, QStringLiteral("--n-idle-bg"));
    m_graphsLayout = new QGridLayout(m_graphsPanel);
    m_graphsLayout->setContentsMargins(0, 0, 0, 0);
    m_graphsLayout->setSpacing(m_settings->getGraphicSpacing());
    connect(m_settings, &HalvexSettings::changedGraphicSpacing, m_graphsLayout, &QGridLayout::setSpacing);

    m_viewStack = new QStackedWidget(this);
    m_viewStack->setObjectName(QStringLiteral("viewStack"));
    m_viewStack->setContentsMargins(0, 0, 0, 0);
    m_viewStack->addWidget(m_valueTable);
    m_viewStack->addWidget(m_graphsPanel);

    const QKeySequence tableKey(Qt::CTRL | Qt::Key_1);
    const QKeySequence graphKey(Qt::CTRL | Qt::Key_2);
    m_tableButton = createIconButton(QStringLiteral("tableButton"), QStringLiteral(":/icons/table.svg"), 32, 24);
    m_tableButton->setCheckable(true);
    m_tableButton->setToolTip(withShortcut(tr("Отображение в виде таблицы"), tableKey));
    m_tableButton->setStyleSheet(
        QStringLiteral("QPushButton { padding: 0; border-top-right-radius: 0; border-bottom-right-radius: 0; "
                       "border-top-left-radius: 8px; border-bottom-left-radius: 8px }"));
    m_graphButton = createIconButton(QStringLiteral("graphButton"), QStringLiteral(":/icons/chart-line.svg"), 32, 24);
    m_graphButton->setCheckable(true);
    m_graphButton->setToolTip(withShortcut(tr("Отображение в виде графика"), graphKey));
    m_graphButton->setStyleSheet(
        QStringLiteral("QPushButton { padding: 0; border-top-right-radius: 8px; border-bottom-right-radius: 8px; "
                       "border-top-left-radius: 0; border-bottom-left-radius: 0 }"));
    // Shortcuts on the window rather than on the buttons: a click on a checked button would uncheck it first.
    connect(new QShortcut(tableKey, this), &QShortcut::activated, this,
        [this]() { switchView(HalvexSettings::View_Table); });
    connect(new QShortcut(graphKey, this), &QShortcut::activated, this,
        [this]() { switchView(HalvexSettings::View_Graphics); });

    m_recordButton = new QPushButton(this);
    m_recordButton->setObjectName(QStringLiteral("recordButton"));
    m_recordButton->setCheckable(true);
    m_recordButton->setFixedSize(32, 32);
    m_recordButton->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(m_recordButton, QStringLiteral(":/icons/record.svg"), QColor(QStringLiteral("#FFF")));
    m_recordButton->setEnabled(false);
    const QKeySequence recordKey(Qt::CTRL | Qt::Key_R);
    m_recordButton->setToolTip(withShortcut(trGeneric("Start or stop recording"), recordKey));
    connect(m_recordButton, &QPushButton::clicked, this, &MainWindow::onRecordClicked);
    connect(new QShortcut(recordKey, this), &QShortcut::activated, this, [this]() {
        if (m_recordButton->isEnabled())
            onRecordClicked();
    });
    m_record = new RecordSession(this);
    connect(m_record, &RecordSession::recordingChanged, this, &MainWindow::onRecordingChanged);
    connect(m_record, &RecordSession::hookWaitingChanged, this, &MainWindow::onHookWaitingChanged);
    connect(m_record, &RecordSession::failed, this, &MainWindow::showConnectionMessage);

    m_openFolderButton
        = createIconButton(QStringLiteral("openFolderButton"), QStringLiteral(":/icons/folder-open.svg"), 32, 24);
    m_openFolderButton->setToolTip(tr("Open records folder"));
    connect(m_openFolderButton, &QPushButton::clicked, this, [this]() { AppHelper::openExplorer(m_dataFolder); });

    m_elapsedLabel = new QLabel(QStringLiteral("00:00"), this);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    m_elapsedLabel->setStyleSheet(QStringLiteral("font-size: 16px"));
    m_titleField = new QLineEdit(this);
    m_titleField->setObjectName(QStringLiteral("titleField"));
    m_titleField->setPlaceholderText(trGeneric("Название"));

    const QKeySequence recordsKey(Qt::CTRL | Qt::Key_O);
    m_recordsButton = new QPushButton(tr("Records"), this);
    m_recordsButton->setObjectName(QStringLiteral("recordsButton"));
    m_recordsButton->setMinimumHeight(28);
    m_recordsButton->setCursor(Qt::PointingHandCursor);
    m_recordsButton->setIconSize(QSize(24, 24));
    StyleHelper::SetButtonIcon(
        m_recordsButton, QStringLiteral(":/icons/file-chart.svg"), QColor(QStringLiteral("#FFF")));
    m_recordsButton->setToolTip(withShortcut(tr("Records"), recordsKey));
    connect(m_recordsButton, &QPushButton::clicked, this, &MainWindow::openRecordsWindow);
    connect(new QShortcut(recordsKey, this), &QShortcut::activated, this, &MainWindow::openRecordsWindow);

    const QKeySequence settingsKey(Qt::CTRL | Qt::Key_Comma);
    m_settingsButton = new MenuButton(QIcon(), QString(), this);
    m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
    m_settingsButton->setFixedSize(32, 32);
    m_settingsButton->setFlat(true);
    m_settingsButton->setCursor(Qt::PointingHandCursor);
    m_settingsButton->hideMenuIndicator();
    m_settingsButton->setToolTip(withShortcut(tr("Open settings"), settingsKey));
    StyleHelper::SetButtonIcon(
        m_settingsButton, QStringLiteral(":/icons/settings.svg"), QColor(QStringLiteral("#FFF")));
    auto* editor = new PropertyListControl(m_settings, QString(), PropertyListControl::ViewAll);
    editor->setObjectName(QStringLiteral("settingsEditor"));
    m_settingsButton->addWidgetToMenu(editor);
    connect(new QShortcut(settingsKey, this), &QShortcut::activated, m_settingsButton, &QPushButton::showMenu);

    m_connectionMessage = new QLabel(this);
    m_connectionMessage->setObjectName(QStringLiteral("connectionMessage"));
    m_connectionMessage->setContentsMargins(8, 4, 8, 4);
    m_connectionMessage->setWordWrap(true);
    m_connectionMessage->hide();
    // The same warning colours in both themes: the message must stand out from the tool bar either way.
    m_connectionMessage->setStyleSheet(QStringLiteral("QLabel { background: #FFCC00; color: #303030; }"));

    connect(m_settings, &HalvexSettings::changedView, this, &MainWindow::switchView);
    connect(m_tableButton, &QPushButton::clicked, this, [this]() { switchView(HalvexSettings::View_Table); });
    connect(m_graphButton, &QPushButton::clicked, this, [this]() { switchView(HalvexSettings::View_Graphics); });
    switchView(m_settings->getView());

    buildToolBar();
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_toolBar, 0, 0);
    grid->addWidget(m_connectionMessage, 1, 0);
    grid->addWidget(m_viewStack, 2, 0);
    grid->setRowStretch(2, 100);
    setCentralWidget(central);

    setWindowTitle(QStringLiteral("Halvex ") + AppHelper::appVersion(true));
    refreshDeviceList();
    applySettingsLive();
    autoConnect();

    setMinimumSize(600, 400);
    resize(1200, 800);
    if (m_settings->getStartMaximized())
        QTimer::singleShot(1000, this, &QWidget::showMaximized);
}

MainWindow::~MainWindow()
{
    m_connections.clear();
    if (m_device) {
        m_device->disconnectDevice();
        delete m_device;
        m_device = nullptr;
    }
}

QPushButton* MainWindow::createIconButton(const QString& objectName, const QString& icon, int size, int iconSize)
{
    auto* button = new QPushButton(this);
    button->setObjectName(objectName);
    button->setFixedSize(size, size);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setContentsMargins(0, 0, 0, 0);
    button->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(button, icon, QColor(QStringLiteral("#FFF")));
    return button;
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    StyleHelper::Instance()->setStyledBackground(m_toolBar, QStringLiteral("--n-idle-bg"));
    m_toolBar->setContentsMargins(0, 0, 4, 0);
    auto* row = new QHBoxLayout(m_toolBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_connectButton);
    row->addWidget(m_deviceList);
    row->addWidget(m_refreshButton);
    row->addSpacing(2);
    row->addWidget(m_rateLabel, 100, Qt::AlignLeft);
    row->addWidget(m_openFolderButton);
    row->addWidget(m_recordButton);
    row->addSpacing(2);
    row->addWidget(m_elapsedLabel);
    row->addWidget(m_titleField);
    row->addStretch(100);
    row->addWidget(m_tableButton);
    row->addWidget(m_graphButton);
    row->addSpacing(20);
    row->addWidget(m_recordsButton);
    row->addSpacing(20);
    if (m_settingsButton)
        row->addWidget(m_settingsButton);
}

void MainWindow::applySettingsLive()
{
    connect(m_settings, &HalvexSettings::changedUseMontage, this, &MainWindow::loadMontage, Qt::QueuedConnection);
    // The montage text is read again too, so that an edit shows without reconnecting.
    connect(m_settings, &HalvexSettings::changedMontage, this, &MainWindow::loadMontage, Qt::QueuedConnection);
    connect(
        m_settings, &HalvexSettings::changedViewSeconds, this,
        [this]() {
            for (DataGraphic* graph : std::as_const(m_graphs))
                graph->setViewSeconds(m_settings->getViewSeconds());
        },
        Qt::QueuedConnection);
    connect(m_settings, &HalvexSettings::changedUseVirtualDevice, this, &MainWindow::refreshDeviceList);
    connect(
        m_settings, &HalvexSettings::changedVirtualDeviceChannels, this, [this]() { applyVirtualChannels(m_device); });
}

void MainWindow::autoConnect()
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

void MainWindow::applyVirtualChannels(AbstractFnirDevice* device) const
{
    if (auto* virtualDevice = qobject_cast<VirtualFnirDevice*>(device))
        virtualDevice->setChannelCount(virtualValueCount(m_settings->getVirtualDeviceChannels()));
}

void MainWindow::refreshDeviceList()
{
    if (m_device)
        return;
    m_deviceList->clear();
    m_deviceList->addItems(availablePortEntries());
    if (m_settings->getUseVirtualDevice())
        m_deviceList->addItem(VirtualDeviceEntry);
}

void MainWindow::onConnectClicked()
{
    stopRecord();
    if (m_device) {
        setDevice(nullptr);
        return;
    }
    const QString text = m_deviceList->currentText().trimmed();
    AbstractFnirDevice* device = nullptr;
    if (text == VirtualDeviceEntry) {
        device = new VirtualFnirDevice(this);
        applyVirtualChannels(device);
    } else if (!text.isEmpty()) {
        device = new ComFnirDevice(text, this);
    }
    setDevice(device);
}

void MainWindow::setDevice(AbstractFnirDevice* device)
{
    if (device == m_device) {
        // The connect button toggles itself on a click; it must keep showing the real state.
        m_connectButton->setChecked(m_device != nullptr);
        return;
    }
    if (m_device) {
        if (m_record->isRecording())
            stopRecord();
        m_connections.clear();
        m_device->disconnectDevice();
        m_device->deleteLater();
        m_device = nullptr;
    }
    if (device) {
        m_device = device;
        m_connectionMessage->hide();
        loadMontage();
        m_connections << connect(
            device, &AbstractFnirDevice::newData, this, &MainWindow::onNewData, Qt::QueuedConnection);
        // Queued: a port that fails to open reports it from inside connectDevice() below.
        m_connections << connect(
            device, &AbstractFnirDevice::disconnected, this, &MainWindow::onDeviceLost, Qt::QueuedConnection);
        m_settings->setLastDevice(device->deviceName());
        device->connectDevice();
        m_frameRateCounter->restart();
        m_deviceList->setEnabled(false);
        m_connectButton->setChecked(true);
        m_refreshButton->hide();
    } else {
        m_connectButton->setChecked(false);
        m_valueTable->clear();
        m_rateLabel->clear();
        m_settings->setLastDevice(QString());
        m_deviceList->setEnabled(true);
        m_refreshButton->show();
        refreshDeviceList();
    }
    m_recordButton->setEnabled(m_device != nullptr && !m_record->isHookWaiting());
}

void MainWindow::onDeviceLost()
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
    showConnectionMessage(trGeneric("The connection to %1 was lost or could not be opened.").arg(name));
}

void MainWindow::showConnectionMessage(const QString& text)
{
    m_connectionMessage->setText(text);
    m_connectionMessage->show();
}

void MainWindow::switchView(HalvexSettings::ViewMode view)
{
    const bool table = view == HalvexSettings::View_Table;
    m_viewStack->setCurrentIndex(table ? 0 : 1);
    m_tableButton->setChecked(table);
    m_graphButton->setChecked(!table);
    m_settings->setView(view);
}

void MainWindow::loadMontage()
{
    m_processor.loadMontage(m_settings->getUseMontage(), m_settings->getMontage());
    // Titles and places belong to the montage: the next sample builds the graphs anew.
    rebuildChannels(0);
}

QByteArray MainWindow::formatSampleLine(qint64 elapsed, const QList<double>& values)
{
    return AcquisitionProcessor::formatSampleLine(elapsed, values);
}

void MainWindow::onNewData(qint64 ts, const QList<double>& data)
{
    const int count = int(data.size());
    if (count % 2 != 0)
        return;
    m_record->writeRaw(ts, data);

    m_frameRateCounter->nextFrame(ts);
    m_rateLabel->setText(QString::number(count / 2) + QStringLiteral("ch@")
        + QString::number(m_frameRateCounter->getFrameRate(), 'f', 1) + trGeneric("Hz"));
    m_valueTable->addData(ts, data);

    m_processor.setVariant(m_settings->getAcquisition());
    m_processor.setSmoothing(m_settings->getRIRsmoothing());
    const int displayed = m_processor.displayedCount(count);
    if (displayed != m_graphs.size())
        rebuildChannels(displayed);

    m_processor.process(data, m_output);
    int largest = 0;
    m_triple.resize(3);
    for (const auto& sample : std::as_const(m_output.graphs)) {
        if (sample.graph >= m_graphs.size())
            continue;
        DataGraphic* graph = m_graphs.at(sample.graph);
        std::copy(sample.triple.begin(), sample.triple.end(), m_triple.begin());
        graph->addData(ts, m_triple, true, 0);
        largest = qMax(largest, int(graph->range()));
    }
    if (largest > 0) {
        const float span = m_settings->getLockCommonVerticalScale() ? float(largest) : -1.0f;
        for (DataGraphic* graph : std::as_const(m_graphs))
            graph->setCommonSpan(span);
    }

    if (!m_record->isRecording())
        return;
    m_record->writeProcessed(ts, m_output.processed);
    const qint64 elapsed = ts - m_record->recordStart();
    if (m_record->isRecording() && elapsed / 1000 != m_shownSeconds) {
        m_shownSeconds = elapsed / 1000;
        m_elapsedLabel->setText(TextHelper::TimeToText(double(elapsed) / 1000.0, false));
    }
}

RecordLayout MainWindow::recordLayout() const
{
    RecordLayout layout;
    layout.title = m_titleField->text();
    layout.variant = m_settings->getAcquisition();
    layout.smoothing = m_settings->getRIRsmoothing();
    layout.useMontage = m_settings->getUseMontage();
    layout.montageText = m_settings->getMontage();
    layout.montageActive = m_processor.montageActive;
    layout.montageNames = m_processor.montageNames;
    // The data lines carry one triple per instrument channel, also under a montage that shows fewer or more
    // graphs: the header follows the last sample when there was one, so that it names every column.
    layout.channelCount = m_output.processed.isEmpty() ? int(m_graphs.size()) : int(m_output.processed.size() / 3);
    return layout;
}

void MainWindow::startRecord(const QString& name)
{
    m_record->setStartHook(m_settings->getSendOnStartRecord());
    m_record->setEndHook(m_settings->getSendOnEndRecord());
    if (m_record->startRecord(name, recordLayout()))
        m_connectionMessage->hide();
    m_recordButton->setChecked(m_record->isRecording());
}

void MainWindow::stopRecord()
{
    m_record->setEndHook(m_settings->getSendOnEndRecord());
    m_record->stopRecord();
    m_recordButton->setChecked(m_record->isRecording());
}

void MainWindow::onRecordClicked()
{
    if (m_record->isRecording())
        stopRecord();
    else
        startRecord();
}

void MainWindow::onRecordingChanged(bool recording)
{
    m_recordButton->setChecked(recording);
    m_titleField->setEnabled(!recording);
    m_shownSeconds = -1;
    if (!recording)
        m_elapsedLabel->setText(QStringLiteral("00:00"));
}

void MainWindow::onHookWaitingChanged(bool waiting)
{
    // The hook waits in a nested event loop: a click there would start or stop inside the running start or stop.
    m_recordButton->setEnabled(!waiting && m_device != nullptr);
    m_connectButton->setEnabled(!waiting);
}

void MainWindow::rebuildChannels(int n)
{
    for (DataGraphic* graph : std::as_const(m_graphs)) {
        graph->hide();
        graph->setParent(nullptr);
        graph->deleteLater();
    }
    m_graphs.clear();
    m_processor.resetHistories(0);
    if (n <= 0)
        return;

    const int hueStep = n > 1 ? 350 / (n - 1) : 0;
    const int half = n / 2;
    struct Cell
    {
        int row;
        int column;
        QString name;
    };
    QList<Cell> cells;
    if (m_processor.montageActive) {
        for (int r = 0; r < m_processor.montageRows.size(); ++r) {
            const auto& entries = m_processor.montageRows.at(r);
            for (int j = 0; j < entries.size(); ++j)
                cells.append({ r, m_processor.montageMaxRow - int(entries.size()) + 2 * j, entries.at(j).name });
        }
    }

    const int viewSeconds = m_settings->getViewSeconds();
    m_graphs.reserve(n);
    for (int g = 0; g < n; ++g) {
        auto* graph = new DataGraphic(m_graphsPanel);
        graph->setLive(true, 0);
        const QString title
            = m_processor.montageActive ? cells.value(g).name : QStringLiteral("#") + QString::number(g + 1);
        graph->setTitle(title);
        graph->setName(title);
        graph->setColor(QColor::fromHsl(g * hueStep, 200, 150, 255));
        graph->setShowValueLabels(false);
        graph->setCommonSpan(-1);
        graph->setViewSeconds(viewSeconds);
        graph->setLive(true, 0);
        m_graphs.append(graph);

        if (m_processor.montageActive) {
            if (g < cells.size())
                m_graphsLayout->addWidget(graph, cells.at(g).row, cells.at(g).column, 1, 2);
            graph->setShowTimeLabels(g == n - 1);
        } else {
            const int column = g < half ? 0 : 1;
            const int row = g < half ? g : g - half;
            m_graphsLayout->addWidget(graph, row, column);
            if (row + 1 < half)
                graph->setShowTimeLabels(false);
        }
    }
    m_processor.resetHistories(n);
}

void MainWindow::onLanguageChanged()
{
    static bool prompting = false;
    if (prompting)
        return;
    prompting = true;

    const QString running = LanguageContext::currentLanguage();
    const QString other = running.contains(QLatin1String("en"), Qt::CaseInsensitive) ? QStringLiteral("ru-RU")
                                                                                     : QStringLiteral("en-US");
    const auto both = [&](const char* text, const QString& separator) -> QString {
        return trGeneric(text) + separator
            + LanguageContext::translate(QStringLiteral("Generic"), QLatin1String(text), other);
    };
    const auto button = [&](const char* text) -> QString {
        const QString here = trGeneric(text);
        const QString there = LanguageContext::translate(QStringLiteral("Generic"), QLatin1String(text), other);
        return here == there ? here : here + QLatin1Char('/') + there;
    };

    ConfirmDialog dialog(this, button("OK"), button("Cancel"), button("Not now"));
    dialog.setWindowTitle(both("Language change", QStringLiteral("/")));
    dialog.setMessage(both("To translate the app to the other language a restart is required. \nRestart now?",
        QStringLiteral("\r\n\r\n")));
    connect(&dialog, &ConfirmDialog::accepted, this, [this](bool&) {
        m_settings->save();
        AppHelper::restart({});
    });
    connect(&dialog, &ConfirmDialog::canceled, this, [this, other]() {
        m_settings->setLanguage(other.startsWith(QLatin1String("en")) ? HalvexSettings::ru_RU : HalvexSettings::en_US);
        m_settings->save();
    });
    m_dialogRunner(dialog);
    prompting = false;
}

RecordsWindow* MainWindow::openRecordsWindow()
{
    // No parent: each records window is a window of its own, closed with the main window (closeEvent).
    auto* window = new RecordsWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The files are complete at any moment; the stop is for the program that follows the end hook.
    if (m_record->isRecording())
        stopRecord();
    QApplication::closeAllWindows();
    QMainWindow::closeEvent(event);
}
