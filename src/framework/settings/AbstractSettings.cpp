#include "AbstractSettings.h"

AbstractSettings::AbstractSettings(QObject* parent)
    : QObject(parent)
{ }
