// The marks beside a record: the stimulus program's ".log" and the ".events" this program writes. The input is
// split into the two files.
#include "FuzzSupport.h"
#include "RecordEvents.h"
#include "RecordLoader.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QList<QByteArray> parts = fuzz::splitInput(data, size, 2);
    QTemporaryDir folder;
    fuzz::check(folder.isValid());
    const QString csvPath = folder.filePath(QStringLiteral("record.csv"));
    fuzz::writeFile(RecordLoader::logPath(csvPath), parts[0]);
    fuzz::writeFile(RecordEvents::eventsPath(csvPath), parts[1]);

    RecordLoader::readMarks(RecordLoader::logPath(csvPath));
    const RecordEvents::Contents contents = RecordEvents::read(RecordEvents::eventsPath(csvPath));
    for (qsizetype i = 1; i < contents.events.size(); ++i)
        fuzz::check(contents.events[i - 1].time <= contents.events[i].time);
    // What is read is written again by the same program (a record's events are copied into exports).
    for (const RecordEvents::Event& event : contents.events)
        fuzz::check(RecordEvents::formatLine(event.time, event.source, event.text).endsWith("\r\n"));
    return 0;
}
