// DataGraphic's records, marks and events, its settings and theme, and the layers that both of its pictures draw
// (value and grid labels, marks, events, title, bars). The whole picture is drawn in DataGraphicStatic.cpp, the live
// frame in DataGraphicLive.cpp.
#include "DataGraphic.h"

#include "SampleClock.h"
#include "StyleHelper.h"

#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTextOption>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
const QTextOption& rightCentredOption()
{
    static const QTextOption option(Qt::AlignRight | Qt::AlignVCenter);
    return option;
}

qint64 systemClock()
{
    return SampleClock::nowMs();
}

bool isRichText(const QString& text)
{
    return text.contains(QLatin1Char('<'))
        && (text.contains(QLatin1String("/>")) || text.contains(QLatin1String("</")));
}
} // namespace

DataGraphic::DataGraphic(QWidget* parent)
    : QWidget(parent)
    , m_repaintTimer(new QTimer(this))
    , m_clock(&systemClock)
    , m_reducers(3)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_repaintTimer, &QTimer::timeout, this, [this] { onRepaintTick(); });
    StyleHelper::Link(
        this, [this] { refreshTheme(); }, true);
}

DataGraphic::~DataGraphic()
{
    m_repaintTimer->stop();
}

void DataGraphic::addData(qint64 timestamp, const QList<double>& values, bool repaint, double baseline)
{
    if (baseline != 0 || std::isnan(baseline)) {
        QList<double> shifted = values;
        for (double& v : shifted)
            v -= baseline;
        m_records.append(TimedValues(timestamp, std::move(shifted)));
    } else {
        m_records.append(TimedValues(timestamp, values));
    }
    if (m_live) {
        dropExpiredRecords(timestamp);
        noteLiveRecord(m_records.constLast());
    } else if (repaint) {
        update();
    }
}

void DataGraphic::dropExpiredRecords(qint64 newest)
{
    // The oldest record before the cut stays: it carries the curve to the left edge of the widest window.
    const qint64 cut = newest - LiveHistoryMilliseconds;
    qsizetype expired = 0;
    while (expired + 1 < m_records.size() && m_records.at(expired + 1).timestamp() < cut)
        ++expired;
    if (expired > 0) {
        m_records.remove(0, expired);
        m_droppedRecords += expired;
    }
    qsizetype expiredEvents = 0;
    while (expiredEvents < m_events.size() && m_events.at(expiredEvents).time < cut)
        ++expiredEvents;
    if (expiredEvents > 0)
        m_events.remove(0, expiredEvents);
}

void DataGraphic::addMark(qint64 timestamp, const QString& text)
{
    m_marks.insert(timestamp, text);
    m_markWidths.resize(0);
    invalidate();
}

void DataGraphic::addEvent(qint64 timestamp, const QString& text)
{
    const auto after = std::upper_bound(
        m_events.begin(), m_events.end(), timestamp, [](qint64 time, const Event& event) { return time < event.time; });
    m_events.insert(after, { timestamp, text });
    if (m_live)
        dropExpiredRecords(qMax(timestamp, m_records.isEmpty() ? timestamp : m_records.constLast().timestamp()));
    // Events are drawn over the live frame, not into it: a mark every few milliseconds from another program must not
    // draw every graph's frame again.
    update();
}

void DataGraphic::clear()
{
    m_events.clear();
    m_marks.clear();
    m_markWidths.resize(0);
    m_records.clear();
    m_droppedRecords = 0;
    m_columnsValid = false;
    invalidate();
}

void DataGraphic::setLive(bool live, double elapsedSeconds)
{
    m_live = live;
    if (live) {
        m_liveStart = m_clock() - qint64(elapsedSeconds * 1000.0);
        m_repaintTimer->start(20);
    } else {
        m_repaintTimer->stop();
    }
    m_columnsValid = false;
    invalidate();
}

void DataGraphic::setViewSeconds(int seconds)
{
    // A window of no seconds would divide the width by zero.
    m_viewSeconds = qMax(1, seconds);
    m_geometryDirty = true;
    invalidate();
}

void DataGraphic::setTimeOffset(double seconds)
{
    m_timeOffset = seconds;
    invalidate();
}

void DataGraphic::setTimeShift(double seconds)
{
    m_timeShift = seconds;
    m_columnsValid = false;
    invalidate();
}

void DataGraphic::setFixedRange(float a, float b)
{
    m_autoscale = false;
    m_fixedMinimum = qMin(a, b);
    m_fixedMaximum = qMax(a, b);
    m_frameValid = false;
}

void DataGraphic::setCommonSpan(float span)
{
    if (span == m_commonSpan)
        return;
    m_commonSpan = span;
    invalidate();
}

void DataGraphic::setPens(const QList<QPen>& pens, bool bars)
{
    m_pens = pens;
    while (m_pens.size() < 3)
        m_pens.append(QPen(QColor(Qt::red)));
    m_bars = bars;
    m_pens[0].setWidth(2);
    if (!bars) {
        m_pens[1].setDashPattern({ 2, 4 });
        m_pens[2].setDashPattern({ 5, 8 });
    }
    m_reducers.resize(size_t(m_pens.size()));
    invalidate();
}

void DataGraphic::setColor(const QColor& color)
{
    int h = 0, s = 0, l = 0, a = 0;
    color.getHsl(&h, &s, &l, &a);
    const int hue1 = ((h - 20) % 360 + 360) % 360;
    const QColor c1 = QColor::fromHsl(hue1, qBound(40, int(s * 0.6), 255), qBound(40, int(l * 0.9), 255), 255);
    const QColor c2 = QColor::fromHsl(h, qBound(40, int(s * 0.9), 255), l, 255);
    setPens({ QPen(color), QPen(c1), QPen(c2) }, false);
}

void DataGraphic::setTitle(const QString& text)
{
    m_richTitle = isRichText(text);
    if (m_richTitle) {
        if (!m_titleLabel)
            m_titleLabel = new QLabel(this);
        if (!m_titleLayout) {
            m_titleLayout = new QVBoxLayout(this);
            m_titleLayout->setContentsMargins(0, 0, 0, 0);
            setContentsMargins(0, 0, 0, 0);
            m_titleLayout->addWidget(m_titleLabel, 0, Qt::AlignTop | Qt::AlignHCenter);
        }
        m_titleLabel->setText(text);
        m_titleLabel->show();
    } else if (m_titleLabel) {
        m_titleLabel->hide();
    }
    m_title = text;
    update();
}

void DataGraphic::setShowValueLabels(bool show)
{
    // The live frame keeps the time labels clear of the minimum's label.
    m_showValueLabels = show;
    invalidate();
}

void DataGraphic::setGridLabelDivisor(int divisor)
{
    m_gridLabelDivisor = qMax(1, divisor);
    m_gridLabelFirst = qQNaN();
    invalidate();
}

void DataGraphic::setShowTimeLabels(bool show)
{
    m_showTimeLabels = show;
    invalidate();
}

double DataGraphic::duration() const
{
    if (m_records.isEmpty())
        return 0;
    return double(m_records.last().timestamp() - m_records.first().timestamp()) / 1000.0;
}

void DataGraphic::setClock(Clock clock)
{
    m_clock = clock ? clock : &systemClock;
}

void DataGraphic::resizeEvent(QResizeEvent* event)
{
    m_geometryDirty = true;
    m_frameValid = false;
    QWidget::resizeEvent(event);
}

void DataGraphic::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_geometryDirty = true;
        m_markWidths.resize(0);
        for (Event& e : m_events)
            e.width = -1;
        invalidate();
    }
    QWidget::changeEvent(event);
}

QStaticText DataGraphic::plainStaticText(const QString& text)
{
    QStaticText staticText(text);
    staticText.setTextFormat(Qt::PlainText);
    staticText.setPerformanceHint(QStaticText::AggressiveCaching);
    return staticText;
}

void DataGraphic::invalidate()
{
    m_frameValid = false;
    update();
}

bool DataGraphic::refreshGeometry()
{
    if (!m_geometryDirty)
        return false;
    m_pixelsPerSecond = float(width()) / float(m_viewSeconds);
    m_geometryDirty = false;
    if (m_liveStart == 0)
        m_liveStart = m_clock();
    m_textHeight = fontMetrics().height() + 1;
    return true;
}

void DataGraphic::refreshTheme()
{
    m_gridPen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-grid-line"), QColor(0x333333)));
    m_textPen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-text"), QColor(0xcccccc)));
    m_subGridPen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-grid-sub-line"), QColor(0xcccccc)));
    m_background = StyleHelper::ThemeColor(QStringLiteral("--n-bg"), QColor(0x333333));
    m_titlePen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-text"), QColor(0xcccccc)));
    m_markPen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-mark"), QColor(0x0066aa)));
    m_eventColor = StyleHelper::ThemeColor(QStringLiteral("--n-event-mark"), QColor(0xffaa00));
    invalidate();
}

void DataGraphic::updateGridLabels(double first, int step, int count)
{
    if (first == m_gridLabelFirst && step == m_gridLabelStep && m_gridLabels.size() >= count)
        return;
    m_gridLabelFirst = first;
    m_gridLabelStep = step;
    m_gridLabels.resize(count);
    for (int i = 0; i < count; ++i)
        m_gridLabels[i] = plainStaticText(m_gridLabelDivisor == 1
                ? QString::number(qint64(first + double(i) * step))
                : QString::number((first + double(i) * step) / m_gridLabelDivisor, 'g', 6));
}

DataGraphic::ValueGrid DataGraphic::valueGrid(double span) const
{
    // A span of 0 has no scale, and lines closer than a pixel would only fill the widget.
    ValueGrid grid;
    const int h = height();
    if (!m_geometry.hasSpan() || h <= 0)
        return grid;
    const int step = StripChartGeometry::valueStep(span, h, m_textHeight);
    if (span / step > h)
        return grid;
    grid.first = StripChartGeometry::firstGridValue(m_minimum, step);
    grid.step = step;
    grid.count = qMax(0, int(std::floor((double(m_maximum) - grid.first) / step)) + 1);
    return grid;
}

void DataGraphic::updateValueTexts()
{
    if (!m_showValueLabels)
        return;
    if (m_maximum != m_maximumTextValue) {
        m_maximumTextValue = m_maximum;
        m_maximumText = QString::number(m_maximum, 'g', 6);
    }
    if (m_minimum != m_minimumTextValue) {
        m_minimumTextValue = m_minimum;
        m_minimumText = QString::number(m_minimum, 'g', 6);
        m_minimumTextWidth = fontMetrics().horizontalAdvance(m_minimumText);
    }
}

void DataGraphic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (usesLiveFrame())
        paintLive(painter);
    else
        paintDirect(painter);
}

void DataGraphic::drawValueLabels(QPainter& painter)
{
    if (!m_showValueLabels)
        return;
    const int w = width();
    const int h = height();
    painter.setPen(m_textPen);
    painter.drawText(QRectF(w - 100, 0, 100, m_textHeight), m_maximumText, rightCentredOption());
    painter.drawText(QRectF(w - 100, h - m_textHeight, 100, m_textHeight), m_minimumText, rightCentredOption());
}

void DataGraphic::drawGridLabels(QPainter& painter, const ValueGrid& grid)
{
    if (grid.count <= 0)
        return;
    updateGridLabels(grid.first, grid.step, grid.count);
    painter.setPen(m_textPen);
    // The bottom text row belongs to the time labels when they are shown.
    const double labelBottom = m_showTimeLabels ? height() - m_textHeight : height();
    for (int i = 0; i < grid.count; ++i) {
        const double y = m_geometry.valueY(grid.first + double(i) * grid.step);
        if (y + m_textHeight <= labelBottom)
            painter.drawStaticText(QPointF(0, y), m_gridLabels.at(i));
    }
}

void DataGraphic::drawTitle(QPainter& painter)
{
    if (m_title.isEmpty() || m_richTitle)
        return;
    painter.setPen(m_titlePen);
    if (m_titleText.text() != m_title)
        m_titleText = plainStaticText(m_title);
    const QSizeF size = m_titleText.size();
    painter.drawStaticText(QPointF((width() - size.width()) / 2, (m_textHeight - size.height()) / 2), m_titleText);
}

void DataGraphic::drawMarks(QPainter& painter, const std::function<double(qint64)>& markX)
{
    if (m_marks.isEmpty())
        return;
    const int w = width();
    const QFontMetrics metrics = painter.fontMetrics();
    if (m_markWidths.size() != m_marks.size()) {
        m_markWidths.resize(0);
        for (const QString& text : std::as_const(m_marks))
            m_markWidths.append(metrics.horizontalAdvance(text));
    }
    m_markXs.resize(0);
    m_visibleMarkWidths.resize(0);
    m_visibleMarkTexts.resize(0);
    int index = 0;
    for (auto it = m_marks.cbegin(); it != m_marks.cend(); ++it, ++index) {
        const double x = markX(it.key());
        if (x > 0 && x < w) {
            m_markXs.append(x);
            m_visibleMarkWidths.append(m_markWidths.at(index));
            m_visibleMarkTexts.append(&it.value());
        }
    }
    drawTimeTexts(painter, m_markPen, false);
}

void DataGraphic::drawEvents(QPainter& painter, const std::function<double(qint64)>& eventX)
{
    if (m_events.isEmpty())
        return;
    const int w = width();
    const QFontMetrics metrics = painter.fontMetrics();
    m_markXs.resize(0);
    m_visibleMarkWidths.resize(0);
    m_visibleMarkTexts.resize(0);
    for (Event& event : m_events) {
        const double x = eventX(event.time);
        if (x > 0 && x < w) {
            if (event.width < 0)
                event.width = metrics.horizontalAdvance(event.text);
            m_markXs.append(x);
            m_visibleMarkWidths.append(event.width);
            m_visibleMarkTexts.append(&event.text);
        }
    }
    drawTimeTexts(painter, m_eventColor, true);
}

void DataGraphic::drawTimeTexts(QPainter& painter, const QPen& pen, bool fromTop)
{
    // Texts close together go to rows above one another (marks from the bottom, events from below the title), and a
    // text that would still run into the next one in its row is cut short.
    const int h = height();
    const QFontMetrics metrics = painter.fontMetrics();
    const int rows = qMax(1, (h - m_textHeight) / m_textHeight / 2);
    StripChartGeometry::layoutMarkLabels(m_markXs, m_visibleMarkWidths, rows, 6, m_markLabels);
    painter.setPen(pen);
    for (qsizetype i = 0; i < m_markXs.size(); ++i) {
        const double x = m_markXs.at(i);
        const StripChartGeometry::MarkLabel& label = m_markLabels.at(i);
        const QString& text = *m_visibleMarkTexts.at(i);
        painter.drawLine(QLineF(x, 0, x, h));
        const double y = fromTop ? m_textHeight * (1 + label.row) + metrics.ascent()
                                 : h - m_textHeight - label.row * m_textHeight - metrics.descent();
        if (label.room >= m_visibleMarkWidths.at(i))
            painter.drawText(QPointF(x + 2, y), text);
        else
            painter.drawText(QPointF(x + 2, y), metrics.elidedText(text, Qt::ElideRight, int(label.room)));
    }
}

void DataGraphic::drawBars(QPainter& painter)
{
    if (m_barRects.isEmpty())
        return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_pens.at(2).color());
    painter.drawRects(m_barRects.constData(), int(m_barRects.size()));
    painter.setBrush(Qt::NoBrush);
}
