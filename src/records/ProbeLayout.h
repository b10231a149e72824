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

    // Each channel at its montage cell, spacing apart; channels the montage leaves out, and every channel without a
    // montage, in one row below the montage rows. Every label is unique: the montage's name, or the channel's
    // number where it has none, and "-2", "-3"... after a name used before.
    static std::vector<Position> positions(const std::vector<RawRecord::Channel>& channels,
        const QMap<int, RawRecord::MontageCell>& montage, double spacing);
    // The labels of positions(), in the order of the channels.
    static QStringList labels(
        const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage);
};
