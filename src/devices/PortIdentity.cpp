#include "PortIdentity.h"

#include <algorithm>

namespace {

bool names(const PortListing& port, const QString& portName)
{
    return port.portName == portName || port.systemLocation == portName;
}

} // namespace

PortIdentity PortIdentity::find(const QString& portName, const QList<PortListing>& ports)
{
    PortIdentity identity;
    identity.m_portName = portName;
    for (const PortListing& port : ports) {
        if (names(port, portName)) {
            identity.m_serialNumber = port.serialNumber;
            identity.m_vendorId = port.vendorId;
            identity.m_productId = port.productId;
            break;
        }
    }
    return identity;
}

bool PortIdentity::matches(const PortListing& port) const
{
    return canFollow() && port.serialNumber == m_serialNumber && port.vendorId == m_vendorId
        && port.productId == m_productId;
}

QStringList PortIdentity::candidates(const QList<PortListing>& ports) const
{
    QStringList result;
    // A renamed adapter first: when the old name still lingers in the listing, it is the new one that works.
    for (const PortListing& port : ports) {
        if (!names(port, m_portName) && matches(port) && !result.contains(port.portName))
            result.append(port.portName);
    }
    // The remembered name is not ours when the listing shows another adapter there: unplugged, its node goes to
    // the next adapter plugged in.
    const bool taken = std::any_of(ports.cbegin(), ports.cend(),
        [this](const PortListing& port) { return names(port, m_portName) && canFollow() && !matches(port); });
    if (!m_portName.isEmpty() && !taken)
        result.append(m_portName);
    return result;
}
