#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class TextHelper
{
public:
    // "yyyy.MM.dd-hh.mm.ss" and, with withMilliseconds, ".zzz"; an invalid date-time stands for now.
    static QString DateTimeFileString(const QDateTime& dateTime = {}, bool withMilliseconds = false);
    // Elapsed time as "mm:ss", "hh:mm:ss" from one hour on, and ".zzz" with withMilliseconds.
    static QString TimeToText(double seconds, bool withMilliseconds);
    // Trims the text, splits it at the separator, trims every part and drops the empty ones.
    static QStringList splitAndTrim(const QString& text, const QString& separator);
};
