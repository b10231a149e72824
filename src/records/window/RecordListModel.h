#pragma once

#include "RecordSummary.h"

#include <QAbstractTableModel>
#include <QList>

// The records of the data folder as the list shows them, newest first.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { StartColumn, TitleColumn, DurationColumn, ChannelsColumn, MarksColumn, CheckColumn, ColumnCount };
    // The record's ".csv" path, in every column.
    static constexpr int PathRole = Qt::UserRole;

    explicit RecordListModel(QObject* parent = nullptr);

    void setRecords(QList<RecordSummary> records);
    const QList<RecordSummary>& records() const { return m_records; }

    // "2 of 12 bad", "all good", …; empty for a record without a signal check.
    static QString verdict(const RecordSummary& record);
    // "m:ss", or "h:mm:ss" from an hour on; empty when unknown.
    static QString duration(qint64 ms);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<RecordSummary> m_records;
};
