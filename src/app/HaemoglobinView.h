#pragma once

#include "AcquisitionProcessor.h"

#include <QKeySequence>
#include <QList>
#include <QWidget>

class DataGraphic;
class GraphGrid;
class HaemoglobinFeed;
class HalvexSettings;
class QLabel;
class QStackedWidget;
class RecordsSettings;

// The live oxy- (red) and deoxy-haemoglobin (blue) of every channel in µM, one strip chart per channel in the
// arrangement of the raw graphs, with the record's events; while the baseline gathers a line says how long it still
// takes, and settings that give no concentrations show their reason instead of the graphs. "Reset baseline" starts
// a new baseline.
class HaemoglobinView : public QWidget
{
    Q_OBJECT
public:
    // The graphs get nM and label their grid in µM: DataGraphic rounds its scale and grid steps to whole units.
    static constexpr int NanomolarPerMicromolar = 1000;
    static QKeySequence resetKey() { return QKeySequence(Qt::CTRL | Qt::Key_B); }
    // HbO red and HbR blue, fed in nM and labelled in µM.
    static void styleGraph(DataGraphic* graph);

    // The optics are shown for editing beside the legend: the numbers the concentrations depend on.
    HaemoglobinView(
        HalvexSettings* settings, RecordsSettings* optics, HaemoglobinFeed* feed, QWidget* parent = nullptr);

    const QList<DataGraphic*>& graphs() const;
    void rebuild(int n, const AcquisitionProcessor& processor);
    // The samples the feed's last push made known, to the graphs of the channels in samples.
    void addKnown(int known, const QList<AcquisitionProcessor::GraphSample>& samples);
    void addEvent(qint64 timestamp, const QString& text);
    // The baseline line and the reason for no graphs, as the feed stands.
    void refreshStatus();

private:
    HaemoglobinFeed* m_feed = nullptr;
    GraphGrid* m_grid = nullptr;
    QStackedWidget* m_body = nullptr;
    QLabel* m_problem = nullptr;
    QLabel* m_baseline = nullptr;
    int m_shownSecondsLeft = -1;
    QList<double> m_pair;
};
