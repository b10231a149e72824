#include "PortList.h"

#include <QSerialPortInfo>

QList<PortListing> systemPorts()
{
    QList<PortListing> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    ports.reserve(infos.size());
    for (const auto& info : infos) {
        ports.append({ info.portName(), info.systemLocation(), info.description(), info.serialNumber(),
            info.hasVendorIdentifier() ? int(info.vendorIdentifier()) : -1,
            info.hasProductIdentifier() ? int(info.productIdentifier()) : -1 });
    }
    return ports;
}

QStringList portEntries(const QList<PortListing>& ports)
{
    QStringList entries;
    entries.reserve(ports.size());
    for (const auto& port : ports)
        entries.append(portEntry(port.portName, port.description));
    return entries;
}

QStringList availablePortEntries()
{
    return portEntries(systemPorts());
}

QString portEntry(const QString& portName, const QString& description)
{
    const QString text = description.trimmed();
    return text.isEmpty() ? portName : portName + QStringLiteral(" [") + text + QLatin1Char(']');
}

QString portNameFromEntry(const QString& entry)
{
    const qsizetype space = entry.indexOf(QLatin1Char(' '));
    return space < 0 ? entry : entry.left(space);
}
