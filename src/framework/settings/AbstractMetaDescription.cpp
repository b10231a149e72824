#include "AbstractMetaDescription.h"

AbstractMetaDescription::AbstractMetaDescription(QObject* parent)
    : QObject(parent)
{ }

QString AbstractMetaDescription::extra(const QString& keyWord) const
{
    return extraInfo ? extraInfo->value(keyWord) : QString();
}
