#include "PortList.h"

#include <QSerialPortInfo>

QStringList availablePortEntries()
{
    QStringList entries;
    const auto ports = QSerialPortInfo::availablePorts();
    entries.reserve(ports.size());
    for (const auto& port : ports)
        entries.append(portEntry(port.portName(), port.description()));
    return entries;
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
