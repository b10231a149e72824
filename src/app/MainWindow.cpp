#include "MainWindow.h"

#include "AboutWindow.h"
#include "AbstractFnirDevice.h"
#include "AppHelper.h"
#include "ConfirmDialog.h"
#include "DataGraphic.h"
#include "FrameRateCounter.h"
#include "GraphGrid.h"
#include "HaemoglobinFeed.h"
#include "HaemoglobinView.h"
#include "LanguageContext.h"
#include "LslMarkerFeed.h"
#include "LslPublisher.h"
#include "MainToolBar.h"
#include "MarkEndpoint.h"
#include "MarkServer.h"
#include "NoticeBar.h"
#include "RecordListPanel.h"
#include "RecordWiring.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "SignalCheck.h"
#include "StyleHelper.h"
#include "TableValuesDisplay.h"
#include "ViewStack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

MainWindow::MainWindow(const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_dataFolder(dataFolder)
    , m_dialogRunner([](ConfirmDialog& dialog) { return dialog.exec(); })
{
    qRegisterMetaType<QList<double>>("QList<double>");

    const QString folderPrefix = m_dataFolder.isEmpty() ? QString() : m_dataFolder + QLatin1Char('/');
    const QString settingsPath = folderPrefix + QStringLiteral("Settings.xml");
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
    m_analysisSettings = new RecordsSettings(folderPrefix + QStringLiteral("RecSettings.xml"), this);
    m_analysisSettings->reload();
    watchSettingsSaves();
    m_haemoglobin = new HaemoglobinFeed(m_settings, m_analysisSettings, this);

    m_instrument = new InstrumentConnection(m_settings, this);
    // The virtual head makes its light with the optics that the live view and the records are read with.
    const auto applyOptics = [this]() {
        m_instrument->setOptics(
            { double(m_analysisSettings->getRedWavelength()), double(m_analysisSettings->getInfraredWavelength()),
                double(m_analysisSettings->getSourceDetectorDistance()),
                m_analysisSettings->getPartialPathlengthFactor() });
    };
    applyOptics();
    connect(m_analysisSettings, &RecordsSettings::changedRedWavelength, this, applyOptics);
    connect(m_analysisSettings, &RecordsSettings::changedInfraredWavelength, this, applyOptics);
    connect(m_analysisSettings, &RecordsSettings::changedPartialPathlengthFactor, this, applyOptics);
    connect(m_analysisSettings, &RecordsSettings::changedSourceDetectorDistance, this, applyOptics);
    connect(m_analysisSettings, &RecordsSettings::reloaded, this, applyOptics);
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

    m_graphsPanel = new GraphGrid(
        m_settings,
        [](DataGraphic* graph, int g, int n) {
            const int hueStep = n > 1 ? 350 / (n - 1) : 0;
            graph->setColor(QColor::fromHsl(g * hueStep, 200, 150, 255));
        },
        this);
    m_graphsPanel->setObjectName(QStringLiteral("graphsPanel"));

    m_viewStack = new ViewStack(m_settings, this);
    m_viewStack->addView(HalvexSettings::View_Table, m_valueTable, QStringLiteral("tableButton"),
        QStringLiteral(":/icons/table.svg"), tr("Отображение в виде таблицы"), QKeySequence(Qt::CTRL | Qt::Key_1));
    m_viewStack->addView(HalvexSettings::View_Graphics, m_graphsPanel, QStringLiteral("graphButton"),
        QStringLiteral(":/icons/chart-line.svg"), tr("Отображение в виде графика"), QKeySequence(Qt::CTRL | Qt::Key_2));
    m_haemoglobinView = new HaemoglobinView(m_settings, m_analysisSettings, m_haemoglobin, this);
    m_viewStack->addView(HalvexSettings::View_Haemoglobin, m_haemoglobinView, QStringLiteral("haemoglobinButton"),
        QStringLiteral(":/icons/heart-rate.svg"), trGeneric("Haemoglobin: HbO and HbR of every channel"),
        QKeySequence(Qt::CTRL | Qt::Key_3));
    m_viewStack->switchView(m_settings->getView());
    connect(new QShortcut(HaemoglobinView::resetKey(), this), &QShortcut::activated, m_haemoglobin,
        &HaemoglobinFeed::resetBaseline);

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
            m_graphsPanel->addEvent(timestamp, text);
            m_haemoglobinView->addEvent(timestamp, text);
        });
    m_markServer = new MarkServer(m_recordControl->session(), this);
    m_markEndpoint = new MarkEndpoint(m_settings, m_markServer, m_dataFolder, this);
    connect(m_markEndpoint, &MarkEndpoint::problem, m_instrument, &InstrumentConnection::showMessage);
    m_lsl = new LslPublisher(m_settings, m_analysisSettings, m_instrument, m_recordControl->session(), this);
    m_lsl->showIn(m_rateLabel, m_markServer);
    m_lslMarkers = new LslMarkerFeed(m_settings, m_recordControl->session(), m_markServer, this);
    connect(m_lslMarkers, &LslMarkerFeed::problem, m_instrument, &InstrumentConnection::showMessage);
    m_recordControl->setDataFolder(m_dataFolder);
    m_signalCheck
        = new SignalCheck(m_settings, m_analysisSettings, m_recordControl->session(), &m_processor, m_instrument, this);

    MainToolBar::Parts parts;
    parts.instrument = m_instrument;
    parts.recordControl = m_recordControl;
    parts.markEndpoint = m_markEndpoint;
    parts.rateLabel = m_rateLabel;
    parts.views = m_viewStack;
    m_toolBar = new MainToolBar(m_settings, parts, this);
    m_toolBar->addPanelButton(m_signalCheck->button());
    m_lslMarkers->showStatusOn(m_toolBar->findChild<QWidget*>(QStringLiteral("aboutButton")));
    connect(m_toolBar, &MainToolBar::openFolderRequested, this, [this]() { AppHelper::openExplorer(m_dataFolder); });
    connect(m_toolBar, &MainToolBar::recordsRequested, this, &MainWindow::openRecordsWindow);
    connect(m_toolBar, &MainToolBar::aboutRequested, this, &MainWindow::openAboutWindow);
    connect(m_recordControl->session(), &RecordSession::recordingChanged, this, [this](bool recording) {
        if (!recording && m_montageWaiting)
            loadMontage();
    });

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_toolBar, 0, 0);
    grid->addWidget(m_instrument->messageBar(), 1, 0);
    grid->addWidget(m_recordControl->recordNotice(), 2, 0);
    grid->addWidget(m_recordControl->hookNotice(), 3, 0);
    grid->addWidget(m_signalCheck->notice(), 4, 0);
    grid->addWidget(m_settingsNotice, 5, 0);
    grid->addWidget(m_viewStack, 6, 0);
    grid->addWidget(buildEmptyState(), 6, 0);
    grid->setRowStretch(6, 100);
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

MainWindow::~MainWindow()
{
    for (const QPointer<RecordsWindow>& window : std::as_const(m_recordsWindows))
        delete window.data();
}

const QList<DataGraphic*>& MainWindow::graphs() const
{
    return m_graphsPanel->graphs();
}

const QList<DataGraphic*>& MainWindow::haemoglobinGraphs() const
{
    return m_haemoglobinView->graphs();
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
    m_haemoglobin->restart();
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
    m_viewStack->switchView(view);
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
    m_lsl->pushSample(ts, data, group);
    m_signalCheck->addSample(ts, data, group);

    m_frameRateCounter->nextFrame(ts);
    m_rateLabel->setText(QString::number(count / group) + QStringLiteral("ch@")
        + QString::number(m_frameRateCounter->getFrameRate(), 'f', 1) + trGeneric("Hz"));
    m_valueTable->addData(ts, data);
    // Samples mean an instrument, whoever hands them over.
    if (!m_emptyState->isHidden())
        showEmptyState(false);

    const int displayed = m_processor.displayedCount(count);
    if (displayed != graphs().size())
        rebuildChannels(displayed);

    m_processor.process(data, m_output);
    m_triple.resize(3);
    for (const auto& sample : std::as_const(m_output.graphs)) {
        std::copy(sample.triple.begin(), sample.triple.end(), m_triple.begin());
        m_graphsPanel->addData(sample.graph, ts, m_triple);
    }
    m_graphsPanel->shareSpan();
    // From the raw light: the processed values are for the eye.
    m_haemoglobinView->addKnown(m_haemoglobin->push(ts, data, group), m_output.graphs);
    m_haemoglobinView->refreshStatus();

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
    m_graphsPanel->rebuild(n, m_processor);
    m_haemoglobinView->rebuild(n, m_processor);
    m_signalCheck->rearrange();
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

// A full disk or a folder made read-only must not pass unseen: the changes would be gone at the next start.
void MainWindow::watchSettingsSaves()
{
    m_settingsNotice = new NoticeBar(this);
    m_settingsNotice->setObjectName(QStringLiteral("settingsNotice"));
    m_settingsNotice->hide();
    for (NTSettings* settings : { static_cast<NTSettings*>(m_settings), static_cast<NTSettings*>(m_analysisSettings) }) {
        connect(settings, &NTSettings::saveFailed, this, [this, settings](const QString& reason) {
            if (!m_unsavedSettings.contains(settings))
                m_unsavedSettings.append(settings);
            m_settingsNotice->showNotice(NoticeBar::Warning,
                trGeneric("The settings cannot be saved (%1). Changes apply until Halvex closes.").arg(reason));
        });
        connect(settings, &NTSettings::saved, this, [this, settings]() {
            if (m_unsavedSettings.removeAll(settings) > 0 && m_unsavedSettings.isEmpty())
                m_settingsNotice->hide();
        });
    }
}

RecordsWindow* MainWindow::openRecordsWindow()
{
    // No parent: each records window is a window of its own, closed with the main window (closeEvent).
    auto* window = new RecordsWindow(nullptr, m_analysisSettings);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The folder's watch sees a record's files come; its last lines are certain only once it is closed.
    connect(m_recordControl->session(), &RecordSession::recordClosed, window->recordList(), &RecordListPanel::refresh);
    m_recordsWindows.removeAll(nullptr);
    m_recordsWindows.append(window);
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
