#include "ActivationMap.h"

#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace {

constexpr int LegendHeight = 44;

QString microMolar(double value)
{
    return QLocale().toString(value, 'g', 3) + QLatin1Char(' ') + trGeneric("µM");
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
        float(a.greenF() + (b.greenF() - a.greenF()) * t), float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

ActivationMap::ActivationMap(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    StyleHelper::Link(this, [this]() { refreshColors(); });
}

QList<ActivationMap::Cell> ActivationMap::arrange(
    const std::vector<int>& numbers, const QStringList& titles, const QMap<int, RawRecord::MontageCell>& montage)
{
    QList<Cell> cells;
    const int count = int(numbers.size());
    if (montage.isEmpty()) {
        const int half = count / 2;
        for (int i = 0; i < count; ++i)
            cells.append({ i, titles.value(i), i < half ? i : i - half, i < half ? 0 : 1, 1 });
        return cells;
    }
    QMap<int, int> rowSizes;
    int widest = 1;
    for (const RawRecord::MontageCell& cell : montage)
        widest = std::max(widest, ++rowSizes[cell.row]);
    for (int i = 0; i < count; ++i) {
        const auto found = montage.constFind(numbers[size_t(i)]);
        if (found == montage.cend())
            continue;
        const int columns = rowSizes.value(found->row);
        cells.append({ i, titles.value(i, found->name), found->row, widest - columns + 2 * found->column, 2 });
    }
    return cells;
}

void ActivationMap::setCells(const QList<Cell>& cells)
{
    m_cells = cells;
    m_rows = 1;
    m_columns = 1;
    for (const Cell& cell : m_cells) {
        m_rows = std::max(m_rows, cell.row + 1);
        m_columns = std::max(m_columns, cell.column + cell.columnSpan);
    }
    updateGeometry();
    update();
}

double ActivationMap::scaleLimit(const std::vector<double>& values)
{
    double largest = 0;
    for (const double v : values) {
        if (!std::isnan(v))
            largest = std::max(largest, std::abs(v));
    }
    if (!(largest > 0))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= largest * (1 - 1e-12))
            return factor * power;
    }
    return 10 * power;
}

void ActivationMap::setValues(const std::vector<double>& values, const QString& caption, const QStringList& tips)
{
    m_values = values;
    m_caption = caption;
    m_tips = tips;
    m_limit = scaleLimit(values);
    update();
}

QColor ActivationMap::color(double value, double limit, const QColor& neutral)
{
    static const QColor warm(0xD7, 0x30, 0x27);
    static const QColor cold(0x31, 0x6F, 0xC4);
    if (std::isnan(value) || !(limit > 0))
        return neutral;
    const double t = std::clamp(value / limit, -1.0, 1.0);
    return t >= 0 ? mix(neutral, warm, t) : mix(neutral, cold, -t);
}

QColor ActivationMap::textOn(const QColor& fill)
{
    const double luminance = 0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF();
    return luminance > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}

QRectF ActivationMap::gridArea(const QSizeF& size) const
{
    const int line = fontMetrics().lineSpacing();
    return QRectF(4, line + 8, size.width() - 8, size.height() - line - 12 - LegendHeight);
}

QRectF ActivationMap::cellRect(int i, const QSizeF& size) const
{
    if (i < 0 || i >= m_cells.size())
        return {};
    const QRectF area = gridArea(size);
    const double w = area.width() / m_columns;
    const double h = area.height() / m_rows;
    const Cell& cell = m_cells.at(i);
    return QRectF(area.left() + cell.column * w, area.top() + cell.row * h, cell.columnSpan * w, h)
        .adjusted(2, 2, -2, -2);
}

QSize ActivationMap::sizeHint() const
{
    const int line = fontMetrics().lineSpacing();
    return { std::max(300, m_columns * 90), m_rows * (2 * line + 16) + line + 12 + LegendHeight };
}

QSize ActivationMap::minimumSizeHint() const
{
    const int line = fontMetrics().lineSpacing();
    return { 200, m_rows * (2 * line + 6) + line + 12 + LegendHeight };
}

bool ActivationMap::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (int i = 0; i < m_cells.size(); ++i) {
            if (cellRect(i, size()).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), m_tips.value(m_cells.at(i).index), this);
                return true;
            }
        }
        QToolTip::showText(help->globalPos(), toolTip(), this);
        return true;
    }
    return QWidget::event(event);
}

void ActivationMap::refreshColors()
{
    m_background = StyleHelper::ThemeColor(QStringLiteral("--n-bg"), QColor(Qt::white));
    m_text = StyleHelper::ThemeColor(QStringLiteral("--n-text"), QColor(Qt::black));
    // The middle of the scale: a pale grey on the light theme, a mid grey on the dark, so that both ends stand out.
    m_neutral = StyleHelper::ThemeColor(QStringLiteral("--n-quality-unknown"), QColor(0xD6D6D6));
    m_missing = StyleHelper::ThemeColor(QStringLiteral("--n-idle-bg"), QColor(0xDDDDDD));
    update();
}

void ActivationMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), m_background);
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.lineSpacing();
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(m_text);
    painter.drawText(QRect(4, 4, width() - 8, line), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(bold).elidedText(m_caption, Qt::ElideRight, width() - 8));
    painter.setFont(font());

    for (int i = 0; i < m_cells.size(); ++i) {
        const Cell& cell = m_cells.at(i);
        const double value = size_t(cell.index) < m_values.size() ? m_values[size_t(cell.index)] : std::nan("");
        const QColor fill = std::isnan(value) ? m_missing : color(value, m_limit, m_neutral);
        const QRectF box = cellRect(i, size());
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(box, 5, 5);
        painter.setPen(textOn(fill));
        const QString text
            = cell.title + QLatin1Char('\n') + (std::isnan(value) ? QStringLiteral("–") : microMolar(value));
        painter.drawText(box, Qt::AlignCenter, text);
    }

    // The legend: the scale from −limit to +limit.
    const QRectF bar(width() * 0.15, height() - LegendHeight + 4, width() * 0.7, 12);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (int k = 0; k <= 10; ++k) {
        const double t = k / 10.0;
        gradient.setColorAt(t, color((2 * t - 1) * m_limit, m_limit, m_neutral));
    }
    painter.setPen(QPen(m_text, 0.5));
    painter.setBrush(gradient);
    painter.drawRect(bar);
    painter.setPen(m_text);
    const QRectF labels(bar.left() - 60, bar.bottom() + 2, bar.width() + 120, line);
    painter.drawText(labels, Qt::AlignLeft | Qt::AlignVCenter, microMolar(-m_limit));
    painter.drawText(labels, Qt::AlignHCenter | Qt::AlignVCenter, trGeneric("ΔHbO 0 µM"));
    painter.drawText(labels, Qt::AlignRight | Qt::AlignVCenter, microMolar(m_limit));
}
