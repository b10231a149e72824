#pragma once

#include "TimedValues.h"

#include <QList>
#include <QtGlobal>

// The arithmetic of the strip chart, kept apart from painting: which records are visible, the vertical range, and
// where a time, a value, a grid line lands in pixels.
class StripChartGeometry
{
public:
    struct Visible
    {
        int firstVisible = 0;
        int lastIndex = -1;
        double minimum = 0;
        double maximum = 0;
    };

    struct VerticalRange
    {
        float minimum = 0;
        float maximum = 0;
        float range = 0; // before any common span
        float span = 0; // what the height stands for
    };

    // Walks from the newest record back to the first one older than start; that one is still drawn (so the line
    // reaches the left edge) but does not count for the extremes.
    static Visible visibleRecords(QList<TimedValues>& records, qint64 start);
    static VerticalRange verticalRange(
        const Visible& visible, bool autoscale, float fixedMinimum, float fixedMaximum, float commonSpan);
    // The grid step in value units: the first of the step table whose lines are at least textHeight·1.5 apart.
    static int valueStep(double span, int height, int textHeight);
    // The first grid line: the minimum truncated, moved down to a multiple of step.
    static double firstGridValue(double minimum, int step);
    // Every how many seconds a time label is drawn, so that labels labelWidth pixels wide keep a gap between them:
    // the first of 1, 2, 5, 10, 15, 30, 60, 120 seconds that leaves the room.
    static int timeLabelStep(double pixelsPerSecond, double labelWidth);

    struct MarkLabel
    {
        int row = 0; // text rows counted upwards from the lowest
        double room = qInf(); // the width the text may take before the next text in its row
    };
    // Mark texts beginning at xs (ascending) with the given widths: each goes to the lowest of rows text rows where
    // the text before it has ended; when every row is taken, to the row that frees first, and the text before it in
    // that row gets only the room up to it.
    static void layoutMarkLabels(
        const QList<double>& xs, const QList<double>& widths, int rows, double gap, QList<MarkLabel>& labels);

    void setArea(int width, int height, int viewSeconds);
    void setWindow(qint64 end, double timeShiftSeconds);
    void setValueRange(double minimum, double span);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int viewSeconds() const { return m_viewSeconds; }
    float pixelsPerSecond() const { return m_pixelsPerSecond; }
    qint64 end() const { return m_end; }
    // Whether values can be placed at all: a span of 0 has no vertical scale.
    bool hasSpan() const;

    // x of the vertical grid line of second i (0 … viewSeconds), shifted by the fraction of the current second.
    double gridX(int i) const;
    double timeX(qint64 timestamp) const;
    // Marks ignore the time shift.
    double markX(qint64 time) const;
    double valueY(double value) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_viewSeconds = 10;
    float m_pixelsPerSecond = 1.0f;
    qint64 m_end = 0;
    qint64 m_shift = 0;
    double m_frac = 0;
    double m_minimum = 0;
    double m_span = 0;
};
