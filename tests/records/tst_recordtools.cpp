#include "DataRow.h"
#include "RecordFixture.h"
#include "RecordsSettings.h"
#include "SnirfValidation.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

// The command-line comparison and export, run as a user runs them; what the exported files hold is tested with the
// exporter itself.
class tst_RecordTools : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    QString path(const QString& name) const { return QDir(m_home.path()).filePath(name); }

private slots:
    void init()
    {
        QDir(m_home.path()).removeRecursively();
        QVERIFY(TemporaryHome::writeFile(
            path("two.csv"), ";V1;R1;IR1;V2(Fp2);R2;IR2\r\n0;0;1;1;5;0;0\r\n100;10;1;1;5;0;0\r\n200;20;1;1;6;0;0\r\n"));
        // Damaged: a binary line, a time out of order, a line without tabs.
        QVERIFY(TemporaryHome::writeFile(
            path("two.events"), QByteArray("150\tkey\tF1\r\n\x01\xff\xfe\r\n40\thttp\tStim B\r\nno tabs\r\n")));
        // Lines every 100 ms with the instrument away from 1 s to 31 s.
        QList<QByteArray> gap;
        for (int t = 0; t <= 32000; t += t == 1000 ? 30000 : 100)
            gap << QByteArray::number(t) + ";" + QByteArray::number(t % 700) + ";0;0";
        QVERIFY(TemporaryHome::writeFile(path("gap.csv"), rirRecord(1, gap)));
        for (const char* log : { "two.log", "gap.log" })
            QVERIFY(TemporaryHome::writeFile(path(log), "1000\tSync\r\n3500\tStim A\r\n"));

        const QByteArray record = ";R1;IR1\r\n0;10;20\r\n20;11;21\r\n40;12;22\r\n60;13;23\r\n";
        for (const char* name : { "a.raw", "folder/b.raw", "exists.raw" })
            QVERIFY(TemporaryHome::writeFile(path(name), record));
        QVERIFY(TemporaryHome::writeFile(path("folder/c.raw"), record + "80;1\r\nxx\r\n"));
        QVERIFY(TemporaryHome::writeFile(path("exists.snirf"), "mine"));
        QVERIFY(TemporaryHome::writeFile(path("short.raw"), ";R1;IR1\r\n0;10;20\r\n"));
        QVERIFY(TemporaryHome::writeFile(path("marks.raw"), record));
        QVERIFY(TemporaryHome::writeFile(path("marks.events"), "-30\tkey\tF1\r\n30\tkey\tF2\r\n90\thalvex\tstop\r\n"));
        QVERIFY(QDir(m_home.path()).mkpath("out"));
    }

    // The end of what the program prints (a comparison's curves across a gap are left out), and the start of its
    // errors (a wrong command line is followed by the usage). Every file an export names is an HDF5 file; the one
    // that exists is kept unless replaced.
    void run_data()
    {
        addColumns<QString, QStringList, int, QByteArray, QByteArray>(
            { "program", "arguments", "exitCode", "output", "error" });
        const auto row = [](const char* program, const char* name, const QStringList& arguments, int exitCode,
                             const char* output, const char* error = "") {
            QTest::newRow(name) << QString(program) << arguments << exitCode << QByteArray(output) << QByteArray(error);
        };
        const char* compare = HALVEX_COMPARE;
        row(compare, "comparison with marks and events", { "two.csv", "--channel2", "1", "--hpf", "0" }, 0,
            "Time;Left [1];Right [2(Fp2)];Diff [1] - [2(Fp2)]\n"
            "0;-10;-0.2999999999999998;-9.7\n"
            "50;-5;-0.2999999999999998;-4.7\n"
            "100;0;-0.2999999999999998;0.2999999999999998\n"
            "150;5;0.20000000000000018;4.8\n"
            "200;10;0.7000000000000002;9.3\n"
            "\nMark;Source;Text\n2500;log;StimA\n40;http;Stim B\n150;key;F1\n",
            "two.events: 2 damaged lines skipped\n");
        // Without the high-pass filter the printed values depend on no library's rounding.
        row(compare, "gap after the marks", { "gap.csv", "--channel2", "0", "--hpf", "0" }, 0,
            "\n32000;247.81591263650546;247.81591263650546;0\n\nMark;Source;Text\n2500;log;StimA\nGap;1000;31000\n");
        row(compare, "missing file", { "none.csv" }, 2, "", "none.csv: no such file\n");
        row(compare, "channel beyond the record", { "two.csv" }, 3, "",
            "two.csv: channel 9 is beyond the record, which has 2 channels (positions 0 to 1)\n");
        row(compare, "bad cut-off", { "two.csv", "--hpf", "11" }, 2, "", "--hpf takes a number from 0 to 10\n");

        const char* exporter = HALVEX_EXPORT;
        row(exporter, "output and rate", { "a.raw", "-o", "out/x.snirf", "--rate", "100" }, 0,
            "out/x.snirf: 7 points at 100 Hz from 4 samples\n");
        row(exporter, "folder into a folder, damaged lines", { "folder", "-o", "out" }, 0,
            "out/b.snirf: 4 points at 50 Hz from 4 samples\nout/c.snirf: 4 points at 50 Hz from 4 samples\n",
            "folder/c.raw: 2 damaged lines skipped\n");
        row(exporter, "existing output, forced", { "exists.raw", "--force" }, 0,
            "exists.snirf: 4 points at 50 Hz from 4 samples\n");
        row(exporter, "worst failure of a batch, existing output kept", { "short.raw", "exists.raw", "a.raw" }, 3,
            "a.snirf: 4 points at 50 Hz from 4 samples\n",
            "short.raw: fewer than 2 samples (0 damaged lines skipped)\nhalvex-export: exists.snirf exists; --force "
            "replaces it\n");
        row(exporter, "missing record", { "none.csv" }, 2, "", "none.raw: no such file\n");
        row(exporter, "marks outside the samples", { "marks.raw" }, 0,
            "marks.snirf: 4 points at 50 Hz from 4 samples\n",
            "marks.raw: 2 marks outside the samples left out (readers would drop them)\n");
        row(exporter, "wavelengths swapped", { "a.raw", "--wavelengths", "850,760" }, 2, "",
            "--wavelengths takes two numbers in nm, red below infrared, from 300 to 1000\n\nUsage:");
    }
    void run()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        if (!error.isEmpty())
            error.prepend(QFileInfo(program).fileName().toUtf8() + ": ");
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        const QByteArray printed = process.readAllStandardOutput();
        const QByteArray standardError = process.readAllStandardError();
        QVERIFY2(standardError.startsWith(error) && standardError.isEmpty() == error.isEmpty(), standardError.data());
        QVERIFY2(printed.endsWith(output) && printed.isEmpty() == output.isEmpty(), printed.right(99).data());
        QTEST(process.exitCode(), "exitCode");
        QStringList exported;
        for (const QByteArray& line : output.split('\n')) {
            if (line.endsWith(" samples"))
                exported.append(path(QString::fromUtf8(line.left(line.indexOf(':')))));
        }
        if (!output.contains("exists.snirf"))
            QCOMPARE(TemporaryHome::readFile(path("exists.snirf")), QByteArray("mine"));
        if (exported.isEmpty())
            return;
        const SnirfValidation validation = SnirfValidation::run(SNIRF_VALIDATE, exported);
        QVERIFY2(validation.outcome != SnirfValidation::Failed, qPrintable(validation.report));
        if (validation.outcome == SnirfValidation::Absent)
            QSKIP(qPrintable(validation.report));
    }

    // Without --wavelengths, the records settings of the data folder give them, as in the records window.
    void wavelengths_data()
    {
        addColumns<int, int, QStringList, QByteArray>({ "red", "infrared", "arguments", "written" });
        addRow("no settings", 0, 0, QStringList(), QByteArray("760 850\n"));
        addRow("records settings", 690, 830, QStringList(), QByteArray("690 830\n"));
        addRow(
            "option over the settings", 690, 830, QStringList { "--wavelengths", "700,900" }, QByteArray("700 900\n"));
        addRow("settings with red above infrared", 900, 850, QStringList(), QByteArray());
    }
    void wavelengths()
    {
        QFETCH(int, red);
        QFETCH(int, infrared);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, written);
        const QString settingsPath = QDir(m_home.dataFolder()).filePath("RecSettings.xml");
        if (red > 0) {
            RecordsSettings settings(settingsPath);
            settings.setRedWavelength(red);
            settings.setInfraredWavelength(infrared);
        }
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.start(HALVEX_EXPORT, arguments << "a.raw");
        QVERIFY(process.waitForFinished(30000));
        if (written.isEmpty()) {
            QCOMPARE(process.readAllStandardError(),
                "halvex-export: the records settings (" + settingsPath.toUtf8()
                    + ") give 900 nm red and 850 nm infrared; red must lie below infrared: correct them or give "
                      "--wavelengths\n");
            QCOMPARE(process.exitCode(), 2);
            QVERIFY(!QFileInfo::exists(path("a.snirf")));
            return;
        }
        QCOMPARE(process.exitCode(), 0);
        QProcess python;
        python.start("/usr/bin/python3",
            { "-c", "import sys, h5py; print(*(int(w) for w in h5py.File(sys.argv[1])['nirs/probe/wavelengths']))",
                path("a.snirf") });
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(python.readAllStandardOutput(), written);
    }

    // A disk that refuses the file part way (a file size limit stands in for a full disk), at the start, in the
    // data and in its last bytes: the export fails with the system's reason, leaves no file, whole or partial, and
    // the program ends normally.
    void refusedWrite_data()
    {
        addColumns<double>({ "share" }); // of the file's full size that the disk takes
        QTest::newRow("at the start") << 0.0;
        QTest::newRow("in the data") << 0.5;
        QTest::newRow("in the last bytes") << 1.0;
    }
    void refusedWrite()
    {
        QFETCH(double, share);
        QByteArray record = ";R1;IR1;R2;IR2\r\n";
        for (int i = 0; i < 20000; ++i)
            record += QByteArray::number(i * 16) + ";" + QByteArray::number(i * 7919 % 4001) + ";200;300;"
                + QByteArray::number(i % 977) + "\r\n";
        QVERIFY(TemporaryHome::writeFile(path("big.raw"), record));
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.start(QStringLiteral(HALVEX_EXPORT), { "big.raw", "-o", "full.snirf" });
        QVERIFY(process.waitForFinished(30000) && process.exitCode() == 0);
        // The shell counts blocks of 512 bytes.
        const qint64 blocks = qMax<qint64>(1, qint64(double(QFileInfo(path("full.snirf")).size()) * share / 512) - 1);
        process.start(QStringLiteral("/bin/sh"),
            { "-c", "trap '' XFSZ; ulimit -f $1; shift; exec \"$0\" \"$@\"", QStringLiteral(HALVEX_EXPORT),
                QString::number(blocks), "big.raw" });
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardError(), QByteArray("halvex-export: big.snirf: File too large\n"));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 4);
        QCOMPARE(QDir(m_home.path()).entryList({ "big.*" }, QDir::Files), QStringList { "big.raw" });
    }
};

QTEST_GUILESS_MAIN(tst_RecordTools)
#include "tst_recordtools.moc"
