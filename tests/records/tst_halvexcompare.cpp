#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

// The command-line comparison, run as a user runs it.
class tst_HalvexCompare : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    bool run(QProcess& process, const QStringList& arguments)
    {
        process.setWorkingDirectory(m_home.path());
        process.start(QStringLiteral(HALVEX_COMPARE), arguments);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    }

private slots:
    void initTestCase()
    {
        const QDir home(m_home.path());
        QVERIFY(TemporaryHome::writeFile(home.filePath("two.csv"),
            ";V1;R1;IR1;V2(Fp2);R2;IR2\r\n0;0;1;1;5;0;0\r\n100;10;1;1;5;0;0\r\n200;20;1;1;6;0;0\r\n"));
        QVERIFY(TemporaryHome::writeFile(home.filePath("two.log"), "1000\tSync\r\n3500\tStim A\r\n"));
        // Damaged: a binary line, a time out of order, a line without tabs.
        QVERIFY(TemporaryHome::writeFile(home.filePath("two.events"),
            QByteArray("150\tkey\tF1\r\n\x01\xff\xfe\r\n40\thttp\tStim B\r\nno tabs\r\n")));
        // Lines every 100 ms with the instrument away from 1 s to 31 s.
        QByteArray gap(";V1;R1;IR1\r\n");
        for (int t = 0; t <= 32000; t += t == 1000 ? 30000 : 100)
            gap += QByteArray::number(t) + ";" + QByteArray::number(t % 700) + ";0;0\r\n";
        QVERIFY(TemporaryHome::writeFile(home.filePath("gap.csv"), gap));
        QVERIFY(TemporaryHome::writeFile(home.filePath("gap.log"), "1000\tSync\r\n3500\tStim A\r\n"));
        QVERIFY(TemporaryHome::writeFile(home.filePath("unreadable.csv"), ""));
        QFile(home.filePath("unreadable.csv")).setPermissions(QFileDevice::WriteOwner);
    }

    void compare_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("comparison with marks and events")
            << QStringList { "two.csv", "--channel2", "1", "--hpf", "0" } << 0
            << QByteArray("Time;Left [1];Right [2(Fp2)];Diff [1] - [2(Fp2)]\n"
                          "0;-10;-0.2999999999999998;-9.7\n"
                          "50;-5;-0.2999999999999998;-4.7\n"
                          "100;0;-0.2999999999999998;0.2999999999999998\n"
                          "150;5;0.20000000000000018;4.8\n"
                          "200;10;0.7000000000000002;9.3\n"
                          "\nMark;Source;Text\n2500;log;StimA\n40;http;Stim B\n150;key;F1\n")
            << QByteArray("halvex-compare: two.events: 2 damaged lines skipped\n");
        const auto failure = [](const char* name, const QStringList& arguments, int exitCode, const char* error) {
            QTest::newRow(name) << arguments << exitCode << QByteArray()
                                << "halvex-compare: " + QByteArray(error) + '\n';
        };
        failure("missing file", { "none.csv" }, 2, "none.csv: no such file");
        failure("channel beyond the record", { "two.csv" }, 3,
            "two.csv: channel 9 is beyond the record, which has 2 channels (positions 0 to 1)");
        failure("bad cut-off", { "two.csv", "--hpf", "11" }, 2, "--hpf takes a number from 0 to 10");
        failure("unreadable file", { "unreadable.csv" }, 2, "unreadable.csv: cannot read the file");
    }
    void compare()
    {
        if (QTest::currentDataTag() == QLatin1String("unreadable file")
            && QFile(QDir(m_home.path()).filePath("unreadable.csv")).open(QIODevice::ReadOnly))
            QSKIP("running with rights that read any file");
        QFETCH(QStringList, arguments);
        QProcess process;
        QVERIFY(run(process, arguments));
        QTEST(process.readAllStandardError(), "error");
        QTEST(process.readAllStandardOutput(), "output");
        QTEST(process.exitCode(), "exitCode");
    }

    // The curves are resampled across the gap as before; the gap itself is listed after the marks.
    void gapAfterTheMarks()
    {
        QProcess process;
        QVERIFY(run(process, { "gap.csv", "--channel2", "0" }));
        const QByteArray output = process.readAllStandardOutput();
        QVERIFY(output.contains("\n32000;"));
        QVERIFY2(output.endsWith("\nMark;Source;Text\n2500;log;StimA\nGap;1000;31000\n"), output.right(99).data());
    }
};

QTEST_GUILESS_MAIN(tst_HalvexCompare)
#include "tst_halvexcompare.moc"
