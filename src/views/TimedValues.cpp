#include "TimedValues.h"

#include <QDateTime>

#include <utility>

TimedValues::TimedValues(qint64 timestamp, QList<double> values)
    : m_timestamp(timestamp)
    , m_values(std::move(values))
{ }

const QString& TimedValues::timeText()
{
    if (m_text.isEmpty())
        m_text = QDateTime::fromMSecsSinceEpoch(m_timestamp).toString(QStringLiteral("hh:mm:ss.zzz"));
    return m_text;
}

double TimedValues::minimum()
{
    computeExtrema();
    return m_minimum;
}

double TimedValues::maximum()
{
    computeExtrema();
    return m_maximum;
}

void TimedValues::computeExtrema()
{
    if (m_extremaKnown)
        return;
    m_extremaKnown = true;
    if (m_values.isEmpty())
        return;
    m_minimum = m_maximum = m_values.first();
    for (qsizetype i = 1; i < m_values.size(); ++i) {
        const double v = m_values.at(i);
        if (v < m_minimum)
            m_minimum = v;
        else if (v > m_maximum)
            m_maximum = v;
    }
}
