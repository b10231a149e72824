#include "BidsSidecars.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QByteArray json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace

QString BidsSidecars::number(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 10) : QStringLiteral("n/a");
}

QByteArray BidsSidecars::nirsJson(const BidsName& name, const SnirfExporter::Summary& summary, const Facts& facts)
{
    QJsonObject object;
    object.insert(QStringLiteral("TaskName"), name.task);
    object.insert(QStringLiteral("SamplingFrequency"), summary.rate);
    object.insert(QStringLiteral("NIRSChannelCount"), qint64(summary.channels * 2));
    object.insert(QStringLiteral("NIRSSourceOptodeCount"), qint64(summary.channels));
    object.insert(QStringLiteral("NIRSDetectorOptodeCount"), qint64(summary.channels));
    object.insert(QStringLiteral("RecordingDuration"), double(summary.gridPoints) / summary.rate);
    object.insert(QStringLiteral("RecordingType"), QStringLiteral("continuous"));
    object.insert(QStringLiteral("PowerLineFrequency"), facts.powerLineFrequency);
    object.insert(QStringLiteral("SoftwareFilters"), QStringLiteral("n/a"));
    object.insert(QStringLiteral("Manufacturer"),
        facts.manufacturer.trimmed().isEmpty() ? QStringLiteral("n/a") : facts.manufacturer.trimmed());
    return json(object);
}

BidsTable BidsSidecars::channels(const SnirfExporter::Summary& summary,
    const std::vector<RecordAnalysis::Channel>& quality, const QString& qualityNote, double goodCoupling,
    const Facts& facts)
{
    BidsTable table({ QStringLiteral("name"), QStringLiteral("type"), QStringLiteral("source"),
        QStringLiteral("detector"), QStringLiteral("wavelength_nominal"), QStringLiteral("units"),
        QStringLiteral("sampling_frequency"), QStringLiteral("status"), QStringLiteral("status_description") });
    const size_t channels = size_t(summary.channels);
    for (size_t c = 0; c < channels && channels + c < summary.optodes.size(); ++c) {
        const QString& source = summary.optodes[c].label;
        const QString& detector = summary.optodes[channels + c].label;
        const RecordAnalysis::Channel* checked = c < quality.size() ? &quality[c] : nullptr;
        QString status = QStringLiteral("n/a");
        QString description = QStringLiteral("no scalp coupling index: %1").arg(qualityNote);
        if (checked && std::isfinite(checked->sci)) {
            status = checked->good ? QStringLiteral("good") : QStringLiteral("bad");
            description = QStringLiteral("scalp coupling index %1 %2 %3")
                              .arg(number(checked->sci),
                                  checked->good ? QStringLiteral("reaches") : QStringLiteral("lies below"),
                                  number(goodCoupling));
        }
        for (const double wavelength : { facts.redWavelength, facts.infraredWavelength }) {
            table.append({ { QStringLiteral("name"),
                               QStringLiteral("%1_%2 %3").arg(source, detector, number(wavelength)) },
                { QStringLiteral("type"), QStringLiteral("NIRSCWAMPLITUDE") }, { QStringLiteral("source"), source },
                { QStringLiteral("detector"), detector }, { QStringLiteral("wavelength_nominal"), number(wavelength) },
                { QStringLiteral("units"), QStringLiteral("n/a") },
                { QStringLiteral("sampling_frequency"), number(summary.rate) }, { QStringLiteral("status"), status },
                { QStringLiteral("status_description"), description } });
        }
    }
    return table;
}

BidsTable BidsSidecars::events(const SnirfExporter::Summary& summary)
{
    BidsTable table({ QStringLiteral("onset"), QStringLiteral("duration"), QStringLiteral("trial_type"),
        QStringLiteral("source") });
    for (const ExportStimuli::Event& event : summary.stimuli) {
        table.append(
            { { QStringLiteral("onset"), number(event.onset) }, { QStringLiteral("duration"), number(event.duration) },
                { QStringLiteral("trial_type"), event.name }, { QStringLiteral("source"), event.source } });
    }
    return table;
}

QByteArray BidsSidecars::eventsJson()
{
    QJsonObject levels;
    levels.insert(QStringLiteral("key"), QStringLiteral("A key pressed in Halvex during the recording (F1 to F9)"));
    levels.insert(QStringLiteral("http"), QStringLiteral("A mark another program sent to Halvex over HTTP"));
    levels.insert(QStringLiteral("halvex"),
        QStringLiteral("Halvex itself: the start and end of the record, and a gap in the samples (trial_type gap), "
                       "where the instrument sent no samples for its duration"));
    levels.insert(QStringLiteral("log"), QStringLiteral("A line of the stimulus program's log file beside the record"));
    QJsonObject object;
    object.insert(QStringLiteral("onset"),
        QJsonObject { { QStringLiteral("Description"),
                          QStringLiteral("Seconds from the first sample, on the time axis of the _nirs.snirf file") },
            { QStringLiteral("Units"), QStringLiteral("s") } });
    object.insert(QStringLiteral("duration"),
        QJsonObject { { QStringLiteral("Description"), QStringLiteral("Seconds; 0 for a mark") },
            { QStringLiteral("Units"), QStringLiteral("s") } });
    object.insert(QStringLiteral("trial_type"),
        QJsonObject { { QStringLiteral("Description"),
            QStringLiteral("The text of the mark, as the stimulus of that name in the _nirs.snirf file") } });
    object.insert(QStringLiteral("source"),
        QJsonObject { { QStringLiteral("Description"),
                          QStringLiteral("Where the mark came from: one of the levels, http:NAME for a program that "
                                         "named itself, or lsl:NAME for a marker of the LSL stream NAME") },
            { QStringLiteral("Levels"), levels } });
    return json(object);
}

BidsTable BidsSidecars::optodes(const SnirfExporter::Summary& summary)
{
    BidsTable table({ QStringLiteral("name"), QStringLiteral("type"), QStringLiteral("x"), QStringLiteral("y"),
        QStringLiteral("z") });
    const size_t sources = summary.optodes.size() / 2;
    for (size_t i = 0; i < summary.optodes.size(); ++i) {
        const ProbeLayout::Optode& optode = summary.optodes[i];
        table.append({ { QStringLiteral("name"), optode.label },
            { QStringLiteral("type"), i < sources ? QStringLiteral("source") : QStringLiteral("detector") },
            { QStringLiteral("x"), number(optode.x) }, { QStringLiteral("y"), number(optode.y) },
            { QStringLiteral("z"), number(optode.z) } });
    }
    return table;
}

QByteArray BidsSidecars::coordsystemJson()
{
    QJsonObject object;
    object.insert(QStringLiteral("NIRSCoordinateSystem"), QStringLiteral("Other"));
    object.insert(QStringLiteral("NIRSCoordinateUnits"), QStringLiteral("mm"));
    object.insert(QStringLiteral("NIRSCoordinateSystemDescription"),
        QStringLiteral("The montage grid of the instrument, not positions on the head: x runs along a montage row, y "
                       "down the rows (0 at the first row, negative below), z is 0. Each channel's source and "
                       "detector lie the source-detector distance apart on either side of the channel's cell."));
    return json(object);
}
