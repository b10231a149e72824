#include "ReleaseNotes.h"

#include "AppHelper.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Items tagged for another platform are left out; the Linux tag itself is not shown.
bool forLinux(QString& text)
{
    for (const char* other : { "[Android]", "[iOS]", "[macOS]", "[Windows]" }) {
        if (text.contains(QLatin1String(other), Qt::CaseInsensitive))
            return false;
    }
    text.remove(QStringLiteral("[Linux]"), Qt::CaseInsensitive);
    text = text.simplified();
    return !text.isEmpty();
}

} // namespace

QList<ReleaseNotes::Release> ReleaseNotes::parse(const QString& text)
{
    static const QRegularExpression versionLine(QStringLiteral("^(\\S+)\\s+\\((\\d{4}-\\d{2}-\\d{2})\\)$"));
    QList<Release> releases;
    // The about window's reader picks each language's blocks; an entry is a version line and its items.
    for (const bool russian : { false, true }) {
        const QStringList entries
            = AppHelper::changeLogBlocks(text, russian ? QStringLiteral("ru-RU") : QStringLiteral("en-US"));
        for (const QString& entry : entries) {
            QStringList lines = entry.split(QLatin1Char('\n'));
            const QRegularExpressionMatch version = versionLine.match(lines.takeFirst().trimmed());
            const QDate date = QDate::fromString(version.captured(2), Qt::ISODate);
            if (!version.hasMatch() || !date.isValid())
                continue;
            auto release = std::find_if(releases.begin(), releases.end(),
                [&version](const Release& known) { return known.version == version.captured(1); });
            if (release == releases.end())
                release = releases.insert(releases.end(), { version.captured(1), date, {}, {} });
            for (QString line : std::as_const(lines)) {
                // An item is a bullet character, a space and the text.
                line = line.trimmed();
                if (line.size() < 3 || line.at(0).isLetterOrNumber() || line.at(1) != QLatin1Char(' '))
                    continue;
                QString item = line.mid(2);
                if (forLinux(item))
                    (russian ? release->russian : release->english).append(item);
            }
        }
    }
    return releases;
}

QString ReleaseNotes::appStream(const QList<Release>& releases)
{
    QString xml;
    for (const Release& release : releases) {
        xml += QStringLiteral("    <release version=\"%1\" date=\"%2\">\n")
                   .arg(release.version.toHtmlEscaped(), release.date.toString(Qt::ISODate));
        if (!release.english.isEmpty()) {
            // A translated item follows its English one; the blocks are matched item by item, so a Russian block
            // that does not match item for item is left out rather than mistranslating.
            const bool translated = release.russian.size() == release.english.size();
            xml += QStringLiteral("      <description>\n        <ul>\n");
            for (qsizetype i = 0; i < release.english.size(); ++i) {
                xml += QStringLiteral("          <li>%1</li>\n").arg(release.english.at(i).toHtmlEscaped());
                if (translated)
                    xml += QStringLiteral("          <li xml:lang=\"ru\">%1</li>\n")
                               .arg(release.russian.at(i).toHtmlEscaped());
            }
            xml += QStringLiteral("        </ul>\n      </description>\n");
        }
        xml += QStringLiteral("    </release>\n");
    }
    return xml;
}

QString ReleaseNotes::debianChangeLog(const QList<Release>& releases, const QString& package, const QString& maintainer)
{
    QString text;
    for (const Release& release : releases) {
        text += QStringLiteral("%1 (%2) unstable; urgency=medium\n\n").arg(package, release.version);
        for (const QString& item : release.english)
            text += QStringLiteral("  * %1\n").arg(item);
        if (release.english.isEmpty())
            text += QStringLiteral("  * Release %1.\n").arg(release.version);
        const QString date = QLocale::c().toString(
            release.date.startOfDay(Qt::UTC), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss +0000"));
        text += QStringLiteral("\n -- %1  %2\n\n").arg(maintainer, date);
    }
    text.chop(1);
    return text;
}
