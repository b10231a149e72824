#include "RecordsSettings.h"

RecordsSettings::RecordsSettings(const QString& file, QObject* parent)
    : NTSettings(file, true, parent, NTSettingsFormat::XML)
{ }
