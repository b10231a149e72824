// The live frame of DataGraphic: a picture that moves with the time axis in whole pixels.
//
// Live mode measures time in absolute pixel columns: column c holds the times t with
// floor((t − liveStart) · pixelsPerSecond / 1000) = c. The right edge of the picture is the column the clock is in
// (pixel end, exclusive), so the picture only changes when the clock enters a new column, when a record lands in a
// column already shown, or when a setting changes. Curves are cut into pieces of BlockColumns absolute columns;
// each piece is one polyline from the last point before it, so a piece looks the same whichever frame draws it and
// a dashed pen keeps its phase while the curve moves. Drawing the frame once or moving it and drawing the new
// columns therefore gives the same pixels.
#include "DataGraphic.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr qint64 NoColumn = std::numeric_limits<qint64>::max();
constexpr int BlockColumns = 8;
// Pixels a stroke reaches beyond its points: half the widest pen, the square cap, antialiasing.
constexpr int StrokeMargin = 4;
// The columns where a piece and the one before it may both leave pixels: StrokeMargin either side of their point.
constexpr int BaseColumns = 2 * StrokeMargin + 1;
// How far left of the picture a time label may start and still reach into it.
constexpr int LabelReach = 200;
// The frame reaches this far beyond the picture on both sides. The raster engine clips lines that cross the edge of
// the image it draws on, and a clipped thin or dashed line is not the line moved: pieces must not cross an edge
// that the picture can see.
constexpr int LeftPad = 64;
constexpr int RightPad = 8;

bool s_fullLiveRepaint = false;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
} // namespace

void DataGraphic::setFullLiveRepaint(bool on)
{
    s_fullLiveRepaint = on;
}

bool DataGraphic::usesLiveFrame() const
{
    // The frame moves by whole device pixels; a fractional device pixel ratio cannot.
    const qreal dpr = devicePixelRatioF();
    return m_live && !s_fullLiveRepaint && dpr == std::floor(dpr) && width() > 0 && height() > 0;
}

void DataGraphic::paintLive(QPainter& painter)
{
    refreshLiveFrame();
    // The picture starts LeftPad columns into the ring and may wrap around its end.
    const int dpr = int(m_frame.devicePixelRatio());
    const int start = (m_frameOrigin + LeftPad * dpr) % m_frame.width();
    const int total = width() * dpr;
    const int head = qMin(total, m_frame.width() - start);
    const int h = height();
    painter.drawImage(QRectF(0, 0, head / dpr, h), m_frame, QRectF(start, 0, head, h * dpr));
    if (head < total)
        painter.drawImage(QRectF(head / dpr, 0, (total - head) / dpr, h), m_frame, QRectF(0, 0, total - head, h * dpr));
    drawOverlay(painter);
}

void DataGraphic::onRepaintTick()
{
    if (!usesLiveFrame() || liveFrameDue())
        update();
}

bool DataGraphic::liveFrameDue() const
{
    return !m_frameValid || m_geometryDirty || m_dirtyFrom != NoColumn || pixelEnd() != m_framePend;
}

double DataGraphic::liveX(qint64 time) const
{
    return double(time - m_liveStart) / 1000.0 * double(m_pixelsPerSecond);
}

qint64 DataGraphic::recordColumn(const TimedValues& record) const
{
    return qint64(std::floor(liveX(record.timestamp() + qint64(m_timeShift * 1000.0))));
}

qint64 DataGraphic::pixelEnd() const
{
    return qint64(std::floor(liveX(m_clock())));
}

int DataGraphic::firstRecordFromColumn(qint64 column) const
{
    const auto it = std::partition_point(m_records.cbegin(), m_records.cend(),
        [this, column](const TimedValues& r) { return recordColumn(r) < column; });
    return int(it - m_records.cbegin());
}

void DataGraphic::noteLiveRecord(const TimedValues& record)
{
    if (!m_frameValid)
        return;
    const qint64 column = recordColumn(record);
    if (column < m_framePend)
        m_dirtyFrom = qMin(m_dirtyFrom, column);
}

void DataGraphic::foldColumns(qint64 end, int width)
{
    const qint64 base = end - width - 1;
    if (!m_columnsValid || m_columnBase > base) {
        m_columns.clear();
        m_columnBase = base;
        m_nextFoldSerial = m_droppedRecords + firstRecordFromColumn(base);
        m_columnsValid = true;
    }
    while (m_columnBase < base && !m_columns.empty()) {
        m_columns.pop_front();
        ++m_columnBase;
    }
    if (m_columns.empty())
        m_columnBase = base;
    // Records arrive in time order; one that is not yet shown ends the fold, late ones fold into their column.
    qsizetype i = qMax<qint64>(m_nextFoldSerial - m_droppedRecords, 0);
    for (; i < m_records.size(); ++i) {
        TimedValues& record = m_records[i];
        const qint64 column = recordColumn(record);
        if (column >= end)
            break;
        if (column < m_columnBase)
            continue;
        if (column - m_columnBase >= qint64(m_columns.size()))
            m_columns.resize(size_t(column - m_columnBase + 1));
        ColumnExtremes& e = m_columns[size_t(column - m_columnBase)];
        const double lo = record.minimum();
        const double hi = record.maximum();
        if (!e.any) {
            e = { lo, hi, true };
        } else {
            e.minimum = qMin(e.minimum, lo);
            e.maximum = qMax(e.maximum, hi);
        }
    }
    m_nextFoldSerial = m_droppedRecords + i;
}

QPair<qint64, int> DataGraphic::visibleMarks(qint64 end, int width) const
{
    // Marks share text rows, so a mark that comes or goes may move the texts of the others: the frame is then
    // drawn again whole.
    QPair<qint64, int> visible { 0, 0 };
    const double left = double(end - width);
    const qint64 from = m_liveStart + qint64(std::floor(left * 1000.0 / m_pixelsPerSecond)) - 1000;
    for (auto it = m_marks.lowerBound(from); it != m_marks.cend(); ++it) {
        const double x = liveX(it.key()) - left;
        if (x >= width)
            break;
        if (x > 0 && visible.second++ == 0)
            visible.first = it.key();
    }
    return visible;
}

const QStaticText& DataGraphic::liveTimeLabel(qint64 second)
{
    auto label = m_liveTimeLabels.find(second);
    if (label == m_liveTimeLabels.end()) {
        const double value = double((second + m_viewSeconds) * 1000 - m_liveStart) / 1000.0;
        QStaticText text = plainStaticText(QString::number(value, 'g', 6));
        text.prepare(QTransform(), font());
        label = m_liveTimeLabels.insert(second, text);
    }
    return *label;
}

int DataGraphic::liveLabelRight() const
{
    // Time labels stay left of the minimum's label, or of the right edge when the value labels are off.
    return m_showValueLabels ? width() - m_minimumTextWidth - 4 : width();
}

bool DataGraphic::labelsSecond(qint64 second) const
{
    // The same seconds as the full paint labels, counted from liveStart, so that labels do not jump.
    const qint64 value = std::llround(double((second + m_viewSeconds) * 1000 - m_liveStart) / 1000.0);
    return value % m_frameLabelStep == 0;
}

int DataGraphic::liveTimeLabelStep(qint64 left, double& widest)
{
    // Labels are spaced by the widest of those in the picture, as the full paint spaces them.
    const double msPerPixel = 1000.0 / double(m_pixelsPerSecond);
    const qint64 first = floorDiv(m_liveStart + qint64(std::floor(double(left) * msPerPixel)), 1000);
    widest = 0;
    for (qint64 second = first;; ++second) {
        const double x = liveX(second * 1000) - double(left);
        if (x > width())
            break;
        if (x > -m_pixelsPerSecond)
            widest = qMax(widest, liveTimeLabel(second).size().width());
    }
    return StripChartGeometry::timeLabelStep(m_pixelsPerSecond, widest);
}

bool DataGraphic::timeLabelArrives(qint64 end, qint64 step)
{
    // Labels move left, so one fits from the frame on where it first does; the test is the one the drawing makes.
    const int limit = liveLabelRight();
    const qint64 left = end - width();
    const double msPerPixel = 1000.0 / double(m_pixelsPerSecond);
    const qint64 t0 = m_liveStart + qint64(std::floor((double(left) + limit - LabelReach - double(step)) * msPerPixel));
    for (qint64 second = floorDiv(t0, 1000);; ++second) {
        const double x = liveX(second * 1000) - double(left);
        if (x > limit)
            return false;
        if (!labelsSecond(second))
            continue;
        // It fits now, and did not one step before, when it stood step pixels further right.
        const double labelEnd = x + 1 + liveTimeLabel(second).size().width();
        if (labelEnd <= limit && labelEnd + double(step) > limit)
            return true;
    }
}

void DataGraphic::refreshLiveFrame()
{
    const int w = width();
    const int h = height();
    const int dpr = int(devicePixelRatioF());
    bool full = !m_frameValid;
    m_reuseBase = false;
    if (refreshGeometry()) {
        m_columnsValid = false;
        full = true;
    }
    const QSize frameSize(w + LeftPad + RightPad, h);
    if (m_frame.size() != frameSize * dpr) {
        m_frame = QImage(frameSize * dpr, QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(dpr);
        // Fonts given in points must come out as large as on the screen.
        m_frame.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        m_frame.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        full = true;
    }
    if (!m_columnsValid)
        full = true;
    const qint64 end = pixelEnd();
    const qint64 step = end - m_framePend;
    if (step < 0 || step >= w)
        full = true;
    const QPair<qint64, int> marks = visibleMarks(end, w);
    if (marks != m_frameMarks)
        full = true;
    m_frameMarks = marks;
    if (full)
        m_columnsValid = false;
    foldColumns(end, w);

    // Vertical range from the columns in the picture; the record before them only carries the line to the edge.
    StripChartGeometry::Visible visible;
    bool any = false;
    const auto firstColumn
        = m_columns.cbegin() + qMin<qint64>(qMax<qint64>(end - w - m_columnBase, 0), m_columns.size());
    for (auto column = firstColumn; column != m_columns.cend(); ++column) {
        const ColumnExtremes& e = *column;
        if (!e.any)
            continue;
        visible.minimum = any ? qMin(visible.minimum, e.minimum) : e.minimum;
        visible.maximum = any ? qMax(visible.maximum, e.maximum) : e.maximum;
        any = true;
    }
    const int lastIndex = firstRecordFromColumn(end) - 1;
    const StripChartGeometry::VerticalRange vertical
        = StripChartGeometry::verticalRange(visible, m_autoscale, m_fixedMinimum, m_fixedMaximum, m_commonSpan);
    m_minimum = vertical.minimum;
    m_maximum = vertical.maximum;
    m_range = vertical.range;
    if (vertical.minimum != m_frameMinimum || vertical.span != m_frameSpan)
        full = true;
    m_frameMinimum = vertical.minimum;
    m_frameSpan = vertical.span;
    m_geometry.setArea(w, h, m_viewSeconds);
    m_geometry.setValueRange(m_minimum, vertical.span);
    m_frameGrid = valueGrid(vertical.span);
    updateValueTexts();
    double widestLabel = 0;
    if (m_showTimeLabels) {
        if (full || m_liveTimeLabels.size() > 4 * (m_viewSeconds + 1) + 64)
            m_liveTimeLabels.clear();
        const int labelStep = liveTimeLabelStep(end - w, widestLabel);
        if (labelStep != m_frameLabelStep)
            full = true;
        m_frameLabelStep = labelStep;
    }

    qint64 from = end - w - LeftPad;
    bool part = false;
    if (!full && step == 0 && m_dirtyFrom == NoColumn) {
        from = end; // an expose: the frame is current
    } else if (!full) {
        // The new columns at the right, and the piece that gains points drawn again whole, from the point it starts
        // at: a thin or dashed line drawn with more points does not keep every pixel of its shorter self.
        qint64 changed = m_dirtyFrom;
        const qint64 firstNew = qMax<qint64>(m_frameLastSerial + 1 - m_droppedRecords, 0);
        if (firstNew <= lastIndex)
            changed = qMin(changed, recordColumn(m_records.at(firstNew)));
        qint64 strip = m_framePend;
        qint64 startSerial = -1;
        if (changed != NoColumn) {
            const int start = firstRecordFromColumn(floorDiv(changed, BlockColumns) * BlockColumns) - 1;
            const qint64 startColumn = start >= 0 ? qMin(changed, recordColumn(m_records.at(start))) : changed;
            strip = qMin(strip, startColumn - StrokeMargin);
            if (start >= 0)
                startSerial = m_droppedRecords + start;
        }
        from = qMax(from, strip);
        // A time label is drawn only once it fits left of the minimum's label, or of the right edge: in the frame
        // where one comes to fit, the strip reaches back far enough that the label appears whole.
        if (m_showTimeLabels && timeLabelArrives(end, step)) {
            from = qMin(from, end - (w - liveLabelRight()) - qint64(std::ceil(widestLabel)) - 4 - int(step));
        }
        // Only the growing piece gained points, from the record the copy was made for: the strip starts from it.
        m_reuseBase = startSerial >= 0 && startSerial == m_baseSerial && from == m_baseColumn;
        part = true;
        if (step > 0)
            scrollFrame(int(step));
    }
    m_framePend = end;
    if (from < end)
        paintLiveStrip(from, lastIndex, part);
    m_frameLastSerial = m_droppedRecords + lastIndex;
    m_dirtyFrom = NoColumn;
    m_frameValid = true;
}

void DataGraphic::scrollFrame(int pixels)
{
    // The columns that leave at the left become the new ones at the right, which the strip then draws.
    m_frameOrigin = (m_frameOrigin + pixels * int(m_frame.devicePixelRatio())) % m_frame.width();
}

void DataGraphic::paintLiveStrip(qint64 fromColumn, int lastIndex, bool part)
{
    // A part is drawn on a scratch image and its columns copied: clipping at the strip would cut thin and dashed
    // lines and antialiased bars differently from a frame drawn whole.
    const int w = width();
    const int h = height();
    const qint64 left = m_framePend - w;
    const int x0 = int(qMax<qint64>(-LeftPad, fromColumn - left));
    if (part && m_scratch.size() != m_frame.size()) {
        m_scratch = QImage(m_frame.size(), m_frame.format());
        m_scratch.setDevicePixelRatio(m_frame.devicePixelRatio());
        m_scratch.setDotsPerMeterX(m_frame.dotsPerMeterX());
        m_scratch.setDotsPerMeterY(m_frame.dotsPerMeterY());
    }
    QImage& target = part ? m_scratch : m_frame;
    if (!part)
        m_frameOrigin = 0;
    // The copy holds while no strip draws over its columns without it.
    if (!m_reuseBase && m_baseSerial >= 0 && m_baseColumn + BaseColumns > fromColumn)
        m_baseSerial = -1;
    {
        QPainter painter(&target);
        painter.translate(LeftPad, 0);
        painter.setFont(font());
        painter.fillRect(QRectF(x0, 0, w + RightPad - x0, h), m_background);
        drawLiveLayer(painter, target, left, x0, fromColumn, lastIndex);
    }
    if (!part)
        return;
    const int dpr = int(m_frame.devicePixelRatio());
    const int frameWidth = m_frame.width();
    const int first = (x0 + LeftPad) * dpr;
    const int to = (m_frameOrigin + first) % frameWidth;
    const int count = frameWidth - first;
    const int head = qMin(count, frameWidth - to);
    copyColumns(m_scratch, first, m_frame, to, head);
    if (head < count)
        copyColumns(m_scratch, first + head, m_frame, 0, count - head);
}

void DataGraphic::drawLiveLayer(
    QPainter& painter, QImage& target, qint64 left, int x0, qint64 fromColumn, int lastIndex)
{
    const int w = width();
    drawLiveTimeGrid(painter, left, x0);
    // Only the columns from x0 on reach the frame, and a horizontal line costs by its length.
    painter.setPen(m_gridPen);
    for (int i = 0; i < m_frameGrid.count; ++i) {
        const double y = m_geometry.valueY(m_frameGrid.first + double(i) * m_frameGrid.step);
        painter.drawLine(QLineF(x0 - 1, y, w + RightPad, y));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (m_geometry.hasSpan())
        drawLiveCurves(painter, target, left, fromColumn, lastIndex);
    drawMarks(painter, [this, left](qint64 time) { return liveX(time) - double(left); });
}

void DataGraphic::drawLiveTimeGrid(QPainter& painter, qint64 left, double x0)
{
    // A line for every second of the epoch; its label is that second counted from liveStart, plus the window.
    const int w = width();
    const int h = height();
    const double msPerPixel = 1000.0 / double(m_pixelsPerSecond);
    const qint64 t0 = m_liveStart + qint64(std::floor((double(left) + x0 - LabelReach) * msPerPixel));
    const qint64 t1 = m_liveStart + qint64(std::ceil(double(left + w + RightPad) * msPerPixel));
    const int labelRight = liveLabelRight();
    for (qint64 second = floorDiv(t0, 1000); second <= floorDiv(t1, 1000); ++second) {
        const double x = liveX(second * 1000) - double(left);
        if (x > w + RightPad)
            break;
        if (x >= x0 - 1) {
            painter.setPen(m_gridPen);
            painter.drawLine(QLineF(x, 0, x, h));
        }
        if (!m_showTimeLabels || !labelsSecond(second))
            continue;
        const QStaticText& label = liveTimeLabel(second);
        // Whole pixels rounded down, so that a label keeps its pixels as it moves past the left edge.
        const double lx = std::floor(x + 1);
        if (lx + label.size().width() + 2 >= x0 && x + 1 + label.size().width() <= labelRight) {
            painter.setPen(m_textPen);
            painter.drawStaticText(QPointF(lx, h - m_textHeight), label);
        }
    }
}

void DataGraphic::drawLiveCurves(QPainter& painter, QImage& target, qint64 left, qint64 fromColumn, int lastIndex)
{
    const int curves = int(m_pens.size());
    m_livePoints.resize(size_t(curves));
    m_livePieces.resize(size_t(curves));
    for (int j = 0; j < curves; ++j) {
        m_livePoints[size_t(j)].clear();
        m_livePieces[size_t(j)].clear();
    }
    m_livePieceRecords.clear();
    m_barRects.clear();
    const qint64 firstBlock = floorDiv(fromColumn - StrokeMargin, BlockColumns);
    int i = firstRecordFromColumn(firstBlock * BlockColumns);
    if (i > lastIndex)
        return;
    const double zeroY = m_geometry.valueY(0);
    const bool bars = m_bars && curves > 2;
    const qint64 shift = qint64(m_timeShift * 1000.0);
    // A piece starts at the last point before its block, so that the curve is continuous.
    int start = i - 1;
    const auto add = [&](int index, bool bar) {
        const TimedValues& record = m_records.at(index);
        const double x = liveX(record.timestamp() + shift) - double(left);
        const QList<double>& values = record.values();
        const int n = qMin(curves, int(values.size()));
        for (int j = 0; j < n; ++j) {
            const double y = m_geometry.valueY(values.at(j));
            m_reducers[size_t(j)].add(x, y);
            if (j == 2 && bar)
                m_barRects.append(QRectF(x - 1, qMin(y, zeroY), 2, std::abs(y - zeroY)));
        }
    };
    while (i <= lastIndex) {
        const qint64 block = floorDiv(recordColumn(m_records.at(i)), BlockColumns);
        int next = i + 1;
        qint64 lastColumn = recordColumn(m_records.at(i));
        for (; next <= lastIndex; ++next) {
            const qint64 column = recordColumn(m_records.at(next));
            if (floorDiv(column, BlockColumns) != block)
                break;
            lastColumn = column;
        }
        // A piece that ends left of the strip leaves no pixel in it.
        if (lastColumn + StrokeMargin >= fromColumn) {
            for (PolylineReducer& reducer : m_reducers)
                reducer.begin();
            if (start >= 0)
                add(start, false);
            for (int k = i; k < next; ++k)
                add(k, bars && k != lastIndex);
            for (int j = 0; j < curves; ++j) {
                const QList<QPointF>& points = m_reducers[size_t(j)].finish();
                m_livePieces[size_t(j)].append(int(m_livePoints[size_t(j)].size()));
                m_livePoints[size_t(j)].append(points);
            }
            m_livePieceRecords.push_back(i);
        }
        start = next - 1;
        i = next;
    }
    drawBars(painter);
    // The first curve's pieces up to the record the growing piece starts at come from the copy, or are copied.
    const qint64 baseRecord = m_reuseBase ? m_baseSerial - m_droppedRecords
        : m_livePieceRecords.empty()      ? -1
                                          : m_livePieceRecords.back() - 1;
    bool baseDone = bars;
    for (int j = 0; j < curves; ++j) {
        const QList<QPointF>& points = m_livePoints[size_t(j)];
        const QList<int>& pieces = m_livePieces[size_t(j)];
        painter.setPen(m_pens.at(j));
        for (qsizetype p = 0; p < pieces.size(); ++p) {
            if (j == 0 && !baseDone && m_livePieceRecords[size_t(p)] > baseRecord) {
                baseDone = true;
                liveBase(target, left, fromColumn, baseRecord);
            }
            if (j == 0 && m_reuseBase && m_livePieceRecords[size_t(p)] <= baseRecord)
                continue;
            const int first = pieces.at(p);
            const int count = (p + 1 < pieces.size() ? pieces.at(p + 1) : int(points.size())) - first;
            if (count >= 2)
                painter.drawPolyline(points.constData() + first, count);
        }
    }
}

void DataGraphic::liveBase(QImage& target, qint64 left, qint64 fromColumn, qint64 baseRecord)
{
    const int dpr = int(target.devicePixelRatio());
    if (m_reuseBase) {
        copyColumns(m_base, 0, target, int(m_baseColumn - left + LeftPad) * dpr, BaseColumns * dpr);
        return;
    }
    // Copied when this strip holds every column where the growing piece meets the finished ones.
    if (baseRecord < 0)
        return;
    const qint64 column = recordColumn(m_records.at(baseRecord)) - StrokeMargin;
    const qint64 x = column - left + LeftPad;
    if (column < fromColumn || x < 0 || (x + BaseColumns) * dpr > target.width())
        return;
    if (m_base.size() != QSize(BaseColumns * dpr, target.height()))
        m_base = QImage(BaseColumns * dpr, target.height(), target.format());
    copyColumns(target, int(x) * dpr, m_base, 0, BaseColumns * dpr);
    m_baseColumn = column;
    m_baseSerial = m_droppedRecords + baseRecord;
}

void DataGraphic::copyColumns(const QImage& from, int fromX, QImage& to, int toX, int count)
{
    // count columns of device pixels, every row; the two images have the same height and format.
    const uchar* source = from.constBits() + qsizetype(fromX) * qsizetype(sizeof(quint32));
    uchar* target = to.bits() + qsizetype(toX) * qsizetype(sizeof(quint32));
    const qsizetype sourceStride = from.bytesPerLine();
    const qsizetype targetStride = to.bytesPerLine();
    const size_t bytes = size_t(count) * sizeof(quint32);
    for (int y = 0; y < to.height(); ++y)
        std::memcpy(target + y * targetStride, source + y * sourceStride, bytes);
}

void DataGraphic::drawOverlay(QPainter& painter)
{
    drawValueLabels(painter);
    drawGridLabels(painter, m_frameGrid);
    // Events are few and move with the frame: drawn on top of it, where the frame shows their time.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double left = double(m_framePend - width());
    drawEvents(painter, [this, left](qint64 time) { return liveX(time + qint64(m_timeShift * 1000.0)) - left; });
    drawTitle(painter);
}
