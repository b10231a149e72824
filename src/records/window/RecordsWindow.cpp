#include "RecordsWindow.h"

#include "AveragePanel.h"
#include "BidsExportDialog.h"
#include "DataGraphic.h"
#include "GapShading.h"
#include "LanguageContext.h"
#include "RecordEvents.h"
#include "RecordListPanel.h"
#include "RecordsSettings.h"
#include "RecordsSettingsPanel.h"
#include "SnirfExportControl.h"
#include "StyleHelper.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

RecordsWindow::RecordsWindow(QWidget* parent, RecordsSettings* settings)
    : QWidget(parent)
    , m_settings(settings)
{
    if (!m_settings) {
        m_ownSettings = std::make_unique<RecordsSettings>(QStringLiteral("RecSettings.xml"));
        m_ownSettings->reload();
        m_settings = m_ownSettings.get();
    }
    setWindowTitle(trGeneric("Records"));
    setMinimumSize(600, 400);
    resize(1200, 720);
    // A window without parent is not reached by the style sheet's window rule: without its own background it keeps
    // the platform's light one, under the dark theme's light text.
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-bg"));

    auto* openButton = new QPushButton(trGeneric("Open"), this);
    auto* clearButton = new QPushButton(trGeneric("Clear"), this);
    openButton->setObjectName(QStringLiteral("openRecordsButton"));
    clearButton->setObjectName(QStringLiteral("clearRecordsButton"));
    openButton->setToolTip(
        trGeneric("Open one or more records (.csv files) from any folder to compare their channels"));
    clearButton->setToolTip(trGeneric("Close every open record"));
    m_export = new SnirfExportControl(m_settings, this);
    auto* bidsButton = new QPushButton(trGeneric("Export to BIDS…"), this);
    bidsButton->setObjectName(QStringLiteral("exportBidsButton"));
    bidsButton->setToolTip(trGeneric("Write the open records into a BIDS dataset for publication, checked by the BIDS "
                                     "validator when it is installed"));

    m_settingsPanel = new RecordsSettingsPanel(m_settings, this);
    m_channel1Box = m_settingsPanel->channel1Box();
    m_channel2Box = m_settingsPanel->channel2Box();
    m_signalBox = m_settingsPanel->signalBox();

    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(0, 0, 0, 0);
    tools->addWidget(openButton);
    tools->addWidget(clearButton);
    tools->addWidget(m_export);
    tools->addWidget(bidsButton);
    tools->addStretch(100);

    auto* graphsPage = new QWidget(this);
    m_graphColumn = new QVBoxLayout;
    m_emptyHint = new QLabel(trGeneric("No record is open. Double-click one in the list above, or select several and "
                                       "press Enter; Open shows records from elsewhere (.csv files)."),
        graphsPage);
    m_emptyHint->setObjectName(QStringLiteral("emptyHint"));
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    m_graphColumn->addWidget(m_emptyHint, 100);
    m_scrollBar = new QScrollBar(Qt::Horizontal, graphsPage);
    m_scrollBar->setObjectName(QStringLiteral("graphsScrollBar"));
    m_scrollBar->setRange(0, 0);
    auto* graphsLayout = new QVBoxLayout(graphsPage);
    graphsLayout->setContentsMargins(0, 0, 0, 0);
    graphsLayout->addLayout(m_graphColumn, 100);
    graphsLayout->addWidget(m_scrollBar, 0, Qt::AlignBottom);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("recordsPages"));
    m_pages->setDocumentMode(true);
    m_pages->addTab(graphsPage, trGeneric("Records"));
    m_pages->setTabToolTip(0, trGeneric("The open records' graphs, one per record"));
    auto* average = new AveragePanel(m_settings, m_pages);
    average->setObjectName(QStringLiteral("averagePanel"));
    addPage(trGeneric("Average"), average);
    m_pages->setTabToolTip(1,
        trGeneric("The average haemoglobin response around the marks of the open records, per condition and channel, "
                  "and where on the head it was largest"));
    connect(this, &RecordsWindow::openRecordsChanged, average, &AveragePanel::setRecords);

    m_recordList = new RecordListPanel(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_recordList);
    splitter->addWidget(m_pages);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(splitter, 100);
    body->addWidget(m_settingsPanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools);
    layout->addLayout(body, 100);
    // The graphs' settings beside the graphs only: the Average page has its own.
    connect(m_pages, &QTabWidget::currentChanged, m_settingsPanel,
        [this](int index) { m_settingsPanel->setVisible(index == 0); });

    connect(m_recordList, &RecordListPanel::openRequested, this, [this](const QStringList& paths) {
        openPaths(paths);
        m_pages->setCurrentIndex(0);
    });
    setDataFolder(defaultDataFolder());

    connect(openButton, &QPushButton::clicked, this, &RecordsWindow::openRecords);
    connect(clearButton, &QPushButton::clicked, this, &RecordsWindow::clearRecords);
    connect(m_export, &SnirfExportControl::exportRequested, this, &RecordsWindow::exportSnirf);
    connect(bidsButton, &QPushButton::clicked, this, &RecordsWindow::exportBids);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        for (DataGraphic* graph : graphs())
            graph->setTimeOffset(value);
        updateShading();
    });
    // The setters clamp into the properties' bounds and do nothing when the value stays the same.
    connect(m_channel1Box, &QComboBox::currentIndexChanged, m_settings, &RecordsSettings::setChannel1);
    connect(m_channel2Box, &QComboBox::currentIndexChanged, m_settings, &RecordsSettings::setChannel2);
    connect(m_settings, &RecordsSettings::changedViewSeconds, this, &RecordsWindow::updateView);
    connect(m_settings, &RecordsSettings::changedRange, this, &RecordsWindow::updateView);
    connect(m_settings, &RecordsSettings::changedOffset, this, &RecordsWindow::updateView);
    connect(m_settings, &RecordsSettings::changedHPF, this, &RecordsWindow::restartReloadTimer);
    connect(m_settings, &RecordsSettings::changedChannel1, this, &RecordsWindow::restartReloadTimer);
    connect(m_settings, &RecordsSettings::changedChannel2, this, &RecordsWindow::restartReloadTimer);
    connect(m_signalBox, &QComboBox::currentIndexChanged, this, [this] {
        reloadAll();
        updateView();
    });
    // What turns light into haemoglobin matters only while the graphs show it.
    const auto reloadHaemoglobin = [this] {
        if (signal() == Signal::Haemoglobin)
            restartReloadTimer();
    };
    connect(m_settings, &RecordsSettings::changedRedWavelength, this, reloadHaemoglobin);
    connect(m_settings, &RecordsSettings::changedInfraredWavelength, this, reloadHaemoglobin);
    connect(m_settings, &RecordsSettings::changedPartialPathlengthFactor, this, reloadHaemoglobin);
    connect(m_settings, &RecordsSettings::changedSourceDetectorDistance, this, reloadHaemoglobin);
}

RecordsWindow::Signal RecordsWindow::signal() const
{
    return m_signalBox->currentIndex() == 1 ? Signal::Haemoglobin : Signal::Raw;
}

void RecordsWindow::setSignal(Signal signal)
{
    m_signalBox->setCurrentIndex(signal == Signal::Haemoglobin ? 1 : 0);
}

RecordsWindow::~RecordsWindow() = default;

QString RecordsWindow::defaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Halvex");
}

void RecordsWindow::setDataFolder(const QString& folder)
{
    m_recordList->setFolder(folder);
}

void RecordsWindow::addPage(const QString& title, QWidget* page)
{
    m_pages->addTab(page, title);
}

QList<DataGraphic*> RecordsWindow::graphs() const
{
    QList<DataGraphic*> result;
    for (const QPointer<DataGraphic>& graph : m_graphs) {
        if (graph)
            result.append(graph);
    }
    return result;
}

void RecordsWindow::openRecords()
{
    const QStringList paths = QFileDialog::getOpenFileNames(this, QString(), QString(), QStringLiteral("*.csv"));
    if (!paths.isEmpty())
        openPaths(paths);
}

void RecordsWindow::openPaths(const QStringList& paths)
{
    const qsizetype before = m_openOrder.size();
    for (const QString& path : paths) {
        if (m_graphs.contains(path))
            continue;
        auto* graph = new DataGraphic(this);
        graph->setLive(false, 0);
        graph->setPens({ QPen(QColor(Qt::red)), QPen(QColor(Qt::blue)), QPen(QColor(Qt::green)) }, true);
        graph->setName(QFileInfo(path).completeBaseName());
        graph->setFixedRange(-m_settings->getRange(), m_settings->getRange());
        new GapShading(graph);
        m_graphColumn->addWidget(graph, 100);
        m_graphs.insert(path, graph);
        m_openOrder.append(path);
        loadRecord(path, graph);
    }
    m_emptyHint->setVisible(m_graphs.isEmpty());
    updateView();
    if (m_openOrder.size() != before)
        emit openRecordsChanged(m_openOrder);
}

void RecordsWindow::clearRecords()
{
    for (DataGraphic* graph : graphs()) {
        graph->hide();
        m_graphColumn->removeWidget(graph);
        graph->setParent(nullptr);
        graph->deleteLater();
    }
    m_graphs.clear();
    m_haemoglobinRanges.clear();
    m_haemoglobinErrors.clear();
    m_emptyHint->show();
    if (!m_openOrder.isEmpty()) {
        m_openOrder.clear();
        emit openRecordsChanged(m_openOrder);
    }
}

void RecordsWindow::loadRecord(const QString& path, DataGraphic* graph)
{
    if (!graph)
        return;
    graph->clear();
    auto* shading = graph->findChild<GapShading*>();
    if (shading)
        shading->setGaps({}, 0);
    if (!m_loader.open(path))
        return;
    if (!m_loader.hasLines()) {
        m_loader.close();
        return;
    }
    // Refilling the boxes leaves both settings as they are, so the load goes on with the same channels.
    if (m_loader.channelNames() != m_channelList) {
        m_channelList = m_loader.channelNames();
        refillBox(m_channel1Box, m_settings->getChannel1());
        refillBox(m_channel2Box, m_settings->getChannel2());
    }
    if (signal() == Signal::Haemoglobin) {
        m_loader.close();
        loadHaemoglobin(path, graph);
        return;
    }
    graph->setPens({ QPen(QColor(Qt::red)), QPen(QColor(Qt::blue)), QPen(QColor(Qt::green)) }, true);
    const RecordLoader::Status status
        = m_loader.compare(m_settings->getChannel1(), m_settings->getChannel2(), m_settings->getHPF(), m_comparison);
    m_loader.close();
    if (status != RecordLoader::Status::Loaded)
        return;

    m_values.resize(3);
    for (qsizetype i = 0; i < m_comparison.size(); ++i) {
        m_values[0] = m_comparison.left[size_t(i)];
        m_values[1] = m_comparison.right[size_t(i)];
        m_values[2] = m_comparison.diff(i);
        graph->addData(m_comparison.time(i), m_values, false, 0);
    }
    graph->update();
    if (shading && m_comparison.size() > 0)
        shading->setGaps(std::move(m_comparison.gaps), m_comparison.startTime);
    addMarksAndEvents(path, graph);
}

void RecordsWindow::addMarksAndEvents(const QString& path, DataGraphic* graph)
{
    for (const RecordLoader::Mark& mark : RecordLoader::readMarks(RecordLoader::logPath(path)))
        graph->addMark(mark.time, mark.text);
    // Events are on the clock of the curves already: they move with them, whatever the offset of the ".log".
    for (const RecordEvents::Event& event : RecordEvents::read(RecordEvents::eventsPath(path)).events)
        graph->addEvent(event.time, event.text);
}

void RecordsWindow::loadHaemoglobin(const QString& path, DataGraphic* graph)
{
    m_haemoglobinRanges.remove(path);
    m_haemoglobinErrors.remove(path);
    // HbO solid and HbR dotted or dashed would read as two channels: the first channel's two are solid, the
    // second's dotted (HbO) and dashed (HbR), as setPens draws its second and third curves without bars.
    QPen oxy2 { QColor(Qt::red) };
    QPen deoxy1 { QColor(Qt::blue) };
    deoxy1.setWidth(2);
    graph->setPens({ QPen(QColor(Qt::red)), oxy2, QPen(QColor(Qt::blue)), deoxy1 }, false);
    RecordAnalysis analysis;
    if (!analysis.analyse(path, RecordAnalysis::options(*settings()))) {
        m_haemoglobinErrors.insert(path, analysis.errorString());
        return;
    }
    const std::vector<RecordAnalysis::Channel>& channels = analysis.channels();
    const int first = m_settings->getChannel1();
    const int second = m_settings->getChannel2();
    if (first >= int(channels.size()) || second >= int(channels.size()))
        return;
    const RecordAnalysis::Channel& one = channels[size_t(first)];
    const RecordAnalysis::Channel& two = channels[size_t(second)];
    m_values.resize(4);
    double largest = 0;
    for (qsizetype i = 0; i < analysis.size(); ++i) {
        const size_t k = size_t(i);
        m_values[0] = one.oxy[k];
        m_values[1] = two.oxy[k];
        m_values[2] = two.deoxy[k];
        m_values[3] = one.deoxy[k];
        // Inside a gap there is no value: the curves run straight across it, under the shading, as raw ones do.
        if (std::any_of(m_values.cbegin(), m_values.cend(), [](double v) { return std::isnan(v); }))
            continue;
        for (const double v : std::as_const(m_values))
            largest = qMax(largest, std::abs(v));
        graph->addData(qint64(std::llround(analysis.zero() + analysis.seconds(i) * 1000)), m_values, false, 0);
    }
    graph->update();
    // The curves fill the graph: changes of a fraction of a µM would be lost in a range made for raw values.
    m_haemoglobinRanges.insert(path, largest > 0 ? largest * 1.1 : 1.0);
    graph->setFixedRange(-float(fixedRange(path)), float(fixedRange(path)));
    if (auto* shading = graph->findChild<GapShading*>(); shading && graph->recordCount() > 0) {
        std::vector<RecordGaps::Gap> gaps;
        for (const UniformGrid::Gap& gap : analysis.gaps())
            gaps.push_back({ qint64(std::llround(gap.start)), qint64(std::llround(gap.end)) });
        shading->setGaps(std::move(gaps), qint64(std::llround(analysis.zero())));
    }
    addMarksAndEvents(path, graph);
}

double RecordsWindow::fixedRange(const QString& path) const
{
    return signal() == Signal::Haemoglobin ? m_haemoglobinRanges.value(path, 1.0) : m_settings->getRange();
}

void RecordsWindow::exportSnirf()
{
    m_export->exportRecords(m_graphs.keys());
}

void RecordsWindow::exportBids()
{
    if (!m_bidsDialog)
        m_bidsDialog = new BidsExportDialog(m_settings, this);
    if (!m_bidsDialog->isRunning())
        m_bidsDialog->setRecords(openRecordPaths());
    m_bidsDialog->show();
    m_bidsDialog->raise();
}

void RecordsWindow::refillBox(QComboBox* box, int value)
{
    box->blockSignals(true);
    box->clear();
    box->addItems(m_channelList);
    box->blockSignals(false);
    box->setCurrentIndex(box->count() <= value ? 0 : value);
}

void RecordsWindow::restartReloadTimer()
{
    // Once per burst of changes: every change pushes the reload a second further out.
    if (!m_reloadTimer) {
        m_reloadTimer = new QTimer(this);
        m_reloadTimer->setInterval(1000);
        m_reloadTimer->setSingleShot(true);
        connect(m_reloadTimer, &QTimer::timeout, this, &RecordsWindow::reloadAll);
    }
    m_reloadTimer->stop();
    m_reloadTimer->start();
}

void RecordsWindow::reloadAll()
{
    for (auto it = m_graphs.cbegin(); it != m_graphs.cend(); ++it)
        loadRecord(it.key(), it.value());
    updateTitles();
    // A graph that was empty may hold its record now (another channel was chosen): the scroll bar must reach its
    // end. The place the user scrolled to stays.
    updateScrollRange();
    for (DataGraphic* graph : graphs())
        graph->setTimeOffset(m_scrollBar->value());
    updateShading();
    emit reloaded();
}

void RecordsWindow::updateView()
{
    for (auto it = m_graphs.cbegin(); it != m_graphs.cend(); ++it) {
        DataGraphic* graph = it.value();
        if (!graph)
            continue;
        graph->setViewSeconds(m_settings->getViewSeconds());
        graph->setTimeShift(m_settings->getOffset());
        const float range = float(fixedRange(it.key()));
        graph->setFixedRange(-range, range);
    }
    updateTitles();
    updateScrollRange();
    m_scrollBar->setValue(0);
    updateShading();
}

void RecordsWindow::updateScrollRange()
{
    int longest = 0;
    for (DataGraphic* graph : graphs())
        longest = qMax(longest, int(std::ceil(graph->duration())));
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setRange(0, longest - m_settings->getViewSeconds());
}

void RecordsWindow::updateShading()
{
    for (DataGraphic* graph : graphs()) {
        if (auto* shading = graph->findChild<GapShading*>())
            shading->setView(m_settings->getViewSeconds(), m_scrollBar->value(), m_settings->getOffset());
    }
}

void RecordsWindow::updateTitles()
{
    const int channel1 = m_settings->getChannel1();
    const int channel2 = m_settings->getChannel2();
    const QString name1
        = channel1 >= 0 && channel1 < m_channelList.size() ? m_channelList.at(channel1) : QStringLiteral("CH1");
    const QString name2
        = channel2 >= 0 && channel2 < m_channelList.size() ? m_channelList.at(channel2) : QStringLiteral("CH2");
    for (auto it = m_graphs.cbegin(); it != m_graphs.cend(); ++it) {
        DataGraphic* graph = it.value();
        if (!graph)
            continue;
        const QString name = QStringLiteral("<b>") + graph->name() + QStringLiteral("</b><br>");
        if (signal() == Signal::Raw) {
            graph->setTitle(name + QStringLiteral("<span style=\"color: red\">●</span> Left [") + name1
                + QStringLiteral("]<br><span style=\"color: blue\">●</span> Right [") + name2
                + QStringLiteral("]<br><span style=\"color: green\">●</span> Diff [") + name1 + QStringLiteral("] - [")
                + name2 + QStringLiteral("]<br>"));
        } else if (m_haemoglobinErrors.contains(it.key())) {
            graph->setTitle(name + m_haemoglobinErrors.value(it.key()).toHtmlEscaped() + QStringLiteral("<br>"));
        } else {
            graph->setTitle(name + QStringLiteral("<span style=\"color: red\">━</span> HbO [") + name1
                + QStringLiteral("] <span style=\"color: blue\">━</span> HbR [") + name1
                + QStringLiteral("] µM<br><span style=\"color: red\">┈</span> HbO [") + name2
                + QStringLiteral("] <span style=\"color: blue\">╌</span> HbR [") + name2 + QStringLiteral("] µM<br>"));
        }
    }
}
