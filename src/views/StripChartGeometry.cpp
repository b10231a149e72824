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

int StripChartGeometry::timeLabelStep(double pixelsPerSecond, double labelWidth)
{
    constexpr std::array<int, 8> steps { 1, 2, 5, 10, 15, 30, 60, 120 };
    const double needed = labelWidth * 1.5;
    for (int step : steps) {
        if (step * pixelsPerSecond >= needed)
            return step;
    }
    return steps.back();
}

void StripChartGeometry::layoutMarkLabels(
    const QList<double>& xs, const QList<double>& widths, int rows, double gap, QList<MarkLabel>& labels)
{
    rows = qMax(1, rows);
    labels.resize(xs.size());
    // Per row: where its last text ends and which label that is. Rows are few (the widget's height in text lines).
    std::array<double, 16> ends;
    std::array<qsizetype, 16> last;
    rows = qMin(rows, int(ends.size()));
    ends.fill(-qInf());
    last.fill(-1);
    for (qsizetype i = 0; i < xs.size(); ++i) {
        const double x = xs.at(i);
        int row = -1;
        for (int r = 0; r < rows && row < 0; ++r) {
            if (ends[size_t(r)] + gap <= x)
                row = r;
        }
        if (row < 0) {
            row = 0;
            for (int r = 1; r < rows; ++r) {
                if (ends[size_t(r)] < ends[size_t(row)])
                    row = r;
            }
            const qsizetype before = last[size_t(row)];
            labels[before].room = qMax(0.0, x - xs.at(before) - gap);
        }
        labels[i] = { row, qInf() };
        ends[size_t(row)] = x + widths.value(i);
        last[size_t(row)] = i;
    }
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
