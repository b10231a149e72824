#include "AverageGraph.h"

#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QLocale>
#include <QPainter>

#include <cmath>

namespace {

// 1, 2 or 5 times a power of ten, giving about count steps over span.
double niceStep(double span, int count)
{
    if (!(span > 0))
        return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10 * power;
}

QString number(double value)
{
    return QLocale().toString(value, 'g', 3);
}

bool hasSeries(const EpochAverage::Response& response, std::size_t series)
{
    return !response.empty() && series < response.mean.size();
}

} // namespace

QPointF AverageGraph::Frame::map(double seconds, double value) const
{
    const double x = plot.left() + (seconds - timeFrom) / (timeTo - timeFrom) * plot.width();
    const double y = plot.bottom() - (value - low) / (high - low) * plot.height();
    return { x, y };
}

AverageGraph::AverageGraph(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    StyleHelper::Link(this, [this]() { refreshColors(); });
}

void AverageGraph::setCurves(Curves curves)
{
    m_curves = std::move(curves);
    QStringList tips { trGeneric("Average of channel %1 around the marks: HbO solid, HbR dashed, one colour per "
                                 "condition; the band shows ± the standard error. The line marks time 0, the shaded "
                                 "span the baseline.")
                           .arg(m_curves.title) };
    tips << messages();
    setToolTip(tips.join(QLatin1Char('\n')));
    update();
}

void AverageGraph::setRange(double low, double high)
{
    m_fixedRange = high > low;
    m_low = low;
    m_high = high;
    update();
}

std::pair<double, double> AverageGraph::extent() const
{
    double low = 0;
    double high = 0;
    if (!m_curves.responses)
        return { low, high };
    for (const EpochAverage::Response& response : *m_curves.responses) {
        for (const std::size_t series : { 2 * m_curves.channel, 2 * m_curves.channel + 1 }) {
            if (!hasSeries(response, series))
                continue;
            for (std::size_t i = 0; i < response.mean[series].size(); ++i) {
                const double mean = response.mean[series][i];
                const double error = series < response.standardError.size() ? response.standardError[series][i] : 0;
                const double spread = std::isnan(error) ? 0 : error;
                if (std::isnan(mean))
                    continue;
                low = std::min(low, mean - spread);
                high = std::max(high, mean + spread);
            }
        }
    }
    return { low, high };
}

QStringList AverageGraph::messages() const
{
    QStringList lines;
    if (!m_curves.responses)
        return lines;
    for (const EpochAverage::Response& response : *m_curves.responses) {
        if (response.empty())
            lines << (response.problem.isEmpty() ? trGeneric("%1: no mark of this condition").arg(response.condition)
                                                 : response.problem);
    }
    return lines;
}

QPainterPath AverageGraph::curvePath(
    const EpochAverage::Response& response, std::size_t series, const Frame& frame, int sign)
{
    QPainterPath path;
    if (!hasSeries(response, series))
        return path;
    const std::vector<double>& mean = response.mean[series];
    const std::vector<double>* error
        = series < response.standardError.size() ? &response.standardError[series] : nullptr;
    bool drawing = false;
    for (std::size_t i = 0; i < mean.size(); ++i) {
        double value = mean[i];
        if (sign != 0)
            value += sign * (error && i < error->size() ? (*error)[i] : std::nan(""));
        if (std::isnan(value)) {
            drawing = false;
            continue;
        }
        const QPointF point = frame.map(response.time(i), value);
        if (drawing)
            path.lineTo(point);
        else
            path.moveTo(point);
        drawing = true;
    }
    return path;
}

QPainterPath AverageGraph::bandPath(const EpochAverage::Response& response, std::size_t series, const Frame& frame)
{
    QPainterPath path;
    if (!hasSeries(response, series) || series >= response.standardError.size())
        return path;
    const std::vector<double>& mean = response.mean[series];
    const std::vector<double>& error = response.standardError[series];
    // One polygon per run of samples that have both: up along mean + error, back along mean − error.
    std::size_t i = 0;
    while (i < mean.size()) {
        while (i < mean.size() && (std::isnan(mean[i]) || i >= error.size() || std::isnan(error[i])))
            ++i;
        const std::size_t begin = i;
        while (i < mean.size() && i < error.size() && !std::isnan(mean[i]) && !std::isnan(error[i]))
            ++i;
        if (i - begin < 2)
            continue;
        QPolygonF polygon;
        for (std::size_t k = begin; k < i; ++k)
            polygon << frame.map(response.time(k), mean[k] + error[k]);
        for (std::size_t k = i; k-- > begin;)
            polygon << frame.map(response.time(k), mean[k] - error[k]);
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

QColor AverageGraph::conditionColor(int index)
{
    // Mid-tone hues: none of them vanishes on white or on the dark theme's grey.
    static const QColor colors[]
        = { QColor(0xE5, 0x39, 0x35), QColor(0x1E, 0x88, 0xE5), QColor(0x43, 0xA0, 0x47), QColor(0xFB, 0x8C, 0x00),
              QColor(0x8E, 0x24, 0xAA), QColor(0x00, 0xAC, 0xC1), QColor(0xD8, 0x1B, 0x60), QColor(0x7C, 0xB3, 0x42) };
    const int count = int(sizeof(colors) / sizeof(colors[0]));
    return colors[((index % count) + count) % count];
}

QSize AverageGraph::sizeHint() const
{
    return { 420, 260 };
}

QSize AverageGraph::minimumSizeHint() const
{
    return { 220, 160 };
}

void AverageGraph::refreshColors()
{
    m_background = StyleHelper::ThemeColor(QStringLiteral("--n-bg"), QColor(Qt::white));
    m_text = StyleHelper::ThemeColor(QStringLiteral("--n-text"), QColor(Qt::black));
    m_grid = StyleHelper::ThemeColor(QStringLiteral("--n-grid-line"), QColor(0xE0E0E0));
    m_mark = StyleHelper::ThemeColor(QStringLiteral("--n-mark"), QColor(0x0066AA));
    m_baseline = StyleHelper::ThemeColor(QStringLiteral("--n-grid-time"), QColor(0xB9B9B9));
    m_baseline.setAlpha(70);
    update();
}

void AverageGraph::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), m_background);

    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.lineSpacing();
    painter.setPen(m_text);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(4, 2, width() - 8, line), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(bold).elidedText(m_curves.title, Qt::ElideRight, width() - 8));
    painter.setFont(font());

    const int left = metrics.horizontalAdvance(QStringLiteral("-0.000")) + 10;
    Frame frame;
    frame.plot = QRectF(left, line + 6, width() - left - 8, height() - 2 * line - 14);
    if (frame.plot.width() < 10 || frame.plot.height() < 10)
        return;

    bool any = false;
    if (m_curves.responses) {
        for (const EpochAverage::Response& response : *m_curves.responses) {
            if (response.empty() || response.mean.empty())
                continue;
            const double first = response.time(0);
            const double last = response.time(response.mean.front().size() - 1);
            frame.timeFrom = any ? std::min(frame.timeFrom, first) : first;
            frame.timeTo = any ? std::max(frame.timeTo, last) : last;
            any = true;
        }
    }
    if (!any) {
        painter.setPen(m_text);
        const QStringList lines = messages();
        painter.drawText(rect().adjusted(8, line + 4, -8, -4), Qt::AlignCenter | Qt::TextWordWrap,
            lines.isEmpty() ? trGeneric("No condition chosen.") : lines.join(QLatin1Char('\n')));
        return;
    }
    if (!(frame.timeTo > frame.timeFrom))
        frame.timeTo = frame.timeFrom + 1;
    auto [low, high] = m_fixedRange ? std::pair(m_low, m_high) : extent();
    if (!(high > low)) {
        low = -1;
        high = 1;
    }
    const double margin = (high - low) * 0.05;
    frame.low = low - margin;
    frame.high = high + margin;

    paintAxes(painter, frame);
    painter.save();
    painter.setClipRect(frame.plot);
    for (std::size_t r = 0; r < m_curves.responses->size(); ++r) {
        const EpochAverage::Response& response = (*m_curves.responses)[r];
        const QColor color = r < m_curves.colors.size() ? m_curves.colors[r] : conditionColor(int(r));
        QColor band = color;
        band.setAlpha(50);
        for (const std::size_t series : { 2 * m_curves.channel, 2 * m_curves.channel + 1 }) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(band);
            painter.drawPath(bandPath(response, series, frame));
            QPen pen(color, 2);
            pen.setStyle(series % 2 == 0 ? Qt::SolidLine : Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(curvePath(response, series, frame));
        }
    }
    painter.restore();
    paintLegend(painter, frame);
}

void AverageGraph::paintAxes(QPainter& painter, const Frame& frame) const
{
    const QFontMetrics metrics = fontMetrics();
    const double baselineFrom = std::max(frame.timeFrom, m_curves.baselineFrom);
    const double baselineTo = std::min(frame.timeTo, m_curves.baselineTo);
    if (baselineTo > baselineFrom) {
        const QPointF a = frame.map(baselineFrom, frame.high);
        const QPointF b = frame.map(baselineTo, frame.low);
        painter.fillRect(QRectF(a, b), m_baseline);
    }

    painter.setPen(QPen(m_grid, 1));
    painter.drawRect(frame.plot);
    const double timeStep = niceStep(frame.timeTo - frame.timeFrom, 6);
    for (double t = std::ceil(frame.timeFrom / timeStep) * timeStep; t <= frame.timeTo + 1e-9; t += timeStep) {
        const QPointF p = frame.map(t, frame.low);
        painter.setPen(QPen(m_grid, 1));
        painter.drawLine(QPointF(p.x(), frame.plot.top()), p);
        painter.setPen(m_text);
        // The last label carries the unit, kept inside the widget.
        const bool last = t + timeStep > frame.timeTo + 1e-9;
        const QString text = number(std::abs(t) < 1e-9 ? 0 : t) + (last ? QStringLiteral(" s") : QString());
        QRectF box(p.x() - 30, frame.plot.bottom() + 2, 60, metrics.lineSpacing());
        Qt::Alignment alignment = Qt::AlignCenter;
        if (box.right() > width()) {
            box.moveRight(width() - 2);
            alignment = Qt::AlignRight | Qt::AlignVCenter;
        }
        painter.drawText(box, alignment, text);
    }
    const double valueStep = niceStep(frame.high - frame.low, 4);
    for (double v = std::ceil(frame.low / valueStep) * valueStep; v <= frame.high + 1e-12; v += valueStep) {
        const QPointF p = frame.map(frame.timeFrom, v);
        painter.setPen(QPen(m_grid, 1));
        painter.drawLine(p, QPointF(frame.plot.right(), p.y()));
        painter.setPen(m_text);
        painter.drawText(QRectF(0, p.y() - metrics.lineSpacing() / 2.0, frame.plot.left() - 4, metrics.lineSpacing()),
            Qt::AlignRight | Qt::AlignVCenter, number(std::abs(v) < valueStep * 1e-6 ? 0 : v));
    }
    painter.drawText(
        QRectF(0, frame.plot.top() - metrics.lineSpacing() - 2, frame.plot.left() - 4, metrics.lineSpacing()),
        Qt::AlignRight | Qt::AlignVCenter, trGeneric("µM"));

    if (frame.timeFrom <= 0 && 0 <= frame.timeTo) {
        painter.setPen(QPen(m_mark, 1.5));
        painter.drawLine(frame.map(0, frame.low), frame.map(0, frame.high));
    }
}

void AverageGraph::paintLegend(QPainter& painter, const Frame& frame) const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.lineSpacing();
    QPointF at(frame.plot.left() + 6, frame.plot.top() + 4);
    for (std::size_t r = 0; r < m_curves.responses->size(); ++r) {
        const EpochAverage::Response& response = (*m_curves.responses)[r];
        const QColor color = r < m_curves.colors.size() ? m_curves.colors[r] : conditionColor(int(r));
        QString text;
        if (response.empty()) {
            text = response.problem.isEmpty() ? trGeneric("%1: no mark of this condition").arg(response.condition)
                                              : response.problem;
        } else {
            text = trGeneric("%1: n = %2").arg(response.condition).arg(response.marks);
            if (response.records > 1)
                text += QStringLiteral(", ") + trGeneric("%1 records").arg(response.records);
            if (response.dropped > 0)
                text += QStringLiteral(", ") + trGeneric("%1 left out").arg(response.dropped);
        }
        QPen pen(color, 2);
        painter.setPen(pen);
        const double y = at.y() + line / 2.0;
        painter.drawLine(QPointF(at.x(), y), QPointF(at.x() + 12, y));
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(at.x() + 14, y), QPointF(at.x() + 26, y));
        painter.setPen(m_text);
        painter.drawText(QRectF(at.x() + 30, at.y(), frame.plot.width() - 40, line), Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(text, Qt::ElideRight, int(frame.plot.width()) - 40));
        at.ry() += line;
    }
    // Which line is which: HbO solid, HbR dashed.
    QPen pen(m_text, 1.5);
    const double y = at.y() + line / 2.0;
    painter.setPen(pen);
    painter.drawLine(QPointF(at.x(), y), QPointF(at.x() + 26, y));
    painter.drawText(QRectF(at.x() + 30, at.y(), 60, line), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("HbO"));
    const double dashed = at.x() + 34 + metrics.horizontalAdvance(QStringLiteral("HbO")) + 10;
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(dashed, y), QPointF(dashed + 26, y));
    painter.setPen(m_text);
    painter.drawText(QRectF(dashed + 30, at.y(), 60, line), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("HbR"));
}
