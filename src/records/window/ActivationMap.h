#pragma once

#include "RawRecord.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QWidget>

#include <vector>

// The channels in the arrangement of the montage (as the live graphs and the signal check place them; two columns
// without a montage), each cell coloured by a value on a diverging scale: the mean ΔHbO of a condition in the
// response window. Red is a rise, blue a fall, the theme's neutral no change; the legend below gives the scale in µM.
class ActivationMap : public QWidget
{
    Q_OBJECT
public:
    struct Cell
    {
        int index = 0; // into the values, from 0
        QString title;
        int row = 0;
        int column = 0;
        int columnSpan = 1;
    };

    explicit ActivationMap(QWidget* parent = nullptr);

    // The cells of channels (their numbers from 1, in the order of the values) and titles: where the montage
    // (channel number → cell) places them, its rows centred as the live graphs' are; a channel the montage leaves
    // out has no cell. Without a montage the first half goes down the left column, the rest down the right.
    static QList<Cell> arrange(
        const std::vector<int>& numbers, const QStringList& titles, const QMap<int, RawRecord::MontageCell>& montage);

    void setCells(const QList<Cell>& cells);
    const QList<Cell>& cells() const { return m_cells; }
    // One value per channel (µM; NaN: none), what they are (for the caption and tooltips).
    void setValues(const std::vector<double>& values, const QString& caption, const QStringList& tips);
    const std::vector<double>& values() const { return m_values; }
    // The end of the scale: the largest |value| rounded up to 1, 2 or 5 times a power of ten.
    double limit() const { return m_limit; }
    static double scaleLimit(const std::vector<double>& values);

    // The colour of value on the scale ±limit: neutral at 0, red towards +limit, blue towards −limit.
    static QColor color(double value, double limit, const QColor& neutral);
    // Black or white, whichever reads better on fill.
    static QColor textOn(const QColor& fill);
    // Where cell i is drawn within a widget of this size.
    QRectF cellRect(int i, const QSizeF& size) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshColors();
    QRectF gridArea(const QSizeF& size) const;

    QList<Cell> m_cells;
    std::vector<double> m_values;
    QStringList m_tips;
    QString m_caption;
    double m_limit = 1;
    int m_rows = 1;
    int m_columns = 1;
    QColor m_background;
    QColor m_text;
    QColor m_neutral;
    QColor m_missing;
};
