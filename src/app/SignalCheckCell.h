#pragma once

#include "LiveQuality.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

// One channel of the signal check: its name, coloured by how well its optodes see the scalp, with the scalp
// coupling index, the coefficient of variation and the flags written in it, and a tooltip that says what the numbers
// mean and what to do about them. The colours are the theme's "--n-quality-…" variables.
class SignalCheckCell : public QWidget
{
    Q_OBJECT
public:
    enum Level { Unknown, Good, Fair, Poor };
    // Fair from this index up to the good coupling.
    static constexpr double FairCoupling = 0.5;

    explicit SignalCheckCell(QWidget* parent = nullptr);

    static Level levelOf(const LiveQuality::Quality& quality, double goodCoupling);
    static QString levelColorName(Level level);

    // channel: the instrument's, counted from 1, as the record's columns name it.
    void setChannel(int channel, const QString& title);
    int channel() const { return m_channel; }
    QString title() const { return m_title; }
    void setQuality(const LiveQuality::Quality& quality, double goodCoupling);
    Level level() const { return m_level; }
    // What the cell writes, line by line, under its title.
    const QStringList& lines() const { return m_lines; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshColors();

    int m_channel = 0;
    QString m_title;
    Level m_level = Unknown;
    QStringList m_lines;
    QColor m_fill;
    QColor m_text;
};
