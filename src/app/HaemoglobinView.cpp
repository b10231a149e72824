#include "HaemoglobinView.h"

#include "DataGraphic.h"
#include "GraphGrid.h"
#include "HaemoglobinFeed.h"
#include "LanguageContext.h"
#include "MainToolBar.h"
#include "MenuButton.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "StyleHelper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {
// Clear on the light and on the dark theme alike.
const QColor OxyColor(0xE5, 0x39, 0x35);
const QColor DeoxyColor(0x1E, 0x88, 0xE5);
} // namespace

HaemoglobinView::HaemoglobinView(
    HalvexSettings* settings, RecordsSettings* optics, HaemoglobinFeed* feed, QWidget* parent)
    : QWidget(parent)
    , m_feed(feed)
{
    setObjectName(QStringLiteral("haemoglobinView"));
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-idle-bg"));

    auto* legend = new QLabel(QStringLiteral("<span style=\"color:%1\">HbO</span> <span style=\"color:%2\">HbR</span> ")
                                  .arg(OxyColor.name(), DeoxyColor.name())
            + trGeneric("µM"),
        this);
    legend->setObjectName(QStringLiteral("haemoglobinLegend"));
    m_baseline = new QLabel(this);
    m_baseline->setObjectName(QStringLiteral("baselineStatus"));
    m_baseline->setStyleSheet(QStringLiteral("font-weight: bold"));
    auto* reset = new QPushButton(trGeneric("Reset baseline"), this);
    reset->setObjectName(QStringLiteral("resetBaselineButton"));
    reset->setCursor(Qt::PointingHandCursor);
    reset->setToolTip(MainToolBar::withShortcut(
        trGeneric("Start a new baseline: the next seconds of light become the zero of HbO and HbR. The record does "
                  "not change."),
        resetKey()));
    connect(reset, &QPushButton::clicked, m_feed, &HaemoglobinFeed::resetBaseline);

    // In a drop-down rather than in the row, so that every title stays whole in a narrow window.
    auto* opticsButton = new MenuButton(QIcon(), trGeneric("Optics"), this);
    opticsButton->setObjectName(QStringLiteral("opticsButton"));
    opticsButton->setCursor(Qt::PointingHandCursor);
    opticsButton->setToolTip(
        trGeneric("The wavelengths, the partial pathlength factor and the source–detector distance "
                  "the concentrations are computed with; the records windows use the same."));
    for (const char* name :
        { "RedWavelength", "InfraredWavelength", "PartialPathlengthFactor", "SourceDetectorDistance" }) {
        opticsButton->addWidgetToMenu(
            new PropertyListControl(optics, QString::fromLatin1(name), PropertyListControl::ViewSingleProperty));
    }

    m_grid = new GraphGrid(
        settings, [](DataGraphic* graph, int, int) { styleGraph(graph); }, this);
    m_grid->setObjectName(QStringLiteral("haemoglobinGraphs"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("haemoglobinProblem"));
    m_problem->setAlignment(Qt::AlignCenter);
    m_problem->setWordWrap(true);
    m_body = new QStackedWidget(this);
    m_body->addWidget(m_grid);
    m_body->addWidget(m_problem);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(6, 2, 2, 2);
    header->addWidget(legend);
    header->addSpacing(16);
    header->addWidget(m_baseline);
    header->addStretch(1);
    header->addWidget(opticsButton);
    header->addSpacing(4);
    header->addWidget(reset);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(header);
    column->addWidget(m_body, 1);

    connect(m_feed, &HaemoglobinFeed::baselineRestarted, this, &HaemoglobinView::refreshStatus);
    refreshStatus();
}

void HaemoglobinView::styleGraph(DataGraphic* graph)
{
    graph->setPens({ QPen(OxyColor), QPen(DeoxyColor) }, false);
    graph->setGridLabelDivisor(NanomolarPerMicromolar);
}

const QList<DataGraphic*>& HaemoglobinView::graphs() const
{
    return m_grid->graphs();
}

void HaemoglobinView::rebuild(int n, const AcquisitionProcessor& processor)
{
    m_grid->rebuild(n, processor);
}

void HaemoglobinView::addKnown(int known, const QList<AcquisitionProcessor::GraphSample>& samples)
{
    if (known <= 0)
        return;
    m_pair.resize(2);
    for (int k = 0; k < known; ++k) {
        const qint64 timestamp = m_feed->readyTimestamp(k);
        const double* oxy = m_feed->oxy(k);
        const double* deoxy = m_feed->deoxy(k);
        for (const AcquisitionProcessor::GraphSample& sample : samples) {
            m_pair[0] = oxy[sample.channel] * NanomolarPerMicromolar;
            m_pair[1] = deoxy[sample.channel] * NanomolarPerMicromolar;
            m_grid->addData(sample.graph, timestamp, m_pair);
        }
    }
    m_grid->shareSpan();
}

void HaemoglobinView::addEvent(qint64 timestamp, const QString& text)
{
    m_grid->addEvent(timestamp, text);
}

void HaemoglobinView::refreshStatus()
{
    const QString& problem = m_feed->problem();
    m_body->setCurrentWidget(problem.isEmpty() ? static_cast<QWidget*>(m_grid) : m_problem);
    if (m_problem->text() != problem)
        m_problem->setText(problem);
    // Whole seconds, counted down; the label changes once a second, not with every sample.
    const int secondsLeft = problem.isEmpty() && !m_feed->known() ? int(std::ceil(m_feed->baselineSecondsLeft())) : -1;
    if (secondsLeft == m_shownSecondsLeft)
        return;
    m_shownSecondsLeft = secondsLeft;
    m_baseline->setVisible(secondsLeft >= 0);
    if (secondsLeft >= 0)
        m_baseline->setText(trGeneric("Baseline: %1 s left").arg(secondsLeft));
}
