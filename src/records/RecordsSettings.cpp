#include "RecordsSettings.h"

#include <QFileInfo>
#include <QStandardPaths>

RecordsSettings::RecordsSettings(const QString& file, QObject* parent)
    : NTSettings(file, true, parent, NTSettingsFormat::XML)
{ }

void RecordsSettings::readDataFolderFile()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Halvex/RecSettings.xml");
    if (!QFileInfo(path).isFile())
        return;
    setFilepath(path);
    reload();
}
