#pragma once

#include "AbstractFnirDevice.h"

// An instrument that sends nothing by itself: the test or benchmark hands the window its samples.
class QuietDevice : public AbstractFnirDevice
{
public:
    using AbstractFnirDevice::AbstractFnirDevice;
    QString deviceName() const override { return QStringLiteral("quiet"); }
    bool connectDevice() override { return true; }
    bool disconnectDevice() override { return true; }
};
