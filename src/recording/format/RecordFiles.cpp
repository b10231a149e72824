#include "RecordFiles.h"

#include <QFileInfo>

namespace {

const QString CsvSuffix = QStringLiteral(".csv");
const QString RawSuffix = QStringLiteral(".raw");

QString suffixOf(const QString& path)
{
    if (path.endsWith(CsvSuffix))
        return CsvSuffix;
    if (path.endsWith(RawSuffix))
        return RawSuffix;
    return {};
}

} // namespace

QString RecordFiles::companion(const QString& recordPath, const QString& extension)
{
    const QString suffix = suffixOf(recordPath);
    return recordPath.left(recordPath.size() - suffix.size()) + extension;
}

QString RecordFiles::existing(const QString& recordPath, const QString& extension)
{
    const QString name = companion(recordPath, extension);
    const QString suffix = suffixOf(recordPath);
    if (suffix.isEmpty() || QFileInfo::exists(name))
        return name;
    const qsizetype nameStart = recordPath.lastIndexOf(QLatin1Char('/')) + 1;
    QString fileName = recordPath.mid(nameStart);
    const QString earlier = recordPath.left(nameStart) + fileName.replace(suffix, extension);
    return QFileInfo::exists(earlier) ? earlier : name;
}
