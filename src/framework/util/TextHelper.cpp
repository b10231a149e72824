#include "TextHelper.h"

#include <cmath>

namespace {
QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}
}

QString TextHelper::DateTimeFileString(const QDateTime& dateTime, bool withMilliseconds)
{
    const QDateTime moment = dateTime.isValid() ? dateTime : QDateTime::currentDateTime();
    return moment.toString(withMilliseconds ? QStringLiteral("yyyy.MM.dd-hh.mm.ss.zzz")
                                            : QStringLiteral("yyyy.MM.dd-hh.mm.ss"));
}

QString TextHelper::TimeToText(double seconds, bool withMilliseconds)
{
    const auto wholeSeconds = static_cast<qint64>(std::trunc(seconds));
    const qint64 minutes = wholeSeconds / 60;
    const qint64 hours = minutes / 60;

    QString text = twoDigits(minutes % 60) + QLatin1Char(':') + twoDigits(wholeSeconds % 60);
    if (withMilliseconds) {
        const auto milliseconds = static_cast<qint64>(std::trunc((seconds - double(wholeSeconds)) * 1000.0));
        text += QLatin1Char('.') + QString::number(milliseconds).rightJustified(3, QLatin1Char('0'));
    }
    if (hours >= 1)
        text = twoDigits(hours) + QLatin1Char(':') + text;
    return text;
}

QStringList TextHelper::splitAndTrim(const QString& text, const QString& separator)
{
    QStringList parts;
    const QString trimmed = text.trimmed();
    const auto pieces = QStringView(trimmed).split(separator);
    for (const auto& piece : pieces) {
        const auto part = piece.trimmed();
        if (!part.isEmpty())
            parts.append(part.toString());
    }
    return parts;
}
