// A record folder as the records window and the command-line tools read it: the input is split into the ".csv",
// the ".raw" and the ".ini" of one record.
#include "FuzzSupport.h"
#include "RawRecord.h"
#include "RecordGrid.h"
#include "RecordLoader.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 3);
    QTemporaryDir folder;
    fuzz::check(folder.isValid());
    const QString csvPath = folder.filePath(QStringLiteral("record.csv"));
    fuzz::writeFile(csvPath, parts[0]);
    fuzz::writeFile(RawRecord::rawPath(csvPath), parts[1]);
    fuzz::writeFile(RawRecord::iniPath(csvPath), parts[2]);

    // The records window: the two channels it compares, with and without the high-pass filter.
    RecordLoader loader;
    if (loader.open(csvPath) && loader.hasLines()) {
        RecordLoader::Comparison comparison;
        const int last = loader.channelCount() * 3 - 1;
        for (const double hpf : { 0.0, 0.1 }) {
            if (loader.compare(0, 1, hpf, comparison) == RecordLoader::Status::Loaded)
                fuzz::check(comparison.left.size() == comparison.right.size());
            loader.compare(last, 0, hpf, comparison);
        }
    }
    loader.close();

    // The haemoglobin view and the exports: the ".raw" on a uniform grid, and the montage that names its channels.
    RecordGrid grid;
    grid.load(csvPath, 10);
    RawRecord::readMontage(RawRecord::iniPath(csvPath));
    return 0;
}
