#include "SignalCheckCell.h"

#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

namespace {
QString number(double value, int decimals)
{
    return QLocale().toString(value, 'f', decimals);
}
} // namespace

SignalCheckCell::SignalCheckCell(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setQuality({}, 1.0);
    StyleHelper::Link(this, [this]() { refreshColors(); });
}

SignalCheckCell::Level SignalCheckCell::levelOf(const LiveQuality::Quality& quality, double goodCoupling)
{
    if (!quality.known)
        return Unknown;
    if (quality.sci >= goodCoupling)
        return Good;
    return quality.sci >= FairCoupling ? Fair : Poor;
}

QString SignalCheckCell::levelColorName(Level level)
{
    switch (level) {
    case Good:
        return QStringLiteral("--n-quality-good");
    case Fair:
        return QStringLiteral("--n-quality-fair");
    case Poor:
        return QStringLiteral("--n-quality-poor");
    case Unknown:
        break;
    }
    return QStringLiteral("--n-quality-unknown");
}

void SignalCheckCell::setChannel(int channel, const QString& title)
{
    m_channel = channel;
    m_title = title;
    update();
}

void SignalCheckCell::setQuality(const LiveQuality::Quality& quality, double goodCoupling)
{
    m_level = levelOf(quality, goodCoupling);
    m_lines.clear();
    QStringList tips;
    if (m_channel > 0) {
        tips << trGeneric("Channel %1 of the instrument (R%1 and IR%1 in the record).").arg(m_channel);
    }
    if (m_level == Unknown) {
        m_lines << trGeneric("measuring…");
        tips << trGeneric("Not known yet: the signal check is still gathering samples (the window's length, and 11 s "
                          "more for its band-pass).");
    } else {
        m_lines << trGeneric("SCI %1").arg(number(quality.sci, 2))
                << trGeneric("CV %1 %").arg(number(quality.cvPercent, quality.cvPercent < 10 ? 1 : 0));
        QStringList flags;
        if (quality.saturated)
            flags << trGeneric("saturated");
        if (quality.dark)
            flags << trGeneric("dark");
        if (!flags.isEmpty())
            m_lines << flags.join(QStringLiteral(", "));
        tips << trGeneric("SCI, the scalp coupling index: how alike the heartbeat is in the light of the two "
                          "wavelengths, from −1 to 1. From %1 the optodes see the scalp.")
                    .arg(number(goodCoupling, 2));
        if (m_level != Good)
            tips << trGeneric("Too low: re-seat the optode and move the hair aside from under it.");
        tips << trGeneric("CV, the coefficient of variation: how much the raw light varies, in % of its mean. A large "
                          "value means movement or a loose optode.");
        if (quality.saturated)
            tips << trGeneric("Saturated: the light reaches the top of the instrument's range. Lower the gain or the "
                              "source's power.");
        if (quality.dark)
            tips << trGeneric("Dark: hardly any light reaches the detector. Check the cable and the optode's "
                              "contact.");
    }
    setToolTip(tips.join(QStringLiteral("\n")));
    refreshColors();
}

void SignalCheckCell::refreshColors()
{
    static const QColor fallbacks[] = { QColor(0xD6D6D6), QColor(0xA5D6A7), QColor(0xFFE082), QColor(0xEF9A9A) };
    m_fill = StyleHelper::ThemeColor(levelColorName(m_level), fallbacks[m_level]);
    m_text = StyleHelper::ThemeColor(QStringLiteral("--n-text"), QColor(Qt::black));
    update();
}

QSize SignalCheckCell::sizeHint() const
{
    return { fontMetrics().horizontalAdvance(QStringLiteral("saturated, dark")) + 16,
        fontMetrics().lineSpacing() * 4 + 12 };
}

QSize SignalCheckCell::minimumSizeHint() const
{
    return { fontMetrics().horizontalAdvance(QStringLiteral("SCI -0.00")) + 8, fontMetrics().lineSpacing() * 4 + 4 };
}

void SignalCheckCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);

    painter.setPen(m_text);
    const QRect area = rect().adjusted(4, 2, -4, -2);
    QFont bold = font();
    bold.setBold(true);
    const int line = fontMetrics().lineSpacing();
    const int height = line * int(m_lines.size() + 1);
    QRect row(area.left(), area.top() + qMax(0, (area.height() - height) / 2), area.width(), line);
    painter.setFont(bold);
    painter.drawText(row, Qt::AlignCenter, QFontMetrics(bold).elidedText(m_title, Qt::ElideRight, area.width()));
    painter.setFont(font());
    for (const QString& text : m_lines) {
        row.translate(0, line);
        painter.drawText(row, Qt::AlignCenter, fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
    }
}
