#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One record of the live views: a time stamp with the values taken at that moment. The time text and the extremes
// are computed on first use and cached, so that repeated paints format and scan nothing twice.
class TimedValues
{
public:
    TimedValues() = default;
    TimedValues(qint64 timestamp, QList<double> values);

    qint64 timestamp() const { return m_timestamp; }
    const QList<double>& values() const { return m_values; }

    // Local time of the time stamp as "hh:mm:ss.zzz".
    const QString& timeText();
    double minimum();
    double maximum();

private:
    void computeExtrema();

    qint64 m_timestamp = 0;
    QList<double> m_values;
    QString m_text;
    double m_minimum = 0;
    double m_maximum = 0;
    bool m_extremaKnown = false;
};
Q_DECLARE_TYPEINFO(TimedValues, Q_RELOCATABLE_TYPE);
