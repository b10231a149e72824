#include <QProcess>
#include <QTest>

// Every program answers --help and --version on the standard output with 0, and a wrong command line with the
// message and the usage on the standard error and 2; the GUI program does so without a display.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void conventions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        // "name=path|name=path": the programs as the build made them.
        for (const QString& entry : QStringLiteral(HALVEX_PROGRAMS).split(QLatin1Char('|'))) {
            const QString name = entry.section(QLatin1Char('='), 0, 0);
            const QString path = entry.section(QLatin1Char('='), 1);
            const QByteArray usage = "Usage: " + name.toUtf8() + " [options]";
            QTest::addRow("%s help", qPrintable(name))
                << path << QStringList { "--help" } << 0 << usage << QByteArray();
            QTest::addRow("%s version", qPrintable(name))
                << path << QStringList { "--version" } << 0 << QByteArray(name.toUtf8() + ' ' + HALVEX_VERSION "\n")
                << QByteArray();
            QTest::addRow("%s unknown option", qPrintable(name))
                << path << QStringList { "--no-such-option" } << 2 << QByteArray()
                << QByteArray(name.toUtf8() + ": Unknown option 'no-such-option'.\n\n" + usage);
            if (name == QLatin1String("halvex")) {
                QTest::addRow("halvex stray argument")
                    << path << QStringList { "notes.txt" } << 2 << QByteArray()
                    << QByteArray("halvex: unexpected argument \"notes.txt\"\n\n" + usage);
                QTest::addRow("halvex with Qt's own options")
                    << path << QStringList { "-platform", "offscreen", "-reverse", "-v" } << 0
                    << QByteArray("halvex " HALVEX_VERSION "\n") << QByteArray();
            }
        }
    }

    void conventions()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QString::fromLatin1(display));
        process.setProcessEnvironment(environment);
        process.start(path, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QByteArray standardOutput = process.readAllStandardOutput();
        const QByteArray standardError = process.readAllStandardError();
        QVERIFY2(standardOutput.startsWith(output), standardOutput.constData());
        QVERIFY2(standardError.startsWith(error), standardError.constData());
        QCOMPARE(standardOutput.isEmpty(), output.isEmpty());
        QCOMPARE(standardError.isEmpty(), error.isEmpty());
        QTEST(process.exitCode(), "exitCode");
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
