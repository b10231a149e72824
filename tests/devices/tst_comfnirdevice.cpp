#include "ComFnirDevice.h"
#include "DataRow.h"
#include "EmulatorProcess.h"
#include "PortList.h"
#include "PseudoTerminal.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using Samples = QList<QList<double>>;

namespace {
Samples samplesOf(const QSignalSpy& spy)
{
    Samples samples;
    for (const auto& arguments : spy)
        samples.append(arguments.at(1).value<QList<double>>());
    return samples;
}

// A device on a pseudo-terminal, with spies on what it announces.
struct TerminalDevice
{
    PseudoTerminal terminal;
    ComFnirDevice device { terminal.slavePath() };
    QSignalSpy spy { &device, &ComFnirDevice::newData };
    QSignalSpy disconnected { &device, &ComFnirDevice::disconnected };
    bool open() { return terminal.isValid() && device.connectDevice(); }
};
} // namespace

class TestComFnirDevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QList<double>>(); }

    // Entries name their port; one that does not open says why.
    void entries()
    {
        QCOMPARE(portEntry(QStringLiteral("ttyUSB0"), QStringLiteral(" FT232R ")), QStringLiteral("ttyUSB0 [FT232R]"));
        QCOMPARE(portEntry(QStringLiteral("ttyS0"), QStringLiteral("  ")), QStringLiteral("ttyS0"));
        QCOMPARE(ComFnirDevice(QStringLiteral("COM3 [USB Serial Device]")).deviceName(), QStringLiteral("COM3"));
        QCOMPARE(ComFnirDevice(QStringLiteral("/dev/pts/5")).deviceName(), QStringLiteral("/dev/pts/5"));
        ComFnirDevice gone(QStringLiteral("/dev/halvex-no-such-port [gone]"));
        QSignalSpy disconnected(&gone, &ComFnirDevice::disconnected);
        QVERIFY(!gone.connectDevice());
        QCOMPARE(disconnected.size(), 1);
        QVERIFY(!gone.errorString().isEmpty());
    }

    void lines_data()
    {
        addColumns<QByteArrayList, Samples, int>({ "reads", "samples", "channelCount" });
        addRow("line ends, white space, empty field", QByteArrayList { "12 34.5 -7\r\n \t5 6e2 \r\n1  2\n" },
            Samples { { 12, 34.5, -7 }, { 5, 600 }, { 1, 0, 2 } }, 3);
        addRow("channel count follows the last line", QByteArrayList { "1 2 3 4 5 6\n7 8\n" },
            Samples { { 1, 2, 3, 4, 5, 6 }, { 7, 8 } }, 2);
        addRow("words, commas and non-finite numbers", QByteArrayList { "abc 1,5 7 nan -inf 1e999\n" },
            Samples { { 0, 0, 7, 0, 0, 0 } }, 6);
        addRow("line split across reads, partial last line waits", QByteArrayList { "10 2", "0 30\n3 4" },
            Samples { { 10, 20, 30 } }, 3);
        // An empty read reconnects, which starts from an empty line: the held-back "3 4" is gone.
        addRow(
            "reconnect", QByteArrayList { "1 2\n3 4", "", " 9 1\n7 8\n" }, Samples { { 1, 2 }, { 9, 1 }, { 7, 8 } }, 2);
    }
    void lines()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(Samples, samples);
        TerminalDevice t;
        QVERIFY(t.open());
        for (const QByteArray& read : std::as_const(reads)) {
            QTest::qWait(20); // each part alone reaches the reader
            QVERIFY(read.isEmpty() ? t.device.connectDevice() : t.terminal.write(read));
        }
        QTRY_COMPARE(samplesOf(t.spy), samples);
        QTEST(t.device.channelCount(), "channelCount");
        QCOMPARE(t.disconnected.size(), 0);
    }

    // A line without line feed past the buffer cap, and lines of more values than an instrument sends, are dropped
    // whole, each run with one debug line; a pulled cable disconnects.
    void overlongLinesAndPulledCable()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^LINE BUFFER FULL .* dropped \\d+")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^LINE TOO LONG .* 300 values$")));
        QVERIFY(t.terminal.write(QByteArray(ComFnirDevice::MaxLineBuffer * 3, 'x')));
        QByteArray full = "7";
        for (int i = 1; i < ComFnirDevice::MaxValues; ++i)
            full += " 7";
        QVERIFY(t.terminal.write("3 4\n5 6\n" + full + " 8\n" + full + " 8 9\n" + full + "\n1 2\n"));
        QTRY_COMPARE(t.spy.size(), 3);
        QCOMPARE(samplesOf(t.spy), (Samples { { 5, 6 }, QList<double>(ComFnirDevice::MaxValues, 7), { 1, 2 } }));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^PORT LOST ")));
        t.terminal.closeMaster();
        QTRY_COMPARE(t.disconnected.size(), 1);
    }

    // Garbled fields read as 0, split lines are joined, the line without its line feed is never a sample, and the
    // emulator's end closes the device.
    void emulator()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--linger-ms", "200", "-c", "2", "-v", "3", "-n", "15", "-f",
            "split,garble,crlf,no-final-lf" }));
        ComFnirDevice device(emulator.portPath() + QStringLiteral(" [emulator]"));
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QSignalSpy disconnected(&device, &ComFnirDevice::disconnected);
        QVERIFY(device.connectDevice());
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, 10000);
        const Samples received = samplesOf(spy);
        QCOMPARE(received.size(), 14);
        for (int i = 0; i < received.size(); ++i) {
            QCOMPARE(received.at(i).size(), 6);
            QCOMPARE(received.at(i).contains(0.0), i == 6 || i == 13);
        }
    }
};

QTEST_GUILESS_MAIN(TestComFnirDevice)
#include "tst_comfnirdevice.moc"
