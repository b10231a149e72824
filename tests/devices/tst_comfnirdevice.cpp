#include "../framework/DataRow.h"
#include "ComFnirDevice.h"
#include "EmulatorProcess.h"
#include "PortList.h"
#include "PseudoTerminal.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
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

    void portName_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("portName");
        addRow("windows entry", "COM3 [USB Serial Device]", "COM3");
        addRow("linux entry", "ttyUSB0 [FT232R USB UART]", "ttyUSB0");
        addRow("empty description", portEntry("rfcomm0", QString()), "rfcomm0");
        addRow("typed full path", "/dev/pts/5", "/dev/pts/5");
        addRow("leading space keeps the empty field", " COM3 [x]", "");
    }
    void portName()
    {
        QFETCH(QString, descriptor);
        QTEST(ComFnirDevice(descriptor).deviceName(), "portName");
    }

    void entry_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("entry");
        addRow("described", "FT232R USB UART", "ttyUSB0 [FT232R USB UART]");
        addRow("no description", "", "ttyUSB0");
        addRow("blank description", "  ", "ttyUSB0");
    }
    void entry()
    {
        QFETCH(QString, description);
        QTEST(portEntry("ttyUSB0", description), "entry");
    }

    void lines_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<Samples>("samples");
        QTest::addColumn<int>("channelCount");
        addRow("CR LF", QByteArrayList { "12 34.5 -7\r\n" }, Samples { { 12, 34.5, -7 } }, 3);
        addRow("two lines in one read", QByteArrayList { "1 2\n3 4 5 6\n" }, Samples { { 1, 2 }, { 3, 4, 5, 6 } }, 4);
        addRow("line split across reads", QByteArrayList { "10 2", "0 30\n" }, Samples { { 10, 20, 30 } }, 3);
        addRow("empty field", QByteArrayList { "1  2\n" }, Samples { { 1, 0, 2 } }, 3);
        addRow("empty line", QByteArrayList { "\n" }, Samples { { 0 } }, 1);
        addRow("comma is no decimal point", QByteArrayList { "1,5 2\n" }, Samples { { 0, 2 } }, 2);
        addRow("channel count follows the last line", QByteArrayList { "1 2 3 4 5 6\n", "7 8\n" },
            Samples { { 1, 2, 3, 4, 5, 6 }, { 7, 8 } }, 2);
        addRow("surrounding white space", QByteArrayList { " \t5 6e2 \r\n" }, Samples { { 5, 600 } }, 2);
        addRow("words and non-finite numbers", QByteArrayList { "abc 7 nan -inf 1e999\n" },
            Samples { { 0, 7, 0, 0, 0 } }, 5);
        addRow("partial last line waits", QByteArrayList { "1 2\n3 4" }, Samples { { 1, 2 } }, 2);
    }
    void lines()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(Samples, samples);
        QFETCH(int, channelCount);

        TerminalDevice t;
        QVERIFY(t.open());
        QSignalSpy& spy = t.spy;
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        for (qsizetype i = 0; i < reads.size(); ++i) {
            const int emitted = int(spy.size());
            QVERIFY(t.terminal.write(reads.at(i)));
            if (i + 1 < reads.size() && !reads.at(i).endsWith('\n')) {
                // Give the reader a chance to see the first part alone; it must hold it back.
                QTest::qWait(100);
                QCOMPARE(spy.size(), emitted);
            }
        }
        QTRY_COMPARE(spy.size(), samples.size());
        QTest::qWait(50);
        QCOMPARE(samplesOf(spy), samples);
        QCOMPARE(t.device.channelCount(), channelCount);
        qint64 previous = before;
        for (const auto& arguments : std::as_const(spy)) {
            const qint64 ts = arguments.at(0).toLongLong();
            QVERIFY(ts >= previous);
            QVERIFY(ts <= QDateTime::currentMSecsSinceEpoch());
            previous = ts;
        }
    }

    void disconnectDropsPartialAndQueuedData()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QVERIFY(t.terminal.write("1 2\n3 4"));
        QTRY_COMPARE(t.spy.size(), 1);
        // Queued in the driver but not yet read when the port closes: never read.
        QVERIFY(t.terminal.write(" 5\n"));
        QVERIFY(t.device.disconnectDevice());
        QTest::qWait(100);
        QCOMPARE(t.spy.size(), 1);
        QCOMPARE(t.disconnected.size(), 0);

        TerminalDevice other;
        QVERIFY(other.open());
        QVERIFY(other.terminal.write("1 2\n3 4"));
        QTRY_COMPARE(other.spy.size(), 1);
        // Reopening starts from an empty line: the held-back "3 4" is gone.
        QVERIFY(other.device.connectDevice());
        QVERIFY(other.terminal.write(" 9 1\n7 8\n"));
        QTRY_COMPARE(other.spy.size(), 3);
        QCOMPARE(samplesOf(other.spy).mid(1), (Samples { { 9, 1 }, { 7, 8 } }));
    }

    void portThatDoesNotOpen_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("portName");
        addRow("bare name", "ttyHALVEX99 [gone]", "ttyHALVEX99");
        addRow("full path", "/dev/halvex-no-such-port", "/dev/halvex-no-such-port");
    }
    void portThatDoesNotOpen()
    {
        QFETCH(QString, descriptor);
        QFETCH(QString, portName);
        ComFnirDevice device(descriptor);
        QSignalSpy connected(&device, &ComFnirDevice::connected);
        QSignalSpy disconnected(&device, &ComFnirDevice::disconnected);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Connect to ") + portName));
        QTest::ignoreMessage(QtDebugMsg, "PORT NOT OPEN");
        QVERIFY(!device.connectDevice());
        QCOMPARE(connected.size(), 0);
        QCOMPARE(disconnected.size(), 1);
    }

    void lineBufferIsCapped()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^LINE BUFFER FULL .* dropped \\d+")));
        QVERIFY(t.terminal.write(QByteArray(ComFnirDevice::MaxLineBuffer * 3, 'x')));
        // The tail of the overlong line is no sample either; the line after it is.
        QVERIFY(t.terminal.write("3 4\n5 6\n"));
        QTRY_COMPARE(t.spy.size(), 1);
        QCOMPARE(samplesOf(t.spy), (Samples { { 5, 6 } }));
    }

    void overlongLinesAreDropped()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QByteArray full = "7";
        for (int i = 1; i < ComFnirDevice::MaxValues; ++i)
            full += " 7";
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^LINE TOO LONG .* 300 values$")));
        QVERIFY(t.terminal.write(full + " 8\n" + full + " 8 9\n" + full + "\n1 2\n"));
        QTRY_COMPARE(t.spy.size(), 2);
        const Samples samples = samplesOf(t.spy);
        QCOMPARE(samples.at(0), QList<double>(ComFnirDevice::MaxValues, 7));
        QCOMPARE(samples.at(1), (QList<double> { 1, 2 }));
    }

    void pulledCable()
    {
        TerminalDevice t;
        QVERIFY(t.open());
        QVERIFY(t.terminal.write("1 2\n"));
        QTRY_COMPARE(t.spy.size(), 1);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^PORT LOST ")));
        t.terminal.closeMaster();
        QTRY_COMPARE(t.disconnected.size(), 1);
        QTest::qWait(200);
        QCOMPARE(t.disconnected.size(), 1);
    }

    void emulator_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("valuesPerSample");
        QTest::addColumn<QList<int>>("garbledSamples");
        const QStringList quick { "--rate", "50", "--linger-ms", "300" };
        addRow("three values per channel, CR LF",
            (quick + QStringList { "-c", "4", "-v", "3", "-n", "5", "-f", "crlf" }), 5, 12, QList<int> {});
        addRow("split and garbled lines", (quick + QStringList { "-c", "2", "-n", "14", "-f", "split,garble" }), 14, 4,
            QList<int> { 6, 13 });
        addRow("missing final line feed", (quick + QStringList { "-c", "3", "-n", "3", "-f", "no-final-lf" }), 2, 6,
            QList<int> {});
    }
    void emulator()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, samples);
        QFETCH(int, valuesPerSample);
        QFETCH(QList<int>, garbledSamples);

        EmulatorProcess emulator;
        QVERIFY(emulator.start(arguments));
        ComFnirDevice device(emulator.portPath() + QStringLiteral(" [emulator]"));
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QSignalSpy disconnected(&device, &ComFnirDevice::disconnected);
        QVERIFY(device.connectDevice());

        // The emulator ends after its last line: the device notices and closes.
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, 10000);
        QCOMPARE(spy.size(), samples);
        QCOMPARE(device.channelCount(), valuesPerSample);
        const Samples received = samplesOf(spy);
        for (int i = 0; i < received.size(); ++i) {
            QCOMPARE(received.at(i).size(), valuesPerSample);
            QCOMPARE(received.at(i).contains(0.0), garbledSamples.contains(i));
        }
    }

    void emulatorKilledWhileConnected()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--channels", "2" }));
        ComFnirDevice device(emulator.portPath());
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QSignalSpy disconnected(&device, &ComFnirDevice::disconnected);
        QVERIFY(device.connectDevice());
        QTRY_VERIFY(spy.size() >= 3);

        emulator.kill();
        QTRY_COMPARE(disconnected.size(), 1);
        const qsizetype received = spy.size();
        QTest::qWait(200);
        QCOMPARE(disconnected.size(), 1);
        QCOMPARE(spy.size(), received);
    }

    // A slipping connector: the port goes away and comes back at the same path, and opens again there.
    void emulatorSlipsBehindItsLink()
    {
        const QString link
            = QDir::temp().filePath(QStringLiteral("halvex-slip-%1").arg(QCoreApplication::applicationPid()));
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "50", "--channels", "2", "--link", link, "-f", "slip", "--slip-after", "10",
            "--slip-ms", "500" }));
        QCOMPARE(emulator.portPath(), link);
        ComFnirDevice device(link);
        QSignalSpy spy(&device, &ComFnirDevice::newData);
        QSignalSpy disconnected(&device, &ComFnirDevice::disconnected);
        for (int slip = 0; slip < 2; ++slip) {
            QVERIFY(device.connectDevice());
            const qsizetype before = spy.size();
            QTRY_VERIFY(!disconnected.isEmpty());
            QVERIFY(spy.size() > before);
            QVERIFY(!device.connectDevice()); // away for a while
            disconnected.clear();
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(link), 3000);
        }
        emulator.kill();
        QFile::remove(link);
    }
};

QTEST_GUILESS_MAIN(TestComFnirDevice)
#include "tst_comfnirdevice.moc"
