#pragma once

#include "RawRecord.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

// Where each channel of a record sits on the probe of its SNIRF file, and its name there. Apart from the export,
// so that what only names the channels (halvex-analyze) does not link the HDF5 library and its dependencies, which
// take longer to load than the rest of the program.
class ProbeLayout
{
public:
    struct Position
    {
        double x = 0;
        double y = 0;
        QString label;
    };

    // A source or detector of the probe, in mm.
    struct Optode
    {
        QString label;
        double x = 0;
        double y = 0;
        double z = 0;
    };

    // Each channel at its montage cell, spacing apart; channels the montage leaves out, and every channel without a
    // montage, in one row below the montage rows. Every label is unique: the montage's name, or the channel's
    // number where it has none, and "-2", "-3"... after a name used before.
    static std::vector<Position> positions(const std::vector<RawRecord::Channel>& channels,
        const QMap<int, RawRecord::MontageCell>& montage, double spacing);
    // The labels of positions(), in the order of the channels.
    static QStringList labels(
        const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage);
    // Each channel's source ("S-" and its label) and detector ("D-" and its label), distance apart on either side of
    // its place, so that readers compute the concentrations with that distance (MNE's beer_lambert_law takes it from
    // the positions). Sources first, then detectors, each in the order of the positions.
    static std::vector<Optode> optodes(const std::vector<Position>& positions, double distance);
};
