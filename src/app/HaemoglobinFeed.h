#pragma once

#include "BeerLambert.h"
#include "LiveHaemoglobin.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class HalvexSettings;
class RecordsSettings;

// The live oxy- and deoxy-haemoglobin of the connected instrument: every raw sample's R and IR intensities go
// through LiveHaemoglobin with the optics of the data folder's RecordsSettings and the application's
// BaselineSeconds. A change of those settings starts the computation over, with a new baseline; "Reset baseline"
// starts a new baseline alone. It runs whether or not a view shows it.
class HaemoglobinFeed : public QObject
{
    Q_OBJECT
public:
    HaemoglobinFeed(HalvexSettings* settings, RecordsSettings* optics, QObject* parent = nullptr);

    // The law's settings as last read, and why they give no concentrations (empty when they do).
    const BeerLambert::Settings& lawSettings() const { return m_lawSettings; }
    const QString& problem() const { return m_problem; }

    // One raw sample of valuesPerChannel values per channel, R and IR being the last two of each channel's values.
    // Returns how many samples became known; readyTimestamp(), oxy() and deoxy() give them, oldest first.
    int push(qint64 timestamp, const QList<double>& data, int valuesPerChannel);
    qint64 readyTimestamp(int k) const;
    // µM, one value per instrument channel.
    const double* oxy(int k) const { return m_live->oxy(k); }
    const double* deoxy(int k) const { return m_live->deoxy(k); }

    // Whether the baseline is complete, and otherwise the seconds of it still to come after the last sample.
    bool known() const { return m_known; }
    double baselineSecondsLeft() const;

    // The next sample starts a new baseline; nothing else changes.
    void resetBaseline();
    // Reads the settings again and starts over, as for a new instrument.
    void restart();

signals:
    // After resetBaseline() and restart(): nothing is known until the new baseline is complete.
    void baselineRestarted();

private:
    HalvexSettings* m_settings = nullptr;
    RecordsSettings* m_optics = nullptr;
    BeerLambert::Settings m_lawSettings;
    QString m_problem;
    std::optional<BeerLambert> m_law;
    std::optional<LiveHaemoglobin> m_live;
    bool m_known = false;
    qint64 m_baselineStart = -1; // time stamp of the baseline's first sample; -1 before it
    qint64 m_lastTimestamp = 0;
    // Reused from sample to sample.
    std::vector<double> m_red;
    std::vector<double> m_infrared;
};
