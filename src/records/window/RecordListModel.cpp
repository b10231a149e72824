#include "RecordListModel.h"

#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QCoreApplication>
#include <QDir>

RecordListModel::RecordListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    // The verdict's colour follows the theme.
    StyleHelper::Link(
        this,
        [this] {
            if (!m_records.isEmpty())
                emit dataChanged(index(0, CheckColumn), index(rowCount() - 1, CheckColumn),
                    { Qt::ForegroundRole, Qt::BackgroundRole });
        },
        false);
}

void RecordListModel::setRecords(QList<RecordSummary> records)
{
    beginResetModel();
    m_records = std::move(records);
    endResetModel();
}

QString RecordListModel::verdict(const RecordSummary& record)
{
    if (!record.hasCheck)
        return QString();
    if (record.badChannels > 0)
        return trGeneric("%1 of %2 bad").arg(record.badChannels).arg(record.checkChannels);
    if (record.unknownChannels >= record.checkChannels)
        return trGeneric("not known");
    if (record.unknownChannels > 0)
        return trGeneric("%1 of %2 not known").arg(record.unknownChannels).arg(record.checkChannels);
    return trGeneric("all good");
}

QString RecordListModel::duration(qint64 ms)
{
    if (ms < 0)
        return QString();
    const qint64 seconds = ms / 1000;
    const QString ss = QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(ss);
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0')).arg(ss);
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return {};
    const RecordSummary& record = m_records.at(index.row());
    if (role == PathRole)
        return record.path;
    if (role == Qt::ToolTipRole) {
        if (index.column() == CheckColumn && record.hasCheck)
            return record.checkText;
        return QDir::toNativeSeparators(record.path);
    }
    // The colours of the live signal check's cells.
    const bool allGood = record.checkChannels > 0 && record.badChannels == 0 && record.unknownChannels == 0;
    if (index.column() == CheckColumn && (record.badChannels > 0 || allGood)) {
        if (role == Qt::BackgroundRole)
            return StyleHelper::ThemeColor(
                record.badChannels > 0 ? QStringLiteral("--n-quality-poor") : QStringLiteral("--n-quality-good"));
        if (role == Qt::ForegroundRole)
            return StyleHelper::ThemeColor(QStringLiteral("--n-text"), Qt::black);
    }
    if (role == Qt::TextAlignmentRole && index.column() != TitleColumn && index.column() != CheckColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case StartColumn:
        return record.start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case TitleColumn:
        return record.title;
    case DurationColumn:
        return duration(record.durationMs);
    case ChannelsColumn:
        return record.channels > 0 ? QString::number(record.channels) : QString();
    case MarksColumn:
        return record.marks;
    case CheckColumn:
        return verdict(record);
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case StartColumn:
            return trGeneric("When the record started");
        case TitleColumn:
            return trGeneric("The title typed before the record started");
        case DurationColumn:
            return trGeneric("The time of the record's last sample (minutes:seconds)");
        case ChannelsColumn:
            return trGeneric("Channels in the record");
        case MarksColumn:
            return trGeneric("Marks of the stimulus program's .log file and of the record's own events");
        case CheckColumn:
            return trGeneric("The signal check at the record's start: channels whose scalp coupling was below the "
                             "records setting, saturated or dark");
        default:
            return {};
        }
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case StartColumn:
        return trGeneric("Start");
    case TitleColumn:
        return trGeneric("Title");
    case DurationColumn:
        return trGeneric("Duration");
    case ChannelsColumn:
        return trGeneric("Channels");
    case MarksColumn:
        return trGeneric("Marks");
    case CheckColumn:
        return trGeneric("Signal check");
    default:
        return {};
    }
}
