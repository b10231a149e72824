#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <unistd.h>

// The command-line export, run as a user runs it; what the files hold is tested with the exporter itself.
class tst_HalvexExport : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    QString path(const QString& name) const { return QDir(m_home.path()).filePath(name); }

private slots:
    void init()
    {
        QDir(m_home.path()).removeRecursively();
        const QByteArray record = ";R1;IR1\r\n0;10;20\r\n20;11;21\r\n40;12;22\r\n60;13;23\r\n";
        QVERIFY(TemporaryHome::writeFile(path("a.raw"), record));
        QVERIFY(TemporaryHome::writeFile(path("a.csv"), ";V1;R1;IR1\r\n"));
        QVERIFY(TemporaryHome::writeFile(path("folder/b.raw"), record));
        QVERIFY(TemporaryHome::writeFile(path("folder/c.raw"), record + "80;1\r\nxx\r\n"));
        QVERIFY(TemporaryHome::writeFile(path("exists.raw"), record));
        QVERIFY(TemporaryHome::writeFile(path("exists.snirf"), "mine"));
        QVERIFY(TemporaryHome::writeFile(path("short.raw"), ";R1;IR1\r\n0;10;20\r\n"));
        QVERIFY(QDir(m_home.path()).mkpath("out"));
    }

    void run_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error"); // its start: a wrong command line is followed by the usage
        QTest::newRow("csv path") << QStringList { "a.csv" } << 0
                                  << QByteArray("a.snirf: 4 points at 50 Hz from 4 samples\n") << QByteArray();
        QTest::newRow("output and rate") << QStringList { "a.raw", "-o", "out/x.snirf", "--rate", "100" } << 0
                                         << QByteArray("out/x.snirf: 7 points at 100 Hz from 4 samples\n")
                                         << QByteArray();
        QTest::newRow("folder into a folder, damaged lines")
            << QStringList { "folder", "-o", "out" } << 0
            << QByteArray(
                   "out/b.snirf: 4 points at 50 Hz from 4 samples\nout/c.snirf: 4 points at 50 Hz from 4 samples\n")
            << QByteArray("halvex-export: folder/c.raw: 2 damaged lines skipped\n");
        QTest::newRow("existing output, forced")
            << QStringList { "exists.raw", "--force" } << 0
            << QByteArray("exists.snirf: 4 points at 50 Hz from 4 samples\n") << QByteArray();
        QTest::newRow("worst failure of a batch, existing output kept")
            << QStringList { "short.raw", "exists.raw", "a.raw" } << 3
            << QByteArray("a.snirf: 4 points at 50 Hz from 4 samples\n")
            << QByteArray("halvex-export: short.raw: fewer than 2 samples (0 damaged lines skipped)\n"
                          "halvex-export: exists.snirf exists; --force replaces it\n");
        QTest::newRow("missing record") << QStringList { "none.csv" } << 2 << QByteArray()
                                        << QByteArray("halvex-export: none.raw: no such file\n");
        QTest::newRow("wavelengths swapped") << QStringList { "a.raw", "--wavelengths", "850,760" } << 2 << QByteArray()
                                             << QByteArray("halvex-export: --wavelengths takes two numbers in nm, red "
                                                           "below infrared, from 300 to 1100\n\nUsage:");
    }
    // Every file named in the output is an HDF5 file; the one that exists is kept unless replaced.
    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, error);
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.start(QStringLiteral(HALVEX_EXPORT), arguments);
        QVERIFY(process.waitForFinished(30000));
        const QByteArray standardError = process.readAllStandardError();
        QVERIFY2(standardError.startsWith(error) && standardError.isEmpty() == error.isEmpty(), standardError.data());
        const QByteArray output = process.readAllStandardOutput();
        QTEST(output, "output");
        QTEST(process.exitCode(), "exitCode");
        for (const QByteArray& line : output.split('\n'))
            QVERIFY(line.isEmpty()
                || TemporaryHome::readFile(path(QString::fromUtf8(line.left(line.indexOf(':')))))
                       .startsWith("\x89HDF"));
        if (!output.contains("exists.snirf"))
            QCOMPARE(TemporaryHome::readFile(path("exists.snirf")), QByteArray("mine"));
    }

    // A disk that refuses the file part way (a file size limit stands in for a full disk) and a folder without
    // the right to write: the export fails and leaves no file, whole or partial.
    void refusedWrite_data()
    {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("file size limit") << QStringLiteral("trap '' XFSZ; ulimit -f 2; exec \"$0\" \"$@\"")
                                         << QByteArray("halvex-export: big.snirf: File too large\n");
        QTest::newRow("read-only folder") << QStringLiteral("chmod a-w .; exec \"$0\" \"$@\"")
                                          << QByteArray("halvex-export: big.snirf: Permission denied\n");
    }
    void refusedWrite()
    {
        QFETCH(QString, shell);
        if (QTest::currentDataTag() == QByteArray("read-only folder") && ::geteuid() == 0)
            QSKIP("running with rights that write into any folder");
        QByteArray record = ";R1;IR1;R2;IR2\r\n";
        for (int i = 0; i < 2000; ++i)
            record += QByteArray::number(i * 16) + ";100;200;300;400\r\n";
        QVERIFY(TemporaryHome::writeFile(path("big.raw"), record));
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        process.start(QStringLiteral("/bin/sh"), { "-c", shell, QStringLiteral(HALVEX_EXPORT), "big.raw" });
        QVERIFY(process.waitForFinished(30000));
        QFile::setPermissions(m_home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QTEST(process.readAllStandardError(), "error");
        QCOMPARE(process.exitCode(), 4);
        QCOMPARE(QDir(m_home.path()).entryList({ "big.*" }, QDir::Files), QStringList { "big.raw" });
    }
};

QTEST_GUILESS_MAIN(tst_HalvexExport)
#include "tst_halvexexport.moc"
