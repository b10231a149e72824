#include "AverageView.h"

#include "ActivationMap.h"
#include "AverageGraph.h"
#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include <cmath>

AverageView::AverageView(QWidget* parent)
    : QWidget(parent)
    , m_shown(std::make_shared<std::vector<EpochAverage::Response>>())
{
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-bg"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("averageMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->hide();
    m_grid = new QGridLayout;
    m_grid->setSpacing(6);
    m_map = new ActivationMap(this);
    m_map->setObjectName(QStringLiteral("activationMap"));
    m_map->setToolTip(trGeneric("The activation map: each channel where the montage places it, coloured by the mean "
                                "change of its HbO in the response window after the marks of the condition chosen "
                                "for the map (red a rise, blue a fall)."));
    m_map->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(m_message);
    column->addLayout(m_grid);
    column->addWidget(m_map);
    column->addStretch(1);
}

void AverageView::clearGraphs()
{
    for (AverageGraph* graph : std::as_const(m_graphs)) {
        m_grid->removeWidget(graph);
        graph->hide();
        graph->deleteLater();
    }
    m_graphs.clear();
}

void AverageView::showMessage(const QString& text)
{
    clearGraphs();
    m_shown = std::make_shared<std::vector<EpochAverage::Response>>();
    m_map->hide();
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

QString AverageView::message() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

void AverageView::show(const std::vector<EpochAverage::Response>& responses, const QStringList& allConditions,
    const std::vector<Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage, const Selection& selection)
{
    clearGraphs();
    // The graphs share one list; a new list each time, so that graphs still painting hold the old one.
    auto shown = std::make_shared<std::vector<EpochAverage::Response>>();
    std::vector<QColor> colors;
    for (const QString& condition : selection.conditions) {
        const auto found = std::find_if(responses.cbegin(), responses.cend(),
            [&condition](const EpochAverage::Response& r) { return r.condition == condition; });
        if (found == responses.cend()) {
            EpochAverage::Response missing;
            missing.condition = condition;
            shown->push_back(missing);
        } else {
            shown->push_back(*found);
        }
        colors.push_back(AverageGraph::conditionColor(int(allConditions.indexOf(condition))));
    }
    m_shown = shown;

    if (selection.conditions.isEmpty())
        m_message->setText(trGeneric("Choose one or more conditions to see their averages."));
    else if (selection.channels.empty())
        m_message->setText(trGeneric("Choose one or more channels to see their averages."));
    else if (std::all_of(shown->cbegin(), shown->cend(), [](const EpochAverage::Response& r) { return r.empty(); }))
        m_message->setText(trGeneric("Nothing to average: no condition chosen has a mark inside the records."));
    else
        m_message->clear();
    m_message->setVisible(!m_message->text().isEmpty());

    double low = 0;
    double high = 0;
    int place = 0;
    for (const std::size_t channel : selection.channels) {
        if (channel >= channels.size())
            continue;
        auto* graph = new AverageGraph(this);
        graph->setObjectName(QStringLiteral("averageGraph%1").arg(channels[channel].number));
        AverageGraph::Curves curves;
        curves.responses = shown;
        curves.colors = colors;
        curves.channel = channel;
        curves.title = channels[channel].label;
        curves.baselineFrom = selection.baselineFrom;
        curves.baselineTo = selection.baselineTo;
        graph->setCurves(std::move(curves));
        const auto [l, h] = graph->extent();
        low = std::min(low, l);
        high = std::max(high, h);
        m_grid->addWidget(graph, place / 2, place % 2);
        m_graphs.append(graph);
        ++place;
    }
    // One scale for every graph: the channels compare at a glance.
    for (AverageGraph* graph : std::as_const(m_graphs))
        graph->setRange(low, high);

    const auto mapped = std::find_if(responses.cbegin(), responses.cend(),
        [&selection](const EpochAverage::Response& r) { return r.condition == selection.mapCondition; });
    if (mapped == responses.cend() || channels.empty()) {
        m_map->hide();
        return;
    }
    std::vector<int> numbers;
    QStringList titles;
    for (const Channel& channel : channels) {
        numbers.push_back(channel.number);
        titles << channel.label;
    }
    m_map->setCells(ActivationMap::arrange(numbers, titles, montage));
    const std::vector<double> means = EpochAverage::windowMean(*mapped, selection.responseFrom, selection.responseTo);
    std::vector<double> oxy(channels.size(), std::nan(""));
    QStringList tips;
    const QLocale locale;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        oxy[c] = 2 * c < means.size() ? means[2 * c] : std::nan("");
        const double deoxy = 2 * c + 1 < means.size() ? means[2 * c + 1] : std::nan("");
        if (std::isnan(oxy[c])) {
            tips << trGeneric("Channel %1 (%2): no average of %3 in the response window.")
                        .arg(channels[c].number)
                        .arg(channels[c].label, mapped->condition);
        } else {
            tips << trGeneric("Channel %1 (%2): mean ΔHbO %3 µM, ΔHbR %4 µM from %5 to %6 s after the marks of %7 "
                              "(n = %8).")
                        .arg(channels[c].number)
                        .arg(channels[c].label, locale.toString(oxy[c], 'g', 3), locale.toString(deoxy, 'g', 3),
                            locale.toString(selection.responseFrom), locale.toString(selection.responseTo),
                            mapped->condition)
                        .arg(mapped->marks);
        }
    }
    m_map->setValues(oxy,
        trGeneric("Activation map: mean ΔHbO of %1 from %2 to %3 s")
            .arg(mapped->condition, locale.toString(selection.responseFrom), locale.toString(selection.responseTo)),
        tips);
    m_map->show();
}
