#include "AveragePanel.h"

#include "AverageExport.h"
#include "AverageTable.h"
#include "LanguageContext.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "StyleHelper.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int ConditionRole = Qt::UserRole;
constexpr int NumberRole = Qt::UserRole + 1;
// Conditions ticked at first: enough for a comparison, few enough that the graphs stay readable.
constexpr int FirstChosen = 4;

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

AveragePanel::AveragePanel(RecordsSettings* settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-bg"));
    m_run = new AverageRun(this);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(600);

    auto* side = new QWidget;
    side->setObjectName(QStringLiteral("averageSide"));
    // Inside a scroll area the window's background does not reach it: the dark theme's light text would stand on
    // the platform's light grey.
    StyleHelper::Instance()->setStyledBackground(side, QStringLiteral("--n-bg"));
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(4, 4, 4, 4);
    sideColumn->addWidget(heading(trGeneric("Conditions"), side));
    m_conditionList = new QListWidget(side);
    m_conditionList->setObjectName(QStringLiteral("averageConditions"));
    m_conditionList->setToolTip(trGeneric("The mark texts of the open records with the number of their marks. Tick "
                                          "the conditions whose averages the graphs overlay."));
    m_conditionList->setMaximumHeight(140);
    sideColumn->addWidget(m_conditionList);
    sideColumn->addWidget(heading(trGeneric("Channels"), side));
    m_channelList = new QListWidget(side);
    m_channelList->setObjectName(QStringLiteral("averageChannels"));
    m_channelList->setToolTip(trGeneric("Tick the channels to show as graphs; the map always shows every channel."));
    m_channelList->setMaximumHeight(160);
    sideColumn->addWidget(m_channelList);
    sideColumn->addWidget(heading(trGeneric("Map"), side));
    m_mapBox = new QComboBox(side);
    m_mapBox->setObjectName(QStringLiteral("averageMapCondition"));
    m_mapBox->setToolTip(trGeneric("The condition whose mean HbO change in the response window colours the map"));
    sideColumn->addWidget(m_mapBox);
    sideColumn->addWidget(heading(trGeneric("Settings"), side));
    for (const char* name : { "AverageFrom", "AverageTo", "BaselineFrom", "BaselineTo", "AverageBand", "AverageBandLow",
             "AverageBandHigh", "ResponseFrom", "ResponseTo" }) {
        auto* control = new PropertyListControl(
            m_settings, QString::fromLatin1(name), PropertyListControl::ViewSingleProperty, side);
        control->setObjectName(QStringLiteral("average") + QString::fromLatin1(name));
        sideColumn->addWidget(control);
    }
    m_csvButton = new QPushButton(trGeneric("Export CSV…"), side);
    m_csvButton->setObjectName(QStringLiteral("averageCsvButton"));
    m_csvButton->setToolTip(trGeneric("Write the curves of the chosen conditions as halvex-analyze --average prints "
                                      "them: condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;… in µM"));
    m_pictureButton = new QPushButton(trGeneric("Export picture…"), side);
    m_pictureButton->setObjectName(QStringLiteral("averagePictureButton"));
    m_pictureButton->setToolTip(trGeneric("Save the graphs and the map as a picture: SVG (lines stay sharp at any "
                                          "size) or PNG"));
    sideColumn->addWidget(m_csvButton);
    sideColumn->addWidget(m_pictureButton);
    sideColumn->addStretch(1);
    auto* sideScroll = new QScrollArea(this);
    sideScroll->setWidget(side);
    sideScroll->setWidgetResizable(true);
    sideScroll->setFrameShape(QFrame::NoFrame);
    sideScroll->setFixedWidth(300);
    sideScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("averageStatus"));
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("averageProgress"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(160);
    m_progress->hide();
    m_stopButton = new QPushButton(trGeneric("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("averageStopButton"));
    m_stopButton->setToolTip(trGeneric("Stop computing the averages"));
    m_stopButton->hide();
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_progress);
    statusRow->addWidget(m_stopButton);

    m_view = new AverageView;
    m_view->setObjectName(QStringLiteral("averageView"));
    auto* viewScroll = new QScrollArea(this);
    viewScroll->setWidget(m_view);
    viewScroll->setWidgetResizable(true);
    viewScroll->setFrameShape(QFrame::NoFrame);
    auto* main = new QVBoxLayout;
    main->addLayout(statusRow);
    main->addWidget(viewScroll, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sideScroll);
    layout->addLayout(main, 1);

    connect(m_run, &AverageRun::finished, this, &AveragePanel::averageFinished);
    connect(m_run, &AverageRun::progress, m_progress, &QProgressBar::setValue);
    connect(m_settle, &QTimer::timeout, this, &AveragePanel::startAverage);
    connect(m_stopButton, &QPushButton::clicked, this, &AveragePanel::cancelAverage);
    connect(m_csvButton, &QPushButton::clicked, this, &AveragePanel::askCsv);
    connect(m_pictureButton, &QPushButton::clicked, this, &AveragePanel::askPicture);
    connect(m_conditionList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const QString condition = item->data(ConditionRole).toString();
        if (item->checkState() == Qt::Checked)
            m_uncheckedConditions.remove(condition);
        else
            m_uncheckedConditions.insert(condition);
        refreshView();
    });
    connect(m_channelList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int number = item->data(NumberRole).toInt();
        if (item->checkState() == Qt::Checked)
            m_uncheckedChannels.remove(number);
        else
            m_uncheckedChannels.insert(number);
        refreshView();
    });
    connect(m_mapBox, &QComboBox::currentIndexChanged, this, &AveragePanel::refreshView);
    // What the records give changes with these; the response window only moves the map.
    for (const auto signal : { &RecordsSettings::changedAverageFrom, &RecordsSettings::changedAverageTo,
             &RecordsSettings::changedBaselineFrom, &RecordsSettings::changedBaselineTo,
             &RecordsSettings::changedAverageBandLow, &RecordsSettings::changedAverageBandHigh,
             &RecordsSettings::changedPartialPathlengthFactor })
        connect(m_settings, signal, this, &AveragePanel::requestAverage);
    for (const auto signal : { &RecordsSettings::changedRedWavelength, &RecordsSettings::changedInfraredWavelength,
             &RecordsSettings::changedSourceDetectorDistance })
        connect(m_settings, signal, this, &AveragePanel::requestAverage);
    connect(m_settings, &RecordsSettings::changedAverageBand, this, &AveragePanel::requestAverage);
    connect(m_settings, &RecordsSettings::changedResponseFrom, this, &AveragePanel::refreshView);
    connect(m_settings, &RecordsSettings::changedResponseTo, this, &AveragePanel::refreshView);

    setRecords({});
}

AveragePanel::~AveragePanel() = default;

bool AveragePanel::isBusy() const
{
    return m_run->isRunning() || m_settle->isActive();
}

void AveragePanel::setRecords(const QStringList& recordPaths)
{
    m_records = recordPaths;
    m_montage = m_records.isEmpty() ? QMap<int, RawRecord::MontageCell>()
                                    : RawRecord::readMontage(RawRecord::iniPath(m_records.constFirst()));
    m_result.reset();
    // The conditions show at once, from the marks alone; the averages follow.
    m_allConditions.clear();
    const QMap<QString, int> counts = RecordAverage::countMarks(m_records);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        m_allConditions << it.key();
    fillConditions();
    fillChannels();
    m_csvButton->setEnabled(false);
    m_pictureButton->setEnabled(false);
    if (m_records.isEmpty()) {
        cancelAverage();
        m_status->clear();
        m_view->showMessage(trGeneric("No record is open. Open one or more records to average the haemoglobin "
                                      "around their marks."));
        return;
    }
    m_view->showMessage(QString());
    m_settle->stop();
    startAverage();
}

void AveragePanel::requestAverage()
{
    if (!m_records.isEmpty())
        m_settle->start();
}

void AveragePanel::cancelAverage()
{
    m_settle->stop();
    m_run->cancel();
}

void AveragePanel::startAverage()
{
    m_progress->setValue(0);
    m_progress->show();
    m_stopButton->show();
    m_status->setText(trGeneric("Averaging the records (%1)…").arg(m_records.size()));
    m_run->start(m_records, RecordAverage::options(*m_settings));
}

void AveragePanel::averageFinished(const AverageRun::Result& result)
{
    // Settings changed during the run: its averages are out of date, and the next run is coming.
    if (m_settle->isActive())
        return;
    m_progress->hide();
    m_stopButton->hide();
    if (result->failure() == RecordAverage::Failure::Cancelled) {
        m_status->setText(trGeneric("Stopped: the averages are not computed."));
        emit averaged();
        return;
    }
    m_result = result;
    if (result->failure() != RecordAverage::Failure::None) {
        m_status->setText(result->failure() == RecordAverage::Failure::Options
                ? trGeneric("The settings give no average.")
                : trGeneric("No record could be averaged."));
        m_view->showMessage(result->errorString());
        emit averaged();
        return;
    }
    m_allConditions.clear();
    for (const EpochAverage::Response& response : result->responses())
        m_allConditions << response.condition;
    fillConditions();
    fillChannels();
    QString status = trGeneric("Records averaged: %1").arg(result->recordsAveraged());
    if (!result->recordFailures().empty()) {
        QStringList failures;
        for (const RecordAverage::RecordFailure& failure : result->recordFailures())
            failures << failure.message;
        status += QStringLiteral("; ") + trGeneric("Not averaged (%1):").arg(failures.size()) + QLatin1Char(' ')
            + failures.join(QStringLiteral("; "));
    }
    m_status->setText(status);
    m_csvButton->setEnabled(true);
    m_pictureButton->setEnabled(true);
    refreshView();
    emit averaged();
}

void AveragePanel::fillConditions()
{
    const QMap<QString, int> counts = m_result ? m_result->markCounts() : RecordAverage::countMarks(m_records);
    QSignalBlocker blocker(m_conditionList);
    m_conditionList->clear();
    int chosen = 0;
    for (const QString& condition : std::as_const(m_allConditions)) {
        // A condition seen for the first time is ticked while few are.
        if (!m_seenConditions.contains(condition)) {
            m_seenConditions.insert(condition);
            if (chosen >= FirstChosen)
                m_uncheckedConditions.insert(condition);
        }
        const bool checked = !m_uncheckedConditions.contains(condition);
        chosen += checked ? 1 : 0;
        auto* item = new QListWidgetItem(
            trGeneric("%1 (marks: %2)").arg(condition, QString::number(counts.value(condition))), m_conditionList);
        item->setData(ConditionRole, condition);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    const QString mapped = m_mapBox->currentText();
    QSignalBlocker mapBlocker(m_mapBox);
    m_mapBox->clear();
    m_mapBox->addItems(m_allConditions);
    int place = int(m_allConditions.indexOf(mapped));
    // At first the map shows the first condition that has an average.
    for (int c = 0; place < 0 && m_result && c < int(m_result->responses().size()); ++c) {
        if (!m_result->responses()[size_t(c)].empty())
            place = int(m_allConditions.indexOf(m_result->responses()[size_t(c)].condition));
    }
    m_mapBox->setCurrentIndex(qMax(0, place));
}

void AveragePanel::fillChannels()
{
    QSignalBlocker blocker(m_channelList);
    m_channelList->clear();
    if (!m_result)
        return;
    for (const RecordAverage::Channel& channel : m_result->channels()) {
        auto* item
            = new QListWidgetItem(QStringLiteral("%1: %2").arg(channel.number).arg(channel.label), m_channelList);
        item->setData(NumberRole, channel.number);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(m_uncheckedChannels.contains(channel.number) ? Qt::Unchecked : Qt::Checked);
    }
}

void AveragePanel::refreshView()
{
    if (!m_result || m_result->failure() != RecordAverage::Failure::None)
        return;
    AverageView::Selection selection;
    selection.conditions = chosenConditions();
    for (std::size_t c = 0; c < m_result->channels().size(); ++c) {
        if (!m_uncheckedChannels.contains(m_result->channels()[c].number))
            selection.channels.push_back(c);
    }
    selection.mapCondition = m_mapBox->currentText();
    selection.baselineFrom = m_settings->getBaselineFrom();
    selection.baselineTo = m_settings->getBaselineTo();
    selection.responseFrom = m_settings->getResponseFrom();
    selection.responseTo = m_settings->getResponseTo();
    std::vector<AverageView::Channel> channels;
    for (const RecordAverage::Channel& channel : m_result->channels())
        channels.push_back({ channel.number, channel.label });
    m_view->show(m_result->responses(), m_allConditions, channels, m_montage, selection);
}

QStringList AveragePanel::conditions() const
{
    return m_allConditions;
}

QStringList AveragePanel::chosenConditions() const
{
    QStringList chosen;
    for (const QString& condition : m_allConditions) {
        if (!m_uncheckedConditions.contains(condition))
            chosen << condition;
    }
    return chosen;
}

void AveragePanel::setChosenConditions(const QStringList& conditions)
{
    for (const QString& condition : std::as_const(m_allConditions)) {
        m_seenConditions.insert(condition);
        if (conditions.contains(condition))
            m_uncheckedConditions.remove(condition);
        else
            m_uncheckedConditions.insert(condition);
    }
    fillConditions();
    refreshView();
}

void AveragePanel::setChosenChannels(const QList<int>& numbers)
{
    m_uncheckedChannels.clear();
    if (m_result) {
        for (const RecordAverage::Channel& channel : m_result->channels()) {
            if (!numbers.contains(channel.number))
                m_uncheckedChannels.insert(channel.number);
        }
    }
    fillChannels();
    refreshView();
}

void AveragePanel::setMapCondition(const QString& condition)
{
    m_mapBox->setCurrentIndex(m_mapBox->findText(condition));
}

QString AveragePanel::status() const
{
    return m_status->text();
}

bool AveragePanel::exportCsv(const QString& path, QString* error) const
{
    std::vector<int> numbers;
    if (m_result) {
        for (const RecordAverage::Channel& channel : m_result->channels())
            numbers.push_back(channel.number);
    }
    return AverageExport::writeFile(path, AverageTable::curves(m_view->shown(), numbers), error);
}

bool AveragePanel::exportPicture(const QString& path, QString* error) const
{
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        return AverageExport::writeSvg(m_view, path, trGeneric("Averages around the marks"), error);
    return AverageExport::writePng(m_view, path, error);
}

QString AveragePanel::suggestedPath(const QString& suffix) const
{
    if (m_records.isEmpty())
        return QString();
    const QFileInfo first(m_records.constFirst());
    return first.dir().filePath(first.completeBaseName() + QStringLiteral("-average.") + suffix);
}

void AveragePanel::askCsv()
{
    const QString path = QFileDialog::getSaveFileName(
        this, trGeneric("Export CSV…"), suggestedPath(QStringLiteral("csv")), QStringLiteral("CSV (*.csv)"));
    QString error;
    if (!path.isEmpty() && !exportCsv(path, &error))
        report(error);
}

void AveragePanel::askPicture()
{
    QString filter;
    const QString path = QFileDialog::getSaveFileName(this, trGeneric("Export picture…"),
        suggestedPath(QStringLiteral("svg")), QStringLiteral("SVG (*.svg);;PNG (*.png)"), &filter);
    if (path.isEmpty())
        return;
    QString target = path;
    // A name typed without a suffix takes the filter's.
    if (QFileInfo(path).suffix().isEmpty())
        target += filter.startsWith(QLatin1String("PNG")) ? QStringLiteral(".png") : QStringLiteral(".svg");
    QString error;
    if (!exportPicture(target, &error))
        report(error);
}

void AveragePanel::report(const QString& text)
{
    auto* message = new QMessageBox(QMessageBox::Warning, trGeneric("Average"), text, QMessageBox::Ok, this);
    message->setObjectName(QStringLiteral("averageExportMessage"));
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setModal(false);
    message->show();
}
