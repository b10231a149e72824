#pragma once

#include "PolylineReducer.h"
#include "StripChartGeometry.h"
#include "TimedValues.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPen>
#include <QStaticText>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <limits>
#include <vector>

class QLabel;
class QTimer;
class QVBoxLayout;

// The strip chart: timed records of a few values each as curves against a time axis of whole seconds. Live mode
// puts the current time at the right edge and repaints on a timer; static mode shows the window that starts
// timeOffset seconds after the first record and repaints when its owner changes something.
//
// Live mode keeps its picture in a frame image that moves with the time axis in whole pixels: the right edge is
// the last whole pixel the clock has reached, records are drawn once that pixel has passed them, and a timer tick
// repaints only when that pixel, the data drawn or a setting has changed. A new pixel offset moves the frame and
// draws the few columns that came in at the right; everything that does not move with the time axis (value grid
// labels, value labels, title) and the events are drawn over the frame at every paint. Every change of what the
// frame shows must therefore go through invalidate(), not a bare update().
class DataGraphic : public QWidget
{
    Q_OBJECT
public:
    using Clock = qint64 (*)();

    // Live mode keeps only what the widest window the settings allow (120 s) can show, plus a margin; without
    // this a session of hours would grow without bound.
    static constexpr qint64 LiveHistoryMilliseconds = (120 + 10) * 1000;

    explicit DataGraphic(QWidget* parent = nullptr);
    ~DataGraphic() override;

    void addData(qint64 timestamp, const QList<double>& values, bool repaint = true, double baseline = 0);
    void addMark(qint64 timestamp, const QString& text);
    // An event on the records' own clock: drawn with the curves (the time shift moves it with them) in a colour of
    // its own, and several events at one time all stay. Live mode drops the ones older than its history.
    void addEvent(qint64 timestamp, const QString& text);
    int eventCount() const { return int(m_events.size()); }
    void clear();
    void setLive(bool live, double elapsedSeconds = 0);
    void setViewSeconds(int seconds);
    void setTimeOffset(double seconds);
    void setTimeShift(double seconds);
    void setFixedRange(float a, float b);
    void setCommonSpan(float span);
    void setPens(const QList<QPen>& pens, bool bars);
    void setColor(const QColor& color);
    void setTitle(const QString& text);
    void setName(const QString& name) { m_name = name; }
    QString name() const { return m_name; }
    void setShowValueLabels(bool show);
    void setShowTimeLabels(bool show);
    // The grid labels show value / divisor: for values fed in a finer unit than the one shown (nM shown as µM), so
    // that the autoscale's rounding and the grid steps, made for whole units, suit small quantities too.
    void setGridLabelDivisor(int divisor);

    double range() const { return m_range; }
    double duration() const;

    // The value at the bottom and at the top edge in the last paint.
    float minimum() const { return m_minimum; }
    float maximum() const { return m_maximum; }
    int recordCount() const { return int(m_records.size()); }
    QList<double> lastValues() const { return m_records.isEmpty() ? QList<double>() : m_records.constLast().values(); }
    const QList<QPen>& pens() const { return m_pens; }
    // The time source of live mode; tests and benchmarks substitute a simulated clock.
    void setClock(Clock clock);
    // For benchmarks only: live graphs repaint the whole picture on every tick instead of using the frame image,
    // so that both can be measured in one run.
    static void setFullLiveRepaint(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct ColumnExtremes
    {
        double minimum = 0;
        double maximum = 0;
        bool any = false;
    };
    struct ValueGrid
    {
        double first = 0;
        int step = 0;
        int count = 0;
    };

    static QStaticText plainStaticText(const QString& text);
    void invalidate();
    bool refreshGeometry();
    void refreshTheme();
    void dropExpiredRecords(qint64 newest);
    void updateGridLabels(double first, int step, int count);
    ValueGrid valueGrid(double span) const;
    void updateValueTexts();
    void drawValueLabels(QPainter& painter);
    void drawGridLabels(QPainter& painter, const ValueGrid& grid);
    void drawTitle(QPainter& painter);
    void drawBars(QPainter& painter);
    void drawMarks(QPainter& painter, const std::function<double(qint64)>& markX);
    void drawEvents(QPainter& painter, const std::function<double(qint64)>& eventX);
    void drawTimeTexts(QPainter& painter, const QPen& pen, bool fromTop);

    // Whole picture (DataGraphicStatic.cpp).
    void paintDirect(QPainter& painter);
    void updateTimeLabels(double base);
    void drawCurves(QPainter& painter);

    // Live frame (DataGraphicLive.cpp).
    bool usesLiveFrame() const;
    void paintLive(QPainter& painter);
    void onRepaintTick();
    bool liveFrameDue() const;
    double liveX(qint64 time) const;
    qint64 recordColumn(const TimedValues& record) const;
    qint64 pixelEnd() const;
    int firstRecordFromColumn(qint64 column) const;
    void noteLiveRecord(const TimedValues& record);
    void foldColumns(qint64 end, int width);
    QPair<qint64, int> visibleMarks(qint64 end, int width) const;
    int liveTimeLabelStep(qint64 left, double& widest);
    const QStaticText& liveTimeLabel(qint64 second);
    bool timeLabelArrives(qint64 end, qint64 step);
    int liveLabelRight() const;
    bool labelsSecond(qint64 second) const;
    void refreshLiveFrame();
    void scrollFrame(int pixels);
    void paintLiveStrip(qint64 fromColumn, int lastIndex, bool part);
    void drawLiveLayer(QPainter& painter, QImage& target, qint64 left, int x0, qint64 fromColumn, int lastIndex);
    void drawLiveTimeGrid(QPainter& painter, qint64 left, double x0);
    void drawLiveCurves(QPainter& painter, QImage& target, qint64 left, qint64 fromColumn, int lastIndex);
    void liveBase(QImage& target, qint64 left, qint64 fromColumn, qint64 baseRecord);
    static void copyColumns(const QImage& from, int fromX, QImage& to, int toX, int count);
    void drawOverlay(QPainter& painter);

    bool m_showTimeLabels = true;
    bool m_showValueLabels = true;
    int m_viewSeconds = 10;
    bool m_live = false;
    qint64 m_liveStart = 0;
    bool m_geometryDirty = true;
    float m_pixelsPerSecond = 1.0f;
    float m_minimum = -100.0f;
    float m_maximum = 100.0f;
    float m_range = 100.0f;
    float m_commonSpan = 100.0f;
    bool m_autoscale = true;
    float m_fixedMinimum = -100.0f;
    float m_fixedMaximum = 100.0f;
    int m_textHeight = 20;
    int m_firstVisible = 0;
    int m_lastIndex = 0;
    double m_timeOffset = 0;
    double m_timeShift = 0;
    QList<TimedValues> m_records;
    QTimer* m_repaintTimer = nullptr;
    QMap<qint64, QString> m_marks;
    // Text widths of all marks (measured again after a change) and, per paint, the places, widths and texts of the
    // visible marks or events.
    QList<double> m_markWidths;
    QList<double> m_markXs;
    QList<double> m_visibleMarkWidths;
    QList<const QString*> m_visibleMarkTexts;
    QList<StripChartGeometry::MarkLabel> m_markLabels;
    QPen m_markPen;
    struct Event
    {
        qint64 time;
        QString text;
        double width = -1; // of the text, measured when first shown
    };
    QList<Event> m_events; // ascending by time
    QColor m_eventColor;
    QPen m_gridPen;
    QPen m_textPen;
    QPen m_subGridPen;
    QColor m_background;
    QPen m_titlePen;
    QString m_title;
    QString m_name;
    QList<QPen> m_pens { QPen(QColor(Qt::red)), QPen(QColor(Qt::green)), QPen(QColor(Qt::blue)) };
    bool m_bars = false;
    bool m_richTitle = false;
    QLabel* m_titleLabel = nullptr;
    QVBoxLayout* m_titleLayout = nullptr;

    Clock m_clock;
    StripChartGeometry m_geometry;
    // Reused from paint to paint so that a frame allocates nothing once the buffers have grown.
    std::vector<PolylineReducer> m_reducers;
    QList<QRectF> m_barRects;
    // Labels keep their text layout between paints; only a new second or a new grid lays them out again.
    QList<QStaticText> m_timeLabels;
    double m_timeLabelBase = qQNaN();
    double m_timeLabelWidth = 0;
    QList<QStaticText> m_gridLabels;
    double m_gridLabelFirst = qQNaN();
    int m_gridLabelStep = 0;
    int m_gridLabelDivisor = 1;
    QStaticText m_titleText;
    QString m_maximumText;
    QString m_minimumText;
    int m_minimumTextWidth = 0;
    float m_maximumTextValue = qQNaN();
    float m_minimumTextValue = qQNaN();

    // Live frame: the picture up to absolute pixel column m_framePend (exclusive; column 0 is liveStart). The frame
    // is a ring: its first column is at m_frameOrigin (device pixels), so that moving it moves no pixel.
    QImage m_frame;
    int m_frameOrigin = 0;
    QImage m_scratch;
    bool m_frameValid = false;
    qint64 m_framePend = 0;
    qint64 m_frameLastSerial = -1; // serial of the newest record drawn (see m_droppedRecords)
    qint64 m_dirtyFrom = std::numeric_limits<qint64>::max(); // first column that changed under the frame since it was
                                                             // drawn; NoColumn when none
    float m_frameMinimum = 0;
    float m_frameSpan = 0;
    ValueGrid m_frameGrid;
    QPair<qint64, int> m_frameMarks; // first visible mark and how many are visible
    int m_frameLabelStep = 1;
    // Per pixel column, the extremes of the records in it, for the vertical range of a frame without a walk over
    // the whole window.
    std::deque<ColumnExtremes> m_columns;
    qint64 m_columnBase = 0;
    bool m_columnsValid = false;
    qint64 m_droppedRecords = 0; // records removed from the front since the last clear: index = serial − this
    qint64 m_nextFoldSerial = 0;
    QHash<qint64, QStaticText> m_liveTimeLabels; // by the second of the epoch the label belongs to
    std::vector<QList<QPointF>> m_livePoints;
    std::vector<QList<int>> m_livePieces;
    std::vector<int> m_livePieceRecords; // per piece, the index of its first record
    // The columns where the growing piece of the first curve meets the pieces before it, drawn up to those pieces.
    // The first curve has the widest pen: while only the growing piece gains points, a frame starts its strip from
    // this copy instead of stroking the finished pieces again.
    QImage m_base;
    qint64 m_baseColumn = 0; // absolute column of its first column
    qint64 m_baseSerial = -1; // serial of the record the growing piece starts at; -1 when there is no copy
    bool m_reuseBase = false; // the strip being drawn starts from the copy
};
