#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class AcquisitionProcessor;
class DataGraphic;
class HalvexSettings;
class QGridLayout;

// One live strip chart per displayed channel: placed and titled as the montage says, or "#1", "#2", … in two
// columns without one. The graphs follow the settings ViewSeconds, GraphicSpacing and LockCommonVerticalScale.
class GraphGrid : public QWidget
{
    Q_OBJECT
public:
    // Gives graph g of n its pens.
    using Style = std::function<void(DataGraphic* graph, int g, int n)>;

    GraphGrid(HalvexSettings* settings, Style style, QWidget* parent = nullptr);

    // Deletes the graphs and makes n new ones in the arrangement of the processor's montage.
    void rebuild(int n, const AcquisitionProcessor& processor);
    const QList<DataGraphic*>& graphs() const { return m_graphs; }

    // One sample of graph g (out of range: nothing). After the samples of a moment, shareSpan() gives every graph
    // the span of the widest of them while the common scale is locked.
    void addData(int g, qint64 timestamp, const QList<double>& values);
    void shareSpan();
    void addEvent(qint64 timestamp, const QString& text);

private:
    HalvexSettings* m_settings = nullptr;
    Style m_style;
    QGridLayout* m_layout = nullptr;
    QList<DataGraphic*> m_graphs;
    // The widest span of the graphs that took a sample since the last shareSpan().
    int m_largest = 0;
};
