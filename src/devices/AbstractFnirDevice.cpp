#include "AbstractFnirDevice.h"

AbstractFnirDevice::AbstractFnirDevice(QObject* parent)
    : QObject(parent)
{ }

AbstractFnirDevice::~AbstractFnirDevice() = default;

void AbstractFnirDevice::setChannelCount(int count)
{
    m_channelCount = count;
}

int AbstractFnirDevice::channelCount() const
{
    return m_channelCount;
}
