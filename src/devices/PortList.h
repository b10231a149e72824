#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One serial port as the system lists it, with what tells the instrument behind it apart from others when its name
// changes.
struct PortListing
{
    QString portName; // e.g. ttyUSB0 or COM3
    QString systemLocation; // e.g. /dev/ttyUSB0
    QString description;
    QString serialNumber; // empty when the adapter reports none
    int vendorId = -1; // -1 when unknown
    int productId = -1;
};

// Lists the ports; the system's by default, another listing where a test or a caller injects one.
using PortLister = std::function<QList<PortListing>()>;

// The ports QSerialPortInfo reports, in its order.
QList<PortListing> systemPorts();

// One device-list entry per port of the listing, in its order: the port name, a space and the description in
// brackets, e.g. "ttyUSB0 [FT232R USB UART]" or "COM3 [USB Serial Device]".
QStringList portEntries(const QList<PortListing>& ports);
QStringList availablePortEntries();

// The entry text for one port; the port name comes first so that the serial instrument can take it back. A port
// without description (the motherboard's ttyS0 …) is listed by its name alone.
QString portEntry(const QString& portName, const QString& description);

// The port name of a device-list entry: its first field when split at single spaces. A typed full path such as
// "/dev/pts/5" is its own port name.
QString portNameFromEntry(const QString& entry);
