#pragma once

#include "BidsName.h"
#include "BidsTable.h"
#include "RecordAnalysis.h"
#include "SnirfExporter.h"

#include <QByteArray>

// The side files that describe one recording of a dataset, from what its SNIRF file holds (the exporter's summary)
// and from the record's signal check.
class BidsSidecars
{
public:
    // What the files say beyond the recording itself.
    struct Facts
    {
        double redWavelength = 760; // nm
        double infraredWavelength = 850;
        double powerLineFrequency = 50; // Hz
        QString manufacturer; // empty when unknown
    };

    // "_nirs.json": the task, rate, counts and duration of the recording.
    static QByteArray nirsJson(const BidsName& name, const SnirfExporter::Summary& summary, const Facts& facts);
    // "_channels.tsv": a row per channel and wavelength, in the file's order of measurements; bad where the scalp
    // coupling index lies below goodCoupling, with the index in the description.
    static BidsTable channels(const SnirfExporter::Summary& summary,
        const std::vector<RecordAnalysis::Channel>& quality, const QString& qualityNote, double goodCoupling,
        const Facts& facts);
    // "_events.tsv" and its description: every stimulus of the file, at its onset on the file's time axis.
    static BidsTable events(const SnirfExporter::Summary& summary);
    static QByteArray eventsJson();
    // "_optodes.tsv" and "_coordsystem.json": the probe's sources and detectors on the montage grid.
    static BidsTable optodes(const SnirfExporter::Summary& summary);
    static QByteArray coordsystemJson();

    // A number as the tables write it: up to 10 significant digits, no exponent for everyday values.
    static QString number(double value);
};
