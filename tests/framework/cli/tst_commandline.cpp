#include "DataRow.h"
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
        addColumns<QString, QStringList, int, QByteArray, QByteArray>(
            { "path", "arguments", "exitCode", "output", "error" });
        // "name=path|name=path": the programs as the build made them.
        for (const QString& entry : QStringLiteral(HALVEX_PROGRAMS).split(QLatin1Char('|'))) {
            const QString path = entry.section(QLatin1Char('='), 1);
            const QByteArray name = entry.section(QLatin1Char('='), 0, 0).toUtf8();
            const QByteArray usage = "Usage: " + name + " [options]";
            const auto row = [&](const char* tag, const QStringList& arguments, int exitCode, const QByteArray& output,
                                 const QByteArray& error) {
                QTest::addRow("%s %s", name.constData(), tag) << path << arguments << exitCode << output << error;
            };
            row("help", { "--help" }, 0, usage, {});
            row("help before version", { "--help", "--version" }, 0, usage, {});
            row("version", { "--version" }, 0, name + ' ' + HALVEX_VERSION "\n", {});
            row("unknown option", { "--no-such-option" }, 2, {},
                name + ": Unknown option 'no-such-option'.\n\n" + usage);
            if (name == "halvex") {
                row("stray argument", { "notes.txt" }, 2, {}, "halvex: unexpected argument \"notes.txt\"\n\n" + usage);
                row("with Qt's own options", { "-platform", "offscreen", "-reverse", "-v" }, 0,
                    name + ' ' + HALVEX_VERSION "\n", {});
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
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(out.startsWith(output) && out.isEmpty() == output.isEmpty(), out.constData());
        QVERIFY2(err.startsWith(error) && err.isEmpty() == error.isEmpty(), err.constData());
        QTEST(process.exitCode(), "exitCode");
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
