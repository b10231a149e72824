#include "RecordEvents.h"

#include "FileUtilities.h"
#include "RecordFiles.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString RecordEvents::eventsPath(const QString& recordPath)
{
    return RecordFiles::existing(recordPath, QStringLiteral(".events"));
}

RecordEvents::Contents RecordEvents::read(const QString& eventsPath)
{
    const QFileInfo info(eventsPath);
    if (!info.isFile())
        return {};
    QFile file(eventsPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    Contents contents = parse(file.read(FileUtilities::readLimit(file, MaxFileSize)));
    if (!file.atEnd())
        ++contents.skippedLines;
    return contents;
}

RecordEvents::Contents RecordEvents::parse(const QByteArray& data)
{
    Contents contents;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype tab1 = line.indexOf('\t');
        const qsizetype tab2 = tab1 < 0 ? -1 : line.indexOf('\t', tab1 + 1);
        bool ok = false;
        const qint64 time = tab2 < 0 ? 0 : line.left(tab1).trimmed().toLongLong(&ok);
        if (!ok) {
            ++contents.skippedLines;
            continue;
        }
        contents.events.append({ time, QString::fromUtf8(line.mid(tab1 + 1, tab2 - tab1 - 1)).trimmed(),
            QString::fromUtf8(line.mid(tab2 + 1)) });
    }
    std::stable_sort(
        contents.events.begin(), contents.events.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    return contents;
}

QByteArray RecordEvents::formatLine(qint64 time, const QString& source, const QString& text)
{
    return QByteArray::number(time) + '\t' + source.toUtf8() + '\t' + cleanText(text).toUtf8() + "\r\n";
}

QString RecordEvents::cleanText(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t u = text.at(i).unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            units = 2;
        }
        switch (QChar::category(u)) {
        case QChar::Other_Format:
            break;
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            clean += QLatin1Char(' ');
            break;
        default:
            clean += QStringView(text).sliced(i, units);
            break;
        }
        i += units - 1;
    }
    return clean;
}
