#include "DataRow.h"
#include "LineStamper.h"
#include "PortIdentity.h"

#include <QTest>

using Listing = QList<PortListing>;
using Stamps = QList<qint64>;

namespace {
PortListing usb(const QString& name, const QString& serial, int vendor = 0x0403, int product = 0x6001)
{
    return { name, QStringLiteral("/dev/") + name, QStringLiteral("FT232R USB UART"), serial, vendor, product };
}
} // namespace

// What the serial instrument relies on when a port misbehaves: the times of lines that arrive together, and the
// port to try when the adapter comes back.
class TestSerialHelpers : public QObject
{
    Q_OBJECT
private slots:
    // reads: "time:lines" for each read, "|" where the port was opened again.
    void stamps_data()
    {
        addColumns<QString, Stamps>({ "reads", "stamps" });
        addRow("one line per read keeps the read's time", "1000:1 1020:1 1040:1", Stamps { 1000, 1020, 1040 });
        addRow("paired arrivals at 50 Hz", "1000:1 1040:2 1080:2 1120:2",
            Stamps { 1000, 1020, 1040, 1060, 1080, 1100, 1120 });
        addRow("a late read of four lines at 50 Hz", "1000:1 1020:1 1040:1 1135:4",
            Stamps { 1000, 1020, 1040, 1075, 1095, 1115, 1135 });
        addRow("after a silence the lines stay out of it", "1000:1 1020:1 1040:1 4040:2",
            Stamps { 1000, 1020, 1040, 4020, 4040 });
        addRow("the first read of a port has nothing to spread over", "1000:3", Stamps { 1000, 1000, 1000 });
        addRow("after a reopen, the interval measured before", "1000:1 1020:1 1040:1 | 5000:3",
            Stamps { 1000, 1020, 1040, 4960, 4980, 5000 });
    }
    void stamps()
    {
        QFETCH(QString, reads);
        LineStamper stamper;
        Stamps stamps;
        for (const QString& read : reads.split(QLatin1Char(' '))) {
            if (read == QLatin1String("|")) {
                stamper.restart();
                continue;
            }
            const LineStamper::Spread spread = stamper.take(
                read.section(QLatin1Char(':'), 0, 0).toLongLong(), read.section(QLatin1Char(':'), 1).toInt());
            for (int i = 0; i < spread.lines; ++i)
                stamps << spread.at(i);
        }
        QTEST(stamps, "stamps");
    }

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

QTEST_GUILESS_MAIN(TestSerialHelpers)
#include "tst_serialhelpers.moc"
