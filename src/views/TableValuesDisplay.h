#pragma once

#include "TimedValues.h"

#include <QBrush>
#include <QList>
#include <QPen>
#include <QString>
#include <QStringList>
#include <QWidget>

// The latest records as a table, newest at the top: a time column and one column per value. The font shrinks until
// the columns fit the width.
class TableValuesDisplay : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaximumRecords = 99;

    explicit TableValuesDisplay(QWidget* parent = nullptr);

    void addData(qint64 timestamp, const QList<double>& values);
    void clear();

    int recordCount() const { return int(m_records.size()); }
    int columns() const { return m_columns; }
    float fontPixelSize() const { return m_fontPixelSize; }
    const QStringList& headers() const { return m_headers; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refreshTheme();
    void updateLayout(QPainter& painter);

    QList<TimedValues> m_records;
    // The cell texts of each record, formatted once when it arrives rather than on every paint.
    QList<QStringList> m_cells;
    int m_rowHeight = 20;
    int m_columns = 1;
    int m_columnWidth = 10;
    int m_timeColumnWidth = 10;
    float m_fontPixelSize = 10;
    int m_margin = 2;
    QPen m_textPen;
    QPen m_linePen;
    QBrush m_headerBrush;
    QBrush m_stripeBrush;
    bool m_layoutDirty = true;
    QStringList m_headers;
};
