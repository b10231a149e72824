#include "GapShading.h"

#include "DataGraphic.h"
#include "StripChartGeometry.h"
#include "StyleHelper.h"

#include <QEvent>
#include <QPainter>

GapShading::GapShading(DataGraphic* graph)
    : QWidget(graph)
{
    setObjectName(QStringLiteral("gapShading"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(graph->rect());
    graph->installEventFilter(this);
    StyleHelper::Link(this, [this] {
        m_color = StyleHelper::ThemeColor(QStringLiteral("--n-sub-text"), QColor(0x66, 0x66, 0x66));
        m_color.setAlpha(70);
        update();
    });
}

void GapShading::setGaps(std::vector<RecordGaps::Gap> gaps, qint64 firstTime)
{
    m_gaps = std::move(gaps);
    m_firstTime = firstTime;
    setVisible(!m_gaps.empty());
    update();
}

void GapShading::setView(int viewSeconds, double timeOffset, double timeShift)
{
    m_viewSeconds = viewSeconds;
    m_timeOffset = timeOffset;
    m_timeShift = timeShift;
    update();
}

bool GapShading::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void GapShading::paintEvent(QPaintEvent*)
{
    StripChartGeometry geometry;
    geometry.setArea(width(), height(), m_viewSeconds);
    const qint64 start = m_firstTime + qint64(m_timeOffset * 1000.0);
    geometry.setWindow(start + qint64(geometry.viewSeconds()) * 1000, m_timeShift);
    QPainter painter(this);
    for (const RecordGaps::Gap& gap : m_gaps) {
        const double left = qMax(0.0, geometry.timeX(gap.start));
        const double right = qMin(double(width()), geometry.timeX(gap.end));
        if (right > left)
            painter.fillRect(QRectF(left, 0, right - left, height()), m_color);
    }
}
