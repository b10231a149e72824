#pragma once

#include <QString>
#include <QStringList>

// One device-list entry per serial port the system reports, in its order: the port name, a space and the
// description in brackets, e.g. "ttyUSB0 [FT232R USB UART]" or "COM3 [USB Serial Device]".
QStringList availablePortEntries();

// The entry text for one port; the port name comes first so that the serial instrument can take it back. A port
// without description (the motherboard's ttyS0 …) is listed by its name alone.
QString portEntry(const QString& portName, const QString& description);

// The port name of a device-list entry: its first field when split at single spaces. A typed full path such as
// "/dev/pts/5" is its own port name.
QString portNameFromEntry(const QString& entry);
