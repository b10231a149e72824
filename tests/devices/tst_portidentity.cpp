#include "DataRow.h"
#include "PortIdentity.h"

#include <QTest>

using Listing = QList<PortListing>;

namespace {
PortListing usb(const QString& name, const QString& serial, int vendor = 0x0403, int product = 0x6001)
{
    return { name, QStringLiteral("/dev/") + name, QStringLiteral("FT232R USB UART"), serial, vendor, product };
}
} // namespace

class TestPortIdentity : public QObject
{
    Q_OBJECT
private slots:
    // The listing when the instrument was connected, the listing while it is awaited, the names to try.
    void candidates_data()
    {
        addColumns<QString, Listing, Listing, QStringList>({ "portName", "before", "after", "candidates" });
        const Listing two { usb("ttyUSB0", "A1"), usb("ttyUSB1", "B2") };
        addRow("back under its own name", "ttyUSB0", two, two, QStringList { "ttyUSB0" });
        addRow("renamed while the old node lingers", "ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB0", "A1"), usb("ttyUSB1", "A1") }, QStringList { "ttyUSB1", "ttyUSB0" });
        addRow("renamed, connected by path", "/dev/ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB2", "A1") }, QStringList { "ttyUSB2", "/dev/ttyUSB0" });
        addRow("another adapter's serial number", "ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB1", "Z9") }, QStringList { "ttyUSB0" });
        addRow("same serial number, other make", "ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB1", "A1", 0x10c4) }, QStringList { "ttyUSB0" });
        addRow("no serial number: never taken for another", "ttyUSB0", Listing { usb("ttyUSB0", QString()) },
            Listing { usb("ttyUSB1", QString()) }, QStringList { "ttyUSB0" });
        // The node of an unplugged adapter goes to the next one plugged in: its serial number says it is not ours.
        addRow("another adapter under the remembered name", "ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB0", "B2") }, QStringList {});
        addRow("renamed, another adapter under its old name", "/dev/ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB0", "B2"), usb("ttyUSB1", "A1") }, QStringList { "ttyUSB1" });
        addRow("another make under the remembered name", "ttyUSB0", Listing { usb("ttyUSB0", "A1") },
            Listing { usb("ttyUSB0", "A1", 0x10c4) }, QStringList {});
        addRow("typed path, not listed", "/dev/rfcomm0", two, Listing { usb("ttyUSB3", "A1") },
            QStringList { "/dev/rfcomm0" });
    }
    void candidates()
    {
        QFETCH(QString, portName);
        QFETCH(Listing, before);
        QFETCH(Listing, after);
        QTEST(PortIdentity::find(portName, before).candidates(after), "candidates");
    }
};

QTEST_GUILESS_MAIN(TestPortIdentity)
#include "tst_portidentity.moc"
