#include "BeerLambert.h"
#include "ComFnirDevice.h"
#include "DataRow.h"
#include "EmulatorProcess.h"
#include "OpticalDensity.h"
#include "PortList.h"
#include "PseudoTerminal.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

    // Every open starts inside a line: the text up to the first line feed is the tail of a line, never a sample.
    void lines_data()
    {
        addColumns<QByteArrayList, Samples, int>({ "reads", "samples", "channelCount" });
        addRow("line ends, white space, empty field", QByteArrayList { "05 2611\n12 34.5 -7\r\n \t5 6e2 \r\n1  2\n" },
            Samples { { 12, 34.5, -7 }, { 5, 600 }, { 1, 0, 2 } }, 3);
        addRow("channel count follows the last line", QByteArrayList { "\n1 2 3 4 5 6\n7 8\n" },
            Samples { { 1, 2, 3, 4, 5, 6 }, { 7, 8 } }, 2);
        addRow("words, commas and non-finite numbers", QByteArrayList { "3\nabc 1,5 7 nan -inf 1e999\n" },
            Samples { { 0, 0, 7, 0, 0, 0 } }, 6);
        addRow("the first tail spans reads", QByteArrayList { "12 3", "4 5\n10 2", "0 30\n3 4" },
            Samples { { 10, 20, 30 } }, 3);
        // An empty read reconnects, which starts inside a line again: the held-back "3 4" and the tail " 9 1" go.
        addRow("reconnect", QByteArrayList { "6\n1 2\n3 4", "", " 9 1\n7 8\n" }, Samples { { 1, 2 }, { 7, 8 } }, 2);
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

    // The lines that one read completes do not share the read's time: they are spread back towards the line
    // before them, the last keeping the time of the read.
    void linesOfOneRead()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QVERIFY(t.terminal.write("9\n1\n"));
        QTRY_COMPARE(t.spy.size(), 1);
        QTest::qWait(60);
        QVERIFY(t.terminal.write("2\n3\n4\n"));
        QTRY_COMPARE(t.spy.size(), 4);
        QList<qint64> stamps;
        for (const auto& arguments : std::as_const(t.spy))
            stamps << arguments.at(0).toLongLong();
        QVERIFY2(stamps.at(0) < stamps.at(1) && stamps.at(1) < stamps.at(2) && stamps.at(2) < stamps.at(3),
            qPrintable(
                QStringLiteral("%1 %2 %3 %4").arg(stamps.at(0)).arg(stamps.at(1)).arg(stamps.at(2)).arg(stamps.at(3))));
    }

    // Against the emulator: garbled fields read as 0, split lines are joined, the line without its line feed is
    // never a sample, the emulator's end closes the device; and the tail of a line that every open of the port
    // starts with is never a sample (its first value would be cut short, far below the emulator's 1690 to 3510).
    void emulator_data()
    {
        addColumns<QStringList, int, int, QList<int>>({ "arguments", "fewest", "most", "garbled" });
        addRow("one open",
            QStringList {
                "--rate", "50", "-c", "2", "-v", "3", "-n", "15", "-f", "split,garble,crlf,no-final-lf,tail" },
            14, 14, QList<int> { 6, 13 });
        // The lines written just before a drop may go with the port, and those written as it opens with the
        // flush of the open; never is there a line more than the emulator wrote.
        addRow("every reopen",
            QStringList { "--rate", "100", "-c", "2", "-v", "3", "-n", "30", "-f", "tail,slip", "--slip-after", "10",
                "--slip-ms", "200", "--link" },
            20, 30, QList<int> {});
    }
    void emulator()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, fewest);
        QFETCH(int, most);
        QFETCH(QList<int>, garbled);
        QTemporaryDir folder;
        const bool linked = arguments.constLast() == QLatin1String("--link");
        if (linked)
            arguments << folder.filePath(QStringLiteral("port"));
        EmulatorProcess emulator;
        QVERIFY(emulator.start(arguments + QStringList { "--linger-ms", "200" }));
        ComFnirDevice device(emulator.portPath() + QStringLiteral(" [emulator]"));
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QVERIFY(device.connectDevice());
        // Behind the link the port is opened again after every loss until the emulator has ended. A terminal
        // path is not: once its emulator is gone the number may belong to another terminal.
        int opens = 1;
        bool closed = false;
        connect(&device, &ComFnirDevice::disconnected, this, [&closed]() { closed = true; });
        QTimer retry;
        connect(&retry, &QTimer::timeout, this, [&]() {
            if (closed && linked) {
                closed = false;
                opens += device.connectDevice() ? 1 : 0;
            }
        });
        retry.start(20);
        QVERIFY(emulator.waitForFinished(20000));
        QTRY_VERIFY(closed);
        retry.stop();

        const Samples received = samplesOf(spy);
        QVERIFY2(received.size() >= fewest && received.size() <= most, qPrintable(QString::number(received.size())));
        QVERIFY(opens >= (linked ? 3 : 1));
        for (int i = 0; i < received.size(); ++i) {
            QCOMPARE(received.at(i).size(), 6);
            for (double value : received.at(i))
                QVERIFY2(value == 0.0 || value >= 1000.0, qPrintable(QStringLiteral("line %1: %2").arg(i).arg(value)));
            QCOMPARE(received.at(i).contains(0.0), garbled.contains(i));
        }
    }

    // The emulator's model head on the serial path: V, R and IR of every channel, and the responses to its stimuli
    // raise oxy-haemoglobin on the first half of the channels and not on the other.
    void emulatorHead()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--signal", "head", "--rate", "50", "-c", "4", "-v", "3", "--bad-every", "0",
            "--stimulus-every", "0.5", "--seconds", "5", "--linger-ms", "200" }));
        ComFnirDevice device(emulator.portPath());
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QVERIFY(device.connectDevice());
        QVERIFY(emulator.waitForFinished(20000));
        const Samples received = samplesOf(spy);
        QVERIFY2(received.size() >= 200, qPrintable(QString::number(received.size())));
        const BeerLambert law = *BeerLambert::create({});
        constexpr int Second = 50;
        for (int c = 0; c < 4; ++c) {
            // Oxy-haemoglobin against the first second's light: its mean over the first and the last second.
            double baseRed = 0;
            double baseInfrared = 0;
            for (int i = 0; i < Second; ++i) {
                QCOMPARE(received.at(i).size(), 12);
                QVERIFY(received.at(i).at(3 * c) < received.at(i).at(3 * c + 1)); // the ambient V below the light
                baseRed += received.at(i).at(3 * c + 1) / Second;
                baseInfrared += received.at(i).at(3 * c + 2) / Second;
            }
            const auto meanOxy = [&](int from) {
                double sum = 0;
                for (int i = from; i < from + Second; ++i) {
                    sum += law(OpticalDensity::of(received.at(i).at(3 * c + 1), baseRed),
                        OpticalDensity::of(received.at(i).at(3 * c + 2), baseInfrared))
                               .oxy;
                }
                return sum / Second;
            };
            const double rise = meanOxy(int(received.size()) - Second) - meanOxy(0);
            QVERIFY2(c < 2 ? rise > 0.4 : std::abs(rise) < 0.25,
                qPrintable(QStringLiteral("channel %1: %2 µM").arg(c + 1).arg(rise)));
        }
    }
};

QTEST_GUILESS_MAIN(TestComFnirDevice)
#include "tst_comfnirdevice.moc"
