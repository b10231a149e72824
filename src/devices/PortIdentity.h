#pragma once

#include "PortList.h"

// The instrument behind a serial port, remembered so that it can be found again after it was unplugged: a USB
// adapter that comes back may get another name (ttyUSB0 becomes ttyUSB1 while the old node lingers), but it reports
// the same serial number, vendor and product. A port the listing does not hold (a typed path such as /dev/rfcomm0
// or a pseudo-terminal) is known by its path alone.
class PortIdentity
{
public:
    PortIdentity() = default;
    // portName as the serial instrument was given it: a port name (ttyUSB0) or a path (/dev/ttyUSB0).
    static PortIdentity find(const QString& portName, const QList<PortListing>& ports);

    QString serialNumber() const { return m_serialNumber; }
    // Only a serial number tells one adapter from another of the same make.
    bool canFollow() const { return !m_serialNumber.isEmpty(); }

    // The names to try, in order: the ports of the listing that report this instrument under another name, then
    // the remembered name itself unless the listing shows another adapter under it.
    QStringList candidates(const QList<PortListing>& ports) const;

private:
    bool matches(const PortListing& port) const;

    QString m_portName;
    QString m_serialNumber;
    int m_vendorId = -1;
    int m_productId = -1;
};
