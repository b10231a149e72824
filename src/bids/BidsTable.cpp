#include "BidsTable.h"

namespace {

const QString NotAvailable = QStringLiteral("n/a");

} // namespace

BidsTable::BidsTable(const QStringList& columns)
    : m_columns(columns)
{ }

BidsTable BidsTable::parse(const QByteArray& text, const QStringList& columns)
{
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return BidsTable(columns);
    BidsTable table(lines.takeFirst().split(QLatin1Char('\t')));
    for (const QString& line : std::as_const(lines))
        table.m_rows.append(line.split(QLatin1Char('\t')));
    return table;
}

QString BidsTable::cell(qsizetype row, const QString& column) const
{
    const qsizetype index = m_columns.indexOf(column);
    return index < 0 ? QString() : m_rows.value(row).value(index);
}

qsizetype BidsTable::find(const QString& key, const QString& value) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (cell(row, key) == value)
            return row;
    }
    return -1;
}

void BidsTable::append(const QMap<QString, QString>& cells)
{
    for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
        if (m_columns.contains(it.key()))
            continue;
        m_columns.append(it.key());
        for (QStringList& row : m_rows) {
            while (row.size() < m_columns.size())
                row.append(NotAvailable);
        }
    }
    QStringList row;
    for (const QString& column : std::as_const(m_columns))
        row.append(cellText(cells.value(column)));
    m_rows.append(row);
}

void BidsTable::put(const QString& key, const QMap<QString, QString>& cells)
{
    const qsizetype existing = find(key, cells.value(key));
    if (existing >= 0)
        m_rows.removeAt(existing);
    append(cells);
    if (existing >= 0)
        m_rows.move(m_rows.size() - 1, existing);
}

QByteArray BidsTable::text() const
{
    QByteArray text = m_columns.join(QLatin1Char('\t')).toUtf8() + '\n';
    for (const QStringList& row : m_rows)
        text += row.join(QLatin1Char('\t')).toUtf8() + '\n';
    return text;
}

QString BidsTable::cellText(const QString& value)
{
    if (value.isEmpty())
        return NotAvailable;
    QString cell = value;
    for (QChar& c : cell) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return cell;
}
