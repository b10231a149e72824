#include "GraphGrid.h"

#include "AcquisitionProcessor.h"
#include "DataGraphic.h"
#include "HalvexSettings.h"
#include "StyleHelper.h"

#include <QGridLayout>

GraphGrid::GraphGrid(HalvexSettings* settings, Style style, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_style(std::move(style))
{
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-idle-bg"));
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(m_settings->getGraphicSpacing());
    connect(m_settings, &HalvexSettings::changedGraphicSpacing, m_layout, &QGridLayout::setSpacing);
    connect(
        m_settings, &HalvexSettings::changedViewSeconds, this,
        [this]() {
            for (DataGraphic* graph : std::as_const(m_graphs))
                graph->setViewSeconds(m_settings->getViewSeconds());
        },
        Qt::QueuedConnection);
}

void GraphGrid::rebuild(int n, const AcquisitionProcessor& processor)
{
    for (DataGraphic* graph : std::as_const(m_graphs)) {
        graph->hide();
        graph->setParent(nullptr);
        graph->deleteLater();
    }
    m_graphs.clear();
    m_largest = 0;
    if (n <= 0)
        return;

    const int half = n / 2;
    struct Cell
    {
        int row;
        int column;
        QString name;
    };
    QList<Cell> cells;
    if (processor.montageActive) {
        for (int r = 0; r < processor.montageRows.size(); ++r) {
            const auto& entries = processor.montageRows.at(r);
            for (int j = 0; j < entries.size(); ++j)
                cells.append({ r, processor.montageMaxRow - int(entries.size()) + 2 * j, entries.at(j).name });
        }
    }

    const int viewSeconds = m_settings->getViewSeconds();
    m_graphs.reserve(n);
    for (int g = 0; g < n; ++g) {
        auto* graph = new DataGraphic(this);
        graph->setLive(true, 0);
        const QString title
            = processor.montageActive ? cells.value(g).name : QStringLiteral("#") + QString::number(g + 1);
        graph->setTitle(title);
        graph->setName(title);
        m_style(graph, g, n);
        graph->setShowValueLabels(false);
        graph->setCommonSpan(-1);
        graph->setViewSeconds(viewSeconds);
        graph->setLive(true, 0);
        m_graphs.append(graph);

        if (processor.montageActive) {
            if (g < cells.size())
                m_layout->addWidget(graph, cells.at(g).row, cells.at(g).column, 1, 2);
            graph->setShowTimeLabels(g == n - 1);
        } else {
            const int column = g < half ? 0 : 1;
            const int row = g < half ? g : g - half;
            m_layout->addWidget(graph, row, column);
            if (row + 1 < half)
                graph->setShowTimeLabels(false);
        }
    }
}

void GraphGrid::addData(int g, qint64 timestamp, const QList<double>& values)
{
    if (g < 0 || g >= m_graphs.size())
        return;
    DataGraphic* graph = m_graphs.at(g);
    graph->addData(timestamp, values, true, 0);
    m_largest = qMax(m_largest, AcquisitionProcessor::truncatedToInt(graph->range()));
}

void GraphGrid::shareSpan()
{
    if (m_largest > 0) {
        const float span = m_settings->getLockCommonVerticalScale() ? float(m_largest) : -1.0f;
        for (DataGraphic* graph : std::as_const(m_graphs))
            graph->setCommonSpan(span);
    }
    m_largest = 0;
}

void GraphGrid::addEvent(qint64 timestamp, const QString& text)
{
    for (DataGraphic* graph : std::as_const(m_graphs))
        graph->addEvent(timestamp, text);
}
