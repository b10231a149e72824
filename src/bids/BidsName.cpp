#include "BidsName.h"

#include <algorithm>

QString BidsName::labelError(const QString& what, const QString& text)
{
    const auto alphanumeric = [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    };
    if (!text.isEmpty() && std::all_of(text.cbegin(), text.cend(), alphanumeric))
        return {};
    return QStringLiteral("%1 \"%2\" is not a label: use letters and digits only (A-Z, a-z, 0-9), at least one")
        .arg(what, text);
}

QString BidsName::error() const
{
    QString reason = labelError(QStringLiteral("subject"), subject);
    if (reason.isEmpty() && !session.isEmpty())
        reason = labelError(QStringLiteral("session"), session);
    if (reason.isEmpty())
        reason = labelError(QStringLiteral("task"), task);
    if (reason.isEmpty() && run < 0)
        reason = QStringLiteral("run %1 is not a run number: use a whole number from 1").arg(run);
    return reason;
}

QString BidsName::subjectPrefix() const
{
    return session.isEmpty() ? QStringLiteral("sub-%1").arg(subject)
                             : QStringLiteral("sub-%1_ses-%2").arg(subject, session);
}

QString BidsName::sessionFolder() const
{
    return session.isEmpty() ? QStringLiteral("sub-%1").arg(subject)
                             : QStringLiteral("sub-%1/ses-%2").arg(subject, session);
}

QString BidsName::stem() const
{
    QString stem = subjectPrefix() + QStringLiteral("_task-") + task;
    if (run > 0)
        stem += QStringLiteral("_run-%1").arg(run);
    return stem;
}

QString BidsName::nirsPath(const QString& suffix) const
{
    return sessionFolder() + QStringLiteral("/nirs/") + stem() + QLatin1Char('_') + suffix;
}

QString BidsName::sessionFile(const QString& suffix) const
{
    return sessionFolder() + QStringLiteral("/nirs/") + subjectPrefix() + QLatin1Char('_') + suffix;
}

QString BidsName::scansPath() const
{
    return sessionFolder() + QLatin1Char('/') + subjectPrefix() + QStringLiteral("_scans.tsv");
}

QString BidsName::scansEntry() const
{
    return QStringLiteral("nirs/") + stem() + QStringLiteral("_nirs.snirf");
}
