#pragma once

#include <QList>
#include <QPointF>

// Collects the points of one curve in x order and keeps, of all points that fall into one pixel column, only the
// first, the lowest, the highest and the last (in their original order). The stroked line covers the same pixels,
// but a window of many thousand samples on a few hundred columns costs a few points per column instead of all of
// them. The point buffer is reused from curve to curve.
class PolylineReducer
{
public:
    void begin();
    void add(double x, double y);
    // Flushes the open column; the points are then complete.
    const QList<QPointF>& finish();
    const QList<QPointF>& points() const { return m_points; }

private:
    void flushColumn();

    QList<QPointF> m_points;
    double m_column = 0;
    int m_count = 0;
    QPointF m_first;
    QPointF m_low;
    QPointF m_high;
    QPointF m_last;
    int m_lowIndex = 0;
    int m_highIndex = 0;
};
