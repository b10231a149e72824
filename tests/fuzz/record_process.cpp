// A record made from the input, taken through what the tools do with it: the SNIRF export (written into a scratch
// folder that is removed), halvex-analyze's haemoglobin and signal quality, and the averages around its marks with
// the tables it prints of them. The input is split into the ".raw", the ".ini", the ".events" and the ".log" of the
// record.
#include "AverageTable.h"
#include "FuzzSupport.h"
#include "RawRecord.h"
#include "RecordAnalysis.h"
#include "RecordAverage.h"
#include "RecordEvents.h"
#include "RecordLoader.h"
#include "RecordsSettings.h"
#include "SnirfExporter.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 4);
    QTemporaryDir folder;
    fuzz::check(folder.isValid());
    const QString csvPath = folder.filePath(QStringLiteral("record.csv"));
    fuzz::writeFile(csvPath, QByteArray());
    fuzz::writeFile(RawRecord::rawPath(csvPath), parts[0]);
    fuzz::writeFile(RawRecord::iniPath(csvPath), parts[1]);
    fuzz::writeFile(RecordEvents::eventsPath(csvPath), parts[2]);
    fuzz::writeFile(RecordLoader::logPath(csvPath), parts[3]);

    SnirfExporter exporter;
    if (!exporter.exportRecord(csvPath, {}, SnirfExporter::Options()))
        fuzz::check(!exporter.errorString().isEmpty());

    // The settings' defaults, as on a first start; the settings file lives in the scratch folder.
    const RecordsSettings settings(folder.filePath(QStringLiteral("RecSettings.xml")));
    RecordAnalysis::Options analysisOptions = RecordAnalysis::options(settings);
    analysisOptions.quality = true;
    RecordAnalysis analysis;
    if (!analysis.analyse(csvPath, analysisOptions))
        fuzz::check(!analysis.errorString().isEmpty());

    const QStringList records { csvPath };
    const QMap<QString, int> marks = RecordAverage::countMarks(records);
    if (!marks.isEmpty()) {
        RecordAverage average;
        const RecordAverage::Options options = RecordAverage::options(settings);
        if (average.average(records, marks.keys().mid(0, 3), options)) {
            std::vector<int> numbers;
            for (const RecordAverage::Channel& channel : average.channels())
                numbers.push_back(channel.number);
            AverageTable::curves(average.responses(), numbers);
            AverageTable::map(average.responses(), average.channels(), options.responseFrom, options.responseTo);
        }
    }
    return 0;
}
