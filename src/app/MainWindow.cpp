#include "MainWindow.h"

#include "AboutWindow.h"
#include "AbstractFnirDevice.h"
#include "AppHelper.h"
#include "ConfirmDialog.h"
#include "DataGraphic.h"
#include "FrameRateCounter.h"
#include "LanguageContext.h"
#include "MarkEndpoint.h"
#include "MarkServer.h"
#include "MediaHelper.h"
#include "MenuButton.h"
#include "NewVersionButton.h"
#include "NoticeBar.h"
#include "PropertyListControl.h"
#include "RecordWiring.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "SignalCheck.h"
#include "StyleHelper.h"
#include "TableValuesDisplay.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {
QString withShortcut(const QString& text, const QKeySequence& shortcut)
{
    return text + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
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

    m_instrument = new InstrumentConnection(m_settings, this);
    connect(m_instrument, &InstrumentConnection::newData, this, &MainWindow::onNewData);
    connect(m_instrument, &InstrumentConnection::deviceChanged, this, &MainWindow::onDeviceChanged);
    // Nothing from before a loss is smoothed together with what comes after it.
    connect(m_instrument, &InstrumentConnection::instrumentReopened, this,
        [this]() { onDeviceChanged(m_instrument->device()); });

    m_valueTable = new TableValuesDisplay(this);
    m_valueTable->setObjectName(QStringLiteral("valueTable"));
    m_rateLabel = new QLabel(this);
    m_rateLabel->setObjectName(QStringLiteral("rateLabel"));
    // Room for the widest rate the line can carry, so that the label is never cut.
    m_rateLabel->setMinimumWidth(
        qMax(60, m_rateLabel->fontMetrics().horizontalAdvance(QStringLiteral("100ch@250.0Hz")) + 4));
    m_frameRateCounter = new FrameRateCounter(this);

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

    m_recordControl = new RecordControl(m_settings, this);
    m_recordControl->setLayoutSource([this]() { return recordLayout(); });
    new RecordWiring(m_instrument, m_recordControl, this);
    // While the instrument is awaited neither the mark endpoint nor the rate label says it is there.
    connect(m_instrument, &InstrumentConnection::instrumentLost, this, [this]() {
        m_markServer->setInstrument(device()->deviceName(), false);
        m_rateLabel->clear();
    });
    connect(m_instrument, &InstrumentConnection::instrumentBack, this,
        [this]() { m_markServer->setInstrument(device()->deviceName(), true); });
    // Every event of the record shows in every live graph at its time.
    connect(m_recordControl->session(), &RecordSession::eventAdded, this,
        [this](qint64 timestamp, const QString&, const QString& text) {
            for (DataGraphic* graph : std::as_const(m_graphs))
                graph->addEvent(timestamp, text);
        });
    m_markServer = new MarkServer(m_recordControl->session(), this);
    m_markEndpoint = new MarkEndpoint(m_settings, m_markServer, m_dataFolder, this);
    connect(m_markEndpoint, &MarkEndpoint::problem, m_instrument, &InstrumentConnection::showMessage);
    m_recordControl->setDataFolder(m_dataFolder);
    m_recordsSettings = new RecordsSettings(
        (m_dataFolder.isEmpty() ? QString() : m_dataFolder + QLatin1Char('/')) + QStringLiteral("RecSettings.xml"),
        this);
    m_recordsSettings->reload();
    m_signalCheck
        = new SignalCheck(m_settings, m_recordsSettings, m_recordControl->session(), &m_processor, m_instrument, this);

    m_openFolderButton
        = createIconButton(QStringLiteral("openFolderButton"), QStringLiteral(":/icons/folder-open.svg"), 32, 24);
    m_openFolderButton->setToolTip(tr("Open records folder"));
    connect(m_openFolderButton, &QPushButton::clicked, this, [this]() { AppHelper::openExplorer(m_dataFolder); });

    m_newVersionButton = new NewVersionButton(
        QCoreApplication::translate("Generic", "New version") + QLatin1Char(' '), QString(), this);
    m_newVersionButton->setObjectName(QStringLiteral("newVersion"));
    m_newVersionButton->button()->setIcon(
        MediaHelper::iconColored(QStringLiteral(":/icons/star.svg"), QStringLiteral("#FFCC00")));

    const QKeySequence recordsKey(Qt::CTRL | Qt::Key_O);
    m_recordsButton = new QPushButton(trGeneric("Records"), this);
    m_recordsButton->setObjectName(QStringLiteral("recordsButton"));
    m_recordsButton->setMinimumHeight(28);
    m_recordsButton->setCursor(Qt::PointingHandCursor);
    m_recordsButton->setIconSize(QSize(24, 24));
    StyleHelper::SetButtonIcon(
        m_recordsButton, QStringLiteral(":/icons/file-chart.svg"), QColor(QStringLiteral("#FFF")));
    m_recordsButton->setToolTip(withShortcut(trGeneric("Records"), recordsKey));
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
    // The settings that shape a record (its header, its ".ini" and what its lines mean) wait for its end.
    auto* recordNote = new QLabel(trGeneric("A record is running: changes of the acquisition variant, RIRsmoothing "
                                            "and the montage take effect when it ends."));
    recordNote->setObjectName(QStringLiteral("settingsRecordNote"));
    recordNote->setWordWrap(true);
    recordNote->hide();
    m_settingsButton->addWidgetToMenu(recordNote);
    connect(m_recordControl->session(), &RecordSession::recordingChanged, recordNote, &QWidget::setVisible);
    connect(m_recordControl->session(), &RecordSession::recordingChanged, this, [this](bool recording) {
        if (!recording && m_montageWaiting)
            loadMontage();
    });
    m_markEndpoint->showTokenIn(editor);
    m_settingsButton->addWidgetToMenu(editor);
    connect(new QShortcut(settingsKey, this), &QShortcut::activated, m_settingsButton, &QPushButton::showMenu);

    m_aboutButton = createIconButton(QStringLiteral("aboutButton"), QStringLiteral(":/icons/information.svg"), 32, 24);
    m_aboutButton->setFlat(true);
    m_aboutButton->setToolTip(trGeneric("App info"));
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::openAboutWindow);

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
    grid->addWidget(m_instrument->messageBar(), 1, 0);
    grid->addWidget(m_recordControl->recordNotice(), 2, 0);
    grid->addWidget(m_recordControl->hookNotice(), 3, 0);
    grid->addWidget(m_signalCheck->notice(), 4, 0);
    grid->addWidget(m_viewStack, 5, 0);
    grid->addWidget(buildEmptyState(), 5, 0);
    grid->setRowStretch(5, 100);
    setCentralWidget(central);
    showEmptyState(true);
    // The window's shortcuts win over the bindings of a focused field (Ctrl+K deletes to the end of a line edit).
    qApp->installEventFilter(this);

    setWindowTitle(QStringLiteral("Halvex ") + AppHelper::appVersion(true));
    m_instrument->refreshDeviceList();
    applySettingsLive();
    m_markEndpoint->start();
    m_instrument->autoConnect();

    // Every tool stays readable: no narrower than the tool bar's own minimum.
    setMinimumSize(qMax(600, m_toolBar->minimumSizeHint().width()), 400);
    resize(qMax(1200, minimumWidth()), 800);
    if (m_settings->getStartMaximized())
        QTimer::singleShot(1000, this, &QWidget::showMaximized);
}

MainWindow::~MainWindow() = default;

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
    row->addWidget(m_instrument->connectButton());
    row->addWidget(m_instrument->deviceList());
    row->addWidget(m_instrument->refreshButton());
    row->addSpacing(2);
    row->addWidget(m_rateLabel, 100, Qt::AlignLeft);
    row->addWidget(m_openFolderButton);
    row->addWidget(m_recordControl->recordButton());
    row->addWidget(m_recordControl->recBadge());
    row->addSpacing(2);
    row->addWidget(m_recordControl->elapsedLabel());
    row->addWidget(m_recordControl->titleField());
    row->addWidget(m_recordControl->markButton());
    row->addStretch(100);
    row->addWidget(m_tableButton);
    row->addWidget(m_graphButton);
    row->addSpacing(4);
    row->addWidget(m_signalCheck->button());
    row->addSpacing(20);
    row->addWidget(m_recordsButton);
    row->addSpacing(20);
    row->addWidget(m_newVersionButton);
    if (m_settingsButton)
        row->addWidget(m_settingsButton);
    row->addWidget(m_aboutButton);
}

AboutWindow* MainWindow::openAboutWindow()
{
    if (!m_aboutWindow) {
        m_aboutWindow = new AboutWindow(this);
        m_aboutWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_aboutWindow->show();
    m_aboutWindow->raise();
    m_aboutWindow->activateWindow();
    return m_aboutWindow;
}

void MainWindow::applySettingsLive()
{
    connect(m_settings, &HalvexSettings::changedUseMontage, this, &MainWindow::loadMontage, Qt::QueuedConnection);
    // The montage text is read again too, so that an edit shows without reconnecting: once the typing pauses, and
    // only when a montage is in use. It rebuilds the graphs alone; the processing goes on, a running record too.
    m_montageTimer = new QTimer(this);
    m_montageTimer->setSingleShot(true);
    m_montageTimer->setInterval(MontageEditPauseMs);
    connect(m_montageTimer, &QTimer::timeout, this, &MainWindow::loadMontage);
    connect(m_settings, &HalvexSettings::changedMontage, this, [this]() {
        if (m_settings->getUseMontage())
            m_montageTimer->start();
    });
    connect(
        m_settings, &HalvexSettings::changedViewSeconds, this,
        [this]() {
            for (DataGraphic* graph : std::as_const(m_graphs))
                graph->setViewSeconds(m_settings->getViewSeconds());
        },
        Qt::QueuedConnection);
}

QWidget* MainWindow::buildEmptyState()
{
    m_emptyState = new QWidget(this);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    StyleHelper::Instance()->setStyledBackground(m_emptyState, QStringLiteral("--n-bg"));
    auto* title = new QLabel(trGeneric("No instrument connected"), m_emptyState);
    title->setStyleSheet(QStringLiteral("font-size: 22px; font-weight: bold"));
    auto* text = new QLabel(trGeneric("Plug in the instrument (USB or Bluetooth serial adapter), switch it on, choose "
                                      "its port in the device list above and press Connect (Ctrl+K)."),
        m_emptyState);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    // Aligned in its layout, a wrapped label gets its size hint's height, which cuts its third line: give it the
    // height its width needs.
    text->setFixedWidth(520);
    text->setMinimumHeight(text->heightForWidth(520));
    auto* useVirtual = new QPushButton(trGeneric("Use the virtual instrument"), m_emptyState);
    useVirtual->setObjectName(QStringLiteral("useVirtualButton"));
    useVirtual->setCursor(Qt::PointingHandCursor);
    useVirtual->setToolTip(trGeneric("UseVirtualDeviceDescription"));
    connect(useVirtual, &QPushButton::clicked, this, &MainWindow::useVirtualInstrument);

    auto* column = new QVBoxLayout(m_emptyState);
    column->addStretch(1);
    column->addWidget(title, 0, Qt::AlignHCenter);
    column->addSpacing(8);
    column->addWidget(text, 0, Qt::AlignHCenter);
    column->addSpacing(16);
    column->addWidget(useVirtual, 0, Qt::AlignHCenter);
    column->addStretch(2);
    return m_emptyState;
}

void MainWindow::showEmptyState(bool show)
{
    m_emptyState->setVisible(show);
    m_viewStack->setVisible(!show);
}

void MainWindow::useVirtualInstrument()
{
    // The guard of the connect button and of Enter in the device list: the instrument must not change under a record
    // hook that waits.
    if (device() || m_recordControl->session()->isHookWaiting())
        return;
    m_settings->setUseVirtualDevice(true);
    m_instrument->refreshDeviceList();
    QComboBox* list = m_instrument->deviceList();
    list->setCurrentIndex(list->findText(VirtualDeviceEntry));
    m_instrument->onConnectClicked();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // Filtered without being accepted, the override is refused and the window's shortcut takes the key.
        for (const QShortcut* shortcut : findChildren<QShortcut*>()) {
            if (shortcut->isEnabled() && shortcut->key() == pressed)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::onDeviceChanged(AbstractFnirDevice* device)
{
    m_markServer->setInstrument(device ? device->deviceName() : QString(), device && !m_instrument->isWaiting());
    showEmptyState(device == nullptr);
    // Nothing of the previous instrument's samples carries over.
    m_processor.resetHistories(0);
    m_output.processed.clear();
    m_output.graphs.clear();
    if (device) {
        loadMontage();
        rebuildChannels(0);
        m_frameRateCounter->restart();
    } else {
        m_valueTable->clear();
        m_rateLabel->clear();
    }
    m_recordControl->setDeviceAvailable(device != nullptr);
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
    // A record keeps the montage it began with, which names the channels of its header: a change waits for its end.
    m_montageWaiting = m_recordControl->session()->isRecording();
    if (m_montageWaiting)
        return;
    m_processor.loadMontage(m_settings->getUseMontage(), m_settings->getMontage());
    // Titles and places belong to the montage: the next sample builds the graphs anew.
    rebuildChannels(0);
}

void MainWindow::onNewData(qint64 ts, const QList<double>& data)
{
    const int count = int(data.size());
    // A record keeps the variant and smoothing it began with, which its header and ".ini" describe.
    const RecordSession* session = m_recordControl->session();
    const bool recording = session->isRecording();
    m_processor.setVariant(recording ? session->layout().variant : m_settings->getAcquisition());
    m_processor.setSmoothing(recording ? session->layout().smoothing : m_settings->getRIRsmoothing());
    const int group = m_processor.valuesPerChannel();
    if (count % group != 0) {
        m_instrument->reportMisfitLines(count, group);
        return;
    }
    m_recordControl->writeRaw(ts, data);
    m_signalCheck->addSample(ts, data, group);

    m_frameRateCounter->nextFrame(ts);
    m_rateLabel->setText(QString::number(count / group) + QStringLiteral("ch@")
        + QString::number(m_frameRateCounter->getFrameRate(), 'f', 1) + trGeneric("Hz"));
    m_valueTable->addData(ts, data);
    // Samples mean an instrument, whoever hands them over.
    if (!m_emptyState->isHidden())
        showEmptyState(false);

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
        largest = qMax(largest, AcquisitionProcessor::truncatedToInt(graph->range()));
    }
    if (largest > 0) {
        const float span = m_settings->getLockCommonVerticalScale() ? float(largest) : -1.0f;
        for (DataGraphic* graph : std::as_const(m_graphs))
            graph->setCommonSpan(span);
    }

    m_recordControl->writeProcessed(ts, m_output.processed);
}

RecordLayout MainWindow::recordLayout() const
{
    RecordLayout layout;
    layout.variant = m_settings->getAcquisition();
    layout.smoothing = m_settings->getRIRsmoothing();
    layout.useMontage = m_settings->getUseMontage();
    layout.montageText = m_settings->getMontage();
    layout.montageActive = m_processor.montageActive;
    layout.montageNames = m_processor.montageNames;
    return layout;
}

void MainWindow::rebuildChannels(int n)
{
    for (DataGraphic* graph : std::as_const(m_graphs)) {
        graph->hide();
        graph->setParent(nullptr);
        graph->deleteLater();
    }
    m_graphs.clear();
    m_signalCheck->rearrange();
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
    m_recordControl->stopIfRecording();
    QApplication::closeAllWindows();
    QMainWindow::closeEvent(event);
}
