#include "StripChartGeometry.h"

#include <array>
#include <cmath>

namespace {
constexpr std::array<int, 19> ValueSteps { 1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000, 2500, 5000, 10000,
    20000, 50000, 100000 };
}

StripChartGeometry::Visible StripChartGeometry::visibleRecords(QList<TimedValues>& records, qint64 start)
{
    Visible v;
    v.lastIndex = int(records.size()) - 1;
    bool any = false;
    for (int i = v.lastIndex; i >= 0; --i) {
        TimedValues& r = records[i];
        if (r.timestamp() < start) {
            v.firstVisible = i;
            break;
        }
        const double lo = r.minimum();
        const double hi = r.maximum();
        if (!any) {
            v.minimum = lo;
            v.maximum = hi;
            any = true;
            continue;
        }
        if (lo < v.minimum)
            v.minimum = lo;
        if (hi > v.maximum)
            v.maximum = hi;
    }
    return v;
}

StripChartGeometry::VerticalRange StripChartGeometry::verticalRange(
    const Visible& visible, bool autoscale, float fixedMinimum, float fixedMaximum, float commonSpan)
{
    VerticalRange r;
    if (autoscale) {
        r.minimum = std::floor(float(visible.minimum) / 10.0f) * 10.0f;
        r.maximum = std::ceil(float(visible.maximum) / 10.0f) * 10.0f;
        r.range = std::abs(r.maximum - r.minimum);
    } else {
        r.minimum = fixedMinimum;
        r.maximum = fixedMaximum;
        r.range = fixedMaximum - fixedMinimum;
    }
    r.span = r.range;
    if (commonSpan > 0 && autoscale) {
        const float half = (commonSpan - r.range) * 0.5f;
        r.minimum -= half;
        r.maximum += half;
        r.span = commonSpan;
    }
    return r;
}

int StripChartGeometry::valueStep(double span, int height, int textHeight)
{
    const int gapLimit = int(textHeight * 1.5);
    for (int s : ValueSteps) {
        if (height / (span / s) >= gapLimit)
            return s;
    }
    return ValueSteps.back();
}

double StripChartGeometry::firstGridValue(double minimum, int step)
{
    const double first = std::trunc(minimum);
    return std::fmod(first, step) == 0 ? first : std::floor(first / step) * step;
}

void StripChartGeometry::setArea(int width, int height, int viewSeconds)
{
    m_width = width;
    m_height = height;
    m_viewSeconds = qMax(1, viewSeconds);
    m_pixelsPerSecond = float(width) / float(m_viewSeconds);
}

void StripChartGeometry::setWindow(qint64 end, double timeShiftSeconds)
{
    m_end = end;
    m_shift = qint64(timeShiftSeconds * 1000.0);
    m_frac = double(end % 1000) / 1000.0;
}

void StripChartGeometry::setValueRange(double minimum, double span)
{
    m_minimum = minimum;
    m_span = span;
}

bool StripChartGeometry::hasSpan() const
{
    return m_span > 0 && std::isfinite(m_span) && std::isfinite(m_minimum);
}

double StripChartGeometry::gridX(int i) const
{
    return (i - m_frac) * m_pixelsPerSecond;
}

double StripChartGeometry::timeX(qint64 timestamp) const
{
    return m_width - (double(m_end - timestamp - m_shift) / 1000.0) * m_pixelsPerSecond;
}

double StripChartGeometry::markX(qint64 time) const
{
    return m_width - (double(m_end - time) / 1000.0) * m_pixelsPerSecond;
}

double StripChartGeometry::valueY(double value) const
{
    return (1.0 - (value - m_minimum) / m_span) * m_height;
}
