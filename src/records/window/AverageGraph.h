#pragma once

#include "EpochAverage.h"

#include <QColor>
#include <QPainterPath>
#include <QWidget>

#include <memory>
#include <vector>

// One channel's averages around the marks: per condition its HbO solid and its HbR dashed in the condition's colour,
// each with its standard error as a see-through band; time 0 and the baseline marked; a legend with n (and the marks
// left out). A condition without epochs gets its reason in the legend instead of a curve, and the whole graph a
// message when no condition has any.
class AverageGraph : public QWidget
{
    Q_OBJECT
public:
    // What the graph shows: the responses (their series HbO ch1, HbR ch1, HbO ch2, …), the pair of this channel.
    struct Curves
    {
        std::shared_ptr<const std::vector<EpochAverage::Response>> responses;
        std::vector<QColor> colors; // one per response
        std::size_t channel = 0; // from 0: the series 2·channel (HbO) and 2·channel + 1 (HbR)
        QString title;
        double baselineFrom = 0; // s
        double baselineTo = 0;
    };

    // Where the curves go: time (s) to x, µM to y, over the plot's rectangle.
    struct Frame
    {
        QRectF plot;
        double timeFrom = 0;
        double timeTo = 1;
        double low = -1;
        double high = 1;

        QPointF map(double seconds, double value) const;
    };

    explicit AverageGraph(QWidget* parent = nullptr);

    void setCurves(Curves curves);
    const Curves& curves() const { return m_curves; }
    // The vertical range in µM, shared by the graphs of a view; without one the graph fits its own curves.
    void setRange(double low, double high);
    // The smallest and largest of mean ± standard error over the curves shown; {0, 0} without any.
    std::pair<double, double> extent() const;
    // The conditions without a curve, with their reason.
    QStringList messages() const;

    // The curve of one series of a response (its mean, or mean ± standard error when sign is ±1), broken at NaN.
    static QPainterPath curvePath(
        const EpochAverage::Response& response, std::size_t series, const Frame& frame, int sign = 0);
    // The band between mean − standard error and mean + standard error; empty without a standard error.
    static QPainterPath bandPath(const EpochAverage::Response& response, std::size_t series, const Frame& frame);
    // The colour of the condition at this place in the list of conditions: told apart on a light and a dark
    // background alike.
    static QColor conditionColor(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshColors();
    void paintAxes(QPainter& painter, const Frame& frame) const;
    void paintLegend(QPainter& painter, const Frame& frame) const;

    Curves m_curves;
    bool m_fixedRange = false;
    double m_low = -1;
    double m_high = 1;
    QColor m_background;
    QColor m_text;
    QColor m_grid;
    QColor m_mark;
    QColor m_baseline;
};
