#include "SuggestionDoubleSpinBox.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

SuggestionDoubleSpinBox::SuggestionDoubleSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{ }

void SuggestionDoubleSpinBox::setSuggestions(const QList<double>& values)
{
    m_suggestions = values;
    std::sort(m_suggestions.begin(), m_suggestions.end());
    m_suggestions.erase(std::unique(m_suggestions.begin(), m_suggestions.end()), m_suggestions.end());
}

QList<double> SuggestionDoubleSpinBox::parseSuggestions(const QString& text)
{
    QList<double> values;
    static const QRegularExpression separator(QStringLiteral("[;,]"));
    const QStringList pieces = text.split(separator, Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        bool ok = false;
        const double value = piece.trimmed().toDouble(&ok);
        if (ok)
            values.append(value);
    }
    return values;
}

// Within the span of the preferred values a step moves to the next one in its direction; outside it the single
// step applies, without jumping over the nearest preferred value, so the whole range stays reachable.
void SuggestionDoubleSpinBox::stepBy(int steps)
{
    if (m_suggestions.isEmpty() || steps == 0) {
        QDoubleSpinBox::stepBy(steps);
        return;
    }
    // Compare at the shown precision, so that a value displayed as a preferred one counts as it.
    const double epsilon = std::pow(10.0, -decimals()) / 2;
    const double first = m_suggestions.first();
    const double last = m_suggestions.last();
    double current = value();
    for (int i = 0; i < std::abs(steps); ++i) {
        double next = current;
        if (steps > 0) {
            if (current < first - epsilon)
                next = qMin(current + singleStep(), first);
            else if (current >= last - epsilon)
                next = current + singleStep();
            else
                next = *std::find_if(
                    m_suggestions.cbegin(), m_suggestions.cend(), [&](double v) { return v > current + epsilon; });
        } else {
            if (current > last + epsilon)
                next = qMax(current - singleStep(), last);
            else if (current <= first + epsilon)
                next = current - singleStep();
            else
                next = *std::find_if(
                    m_suggestions.crbegin(), m_suggestions.crend(), [&](double v) { return v < current - epsilon; });
        }
        current = qBound(minimum(), next, maximum());
    }
    setValue(current);
    selectAll();
}
