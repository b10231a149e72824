#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A tab-separated table of a dataset (participants, scans, channels, events, optodes): a header of column names,
// then rows of cells, "n/a" where a value is missing. Read whole and written whole, so that a row added to a table
// another program wrote keeps that program's columns and rows.
class BidsTable
{
public:
    explicit BidsTable(const QStringList& columns = {});

    // The table of text (LF or CR LF line ends); empty text gives the given columns and no rows.
    static BidsTable parse(const QByteArray& text, const QStringList& columns);

    const QStringList& columns() const { return m_columns; }
    const QList<QStringList>& rows() const { return m_rows; }
    // The cell of a row, "" past the row's end or for a column the table lacks.
    QString cell(qsizetype row, const QString& column) const;
    // The first row whose key column holds value, or -1.
    qsizetype find(const QString& key, const QString& value) const;

    // Appends a row of cells by column; a column the table lacks is added, with "n/a" in the rows before.
    void append(const QMap<QString, QString>& cells);
    // Replaces the row whose key column holds the key's cell, or appends one.
    void put(const QString& key, const QMap<QString, QString>& cells);

    // Header and rows, tab-separated, each line ended by LF.
    QByteArray text() const;
    // A value as one cell: tabs and line breaks become spaces; empty text becomes "n/a".
    static QString cellText(const QString& value);

private:
    QStringList m_columns;
    QList<QStringList> m_rows;
};
