#pragma once

#include "EpochAverage.h"
#include "RawRecord.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class ActivationMap;
class AverageGraph;
class QGridLayout;
class QLabel;

// What the Average page shows and exports as a picture: one graph per chosen channel with the chosen conditions
// overlaid, on one vertical scale, and below them the activation map of one condition.
class AverageView : public QWidget
{
    Q_OBJECT
public:
    struct Channel
    {
        int number = 0; // the record's, from 1
        QString label;
    };

    struct Selection
    {
        QStringList conditions; // shown in the graphs, in this order
        std::vector<std::size_t> channels; // indices into the channels, from 0
        QString mapCondition;
        double baselineFrom = -5; // s
        double baselineTo = 0;
        double responseFrom = 5;
        double responseTo = 15;
    };

    explicit AverageView(QWidget* parent = nullptr);

    // responses: one per condition found (their series HbO ch1, HbR ch1, …); colours follow a condition's place
    // among allConditions, so that it keeps its colour whichever others are chosen.
    void show(const std::vector<EpochAverage::Response>& responses, const QStringList& allConditions,
        const std::vector<Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage,
        const Selection& selection);
    // No graphs and no map: the text instead.
    void showMessage(const QString& text);

    const QList<AverageGraph*>& graphs() const { return m_graphs; }
    ActivationMap* map() const { return m_map; }
    QString message() const;
    // The responses of the chosen conditions, in the graphs' order (for the CSV export).
    const std::vector<EpochAverage::Response>& shown() const { return *m_shown; }

private:
    void clearGraphs();

    QGridLayout* m_grid = nullptr;
    QLabel* m_message = nullptr;
    ActivationMap* m_map = nullptr;
    QList<AverageGraph*> m_graphs;
    std::shared_ptr<std::vector<EpochAverage::Response>> m_shown;
};
