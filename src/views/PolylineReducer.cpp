#include "PolylineReducer.h"

#include <cmath>

void PolylineReducer::begin()
{
    m_points.clear();
    m_count = 0;
}

void PolylineReducer::add(double x, double y)
{
    const double column = std::floor(x);
    if (m_count > 0 && column != m_column)
        flushColumn();
    const QPointF p(x, y);
    if (m_count == 0) {
        m_column = column;
        m_first = m_low = m_high = p;
        m_lowIndex = m_highIndex = 0;
    } else if (y < m_low.y()) {
        m_low = p;
        m_lowIndex = m_count;
    } else if (y > m_high.y()) {
        m_high = p;
        m_highIndex = m_count;
    }
    m_last = p;
    ++m_count;
}

const QList<QPointF>& PolylineReducer::finish()
{
    if (m_count > 0)
        flushColumn();
    return m_points;
}

void PolylineReducer::flushColumn()
{
    const int lastIndex = m_count - 1;
    m_points.append(m_first);
    const bool lowFirst = m_lowIndex <= m_highIndex;
    const int a = lowFirst ? m_lowIndex : m_highIndex;
    const int b = lowFirst ? m_highIndex : m_lowIndex;
    if (a != 0 && a != lastIndex)
        m_points.append(lowFirst ? m_low : m_high);
    if (b != 0 && b != lastIndex && b != a)
        m_points.append(lowFirst ? m_high : m_low);
    if (lastIndex != 0)
        m_points.append(m_last);
    m_count = 0;
}
