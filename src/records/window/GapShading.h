#pragma once

#include "RecordGaps.h"

#include <QColor>
#include <QWidget>

#include <vector>

class DataGraphic;

// Shades the stretches of a record without data over its graph. A child that covers the graph, so that every
// paint of the graph paints it after the curves; the mouse goes through it. It places the gaps as the graph places
// its records in static mode: the window starts timeOffset seconds after the first record and spans viewSeconds,
// and the curves, the gaps with them, are moved by the time shift.
class GapShading : public QWidget
{
    Q_OBJECT
public:
    explicit GapShading(DataGraphic* graph);

    // Times on the record's clock; firstTime is that of the graph's first record.
    void setGaps(std::vector<RecordGaps::Gap> gaps, qint64 firstTime);
    void setView(int viewSeconds, double timeOffset, double timeShift);
    const std::vector<RecordGaps::Gap>& gaps() const { return m_gaps; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RecordGaps::Gap> m_gaps;
    qint64 m_firstTime = 0;
    int m_viewSeconds = 10;
    double m_timeOffset = 0;
    double m_timeShift = 0;
    QColor m_color;
};
