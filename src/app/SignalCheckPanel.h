#pragma once

#include "LiveQuality.h"

#include <QDockWidget>
#include <QList>

#include <vector>

class QGridLayout;
class QLabel;
class SignalCheckCell;

// The "Signal check" dock: every channel as a cell, laid out as the graphs are (the montage's rows, or two columns
// without one), coloured and labelled by its live quality. It can float beside the graphs or dock to the window.
class SignalCheckPanel : public QDockWidget
{
    Q_OBJECT
public:
    // Where a channel's cell goes in the grid.
    struct Place
    {
        int channel = 0; // the instrument's, from 0
        QString title;
        int row = 0;
        int column = 0;
        int columnSpan = 1;
    };

    explicit SignalCheckPanel(QWidget* parent = nullptr);

    // Replaces the cells; each starts as not known yet.
    void setPlaces(const QList<Place>& places);
    // qualities: one per instrument channel.
    void setQualities(const std::vector<LiveQuality::Quality>& qualities, double goodCoupling);
    // The line above the cells: what the check looks at, or why it knows nothing.
    void setStatus(const QString& text);
    QString status() const;
    const QList<SignalCheckCell*>& cells() const { return m_cells; }

private:
    QWidget* m_grid = nullptr;
    QGridLayout* m_layout = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_empty = nullptr;
    QList<SignalCheckCell*> m_cells;
};
