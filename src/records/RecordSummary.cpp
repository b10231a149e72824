#include "RecordSummary.h"

#include "RecordEvents.h"
#include "RecordFiles.h"
#include "RecordLoader.h"
#include "RecordText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

// The start as RecordWriter::baseName writes it.
const QString StartFormat = QStringLiteral("yyyy.MM.dd-hh.mm.ss.zzz");

// The time of the last line that has its line end; a line still being written has none yet.
qint64 lastLineTime(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const qint64 size = file.size();
    const qint64 from = qMax<qint64>(0, size - RecordSummary::TailBytes);
    if (!file.seek(from))
        return -1;
    const QByteArray tail = file.read(size - from);
    const qsizetype end = tail.lastIndexOf('\n');
    if (end < 0)
        return -1;
    const qsizetype begin = tail.lastIndexOf('\n', end - 1) + 1;
    // The header is the first line of the file: with nothing after it there is no data line.
    if (begin == 0 && from == 0)
        return -1;
    const char* const line = tail.constData() + begin;
    const char* lineEnd = tail.constData() + end;
    if (lineEnd > line && lineEnd[-1] == '\r')
        --lineEnd;
    const std::optional<quint64> time = RecordText::parseUnsigned(
        line, RecordText::findByte(line, lineEnd, ';'), quint64(std::numeric_limits<qint64>::max()));
    return time ? qint64(*time) : -1;
}

} // namespace

qint64 RecordSummary::fileStamp(const QString& path)
{
    qint64 stamp = 0;
    for (const QString& file : { path, RecordLoader::logPath(path), RecordEvents::eventsPath(path) }) {
        const QFileInfo info(file);
        if (info.exists())
            stamp += info.size() + info.lastModified().toMSecsSinceEpoch();
    }
    return stamp;
}

RecordSummary RecordSummary::read(const QString& path)
{
    RecordSummary summary;
    const QFileInfo info(path);
    summary.path = info.absoluteFilePath();
    summary.stamp = fileStamp(path);
    const QString name = info.completeBaseName();
    summary.start = QDateTime::fromString(name.left(StartFormat.size()), StartFormat);
    if (summary.start.isValid()) {
        summary.title = name.mid(StartFormat.size() + 1);
    } else {
        summary.start = info.lastModified();
        summary.title = name;
    }

    RecordLoader loader;
    if (loader.open(path))
        summary.channels = loader.channelCount();
    summary.durationMs = lastLineTime(path);

    for (const RecordLoader::Mark& mark : RecordLoader::readMarks(RecordLoader::logPath(path))) {
        ++summary.marks;
        if (!summary.markTexts.contains(mark.text))
            summary.markTexts.append(mark.text);
    }
    for (const RecordEvents::Event& event : RecordEvents::read(RecordEvents::eventsPath(path)).events) {
        if (event.source == RecordEvents::SourceHalvex) {
            summary.addCheckLine(event.text);
            continue;
        }
        ++summary.marks;
        if (!summary.markTexts.contains(event.text))
            summary.markTexts.append(event.text);
    }
    return summary;
}

void RecordSummary::addCheckLine(const QString& text)
{
    // As the signal check writes it: "signal check: 1=0.93 2=0.41 bad 3=? 4=0.99 saturated dark", longer ones
    // carried on in lines that begin "signal check, continued:".
    static const QString first = QStringLiteral("signal check:");
    static const QString continued = QStringLiteral("signal check, continued:");
    QString rest;
    if (text.startsWith(first))
        rest = text.mid(first.size());
    else if (text.startsWith(continued))
        rest = text.mid(continued.size());
    else
        return;
    hasCheck = true;
    checkText += (checkText.isEmpty() ? QString() : QStringLiteral("\n")) + text;
    bool currentBad = false;
    for (const QString& word : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals > 0) {
            ++checkChannels;
            currentBad = false;
            if (word.mid(equals + 1) == QLatin1String("?"))
                ++unknownChannels;
        } else if (checkChannels > 0 && !currentBad
            && (word == QLatin1String("bad") || word == QLatin1String("saturated") || word == QLatin1String("dark"))) {
            currentBad = true;
            ++badChannels;
        }
    }
}

bool RecordSummary::matches(const QString& filter) const
{
    const QStringList words = filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList fields { title, QFileInfo(path).fileName(), start.toString(StartFormat),
        start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) };
    fields += markTexts;
    return std::all_of(words.cbegin(), words.cend(), [&fields](const QString& word) {
        return std::any_of(fields.cbegin(), fields.cend(),
            [&word](const QString& field) { return field.contains(word, Qt::CaseInsensitive); });
    });
}

QList<RecordSummary> RecordSummary::scan(const QString& folder, const QList<RecordSummary>& previous)
{
    QHash<QString, const RecordSummary*> known;
    for (const RecordSummary& summary : previous)
        known.insert(summary.path, &summary);
    QList<RecordSummary> result;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList({ QStringLiteral("*.csv") }, QDir::Files | QDir::Readable)) {
        const QString path = info.absoluteFilePath();
        const RecordSummary* before = known.value(path);
        if (before && before->stamp == fileStamp(path))
            result.append(*before);
        else
            result.append(read(path));
    }
    std::stable_sort(
        result.begin(), result.end(), [](const RecordSummary& a, const RecordSummary& b) { return a.start > b.start; });
    return result;
}
