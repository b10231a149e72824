// The whole picture of DataGraphic, drawn afresh at every paint: static mode (the records window), and live mode
// where the frame image is not used. The layers both pictures share (labels, marks, events, title, bars) are in
// DataGraphic.cpp, the live frame in DataGraphicLive.cpp.
#include "DataGraphic.h"

#include <QPainter>

#include <cmath>

void DataGraphic::paintDirect(QPainter& painter)
{
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), m_background);

    refreshGeometry();

    qint64 start = 0;
    qint64 end = 0;
    if (!m_live && !m_records.isEmpty()) {
        start = m_records.first().timestamp() + qint64(m_timeOffset * 1000.0);
        end = start + qint64(m_viewSeconds) * 1000;
    } else {
        end = m_clock();
        start = end - qint64(m_viewSeconds) * 1000;
    }
    const StripChartGeometry::Visible visible = StripChartGeometry::visibleRecords(m_records, start);
    m_firstVisible = visible.firstVisible;
    m_lastIndex = visible.lastIndex;
    const StripChartGeometry::VerticalRange vertical
        = StripChartGeometry::verticalRange(visible, m_autoscale, m_fixedMinimum, m_fixedMaximum, m_commonSpan);
    m_minimum = vertical.minimum;
    m_maximum = vertical.maximum;
    m_range = vertical.range;

    m_geometry.setArea(w, h, m_viewSeconds);
    m_geometry.setWindow(end, m_timeShift);
    m_geometry.setValueRange(m_minimum, vertical.span);
    updateValueTexts();

    // Time grid. Labels are drawn every few seconds when they would run together, always on the same seconds so
    // that they do not jump while the window moves, and never under the minimum's label in the corner.
    const double labelBase = m_live ? double((end / 1000) * 1000 - m_liveStart) / 1000.0 : m_timeOffset;
    int labelStep = 1;
    double labelRight = w;
    if (m_showTimeLabels) {
        updateTimeLabels(labelBase);
        labelStep = StripChartGeometry::timeLabelStep(m_geometry.pixelsPerSecond(), m_timeLabelWidth);
        if (m_showValueLabels)
            labelRight = w - m_minimumTextWidth - 4;
    }
    for (int i = 0; i <= m_viewSeconds; ++i) {
        const double x = m_geometry.gridX(i);
        painter.setPen(m_gridPen);
        painter.drawLine(QLineF(x, 0, x, h));
        const QStaticText& label = m_timeLabels.value(i);
        if (m_showTimeLabels && std::llround(i + labelBase) % labelStep == 0
            && x + 1 + label.size().width() <= labelRight) {
            painter.setPen(m_textPen);
            painter.drawStaticText(QPointF(int(x + 1), h - m_textHeight), label);
        }
    }

    drawValueLabels(painter);

    // A grid label hangs below its line, clear of the next line down.
    const ValueGrid grid = valueGrid(vertical.span);
    painter.setPen(m_gridPen);
    for (int i = 0; i < grid.count; ++i) {
        const double y = m_geometry.valueY(grid.first + double(i) * grid.step);
        painter.drawLine(QLineF(0, y, w, y));
    }
    drawGridLabels(painter, grid);

    painter.setRenderHint(QPainter::Antialiasing, true);
    if (m_geometry.hasSpan())
        drawCurves(painter);

    drawMarks(painter, [this](qint64 time) { return m_geometry.markX(time); });

    drawEvents(painter, [this](qint64 time) { return m_geometry.timeX(time); });

    drawTitle(painter);
}

void DataGraphic::updateTimeLabels(double base)
{
    if (base == m_timeLabelBase && m_timeLabels.size() == m_viewSeconds + 1)
        return;
    m_timeLabelBase = base;
    m_timeLabels.resize(m_viewSeconds + 1);
    m_timeLabelWidth = 0;
    for (int i = 0; i <= m_viewSeconds; ++i) {
        m_timeLabels[i] = plainStaticText(QString::number(i + base, 'g', 6));
        m_timeLabels[i].prepare(QTransform(), font());
        m_timeLabelWidth = qMax(m_timeLabelWidth, m_timeLabels.at(i).size().width());
    }
}

void DataGraphic::drawCurves(QPainter& painter)
{
    if (m_lastIndex < 0)
        return;
    const int curves = int(m_pens.size());
    for (PolylineReducer& reducer : m_reducers)
        reducer.begin();
    m_barRects.clear();
    const double zeroY = m_geometry.valueY(0);
    const bool bars = m_bars && curves > 2;
    for (int i = m_lastIndex; i >= m_firstVisible; --i) {
        const TimedValues& record = m_records.at(i);
        const double x = m_geometry.timeX(record.timestamp());
        const QList<double>& values = record.values();
        const int n = qMin(curves, int(values.size()));
        for (int j = 0; j < n; ++j) {
            const double y = m_geometry.valueY(values.at(j));
            m_reducers[size_t(j)].add(x, y);
            if (j == 2 && bars && i != m_lastIndex)
                m_barRects.append(QRectF(x - 1, qMin(y, zeroY), 2, std::abs(y - zeroY)));
        }
    }
    drawBars(painter);
    for (int j = 0; j < curves; ++j) {
        const QList<QPointF>& points = m_reducers[size_t(j)].finish();
        if (points.size() < 2)
            continue;
        painter.setPen(m_pens.at(j));
        // The raster engine strokes a wide antialiased polyline as one path whose cost grows faster than its
        // length; short overlapping pieces draw the same line several times faster.
        constexpr int Piece = 32;
        const int n = int(points.size());
        for (int first = 0; first < n - 1; first += Piece)
            painter.drawPolyline(points.constData() + first, qMin(Piece + 1, n - first));
    }
}
