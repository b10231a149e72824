// A settings file edited by hand: both settings objects load it from disk as at start-up, then save it again.
#include "FuzzSupport.h"
#include "HalvexSettings.h"
#include "RecordsSettings.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    QTemporaryDir folder;
    fuzz::check(folder.isValid());
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString recordsPath = folder.filePath(QStringLiteral("RecSettings.xml"));
    const QString halvexPath = folder.filePath(QStringLiteral("Settings.xml"));
    fuzz::writeFile(recordsPath, bytes);
    fuzz::writeFile(halvexPath, bytes);

    RecordsSettings records(recordsPath);
    records.reload();
    records.save();
    HalvexSettings halvex(halvexPath);
    halvex.reload();
    halvex.save();
    return 0;
}
