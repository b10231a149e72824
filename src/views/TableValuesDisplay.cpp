#include "TableValuesDisplay.h"

#include "StyleHelper.h"

#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace {
const QTextOption& rightCentredOption()
{
    static const QTextOption option(Qt::AlignRight | Qt::AlignVCenter);
    return option;
}
} // namespace

TableValuesDisplay::TableValuesDisplay(QWidget* parent)
    : QWidget(parent)
{
    StyleHelper::Link(
        this, [this] { refreshTheme(); }, true);
}

void TableValuesDisplay::addData(qint64 timestamp, const QList<double>& values)
{
    QStringList cells;
    cells.reserve(values.size());
    for (double v : values) {
        // Two readings run together make a number no integer holds; it is shown as it is.
        const double whole = std::trunc(v);
        cells.append(std::fabs(whole) < 9.2e18 ? QString::number(qint64(whole)) : QString::number(whole, 'g', 6));
    }
    m_records.append(TimedValues(timestamp, values));
    m_cells.append(std::move(cells));
    while (m_records.size() > MaximumRecords) {
        m_records.removeFirst();
        m_cells.removeFirst();
    }
    if (values.size() > m_columns) {
        m_columns = int(values.size());
        m_layoutDirty = true;
    } else {
        update();
    }
}

void TableValuesDisplay::clear()
{
    m_records.clear();
    m_cells.clear();
    m_columns = 0;
    m_layoutDirty = true;
    update();
}

void TableValuesDisplay::resizeEvent(QResizeEvent* event)
{
    m_layoutDirty = true;
    QWidget::resizeEvent(event);
}

void TableValuesDisplay::refreshTheme()
{
    m_textPen = QPen(StyleHelper::MainColor());
    m_linePen = QPen(StyleHelper::ThemeColor(QStringLiteral("--n-grid-line"), QColor(0x333333)));
    m_headerBrush = QBrush(StyleHelper::ThemeColor(QStringLiteral("--n-grid-sub-line"), QColor(0xcccccc)));
    m_stripeBrush = QBrush(StyleHelper::ThemeColor(QStringLiteral("--n-panel-bg"), QColor(0xcccccc)));
    update();
}

void TableValuesDisplay::updateLayout(QPainter& painter)
{
    const int w = width();
    QFont font = painter.font();
    int size = 15;
    int timeWidth = 0;
    for (;; --size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        timeWidth = int(std::ceil(metrics.horizontalAdvance(QStringLiteral("00:00:00.000")))) + 2 * m_margin;
        const int valueWidth = int(std::ceil(metrics.horizontalAdvance(QStringLiteral("9999")))) + 2 * m_margin;
        if (m_columns * valueWidth + timeWidth <= w || size == 5)
            break;
    }
    m_timeColumnWidth = timeWidth;
    m_fontPixelSize = float(size);
    m_columnWidth = (w - timeWidth) / m_columns;
    m_rowHeight = 2 * m_margin + 2 + QFontMetrics(font).height();
    if (w > m_timeColumnWidth + m_columns * m_columnWidth)
        m_timeColumnWidth = w - m_columns * m_columnWidth - 1;
    m_headers.clear();
    for (int i = 1; i <= m_columns; ++i)
        m_headers.append(QLatin1Char('#') + QString::number(i));
    m_layoutDirty = false;
}

void TableValuesDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    const int w = width();
    const int h = height();
    if (w < 20 || h < 20 || m_records.isEmpty())
        return;
    if (m_layoutDirty && m_columns >= 1 && painter.isActive())
        updateLayout(painter);
    if (m_columns == 0)
        return;

    QFont font = painter.font();
    font.setPixelSize(int(m_fontPixelSize));
    painter.setFont(font);
    const int tableHeight = int(m_records.size() + 1) * m_rowHeight;
    const int tableWidth = m_columns * m_columnWidth + m_timeColumnWidth;

    painter.fillRect(QRect(0, 0, tableWidth, m_rowHeight), m_headerBrush);
    painter.setPen(m_linePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(1, 1, tableWidth - 1, tableHeight - 1));
    painter.setPen(m_textPen);
    painter.drawText(
        QRectF(-m_margin, 0, m_timeColumnWidth - m_margin, m_rowHeight), QStringLiteral("T"), rightCentredOption());

    if (m_headers.size() == m_columns) {
        int x = m_timeColumnWidth - m_margin;
        for (int i = 0; i < m_columns; ++i) {
            if (i % 2 == 0)
                painter.fillRect(QRect(x, m_rowHeight, m_columnWidth, tableHeight - m_rowHeight), m_stripeBrush);
            painter.setPen(m_linePen);
            painter.drawLine(x, 0, x, tableHeight);
            painter.setPen(m_textPen);
            painter.drawText(
                QRectF(x, 0, m_columnWidth - m_margin, m_rowHeight), m_headers.at(i), rightCentredOption());
            x += m_columnWidth;
        }
    }

    int y = m_rowHeight;
    for (qsizetype r = m_records.size() - 1; r >= 0; --r) {
        painter.setPen(m_textPen);
        painter.drawText(QRectF(-m_margin, y, m_timeColumnWidth - m_margin, m_rowHeight), m_records[r].timeText(),
            rightCentredOption());
        int x = m_timeColumnWidth - m_margin;
        const QStringList& cells = m_cells.at(r);
        for (const QString& cell : cells) {
            painter.drawText(QRectF(x, y, m_columnWidth - m_margin, m_rowHeight), cell, rightCentredOption());
            x += m_columnWidth;
        }
        painter.setPen(m_linePen);
        painter.drawLine(0, y, tableWidth, y);
        y += m_rowHeight;
        if (y > h)
            break;
    }
}
